#include "pages/results_page.h"
#include "pages/sitemap.h"
#include "support/fixtures.h"
#include "support/test_window.h"

#include <QDir>

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

// A window whose page folder "cars" exists, with the names a run with pages needs.
struct Pages : test::TestWindow {
    Pages()
    {
        QDir(home.path()).mkdir("cars");
        form->Text8.setText("cars");
        form->Text9.setText("insurance");
        form->Text10.setText("map");
        form->Text11.setText("Car insurance");
    }
    QString written(const QString& name) const
    {
        return QString::fromUtf8(test::readFileBytes(path("cars/" + name)));
    }
};

TEST(ResultsPage, CreditLinkOnPages21To29BeforeTheClosingTag)
{
    const QString credit = QString("<p><center><font size=\"2\"><a href=\"http://www.tarnwick.example/\">%1"
                                   "</a></font></center></p>\r\n");
    struct Case {
        const char* name;
        const char* position;
        QString tmpl;
        QString expectedTail; // what the page ends with, %1 = credit
    };
    const Case cases[] = {
        { "page 20 none", "20", "!@@!!%%!!##!</body>", "</body>\r\n" },
        { "page 30 none", "30", "!@@!!%%!!##!</body>", "</body>\r\n" },
        { "page 25 twice", "25", "!@@!!%%!!##!</body>|</body>", "%1</body>|%1</body>\r\n" },
        { "lower wins over upper", "21", "!@@!!%%!!##!</BODY>|</body>", "</BODY>|%1</body>\r\n" },
        { "capitalised", "29", "!@@!!%%!!##!</Body>", "%1</Body>\r\n" },
        { "mixed case lowered", "22", "!@@!!%%!!##!</bOdY>", "%1</body>\r\n" },
        { "no tag", "23", "!@@!!%%!!##!", "<br></font>\r\n" },
    };
    for (const Case& c : cases) {
        Pages t;
        Form1& f = t.f();
        f.RichTextBox2.setText(c.tmpl);
        f.Text13.setText(c.position);
        f.Text14.setText("T");
        t.p.rndValues = { 0.01 }; // draws 0, which becomes entry 1
        createpage(f, t.p);
        const QString page = t.written(QString("insurance%1.html").arg(c.position));
        QString tail = c.expectedTail;
        tail.replace("%1", credit.arg(f.List6.List(1)));
        EXPECT_TRUE(page.endsWith(tail)) << c.name << ": " << page.toStdString();
        EXPECT_EQ(t.p.randomizeCalls, 1) << c.name;
    }
}

TEST(ResultsPage, TitleShortenedAndResultsBlockFilled)
{
    struct Case {
        QString title;
        QString shortened;
    };
    const Case cases[] = {
        { "Cheap car insurance quotes online", "Cheap car insurance quotes" },
        { "Cheap  car insurance quotes", "Cheap  car insurance" },
        { "", "" },
    };
    for (const Case& c : cases) {
        Pages t;
        Form1& f = t.f();
        f.RichTextBox2.setText("<title>!@@!</title><h1>!%%!</h1>!##!");
        f.RichTextBox1.setText("one\r\ntwo");
        f.Text13.setText("10");
        f.Text14.setText(c.title);
        createpage(f, t.p);
        EXPECT_EQ(f.Text14.Text(), c.shortened);
        EXPECT_EQ(t.written("insurance10.html"),
            "<title>" + c.shortened + "</title><h1>" + c.shortened
                + " ...</h1><font face=\"Default Font\" size=\"None\"><br>one<br>\r\ntwo<br></font>\r\n");
        EXPECT_TRUE(f.RichTextBox1.Text().isEmpty());
        EXPECT_EQ(f.Text15.Text(), "<a href=\"insurance10.html\">insurance10</a>  ");
    }
}

TEST(Sitemap, VerticalLinksHeadingListEmptiedAndUnwritableFilesRecorded)
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
    EXPECT_EQ(t.written("map.html"),
        QString("<title>Car insurance...</title><h1>Car insurance...</h1><font face=\"Default Font\" "
                "size=\"None\"><br><a href=\"insurance10.html\">insurance10</a><br>\r\n<br>\r\n"
                "<a href=\"insurance20.html\">insurance20</a><br>\r\n<br>\r\n<br></font>\r\n"));
    EXPECT_TRUE(f.Text15.Text().isEmpty());
    EXPECT_TRUE(f.failedFiles.isEmpty());

    f.Text8.setText("missing");
    f.Text13.setText("5");
    createpage(f, t.p);
    createsitemap(f, t.p);
    EXPECT_EQ(f.failedFiles, (QStringList { t.path("missing/insurance5.html"), t.path("missing/map.html") }))
        << "unwritable files are recorded";
}

} // namespace
} // namespace tarnwick
