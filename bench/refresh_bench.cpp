// One display refresh tick with the real Linux memory source, and the single
// /proc/meminfo query it makes eighteen times. Widgets are the simulated
// ones, so the figure is the logic plus the kernel, not a toolkit's painting.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <string>
#include <string_view>

#include "app/Program.h"
#include "memory/Refresh.h"
#include "platform/linux/Meminfo.h"
#include "platform/linux/MeminfoSource.h"
#include "platform/sim/SimPlatform.h"

namespace {

void refreshTick(benchmark::State& state) {
    vk::sim::SimPlatform sim;
    vk::lnx::MeminfoSource meminfo;
    vk::Services services{sim.dispatcher, sim.toolkit,  meminfo, sim.allocator, sim.tray, sim.boxes,
                          sim.registry,   sim.programs, ""};
    vk::Program program(services);
    program.start();
    for (auto _ : state) {
        vk::tmrUpdateMemoryInformation_Timer(program.main());
    }
    // A copy the compiler must assume is read: the const-reference form of
    // DoNotOptimize is deprecated, as it lets the compiler drop the work.
    std::string shown = program.main().lblFreePhysicalShow.caption();
    benchmark::DoNotOptimize(shown);
}

// The same tick on scripted figures: the logic and the widgets alone.
void refreshTickSimulatedFigures(benchmark::State& state) {
    vk::sim::SimPlatform sim;
    sim.memory.setMB(24576, 12000, 24576, 12000);
    vk::Program program(sim.services);
    program.start();
    for (auto _ : state) {
        vk::tmrUpdateMemoryInformation_Timer(program.main());
    }
    std::string shown = program.main().lblFreePhysicalShow.caption();
    benchmark::DoNotOptimize(shown);
}

void meminfoQuery(benchmark::State& state) {
    vk::lnx::MeminfoSource meminfo;
    vk::MemoryStatus record;
    for (auto _ : state) {
        meminfo.query(record);
        benchmark::DoNotOptimize(record);
    }
}

// The road not taken: open, read and close the file at every query.
void meminfoOpenReadClose(benchmark::State& state) {
    std::array<char, 8192> text{};
    for (auto _ : state) {
        const int fd = ::open("/proc/meminfo", O_RDONLY | O_CLOEXEC);
        const ssize_t n = ::read(fd, text.data(), text.size());
        ::close(fd);
        vk::MemoryStatus record =
            vk::lnx::parseMeminfo(std::string_view(text.data(), n > 0 ? std::size_t(n) : 0));
        benchmark::DoNotOptimize(record);
    }
}

// The parse alone, on this machine's text.
void meminfoParse(benchmark::State& state) {
    std::array<char, 8192> text{};
    const int fd = ::open("/proc/meminfo", O_RDONLY | O_CLOEXEC);
    const ssize_t n = ::read(fd, text.data(), text.size());
    ::close(fd);
    const std::string_view view(text.data(), n > 0 ? std::size_t(n) : 0);
    for (auto _ : state) {
        vk::MemoryStatus record = vk::lnx::parseMeminfo(view);
        benchmark::DoNotOptimize(record);
    }
}

}  // namespace

BENCHMARK(refreshTick)->Unit(benchmark::kMicrosecond)->Repetitions(10)->ReportAggregatesOnly(true);
BENCHMARK(refreshTickSimulatedFigures)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);
BENCHMARK(meminfoQuery)->Unit(benchmark::kMicrosecond)->Repetitions(10)->ReportAggregatesOnly(true);
BENCHMARK(meminfoOpenReadClose)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);
BENCHMARK(meminfoParse)->Unit(benchmark::kMicrosecond)->Repetitions(10)->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
