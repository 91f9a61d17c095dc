// One freeing block on the Win32 allocator against the memory-bandwidth
// limit: writing the same number of bytes into memory that is already
// faulted in. The same measurement as bench_freeing on Linux (which uses
// Google Benchmark, not built for Windows here): the limit is the median of
// 10 write passes over a faulted buffer taken right before the 10 blocks,
// and the figures are the medians and their ratio (target: at most 3).
//
//   scripts/wine-exec.sh x86_64 build/mingw-x86_64/bench/bench_win32_freeing.exe
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/win32/Win32BlockAllocator.h"

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

// Keeps the writes to a buffer nobody reads.
void clobber(void* p) {
    asm volatile("" : : "r"(p) : "memory");
}

double faultedWriteMedianMs() {
    std::vector<unsigned char> faulted(kBlock, 1);  // every page exists
    std::memset(faulted.data(), 0, kBlock);         // and is warm
    std::vector<double> samples;
    for (int i = 0; i < kRepetitions; ++i) {
        samples.push_back(timeMs([&] {
            std::memset(faulted.data(), ' ', kBlock);
            clobber(faulted.data());
        }));
    }
    return medianOf(samples);
}

}  // namespace

int main() {
    vk::win32::Win32BlockAllocator allocator;
    const double limit = faultedWriteMedianMs();
    std::vector<double> samples;
    for (int i = 0; i < kRepetitions; ++i) {
        samples.push_back(timeMs([&] {
            auto block = allocator.allocateAndFill(kBlock);
            clobber(block.get());
        }));
    }
    const double block = medianOf(samples);
    const auto [fastest, slowest] = std::minmax_element(samples.begin(), samples.end());
    std::printf("limit_median_ms %.2f\nblock_median_ms %.2f (%.2f to %.2f)\nratio %.2f\n", limit,
                block, *fastest, *slowest, block / limit);
    return 0;
}
