// One freeing block on the real Linux allocator against the memory-bandwidth
// limit: writing the same number of bytes into memory that is already faulted
// in. The run holds up the window for its whole duration; the target is at
// most 3 times the limit.
//
// The limit is the median of 10 write passes over a faulted buffer in a tight
// loop, taken right before the 10 blocks (a pass right after a block runs
// slower and would flatter the ratio). The counters give the median of each
// and the ratio of the medians.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
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

template <class Work>
double timeMs(Work&& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

// The bandwidth limit: median of 10 passes of writes into faulted memory.
double faultedWriteMedianMs() {
    std::vector<unsigned char> faulted(kBlock, 1);  // every page exists
    std::memset(faulted.data(), 0, kBlock);         // and is warm
    std::vector<double> samples;
    for (int i = 0; i < kRepetitions; ++i) {
        samples.push_back(timeMs([&] {
            std::memset(faulted.data(), ' ', kBlock);
            benchmark::ClobberMemory();
        }));
    }
    benchmark::DoNotOptimize(faulted.data());
    return medianOf(samples);
}

void BM_FreeingBlock(benchmark::State& state) {
    vk::lnx::MappedBlockAllocator allocator;
    const double limit = faultedWriteMedianMs();
    std::vector<double> samples;
    for (auto _ : state) {
        samples.push_back(timeMs([&] {
            auto block = allocator.allocateAndFill(kBlock);
            benchmark::DoNotOptimize(block.get());
        }));
        state.SetIterationTime(samples.back() / 1000);
    }
    const double block = medianOf(samples);
    state.counters["limit_median_ms"] = limit;
    state.counters["block_median_ms"] = block;
    state.counters["ratio"] = block / limit;
}

}  // namespace

BENCHMARK(BM_FreeingBlock)
    ->Iterations(kRepetitions)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
