#include "spider/page_reading.h"
#include "spider/spider_record.h"
#include "spider/spider_run.h"
#include "spider/title_filter.h"
#include "support/loaded_form.h"
#include "support/qt_printers.h"
#include "support/test_window.h"

#include <QDir>

#include <gtest/gtest.h>

#include <functional>

namespace tarnwick {
namespace {

using test::FakeTransferControl;
using test::TestWindow;

TEST(SpiderChecks, EachProblemGivesItsMessageAndFocusInOrder)
{
    const QString ext = "\r\nAnd don't add any file extension either (e.g. '.html').";
    const QString back = "Don't use back slash (\\)! Enter name, nothing else.";
    const QString slash = "Don't use forward slash (/)! Enter name, nothing else.";
    const QString controls
        = "Don't use control characters (tabs, line breaks and the like)! Enter name, nothing else.";
    QString taken = "Sitemap name could be the name of a results page (insurance followed by a number)! "
                    "Choose another name.";
    const QString runs = "Run completed! Tarnwick list of sites spidered!";
    const QString notWeb = "Site address must be a full web address starting with http:// or https://, e.g. "
                           "http://www.tarnwick.example/cars/";
    const QString query = "Don't use ? or # in the site address! Enter the address of the folder the pages "
                          "are published in, e.g. http://www.tarnwick.example/cars/";
    const QString header = "Don't use control characters (tabs, line breaks and the like) in the %1! Enter "
                           "one line, nothing else.";
    using Setup = std::function<void(TestWindow&)>;
    // A field or a box of the form, set to `value`.
    const auto set = [](auto field, const char* value) -> Setup {
        return [=](TestWindow& w) { (w.f().*field).setText(value); };
    };
    const QString timeout = "Timeout must be a whole number of seconds from 1 to 86400 (e.g. 60)!";
    const QString parallel = "Parallel requests must be a whole number from 1 to 16!";
    const QString retries = "Retries must be a whole number from 0 to 5!";
    const QString perHost = "Requests to one host must be a whole number from 1 to 16!";
    const auto templ
        = [](const char* text) -> Setup { return [=](TestWindow& w) { w.f().RichTextBox2.setText(text); }; };
    // A set-up, the message it gives, the field focused (null: none).
    const std::tuple<Setup, QString, const char*> cases[] = {
        { [](TestWindow& w) { w.f().List1.Clear(); }, "No urls to spider!", nullptr },
        { set(&Form1::Text6, ""), "No Referer (e.g. http://www.tarnwick.example/)! ", "Text6" },
        { set(&Form1::Text4, ""), "No User Agent (e.g. Tarnwick/1.0 (+http://www.tarnwick.example/))! ",
            "Text4" },
        { set(&Form1::Text6, "http://ref.example/\r\nX-Injected: yes"), header.arg("Referer"), "Text6" },
        { set(&Form1::Text4, "Bot\r\nX-Injected: yes"), header.arg("User Agent"), "Text4" },
        { set(&Form1::Text4, "Bot\x7f"), header.arg("User Agent"), "Text4" },
        { set(&Form1::Text4, "Bot\xC2\x9F"), header.arg("User Agent"), "Text4" },
        { set(&Form1::Text5, ""), "Title must contain a value (enter space to return all titles)!", "Text5" },
        { set(&Form1::Combo2, "abc"), timeout, "Combo2" },
        { set(&Form1::Combo2, "86401"), timeout, "Combo2" },
        { set(&Form1::Combo8, "8x"), parallel, "Combo8" },
        { set(&Form1::Combo8, "17"), parallel, "Combo8" },
        { set(&Form1::Combo10, "0"), perHost, "Combo10" },
        { set(&Form1::Combo10, "17"), perHost, "Combo10" },
        { set(&Form1::Combo10, "2 "), runs, nullptr },
        { set(&Form1::Combo9, "6"), retries, "Combo9" },
        { set(&Form1::Combo9, "-0"), retries, "Combo9" },
        { set(&Form1::Combo9, " "), retries, "Combo9" },
        { set(&Form1::Combo3, "3"), "Results per page is greater than number of urls!", "Combo3" },
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
        { set(&Form1::Text18, "www.example.com/cars/"), notWeb, "Text18" },
        { set(&Form1::Text18, "ftp://example.com/cars/"), notWeb, "Text18" },
        { set(&Form1::Text18, "https:///cars/"), notWeb, "Text18" },
        { set(&Form1::Text18, "https://example.com/cars/?page=1"), query, "Text18" },
        { set(&Form1::Text18, "https://example.com/cars/#"), query, "Text18" },
        { templ(""), "No template loaded!", nullptr },
        { templ("!%%!!##!"), "No !@@! symbol in template title tag. Please add!", nullptr },
        { templ("!@@!!##!"), "No !%%! symbol in template <H1>, <H2>... tag. Please add!", nullptr },
        { templ("!@@!!%%!"), "No !##! symbol in template text. Please add!", nullptr },
        { [](TestWindow& w) { QDir(w.home.path()).mkdir("cars"); },
            "Directory already exists. Choose another name!", "Text8" },
        // The program's folder is a file, so nothing can be created under it.
        { [](TestWindow& w) { QFile(w.p.folder = w.path("file")).open(QIODevice::WriteOnly); },
            "Could not create the folder %1/file/cars! Choose another name or check that the program's "
            "folder can be written.",
            "Text8" },
        { set(&Form1::Text8, "cars\x1b[31m"), controls, "Text8" },
        { set(&Form1::Text8, "cars\xC2\x9B"), controls, "Text8" },
        { set(&Form1::Text9, "insur\nance"), controls + ext, "Text9" },
        { set(&Form1::Text10, "map\a"), controls, "Text10" },
        { set(&Form1::Text10, "map\x7f"), controls, "Text10" },
        { set(&Form1::Text10, "insurance20"), taken, "Text10" },
        { set(&Form1::Text10, "INSURANCE9"), taken, "Text10" },
        // Names close to refused ones pass, and the run starts.
        { set(&Form1::Text10, "insurance"), runs, nullptr },
        { set(&Form1::Text10, "insurance2map"), runs, nullptr },
        { set(&Form1::Text8, "autos-\u00fcber"), runs, nullptr },
        { set(&Form1::Combo2, " 86400 "), runs, nullptr },
        { set(&Form1::Combo8, "16"), runs, nullptr },
        { set(&Form1::Text18, " HTTPS://b\u00fccher.example:8080/Autos & R\u00e4der "), runs, nullptr },
        { set(&Form1::Text18, "   "), runs, nullptr },
        { set(&Form1::Text4, "Agent/1 (+http://a.example/; \u00fcber)"), runs, nullptr },
        { set(&Form1::Combo9, " 5"), runs, nullptr },
    };
    for (const auto& [setup, message, focus] : cases) {
        SCOPED_TRACE(message.toStdString());
        TestWindow w;
        Form1& f = w.f();
        test::readySpider(f); // and two URLs, with pages
        f.List1.replaceAll({ "http://a.example/", "http://b.example/" });
        f.Check3.setValue(1);
        f.Combo3.setText("2");
        setup(w);
        const QString folder = w.path(f.Text8.Text());
        const bool started = message == runs;
        const bool folderMade = QFileInfo::exists(folder) || started;
        Command3_Click(f, w.p);
        EXPECT_EQ(w.p.messages, QStringList { QString(message).replace("%1", w.home.path()) });
        if (focus)
            EXPECT_STREQ(f.focused() ? f.focused()->name() : "", focus);
        EXPECT_EQ(f.Label3.Caption(), started ? "1" : "0") << "the run must not start";
        EXPECT_EQ(w.transfer->executed.size(), started ? 2 : 0);
        EXPECT_EQ(f.activity, Activity::None);
        if (message.startsWith("No !") || message == "No template loaded!")
            EXPECT_TRUE(f.Frame5.Visible() && !f.Frame4.Visible()) << "template panel shown";
        EXPECT_EQ(QFileInfo(folder).isDir(), folderMade);
    }
}

TEST(SpiderChecks, ASecondRunWhileOneRunsDoesNothing)
{
    TestWindow w;
    Form1& f = w.f();
    ActivityScope harvest(f, Activity::Harvest);
    Command3_Click(f, w.p);
    EXPECT_TRUE(w.p.messages.isEmpty());
    EXPECT_EQ(f.activity, Activity::Harvest);
}

// Spaces keep every title, even one without a space; " -" starts refusing words; with Check8 any one will do.
TEST(TitleFilter, WordListsAndExclusions)
{
    const std::tuple<const char*, int, const char*, bool> cases[] = { { "", 0, "Big Sale", false },
        { " ", 0, "東京で初雪観測", true }, { "   ", 0, "Big Sale", true }, { "sale", 0, "Big Sale", true },
        { "sale ", 0, "Big Sale", false }, { "cheap, flights", 0, "Cheap Flights to Rio", true },
        { "cheap, flights", 0, "Cheap Hotels", false }, { "cheap, flights", 1, "Cheap Hotels", true },
        { "cheap, flights", 1, "Big Sale", false }, { "flights -cheap", 0, "Cheap Flights", false },
        { "flights -cheap", 0, "Flights to Rome", true },
        { "flights -cheap, last minute", 0, "Last Minute Flights", false },
        { "flights -cheap, last minute", 0, "Flights to Rome", true }, { "flights,", 1, "Hotels", true },
        { "flights,", 0, "Hotels", false }, { "flights,", 0, "Flights", true },
        { " -cheap", 0, "Flights", false }, { "e-books", 0, "Free e-books online", true },
        { "e-books", 0, "Free ebooks online", false }, { "-cheap", 0, "The -cheap deals", true } };
    Form1 f(std::make_unique<FakeTransferControl>());
    for (const auto& [filter, anyWord, title, keep] : cases) {
        f.Text5.setText(filter);
        f.Check8.setValue(anyWord);
        EXPECT_EQ(keepsTitle(f, QString::fromUtf8(title)), keep) << "'" << filter << "' " << title;
        EXPECT_TRUE(f.Text17.Text().isEmpty()) << filter;
    }
}

TEST(SpiderRecords, RecordKindsByBoxesAndOptionsAndCleaningOrder)
{
    const QString link = "<a href=\"U\" target=\"_blank\" rel=\"nofollow\">";
    const std::tuple<const char*, int, int, int, bool, bool, QString> cases[] = {
        { "A", 1, 1, 0, true, false, "<b>" + link + "Title</a></b>\r\nD\r\nU\r\n\r\n" },
        { "B", 1, 1, 0, false, true, "<b>Title</b>\r\nD\r\n" + link + "U</a>\r\n\r\n" },
        { "C", 1, 1, 0, false, false, "<b>Title</b>\r\nD\r\nU\r\n\r\n" },
        { "D", 1, 0, 1, false, true, "D\r\n" + link + "U</a>\r\n\r\n" },
        { "E", 1, 0, 1, false, false, "<b>Title</b>\r\nD\r\nU\r\n\r\n" },
        { "F", 0, 1, 0, true, false, "Title\r\nD\r\nU\r\n\r\n" },
        { "G", 0, 0, 1, false, true, "D\r\nU\r\n\r\n" },
        { "none", 1, 0, 0, false, true, "" },
    };
    for (const auto& [name, pages, both, descOnly, titleLink, urlLink, expected] : cases) {
        Form1 f(std::make_unique<FakeTransferControl>());
        f.Check3.setValue(pages);
        f.Check4.setValue(both);
        f.Check5.setValue(descOnly);
        // Set both boxes again: their interlock may have cleared one.
        f.Check4.setValue(both);
        f.Option1.setValue(titleLink);
        f.Option2.setValue(urlLink);
        EXPECT_EQ(spiderRecords(f, "Title", "D", "U"), expected) << name;
    }

    const std::pair<const char*, const char*> cleaned[] = { { "Big  Sale", "Big Sale" }, { "a   b", "a b" },
        { "&amp;lt;b&amp;gt;Shop", "<b>Shop" }, { " a\t&GT; b\r\n and&nbsp;more ", "a > b and more" },
        { "&#147;x&#148; &#8217;y&#145;&#146;&QUOT;", "\"x\" 'y''\"" }, { "&#66", "B" }, { "B&", "B&" } };
    for (const auto& [text, want] : cleaned)
        EXPECT_EQ(cleanCutText(text), want) << text;

    // A listed URL is written encoded: well-formed ones as they are, nothing that adds markup.
    const std::pair<QString, QString> urls[] = {
        { "https://ex.example/a/b?x=1&y=%20z#top", "https://ex.example/a/b?x=1&y=%20z#top" },
        { "http://ex.example/Gr\u00fc\u00dfe?q=\u00fc", "http://ex.example/Gr\u00fc\u00dfe?q=\u00fc" },
        { "http://ex.example/?q=\"><script>alert(1)</script>",
            "http://ex.example/?q=%22%3E%3Cscript%3Ealert(1)%3C/script%3E" },
        { "http://ex.example/a b\tc\x1b[0m\x7f\xc2\x9f", "http://ex.example/a%20b%09c%1B[0m%7F%C2%9F" },
        { "http://ex.example/\u009b", "http://ex.example/%C2%9B" },
        { "http://ex.example/a\\b^c`d{e|f}", "http://ex.example/a%5Cb%5Ec%60d%7Be%7Cf%7D" },
    };
    Form1 f(std::make_unique<FakeTransferControl>());
    f.Check3.setValue(1);
    f.Check4.setValue(1);
    f.Option2.setValue(true);
    for (const auto& [listed, written] : urls)
        EXPECT_EQ(spiderRecords(f, "T", "D", listed),
            "<b>T</b>\r\nD\r\n" + QString(link).replace("U", written) + written + "</a>\r\n\r\n")
            << listed.toStdString();
}

// Spider data read back: every form the spider writes, parted by any number of empty lines; a block it could
// not have written is named, so a file edited by hand puts no markup and no other kind of link on a page.
TEST(SpiderRecords, ReadBackOnlyTheFormsTheSpiderWrites)
{
    const QString u = "http://a.example/x";
    const QString link = "<a href=\"" + u + "\" target=\"_blank\" rel=\"nofollow\">";
    using F = RecordForm;
    const std::tuple<const char*, QString, qsizetype, std::vector<F>, QStringList> cases[] = {
        { "every form, CR LF, LF and runs of empty lines",
            "T1\r\nD\r\n" + u + "\r\n\r\nD\n" + u + "\n\n\n<b>T3</b>\r\nD\r\n" + u
                + "\r\n\r\n<b>T4</b>\r\nD\r\n" + link + u + "</a>\r\n\r\n<b>" + link + "T5 a</a></b>\r\nD\r\n"
                + u + "\r\n\r\nD\r\n" + link + u + "</a>\r\n\r\n\r\n\r\n",
            0, { F::Plain, F::PlainDescription, F::Bold, F::UrlLinked, F::TitleLinked, F::DescriptionLinked },
            { "T1", "", "T3", "T4", "T5 a", "" } },
        { "bare host, asked over http", "Title\r\nD\r\nexample.com/page\r\n", 0, { F::Plain }, { "Title" } },
        { "no records", "\r\n  \r\n", 0, {}, {} },
        { "one line", "T\r\nD\r\n" + u + "\r\n\r\njust a line\r\n", 2, {}, {} },
        { "four lines", "T\r\nD\r\nE\r\n" + u + "\r\n", 1, {}, {} },
        { "script link", "T\r\nD\r\njavascript:alert(1)\r\n", 1, {}, {} },
        { "markup in a title", "<script>x</script>\r\nD\r\n" + u + "\r\n", 1, {}, {} },
        { "markup in a description", "T\r\nD <img src=x>\r\n" + u + "\r\n", 1, {}, {} },
        { "a quote in the address", "T\r\nD\r\nhttp://a.example/\"onclick=x\r\n", 1, {}, {} },
        { "link to another address", "D\r\n" + link + "http://b.example/</a>\r\n", 1, {}, {} },
        { "link with an attribute", "D\r\n<a href=\"" + u + "\" onclick=\"x\">" + u + "</a>\r\n", 1, {}, {} },
        { "empty bold title", "<b></b>\r\nD\r\n" + u + "\r\n", 1, {}, {} },
    };
    for (const auto& [name, text, badBlock, wantForms, wantTitles] : cases) {
        const SpiderDataReading reading = readSpiderData(text);
        EXPECT_EQ(reading.badBlock, badBlock) << name;
        std::vector<F> forms;
        QStringList titles;
        for (const SavedRecord& r : reading.records) {
            forms.push_back(r.form);
            titles.append(r.title);
            EXPECT_EQ(r.description, "D") << name;
            EXPECT_EQ(r.url, wantTitles.first() == "Title" ? "example.com/page" : u) << name;
        }
        EXPECT_EQ(forms, wantForms) << name;
        EXPECT_EQ(titles, wantTitles) << name;
    }
}

} // namespace
} // namespace tarnwick
