#include "app/form1.h"
#include "app/startup.h"
#include "spider/page_reading.h"
#include "spider/spider_record.h"
#include "spider/spider_run.h"
#include "spider/title_filter.h"
#include "support/fake_platform.h"
#include "support/fake_transfer_control.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace tarnwick {
namespace {

using test::FakePlatform;
using test::FakeTransferControl;

struct Fixture {
    Fixture()
    {
        form = std::make_unique<Form1>(std::make_unique<FakeTransferControl>());
        Form_Load(*form);
        p.folder = home.path();
        Form1& f = *form;
        f.List1.AddItem(QStringLiteral("http://a.example/"));
        f.List1.AddItem(QStringLiteral("http://b.example/"));
        f.Text6.setText(QStringLiteral("http://ref.example/"));
        f.Text4.setText(QStringLiteral("Agent/1"));
        f.Text5.setText(QStringLiteral(" "));
        f.Check3.setValue(1);
        f.Combo3.setText(QStringLiteral("2"));
        f.Text8.setText(QStringLiteral("cars"));
        f.Text9.setText(QStringLiteral("insurance"));
        f.Text10.setText(QStringLiteral("sitemap"));
        f.Text11.setText(QStringLiteral("Car insurance"));
    }
    QTemporaryDir home;
    FakePlatform p;
    std::unique_ptr<Form1> form;
};

TEST(SpiderChecks, EachProblemGivesItsMessageAndFocusInOrder)
{
    const QString ext = QStringLiteral("\r\nAnd don't add any file extension either (e.g. '.html').");
    struct Case {
        const char* name;
        std::function<void(Form1&, const QString& home)> setup;
        QString message;
        const char* focus; // null: no focus
    };
    const std::vector<Case> cases = {
        { "no urls", [](Form1& f, auto&) { f.List1.Clear(); }, "No urls to spider!", nullptr },
        { "no referer", [](Form1& f, auto&) { f.Text6.setText({}); },
            "No Referer (e.g. http://www.tarnwick.example/)! ", "Text6" },
        { "no agent", [](Form1& f, auto&) { f.Text4.setText({}); },
            "No User Agent (e.g. Tarnwick/1.0 (+http://www.tarnwick.example/))! ", "Text4" },
        { "no filter", [](Form1& f, auto&) { f.Text5.setText({}); },
            "Title must contain a value (enter space to return all titles)!", "Text5" },
        { "too many per page", [](Form1& f, auto&) { f.Combo3.setText(QStringLiteral("3")); },
            "Results per page is greater than number of urls!", "Combo3" },
        { "no dir", [](Form1& f, auto&) { f.Text8.setText({}); }, "No directory name!", "Text8" },
        { "dir backslash before space", [](Form1& f, auto&) { f.Text8.setText(QStringLiteral("a\\ b")); },
            "Don't use back slash (\\)! Enter name, nothing else.", "Text8" },
        { "dir slash", [](Form1& f, auto&) { f.Text8.setText(QStringLiteral("../x")); },
            "Don't use forward slash (/)! Enter name, nothing else.", "Text8" },
        { "dir space", [](Form1& f, auto&) { f.Text8.setText(QStringLiteral("a b")); },
            "Don't use spaces in directory name, e.g. enter 'creditcards' NOT 'credit cards'.", "Text8" },
        { "dir dots", [](Form1& f, auto&) { f.Text8.setText(QStringLiteral("..")); },
            "Don't use \".\" or \"..\" as directory name! Enter name, nothing else.", "Text8" },
        { "no page name", [](Form1& f, auto&) { f.Text9.setText({}); },
            "No page url name! Name must NOT contain spaces OR file extension.", "Text9" },
        { "page space before backslash", [](Form1& f, auto&) { f.Text9.setText(QStringLiteral("a\\ b")); },
            "Don't use spaces in name, e.g. enter 'creditcards' NOT 'credit cards'." + ext, "Text9" },
        { "page backslash", [](Form1& f, auto&) { f.Text9.setText(QStringLiteral("a\\b")); },
            "Don't use back slash (\\)! Enter name, nothing else." + ext, "Text9" },
        { "page slash", [](Form1& f, auto&) { f.Text9.setText(QStringLiteral("a/b")); },
            "Don't use forward slash (/)! Enter name, nothing else." + ext, "Text9" },
        { "page dot", [](Form1& f, auto&) { f.Text9.setText(QStringLiteral(".")); },
            "Don't use \".\" or \"..\" as page url name! Enter name, nothing else.", "Text9" },
        { "no sitemap", [](Form1& f, auto&) { f.Text10.setText({}); },
            "No sitemap name! Name must NOT contain spaces.", "Text10" },
        { "sitemap space", [](Form1& f, auto&) { f.Text10.setText(QStringLiteral("a b")); },
            "Don't use spaces in sitemap name, e.g. enter 'creditcards' NOT 'credit cards'.", "Text10" },
        { "sitemap backslash", [](Form1& f, auto&) { f.Text10.setText(QStringLiteral("a\\b")); },
            "Don't use back slash (\\)! Enter name, nothing else.", "Text10" },
        { "sitemap slash", [](Form1& f, auto&) { f.Text10.setText(QStringLiteral("/etc")); },
            "Don't use forward slash (/)! Enter name, nothing else.", "Text10" },
        { "no heading", [](Form1& f, auto&) { f.Text11.setText({}); },
            "No page title! Required for page TITLE tag.", "Text11" },
        { "no template", [](Form1& f, auto&) { f.RichTextBox2.setText({}); }, "No template loaded!",
            nullptr },
        { "no title mark", [](Form1& f, auto&) { f.RichTextBox2.setText(QStringLiteral("!%%!!##!")); },
            "No !@@! symbol in template title tag. Please add!", nullptr },
        { "no heading mark", [](Form1& f, auto&) { f.RichTextBox2.setText(QStringLiteral("!@@!!##!")); },
            "No !%%! symbol in template <H1>, <H2>... tag. Please add!", nullptr },
        { "no results mark", [](Form1& f, auto&) { f.RichTextBox2.setText(QStringLiteral("!@@!!%%!")); },
            "No !##! symbol in template text. Please add!", nullptr },
        { "dir exists", [](Form1&, const QString& home) { QDir(home).mkdir(QStringLiteral("cars")); },
            "Directory already exists. Choose another name!", "Text8" },
    };
    for (const Case& c : cases) {
        Fixture fx;
        Form1& f = *fx.form;
        c.setup(f, fx.home.path());
        Command3_Click(f, fx.p);
        ASSERT_EQ(fx.p.messages.size(), 1) << c.name;
        EXPECT_EQ(fx.p.messages.at(0), c.message) << c.name;
        if (c.focus)
            EXPECT_STREQ(f.focused() ? f.focused()->name() : "", c.focus) << c.name;
        EXPECT_EQ(f.Label3.Caption(), QStringLiteral("0")) << c.name << ": the run must not start";
        EXPECT_TRUE(static_cast<FakeTransferControl&>(*f.Inet1).executed.isEmpty()) << c.name;
        EXPECT_EQ(f.activity, Activity::None) << c.name;
        if (QString(c.message).startsWith(QStringLiteral("No !"))
            || c.message == QStringLiteral("No template loaded!"))
            EXPECT_TRUE(f.Frame5.Visible() && !f.Frame4.Visible()) << c.name << ": template panel shown";
        if (QString(c.name) != QStringLiteral("dir exists"))
            EXPECT_FALSE(QFileInfo::exists(fx.home.path() + QStringLiteral("/cars"))) << c.name;
    }
}

TEST(SpiderChecks, OutputFolderThatCannotBeMadeIsNamedAndRunDoesNotStart)
{
    Fixture fx;
    // The program's folder is a file, so nothing can be created under it.
    const QString blocker = fx.home.path() + QStringLiteral("/file");
    QFile(blocker).open(QIODevice::WriteOnly);
    fx.p.folder = blocker;
    Command3_Click(*fx.form, fx.p);
    ASSERT_EQ(fx.p.messages.size(), 1);
    EXPECT_TRUE(fx.p.messages.at(0).contains(blocker + QStringLiteral("/cars")))
        << fx.p.messages.at(0).toStdString();
    EXPECT_EQ(fx.form->Label3.Caption(), QStringLiteral("0"));
}

TEST(SpiderChecks, SecondRunWhileOneRunsDoesNothing)
{
    Fixture fx;
    fx.form->activity = Activity::Harvest;
    fx.form->List1.Clear();
    Command3_Click(*fx.form, fx.p);
    EXPECT_TRUE(fx.p.messages.isEmpty());
    EXPECT_EQ(fx.form->activity, Activity::Harvest);
}

TEST(SpiderRunQuit, UnloadDuringTheWaitEndsTheRunTouchingNothing)
{
    Fixture fx;
    Form1& f = *fx.form;
    f.Check3.setValue(0);
    fx.p.onPump = [&fx](int) { fx.p.isUnloaded = true; };
    Command3_Click(f, fx.p);
    EXPECT_TRUE(fx.p.messages.isEmpty());
    EXPECT_EQ(f.List1.ListCount(), 2);
    EXPECT_EQ(f.Label15.Caption(), QStringLiteral("1"));
    EXPECT_EQ(static_cast<FakeTransferControl&>(*f.Inet1).executed.size(), 1);
    EXPECT_EQ(f.activity, Activity::None);
}

TEST(TitleFilter, WordListsAndExclusions)
{
    struct Case {
        const char* filter;
        int anyWord;
        const char* title;
        int keep;
    };
    const Case cases[] = {
        { "cheap, flights", 0, "Cheap Flights to Rome", 1 },
        { "cheap, flights", 0, "Cheap Hotels", 0 },
        { "cheap, flights", 1, "Cheap Hotels", 1 },
        { "cheap, flights", 1, "Big Sale", 0 },
        { "flights -cheap", 0, "Cheap Flights", 0 },
        { "flights -cheap", 0, "Flights to Rome", 1 },
        { "flights -cheap, last minute", 0, "Last Minute Flights", 0 },
        { "flights -cheap, last minute", 0, "Flights to Rome", 1 },
        { "flights,", 1, "Hotels", 1 },
        { "flights,", 0, "Hotels", 0 },
        { "flights,", 0, "Flights", 1 },
        { " -cheap", 0, "Flights", 0 },
        { "e-books", 0, "Free e-books online", 1 },
        { "e-books", 0, "Free ebooks online", 0 },
        { "-cheap", 0, "The -cheap deals", 1 },
    };
    Form1 f(std::make_unique<FakeTransferControl>());
    for (const Case& c : cases) {
        f.Text5.setText(QString::fromUtf8(c.filter));
        f.Check8.setValue(c.anyWord);
        f.Text17.setText(QString::fromUtf8(c.title));
        EXPECT_EQ(theflag(f), c.keep) << "filter '" << c.filter << "' title '" << c.title << "'";
        EXPECT_TRUE(f.Text17.Text().isEmpty()) << c.filter;
    }
}

TEST(SpiderRecords, RecordKindsByBoxesAndOptions)
{
    const QString link = QStringLiteral("<a href=\"U\" target=\"_blank\" rel=\"nofollow\">");
    struct Case {
        const char* name;
        int pages, both, descOnly;
        bool titleLink, urlLink;
        QString expected;
    };
    const Case cases[] = {
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
    for (const Case& c : cases) {
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
        EXPECT_EQ(
            spiderRecords(f, QStringLiteral("Title"), QStringLiteral("D"), QStringLiteral("U")), c.expected)
            << c.name;
    }
}

TEST(SpiderRecords, CleaningOrder)
{
    EXPECT_EQ(cleanCutText(QStringLiteral("Big  Sale")), QStringLiteral("Big Sale"));
    EXPECT_EQ(cleanCutText(QStringLiteral("a   b")), QStringLiteral("a b"));
    EXPECT_EQ(cleanCutText(QStringLiteral("&amp;lt;b&amp;gt;Shop")), QStringLiteral("<b>Shop"));
    EXPECT_EQ(
        cleanCutText(QStringLiteral(" a\t&GT; b\r\n and&nbsp;more ")), QStringLiteral("a > b and more"));
    EXPECT_EQ(cleanCutText(QStringLiteral("&#147;x&#148; &#8217;y&#145;&#146;&QUOT;")),
        QStringLiteral("\"x\" 'y''\""));
}

} // namespace
} // namespace tarnwick
