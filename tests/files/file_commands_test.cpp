#include "app/form1.h"
#include "app/startup.h"
#include "files/file_commands.h"
#include "support/fake_platform.h"
#include "support/fake_transfer_control.h"
#include "support/fixtures.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>

namespace tarnwick {
namespace {

using test::FakePlatform;
using test::readFileBytes;
using test::writeFileBytes;

struct Window {
    Window()
    {
        form = std::make_unique<Form1>(std::make_unique<test::FakeTransferControl>());
        Form_Load(*form);
        p.folder = dir.path();
    }
    Form1& f() { return *form; }
    QString path(const QString& name) const { return dir.filePath(name); }
    /// Answers the next dialog with `path` and runs `command`.
    void run(void (*command)(Form1&, Platform&), const QString& chosen)
    {
        p.answerDialog(chosen);
        command(*form, p);
    }

    QTemporaryDir dir;
    std::unique_ptr<Form1> form;
    FakePlatform p;
};

QByteArray numberedLines(int count, const char* prefix = "http://site")
{
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes += prefix + QByteArray::number(i) + ".example/\r\n";
    return bytes;
}

TEST(OpenList, FourLineKeywordFileGivesTwoTrimmedEntries)
{
    Window w;
    w.f().List2.AddItem("old entry");
    w.run(mnuOpenKeywords_Click, test::fixturePath("files/four_lines.kwrds"));
    EXPECT_EQ(w.f().List2.items(), QStringList({ "alpha", "beta" }));
    EXPECT_EQ(w.f().Label7.Caption(), "2");
    EXPECT_TRUE(w.p.messages.isEmpty());
    ASSERT_EQ(w.p.dialogs.size(), 1u);
    EXPECT_FALSE(w.p.dialogs[0].save);
    EXPECT_EQ(w.p.dialogs[0].filter, "Keywords (*.kwrds)|*.kwrds");
    EXPECT_EQ(w.p.dialogs[0].initDir, w.dir.path() + "/");
}

TEST(OpenList, LineEndingsAndTrimming)
{
    const struct {
        const char* name;
        QByteArray bytes;
        QStringList entries;
    } cases[] = {
        { "crlf", "a\r\nb\r\n", { "a", "b" } },
        { "lone cr", "a\rb", { "a", "b" } },
        { "lone lf", "a\nb\n", { "a", "b" } },
        { "mixed", "a\r\nb\rc\nd", { "a", "b", "c", "d" } },
        { "only spaces trimmed", " \ta b\t ", { "\ta b\t" } },
        { "nul byte kept", QByteArray("x\0y\r\n", 5), { QString("x") + QChar(0) + "y" } },
        { "empty file", "", {} },
    };
    for (const auto& c : cases) {
        Window w;
        writeFileBytes(w.path("list.urls"), c.bytes);
        w.run(mnuOpenURLs_Click, w.path("list.urls"));
        EXPECT_EQ(w.f().List1.items(), c.entries) << c.name;
        EXPECT_EQ(w.f().Label1.Caption(), QString::number(c.entries.size())) << c.name;
    }
}

TEST(OpenList, LimitStopsAfterTheEntryPastThirtyThousand)
{
    const struct {
        const char* name;
        QByteArray bytes;
        int entries;
        bool limitMessage;
    } cases[] = {
        { "30000 lines", numberedLines(30000), 30000, false },
        { "30005 lines", numberedLines(30005), 30001, true },
        { "29999 lines and blank ones", numberedLines(29999) + "\r\n  \r\n\r\n\r\n", 29999, false },
    };
    for (const auto& c : cases) {
        Window w;
        writeFileBytes(w.path("big.urls"), c.bytes);
        w.run(mnuOpenURLs_Click, w.path("big.urls"));
        EXPECT_EQ(w.f().List1.ListCount(), c.entries) << c.name;
        EXPECT_EQ(w.f().Label1.Caption(), QString::number(c.entries)) << c.name;
        EXPECT_EQ(w.p.messages, c.limitMessage ? QStringList { "Limit reached!" } : QStringList {}) << c.name;
        EXPECT_EQ(w.f().List1.List(c.entries - 1), QString("http://site%1.example/").arg(c.entries - 1))
            << c.name;
    }
}

TEST(OpenText, KeepsEmptyLinesTrimsAndEndsEveryLine)
{
    Window w;
    writeFileBytes(w.path("t.tplate"), "  <html>\r\n\r\n   \n<body>  \r</html>");
    w.run(mnuOpenTemplate_Click, w.path("t.tplate"));
    EXPECT_EQ(w.f().RichTextBox2.Text(), "<html>\r\n\r\n\r\n<body>\r\n</html>\r\n");
    ASSERT_EQ(w.p.dialogs.size(), 1u);
    EXPECT_EQ(w.p.dialogs[0].filter, "Template (*.tplate)|*.tplate");

    w.f().Label10.setCaption("4");
    writeFileBytes(w.path("d.sdata"), "Title\r\nDesc\r\nhttp://a/\r\n\r\n");
    w.run(mnuOpenSpiderData_Click, w.path("d.sdata"));
    EXPECT_EQ(w.f().RichTextBox1.Text(), "Title\r\nDesc\r\nhttp://a/\r\n\r\n");
    EXPECT_EQ(w.f().CommonDialog2.Filter, "Spider Data (*.sdata)|*.sdata");
    EXPECT_EQ(w.f().Label10.Caption(), "4") << "opening spider data keeps the counters";
}

TEST(OpenText, Windows1252AndByteOrderMarkFiles)
{
    Window w;
    w.run(mnuOpenURLs_Click, test::fixturePath("files/cp1252.urls"));
    EXPECT_EQ(w.f().List1.items(),
        QStringList({ QString::fromUtf8("caf\xc3\xa9 \xe2\x80\x9cquoted\xe2\x80\x9d"),
            QString::fromUtf8("na\xc3\xafve") }));

    w.run(mnuOpenTemplate_Click, test::fixturePath("files/bom.tplate"));
    EXPECT_EQ(
        w.f().RichTextBox2.Text(), QString::fromUtf8("<html>\r\n<title>Caf\xc3\xa9</title>\r\n</html>\r\n"));
}

TEST(OpenFailure, MissingOrUnreadableFileIsNamedAndChangesNothing)
{
    const struct {
        const char* name;
        void (*command)(Form1&, Platform&);
        const char* file;
        const char* message;
    } cases[] = {
        { "missing url file", mnuOpenURLs_Click, "none.urls", " could not be opened: " },
        { "missing template", mnuOpenTemplate_Click, "none.tplate", " could not be opened: " },
        { "unreadable keywords", mnuOpenKeywords_Click, "/proc/self/mem", " could not be read: " },
        { "unreadable spider data", mnuOpenSpiderData_Click, "/proc/self/mem", " could not be read: " },
    };
    for (const auto& c : cases) {
        Window w;
        Form1& f = w.f();
        f.List1.AddItem("u");
        f.Label1.setCaption("1");
        f.List2.AddItem("k");
        f.Label7.setCaption("1");
        f.RichTextBox1.setText("data");
        const QString templ = f.RichTextBox2.Text();
        const QString path = c.file[0] == '/' ? QString(c.file) : w.path(c.file);
        w.run(c.command, path);
        ASSERT_EQ(w.p.messages.size(), 1) << c.name;
        EXPECT_TRUE(w.p.messages[0].startsWith("File " + path + c.message)) << c.name;
        EXPECT_EQ(f.List1.items(), QStringList { "u" }) << c.name;
        EXPECT_EQ(f.List2.items(), QStringList { "k" }) << c.name;
        EXPECT_EQ(f.Label1.Caption(), "1") << c.name;
        EXPECT_EQ(f.Label7.Caption(), "1") << c.name;
        EXPECT_EQ(f.RichTextBox1.Text(), "data") << c.name;
        EXPECT_EQ(f.RichTextBox2.Text(), templ) << c.name;
    }
}

TEST(SaveList, WritesEveryEntryWithCrLf)
{
    Window w;
    w.f().List2.AddItem("first - one");
    w.f().List2.AddItem(QString::fromUtf8("caf\xc3\xa9"));
    w.run(mnuSaveKeywords_Click, w.path("k.kwrds"));
    EXPECT_EQ(readFileBytes(w.path("k.kwrds")), QByteArray("first - one\r\ncaf\xc3\xa9\r\n"));
    EXPECT_EQ(w.p.messages, QStringList { "File " + w.path("k.kwrds") + " saved!" });
    ASSERT_EQ(w.p.dialogs.size(), 1u);
    EXPECT_TRUE(w.p.dialogs[0].save);
    EXPECT_EQ(w.p.dialogs[0].initDir, w.dir.path() + "/");

    w.f().List1.AddItem("http://a/");
    w.run(mnuSaveURLs_Click, w.path("u.urls"));
    EXPECT_EQ(readFileBytes(w.path("u.urls")), QByteArray("http://a/\r\n"));
    EXPECT_EQ(w.p.dialogs.back().filter, "URLs (*.urls)|*.urls");
}

TEST(SavePane, CutsAtCrLfAndAddsOneMoreBreak)
{
    const struct {
        const char* name;
        QString text;
        QByteArray bytes;
    } cases[] = {
        { "two lines", "one\r\ntwo", "one\r\ntwo\r\n\r\n" },
        { "text ending in a break", "one\r\n", "one\r\n\r\n\r\n" },
        { "one line", "x", "x\r\n\r\n" },
        { "lone lf stays inside its piece", "a\nb", "a\nb\r\n\r\n" },
    };
    for (const auto& c : cases) {
        Window w;
        w.f().RichTextBox1.setText(c.text);
        w.run(mnuSaveSpiderData_Click, w.path("s.sdata"));
        EXPECT_EQ(readFileBytes(w.path("s.sdata")), c.bytes) << c.name;
        ASSERT_EQ(w.p.dialogs.size(), 1u);
        EXPECT_EQ(w.p.dialogs[0].filter, "Spider Data (*.sdata)|*.sdata") << c.name;

        w.f().RichTextBox2.setText(c.text);
        w.run(mnuSaveTemplate_Click, w.path("t.tplate"));
        EXPECT_EQ(readFileBytes(w.path("t.tplate")), c.bytes) << c.name;
        EXPECT_EQ(w.p.dialogs.back().filter, "Template (*.tplate)|*.tplate") << c.name;
    }
}

TEST(SavePane, EachSaveAndOpenGrowsTheText)
{
    Window w;
    w.f().RichTextBox1.setText("one\r\ntwo");
    // The first round adds a final break and one empty line; a text that already ends in a
    // break also keeps its empty last piece, so later rounds add two breaks each.
    const QString rounds[]
        = { "one\r\ntwo\r\n\r\n", "one\r\ntwo\r\n\r\n\r\n\r\n", "one\r\ntwo\r\n\r\n\r\n\r\n\r\n\r\n" };
    for (int round = 0; round < 3; ++round) {
        w.run(mnuSaveSpiderData_Click, w.path("s.sdata"));
        w.run(mnuOpenSpiderData_Click, w.path("s.sdata"));
        EXPECT_EQ(w.f().RichTextBox1.Text(), rounds[round]) << "round " << round;
    }
}

TEST(Save, NothingToSaveShowsNoDialog)
{
    Window w;
    w.f().RichTextBox2.setText("");
    void (*commands[])(Form1&, Platform&)
        = { mnuSaveKeywords_Click, mnuSaveURLs_Click, mnuSaveSpiderData_Click, mnuSaveTemplate_Click };
    for (auto command : commands)
        w.run(command, w.path("x"));
    EXPECT_EQ(w.p.messages, QStringList(4, "Nothing to save!"));
    EXPECT_TRUE(w.p.dialogs.empty());
    EXPECT_FALSE(QFile::exists(w.path("x")));
}

TEST(Save, FailedSaveKeepsTheOldFileAndSaysWhy)
{
    Window w;
    w.f().List1.AddItem("http://new/");
    ASSERT_TRUE(QDir(w.dir.path()).mkdir("folder"));
    const QString missingFolder = w.path("missing/u.urls");
    for (const QString& target : { missingFolder, w.path("folder") }) {
        w.p.messages.clear();
        w.run(mnuSaveURLs_Click, target);
        ASSERT_EQ(w.p.messages.size(), 1) << target.toStdString();
        EXPECT_TRUE(w.p.messages[0].startsWith("File " + target + " could not be saved: "))
            << target.toStdString();
    }
    EXPECT_FALSE(QFile::exists(missingFolder));
    EXPECT_TRUE(QFileInfo(w.path("folder")).isDir());
}

/// Caps the size of files this process may write, so a write fails as on a full disk.
class FileSizeCap {
public:
    explicit FileSizeCap(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = signal(SIGXFSZ, SIG_IGN);
        rlimit capped = old_;
        capped.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &capped);
    }
    ~FileSizeCap()
    {
        setrlimit(RLIMIT_FSIZE, &old_);
        signal(SIGXFSZ, oldHandler_);
    }

private:
    rlimit old_ {};
    sighandler_t oldHandler_;
};

TEST(Save, WriteFailingPartWayKeepsTheOldFile)
{
    Window w;
    const QString path = w.path("u.urls");
    writeFileBytes(path, "http://old/\r\n");
    QStringList entries;
    for (int i = 0; i < 2000; ++i)
        entries.append(QString("http://site%1.example/").arg(i));
    w.f().List1.replaceAll(entries);
    {
        FileSizeCap cap(4096);
        w.run(mnuSaveURLs_Click, path);
    }
    EXPECT_EQ(readFileBytes(path), QByteArray("http://old/\r\n"));
    ASSERT_EQ(w.p.messages.size(), 1);
    EXPECT_TRUE(w.p.messages[0].startsWith("File " + path + " could not be saved: "))
        << w.p.messages[0].toStdString();
    EXPECT_EQ(QDir(w.dir.path()).entryList(QDir::Files), QStringList { "u.urls" })
        << "no temporary file left";
}

TEST(Dialogs, CancelChangesNothing)
{
    void (*commands[])(Form1&, Platform&) = {
        mnuOpenKeywords_Click,
        mnuSaveKeywords_Click,
        mnuOpenURLs_Click,
        mnuSaveURLs_Click,
        mnuOpenSpiderData_Click,
        mnuSaveSpiderData_Click,
        mnuOpenTemplate_Click,
        mnuSaveTemplate_Click,
    };
    for (auto command : commands) {
        Window w;
        Form1& f = w.f();
        f.List1.AddItem("u");
        f.List2.AddItem("k");
        f.RichTextBox1.setText("d");
        const QString templ = f.RichTextBox2.Text();
        const auto listRevision = f.List1.revision() + f.List2.revision();
        w.p.answerDialog(std::nullopt);
        command(f, w.p);
        EXPECT_EQ(w.p.dialogs.size(), 1u);
        EXPECT_TRUE(w.p.messages.isEmpty());
        EXPECT_EQ(f.List1.revision() + f.List2.revision(), listRevision);
        EXPECT_EQ(f.RichTextBox1.Text(), "d");
        EXPECT_EQ(f.RichTextBox2.Text(), templ);
        EXPECT_EQ(f.Label1.Caption(), "0");
        EXPECT_EQ(f.Label7.Caption(), "0");
        EXPECT_TRUE(QDir(w.dir.path()).entryList(QDir::Files).isEmpty());
    }
}

TEST(Clear, EmptiesTheCollectionAndItsCounters)
{
    Window w;
    Form1& f = w.f();
    f.List1.AddItem("u");
    f.Label1.setCaption("1");
    f.List2.AddItem("k");
    f.Label7.setCaption("1");
    f.RichTextBox1.setText("d");
    f.Label10.setCaption("3");
    f.Label15.setCaption("7");
    mnuClearURLs_Click(f, w.p);
    mnuClearKeywords_Click(f, w.p);
    mnuClearSpiderData_Click(f, w.p);
    mnuClearTemplate_Click(f, w.p);
    EXPECT_EQ(f.List1.ListCount(), 0);
    EXPECT_EQ(f.List2.ListCount(), 0);
    EXPECT_EQ(f.Label1.Caption(), "0");
    EXPECT_EQ(f.Label7.Caption(), "0");
    EXPECT_EQ(f.RichTextBox1.Text(), "");
    EXPECT_EQ(f.RichTextBox2.Text(), "");
    EXPECT_EQ(f.Label10.Caption(), "0");
    EXPECT_EQ(f.Label15.Caption(), "0");
    EXPECT_TRUE(w.p.messages.isEmpty());
}

TEST(UrlList, KeptWhileTheRandomiserRuns)
{
    Window w;
    Form1& f = w.f();
    f.List1.AddItem("u");
    writeFileBytes(w.path("n.urls"), "other\r\n");
    ActivityScope scope(f, Activity::Randomise);
    w.run(mnuOpenURLs_Click, w.path("n.urls"));
    mnuClearURLs_Click(f, w.p);
    EXPECT_EQ(f.List1.items(), QStringList { "u" });
}

} // namespace
} // namespace tarnwick
