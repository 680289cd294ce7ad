#include <gtest/gtest.h>

#include "app/form1.h"
#include "support/fake_platform.h"
#include "support/fake_transfer_control.h"
#include "harvest/find_list_entry.h"
#include "harvest/search_sites.h"
#include "harvest/url_harvest.h"

namespace tarnwick {
namespace {

struct Harvest : ::testing::Test {
    Form1 f{std::make_unique<test::FakeTransferControl>()};
    test::FakePlatform p;
    QStringList asked;
    // Pages by their start offset; a missing offset fails to load.
    QMap<int, QByteArray> pages;
    PageLinkComponent::Fetcher fetcher = [this](const QUrl& url, int) {
        asked << url.toString(QUrl::FullyEncoded);
        const QString s = url.toString();
        const int at = s.indexOf(QStringLiteral("&start="));
        const int start = at < 0 ? 0 : s.mid(at + 7).toInt();
        FetchResult r;
        r.ok = pages.contains(start);
        r.body = pages.value(start);
        r.finalUrl = url;
        return r;
    };
};

QByteArray resultPage(int first, int count, bool next) {
    QByteArray html = "<html><body>"
                      "<a href='http://www.google.com/intl'>G</a>"
                      "<a href='/search?q=x&amp;tab=im'>Images</a>"
                      "<a href='http://x.example/search?q=cache:abc'>Cached</a>"
                      "<a href='http://www.football-all.example/a/b.html'>Ball</a>";
    for (int i = first; i < first + count; ++i)
        html += "<a href='http://site" + QByteArray::number(i) + ".example/page.html'>R</a>";
    if (next) html += "<a href='/search?start=100'>Next</a>";
    return html + "</body></html>";
}

TEST_F(Harvest, TwoPagesSiteRootsWithoutSearchLinks) {
    pages[0] = resultPage(0, 100, true);
    pages[100] = resultPage(100, 5, false);
    f.List2.AddItem(QStringLiteral("12 - first term - more"));
    p.rndValues = {0.0, 0.999};
    Command1_Click(f, p, fetcher);
    ASSERT_EQ(asked.size(), 2);
    EXPECT_TRUE(asked[0].contains(QStringLiteral("q=first%20term&num=100"))) << asked[0].toStdString();
    EXPECT_TRUE(asked[1].endsWith(QStringLiteral("&num=100&start=100"))) << asked[1].toStdString();
    EXPECT_EQ(f.List1.ListCount(), 106);
    EXPECT_EQ(f.List1.List(0), QStringLiteral("http://www.football-all.example/"));
    EXPECT_EQ(f.Label1.Caption(), QStringLiteral("106"));
    for (const QString& u : f.List1.items())
        EXPECT_FALSE(u.contains(QStringLiteral("google")) || u.contains(QStringLiteral("cache:")))
            << u.toStdString();
    EXPECT_EQ(p.sleptMs, (20 + 60) * 250);
    EXPECT_EQ(p.messages, QStringList{QStringLiteral("Finished run!")});
    EXPECT_EQ(f.Label4.BackColor(), colour::ButtonFace);
    EXPECT_EQ(f.activity, Activity::None);
}

TEST_F(Harvest, DedupByPrefixIgnoringCaseAndFullAddresses) {
    pages[0] = "<a href='http://a.example/x.html'>1</a><a href='http://b.example/y.html'>2</a>";
    f.List1.AddItem(QStringLiteral("HTTP://A.EXAMPLE/INDEX.HTML"));
    f.List1.AddItem(QStringLiteral("http://b.example/"));
    f.List2.AddItem(QStringLiteral("plain term"));
    f.Check1.setValue(1);
    Command1_Click(f, p, fetcher);
    EXPECT_EQ(f.List1.items(), (QStringList{"HTTP://A.EXAMPLE/INDEX.HTML", "http://b.example/",
                                            "http://a.example/x.html", "http://b.example/y.html"}));
    EXPECT_TRUE(asked.value(0).contains(QStringLiteral("q=plain%20term"))) << "entry without separator";
    f.List1.Clear();
    f.List1.AddItem(QStringLiteral("HTTP://A.EXAMPLE/INDEX.HTML"));
    f.Check1.setValue(0);
    Command1_Click(f, p, fetcher);
    EXPECT_EQ(f.List1.items(), (QStringList{"HTTP://A.EXAMPLE/INDEX.HTML", "http://b.example/"}));
}

TEST_F(Harvest, FailedPageLimitAndStop) {
    f.List2.AddItem(QStringLiteral(" - dead"));
    Command1_Click(f, p, fetcher);
    EXPECT_EQ(asked.size(), 1);
    EXPECT_EQ(p.sleptMs, 0);
    EXPECT_EQ(p.messages.value(0), QStringLiteral("Finished run!"));

    p.messages.clear();
    QStringList many;
    for (int i = 0; i < 30001; ++i) many << QStringLiteral("http://x%1/").arg(i);
    f.List1.replaceAll(many);
    pages[0] = "<a href='http://new.example/'>n</a>";
    f.List2.AddItem(QStringLiteral(" - second"));
    Command1_Click(f, p, fetcher);
    EXPECT_EQ(p.messages, QStringList{QStringLiteral("Limit reached!")});
    EXPECT_EQ(f.List1.ListCount(), 30002);

    p.messages.clear();
    f.List1.Clear();
    p.sleptMs = 0;
    p.onPump = [&](int) { if (p.sleptMs >= 500) f.Label3.setCaption(QStringLiteral("0")); };
    p.rndValues = {0.5};
    f.List2.Clear();
    f.List2.AddItem(QStringLiteral(" - second"));
    Command1_Click(f, p, fetcher);
    EXPECT_EQ(p.messages, QStringList{QStringLiteral("Stopped!")});
    EXPECT_EQ(p.sleptMs, 500);
}

TEST_F(Harvest, GuardsAndPatterns) {
    Command1_Click(f, p, fetcher);
    EXPECT_EQ(p.messages, QStringList{QStringLiteral("No keywords!")});
    f.List2.AddItem(QStringLiteral(" - x"));
    f.activity = Activity::Spider;
    Command1_Click(f, p, fetcher);
    EXPECT_TRUE(asked.isEmpty());
    qunsetenv("TARNWICK_SEARCH_BASE");
    qunsetenv("TARNWICK_SEARCH_BASE_UK");
    EXPECT_EQ(searchPattern(SearchSite::Worldwide), QStringLiteral("http://www.google.com/search?q=***"));
    EXPECT_EQ(searchPattern(SearchSite::UnitedKingdom), QStringLiteral("http://www.google.co.uk/search?q=***"));
}

TEST(WaitTicks, Edges) {
    const std::pair<double, int> cases[] = {{0.0, 20}, {0.05, 20}, {0.15, 28}, {0.999, 60}};
    for (const auto& [r, ticks] : cases) EXPECT_EQ(waitTicks(r), ticks) << "r=" << r;
}

TEST(FindEntry, WrapsFromStart) {
    const QStringList items{"Abc", "abd", "x"};
    EXPECT_EQ(findEntry(items, QStringLiteral("AB"), false, -1), 0);
    EXPECT_EQ(findEntry(items, QStringLiteral("ab"), false, 0), 1);
    EXPECT_EQ(findEntry(items, QStringLiteral("ab"), false, 1), 0);
    EXPECT_EQ(findEntry(items, QStringLiteral("ab"), true, -1), -1);
    EXPECT_EQ(findEntry(items, QStringLiteral("ABD"), true, -1), 1);
}

}  // namespace
}  // namespace tarnwick
