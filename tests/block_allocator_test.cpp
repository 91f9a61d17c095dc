#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <optional>
#include <string>

#include "platform/Errors.h"
#include "platform/linux/MappedBlockAllocator.h"
#include "platform/linux/MappedBlockAllocatorHeadroom.h"
#include "platform/linux/MeminfoSource.h"

namespace vk::lnx {
namespace {

constexpr std::size_t kBlock = 160'000'000;
constexpr std::uint64_t kMB = 1 << 20;

// Resident and virtual size of this process now, in bytes.
struct Sizes {
    std::uint64_t virt = 0, resident = 0;
};
Sizes ownSizes() {
    std::ifstream statm("/proc/self/statm");
    Sizes s;
    statm >> s.virt >> s.resident;
    const auto page = static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE));
    return {s.virt * page, s.resident * page};
}

long minorFaults() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

TEST(MappedBlockAllocator, WritesEveryByteOfTheBlockAndGivesItBack) {
    MappedBlockAllocator allocator([] { return std::optional<std::uint64_t>(); });
    const Sizes before = ownSizes();
    const long faultsBefore = minorFaults();
    auto block = allocator.allocateAndFill(kBlock);
    const Sizes held = ownSizes();
    const long faults = minorFaults() - faultsBefore;

    ASSERT_EQ(block->size(), kBlock);
    // The pages are really there: resident size grew by the block (huge
    // pages take one fault per 2 MiB, so the fault count alone says little).
    EXPECT_GE(held.resident - before.resident, 150 * kMB) << "faults: " << faults;
    const auto* data = dynamic_cast<MappedBlock&>(*block).data();
    EXPECT_EQ(std::count(data, data + kBlock, MappedBlockAllocator::kFill),
              static_cast<std::ptrdiff_t>(kBlock));

    block.reset();
    EXPECT_LT(ownSizes().resident, held.resident - 150 * kMB);
    EXPECT_LT(ownSizes().virt, held.virt - 150 * kMB);
}

TEST(MappedBlockAllocator, OddSizesAndEmptyBlocks) {
    MappedBlockAllocator allocator([] { return std::optional<std::uint64_t>(); });
    for (std::size_t bytes :
         {std::size_t{0}, std::size_t{1}, std::size_t{4097}, (std::size_t{2} << 20) + 3}) {
        auto block = allocator.allocateAndFill(bytes);
        EXPECT_EQ(block->size(), bytes);
        if (bytes == 0) continue;
        const auto* data = dynamic_cast<MappedBlock&>(*block).data();
        EXPECT_EQ(data[0], MappedBlockAllocator::kFill);
        EXPECT_EQ(data[bytes - 1], MappedBlockAllocator::kFill);
    }
}

TEST(MappedBlockAllocator, RefusesWhatTheMachineCannotBackWithoutTouchingIt) {
    struct Case {
        std::optional<std::uint64_t> room;
        bool refused;
    };
    const Case cases[] = {
        {100 * kMB, true},
        {kBlock - 1, true},
        {kBlock + 4096, false},  // the block rounded up to whole pages
        {std::nullopt, false},   // unknown: the mapping itself decides
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.room ? std::to_string(*c.room) : "unknown");
        MappedBlockAllocator allocator([&] { return c.room; });
        const auto residentBefore = ownSizes().resident;
        if (c.refused) {
            EXPECT_THROW(allocator.allocateAndFill(kBlock), OutOfMemory);
            EXPECT_LT(ownSizes().resident, residentBefore + 10 * kMB);
        } else {
            EXPECT_NO_THROW(allocator.allocateAndFill(kBlock));
        }
    }
}

// Runs in a child process: lowers the address-space limit below what the
// block needs and reports by its exit code how the allocation ended.
[[noreturn]] void allocateUnderALowAddressSpaceLimit() {
    const std::uint64_t cap = ownSizes().virt + 64 * kMB;
    const rlimit limit{cap, cap};
    if (setrlimit(RLIMIT_AS, &limit) != 0) std::_Exit(3);
    MappedBlockAllocator allocator;
    try {
        allocator.allocateAndFill(kBlock);
    } catch (const OutOfMemory&) {
        std::_Exit(0);
    } catch (...) {
        std::_Exit(2);
    }
    std::_Exit(1);
}

// A kill by a signal, a crash or another exception fails the test.
TEST(MappedBlockAllocatorDeathTest, AnAddressSpaceLimitIsACleanRefusal) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(allocateUnderALowAddressSpaceLimit(), ::testing::ExitedWithCode(0), "");
}

TEST(CgroupHeadroom, LimitMinusWhatCannotBeReclaimed) {
    struct Case {
        const char *max, *current, *stat;
        std::optional<std::uint64_t> room;
    };
    const Case cases[] = {
        {"max\n", "500000000\n", "", std::nullopt},
        {"1000000000\n", "600000000\n", "", 400000000},
        {"1000000000\n", "600000000\n",
         "anon 400000000\nfile 200000000\nactive_file 50000000\ninactive_file 100000000\n",
         550000000},
        {"100000000\n", "300000000\n", "", 0},
        {"1000\n", "", "", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(cgroupHeadroom(c.max, c.current, c.stat), c.room) << c.max << c.current;
    }
}

TEST(BackableBytes, NeverMoreThanTheMachineCanBack) {
    const auto room = backableBytes();
    ASSERT_TRUE(room.has_value());
    MeminfoSource meminfo;
    MemoryStatus status;
    meminfo.query(status);
    // A cgroup can only lower it; the figures move a little between reads.
    EXPECT_LE(*room, status.availPageFile + 64 * kMB);
    EXPECT_GT(*room, 0u);
}

}  // namespace
}  // namespace vk::lnx
