#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <map>
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

// A tree of /proc and /sys files handed to the room check.
using Files = std::map<std::string, std::string>;

std::string bytesMB(std::uint64_t mb) {
    return std::to_string(mb * kMB) + "\n";
}

std::string meminfoMB(std::uint64_t available, std::uint64_t swapFree) {
    return "MemTotal: 8388608 kB\nMemFree: 1024 kB\nMemAvailable: " +
           std::to_string(available * 1024) +
           " kB\nBuffers: 0 kB\nCached: 0 kB\nSwapTotal: 8388608 kB\nSwapFree: " +
           std::to_string(swapFree * 1024) + " kB\n";
}

// Laid out as systemd's hybrid mode does (and this kind of machine has):
// the v1 memory controller beside an empty v2 hierarchy.
constexpr const char* kHybrid =
    "30 22 0:27 / /sys/fs/cgroup rw,relatime - tmpfs tmpfs rw,mode=755\n"
    "34 30 0:31 / /sys/fs/cgroup/memory rw,relatime - cgroup cgroup rw,memory\n"
    "35 30 0:32 / /sys/fs/cgroup/cpu,cpuacct rw shared:9 - cgroup cgroup rw,cpu,cpuacct\n"
    "40 30 0:37 / /sys/fs/cgroup/unified rw,relatime - cgroup2 cgroup2 rw\n";
constexpr const char* kUnified =
    "30 22 0:27 / /sys/fs/cgroup rw,nosuid shared:4 - cgroup2 cgroup2 rw,nsdelegate\n";
constexpr const char* kV1Job = "5:cpu,cpuacct:/\n4:memory:/box/job\n0::/\n";
constexpr const char* kV1Root = "/sys/fs/cgroup/memory";
constexpr const char* kV1Unlimited = "9223372036854771712\n";

TEST(BackableBytes, TheSmallestRoomOfTheMachineAndEveryMemoryCgroup) {
    const std::string v2Job = "/sys/fs/cgroup/app.slice/job";
    const std::string v1Job = std::string(kV1Root) + "/box/job";
    const std::string v1Box = std::string(kV1Root) + "/box";
    const Files v2 = {{"/proc/self/mountinfo", kUnified},
                      {"/proc/self/cgroup", "0::/app.slice/job\n"},
                      {"/proc/meminfo", meminfoMB(8000, 0)}};
    const Files v1 = {{"/proc/self/mountinfo", kHybrid},
                      {"/proc/self/cgroup", kV1Job},
                      {"/proc/meminfo", meminfoMB(8000, 0)},
                      {std::string(kV1Root) + "/memory.limit_in_bytes", kV1Unlimited},
                      {std::string(kV1Root) + "/memory.usage_in_bytes", bytesMB(7000)}};
    const auto with = [](Files files, const Files& more) {
        for (const auto& [path, text] : more) files[path] = text;
        return files;
    };
    const struct {
        const char* name;
        Files files;
        std::optional<std::uint64_t> roomMB;
    } rows[] = {
        // The machine: what RAM and swap can still hold.
        {"free swap makes room where RAM is short",
         {{"/proc/meminfo", meminfoMB(100, 4096)}},
         4196},
        {"neither RAM nor swap", {{"/proc/meminfo", meminfoMB(100, 0)}}, 100},
        {"nothing readable", {}, std::nullopt},
        {"garbled figures: the cgroup decides",
         with(v2, {{"/proc/meminfo", "MemTotal: lots\n"},
                   {v2Job + "/memory.max", bytesMB(500)},
                   {v2Job + "/memory.current", bytesMB(450)}}),
         50},
        {"the machine is tighter than the cgroup",
         with(v2, {{"/proc/meminfo", meminfoMB(30, 0)},
                   {v2Job + "/memory.max", bytesMB(500)},
                   {v2Job + "/memory.current", bytesMB(450)}}),
         30},
        // cgroup v2.
        {"v2: own limit",
         with(v2,
              {{v2Job + "/memory.max", bytesMB(500)}, {v2Job + "/memory.current", bytesMB(450)}}),
         50},
        {"v2: the file cache is reclaimable",
         with(v2,
              {{v2Job + "/memory.max", bytesMB(500)},
               {v2Job + "/memory.current", bytesMB(450)},
               {v2Job + "/memory.stat", "anon 1\nactive_file " + std::to_string(30 * kMB) +
                                            "\ninactive_file " + std::to_string(20 * kMB) + "\n"}}),
         100},
        {"v2: an ancestor's limit",
         with(v2, {{v2Job + "/memory.max", "max\n"},
                   {v2Job + "/memory.current", bytesMB(10)},
                   {"/sys/fs/cgroup/app.slice/memory.max", bytesMB(1000)},
                   {"/sys/fs/cgroup/app.slice/memory.current", bytesMB(950)}}),
         50},
        {"v2: memory.high below memory.max",
         with(v2, {{v2Job + "/memory.max", bytesMB(1000)},
                   {v2Job + "/memory.high", bytesMB(500)},
                   {v2Job + "/memory.current", bytesMB(450)}}),
         50},
        {"v2: over the limit already",
         with(v2,
              {{v2Job + "/memory.max", bytesMB(100)}, {v2Job + "/memory.current", bytesMB(300)}}),
         0},
        {"v2: usage unreadable", with(v2, {{v2Job + "/memory.max", bytesMB(100)}}), 8000},
        {"v2: mounted where the path has a blank",
         with(v2,
              {{"/proc/self/mountinfo", "30 22 0:27 / /mnt/cg\\040roups rw - cgroup2 none rw\n"},
               {"/mnt/cg roups/app.slice/job/memory.max", bytesMB(500)},
               {"/mnt/cg roups/app.slice/job/memory.current", bytesMB(450)}}),
         50},
        // The v1 memory controller.
        {"v1: no limit anywhere", v1, 8000},
        {"v1: own limit",
         with(v1, {{v1Job + "/memory.limit_in_bytes", bytesMB(500)},
                   {v1Job + "/memory.usage_in_bytes", bytesMB(450)}}),
         50},
        {"v1: an ancestor's limit",
         with(v1, {{v1Job + "/memory.limit_in_bytes", kV1Unlimited},
                   {v1Job + "/memory.usage_in_bytes", bytesMB(10)},
                   {v1Box + "/memory.limit_in_bytes", bytesMB(300)},
                   {v1Box + "/memory.usage_in_bytes", bytesMB(290)}}),
         10},
        {"v1: memory and swap together",
         with(v1, {{v1Job + "/memory.limit_in_bytes", bytesMB(1000)},
                   {v1Job + "/memory.usage_in_bytes", bytesMB(400)},
                   {v1Job + "/memory.memsw.limit_in_bytes", bytesMB(1000)},
                   {v1Job + "/memory.memsw.usage_in_bytes", bytesMB(900)}}),
         100},
        {"v1: the cache of the whole subtree is reclaimable",
         with(v1,
              {{v1Job + "/memory.limit_in_bytes", bytesMB(500)},
               {v1Job + "/memory.usage_in_bytes", bytesMB(450)},
               {v1Job + "/memory.stat", "active_file 0\ninactive_file 0\ntotal_active_file " +
                                            std::to_string(40 * kMB) + "\ntotal_inactive_file " +
                                            std::to_string(10 * kMB) + "\n"}}),
         100},
        {"v1: a container sees its ancestors' limit in memory.stat only",
         {{"/proc/self/mountinfo",
           "34 30 0:31 /box /sys/fs/cgroup/memory ro - cgroup cgroup rw,memory\n"},
          {"/proc/self/cgroup", kV1Job},
          {"/proc/meminfo", meminfoMB(8000, 0)},
          {std::string(kV1Root) + "/job/memory.limit_in_bytes", kV1Unlimited},
          {std::string(kV1Root) + "/job/memory.usage_in_bytes", bytesMB(200)},
          {std::string(kV1Root) + "/job/memory.stat",
           "hierarchical_memory_limit " + std::to_string(300 * kMB) + "\n"}},
         100},
        {"v1: a cgroup outside what the mount shows is not guessed at",
         with(v1, {{"/proc/self/cgroup", "4:memory:/elsewhere\n"},
                   {"/proc/self/mountinfo",
                    "34 30 0:31 /box /sys/fs/cgroup/memory ro - cgroup cgroup rw,memory\n"},
                   {std::string(kV1Root) + "/memory.limit_in_bytes", bytesMB(10)},
                   {std::string(kV1Root) + "/memory.usage_in_bytes", bytesMB(0)}}),
         8000},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        const TextReader read = [&](const std::string& path) -> std::optional<std::string> {
            const auto it = r.files.find(path);
            return it == r.files.end() ? std::nullopt : std::optional<std::string>(it->second);
        };
        const auto room = backableBytes(read);
        EXPECT_EQ(room, r.roomMB ? std::optional<std::uint64_t>(*r.roomMB * kMB) : std::nullopt);
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
