#include "pages/page_writer.h"
#include "pages/results_page.h"
#include "pages/sitemap.h"
#include "support/fixtures.h"
#include "support/loaded_form.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

// Pages "p10.html" on and the sitemap "map.html" in the folder "cars".
struct PageRun : test::LoadedForm {
    PageRun()
    {
        QDir(home.path()).mkdir(QStringLiteral("cars"));
        f.Text8.setText(QStringLiteral("cars"));
        f.Text9.setText(QStringLiteral("p"));
        f.Text10.setText(QStringLiteral("map"));
        f.Text13.setText(QStringLiteral("10"));
    }
    QString path(const QString& name) const { return home.path() + QStringLiteral("/cars/") + name; }
};

const QByteArray kBom("\xEF\xBB\xBF");

TEST(PageSafety, TextFromPagesIsNeverFilledIn)
{
    const QString results = QStringLiteral("<font face=\"Default Font\" size=\"None\"><br>x<br></font>");
    struct Case {
        const char* name;
        bool sitemap;
        QString tmpl;
        QString text; // the page title, or the sitemap heading
        QString page;
    };
    const Case cases[] = {
        { "results mark in a title", false, "<title>!@@!</title>!##!", "Deals !##!",
            "<title>Deals !##!</title>" + results },
        { "heading mark in a title", false, "!@@!|!%%!|!##!", "Deals !%%!",
            "Deals !%%!|Deals !%%! ...|" + results },
        { "marks that overlap fill as they always have", false, "!%%!@@!|!##!", "T", "!%%T|" + results },
        { "results mark in a sitemap heading", true, "<h1>!%%!</h1>!##!", "Map !##!",
            "<h1>Map !##!...</h1><font face=\"Default Font\" size=\"None\"><br>x<br></font>" },
    };
    for (const Case& c : cases) {
        PageRun t;
        Form1& f = t.f;
        f.RichTextBox2.setText(c.tmpl);
        f.RichTextBox1.setText(QStringLiteral("x"));
        f.Text14.setText(c.text);
        f.Text11.setText(c.text);
        f.Text15.setText(QStringLiteral("x"));
        if (c.sitemap)
            createsitemap(f, t.p);
        else
            createpage(f, t.p);
        const QString file = t.path(c.sitemap ? QStringLiteral("map.html") : QStringLiteral("p10.html"));
        EXPECT_EQ(test::readFileBytes(file), kBom + (c.page + QStringLiteral("\r\n")).toUtf8()) << c.name;
    }
}

TEST(PageSafety, PageNamesAreLinkedEncodedFromTheSitemap)
{
    PageRun t;
    Form1& f = t.f;
    f.RichTextBox2.setText(QStringLiteral("!##!"));
    f.Text9.setText(QStringLiteral("a\"><b>"));
    createpage(f, t.p);
    EXPECT_TRUE(QFileInfo::exists(t.path(QStringLiteral("a\"><b>10.html"))));
    EXPECT_EQ(f.Text15.Text(), QStringLiteral("<a href=\"a%22%3E%3Cb%3E10.html\">a%22%3E%3Cb%3E10</a>  "));
}

TEST(PageSafety, WritesReplaceWholeAndStartWithAByteOrderMark)
{
    struct Case {
        const char* name;
        QByteArray earlier; // empty: no earlier file
        bool closeDuringWrite;
        QByteArray after;
    };
    const Case cases[] = {
        { "new page", {}, false, kBom + "new \xC3\xBC\r\n" },
        { "earlier page replaced", "old", false, kBom + "new \xC3\xBC\r\n" },
        { "window closed during the write keeps the earlier page", "old", true, "old" },
        { "window closed during the write leaves no empty page", {}, true, {} },
    };
    for (const Case& c : cases) {
        PageRun t;
        const QString file = t.path(QStringLiteral("page.html"));
        if (!c.earlier.isEmpty())
            test::writeFileBytes(file, c.earlier);
        QByteArray seen;
        t.p.onPump = [&](int) {
            seen = test::readFileBytes(file);
            t.p.isUnloaded = c.closeDuringWrite;
        };
        EXPECT_EQ(writeGeneratedPage(t.f, t.p, file, QStringLiteral("new \u00fc")), !c.closeDuringWrite)
            << c.name;
        EXPECT_EQ(seen, c.earlier) << c.name << ": the page was cut short while events ran";
        EXPECT_EQ(test::readFileBytes(file), c.after) << c.name;
        EXPECT_EQ(QDir(t.path({})).entryList(QDir::Files).size(), c.after.isEmpty() ? 0 : 1)
            << c.name << ": a temporary file was left";
        EXPECT_TRUE(t.f.failedFiles.isEmpty()) << c.name;
    }
}

} // namespace
} // namespace tarnwick
