#include "app/run_rate.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarnwick {
namespace {

TEST(RunRate, RateAndTimeLeftComeFromTheLastMinute)
{
    struct Reading {
        qint64 ms, done;
    };
    struct Case {
        const char* name;
        std::vector<Reading> readings;
        qint64 total;
        QString expected;
    };
    const Case cases[] = {
        { "no reading yet", {}, 100, "" },
        { "two readings at one moment have no rate", { { 0, 0 }, { 0, 5 } }, 100, "" },
        { "ten a second", { { 0, 0 }, { 10'000, 100 } }, 1000, ", 10.0/s, about 1m30s left" },
        { "one moment, two counts", { { 0, 0 }, { 2'000, 1 }, { 2'000, 2 } }, 4, ", 1.00/s, about 2s left" },
        { "slow rates get two decimals", { { 0, 0 }, { 4'000, 10 } }, 20, ", 2.50/s, about 4s left" },
        { "nothing left to estimate", { { 0, 0 }, { 1'000, 50 } }, 50, ", 50.0/s" },
        { "a fast start no longer counts after a minute", { { 0, 0 }, { 60'000, 600 }, { 120'000, 660 } },
            720, ", 1.00/s, about 1m00s left" },
        { "a stalled minute has no rate", { { 0, 0 }, { 30'000, 300 }, { 100'000, 300 } }, 600, "" },
        { "an hour exactly", { { 0, 0 }, { 1'000, 1 } }, 3601, ", 1.00/s, about 1h00m left" },
        { "a reading from the past is ignored", { { 0, 0 }, { 10'000, 100 }, { 5'000, 900 } }, 200,
            ", 10.0/s, about 10s left" },
    };
    for (const Case& c : cases) {
        RunRate rate;
        for (const Reading& r : c.readings)
            rate.sample(r.ms, r.done);
        EXPECT_EQ(rate.describe(c.total), c.expected) << c.name;
        EXPECT_EQ(rate.secondsLeft(c.total) == -1, c.expected.isEmpty()) << c.name << ": no rate, no time";
    }
}

} // namespace
} // namespace tarnwick
