#include "app/form1.h"
#include "support/fake_transfer_control.h"
#include "support/qt_printers.h"
#include "ui/status_strip.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace tarnwick {
namespace {

TEST(StatusStrip, ReadsTheCommandRunningNow)
{
    const struct {
        const char* name;
        Activity activity;
        std::vector<std::pair<Label Form1::*, QString>> captions;
        RunProgress progress;
        QString text;
        qint64 value = 0, maximum = 0;
        RateSampling sampling = RateSampling::Sample;
        bool requestInFlight = false;
        QStringList keywords = {};
        int keyword = 0; // the current one
    } cases[] = {
        { "idle", Activity::None, {}, {}, "" },
        { "idle after a run that left a line", Activity::None,
            { { &Form1::labelStatus, "Accepted 5, refused 2" } }, {}, "Accepted 5, refused 2" },
        { "spider with a request in flight", Activity::Spider,
            { { &Form1::Label15, "4" }, { &Form1::Label10, "2" } }, {},
            "Spider: URL 4 of 10, 2 added, 1.00/s, about 7s left", 3, 10, RateSampling::Sample, true },
        { "spider between fetches", Activity::Spider, { { &Form1::Label15, "10" }, { &Form1::Label10, "7" } },
            {}, "Spider: URL 10 of 10, 7 added, 3.33/s", 10, 10 },
        { "spider held by a question: rate as it was", Activity::Spider, { { &Form1::Label15, "10" } }, {},
            "Spider: URL 10 of 10, 0 added", 10, 10, RateSampling::Keep },
        { "harvest stopped, under its message", Activity::Harvest,
            { { &Form1::labelStatus, "Harvest stopped at keyword 2 of 3, page 2: 12 URLs found" } }, {},
            "Harvest stopped at keyword 2 of 3, page 2: 12 URLs found" },
        { "keyword lookup of one seed", Activity::Lookup, {},
            { .lookupSeedText = "cars", .lookupSeed = 1, .lookupSeeds = 1 },
            "Keyword lookup: \"cars\", 0 keywords found" },
        { "keyword lookup of an expanded seed", Activity::Lookup, { { &Form1::Label7, "45" } },
            { .lookupSeedText = "cars b", .lookupSeed = 3, .lookupSeeds = 37 },
            "Keyword lookup: \"cars b\" (3 of 37), 45 keywords found", 2, 37 },
        { "harvest waiting for its next page", Activity::Harvest, { { &Form1::Label3, "1" } },
            { .harvestPage = 2, .harvestWaitTicks = 37, .harvestFound = 12 },
            "Harvest: keyword 2 of 3, page 2, 12 URLs found, next page in 10s", 0, 0, RateSampling::Sample,
            false, { "a - one", "b - two", "c - three" }, 1 },
        { "harvest fetching a page", Activity::Harvest, { { &Form1::Label3, "1" } }, { .harvestPage = 1 },
            "Harvest: keyword 1 of 1, page 1, 0 URLs found", 0, 0, RateSampling::Sample, false, { "a - b" } },
        { "harvest starting the private instance", Activity::Harvest, {}, { .harvestStartingInstance = true },
            "Starting the private search instance…" },
        { "randomiser", Activity::Randomise, {},
            { .randomiserPhase = RandomiserPhase::Scrambling, .randomiserDone = 5, .randomiserSteps = 9 },
            "Randomiser: scrambling, 5 of 9" },
    };
    for (const auto& c : cases) {
        Form1 f(std::make_unique<test::FakeTransferControl>());
        f.activity = c.activity;
        for (const auto& [label, caption] : c.captions)
            (f.*label).setCaption(caption);
        f.progress = c.progress;
        if (!c.keywords.isEmpty()) {
            f.List2.replaceAll(c.keywords);
            f.List2.setListIndex(c.keyword);
        }
        if (c.requestInFlight)
            f.Inet1->Execute("http://127.0.0.1:9/", "GET", {}, {});
        RunRate rate;
        rate.sample(0, 0);
        const StatusReading reading = StatusStrip::read(f, 10, rate, 3000, c.sampling);
        EXPECT_EQ(reading.text, c.text) << c.name;
        EXPECT_EQ(std::pair(reading.value, reading.maximum), std::pair(c.value, c.maximum)) << c.name;
    }
    // The line a finished command left goes as the next one starts.
    Form1 f(std::make_unique<test::FakeTransferControl>());
    f.labelStatus.setCaption("Spidered 6 of 9 URLs");
    ActivityScope harvest(f, Activity::Harvest);
    EXPECT_EQ(f.labelStatus.Caption(), "");
}

} // namespace
} // namespace tarnwick
