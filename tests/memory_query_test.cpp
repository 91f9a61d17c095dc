#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <locale>
#include <optional>
#include <vector>

#include "memory/Megabytes.h"
#include "memory/MemoryQuery.h"
#include "platform/Errors.h"
#include "platform/sim/SimPlatform.h"

namespace vk {
namespace {

constexpr std::uint64_t kMB = 1024 * 1024;

// Two-decimal rounding, half away from zero, exact at the ties.
struct HundredthsCase {
    double bytes;
    std::int64_t hundredths;
};

TEST(Megabytes, HundredthsRoundHalfAwayFromZero) {
    const std::vector<HundredthsCase> cases = {
        {0, 0},
        {268'435'456, 25600},
        {1'048'575, 100},         // 0.99999.. MB
        {523'239, 50},            // 0.499 MB
        {1'571'815, 150},         // 1.499 MB
        {1'610'612'736, 153600},  // 1536 MB
        {131'072, 13},            // 0.125 MB exactly: half away from zero
        {393'216, 38},            // 0.375 MB exactly
        {-131'072, -13},          // symmetric below zero
        {5'242, 0},               // just under 0.005 MB
        {5'243, 1},               // just over it
        {5'242.875, 0},           // fractions of a byte count too
        {5'242.890625, 1},
        {267'905'925, 25549},  // 255.49499.. MB
        {267'905'926, 25550},  // 255.49500.. MB
        {4'294'967'295, 409600},
        {25'769'803'776, 2457600},
        {18'446'744'073'709'549'568.0, 1'759'218'604'441'600},  // largest double below 2^64
    };
    for (const auto& c : cases) {
        EXPECT_EQ(hundredthsOfMB(c.bytes), c.hundredths) << "bytes " << c.bytes;
    }
}

TEST(Megabytes, CountsBeyondSixtyFourBitsOrNotANumberOverflow) {
    const std::vector<double> bad = {18'446'744'073'709'551'616.0,  // 2^64
                                     -18'446'744'073'709'551'616.0, 1e300,
                                     std::numeric_limits<double>::infinity(),
                                     std::numeric_limits<double>::quiet_NaN()};
    for (double bytes : bad) {
        EXPECT_THROW(hundredthsOfMB(bytes), OverflowError) << bytes;
    }
}

// A locale that writes 1.536,00: decimal comma, dot grouping.
struct CommaDecimals : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

TEST(BytesToMB, SameInALocaleWithDecimalCommaAndDotGrouping) {
    const std::locale previous =
        std::locale::global(std::locale(std::locale::classic(), new CommaDecimals));
    const double mb = MemoryQuery::BytesToMB(1'610'612'736.0);
    std::locale::global(previous);
    EXPECT_EQ(mb, 1536.0);
}

// Whole-megabyte figures: two decimals first, then ties to even; nothing
// (an overflow) beyond 32 bits.
struct FigureCase {
    std::uint64_t bytes;
    std::optional<std::int32_t> figure;
};

const std::vector<FigureCase> kFigures = {
    {268'435'456, 256},
    {0, 0},
    {1'048'575, 1},
    {523'239, 0},    // 0.50 -> even 0
    {1'571'815, 2},  // 1.50 -> even 2
    {3'221'225'472, 3072},
    {4'294'967'295, 4096},
    {25'769'803'776, 24576},  // 64-bit counts work
    {68'719'476'736, 65536},
    {267'908'022, 256},                                 // 255.497 MB
    {267'914'314, 256},                                 // 255.503 MB
    {266'859'446, 254},                                 // 254.497 MB
    {266'865'738, 254},                                 // 254.503 MB
    {267'905'925, 255},                                 // 255.49499.. MB stays below the tie
    {2'147'483'647 * kMB, 2'147'483'647},               // the largest figure
    {2'147'483'647 * kMB + kMB / 2 + 1, std::nullopt},  // .50 rounds up to 2^31
    {2'147'483'648 * kMB, std::nullopt},
    {std::numeric_limits<std::uint64_t>::max(), std::nullopt},
};

struct FigureTest : ::testing::Test {
    sim::SimMemory source;
    MemoryQuery query{source};
};

TEST_F(FigureTest, EveryProcedureRoundsItsOwnCount) {
    const std::vector<std::int32_t (MemoryQuery::*)()> procedures = {
        &MemoryQuery::GetTotalPhysical, &MemoryQuery::GetFreePhysical,
        &MemoryQuery::GetTotalPagefile, &MemoryQuery::GetFreePagefile};
    for (const auto& c : kFigures) {
        source.status = {c.bytes, c.bytes, c.bytes, c.bytes};
        for (auto procedure : procedures) {
            if (c.figure) {
                EXPECT_EQ((query.*procedure)(), *c.figure) << c.bytes;
            } else {
                EXPECT_THROW((query.*procedure)(), OverflowError) << c.bytes;
            }
        }
    }
}

TEST_F(FigureTest, EachProcedureReadsItsFieldFromAFreshQuery) {
    source.setMB(1000, 200, 3000, 400);
    EXPECT_EQ(query.GetTotalPhysical(), 1000);
    EXPECT_EQ(query.GetFreePhysical(), 200);
    EXPECT_EQ(query.GetTotalPagefile(), 3000);
    EXPECT_EQ(query.GetFreePagefile(), 400);
    EXPECT_EQ(source.queries, 4);

    source.setMB(1001, 201, 3001, 401);  // no figure is cached
    EXPECT_EQ(query.GetFreePagefile(), 401);
    EXPECT_EQ(query.record().totalPhys, 1001 * kMB);  // the whole record is refilled
    EXPECT_EQ(source.queries, 5);
}

TEST_F(FigureTest, AFailedQueryReachesTheCaller) {
    source.fail = true;
    EXPECT_THROW(query.GetFreePhysical(), ServiceError);
}

}  // namespace
}  // namespace vk
