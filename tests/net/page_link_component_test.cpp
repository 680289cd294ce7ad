#include <gtest/gtest.h>

#include <QDir>

#include "net/clean_line.h"
#include "net/page_link_component.h"
#include "support/fixtures.h"

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

// The harvest's three rules and the keyword lookup's two, as those callers give them.
void excludeSearchSiteLinks(PageLinkComponent& page)
{
    page.ExcludeLinks(1, "google.", "google");
    page.ExcludeLinks(1, "all", "&tab=");
    page.ExcludeLinks(1, "all", "cache:");
}
void excludeDocuments(PageLinkComponent& page)
{
    page.ExcludeLinks(1, ".xml", ".pdf");
    page.ExcludeLinks(1, ".doc", ".mp3");
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
    EXPECT_EQ(texts(links),
        (QStringList { "First", "Second", "Third link", "Query only", "Scheme relative", "Search", "PDF shop",
            "Manual", "Notes", "Play", "Football", "Tab one", "Next", "Next page" }));
    const QString up = QUrl(dir).resolved(QUrl("../up/second.html")).toString();
    EXPECT_EQ(texts(links, &LinkRecord::address).mid(0, 4),
        (QStringList { dir + "first.html", up, "file:///rooted.html", dir + "links_tables.html?page=2" }));
    EXPECT_EQ(links[5].address, "http://www.google.com/search?q=x");

    // The search site's rules: "all" names no pattern, so football stays, and so do "cache."
    // and "?tab=" addresses.
    excludeSearchSiteLinks(page);
    QStringList left = texts(page.GetLinks());
    EXPECT_EQ(left.size(), 13);
    EXPECT_FALSE(left.contains("Search"));
    EXPECT_TRUE(left.contains("Football") && left.contains("Tab one"));

    // The document rules match the file type of the path.
    ASSERT_TRUE(page.LoadPageFile(fixturePath("net/links_tables.html"), 60, 0));
    EXPECT_EQ(page.GetLinks().size(), 14) << "rules last until the next load";
    excludeDocuments(page);
    left = texts(page.GetLinks());
    EXPECT_EQ(left.size(), 12);
    EXPECT_FALSE(left.contains("Manual")) << "upper-case .PDF";
    EXPECT_FALSE(left.contains("Notes")) << ".doc with a query";
    EXPECT_TRUE(left.contains("PDF shop")) << "host merely holding pdf";
    EXPECT_TRUE(left.contains("Play")) << ".mp3 in the query only";
    excludeSearchSiteLinks(page);
    EXPECT_EQ(page.GetLinks().size(), 11);
}

TEST_F(FixturePage, LinkByWholeTextEvenWhenExcluded)
{
    page.ExcludeLinks(1, "page3");
    EXPECT_EQ(page.FindLinkByText("Next", 1), dir + "page3.html");
    EXPECT_EQ(page.FindLinkByText("Third link", 1), "file:///rooted.html");
    EXPECT_TRUE(page.FindLinkByText("Nex", 1).isEmpty());
    EXPECT_TRUE(page.FindLinkByText("Anchor without address", 1).isEmpty());
}

TEST_F(FixturePage, TableCellsCountFromOneInDocumentOrder)
{
    // Table 1 is the outer table, 2 the one nested in it, 3 the last.
    EXPECT_EQ(page.GetTableCell(1, 1, 2), "a2");
    EXPECT_EQ(page.GetTableCell(1, 2, 2), "b2") << "nested rows are not rows of the outer table";
    EXPECT_EQ(page.GetTableCell(1, 3, 1), "c1") << "th counts as a column";
    EXPECT_EQ(page.GetTableCell(1, 3, 2), "c2 wrapped");
    EXPECT_EQ(page.GetTableCell(1, 3, 3), QString());
    EXPECT_EQ(page.GetTableCell(1, 3, 4), "c4");
    EXPECT_EQ(page.GetTableCell(2, 1, 2), "inner 2");
    EXPECT_EQ(page.GetTableCell(3, 1, 1), "x");
    for (const auto& [t, r, c] :
        { std::tuple { 0, 1, 1 }, { 4, 1, 1 }, { 1, 0, 1 }, { 1, 4, 1 }, { 1, 1, 3 }, { 1, 1, 0 } })
        EXPECT_TRUE(page.GetTableCell(t, r, c).isEmpty()) << t << "," << r << "," << c;
}

// A template inside a cell may hold rows of its own; the cell's text still lands in its own row.
TEST(PageLinkComponent, RowsInsideACellTemplateDoNotMoveTheCellText)
{
    PageLinkComponent page;
    page.setPage(QString("<table><tr><td>a<template><tr><td>in</td></tr></template>z</td><td>b</td></tr>"
                         "</table>"),
        QUrl("http://h/"));
    EXPECT_TRUE(page.GetTableCell(1, 1, 1).startsWith(QLatin1Char('a')));
    EXPECT_TRUE(page.GetTableCell(1, 1, 1).endsWith(QLatin1Char('z')));
    EXPECT_EQ(page.GetTableCell(1, 1, 2), "b");
}

TEST(PageLinkComponent, FetchFollowsTheFinalAddressAndAFailedLoadLeavesNoPage)
{
    PageLinkComponent page;
    QUrl asked;
    FetchResult answer;
    answer.ok = true;
    answer.status = 200;
    answer.body = "<a href='/x'>X</a>";
    answer.finalUrl = QUrl("http://final/dir/");
    page.setFetcher([&](const QUrl& url, int) {
        asked = url;
        return answer;
    });
    ASSERT_TRUE(page.FetchPage("http://h/s?q=***&num=100", "a&b #c", 0, 20, 0));
    EXPECT_EQ(asked.toString(QUrl::FullyEncoded), "http://h/s?q=a%26b%20%23c&num=100");
    EXPECT_EQ(page.GetLinks().value(0).address, "http://final/x");

    // An error page is no result page either: nothing of it, nor of the page before, remains.
    FetchResult errorPage = answer;
    errorPage.status = 404;
    errorPage.body = "<a href='http://elsewhere.example/'>Next</a>";
    for (const char* failure : { "missing file", "failed fetch", "error page" }) {
        ASSERT_TRUE(page.LoadPageFile(fixturePath("net/links_tables.html"), 60, 0));
        answer = failure[0] == 'e' ? errorPage : FetchResult {};
        EXPECT_FALSE(failure[0] == 'm' ? page.LoadPageFile("/nonexistent/x.htm", 60, 0)
                                       : page.FetchPage("http://h/?q=***", "a b", 0, 20, 0));
        EXPECT_TRUE(page.GetLinks().isEmpty()) << failure;
        EXPECT_TRUE(page.FindLinkByText("Next").isEmpty()) << failure;
        EXPECT_TRUE(page.GetTableCell(1, 1, 1).isEmpty()) << failure;
    }
}

TEST(CleanLine, RemovesOnlyCarriageReturnsAndLineFeeds)
{
    const std::pair<const char*, const char*> cases[] = {
        { "a\r\nb\rc\n", "abc" },
        { "\r\n", "" },
        { "", "" },
        { "\ttab  and spaces \r\n", "\ttab  and spaces " },
        { "r\\n and n stay", "r\\n and n stay" },
        { "\n\nx\r\r", "x" },
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(CleanLine(QString::fromUtf8(in), "\r\n", 0), QString::fromUtf8(out)) << in;
    EXPECT_EQ(CleanLine("K\u00fcche\r\n"), "K\u00fcche");
}

// Hostile pages nest elements far deeper than any real one; the walk over them must not
// exhaust the stack.
TEST(PageLinkComponent, DeeplyNestedPageDoesNotExhaustTheStack)
{
    const int depth = 400000;
    QString html = "<table><tr><td><a href='/deep'>";
    html.reserve(html.size() + depth * 11 + 64);
    for (int i = 0; i < depth; ++i)
        html += "<span>";
    html += "Deep";
    for (int i = 0; i < depth; ++i)
        html += "</span>";
    html += "</a></td></tr></table>";
    PageLinkComponent page;
    page.setPage(html, QUrl("http://h/"));
    ASSERT_EQ(page.GetLinks().size(), 1);
    EXPECT_EQ(page.GetLinks()[0].text, "Deep");
    EXPECT_EQ(page.FindLinkByText("Deep"), "http://h/deep");
    EXPECT_EQ(page.GetTableCell(1, 1, 1), "Deep");
}

// Unclosed elements are parse errors; a page of thousands of them must not cost memory far
// beyond its own size.
TEST(PageLinkComponent, UnclosedElementsCostMemoryInProportionToThePage)
{
    QString html = "<a href='/x'>x</a>";
    for (int i = 0; i < 8000; ++i)
        html += "<span>";
    PageLinkComponent page;
    page.setPage(html, QUrl("http://h/"));
    ASSERT_EQ(page.GetLinks().size(), 1);
    EXPECT_GT(page.parsePeakBytes(), 0u);
    EXPECT_LT(page.parsePeakBytes(), 200u * static_cast<std::size_t>(html.size()));
}

// Each enclosing cell of nested tables holds all inner text; what is kept stays bounded.
TEST(PageLinkComponent, NestedTablesKeepBoundedCellText)
{
    const int depth = 1000;
    QString html;
    for (int i = 0; i < depth; ++i)
        html += "<table><tr><td>";
    html += QString(100 * 1024, QLatin1Char('w'));
    PageLinkComponent page;
    page.setPage(html, QUrl("http://h/"));
    qsizetype kept = 0;
    for (int t = 1; t <= depth; ++t) {
        const QString cell = page.GetTableCell(t, 1, 1);
        EXPECT_LE(cell.size(), 64 * 1024);
        kept += cell.size();
    }
    EXPECT_EQ(page.GetTableCell(depth, 1, 1).size(), 64 * 1024);
    EXPECT_LE(kept, 16 * 1024 * 1024);
}

} // namespace
} // namespace tarnwick
