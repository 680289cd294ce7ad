// Pages made from saved spider data against the pages a run makes from the same records.
#include "files/file_commands.h"
#include "spider/pages_from_data.h"
#include "spider/spider_run.h"
#include "support/faulty_file_system.h"
#include "support/fixtures.h"
#include "support/loaded_form.h"
#include "support/qt_printers.h"
#include "support/spider_sites.h"
#include "support/test_window.h"

#include <QDir>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

/// Record options, page size and look of one case; both the run and the pages take them.
struct Settings {
    int perPage = 3;
    const char* parallel = "1";
    bool titleLink = false, descriptionOnly = false, vertical = false;
    const char* siteUrl = "";
};

/// A window over `good` scripted pages, padded with missing ones up to `listed` URLs.
struct Window : test::SpiderWindow {
    Window(int good, int listed, const Settings& s)
        : SpiderWindow(nullptr, {}, s.parallel)
    {
        Form1& f = *form;
        QStringList urls;
        for (int i = 0; i < listed; ++i) {
            urls.append(QStringLiteral("http://site%1.example/page%2").arg(i % 3).arg(i));
            // Titles past the page title field's 50 characters, some in their first four words.
            const std::string title = (i % 4 ? "" : "Extraordinarily-long-hyphenated-opening-words-here ")
                + std::string("Cheap flights number ") + std::to_string(i) + " to Rome & back";
            if (i < good)
                transfer->answer(urls.last(),
                    QString::fromStdString(test::spiderPage(title, "Fly &quot;far&quot; &gt; &amp; more")));
        }
        f.List1.replaceAll(urls);
        f.Combo3.setText(QString::number(s.perPage));
        f.Check6.setValue(s.vertical ? 1 : 0);
        f.Text18.setText(s.siteUrl);
        if (s.descriptionOnly)
            f.Check5.setValue(1);
        if (s.titleLink)
            f.Option1.click();
    }
    QStringList files() const { return QDir(path("cars")).entryList(QDir::Files, QDir::Name); }
    QByteArray file(const QString& name) const { return test::readFileBytes(path("cars/" + name)); }
};

QByteArray without(QByteArray text, const QString& pattern)
{
    return text.replace(QRegularExpression(pattern).match(QString::fromUtf8(text)).captured().toUtf8(), "");
}

// A run with pages, and `pages` over its data from a run without, write one folder, a short last page too.
TEST(PagesFromData, SameRecordsGiveTheRunsPagesAndALastPageForWhatIsLeft)
{
    // Records, URLs listed, pages, settings and the last page `pages` adds (null: records fill whole pages).
    const std::tuple<const char*, int, int, int, Settings, const char*> cases[] = {
        { "whole pages", 9, 9, 3, {}, nullptr },
        { "one left over, eight in flight, title links, sitemap.xml", 10, 10, 4,
            { 3, "8", true, false, false, "https://www.example.com/cars/" }, "insurance10.html" },
        { "fewer records than a page", 3, 5, 1, { 5 }, "insurance3.html" },
        { "credit link on page 21, vertical links, description only", 28, 28, 4,
            { 7, "8", false, true, true, "https://www.example.com/cars/" }, nullptr },
    };
    for (const auto& [caseName, records, listed, pages, settings, lastPage] : cases) {
        SCOPED_TRACE(caseName);
        Window withPages(records, listed, settings);
        withPages.f().Check3.setValue(1);
        Command3_Click(withPages.f(), withPages.p);
        ASSERT_EQ(withPages.p.messages, QStringList { "Run completed! Tarnwick list of sites spidered!" });

        // Without pages a run keeps titles even for description-only pages; they publish description-only.
        Settings plainSettings = settings;
        plainSettings.descriptionOnly = false;
        Window saved(records, listed, plainSettings);
        Command3_Click(saved.f(), saved.p);
        const QString sdata = saved.path("run.sdata");
        saved.run(mnuSaveSpiderData_Click, sdata);

        Window published(0, 0, settings);
        Form1& f = published.f();
        published.run(mnuOpenSpiderData_Click, sdata);
        const std::uint64_t paneRevision = f.RichTextBox1.revision();
        published.p.messages.clear();
        QString shown; // at the last pump, the last page's caption
        published.p.onPump = [&](int) { shown = f.Caption(); };
        mnuCreatePages_Click(f, published.p);
        EXPECT_EQ(shown + f.Caption(), QString("Tarnwick - Writing page %1 of %1Tarnwick").arg(pages));
        ASSERT_EQ(published.p.messages.size(), 1);
        const QString& said = published.p.messages[0];
        EXPECT_EQ(said.section(':', 0, 0), QString("Pages created from %1 records").arg(records));
        EXPECT_EQ(said.endsWith("in the spider data."), lastPage != nullptr);
        EXPECT_EQ(f.RichTextBox1.revision(), paneRevision) << "the pane is left as it was";
        EXPECT_EQ(published.transfer->executed, QStringList()) << "nothing is fetched";

        QStringList expected = withPages.files();
        if (lastPage) {
            expected << lastPage << "sitemap.html";
            if (*settings.siteUrl)
                expected << "sitemap.xml";
            expected.removeDuplicates();
            expected.sort();
        }
        ASSERT_EQ(published.files(), expected);
        for (const QString& name : published.files()) {
            QByteArray page = published.file(name);
            if (lastPage && name.startsWith("sitemap"))
                // The one link the run lacks: an <a> in the page, a <url> entry in sitemap.xml.
                page = without(page,
                    name.endsWith(".xml")
                        ? QString("  <url>\\n    <loc>[^<]*%1</loc>\\n[^\\n]*\\n  </url>\\n").arg(lastPage)
                        : QString("<a href=\"%1\">[^<]*</a>(  |<br>\r\n<br>\r\n)").arg(lastPage));
            if (withPages.files().contains(name))
                EXPECT_EQ(page, withPages.file(name)) << name.toStdString();
            else
                EXPECT_TRUE(name == lastPage || name.startsWith("sitemap")) << name.toStdString();
        }
    }
}

// Data that is not spider data, settings a run would refuse and an existing folder are refused with
// nothing written; an unwritable page stops it as it stops a run. A "Description only:" record has no
// title, so its page takes the sitemap heading; a record already in a page's form stays as it is.
TEST(PagesFromData, RefusesBadDataAndSettingsStopsAtAPageNotWrittenAndTakesEveryRecordForm)
{
    const QString data = "Cheap flights to Rome\r\nFly far\r\nhttp://a.example/\r\n\r\n";
    const QString full = "Stopped! File %1/cars/insurance1.html could not be saved: No space left on device";
    const QString written
        = "Pages created from 1 record: one page of 1 record, and the sitemap, in %1/cars. Every "
          "record is published, though a run leaves those short of a full page in the spider data.";
    const QString link = "<a href=\"http://a.example/\" target=\"_blank\" rel=\"nofollow\">";
    const auto page = [](const QString& title, const QString& results) {
        return title + '|' + title + " ...|<font face=\"Default Font\" size=\"None\"><br>" + results
            + "<br></font>\r\n";
    };
    const struct {
        const char* name;
        QString data;
        std::function<void(Form1&, const QString& home)> setup;
        Publishing result;
        QString message; // %1: the program's folder
        const char* focus;
        QString page; // what the page holds; empty: nothing is written
    } cases[] = {
        { "no records", "\r\n\r\n", {}, Publishing::Refused, "No spider data to make pages from!" },
        { "not spider data", data + "<b>x</b>\r\nD\r\njavascript:alert(1)\r\n", {}, Publishing::Refused,
            "Record 2 of the spider data is not a spider record (a title, a description and a web address, "
            "one to a line, and an empty line after them)! No pages made." },
        { "no page size", data, [](Form1& f, const QString&) { f.Combo3.setText("0"); }, Publishing::Refused,
            "Results per page must be a whole number from 1 up!", "Combo3" },
        { "a run's page check", data, [](Form1& f, const QString&) { f.Text9.setText("a/b"); },
            Publishing::Refused,
            "Don't use forward slash (/)! Enter name, nothing else.\r\nAnd don't add any file extension "
            "either (e.g. '.html').",
            "Text9" },
        { "existing folder", data, [](Form1&, const QString& home) { QDir(home).mkdir("cars"); },
            Publishing::Refused, "Directory already exists. Choose another name!", "Text8" },
        { "full disk, after an earlier one", data, [](Form1& f, const QString&) { f.pageFailure = "old"; },
            Publishing::Failed, full },
        { "description only", "Fly far\r\nhttp://a.example/\r\n", {}, Publishing::Written, written, nullptr,
            page("Car insurance", "Fly far<br>\r\n" + link + "http://a.example/</a><br>\r\n<br>\r\n") },
        { "description only, its box ticked", "Fly far\r\nhttp://a.example/\r\n",
            [](Form1& f, const QString&) { f.Check5.setValue(1); }, Publishing::Written, written, nullptr,
            page("Car insurance", "Fly far<br>\r\n" + link + "http://a.example/</a><br>\r\n<br>\r\n") },
        { "bold title and plain address", "<b>Cheap flights</b>\r\nFly far\r\nhttp://a.example/\r\n", {},
            Publishing::Written, written, nullptr,
            page("Cheap flights",
                "<b>Cheap flights</b><br>\r\nFly far<br>\r\nhttp://a.example/<br>\r\n<br>\r\n") },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::TestWindow w;
        Form1& f = w.f();
        test::readySpider(f);
        f.Combo3.setText("999999999"); // far more than the data holds, all on one page
        f.RichTextBox2.setText("!@@!|!%%!|!##!");
        test::FaultyFileSystem disk;
        disk.bytesBeforeWriteFails = c.result == Publishing::Failed ? 0 : -1;
        w.p.files = &disk;
        if (c.setup)
            c.setup(f, w.home.path());
        EXPECT_EQ(publishSpiderData(f, w.p, c.data), c.result);
        EXPECT_EQ(w.p.messages, QStringList { QString(c.message).replace("%1", w.home.path()) });
        EXPECT_STREQ(f.focused() ? f.focused()->name() : "", c.focus ? c.focus : "");
        EXPECT_EQ(QString::fromUtf8(test::readFileBytes(w.path("cars/insurance1.html"))), c.page);
        EXPECT_EQ(QDir(w.path("cars")).entryList(QDir::Files | QDir::Hidden),
            c.page.isEmpty() ? QStringList() : (QStringList { "insurance1.html", "sitemap.html" }));
        EXPECT_EQ(f.activity, Activity::None);
    }
}

} // namespace
} // namespace tarnwick
