// The harvest over loopback servers that serve fixture result pages in the search site's place.
#include <gtest/gtest.h>

#include <mutex>

#include "app/form1.h"
#include "app/small_handlers.h"
#include "harvest/find_list_entry.h"
#include "harvest/search_sites.h"
#include "harvest/url_harvest.h"
#include "support/fake_platform.h"
#include "support/fake_transfer_control.h"
#include "support/fixtures.h"
#include "support/loopback_server.h"

namespace tarnwick {
namespace {

using test::LoopbackServer;
using test::readFixture;

constexpr int kFirstPageRoots = 59; // 60 results, two on one site; the rest is the search site's
constexpr int kFirstPageAddresses = 60;

// A search site: "blue widgets" has two pages (the first with "Next"), "broken" fails, "half
// broken" has a first page whose "Next" leads to a failure, "other" one page of one link.
class FakeSearchSite {
public:
    explicit FakeSearchSite(const QString& name)
        : name_(name.toStdString())
    {
        server.server.Get("/search", [this](const httplib::Request& req, httplib::Response& res) {
            const std::string q = req.get_param_value("q");
            const std::string start = req.get_param_value("start");
            {
                std::lock_guard lock(mutex_);
                targets_ << QString::fromStdString(req.target);
            }
            if (req.get_param_value("num") != "100") {
                res.status = 400;
            } else if (q == "blue widgets" && start.empty()) {
                res.set_content(first_.toStdString(), "text/html");
            } else if (q == "blue widgets" && start == "100") {
                res.set_content(last_.toStdString(), "text/html");
            } else if (q == "half broken" && start.empty()) {
                res.set_content(first_.toStdString(), "text/html");
            } else if (q == "other" && start.empty()) {
                res.set_content("<a href='http://" + name_ + ".example/from-other.html'>r</a>", "text/html");
            } else {
                res.status = q == "half broken" ? 503 : 500;
                res.set_content("<a href='http://error-page.example/'>Try later</a>", "text/html");
            }
        });
        server.start();
    }
    QStringList targets()
    {
        std::lock_guard lock(mutex_);
        return targets_;
    }

private:
    std::string name_;
    QByteArray first_ = readFixture("harvest/results_first.html");
    QByteArray last_ = readFixture("harvest/results_last.html");
    std::mutex mutex_;
    QStringList targets_;

public:
    // Last, so its thread stops before the members its handler uses go.
    LoopbackServer server;
};

struct Harvest : ::testing::Test {
    Form1 f { std::make_unique<test::FakeTransferControl>() };
    test::FakePlatform p;
    FakeSearchSite world { "world" };
    FakeSearchSite uk { "uk" };

    void SetUp() override
    {
        qputenv("TARNWICK_SEARCH_BASE", world.server.url(QString()).toUtf8());
        qputenv("TARNWICK_SEARCH_BASE_UK", uk.server.url("/").toUtf8());
        p.rndValues = { 0.0, 0.999 }; // 20 ticks, then 60
        f.resultSource = "Classic";
    }
    void TearDown() override
    {
        qunsetenv("TARNWICK_SEARCH_BASE");
        qunsetenv("TARNWICK_SEARCH_BASE_UK");
    }
    QStringList urlsWith(const QString& text) const
    {
        QStringList out;
        for (const QString& u : f.List1.items())
            if (u.contains(text, Qt::CaseInsensitive))
                out << u;
        return out;
    }
};

TEST_F(Harvest, SiteRootsOfTwoPagesWithoutTheSearchSitesOwnLinks)
{
    f.List2.AddItem("18402 - blue widgets - extra piece");
    Command1_Click(f, p);

    EXPECT_EQ(world.targets(),
        (QStringList { "/search?q=blue%20widgets&num=100", "/search?q=blue%20widgets&num=100&start=100" }));
    EXPECT_TRUE(uk.targets().isEmpty());
    EXPECT_EQ(f.List1.ListCount(), kFirstPageRoots + 2);
    EXPECT_EQ(f.Label1.Caption(), QString::number(kFirstPageRoots + 2));
    EXPECT_EQ(f.List1.List(0), "http://www.result01.example/");
    EXPECT_EQ(f.List1.items().mid(kFirstPageRoots - 2),
        (QStringList { "http://www.football.example/", "http://install.example.org/",
            "http://www.second-page.example/", "http://last.example.net/" }));
    for (const char* gone : { "google", "127.0.0.1", "72.14.203.104", "error-page" })
        EXPECT_TRUE(urlsWith(QString::fromLatin1(gone)).isEmpty()) << gone;
    EXPECT_EQ(f.Text2.Text(), "blue widgets");
    EXPECT_EQ(f.Text3.Text(), "http://last.example.net/");
    EXPECT_EQ(f.List2.ListIndex(), 0);
    EXPECT_EQ(p.sleptMs, (20 + 60) * 250) << "one wait after each page, the last page too";
    EXPECT_EQ(p.messages, QStringList { "Finished run!" });
    EXPECT_EQ(f.Label4.BackColor(), colour::ButtonFace);
    EXPECT_EQ(f.Label3.Caption(), "1");
}

TEST_F(Harvest, FullAddressesWhenAsked)
{
    f.Check1.setValue(1);
    f.List2.AddItem(" - blue widgets");
    Command1_Click(f, p);
    // The second page's bare root of result01 begins a listed address, so it is not new.
    EXPECT_EQ(f.List1.ListCount(), kFirstPageAddresses + 3);
    EXPECT_EQ(urlsWith("result01"),
        (QStringList {
            "http://www.result01.example/path/page.html", "http://www.result01.example/other.html" }));
    EXPECT_EQ(f.List1.items().last(), "http://last.example.net/");
}

TEST_F(Harvest, DeduplicationByPrefixIgnoresCase)
{
    f.List1.AddItem("HTTP://WWW.RESULT02.EXAMPLE/PATH/PAGE.HTML");
    f.List1.AddItem("http://www.result03.example/");
    f.List2.AddItem("a - blue widgets");
    f.List2.AddItem("b - blue widgets - again"); // the same site twice
    p.rndValues = { 0, 0, 0, 0 };
    Command1_Click(f, p);
    EXPECT_EQ(world.targets().size(), 4);
    // A listed page in capitals hides its site's root; a listed root hides itself.
    EXPECT_EQ(urlsWith("result02").size(), 1);
    EXPECT_EQ(urlsWith("result03").size(), 1);
    EXPECT_EQ(f.List1.ListCount(), 2 + kFirstPageRoots + 2 - 2);

    // A page below a listed root merely begins with it, so it is added.
    f.List1.Clear();
    f.List1.AddItem("HTTP://WWW.RESULT02.EXAMPLE/PATH/PAGE.HTML");
    f.List1.AddItem("http://www.result03.example/");
    f.List2.Clear();
    f.List2.AddItem(" - blue widgets");
    f.Check1.setValue(1);
    Command1_Click(f, p);
    EXPECT_EQ(urlsWith("result02").size(), 1);
    EXPECT_EQ(urlsWith("result03"),
        (QStringList { "http://www.result03.example/", "http://www.result03.example/path/page.html" }));
}

TEST_F(Harvest, UnitedKingdomSiteWhenTicked)
{
    f.List2.AddItem(" - other");
    f.Check2.setValue(1);
    Command1_Click(f, p);
    EXPECT_TRUE(world.targets().isEmpty());
    EXPECT_EQ(uk.targets(), QStringList { "/search?q=other&num=100" });
    EXPECT_EQ(f.List1.items(), QStringList { "http://uk.example/" });

    f.Check2.setValue(0);
    Command1_Click(f, p);
    EXPECT_EQ(world.targets(), QStringList { "/search?q=other&num=100" });
    EXPECT_EQ(f.List1.List(1), "http://world.example/");
}

TEST_F(Harvest, PagesThatFailToLoadAreSkippedWithoutAWait)
{
    f.List2.AddItem(" - broken");
    f.List2.AddItem(" - half broken");
    f.List2.AddItem(" - other");
    Command1_Click(f, p);
    EXPECT_EQ(world.targets(),
        (QStringList { "/search?q=broken&num=100", "/search?q=half%20broken&num=100",
            "/search?q=half%20broken&num=100&start=100", "/search?q=other&num=100" }));
    EXPECT_EQ(p.sleptMs, (20 + 60) * 250) << "waits after the two pages that loaded only";
    EXPECT_TRUE(urlsWith("error-page").isEmpty());
    EXPECT_EQ(f.List1.ListCount(), kFirstPageRoots + 1);
    EXPECT_EQ(p.messages, QStringList { "Finished run!" });
}

TEST_F(Harvest, StopAllDuringAWaitEndsAtThatTick)
{
    f.List2.AddItem(" - blue widgets");
    f.List2.AddItem(" - other");
    QList<std::int64_t> blinks;
    qint64 lastSlept = 0;
    p.onPump = [&](int) {
        if (p.sleptMs == lastSlept)
            return; // a pump while links are added
        lastSlept = p.sleptMs;
        blinks << f.Label4.BackColor();
        if (p.sleptMs == 4 * 250)
            mnuStopAll_Click(f);
    };
    Command1_Click(f, p);
    EXPECT_EQ(p.sleptMs, 4 * 250);
    EXPECT_EQ(blinks, (QList<std::int64_t> { colour::Red, colour::Blue, colour::Red, colour::Blue }));
    EXPECT_EQ(p.messages, QStringList { "Stopped!" });
    EXPECT_EQ(f.Label4.BackColor(), colour::ButtonFace);
    EXPECT_EQ(f.Label3.Caption(), "0");
    EXPECT_EQ(world.targets().size(), 1);
    EXPECT_EQ(f.List1.ListCount(), kFirstPageRoots);
}

TEST_F(Harvest, StopAllWhileLinksAreAddedWaitsForTheFirstTick)
{
    f.List2.AddItem(" - blue widgets");
    p.onPump = [&](int pump) {
        if (pump == 3)
            mnuStopAll_Click(f);
    };
    Command1_Click(f, p);
    EXPECT_EQ(f.List1.ListCount(), kFirstPageRoots) << "the page's links are all added first";
    EXPECT_EQ(p.sleptMs, 250);
    EXPECT_EQ(p.messages, QStringList { "Stopped!" });
}

TEST_F(Harvest, NothingToDoAndNoSecondRun)
{
    Command1_Click(f, p);
    EXPECT_EQ(p.messages, QStringList { "No keywords!" });
    EXPECT_EQ(f.Label3.Caption(), "0");

    p.messages.clear();
    f.List2.AddItem(" - other");
    int nested = 0;
    p.onPump = [&](int) {
        if (nested++ == 0)
            Command1_Click(f, p); // the user presses the button again
    };
    Command1_Click(f, p);
    EXPECT_EQ(world.targets().size(), 1);
    EXPECT_EQ(p.messages, QStringList { "Finished run!" });
}

TEST(SearchSites, OverrideRootTicksAndListEntries)
{
    qputenv("TARNWICK_SEARCH_BASE", "http://mirror.example/");
    EXPECT_EQ(searchPattern(SearchSite::UnitedKingdom), "http://mirror.example/search?q=***");
    qunsetenv("TARNWICK_SEARCH_BASE");
    EXPECT_EQ(searchPattern(SearchSite::Worldwide), "http://www.google.com/search?q=***");

    const std::pair<const char*, const char*> roots[] = { { "http://h.example", "http://h.example/" },
        { "https://h.example:8080/a/b?c=/d", "https://h.example:8080/" }, { "mailto:x@y.example", "" } };
    for (const auto& [url, root] : roots)
        EXPECT_EQ(siteRoot(url), root) << url;

    // 10r rounded with halves to even, plus 5, times 4.
    const std::pair<double, int> ticks[] = { { 0.0, 20 }, { 0.049, 20 }, { 0.05, 20 }, { 0.051, 24 },
        { 0.15, 28 }, { 0.25, 28 }, { 0.35, 36 }, { 0.949, 56 }, { 0.95, 60 }, { 0.9999, 60 } };
    for (const auto& [r, count] : ticks)
        EXPECT_EQ(waitTicks(r), count) << "r=" << r;

    // A prefix, ignoring case, searched from after the start and wrapping.
    const QStringList items { "Abc", "abd", "x" };
    const std::tuple<const char*, bool, int, int> finds[] = { { "AB", false, -1, 0 }, { "ab", false, 0, 1 },
        { "ab", false, 1, 0 }, { "ab", false, 2, 0 }, { "ab", true, -1, -1 }, { "ABD", true, -1, 1 } };
    for (const auto& [text, whole, start, found] : finds)
        EXPECT_EQ(findEntry(items, text, whole, start), found) << text << " from " << start;
    EXPECT_EQ(findEntry({}, "a", false, -1), -1);
}

} // namespace
} // namespace tarnwick
