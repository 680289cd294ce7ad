#include "app/startup.h"
#include "files/file_commands.h"
#include "files/text_file_writer.h"
#include "pages/results_page.h"
#include "pages/sitemap.h"
#include "spider/save_run_report.h"
#include "support/faulty_file_system.h"
#include "support/fixtures.h"
#include "support/loaded_form.h"
#include "support/test_window.h"

#include <QDir>

#include <gtest/gtest.h>

#include <functional>

namespace tarnwick {
namespace {

using test::readFileBytes;
using test::TestWindow;
using test::writeFileBytes;
using Command = void (*)(Form1&, Platform&);

TEST(OpenAndClear, ListsTrimAndLimitEntriesPanesEndEveryLineAndClearEmptiesThem)
{
    TestWindow w;
    w.f().List2.AddItem("old entry");
    writeFileBytes(w.path("k.kwrds"), "  alpha  \r\n\r\n    \r\nbeta");
    w.run(mnuOpenKeywords_Click, w.path("k.kwrds"));
    EXPECT_EQ(w.f().List2.items(), QStringList({ "alpha", "beta" }));
    EXPECT_EQ(w.f().Label7.Caption(), "2");
    ASSERT_EQ(w.p.dialogs.size(), 1u);
    EXPECT_FALSE(w.p.dialogs[0].save);
    EXPECT_EQ(w.p.dialogs[0].filter, "Keywords (*.kwrds)|*.kwrds");
    EXPECT_EQ(w.p.dialogs[0].initDir, w.home.path() + "/");

    const QString path = w.path("list.urls");
    const QByteArray longest(65536, 'x');
    const auto crlfLines = [](const QStringList& lines) { return lines.join("\r\n").toUtf8() + "\r\n"; };
    w.fillUrls(30005);
    const QStringList many = w.f().List1.items();
    // The bytes, the entries and messages they give, what the status strip keeps.
    const std::tuple<const char*, QByteArray, QStringList, QStringList, QString> cases[] = {
        { "only spaces trimmed", " \ta b\t ", { "\ta b\t" }, {}, {} },
        { "nul byte: not text, the list kept", QByteArray("x\0y\r\n", 5), { "\ta b\t" },
            { "File " + path + " could not be opened: Not a text file (it holds NUL bytes)" }, {} },
        { "empty file", "", {}, {}, {} },
        { "30000 lines", crlfLines(many.mid(0, 30000)), many.mid(0, 30000), {}, {} },
        { "stops after the entry past 30000", crlfLines(many) + "\r\n \r\n", many.mid(0, 30001),
            { "Limit reached!" },
            "Limit reached: 30001 entries opened from " + path + ", 4 more lines left out." },
        { "blank lines left out", crlfLines(many.mid(0, 29999)) + "\r\n  \r\n\r\n", many.mid(0, 29999), {},
            {} },
        { "lines too long for an entry (last, for the pane below)",
            "a\r\n" + longest + "\r\n" + QByteArray(65537, 'y') + "\r\nb\r\n" + QByteArray(200000, 'z'),
            { "a", QString::fromLatin1(longest), "b" },
            { "File " + path + ": 2 lines longer than 65536 characters left out!" }, {} },
    };
    QString countAtMessage;
    w.p.onMessage = [&](const QString&) { countAtMessage = w.f().Label1.Caption(); };
    for (const auto& [name, bytes, entries, messages, status] : cases) {
        w.p.messages.clear();
        w.f().labelStatus.setCaption({});
        writeFileBytes(path, bytes);
        w.run(mnuOpenURLs_Click, path);
        EXPECT_EQ(w.f().List1.items(), entries) << name;
        EXPECT_EQ(w.f().Label1.Caption(), QString::number(entries.size())) << name;
        EXPECT_EQ(w.p.messages, messages) << name;
        if (!messages.isEmpty())
            EXPECT_EQ(countAtMessage, QString::number(entries.size()))
                << name << ": the count under the message";
        EXPECT_EQ(w.f().labelStatus.Caption(), status) << name;
    }
    w.p.onMessage = nullptr;
    // A pane takes its text whole: a template may well be one long line.
    w.p.messages.clear();
    w.run(mnuOpenTemplate_Click, path);
    EXPECT_EQ(w.f().RichTextBox2.Text().size(), 3 + 65538 + 65539 + 3 + 200002);
    EXPECT_TRUE(w.p.messages.isEmpty());

    writeFileBytes(w.path("t.tplate"), "  <html>\r\n\r\n   \n<body>  \r</html>");
    w.run(mnuOpenTemplate_Click, w.path("t.tplate"));
    EXPECT_EQ(w.f().RichTextBox2.Text(), "<html>\r\n\r\n\r\n<body>\r\n</html>\r\n");
    EXPECT_EQ(w.p.dialogs.back().filter, "Template (*.tplate)|*.tplate");
    w.f().Label10.setCaption("4");
    writeFileBytes(w.path("d.sdata"), "Title\r\nDesc\r\nhttp://a/\r\n\r\n");
    w.run(mnuOpenSpiderData_Click, w.path("d.sdata"));
    EXPECT_EQ(w.f().RichTextBox1.Text(), "Title\r\nDesc\r\nhttp://a/\r\n\r\n");
    EXPECT_EQ(w.f().Label10.Caption(), "4") << "opening spider data keeps the counters";

    // Clear empties the collection and its counters, but not the list the randomiser works on.
    Form1& f = w.f();
    const QStringList listed = f.List1.items();
    w.p.messages.clear();
    writeFileBytes(w.path("n.urls"), "other\r\n");
    {
        ActivityScope scope(f, Activity::Randomise);
        w.run(mnuOpenURLs_Click, w.path("n.urls"));
        mnuClearURLs_Click(f, w.p);
        EXPECT_EQ(f.List1.items(), listed) << "kept while the randomiser runs";
    }
    for (Label* label : { &f.Label1, &f.Label7, &f.Label10, &f.Label15 })
        label->setCaption("3");
    for (Command command :
        { mnuClearURLs_Click, mnuClearKeywords_Click, mnuClearSpiderData_Click, mnuClearTemplate_Click })
        command(f, w.p);
    EXPECT_EQ(f.List1.ListCount() + f.List2.ListCount(), 0);
    EXPECT_EQ(f.RichTextBox1.Text() + f.RichTextBox2.Text(), "");
    for (const Label* label : { &f.Label1, &f.Label7, &f.Label10, &f.Label15 })
        EXPECT_EQ(label->Caption(), "0") << label->name();
    EXPECT_TRUE(w.p.messages.isEmpty());
}

TEST(OpenFailure, RefusedMissingUnreadableOrCancelledChangesNothing)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath("pipe.urls");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString opened = " could not be opened: ";
    const QString notText = "Not a text file (it holds NUL bytes)";
    const QString image = dir.filePath("picture.png");
    writeFileBytes(image, QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    const std::tuple<const char*, Command, QString, QString> cases[] = {
        { "missing url file", mnuOpenURLs_Click, dir.filePath("none.urls"), opened },
        { "folder", mnuOpenURLs_Click, dir.path(), opened + "Is a folder" },
        { "named pipe without a writer", mnuOpenKeywords_Click, fifo, opened + "Not a regular file" },
        { "unreadable spider data", mnuOpenSpiderData_Click, "/proc/self/mem", " could not be read: " },
        // A file that is not text, of each kind: what the list or pane held stays.
        { "an image as keywords", mnuOpenKeywords_Click, image, opened + notText },
        { "an image as urls", mnuOpenURLs_Click, image, opened + notText },
        { "an image as spider data", mnuOpenSpiderData_Click, image, opened + notText },
        { "an image as a template", mnuOpenTemplate_Click, image, opened + notText },
        { "cancel open keywords", mnuOpenKeywords_Click, {}, {} },
        { "cancel save urls", mnuSaveURLs_Click, {}, {} },
        { "cancel open spider data", mnuOpenSpiderData_Click, {}, {} },
        { "cancel save template", mnuSaveTemplate_Click, {}, {} },
        { "cancel save spider data", mnuSaveSpiderData_Click, {}, {} },
    };
    for (const auto& [name, command, file, message] : cases) {
        SCOPED_TRACE(name);
        TestWindow w;
        Form1& f = w.f();
        f.List1.AddItem("u");
        f.List2.AddItem("k");
        f.RichTextBox1.setText("data");
        w.p.answerDialog(file.isEmpty() ? std::nullopt : std::optional<QString>(file)); // none: cancelled
        command(f, w.p);
        EXPECT_EQ(f.List1.items(), QStringList { "u" });
        EXPECT_EQ(f.List2.items(), QStringList { "k" });
        EXPECT_EQ(f.Label1.Caption() + f.Label7.Caption(), "00");
        EXPECT_EQ(f.RichTextBox1.Text(), "data");
        EXPECT_TRUE(f.spiderDataUnsaved()) << "Quit still asks";
        EXPECT_EQ(f.RichTextBox2.Text(), defaultTemplate());
        EXPECT_EQ(w.p.dialogs.size(), 1u);
        ASSERT_EQ(w.p.messages.size(), file.isEmpty() ? 0 : 1);
        if (!file.isEmpty())
            EXPECT_TRUE(w.p.messages[0].startsWith("File " + file + message))
                << w.p.messages[0].toStdString();
    }
}

// A real write cut short is tarnwick-cli's full-disk table; here, every saver over a failing file system.
TEST(Save, ListsEndEveryEntryPanesAddABreakAndEverySaverOnAFullDiskKeepsTheOldFile)
{
    TestWindow w;
    w.f().List2.replaceAll({ "first - one", QString::fromUtf8("caf\xc3\xa9") });
    w.run(mnuSaveKeywords_Click, w.path("k.kwrds"));
    EXPECT_EQ(readFileBytes(w.path("k.kwrds")), QByteArray("first - one\r\ncaf\xc3\xa9\r\n"));
    w.f().List1.AddItem("http://a/");
    w.run(mnuSaveURLs_Click, w.path("u.urls"));
    EXPECT_EQ(readFileBytes(w.path("u.urls")), QByteArray("http://a/\r\n"));
    EXPECT_EQ(w.p.dialogs.back().filter, "URLs (*.urls)|*.urls");

    const std::tuple<const char*, QString, QByteArray> cases[] = {
        { "two lines", "one\r\ntwo", "one\r\ntwo\r\n\r\n" },
        { "text ending in a break", "one\r\n", "one\r\n\r\n\r\n" },
        { "lone lf stays inside its piece", "a\nb", "a\nb\r\n\r\n" },
    };
    for (const auto& [name, text, bytes] : cases) {
        w.f().RichTextBox1.setText(text);
        w.run(mnuSaveSpiderData_Click, w.path("s.sdata"));
        EXPECT_EQ(readFileBytes(w.path("s.sdata")), bytes) << name;
        w.f().RichTextBox2.setText(text);
        w.run(mnuSaveTemplate_Click, w.path("t.tplate"));
        EXPECT_EQ(readFileBytes(w.path("t.tplate")), bytes) << name;
    }
    EXPECT_EQ(w.p.dialogs.back().filter, "Template (*.tplate)|*.tplate");
    EXPECT_EQ(w.p.dialogs.at(w.p.dialogs.size() - 2).filter, "Spider Data (*.sdata)|*.sdata");

    TestWindow empty;
    empty.f().RichTextBox2.setText("");
    for (Command command :
        { mnuSaveKeywords_Click, mnuSaveURLs_Click, mnuSaveSpiderData_Click, mnuSaveTemplate_Click })
        empty.run(command, empty.path("x"));
    EXPECT_EQ(empty.p.messages, QStringList(4, "Nothing to save!"));
    EXPECT_TRUE(empty.p.dialogs.empty());
    EXPECT_FALSE(QFile::exists(empty.path("x")));

    // Every saver, on a disk that fills part way and on one with room: a failed save leaves the old file byte
    // for byte and no temporary file, and says which file and why; files saved by command are flushed to the
    // disk, a run's pages are not. Each row saves to its file and gives what the window says.
    using Save = std::function<QString(TestWindow&, const QString& path)>;
    const auto byCommand = [](Command command) -> Save {
        return [command](TestWindow& w, const QString& path) {
            w.run(command, path);
            return w.p.messages.value(0);
        };
    };
    // A page or the sitemap leaves saying it to the run it stops.
    const auto byRun = [](Command build) -> Save {
        return [build](TestWindow& w, const QString&) {
            build(w.f(), w.p);
            return w.f().pageFailure;
        };
    };
    const std::tuple<const char*, const char*, Save, Durability> rows[] = {
        { "Save Keywords", "k.kwrds", byCommand(mnuSaveKeywords_Click), Durability::Sync },
        { "Save URLs", "u.urls", byCommand(mnuSaveURLs_Click), Durability::Sync },
        { "Save Spider Data", "s.sdata", byCommand(mnuSaveSpiderData_Click), Durability::Sync },
        { "Save Template", "t.tplate", byCommand(mnuSaveTemplate_Click), Durability::Sync },
        { "Save Run Report", "r.csv", byCommand(mnuSaveRunReport_Click), Durability::Sync },
        { "a page", "cars/insurance3.html", byRun(createpage), Durability::NoSync },
        { "the sitemap", "cars/sitemap.html", byRun(createsitemap), Durability::NoSync },
    };
    const QByteArray old = "old bytes\r\n";
    for (const auto& [name, file, save, durability] : rows) {
        for (const bool full : { true, false }) {
            SCOPED_TRACE(std::string(name) + (full ? ", full disk" : ", room"));
            TestWindow w;
            Form1& f = w.f();
            f.List2.AddItem("first - one");
            f.List1.AddItem("http://a.test/");
            f.RichTextBox1.setText("Title\r\nDescription\r\nhttp://a.test/\r\n\r\n");
            f.runReport.clear(1);
            f.runReport.add(RunReport::judge(1, "http://a.test/", true, 0, {}, 200, PageVerdict::Accepted));
            test::readySpider(f);
            f.Text13.setText("3");
            f.Text15.setText("<a href=\"insurance3.html\">insurance3</a>  ");
            f.Label3.setCaption("1");
            QDir(w.home.path()).mkdir("cars");
            const QString path = w.path(file);
            writeFileBytes(path, old);
            test::FaultyFileSystem disk;
            disk.bytesBeforeWriteFails = full ? 4 : -1;
            w.p.files = &disk;

            const QString said = save(w, path);
            const QStringList left = QDir(QFileInfo(path).path()).entryList(QDir::Files | QDir::Hidden);
            EXPECT_EQ(left, QStringList { QFileInfo(path).fileName() }) << "a temporary file was left";
            if (full) {
                EXPECT_EQ(said, "File " + path + " could not be saved: No space left on device");
                EXPECT_EQ(readFileBytes(path), old);
                EXPECT_EQ(f.Label3.Caption(), durability == Durability::Sync ? "1" : "0")
                    << "only a page or the sitemap stops the run";
            } else {
                EXPECT_NE(readFileBytes(path), old);
                EXPECT_EQ(said, durability == Durability::Sync ? "File " + path + " saved!" : "");
                EXPECT_EQ(disk.syncs + disk.folderSyncs, durability == Durability::Sync ? 2 : 0);
            }
        }
    }
}

} // namespace
} // namespace tarnwick
