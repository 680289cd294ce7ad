#include "net/clean_line.h"
#include "net/page_link_component.h"
#include "support/fixtures.h"
#include "support/qt_printers.h"

#include <QFileInfo>

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

using test::fixturePath;

QStringList texts(const QList<LinkRecord>& links, QString LinkRecord::*field = &LinkRecord::text)
{
    QStringList out;
    for (const LinkRecord& l : links)
        out << l.*field;
    return out;
}

// The harvest's three rules, as it gives them.
void excludeSearchSiteLinks(PageLinkComponent& page)
{
    page.ExcludeLinks(1, "google.", "google");
    page.ExcludeLinks(1, "all", "&tab=");
    page.ExcludeLinks(1, "all", "cache:");
}

struct FixturePage : ::testing::Test {
    PageLinkComponent page;
    QString dir; // file URL of the fixture folder, with a trailing slash
    void SetUp() override
    {
        const QString path = fixturePath("net/links_tables.html");
        ASSERT_TRUE(page.LoadPageFile(path, 60, 0));
        dir = QUrl::fromLocalFile(QFileInfo(path).absolutePath() + QLatin1Char('/')).toString();
    }
};

TEST_F(FixturePage, LinksInPageOrderAndTheRulesThatExcludeThem)
{
    const QList<LinkRecord> links = page.GetLinks();
    const QStringList all { "First", "Second", "Third link", "Query only", "Scheme relative", "Search",
        "PDF shop", "Manual", "Notes", "Play", "Football", "Tab one", "Next", "Next page" };
    EXPECT_EQ(texts(links), all);
    const QString up = QUrl(dir).resolved(QUrl("../up/second.html")).toString();
    EXPECT_EQ(texts(links, &LinkRecord::address).mid(0, 4),
        (QStringList { dir + "first.html", up, "file:///rooted.html", dir + "links_tables.html?page=2" }));
    EXPECT_EQ(links[5].address, "http://translate.googleusercontent.com/search?q=x");
    const auto without = [&all](const QStringList& gone) {
        QStringList left = all;
        for (const QString& text : gone)
            left.removeOne(text);
        return left;
    };

    // The search site's rules: "all" names no pattern, so football, "cache." and "?tab=" stay.
    excludeSearchSiteLinks(page);
    EXPECT_EQ(texts(page.GetLinks()), without({ "Search" }));
    // Document rules match the path's file type in any case, before a query; not "pdf" in a host.
    ASSERT_TRUE(page.LoadPageFile(fixturePath("net/links_tables.html"), 60, 0));
    EXPECT_EQ(page.GetLinks().size(), 14) << "rules last until the next load";
    page.ExcludeLinks(1, ".xml", ".pdf", ".example/get"); // the lookup's two; with a "/", no file type
    page.ExcludeLinks(1, ".doc", ".mp3", ".e"); // ".e" is a file type, not the ".e" of ".example"
    EXPECT_EQ(texts(page.GetLinks()), without({ "Manual", "Notes", "Play" }));
    excludeSearchSiteLinks(page);
    EXPECT_EQ(texts(page.GetLinks()), without({ "Manual", "Notes", "Play", "Search" }));
}

TEST_F(FixturePage, LinkByWholeTextEvenWhenExcluded)
{
    page.ExcludeLinks(1, "page3");
    EXPECT_EQ(page.FindLinkByText("Next", 1), dir + "page3.html");
    EXPECT_EQ(page.FindLinkByText("Third link", 1), "file:///rooted.html");
    EXPECT_TRUE(page.FindLinkByText("Nex", 1).isEmpty());
    EXPECT_TRUE(page.FindLinkByText("Anchor without address", 1).isEmpty());
}

// Table 1 is the outer, 2 the one nested in it, 3 the last; th is a column; nested rows are not 1's.
TEST_F(FixturePage, TableCellsCountFromOneInDocumentOrder)
{
    for (const auto& [t, r, c, want] :
        { std::tuple { 1, 1, 2, "a2" }, { 1, 2, 2, "b2" }, { 1, 3, 1, "c1" }, { 1, 3, 2, "c2 wrapped" },
            { 1, 3, 3, "" }, { 1, 3, 4, "c4" }, { 2, 1, 2, "inner 2" }, { 3, 1, 1, "x" }, { 0, 1, 1, "" },
            { 4, 1, 1, "" }, { 1, 0, 1, "" }, { 1, 4, 1, "" }, { 1, 1, 3, "" }, { 1, 1, 0, "" } })
        EXPECT_EQ(page.GetTableCell(t, r, c), want) << t << "," << r << "," << c;
}

TEST(PageLinkComponent, FetchFollowsTheFinalAddressAndAFailedLoadLeavesNoPage)
{
    PageLinkComponent page;
    QUrl asked;
    FetchResult answer { .ok = true,
        .status = 200,
        .body = "<base target=_top><base href='/b/'><base href='/c/'><a href='x'>X</a>",
        .finalUrl = QUrl("http://final/dir/") };
    page.setFetcher([&](const QUrl& url, int) {
        asked = url;
        return answer;
    });
    ASSERT_TRUE(page.FetchPage("http://h/s?q=***&num=100", "a&b #c", 0, 20, 0));
    EXPECT_EQ(asked.toString(QUrl::FullyEncoded), "http://h/s?q=a%26b%20%23c&num=100");
    EXPECT_EQ(page.GetLinks().value(0).address, "http://final/b/x") << "against the first base with an href";

    // An error page is no result page either: nothing of it, nor of the page before, remains.
    FetchResult errorPage = answer;
    errorPage.status = 404;
    errorPage.body = "<a href='http://elsewhere.example/'>Next</a>";
    // Reading /proc/self/mem from its start fails (EIO) after a successful open.
    for (const char* failure : { "missing file", "/proc/self/mem", "failed fetch", "error page" }) {
        ASSERT_TRUE(page.LoadPageFile(fixturePath("net/links_tables.html"), 60, 0));
        answer = failure[0] == 'e' ? errorPage : FetchResult {};
        EXPECT_FALSE(failure[0] == 'm' ? page.LoadPageFile("/nonexistent/x.htm", 60, 0)
                : failure[0] == '/'    ? page.LoadPageFile(failure, 60, 0)
                                       : page.FetchPage("http://h/?q=***", "a b", 0, 20, 0))
            << failure;
        EXPECT_TRUE(page.GetLinks().isEmpty()) << failure;
        EXPECT_TRUE(page.FindLinkByText("Next").isEmpty()) << failure;
        EXPECT_TRUE(page.GetTableCell(1, 1, 1).isEmpty()) << failure;
    }
    answer.status = 200; // a page it would take, were such an address ever asked for
    EXPECT_FALSE(page.FetchPage("http://[***", "a", 0, 20, 0)) << "a pattern that makes no address";
}

TEST(CleanLine, RemovesOnlyCarriageReturnsAndLineFeeds)
{
    for (const auto& [in, out] : { std::pair { "a\r\nb\rc\n", "abc" }, { "\r\n", "" },
             { "\ttab  and spaces \r\n", "\ttab  and spaces " }, { "r\\n and n stay", "r\\n and n stay" } })
        EXPECT_EQ(CleanLine(QString::fromUtf8(in), "\r\n", 0), QString::fromUtf8(out)) << in;
    EXPECT_EQ(CleanLine("K\u00fcche\r\n"), "K\u00fcche");
}

// A template inside a cell may hold rows of its own, one in the table cells outside any row; hostile pages
// nest elements past the call stack, leave thousands unclosed, or nest tables so each cell holds all text.
// What is kept stays proportionate.
TEST(PageLinkComponent, TemplateRowsAndHostilePages)
{
    PageLinkComponent page;
    page.setPage(
        QString(
            "<table><tr><td>a<template><tr><td>in</td></tr></template>z</td><td>b</td></tr><template><td>c"),
        QUrl("http://h/"));
    EXPECT_TRUE(page.GetTableCell(1, 1, 1).startsWith(u'a') && page.GetTableCell(1, 1, 1).endsWith(u'z'));
    EXPECT_EQ(page.GetTableCell(1, 1, 2) + page.GetTableCell(1, 2, 2), "bc") << "c joins the last row";

    const int depth = 400000;
    page.setPage("<table><tr><td><a href='/deep'>" + QString("<span>").repeated(depth) + "Deep"
            + QString("</span>").repeated(depth) + "</a></td></tr></table>",
        QUrl("http://h/"));
    ASSERT_EQ(page.GetLinks().size(), 1);
    EXPECT_EQ(page.GetLinks()[0].text, "Deep");
    EXPECT_EQ(page.FindLinkByText("Deep"), "http://h/deep");
    EXPECT_EQ(page.GetTableCell(1, 1, 1), "Deep");

    const QString unclosed = "<a href='/x'>x</a>" + QString("<span>").repeated(8000);
    page.setPage(unclosed, QUrl("http://h/"));
    EXPECT_EQ(page.GetLinks().size(), 1);
    EXPECT_GT(page.parsePeakBytes(), 0u);
    EXPECT_LT(page.parsePeakBytes(), 200u * static_cast<std::size_t>(unclosed.size()));

    const int tables = 1000;
    page.setPage(QString("<table><tr><td>").repeated(tables) + QString(100 * 1024, u'w'), QUrl("http://h/"));
    qsizetype kept = 0, longest = 0;
    for (int t = 1; t <= tables; ++t) {
        kept += page.GetTableCell(t, 1, 1).size();
        longest = std::max(longest, page.GetTableCell(t, 1, 1).size());
    }
    EXPECT_EQ(longest, 64 * 1024) << "the innermost cell, cut";
    EXPECT_LE(kept, 16 * 1024 * 1024);
}

} // namespace
} // namespace tarnwick
