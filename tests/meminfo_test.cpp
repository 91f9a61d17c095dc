#include "platform/linux/Meminfo.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/Errors.h"
#include "platform/linux/MeminfoSource.h"

namespace vk::lnx {
namespace {

constexpr std::uint64_t kB = 1024;

// The head of a real file; the fields that follow are never read.
const std::string kWithSwap =
    "MemTotal:       24683772 kB\n"
    "MemFree:        23455884 kB\n"
    "MemAvailable:   24120880 kB\n"
    "Buffers:            8572 kB\n"
    "Cached:           829832 kB\n"
    "SwapCached:            0 kB\n"
    "Active(anon):         48 kB\n"
    "SwapTotal:       2097148 kB\n"
    "SwapFree:        2000000 kB\n"
    "HugePages_Total:       0\n"
    "Hugepagesize:       2048 kB\n";

// A kernel before 3.14: no MemAvailable.
const std::string kOldKernel =
    "MemTotal:        1030000 kB\n"
    "MemFree:          100000 kB\n"
    "Buffers:           20000 kB\n"
    "Cached:           300000 kB\n"
    "SwapCached:            0 kB\n"
    "SwapTotal:             0 kB\n"
    "SwapFree:              0 kB\n";

TEST(ParseMeminfo, MapsTheFieldsToTheFourCounts) {
    struct Case {
        const char* what;
        std::string text;
        MemoryStatus expected;
    };
    const std::vector<Case> cases = {
        {"with swap",
         kWithSwap,
         {24683772 * kB, 24120880 * kB, (24683772 + 2097148) * kB, (24120880 + 2000000) * kB}},
        {"without MemAvailable: free + buffers + cache",
         kOldKernel,
         {1030000 * kB, 420000 * kB, 1030000 * kB, 420000 * kB}},
        {"tabs, no padding, any order",
         "SwapFree:\t5 kB\nSwapTotal:6 kB\nMemAvailable: 3 kB\nMemTotal: 4 kB\n",
         {4 * kB, 3 * kB, 10 * kB, 8 * kB}},
        {"cut off after the last field read",
         kWithSwap.substr(0, kWithSwap.find("HugePages") + 5),
         {24683772 * kB, 24120880 * kB, (24683772 + 2097148) * kB, (24120880 + 2000000) * kB}},
        {"the largest count that fits",
         "MemTotal: 18014398509481983 kB\nMemAvailable: 0 kB\nSwapTotal: 0 kB\nSwapFree: 0 kB\n",
         {18014398509481983 * kB, 0, 18014398509481983 * kB, 0}},
    };
    for (const auto& c : cases) {
        const MemoryStatus s = parseMeminfo(c.text);
        EXPECT_EQ(s.totalPhys, c.expected.totalPhys) << c.what;
        EXPECT_EQ(s.availPhys, c.expected.availPhys) << c.what;
        EXPECT_EQ(s.totalPageFile, c.expected.totalPageFile) << c.what;
        EXPECT_EQ(s.availPageFile, c.expected.availPageFile) << c.what;
    }
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    return text.replace(text.find(from), from.size(), to);
}

TEST(ParseMeminfo, RefusesTextItCannotTrust) {
    const std::string cutInSwapFree = kWithSwap.substr(0, kWithSwap.find("SwapFree") + 20);
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"empty", ""},
        {"cut inside the last field read", cutInSwapFree},
        {"cut before the swap lines", kWithSwap.substr(0, kWithSwap.find("Swap"))},
        {"no newline at all", "MemTotal: 1 kB MemAvailable: 1 kB SwapTotal: 0 kB SwapFree: 0 kB"},
        {"not meminfo", std::string("\x7f"
                                    "ELF\x02\x01\x01\n\0\0\n",
                                    11)},
        {"old kernel without Cached", replaced(kOldKernel, "Cached:  ", "Kached:  ")},
        {"no SwapTotal", replaced(kWithSwap, "SwapTotal:", "SwapTotaI:")},
        {"a letter in the number", replaced(kWithSwap, "24683772", "2468E772")},
        {"a negative number", replaced(kWithSwap, "24120880", "-4120880")},
        {"no number", replaced(kWithSwap, "       24683772 kB", " kB")},
        {"another unit", replaced(kWithSwap, "24683772 kB", "24683772 MB")},
        {"no unit", replaced(kWithSwap, "24683772 kB", "24683772")},
        {"no blank before the unit", replaced(kWithSwap, "24683772 kB", "24683772kB")},
        {"trailing text", replaced(kWithSwap, "24683772 kB", "24683772 kB x")},
        {"a field twice", replaced(kWithSwap, "MemFree:", "MemTotal: 1 kB\nMemFree:")},
        {"a count beyond 64 bits", replaced(kWithSwap, "24683772", "18446744073709551616")},
        {"kB beyond 64 bits in bytes", replaced(kWithSwap, "24683772", "18014398509481984")},
        {"a sum beyond 64 bits",
         "MemTotal: 18014398509481983 kB\nMemAvailable: 0 kB\nSwapTotal: 1 kB\nSwapFree: 0 kB\n"},
    };
    for (const auto& [what, text] : cases) {
        EXPECT_THROW(parseMeminfo(text), ServiceError) << what;
    }
}

struct MeminfoSourceTest : ::testing::Test {
    void write(const std::string& text) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    }
    void TearDown() override { std::filesystem::remove(path); }
    // One file per test and process: ctest runs the tests of this suite at
    // the same time, and one's TearDown must not remove another's file.
    std::string path = ::testing::TempDir() + "meminfo_source_" +
                       ::testing::UnitTest::GetInstance()->current_test_info()->name() + "_" +
                       std::to_string(::getpid()) + ".txt";
};

TEST_F(MeminfoSourceTest, EveryQueryReadsTheFileAfresh) {
    write(kWithSwap);
    MeminfoSource source(path);
    MemoryStatus record;
    source.query(record);
    EXPECT_EQ(record.availPhys, 24120880 * kB);

    write(kOldKernel);  // rewritten in place, shorter: nothing stale remains
    source.query(record);
    EXPECT_EQ(record.totalPhys, 1030000 * kB);
    EXPECT_EQ(record.availPhys, 420000 * kB);
}

TEST_F(MeminfoSourceTest, UnreadableOrGarbledFailsAndTheNextQueryRecovers) {
    MemoryStatus record;
    MeminfoSource missing(path);
    EXPECT_THROW(missing.query(record), ServiceError);
    write(kOldKernel);
    missing.query(record);  // the file appeared
    EXPECT_EQ(record.totalPhys, 1030000 * kB);

    write("garbage\n");
    const MemoryStatus before = record;
    EXPECT_THROW(missing.query(record), ServiceError);
    EXPECT_EQ(record.totalPhys, before.totalPhys);  // the record is left alone

    MeminfoSource directory(::testing::TempDir());  // opens, but cannot be read
    EXPECT_THROW(directory.query(record), ServiceError);
}

TEST(MeminfoSource, ReadsThisMachine) {
    MeminfoSource source;
    MemoryStatus record;
    source.query(record);
    EXPECT_GT(record.totalPhys, 0u);
    EXPECT_LE(record.availPhys, record.totalPhys);
    EXPECT_GE(record.totalPageFile, record.totalPhys);
    EXPECT_LE(record.availPageFile, record.totalPageFile);
    EXPECT_GE(record.availPageFile, record.availPhys);
}

}  // namespace
}  // namespace vk::lnx

namespace vk::lnx {
namespace {

TEST(MeminfoSource, CheapTotalsEqualTheTextsTotals) {
    MeminfoSource source;
    MemoryStatus full;
    MemoryStatus totals;
    for (int i = 0; i < 2; ++i) {  // before and after the first full read
        source.queryTotals(totals);
        source.query(full);
        EXPECT_EQ(totals.totalPhys, full.totalPhys) << i;
        EXPECT_EQ(totals.totalPageFile, full.totalPageFile) << i;
    }
}

TEST_F(MeminfoSourceTest, TotalsOfAnotherFileComeFromThatFile) {
    // A rewritten meminfo (as some containers serve) must not be mixed with
    // the machine's own totals.
    write(kOldKernel);
    MeminfoSource source(path);
    MemoryStatus record;
    source.query(record);
    source.queryTotals(record);
    EXPECT_EQ(record.totalPhys, 1030000 * kB);
}

}  // namespace
}  // namespace vk::lnx
