#include "spider/page_reading.h"
#include "spider/spider_record.h"
#include "spider/spider_run.h"
#include "spider/title_filter.h"
#include "support/test_window.h"

#include <QDir>

#include <gtest/gtest.h>

#include <functional>

namespace tarnwick {
namespace {

using test::FakeTransferControl;
using test::TestWindow;

// Two URLs and every field a run with pages needs.
void readyToRun(Form1& f)
{
    f.List1.replaceAll({ "http://a.example/", "http://b.example/" });
    f.Text6.setText("http://ref.example/");
    f.Text4.setText("Agent/1");
    f.Text5.setText(" ");
    f.Check3.setValue(1);
    f.Combo3.setText("2");
    f.Text8.setText("cars");
    f.Text9.setText("insurance");
    f.Text10.setText("sitemap");
    f.Text11.setText("Car insurance");
}

TEST(SpiderChecks, EachProblemGivesItsMessageAndFocusInOrder)
{
    const QString ext = "\r\nAnd don't add any file extension either (e.g. '.html').";
    const QString back = "Don't use back slash (\\)! Enter name, nothing else.";
    const QString slash = "Don't use forward slash (/)! Enter name, nothing else.";
    using Setup = std::function<void(TestWindow&)>;
    const auto set = [](TextField Form1::*field, const char* value) -> Setup {
        return [=](TestWindow& w) { (w.f().*field).setText(value); };
    };
    const auto templ
        = [](const char* text) -> Setup { return [=](TestWindow& w) { w.f().RichTextBox2.setText(text); }; };
    const struct {
        Setup setup;
        QString message;
        const char* focus; // null: no focus
    } cases[] = {
        { [](TestWindow& w) { w.f().List1.Clear(); }, "No urls to spider!", nullptr },
        { set(&Form1::Text6, ""), "No Referer (e.g. http://www.tarnwick.example/)! ", "Text6" },
        { set(&Form1::Text4, ""), "No User Agent (e.g. Tarnwick/1.0 (+http://www.tarnwick.example/))! ",
            "Text4" },
        { set(&Form1::Text5, ""), "Title must contain a value (enter space to return all titles)!", "Text5" },
        { [](TestWindow& w) { w.f().Combo3.setText("3"); },
            "Results per page is greater than number of urls!", "Combo3" },
        { set(&Form1::Text8, ""), "No directory name!", "Text8" },
        { set(&Form1::Text8, "a\\ b"), back, "Text8" },
        { set(&Form1::Text8, "../x"), slash, "Text8" },
        { set(&Form1::Text8, "a b"),
            "Don't use spaces in directory name, e.g. enter 'creditcards' NOT 'credit cards'.", "Text8" },
        { set(&Form1::Text8, ".."), "Don't use \".\" or \"..\" as directory name! Enter name, nothing else.",
            "Text8" },
        { set(&Form1::Text9, ""), "No page url name! Name must NOT contain spaces OR file extension.",
            "Text9" },
        { set(&Form1::Text9, "a\\ b"),
            "Don't use spaces in name, e.g. enter 'creditcards' NOT 'credit cards'." + ext, "Text9" },
        { set(&Form1::Text9, "a\\b"), back + ext, "Text9" },
        { set(&Form1::Text9, "a/b"), slash + ext, "Text9" },
        { set(&Form1::Text9, "."), "Don't use \".\" or \"..\" as page url name! Enter name, nothing else.",
            "Text9" },
        { set(&Form1::Text10, ""), "No sitemap name! Name must NOT contain spaces.", "Text10" },
        { set(&Form1::Text10, "a b"),
            "Don't use spaces in sitemap name, e.g. enter 'creditcards' NOT 'credit cards'.", "Text10" },
        { set(&Form1::Text10, "a\\b"), back, "Text10" },
        { set(&Form1::Text10, "/etc"), slash, "Text10" },
        { set(&Form1::Text11, ""), "No page title! Required for page TITLE tag.", "Text11" },
        { templ(""), "No template loaded!", nullptr },
        { templ("!%%!!##!"), "No !@@! symbol in template title tag. Please add!", nullptr },
        { templ("!@@!!##!"), "No !%%! symbol in template <H1>, <H2>... tag. Please add!", nullptr },
        { templ("!@@!!%%!"), "No !##! symbol in template text. Please add!", nullptr },
        { [](TestWindow& w) { QDir(w.home.path()).mkdir("cars"); },
            "Directory already exists. Choose another name!", "Text8" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message.toStdString());
        TestWindow w;
        Form1& f = w.f();
        readyToRun(f);
        c.setup(w);
        const bool folderMade = QFileInfo::exists(w.path("cars"));
        Command3_Click(f, w.p);
        EXPECT_EQ(w.p.messages, QStringList { c.message });
        if (c.focus)
            EXPECT_STREQ(f.focused() ? f.focused()->name() : "", c.focus);
        EXPECT_EQ(f.Label3.Caption(), "0") << "the run must not start";
        EXPECT_TRUE(w.transfer->executed.isEmpty());
        EXPECT_EQ(f.activity, Activity::None);
        if (c.message.startsWith("No !") || c.message == "No template loaded!")
            EXPECT_TRUE(f.Frame5.Visible() && !f.Frame4.Visible()) << "template panel shown";
        EXPECT_EQ(QFileInfo::exists(w.path("cars")), folderMade);
    }
}

TEST(SpiderChecks, UnmakeableOutputFolderSecondRunAndUnloadDuringTheWait)
{
    TestWindow w;
    Form1& f = w.f();
    readyToRun(f);
    // The program's folder is a file, so nothing can be created under it.
    const QString blocker = w.path("file");
    QFile(blocker).open(QIODevice::WriteOnly);
    w.p.folder = blocker;
    Command3_Click(f, w.p);
    ASSERT_EQ(w.p.messages.size(), 1);
    EXPECT_TRUE(w.p.messages.at(0).contains(blocker + "/cars")) << w.p.messages.at(0).toStdString();
    EXPECT_EQ(f.Label3.Caption(), "0");

    w.p.messages.clear();
    f.List1.Clear();
    {
        ActivityScope harvest(f, Activity::Harvest);
        Command3_Click(f, w.p);
        EXPECT_TRUE(w.p.messages.isEmpty()) << "a second run while one runs does nothing";
        EXPECT_EQ(f.activity, Activity::Harvest);
    }

    // An unload during the wait ends the run, touching nothing.
    w.p.folder = w.home.path();
    readyToRun(f);
    f.Check3.setValue(0);
    w.p.onPump = [&w](int) { w.p.isUnloaded = true; };
    Command3_Click(f, w.p);
    EXPECT_TRUE(w.p.messages.isEmpty());
    EXPECT_EQ(f.List1.ListCount(), 2);
    EXPECT_EQ(f.Label15.Caption(), "1");
    EXPECT_EQ(w.transfer->executed.size(), 1);
    EXPECT_EQ(f.activity, Activity::None);
}

TEST(TitleFilter, WordListsAndExclusions)
{
    const struct {
        const char* filter;
        int anyWord;
        const char* title;
        int keep;
    } cases[]
        = { { "cheap, flights", 0, "Cheap Flights to Rome", 1 }, { "cheap, flights", 0, "Cheap Hotels", 0 },
              { "cheap, flights", 1, "Cheap Hotels", 1 }, { "cheap, flights", 1, "Big Sale", 0 },
              { "flights -cheap", 0, "Cheap Flights", 0 }, { "flights -cheap", 0, "Flights to Rome", 1 },
              { "flights -cheap, last minute", 0, "Last Minute Flights", 0 },
              { "flights -cheap, last minute", 0, "Flights to Rome", 1 }, { "flights,", 1, "Hotels", 1 },
              { "flights,", 0, "Hotels", 0 }, { "flights,", 0, "Flights", 1 }, { " -cheap", 0, "Flights", 0 },
              { "e-books", 0, "Free e-books online", 1 }, { "e-books", 0, "Free ebooks online", 0 },
              { "-cheap", 0, "The -cheap deals", 1 } };
    Form1 f(std::make_unique<FakeTransferControl>());
    for (const auto& c : cases) {
        f.Text5.setText(c.filter);
        f.Check8.setValue(c.anyWord);
        f.Text17.setText(c.title);
        EXPECT_EQ(theflag(f), c.keep) << "filter '" << c.filter << "' title '" << c.title << "'";
        EXPECT_TRUE(f.Text17.Text().isEmpty()) << c.filter;
    }
}

TEST(SpiderRecords, RecordKindsByBoxesAndOptionsAndCleaningOrder)
{
    const QString link = "<a href=\"U\" target=\"_blank\" rel=\"nofollow\">";
    const struct {
        const char* name;
        int pages, both, descOnly;
        bool titleLink, urlLink;
        QString expected;
    } cases[] = {
        { "A", 1, 1, 0, true, false, "<b>" + link + "Title</a></b>\r\nD\r\nU\r\n\r\n" },
        { "B", 1, 1, 0, false, true, "<b>Title</b>\r\nD\r\n" + link + "U</a>\r\n\r\n" },
        { "C", 1, 1, 0, false, false, "<b>Title</b>\r\nD\r\nU\r\n\r\n" },
        { "D", 1, 0, 1, false, true, "D\r\n" + link + "U</a>\r\n\r\n" },
        { "E", 1, 0, 1, true, false, "<b>Title</b>\r\nD\r\nU\r\n\r\n" },
        { "F", 0, 1, 0, true, false, "Title\r\nD\r\nU\r\n\r\n" },
        { "G", 0, 0, 1, false, true, "D\r\nU\r\n\r\n" },
        { "F then G", 0, 1, 1, false, true, "Title\r\nD\r\nU\r\n\r\nD\r\nU\r\n\r\n" },
        { "none", 1, 0, 0, false, true, "" },
    };
    for (const auto& c : cases) {
        Form1 f(std::make_unique<FakeTransferControl>());
        f.Check3.setValue(c.pages);
        f.Check4.setValue(c.both);
        f.Check5.setValue(c.descOnly);
        // Set both boxes again: their interlock may have cleared one.
        f.Check4.setValue(c.both);
        f.Option1.setValue(c.titleLink);
        f.Option2.setValue(c.urlLink);
        if (!c.titleLink && !c.urlLink) {
            f.Option1.setValue(false);
            f.Option2.setValue(false);
        }
        if (f.Check4.Value() != c.both || f.Check5.Value() != c.descOnly || f.Option1.Value() != c.titleLink
            || f.Option2.Value() != c.urlLink)
            continue; // a combination the window's interlocks never allow
        EXPECT_EQ(spiderRecords(f, "Title", "D", "U"), c.expected) << c.name;
    }

    const std::pair<const char*, const char*> cleaned[] = { { "Big  Sale", "Big Sale" }, { "a   b", "a b" },
        { "&amp;lt;b&amp;gt;Shop", "<b>Shop" }, { " a\t&GT; b\r\n and&nbsp;more ", "a > b and more" },
        { "&#147;x&#148; &#8217;y&#145;&#146;&QUOT;", "\"x\" 'y''\"" } };
    for (const auto& [text, want] : cleaned)
        EXPECT_EQ(cleanCutText(text), want) << text;
}

} // namespace
} // namespace tarnwick
