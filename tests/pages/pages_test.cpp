#include "pages/page_writer.h"
#include "pages/results_page.h"
#include "pages/sitemap.h"
#include "pages/sitemap_xml.h"
#include "support/fixtures.h"
#include "support/test_window.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

const QByteArray kBom("\xEF\xBB\xBF");

// A window whose page folder "cars" exists, with the names a run with pages needs.
struct Pages : test::TestWindow {
    Pages()
    {
        QDir(home.path()).mkdir("cars");
        form->Text8.setText("cars");
        form->Text9.setText("insurance");
        form->Text10.setText("map");
        form->Text11.setText("Car insurance");
        form->Text13.setText("10");
    }
    QByteArray written(const QString& name) const { return test::readFileBytes(path("cars/" + name)); }
};

// Marks are filled in once, from the template only: text from the pages that looks like a
// mark stays as it is. Pages 21 to 29 carry a credit link before the closing tag.
TEST(Pages, TemplateFilledWithTheShortTitleHeadingResultsAndCredit)
{
    const QString credit = QString("<p><center><font size=\"2\"><a href=\"http://www.tarnwick.example/\">%1"
                                   "</a></font></center></p>\r\n");
    const QString results = "<font face=\"Default Font\" size=\"None\"><br>one<br>\r\ntwo<br></font>";
    const QString full = "<title>!@@!</title><h1>!%%!</h1>!##!";
    const QString plain = "TT ..." + results;
    // Position (null: the sitemap), template, page title or sitemap heading, page (%1: the credit link).
    const std::tuple<const char*, const char*, QString, QString, QString> cases[] = {
        { "title cut to four words", "10", full, "Cheap car insurance quotes online",
            "<title>Cheap car insurance quotes</title><h1>Cheap car insurance quotes ...</h1>" + results },
        { "an empty piece is a word", "10", full, "Cheap  car insurance quotes",
            "<title>Cheap  car insurance</title><h1>Cheap  car insurance ...</h1>" + results },
        { "no title", "10", full, "", "<title></title><h1> ...</h1>" + results },
        { "results mark in a title", "10", "<title>!@@!</title>!##!", "Deals !##!",
            "<title>Deals !##!</title>" + results },
        { "heading mark in a title", "10", "!@@!|!%%!|!##!", "Deals !%%!",
            "Deals !%%!|Deals !%%! ...|" + results },
        { "marks that overlap fill as they always have", "10", "!%%!@@!|!##!", "T", "!%%T|" + results },
        { "results mark in a sitemap heading", nullptr, "<h1>!%%!</h1>!##!", "Map !##!",
            "<h1>Map !##!...</h1>" + results },
        { "page 20 no credit", "20", "!@@!!%%!!##!</body>", "T", plain + "</body>" },
        { "page 30 no credit", "30", "!@@!!%%!!##!</body>", "T", plain + "</body>" },
        { "page 25 twice", "25", "!@@!!%%!!##!</body>|</body>", "T", plain + "%1</body>|%1</body>" },
        { "lower wins over upper", "21", "!@@!!%%!!##!</BODY>|</body>", "T", plain + "</BODY>|%1</body>" },
        { "capitalised", "29", "!@@!!%%!!##!</Body>", "T", plain + "%1</Body>" },
        { "mixed case lowered", "22", "!@@!!%%!!##!</bOdY>", "T", plain + "%1</body>" },
        { "no tag", "23", "!@@!!%%!!##!", "T", plain },
    };
    for (const auto& [name, position, tmpl, text, page] : cases) {
        SCOPED_TRACE(name);
        Pages t;
        Form1& f = t.f();
        f.RichTextBox2.setText(tmpl);
        f.RichTextBox1.setText("one\r\ntwo");
        f.Text15.setText("one\r\ntwo");
        f.Text14.setText(text);
        f.Text11.setText(text);
        if (position)
            f.Text13.setText(position);
        t.p.rndValues = { 0.01 }; // draws 0, which becomes entry 1
        (position ? createpage : createsitemap)(f, t.p);
        const QString want = QString(page).replace("%1", credit.arg(f.List6.List(1)));
        EXPECT_EQ(t.written(position ? QString("insurance%1.html").arg(position) : "map.html"),
            kBom + (want + "\r\n").toUtf8());
        EXPECT_EQ(t.p.randomizeCalls, position ? 1 : 0);
        EXPECT_EQ(f.RichTextBox1.Text().isEmpty(), position != nullptr);
        EXPECT_EQ(f.Text15.Text().isEmpty(), !position);
    }
}

TEST(Sitemap, VerticalLinksHeadingAndListEmptied)
{
    Pages t;
    Form1& f = t.f();
    f.Check6.setValue(1);
    f.RichTextBox2.setText("<title>!@@!</title><h1>!%%!</h1>!##!");
    for (const char* n : { "10", "20" }) {
        f.Text13.setText(n);
        createpage(f, t.p);
    }
    createsitemap(f, t.p);
    EXPECT_EQ(QString::fromUtf8(t.written("map.html")),
        QString("<title>Car insurance...</title><h1>Car insurance...</h1><font face=\"Default Font\" "
                "size=\"None\"><br><a href=\"insurance10.html\">insurance10</a><br>\r\n<br>\r\n"
                "<a href=\"insurance20.html\">insurance20</a><br>\r\n<br>\r\n<br></font>\r\n"));
    EXPECT_TRUE(f.Text15.Text().isEmpty());
    EXPECT_TRUE(f.pageFailure.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(t.path("cars/sitemap.xml"))) << "no site address, no sitemap.xml";
}

// Each link leads to the file written: a query, fragment, escape, reference or markup is part of the name.
TEST(Pages, PageNamesAreLinkedEncodedFromTheSitemap)
{
    const std::pair<const char*, const char*> rows[] = {
        { "a\"><b>", "<a href=\"a%22%3E%3Cb%3E10.html\">a&quot;&gt;&lt;b&gt;10</a>  " },
        { "q#", "<a href=\"q%2310.html\">q#10</a>  " },
        { "a?b", "<a href=\"a%3Fb10.html\">a?b10</a>  " },
        { "50%", "<a href=\"50%2510.html\">50%10</a>  " },
        { "x&amp", "<a href=\"x%26amp10.html\">x&amp;amp10</a>  " },
        { "caf\u00e9-(1)", "<a href=\"caf%C3%A9-(1)10.html\">caf\u00e9-(1)10</a>  " },
    };
    for (const auto& [name, link] : rows) {
        Pages t;
        Form1& f = t.f();
        f.RichTextBox2.setText("!##!");
        f.Text9.setText(QString::fromUtf8(name));
        createpage(f, t.p);
        EXPECT_TRUE(QFileInfo::exists(t.path("cars/" + f.Text9.Text() + "10.html"))) << name;
        EXPECT_EQ(f.Text15.Text(), QString::fromUtf8(link)) << name;
        EXPECT_EQ(QUrl(f.Text15.Text().section('"', 1, 1)).path(), f.Text9.Text() + "10.html")
            << name << ": the link's file";
    }
}

// Names and an address needing escapes: "&" in both, a space and non-ASCII in host and path, "#" in a name.
TEST(SitemapXml, ListsThePagesAndTheSitemapEncodedEscapedAndValid)
{
    Pages t;
    Form1& f = t.f();
    f.RichTextBox2.setText("!##!");
    f.Text18.setText(" http://b\u00fccher.example/Autos & R\u00e4der ");
    t.p.clock = QDateTime(QDate(2026, 3, 4), QTime(23, 30), Qt::UTC);
    createpage(f, t.p);
    f.Text9.setText("q#&\u00fc");
    f.Text13.setText("20");
    createpage(f, t.p);
    createsitemap(f, t.p);
    QString expected = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<urlset xmlns=\"http://www.sitemaps.org/schemas/sitemap/0.9\">\n";
    for (const char* name : { "insurance10.html", "q%23&amp;%C3%BC20.html", "map.html" })
        expected
            += QString("  <url>\n    <loc>http://xn--bcher-kva.example/Autos%20&amp;%20R%C3%A4der/%1</loc>\n"
                       "    <lastmod>2026-03-04</lastmod>\n  </url>\n")
                   .arg(name);
    EXPECT_EQ(QString::fromUtf8(t.written("sitemap.xml")), expected + "</urlset>\n");
    EXPECT_TRUE(f.pageFiles.isEmpty());
    EXPECT_TRUE(f.pageFailure.isEmpty());

    // An address spoilt mid-run stops the run: no link leads nowhere; the sitemap is a stopped run's.
    f.Label3.setCaption("1");
    f.Text15.setText("links");
    f.Text18.setText("cars/");
    createsitemap(f, t.p);
    EXPECT_TRUE(f.pageFailure.startsWith("File " + t.path("cars/sitemap.xml") + " could not be saved: "))
        << f.pageFailure.toStdString();
    EXPECT_EQ(f.Label3.Caption(), "0");
    EXPECT_EQ(f.Text15.Text(), "links");

    const QString xmllint = QStandardPaths::findExecutable("xmllint");
    if (xmllint.isEmpty())
        GTEST_SKIP() << "xmllint (Debian package libxml2-utils) is not installed: schema check skipped";
    QProcess check;
    check.start(xmllint,
        { "--noout", "--schema", test::fixturePath("pages/sitemap.xsd"), t.path("cars/sitemap.xml") });
    ASSERT_TRUE(check.waitForFinished());
    EXPECT_EQ(check.exitCode(), 0) << check.readAllStandardError().toStdString();
}

TEST(Pages, WritesReplaceWholeAndStartWithAByteOrderMark)
{
    const std::tuple<const char*, QByteArray, bool, QByteArray> cases[] = {
        { "new page", {}, false, kBom + "new \xC3\xBC\r\n" },
        { "earlier page replaced", "old", false, kBom + "new \xC3\xBC\r\n" },
        { "window closed during the write keeps the earlier page", "old", true, "old" },
        { "window closed during the write leaves no empty page", {}, true, {} },
    };
    for (const auto& [name, earlier, closeDuringWrite, after] : cases) {
        Pages t;
        const QString file = t.path("cars/page.html");
        if (!earlier.isEmpty())
            test::writeFileBytes(file, earlier);
        QByteArray seen;
        t.p.onPump = [&](int) {
            seen = test::readFileBytes(file);
            t.p.isUnloaded = closeDuringWrite;
        };
        EXPECT_EQ(writeGeneratedPage(t.f(), t.p, file, QStringLiteral("new \u00fc")),
            closeDuringWrite ? PageWrite::WindowClosed : PageWrite::Written)
            << name;
        EXPECT_EQ(seen, earlier) << name << ": the page was cut short while events ran";
        EXPECT_EQ(test::readFileBytes(file), after) << name;
        EXPECT_EQ(QDir(t.path("cars")).entryList(QDir::Files).size(), after.isEmpty() ? 0 : 1)
            << name << ": a temporary file was left";
        EXPECT_TRUE(t.f().pageFailure.isEmpty()) << name;
    }
}

} // namespace
} // namespace tarnwick
