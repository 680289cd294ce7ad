#include <gtest/gtest.h>

#include "net/clean_line.h"
#include "net/page_link_component.h"

namespace tarnwick {
namespace {

const char* kPage = R"(<html><head><base href="http://example.org/dir/"></head><body>
<a href="a.html">First</a> <a href="http://google.com/x">G</a>
<a href="/cache:abc">Cached</a> <a href="http://football.example/">Ball</a>
<a href="q?x=1&amp;tab=2">Tab</a> <a href="file.pdf">Pdf</a>
<a href="page2.html"> Next </a>
<table><tr><td>t1</td></tr></table>
<table><tr><th>h1</th><th>h2</th></tr>
<tr><td>r2c1<table><tr><td>nested</td></tr></table></td><td> r2  c2 </td></tr></table>
</body></html>)";

TEST(PageLinkComponent, LinksResolvedInOrderAndExcluded)
{
    PageLinkComponent page;
    page.setPage(QString::fromUtf8(kPage), QUrl(QStringLiteral("file:///tmp/x.htm")));
    ASSERT_EQ(page.GetLinks().size(), 7);
    EXPECT_EQ(page.GetLinks()[0].address, QStringLiteral("http://example.org/dir/a.html"));
    page.ExcludeLinks(1, QStringLiteral("google."), QStringLiteral("google"));
    page.ExcludeLinks(1, QStringLiteral("all"), QStringLiteral("&tab="));
    page.ExcludeLinks(1, QStringLiteral("all"), QStringLiteral("cache:"));
    page.ExcludeLinks(1, QStringLiteral(".xml"), QStringLiteral(".PDF"));
    QStringList texts;
    for (const LinkRecord& l : page.GetLinks())
        texts << l.text;
    EXPECT_EQ(texts, (QStringList { "First", "Ball", "Next" }));
    EXPECT_EQ(
        page.FindLinkByText(QStringLiteral("Next")), QStringLiteral("http://example.org/dir/page2.html"));
    EXPECT_TRUE(page.FindLinkByText(QStringLiteral("Nex")).isEmpty());
}

TEST(PageLinkComponent, TableCellsNumberedFromOne)
{
    PageLinkComponent page;
    page.setPage(QString::fromUtf8(kPage), QUrl(QStringLiteral("http://h/")));
    EXPECT_EQ(page.GetTableCell(1, 1, 1), QStringLiteral("t1"));
    EXPECT_EQ(page.GetTableCell(2, 1, 2), QStringLiteral("h2"));
    EXPECT_EQ(page.GetTableCell(2, 2, 2), QStringLiteral("r2 c2"));
    EXPECT_EQ(page.GetTableCell(3, 1, 1), QStringLiteral("nested"));
    EXPECT_TRUE(page.GetTableCell(2, 3, 1).isEmpty());
    EXPECT_TRUE(page.GetTableCell(0, 1, 1).isEmpty());
}

// A template inside a cell may hold rows of its own; the cell's text still lands in its own row.
TEST(PageLinkComponent, RowsInsideACellTemplateDoNotMoveTheCellText)
{
    PageLinkComponent page;
    page.setPage(
        QStringLiteral("<table><tr><td>a<template><tr><td>in</td></tr></template>z</td><td>b</td></tr>"
                       "</table>"),
        QUrl(QStringLiteral("http://h/")));
    EXPECT_TRUE(page.GetTableCell(1, 1, 1).startsWith(QLatin1Char('a')));
    EXPECT_TRUE(page.GetTableCell(1, 1, 1).endsWith(QLatin1Char('z')));
    EXPECT_EQ(page.GetTableCell(1, 1, 2), QStringLiteral("b"));
}

TEST(PageLinkComponent, FailedLoadLeavesNoPage)
{
    PageLinkComponent page;
    page.setPage(QString::fromUtf8(kPage), QUrl(QStringLiteral("http://h/")));
    EXPECT_FALSE(page.LoadPageFile(QStringLiteral("/nonexistent/x.htm"), 60, 0));
    EXPECT_TRUE(page.GetLinks().isEmpty());
    EXPECT_TRUE(page.FindLinkByText(QStringLiteral("Next")).isEmpty());
    page.setFetcher([](const QUrl&, int) { return FetchResult {}; });
    EXPECT_FALSE(page.FetchPage(QStringLiteral("http://h/?q=***"), QStringLiteral("a b"), 0, 20, 0));
    EXPECT_TRUE(page.GetTableCell(1, 1, 1).isEmpty());
}

TEST(PageLinkComponent, FetchEncodesTerm)
{
    PageLinkComponent page;
    QUrl asked;
    page.setFetcher([&](const QUrl& url, int) {
        asked = url;
        FetchResult r;
        r.ok = true;
        r.body = "<a href='/x'>X</a>";
        r.finalUrl = QUrl(QStringLiteral("http://final/dir/"));
        return r;
    });
    ASSERT_TRUE(
        page.FetchPage(QStringLiteral("http://h/s?q=***&num=100"), QStringLiteral("a&b #c"), 0, 20, 0));
    EXPECT_EQ(asked.toString(QUrl::FullyEncoded), QStringLiteral("http://h/s?q=a%26b%20%23c&num=100"));
    EXPECT_EQ(page.GetLinks().value(0).address, QStringLiteral("http://final/x"));
}

// Hostile pages nest elements far deeper than any real one; the walk over them must not
// exhaust the stack.
TEST(PageLinkComponent, DeeplyNestedPageDoesNotExhaustTheStack)
{
    const int depth = 400000;
    QString html = QStringLiteral("<table><tr><td><a href='/deep'>");
    html.reserve(html.size() + depth * 11 + 64);
    for (int i = 0; i < depth; ++i)
        html += QStringLiteral("<span>");
    html += QStringLiteral("Deep");
    for (int i = 0; i < depth; ++i)
        html += QStringLiteral("</span>");
    html += QStringLiteral("</a></td></tr></table>");
    PageLinkComponent page;
    page.setPage(html, QUrl(QStringLiteral("http://h/")));
    ASSERT_EQ(page.GetLinks().size(), 1);
    EXPECT_EQ(page.GetLinks()[0].text, QStringLiteral("Deep"));
    EXPECT_EQ(page.FindLinkByText(QStringLiteral("Deep")), QStringLiteral("http://h/deep"));
    EXPECT_EQ(page.GetTableCell(1, 1, 1), QStringLiteral("Deep"));
}

// Unclosed elements are parse errors; a page of thousands of them must not cost memory far
// beyond its own size.
TEST(PageLinkComponent, UnclosedElementsCostMemoryInProportionToThePage)
{
    QString html = QStringLiteral("<a href='/x'>x</a>");
    for (int i = 0; i < 8000; ++i)
        html += QStringLiteral("<span>");
    PageLinkComponent page;
    page.setPage(html, QUrl(QStringLiteral("http://h/")));
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
        html += QStringLiteral("<table><tr><td>");
    html += QString(100 * 1024, QLatin1Char('w'));
    PageLinkComponent page;
    page.setPage(html, QUrl(QStringLiteral("http://h/")));
    qsizetype kept = 0;
    for (int t = 1; t <= depth; ++t) {
        const QString cell = page.GetTableCell(t, 1, 1);
        EXPECT_LE(cell.size(), 64 * 1024);
        kept += cell.size();
    }
    EXPECT_EQ(page.GetTableCell(depth, 1, 1).size(), 64 * 1024);
    EXPECT_LE(kept, 16 * 1024 * 1024);
}

TEST(CleanLine, RemovesCrAndLf)
{
    EXPECT_EQ(CleanLine(QStringLiteral("a\r\nb\rc\n")), QStringLiteral("abc"));
}

} // namespace
} // namespace tarnwick
