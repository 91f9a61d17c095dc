// One freeing block on the real Linux allocator against the memory-bandwidth
// limit: writing the same number of bytes into memory that is already faulted
// in. The run holds up the window for its whole duration (taking, writing and
// giving back the block); the target is at most 3 times the limit.
//
// Two cases: blocks back to back (idle_ms:0), the favourable one, and each
// block after a second of idle (idle_ms:1000), as the program meets it when
// the user asks for a run. The idle is not timed.
//
// The limit is the median of 10 write passes over a faulted buffer in a tight
// loop, taken right before the 10 blocks (a pass right after a block runs
// slower and would flatter the ratio). The counters give the median of each
// and the ratio of the medians, in wall time (what the user waits) and in
// this thread's CPU time (cpu_ratio), which waiting for a core on a busy
// machine leaves out.
#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "platform/linux/MappedBlockAllocator.h"

namespace {

constexpr std::size_t kBlock = 160'000'000;
constexpr int kRepetitions = 10;

double medianOf(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    const std::size_t n = samples.size();
    return n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
}

double threadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Wall and CPU time of some work, in milliseconds, one list of each.
struct Times {
    std::vector<double> wall, cpu;

    template <class Work>
    void add(Work&& work) {
        const double cpuStart = threadCpuMs();
        const auto start = std::chrono::steady_clock::now();
        work();
        const auto end = std::chrono::steady_clock::now();
        cpu.push_back(threadCpuMs() - cpuStart);
        wall.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
};

// The bandwidth limit: 10 passes of writes into faulted memory.
Times faultedWrites() {
    std::vector<unsigned char> faulted(kBlock, 1);  // every page exists
    std::memset(faulted.data(), 0, kBlock);         // and is warm
    Times times;
    for (int i = 0; i < kRepetitions; ++i) {
        times.add([&] {
            std::memset(faulted.data(), ' ', kBlock);
            benchmark::ClobberMemory();
        });
    }
    benchmark::DoNotOptimize(faulted.data());
    return times;
}

void BM_FreeingBlock(benchmark::State& state) {
    const auto idle = std::chrono::milliseconds(state.range(0));
    vk::lnx::MappedBlockAllocator allocator;
    const Times limit = faultedWrites();
    Times blocks;
    for (auto _ : state) {
        std::this_thread::sleep_for(idle);
        blocks.add([&] {
            auto block = allocator.allocateAndFill(kBlock);
            benchmark::DoNotOptimize(block.get());
        });
        state.SetIterationTime(blocks.wall.back() / 1000);
    }
    const double limitMs = medianOf(limit.wall), blockMs = medianOf(blocks.wall);
    state.counters["limit_median_ms"] = limitMs;
    state.counters["block_median_ms"] = blockMs;
    state.counters["ratio"] = blockMs / limitMs;
    state.counters["cpu_ratio"] = medianOf(blocks.cpu) / medianOf(limit.cpu);
}

}  // namespace

BENCHMARK(BM_FreeingBlock)
    ->ArgName("idle_ms")
    ->Arg(0)
    ->Arg(1000)
    ->Iterations(kRepetitions)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
