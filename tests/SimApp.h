#pragma once
// A whole program on the simulated platform, for scenario tests.
#include <memory>
#include <string>
#include <utility>

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

// The sim toolkit, except that the window of the form named `refusing`, or
// the control of that name on any window, refuses every change.
struct RefusingToolkit : Toolkit {
    RefusingToolkit(sim::SimToolkit& toolkit, std::string name)
        : inner(toolkit), refusing(std::move(name)) {}
    void createWindow(Form& form) override {
        inner.createWindow(form);
        if (form.name() == refusing) {
            inner.peer(form.window())->refuse = true;
        } else if (Control* c = form.find(refusing)) {
            inner.peer(*c)->refuse = true;
        }
    }
    void destroyWindow(Form& form) override { inner.destroyWindow(form); }
    void popupMenu(Form& form, const std::string& menu) override { inner.popupMenu(form, menu); }
    void quit() override { inner.quit(); }
    sim::SimToolkit& inner;
    std::string refusing;
};

}  // namespace vk::test
