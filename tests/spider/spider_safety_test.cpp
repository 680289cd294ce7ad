#include "spider/spider_record.h"
#include "spider/spider_run.h"
#include "support/loaded_form.h"

#include <QFileInfo>

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

TEST(SpiderSafety, NamesWithControlsOrAPageNameAreRefused)
{
    const QString controls = QStringLiteral(
        "Don't use control characters (tabs, line breaks and the like)! Enter name, nothing else.");
    const QString ext = QStringLiteral("\r\nAnd don't add any file extension either (e.g. '.html').");
    const QString taken = QStringLiteral("Sitemap name could be the name of a results page (insurance "
                                         "followed by a number)! Choose another name.");
    struct Case {
        const char* name;
        TextField Form1::*field;
        QString text;
        QString message; // empty: the checks pass and the output folder is made
    };
    const Case cases[] = {
        { "escape in the folder", &Form1::Text8, "cars\x1b[31m", controls },
        { "line break in the page name", &Form1::Text9, "insur\nance", controls + ext },
        { "bell in the sitemap name", &Form1::Text10, "map\a", controls },
        { "delete in the sitemap name", &Form1::Text10, "map\x7f", controls },
        { "C1 control in the folder", &Form1::Text8, QStringLiteral("cars\u009b"), controls },
        { "sitemap as a page", &Form1::Text10, "insurance20", taken },
        { "sitemap as a page in other case", &Form1::Text10, "INSURANCE3", taken },
        { "sitemap named like the pages", &Form1::Text10, "insurance", {} },
        { "sitemap with more after the digits", &Form1::Text10, "insurance2map", {} },
        { "accented names", &Form1::Text8, QStringLiteral("autos-\u00fcber"), {} },
    };
    for (const Case& c : cases) {
        test::LoadedForm w;
        Form1& f = w.f;
        test::readySpider(f);
        f.List1.AddItem(QStringLiteral("http://a.example/"));
        f.Check3.setValue(1);
        TextField& field = f.*c.field;
        field.setText(c.text);
        Command3_Click(f, w.p);
        const QString folder = w.home.path() + QLatin1Char('/') + f.Text8.Text();
        if (c.message.isEmpty()) {
            EXPECT_TRUE(QFileInfo(folder).isDir()) << c.name << ": " << w.p.messages.join('|').toStdString();
            continue;
        }
        ASSERT_FALSE(w.p.messages.isEmpty()) << c.name;
        EXPECT_EQ(w.p.messages.at(0), c.message) << c.name;
        EXPECT_EQ(f.focused(), &field) << c.name;
        EXPECT_FALSE(QFileInfo::exists(folder)) << c.name;
    }
}

TEST(SpiderSafety, UrlsInRecordsAreWrittenEncoded)
{
    struct Case {
        const char* name;
        QString listed;
        QString written;
    };
    const Case cases[] = {
        { "well-formed unchanged", "https://ex.example/a/b?x=1&y=%20z#top",
            "https://ex.example/a/b?x=1&y=%20z#top" },
        { "non-ASCII kept", QStringLiteral("http://ex.example/Gr\u00fc\u00dfe?q=\u00fc"),
            QStringLiteral("http://ex.example/Gr\u00fc\u00dfe?q=\u00fc") },
        { "markup made inert", "http://ex.example/?q=\"><script>alert(1)</script>",
            "http://ex.example/?q=%22%3E%3Cscript%3Ealert(1)%3C/script%3E" },
        { "space and controls", "http://ex.example/a b\tc\x1b[0m\x7f",
            "http://ex.example/a%20b%09c%1B[0m%7F" },
        { "C1 control as its UTF-8 bytes", QStringLiteral("http://ex.example/\u009b"),
            "http://ex.example/%C2%9B" },
        { "characters a browser would rewrite", "http://ex.example/a\\b^c`d{e|f}",
            "http://ex.example/a%5Cb%5Ec%60d%7Be%7Cf%7D" },
    };
    const QString attrs = QStringLiteral("\" target=\"_blank\" rel=\"nofollow\">");
    for (const Case& c : cases) {
        Form1 f(std::make_unique<test::FakeTransferControl>());
        f.Check4.setValue(1);
        f.Check3.setValue(0);
        EXPECT_EQ(spiderRecords(f, "Title", "D", c.listed), "Title\r\nD\r\n" + c.written + "\r\n\r\n")
            << c.name;
        f.Check3.setValue(1);
        f.Option2.setValue(true);
        EXPECT_EQ(spiderRecords(f, "Title", "D", c.listed),
            "<b>Title</b>\r\nD\r\n<a href=\"" + c.written + attrs + c.written + "</a>\r\n\r\n")
            << c.name;
    }
}

} // namespace
} // namespace tarnwick
