#pragma once
// A whole program on the simulated platform, for scenario tests.
#include <memory>
#include <string>

#include "app/Program.h"
#include "platform/sim/SimPlatform.h"

namespace vk::test {

struct SimApp {
    explicit SimApp(std::string commandLine = "") : sim(std::move(commandLine)) {
        sim.memory.setMB(1024, 512, 2048, 1024);
    }

    // Loads the main window as the program's start does.
    void start() {
        program = std::make_unique<Program>(sim.services);
        program->start();
    }

    FrmMain& w() { return program->main(); }
    Form& form() { return program->main().form; }
    Control& operator[](const std::string& name) { return form()[name]; }
    void click(const std::string& control) { sim.click(form(), control); }
    void advance(std::int64_t ms) { sim.advance(ms); }

    sim::SimPlatform sim;
    std::unique_ptr<Program> program;
};

}  // namespace vk::test
