#include "app/form1.h"
#include "support/fake_transfer_control.h"
#include "support/qt_printers.h"
#include "ui/status_strip.h"

#include <gtest/gtest.h>

#include <functional>

namespace tarnwick {
namespace {

TEST(StatusStrip, ReadsTheCommandRunningNow)
{
    struct Case {
        const char* name;
        std::function<void(Form1&, test::FakeTransferControl&)> state;
        QString text;
        qint64 value, maximum;
        RateSampling sampling = RateSampling::Sample;
    };
    const Case cases[] = {
        { "idle", [](Form1&, auto&) {}, "", 0, 0 },
        { "idle after a run that left a line",
            [](Form1& f, auto&) { f.labelStatus.setCaption("Accepted 5, refused 2"); },
            "Accepted 5, refused 2", 0, 0 },
        { "spider with a request in flight",
            [](Form1& f, test::FakeTransferControl& inet) {
                f.activity = Activity::Spider;
                f.Label15.setCaption("4");
                f.Label10.setCaption("2");
                inet.Execute("http://127.0.0.1:9/", "GET", {}, {});
            },
            "Spider: URL 4 of 10, 2 added, 1.00/s, about 7s left", 3, 10 },
        { "spider between requests",
            [](Form1& f, auto&) {
                f.activity = Activity::Spider;
                f.Label15.setCaption("10");
                f.Label10.setCaption("7");
            },
            "Spider: URL 10 of 10, 7 added, 3.33/s", 10, 10 },
        { "spider held by a question: the rate as it was",
            [](Form1& f, auto&) {
                f.activity = Activity::Spider;
                f.Label15.setCaption("10");
            },
            "Spider: URL 10 of 10, 0 added", 10, 10, RateSampling::Keep },
        { "harvest stopped, under its message",
            [](Form1& f, auto&) {
                f.activity = Activity::Harvest;
                f.labelStatus.setCaption("Harvest stopped at keyword 2 of 3, page 2: 12 URLs found");
            },
            "Harvest stopped at keyword 2 of 3, page 2: 12 URLs found", 0, 0 },
        { "keyword lookup of one seed",
            [](Form1& f, auto&) {
                f.activity = Activity::Lookup;
                f.progress.lookupSeedText = "cars";
                f.progress.lookupSeed = f.progress.lookupSeeds = 1;
            },
            "Keyword lookup: \"cars\", 0 keywords found", 0, 0 },
        { "keyword lookup of an expanded seed",
            [](Form1& f, auto&) {
                f.activity = Activity::Lookup;
                f.progress.lookupSeedText = "cars b";
                f.progress.lookupSeed = 3;
                f.progress.lookupSeeds = 37;
                f.Label7.setCaption("45");
            },
            "Keyword lookup: \"cars b\" (3 of 37), 45 keywords found", 2, 37 },
        { "harvest waiting for its next page",
            [](Form1& f, auto&) {
                f.activity = Activity::Harvest;
                f.Label3.setCaption("1");
                f.List2.replaceAll({ "a - one", "b - two", "c - three" });
                f.List2.setListIndex(1);
                f.progress.harvestPage = 2;
                f.progress.harvestFound = 12;
                f.progress.harvestWaitTicks = 37;
            },
            "Harvest: keyword 2 of 3, page 2, 12 URLs found, next page in 10s", 0, 0 },
        { "harvest fetching a page",
            [](Form1& f, auto&) {
                f.activity = Activity::Harvest;
                f.Label3.setCaption("1");
                f.List2.replaceAll({ "a - one" });
                f.List2.setListIndex(0);
                f.progress.harvestPage = 1;
            },
            "Harvest: keyword 1 of 1, page 1, 0 URLs found", 0, 0 },
        { "harvest starting the private instance",
            [](Form1& f, auto&) {
                f.activity = Activity::Harvest;
                f.progress.harvestStartingInstance = true;
            },
            "Starting the private search instance…", 0, 0 },
        { "randomiser",
            [](Form1& f, auto&) {
                f.activity = Activity::Randomise;
                f.progress.startRandomiserPhase(RandomiserPhase::Scrambling, 9);
                f.progress.randomiserDone = 5;
            },
            "Randomiser: scrambling, 5 of 9", 0, 0 },
    };
    for (const Case& c : cases) {
        auto owned = std::make_unique<test::FakeTransferControl>();
        test::FakeTransferControl& inet = *owned;
        Form1 f(std::move(owned));
        c.state(f, inet);
        RunRate rate;
        rate.sample(0, 0);
        const StatusReading reading = StatusStrip::read(f, 10, rate, 3000, c.sampling);
        EXPECT_EQ(reading.text, c.text) << c.name;
        EXPECT_EQ(reading.value, c.value) << c.name;
        EXPECT_EQ(reading.maximum, c.maximum) << c.name;
    }
    // The line a finished command left goes as the next one starts.
    Form1 f(std::make_unique<test::FakeTransferControl>());
    f.labelStatus.setCaption("Spidered 6 of 9 URLs");
    ActivityScope harvest(f, Activity::Harvest);
    EXPECT_EQ(f.labelStatus.Caption(), "");
}

} // namespace
} // namespace tarnwick
