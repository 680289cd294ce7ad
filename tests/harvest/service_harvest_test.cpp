// The harvest against a loopback stand-in of a SearXNG instance's JSON API.
#include <gtest/gtest.h>

#include "app/form1.h"
#include "harvest/result_sources.h"
#include "harvest/url_harvest.h"
#include "net/service_answer.h"
#include "support/fake_platform.h"
#include "support/fake_transfer_control.h"
#include "support/qt_printers.h"
#include "support/service_mimics.h"

namespace tarnwick {
namespace {

using test::CannedAnswer;
using test::searxngPage;

// Pages of results by term: "widgets" has two pages and then the empty last page, "endless"
// a new site on every page, the others stand for the ways an instance refuses.
CannedAnswer answer(const httplib::Request& req)
{
    const std::string q = req.get_param_value("q");
    const int page = std::stoi(req.get_param_value("pageno"));
    if (req.get_param_value("format") != "json")
        return { 400, "", "text/plain" };
    if (q == "widgets" && page == 1)
        return { 200,
            searxngPage({ "https://www.one.example/a.html", "https://www.one.example/b.html",
                "javascript:alert(1)", "http://two.example/" }) };
    if (q == "widgets" && page == 2)
        return { 200, searxngPage({ "https://www.one.example/c.html", "http://three.example/x?y=1" }) };
    if (q == "endless")
        return { 200, searxngPage({ "http://site" + std::to_string(page) + ".example/" }) };
    if (q == "off")
        return { 403, "<html><title>403 Forbidden</title><h1>Forbidden</h1></html>",
            "text/html; charset=utf-8" };
    if (q == "limited")
        return { 429, "Too Many Requests", "text/plain" };
    if (q == "engines")
        return { 200, searxngPage({}, { { "google", "CAPTCHA" }, { "bing", "timeout" } }) };
    if (q == "html")
        return { 200, "<!DOCTYPE html><html><body>results</body></html>", "text/html; charset=utf-8" };
    return { 200, searxngPage({}) };
}

struct ServiceHarvest : ::testing::Test {
    Form1 f { std::make_unique<test::FakeTransferControl>() };
    test::FakePlatform p;
    test::ServiceMimic searxng { "/search", answer };

    void SetUp() override
    {
        f.resultSource = searxng.url(QString());
        p.rndValues = std::deque<double>(40, 0.0); // 20 ticks a wait
    }
    void harvest(const QStringList& terms)
    {
        p.messages.clear();
        f.List2.Clear();
        for (const QString& term : terms)
            f.List2.AddItem(QStringLiteral("1 - ") + term);
        Command1_Click(f, p);
    }
    QStringList pagesAsked(const char* term)
    {
        QStringList pages;
        for (const QString& target : searxng.targets())
            if (target.startsWith(QStringLiteral("/search?q=%1&").arg(QLatin1String(term))))
                pages << target.section(QLatin1Char('='), -1);
        return pages;
    }
};

TEST_F(ServiceHarvest, PagesWhileTheyAddUrlsThenFinished)
{
    harvest({ "widgets", "endless" });
    EXPECT_EQ(searxng.targets().first(), QStringLiteral("/search?q=widgets&format=json&pageno=1"));
    EXPECT_EQ(pagesAsked("widgets"), (QStringList { "1", "2", "3" })) << "the empty last page ends the term";
    EXPECT_EQ(pagesAsked("endless").size(), 10) << "the page limit";
    EXPECT_EQ(f.List1.items().mid(0, 3),
        (QStringList { "https://www.one.example/", "http://two.example/", "http://three.example/" }));
    EXPECT_EQ(f.List1.ListCount(), 3 + 10);
    EXPECT_EQ(f.Label1.Caption(), QStringLiteral("13"));
    EXPECT_EQ(p.sleptMs, (3 + 10) * 20 * 250) << "the classic wait after every page answered";
    EXPECT_EQ(p.messages, QStringList { QStringLiteral("Finished run!") });
    EXPECT_EQ(f.Label4.BackColor(), colour::ButtonFace);

    // Full addresses; a page that adds nothing new ends the term.
    f.List1.Clear();
    f.List1.AddItem(QStringLiteral("HTTPS://WWW.ONE.EXAMPLE/C.HTML"));
    f.List1.AddItem(QStringLiteral("http://three.example/x?y=1"));
    f.Check1.setValue(1);
    harvest({ "widgets" });
    EXPECT_EQ(f.List1.items().mid(2),
        (QStringList {
            "https://www.one.example/a.html", "https://www.one.example/b.html", "http://two.example/" }));
    EXPECT_EQ(pagesAsked("widgets").size(), 3 + 2);
}

TEST_F(ServiceHarvest, RefusalsEndTheRunWithTheirOwnMessage)
{
    const QString site = searxng.url(QString());
    const struct {
        const char* term;
        QString message;
    } rows[] = {
        { "off", "JSON output is turned off on this instance: enable it in settings.yml, or run your own" },
        { "limited",
            site
                + " refused: too many requests (HTTP 429). It limits how often it may be asked; wait before "
                  "trying "
                  "again." },
        { "engines",
            "No results for \"engines\" (page 1): these search engines did not answer: google (CAPTCHA), "
            "bing (timeout)." },
        { "html", site + " answered with an HTML page where JSON was expected: is the address right?" },
    };
    for (const auto& row : rows) {
        f.List1.Clear();
        harvest({ QLatin1String(row.term), QStringLiteral("widgets") });
        EXPECT_EQ(p.messages, QStringList { row.message }) << row.term;
        EXPECT_EQ(f.List1.ListCount(), 0) << row.term << ": the run ended there";
        EXPECT_EQ(f.Label4.BackColor(), colour::ButtonFace) << row.term;
    }
}

TEST_F(ServiceHarvest, NothingAnsweringSaysHowToStartAnInstance)
{
    f.resultSource = test::silentAddress(QStringLiteral("/"));
    harvest({ "widgets" });
    ASSERT_EQ(p.messages.size(), 1);
    const QString address = resultSourceFor(f.resultSource)->addressTemplate;
    EXPECT_TRUE(p.messages[0].startsWith(QStringLiteral("No answer from ")
        + address.left(address.indexOf('{')) + QStringLiteral("widgets&format=json&pageno=1 (")))
        << p.messages[0].toStdString();
    EXPECT_TRUE(p.messages[0].endsWith(QLatin1String(kSearxngStartHint))) << p.messages[0].toStdString();
}

TEST(ResultSources, ByNameAddressOrTemplate)
{
    const QString search = QStringLiteral("/search?q={searchTerms}&format=json&pageno={startPage}");
    const struct {
        const char* choice;
        QString addressTemplate; // empty: the classic site; null choice result: refused
        bool known;
    } rows[] = {
        { "", "http://127.0.0.1:8888" + search, true },
        { "searxng", "http://127.0.0.1:8888" + search, true },
        { "Classic", {}, true },
        { "http://127.0.0.1:9000//", "http://127.0.0.1:9000" + search, true },
        { "https://127.0.0.1/s?q={searchTerms}&p={startPage}",
            "https://127.0.0.1/s?q={searchTerms}&p={startPage}", true },
        { "http://127.0.0.1/s?q=fixed", {}, false },
        { "google", {}, false },
    };
    for (const auto& row : rows) {
        const std::optional<ResultSource> source = resultSourceFor(QLatin1String(row.choice));
        ASSERT_EQ(source.has_value(), row.known) << row.choice;
        if (source) {
            EXPECT_EQ(source->addressTemplate, row.addressTemplate) << row.choice;
            EXPECT_EQ(source->read == nullptr, row.addressTemplate.isEmpty()) << row.choice;
        }
    }
}

} // namespace
} // namespace tarnwick
