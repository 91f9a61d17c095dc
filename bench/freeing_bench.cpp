// One freeing block on the real Linux allocator against the memory-bandwidth
// limit: writing the same number of bytes into memory that is already faulted
// in. The run holds up the window for its whole duration; the target is at
// most 3 times the limit. Reported as the median of 10 repetitions each, and
// the ratio of the two medians as a counter of the block benchmark.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

#include "platform/linux/MappedBlockAllocator.h"

namespace {

constexpr std::size_t kBlock = 160'000'000;
constexpr int kRepetitions = 10;

double medianMs(std::vector<double> samples) {
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

// The limit: one pass of writes over a buffer whose pages all exist.
double faultedWriteMs() {
    static const double median = [] {
        std::vector<unsigned char> buffer(kBlock, 1);
        std::vector<double> samples;
        for (int i = 0; i < kRepetitions; ++i) {
            samples.push_back(timeMs([&] {
                std::memset(buffer.data(), ' ', kBlock);
                benchmark::ClobberMemory();
            }));
            benchmark::DoNotOptimize(buffer.data());
        }
        return medianMs(samples);
    }();
    return median;
}

void BM_WriteIntoFaultedMemory(benchmark::State& state) {
    std::vector<unsigned char> buffer(kBlock, 1);
    std::vector<double> samples;
    for (auto _ : state) {
        const double ms = timeMs([&] {
            std::memset(buffer.data(), ' ', kBlock);
            benchmark::ClobberMemory();
        });
        samples.push_back(ms);
        state.SetIterationTime(ms / 1000);
    }
    benchmark::DoNotOptimize(buffer.data());
    state.counters["median_ms"] = medianMs(samples);
}

// One freeing block: mapped, every byte written, unmapped.
void BM_FreeingBlock(benchmark::State& state) {
    vk::lnx::MappedBlockAllocator allocator;
    const double limitMs = faultedWriteMs();
    std::vector<double> samples;
    for (auto _ : state) {
        const double ms = timeMs([&] {
            auto block = allocator.allocateAndFill(kBlock);
            benchmark::DoNotOptimize(block.get());
        });
        samples.push_back(ms);
        state.SetIterationTime(ms / 1000);
    }
    const double median = medianMs(samples);
    state.counters["median_ms"] = median;
    state.counters["limit_ms"] = limitMs;
    state.counters["ratio_to_limit"] = median / limitMs;
}

}  // namespace

BENCHMARK(BM_WriteIntoFaultedMemory)
    ->Iterations(kRepetitions)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FreeingBlock)
    ->Iterations(kRepetitions)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
