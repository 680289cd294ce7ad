#include "app/form1.h"
#include "harvest/url_harvest.h"
#include "support/fake_platform.h"
#include "support/fake_transfer_control.h"
#include "support/loopback_server.h"

#include <gtest/gtest.h>

#include <tuple>

namespace tarnwick {
namespace {

TEST(HarvestProgress, PageWaitAndUrlsFoundAsTheRunGoes)
{
    test::LoopbackServer search;
    search.server.Get("/search", [](const httplib::Request& req, httplib::Response& res) {
        res.set_content(req.get_param_value("start").empty()
                ? "<a href='http://one.example/a'>1</a><a href='http://two.example/b'>2</a>"
                  "<a href='http://www.google.com/search?start=100'>Next</a>"
                : "<a href='http://three.example/'>3</a>",
            "text/html");
    });
    search.start();
    qputenv("TARNWICK_SEARCH_BASE", search.url(QString()).toUtf8());
    Form1 f(std::make_unique<test::FakeTransferControl>());
    f.resultSource = QStringLiteral("Classic");
    f.List1.AddItem(QStringLiteral("http://known.example/"));
    f.List2.AddItem(QStringLiteral("1 - widgets"));
    f.progress.harvestFound = 99;
    test::FakePlatform p;
    p.rndValues = { 0.0, 0.0 }; // 20 ticks after each page
    using Seen = std::tuple<int, int, int>; // page, ticks left, URLs found
    std::vector<Seen> seen;
    p.onPump = [&](int) {
        seen.emplace_back(f.progress.harvestPage, f.progress.harvestWaitTicks, f.progress.harvestFound);
    };
    Command1_Click(f, p);
    qunsetenv("TARNWICK_SEARCH_BASE");

    ASSERT_EQ(p.messages, QStringList { QStringLiteral("Finished run!") });
    // The pumps of the two waits: each tick, down to the last one, which leaves 0.
    std::vector<Seen> waits;
    for (const Seen& s : seen) {
        if (std::get<1>(s) > 0 || (!waits.empty() && std::get<1>(waits.back()) == 1))
            waits.push_back(s);
    }
    ASSERT_EQ(waits.size(), 40u);
    EXPECT_EQ(waits.front(), Seen(1, 19, 2));
    EXPECT_EQ(waits[19], Seen(1, 0, 2));
    EXPECT_EQ(waits[20], Seen(2, 19, 3));
    EXPECT_EQ(waits.back(), Seen(2, 0, 3));
}

} // namespace
} // namespace tarnwick
