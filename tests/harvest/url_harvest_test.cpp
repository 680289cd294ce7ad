// The harvest over loopback servers in the classic search sites' and a SearXNG instance's place.
#include <gtest/gtest.h>

#include <tuple>

#include "app/form1.h"
#include "app/small_handlers.h"
#include "harvest/result_sources.h"
#include "harvest/url_harvest.h"
#include "net/searxng_hint.h"
#include "support/fake_platform.h"
#include "support/fake_transfer_control.h"
#include "support/fixtures.h"
#include "support/qt_printers.h"
#include "support/service_mimics.h"

namespace tarnwick {
namespace {

constexpr int kFirstPageRoots = 59; // 60 results, two on one site; the rest is the search site's
constexpr int kFirstPageAddresses = 60;

// "blue widgets" has two pages (the first with "Next"), "half broken" a first page whose "Next" fails,
// "other" one link to the site's host, "limit" three new sites and a listed one; the rest fail.
test::CannedAnswer resultPage(const std::string& site, const httplib::Request& req)
{
    static const std::string first = test::readFixture("harvest/results_first.html").toStdString();
    static const std::string last = test::readFixture("harvest/results_last.html").toStdString();
    const std::string q = req.get_param_value("q");
    const bool more = req.has_param("start");
    if (req.get_param_value("num") != "100")
        return { 400, "", "text/plain" };
    if ((q == "blue widgets" || q == "half broken") && !more)
        return { 200, first, "text/html" };
    if (q == "blue widgets" && req.get_param_value("start") == "100")
        return { 200, last, "text/html" };
    if (q == "other" && !more)
        return { 200, "<a href='http://" + site + ".example/from-other.html'>r</a>", "text/html" };
    if (q == "limit")
        return { 200,
            "<a href='http://new0.example/a'>0</a><a href='HTTP://LISTED1.EXAMPLE/x'>1</a>"
            "<a href='http://new1.example/'>2</a><a href='http://new2.example/b'>3</a>",
            "text/html" };
    return { q == "half broken" ? 503 : 500, "<a href='http://error.example/'>Try later</a>", "text/html" };
}

// SearXNG pages: "widgets" has two, then an empty one; "endless" a new site on each; the rest, refusals.
test::CannedAnswer searxngAnswer(const httplib::Request& req)
{
    using test::searxngPage;
    const std::string q = req.get_param_value("q");
    const int page = std::stoi(req.get_param_value("pageno"));
    if (req.get_param_value("format") != "json")
        return { 400, "", "text/plain" };
    if (q.empty())
        return { 400, R"({"error": "No query"})" };
    if (q == "widgets" && page == 1)
        return { 200,
            searxngPage(
                { "https://www.one.example/a.html", "https://www.one.example/b.html", "javascript:alert(1)",
                    "http:///no-host", "http://c.example/\\u0001", "http://two.example/a b" }) };
    if (q == "widgets" && page == 2)
        return { 200, searxngPage({ "https://www.one.example/c.html", "http://three.example/x?y=1" }) };
    if (q == "endless")
        return { 200, searxngPage({ "http://site" + std::to_string(page) + ".example/" }) };
    if (q == "off")
        return { 403, "<html><title>403 Forbidden</title></html>", "text/html" };
    if (q == "engines")
        return { 200, searxngPage({}, { { "google", "CAPTCHA" }, { "bing", "timeout" } }) };
    if (q == "html")
        return { 200, "<!DOCTYPE html><html><body>results</body></html>", "text/html; charset=utf-8" };
    return { 200, searxngPage({}) };
}

using Tick = std::tuple<int, int, int, std::int64_t>; // page, ticks left, URLs found, Label4

struct Harvest : ::testing::Test {
    Form1 f { std::make_unique<test::FakeTransferControl>() };
    test::FakePlatform p;
    test::ClassicSearch world { [](const httplib::Request& req) { return resultPage("world", req); } };
    test::ServiceMimic uk { "/search", [](const httplib::Request& req) { return resultPage("uk", req); } };
    test::ServiceMimic searxng { "/search", searxngAnswer };
    std::vector<Tick> ticks; // what each tick of the waits showed
    std::vector<HarvestNext> nexts; // what each tick's wait was said to lead to
    size_t stopAtTick = 0;
    bool quitAtStop = false; // the user quits instead of Stop All

    Harvest()
    {
        qputenv("TARNWICK_SEARCH_BASE_UK", uk.url("/").toUtf8());
        f.resultSource = "Classic";
        p.rndValues = { 0.0, 0.999 }; // 20 ticks, then 60
        p.onPump = [this](int) {
            if (p.sleptMs == qint64(ticks.size()) * 250)
                return; // a pump while links are added
            ticks.emplace_back(f.progress.harvestPage, f.progress.harvestWaitTicks, f.progress.harvestFound,
                f.Label4.BackColor());
            nexts.push_back(f.progress.harvestNext);
            if (ticks.size() == stopAtTick)
                quitAtStop ? mnuQuit_Click(f, p) : mnuStopAll_Click(f);
        };
    }
    ~Harvest() override { qunsetenv("TARNWICK_SEARCH_BASE_UK"); }
    void run(const QStringList& entries)
    {
        f.List2.replaceAll(entries);
        Command1_Click(f, p);
    }
    QStringList urlsWith(const QString& t) const { return f.List1.items().filter(t, Qt::CaseInsensitive); }
};

TEST_F(Harvest, SiteRootsOfEveryPageWithoutTheSearchSitesOwnLinks)
{
    f.progress.harvestFound = 99;
    run({ "18402 - blue widgets - extra piece" });
    EXPECT_EQ(world.targets(),
        (QStringList { "/search?q=blue%20widgets&num=100", "/search?q=blue%20widgets&num=100&start=100" }));
    EXPECT_TRUE(uk.targets().isEmpty());
    EXPECT_EQ(f.List1.ListCount(), kFirstPageRoots + 2);
    EXPECT_EQ(f.List1.List(0), "http://www.result01.example/");
    EXPECT_EQ(f.List1.items().mid(kFirstPageRoots - 2),
        (QStringList { "http://www.football.example/", "http://install.example.org/",
            "http://www.second-page.example/", "http://last.example.net/" }));
    for (const char* gone : { "google", "127.0.0.1", "72.14.203.104" })
        EXPECT_TRUE(urlsWith(QString::fromLatin1(gone)).isEmpty()) << gone;
    EXPECT_EQ(f.Text2.Text(), "blue widgets");
    EXPECT_EQ(f.Text3.Text(), "http://last.example.net/");
    EXPECT_EQ(f.List2.ListIndex(), 0);
    // One wait after each page, the last one too, blinking and counting down.
    ASSERT_EQ(ticks.size(), 20u + 60u);
    EXPECT_EQ(p.sleptMs, (20 + 60) * 250);
    EXPECT_EQ(ticks[0], Tick(1, 19, kFirstPageRoots, colour::Red));
    EXPECT_EQ(ticks[19], Tick(1, 0, kFirstPageRoots, colour::Blue));
    EXPECT_EQ(ticks[20], Tick(2, 59, kFirstPageRoots + 2, colour::Red));
    EXPECT_EQ(ticks[79], Tick(2, 0, kFirstPageRoots + 2, colour::Blue));
    EXPECT_EQ(nexts[20], HarvestNext::Nothing) << "the last page of the last keyword";
    EXPECT_EQ(p.messages, QStringList { "Finished run!" });
    EXPECT_EQ(f.Label4.BackColor(), colour::ButtonFace);
    EXPECT_EQ(f.Label3.Caption(), "1");
}

TEST_F(Harvest, ListedEntriesHideCandidatesTheyBeginWithIgnoringCase)
{
    const QStringList listed { "HTTP://WWW.RESULT02.EXAMPLE/PATH/PAGE.HTML", "http://www.result03.example/" };
    f.List1.replaceAll(listed);
    p.rndValues = { 0, 0, 0, 0 };
    run({ "a - blue widgets", "b - blue widgets - again" }); // the same sites twice
    EXPECT_EQ(world.targets().size(), 4);
    EXPECT_EQ((std::vector { nexts[0], nexts[20], nexts[40], nexts[60] }),
        (std::vector { HarvestNext::Page, HarvestNext::Keyword, HarvestNext::Page, HarvestNext::Nothing }));
    EXPECT_EQ(urlsWith("result02").size(), 1);
    EXPECT_EQ(urlsWith("result03").size(), 1);
    EXPECT_EQ(f.List1.ListCount(), 2 + kFirstPageRoots + 2 - 2);

    // Full addresses: a page below a listed root merely begins with it, so it is added; the
    // second page's bare root of result01 begins a listed address, so it is not.
    f.List1.replaceAll(listed);
    f.Check1.setValue(1);
    run({ " - blue widgets" });
    EXPECT_EQ(f.List1.ListCount(), 2 + kFirstPageAddresses + 3 - 1);
    EXPECT_EQ(urlsWith("result01"),
        (QStringList {
            "http://www.result01.example/path/page.html", "http://www.result01.example/other.html" }));
    EXPECT_EQ(urlsWith("result02").size(), 1);
    EXPECT_EQ(urlsWith("result03"),
        (QStringList { "http://www.result03.example/", "http://www.result03.example/path/page.html" }));
    EXPECT_EQ(f.List1.items().value(f.List1.ListCount() - 1), "http://last.example.net/");
}

// Nothing to do and a source unknown are said; the button pressed again during a run starts no second one.
TEST_F(Harvest, NothingToDoNoSecondRunAndTheUnitedKingdomSiteWhenTicked)
{
    run({});
    f.resultSource = "Nowhere";
    run({ " - other" });
    EXPECT_EQ(p.messages, (QStringList { "No keywords!", unknownResultSource("Nowhere") }));
    f.resultSource = "Classic";
    EXPECT_EQ(f.Label3.Caption(), "0");

    p.messages.clear();
    int nested = 0;
    p.onPump = [&](int) {
        if (nested++ == 0)
            Command1_Click(f, p); // the user presses the button again
    };
    for (const int ticked : { 1, 0 }) {
        f.Check2.setValue(ticked);
        run({ " - other" });
    }
    EXPECT_EQ(uk.targets(), QStringList { "/search?q=other&num=100" });
    EXPECT_EQ(world.targets(), QStringList { "/search?q=other&num=100" });
    EXPECT_EQ(f.List1.items(), (QStringList { "http://uk.example/", "http://world.example/" }));
    EXPECT_EQ(p.messages, QStringList(2, "Finished run!"));
}

TEST_F(Harvest, PagesThatFailToLoadAreSkippedWithoutAWait)
{
    run({ " - broken", " - half broken", " - other" });
    EXPECT_EQ(world.targets(),
        (QStringList { "/search?q=broken&num=100", "/search?q=half%20broken&num=100",
            "/search?q=half%20broken&num=100&start=100", "/search?q=other&num=100" }));
    EXPECT_EQ(p.sleptMs, (20 + 60) * 250) << "waits after the two pages that loaded only";
    EXPECT_TRUE(urlsWith("error.example").isEmpty());
    EXPECT_EQ(f.List1.ListCount(), kFirstPageRoots + 1);
    EXPECT_EQ(p.messages, QStringList { "Finished run!" });
    EXPECT_EQ(f.labelStatus.Caption(),
        QString("Harvest finished: 3 keywords, %1 URLs found").arg(kFirstPageRoots + 1));
}

// A keyword list cut short while the run waits ends the run at its new end.
TEST_F(Harvest, AListCutShortDuringTheRunEndsItAtItsNewEnd)
{
    p.onPump = [this](int) { f.List2.replaceAll({ " - half broken" }); };
    run({ " - half broken", " - other", " - broken" });
    EXPECT_EQ(world.targets().size(), 2) << "the two pages of the first keyword";
    EXPECT_EQ(f.Text2.Text(), "half broken");
    p.onPump = [this](int) {
        if (f.List2.ListCount() == 1)
            f.List2.AddItem(" - other");
    };
    run({ " - half broken" });
    EXPECT_EQ(world.targets().size(), 4) << "a keyword added meanwhile waits for the next run";
}

// Stop All ends the run at the tick it comes in, with its message; the next run owes nothing
// to the stopped one (the same ticks), and quitting during its wait ends it there, silently.
TEST_F(Harvest, StopAllOrQuitDuringAWaitEndsTheRunAtThatTick)
{
    std::vector<Tick> firstRun;
    for (const bool quit : { false, true }) {
        SCOPED_TRACE(quit ? "quit" : "Stop All");
        f.List1.Clear();
        ticks.clear();
        p.rndValues = { 0.0, 0.999 };
        p.messages.clear();
        p.yesNoAnswers = { true }; // "Quit and lose the harvest in progress?"
        p.sleptMs = 0;
        const auto asked = world.targets().size();
        stopAtTick = 4;
        quitAtStop = quit;
        run({ " - blue widgets", " - other" });
        EXPECT_EQ(p.sleptMs, 4 * 250);
        EXPECT_EQ(p.messages, quit ? QStringList() : QStringList { "Stopped!" });
        EXPECT_EQ(world.targets().size() - asked, 1);
        EXPECT_EQ(f.List1.ListCount(), kFirstPageRoots);
        if (firstRun.empty()) {
            EXPECT_EQ(f.Label4.BackColor(), colour::ButtonFace);
            EXPECT_EQ(f.Label3.Caption(), "0");
            EXPECT_EQ(f.labelStatus.Caption(),
                QString("Harvest stopped at keyword 1 of 2, page 1: %1 URLs found").arg(kFirstPageRoots))
                << "what the status strip keeps";
            firstRun = ticks;
        } else {
            EXPECT_EQ(ticks, firstRun);
        }
    }
}

TEST_F(Harvest, StopAllWhileLinksAreAddedWaitsForTheFirstTick)
{
    p.onPump = [&](int pump) {
        if (pump == 3)
            mnuStopAll_Click(f);
    };
    run({ " - blue widgets" });
    EXPECT_EQ(f.List1.ListCount(), kFirstPageRoots) << "the page's links are all added first";
    EXPECT_EQ(p.sleptMs, 250);
    EXPECT_EQ(p.messages, QStringList { "Stopped!" });
}

TEST_F(Harvest, LimitTestedAfterEachAddedLink)
{
    using Row = std::tuple<const char*, int, int, int, const char*, bool>;
    for (const auto& [name, listed, entries, requests, message, waited] :
        { Row { "room for all three", 29990, 29993, 2, "Finished run!", true },
            Row { "full after the second new site", 29999, 30001, 1, "Limit reached!", false },
            Row { "at it, terms that add nothing", 30000, 30000, 2, "Finished run!", false },
            Row { "already past it, a term that adds nothing", 30001, 30001, 1, "Limit reached!", false } }) {
        QStringList urls;
        for (int i = 0; i < listed; ++i)
            urls << QStringLiteral("http://listed%1.example/").arg(i);
        f.List1.replaceAll(urls);
        f.Label1.setCaption(QString::number(listed));
        p.messages.clear();
        const auto asked = world.targets().size();
        const qint64 slept = p.sleptMs;
        run(QStringList(2, listed >= 30000 ? " - fails" : " - limit"));
        EXPECT_EQ(f.List1.ListCount(), entries) << name;
        EXPECT_EQ(f.Label1.Caption(), QString::number(entries)) << name;
        EXPECT_EQ(world.targets().size() - asked, requests) << name;
        EXPECT_EQ(p.messages, QStringList { QString::fromLatin1(message) }) << name;
        EXPECT_EQ(p.sleptMs > slept, waited) << name;
    }
}

TEST_F(Harvest, SearxngPagesWhileTheyAddUrlsThenFinished)
{
    f.resultSource = searxng.url(QString());
    p.rndValues = std::deque<double>(40, 0.0); // 20 ticks a wait
    run({ "1 - widgets", "1 - endless" });
    EXPECT_EQ(searxng.targets().value(0), QStringLiteral("/search?q=widgets&format=json&pageno=1"));
    EXPECT_EQ(searxng.targets().filter("q=widgets&").size(), 3) << "the empty last page ends the term";
    EXPECT_EQ(searxng.targets().filter("q=endless&").size(), 10) << "the page limit";
    EXPECT_EQ(f.List1.items().mid(0, 3),
        (QStringList { "https://www.one.example/", "http://two.example/", "http://three.example/" }));
    EXPECT_EQ(f.Label1.Caption(), QString::number(3 + 10));
    EXPECT_EQ(p.sleptMs, (3 + 10) * 20 * 250) << "the classic wait after every page answered";
    const std::pair<int, HarvestNext> waits[] = { { 0, HarvestNext::Page }, { 1, HarvestNext::Page },
        { 2, HarvestNext::Keyword }, { 3, HarvestNext::Page }, { 12, HarvestNext::Nothing } };
    for (const auto& [wait, next] : waits)
        EXPECT_EQ(nexts.at(wait * 20), next) << "wait " << wait;
    EXPECT_EQ(p.messages, QStringList { QStringLiteral("Finished run!") });
    EXPECT_EQ(f.Label4.BackColor(), colour::ButtonFace);

    // Full addresses; a page that adds nothing new ends the term.
    f.List1.replaceAll({ "HTTPS://WWW.ONE.EXAMPLE/C.HTML", "http://three.example/x?y=1" });
    f.Check1.setValue(1);
    run({ "1 - widgets" });
    EXPECT_EQ(f.List1.items().mid(2),
        (QStringList {
            "https://www.one.example/a.html", "https://www.one.example/b.html", "http://two.example/a b" }));
    EXPECT_EQ(searxng.targets().filter("q=widgets&").size(), 3 + 2);
}

// Keywords without a term are skipped, named in one message; a refusal ends the run with its own.
TEST_F(Harvest, SearxngSkipsKeywordsWithoutATermAndEndsTheRunAtARefusal)
{
    const QString site = f.resultSource = searxng.url(QString());
    p.rndValues = std::deque<double>(40, 0.0);
    run(QStringList { "1 -  - blue", "1 -", "2 - widgets" } + QStringList(8, " - ")); // ten, so all named
    EXPECT_EQ(searxng.targets().filter("q=&").size(), 0);
    EXPECT_EQ(searxng.targets().filter("q=widgets&").size(), 3) << "the run went on";
    EXPECT_EQ(p.messages,
        (QStringList { R"(10 keywords have no search term and are skipped: "1 -  - blue", "1 -")"
                + QString(R"(, " - ")").repeated(8) + ".",
            "Finished run!" }));

    p.messages.clear();
    run(QStringList("1 -  - " + QString(73, 'x')) + QStringList(10, " - ") << "1 -  - " + QString(90, 'x'));
    EXPECT_EQ(p.messages.value(0),
        "12 keywords have no search term and are skipped: \"1 -  - " + QString(73, 'x')
            + R"(", " - ", " - ", " - ", " - ", " - ", " - ", " - ", " - ", " - " and 2 more.)");
    run({ "1 -  - " + QString(90, 'x') });
    EXPECT_EQ(p.messages.value(2),
        "The keyword \"1 -  - " + QString(73, 'x') + "...\" has no search term: it is skipped.");

    f.List1.Clear();
    const std::pair<const char*, QString> rows[] = {
        { "off", "JSON output is turned off on this instance: enable it in settings.yml, or run your own" },
        { "engines",
            "No results for \"engines\" (page 1): these search engines did not answer: google (CAPTCHA), "
            "bing (timeout)." },
        { "html", site + " answered with an HTML page where JSON was expected: is the address right?" },
    };
    for (const auto& [term, message] : rows) {
        p.messages.clear();
        f.Label4.setBackColor(colour::Red); // as a wait leaves it
        run({ QStringLiteral("1 - ") + term, QStringLiteral("1 - widgets") });
        EXPECT_EQ(p.messages, QStringList { message }) << term;
        EXPECT_EQ(f.List1.ListCount(), 0) << term << ": the run ended there";
        EXPECT_EQ(f.Label4.BackColor(), colour::ButtonFace) << term;
    }

    // Nothing answering: the address asked and how to start an instance.
    f.resultSource = test::silentAddress(QString());
    p.messages.clear();
    run({ "1 - widgets" });
    ASSERT_EQ(p.messages.size(), 1);
    EXPECT_TRUE(p.messages[0].startsWith(
        "No answer from " + f.resultSource + "/search?q=widgets&format=json&pageno=1 ("))
        << p.messages[0].toStdString();
    EXPECT_TRUE(p.messages[0].endsWith(searxngStartHint(f.resultSource))) << p.messages[0].toStdString();
}

} // namespace
} // namespace tarnwick
