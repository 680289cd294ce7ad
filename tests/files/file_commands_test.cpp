#include "app/startup.h"
#include "files/file_commands.h"
#include "support/fixtures.h"
#include "support/test_window.h"

#include <QDir>

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>

namespace tarnwick {
namespace {

using test::readFileBytes;
using test::TestWindow;
using test::writeFileBytes;
using Command = void (*)(Form1&, Platform&);

QByteArray numberedLines(int count)
{
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes += "http://site" + QByteArray::number(i) + ".example/\r\n";
    return bytes;
}

// Something in every collection, so a command that should change nothing shows any change.
void fillEverything(Form1& f)
{
    f.List1.AddItem("u");
    f.Label1.setCaption("1");
    f.List2.AddItem("k");
    f.Label7.setCaption("1");
    f.RichTextBox1.setText("data");
}

void expectUnchanged(Form1& f, const QString& name)
{
    EXPECT_EQ(f.List1.items(), QStringList { "u" }) << name.toStdString();
    EXPECT_EQ(f.List2.items(), QStringList { "k" }) << name.toStdString();
    EXPECT_EQ(f.Label1.Caption(), "1") << name.toStdString();
    EXPECT_EQ(f.Label7.Caption(), "1") << name.toStdString();
    EXPECT_EQ(f.RichTextBox1.Text(), "data") << name.toStdString();
    EXPECT_EQ(f.RichTextBox2.Text(), defaultTemplate()) << name.toStdString();
}

TEST(OpenList, LineEndsTrimmingEncodingsAndTheDialog)
{
    TestWindow w;
    w.f().List2.AddItem("old entry");
    w.run(mnuOpenKeywords_Click, test::fixturePath("files/four_lines.kwrds"));
    EXPECT_EQ(w.f().List2.items(), QStringList({ "alpha", "beta" }));
    EXPECT_EQ(w.f().Label7.Caption(), "2");
    EXPECT_TRUE(w.p.messages.isEmpty());
    ASSERT_EQ(w.p.dialogs.size(), 1u);
    EXPECT_FALSE(w.p.dialogs[0].save);
    EXPECT_EQ(w.p.dialogs[0].filter, "Keywords (*.kwrds)|*.kwrds");
    EXPECT_EQ(w.p.dialogs[0].initDir, w.home.path() + "/");
    w.run(mnuOpenURLs_Click, test::fixturePath("files/cp1252.urls"));
    EXPECT_EQ(w.f().List1.items(),
        QStringList({ QString::fromUtf8("caf\xc3\xa9 \xe2\x80\x9cquoted\xe2\x80\x9d"),
            QString::fromUtf8("na\xc3\xafve") }));

    const struct {
        const char* name;
        QByteArray bytes;
        QStringList entries;
    } cases[] = { { "mixed breaks (the splitter's own table has the rest)", "a\r\nb\rc\nd",
                      { "a", "b", "c", "d" } },
        { "only spaces trimmed", " \ta b\t ", { "\ta b\t" } },
        { "nul byte kept", QByteArray("x\0y\r\n", 5), { QString("x") + QChar(0) + "y" } },
        { "empty file", "", {} } };
    for (const auto& c : cases) {
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
        TestWindow w;
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
    TestWindow w;
    writeFileBytes(w.path("t.tplate"), "  <html>\r\n\r\n   \n<body>  \r</html>");
    w.run(mnuOpenTemplate_Click, w.path("t.tplate"));
    EXPECT_EQ(w.f().RichTextBox2.Text(), "<html>\r\n\r\n\r\n<body>\r\n</html>\r\n");
    EXPECT_EQ(w.p.dialogs.back().filter, "Template (*.tplate)|*.tplate");
    w.run(mnuOpenTemplate_Click, test::fixturePath("files/bom.tplate"));
    EXPECT_EQ(
        w.f().RichTextBox2.Text(), QString::fromUtf8("<html>\r\n<title>Caf\xc3\xa9</title>\r\n</html>\r\n"));

    w.f().Label10.setCaption("4");
    writeFileBytes(w.path("d.sdata"), "Title\r\nDesc\r\nhttp://a/\r\n\r\n");
    w.run(mnuOpenSpiderData_Click, w.path("d.sdata"));
    EXPECT_EQ(w.f().RichTextBox1.Text(), "Title\r\nDesc\r\nhttp://a/\r\n\r\n");
    EXPECT_EQ(w.f().CommonDialog2.Filter, "Spider Data (*.sdata)|*.sdata");
    EXPECT_EQ(w.f().Label10.Caption(), "4") << "opening spider data keeps the counters";
}

TEST(OpenFailure, CancelMissingOrUnreadableFileChangesNothing)
{
    const struct {
        const char* name;
        Command command;
        const char* file; // null: the dialog is cancelled
        const char* message;
    } cases[] = {
        { "missing url file", mnuOpenURLs_Click, "none.urls", " could not be opened: " },
        { "missing template", mnuOpenTemplate_Click, "none.tplate", " could not be opened: " },
        { "unreadable keywords", mnuOpenKeywords_Click, "/proc/self/mem", " could not be read: " },
        { "unreadable spider data", mnuOpenSpiderData_Click, "/proc/self/mem", " could not be read: " },
        { "cancel open keywords", mnuOpenKeywords_Click, nullptr, nullptr },
        { "cancel save keywords", mnuSaveKeywords_Click, nullptr, nullptr },
        { "cancel open urls", mnuOpenURLs_Click, nullptr, nullptr },
        { "cancel save urls", mnuSaveURLs_Click, nullptr, nullptr },
        { "cancel open spider data", mnuOpenSpiderData_Click, nullptr, nullptr },
        { "cancel save spider data", mnuSaveSpiderData_Click, nullptr, nullptr },
        { "cancel open template", mnuOpenTemplate_Click, nullptr, nullptr },
        { "cancel save template", mnuSaveTemplate_Click, nullptr, nullptr },
    };
    for (const auto& c : cases) {
        TestWindow w;
        Form1& f = w.f();
        fillEverything(f);
        const auto revisions = f.List1.revision() + f.List2.revision();
        const QString path = !c.file ? QString() : c.file[0] == '/' ? QString(c.file) : w.path(c.file);
        w.p.answerDialog(c.file ? std::optional<QString>(path) : std::nullopt);
        c.command(f, w.p);
        expectUnchanged(f, c.name);
        EXPECT_EQ(w.p.dialogs.size(), 1u) << c.name;
        if (!c.file) {
            EXPECT_TRUE(w.p.messages.isEmpty()) << c.name;
            EXPECT_EQ(f.List1.revision() + f.List2.revision(), revisions) << c.name;
            EXPECT_TRUE(QDir(w.home.path()).entryList(QDir::Files).isEmpty()) << c.name;
            continue;
        }
        ASSERT_EQ(w.p.messages.size(), 1) << c.name;
        EXPECT_TRUE(w.p.messages[0].startsWith("File " + path + c.message)) << c.name;
    }
}

TEST(Save, ListsEndEveryEntryAndPanesAddOneMoreBreak)
{
    TestWindow w;
    w.f().List2.AddItem("first - one");
    w.f().List2.AddItem(QString::fromUtf8("caf\xc3\xa9"));
    w.run(mnuSaveKeywords_Click, w.path("k.kwrds"));
    EXPECT_EQ(readFileBytes(w.path("k.kwrds")), QByteArray("first - one\r\ncaf\xc3\xa9\r\n"));
    EXPECT_EQ(w.p.messages, QStringList { "File " + w.path("k.kwrds") + " saved!" });
    ASSERT_EQ(w.p.dialogs.size(), 1u);
    EXPECT_TRUE(w.p.dialogs[0].save);
    EXPECT_EQ(w.p.dialogs[0].initDir, w.home.path() + "/");
    w.f().List1.AddItem("http://a/");
    w.run(mnuSaveURLs_Click, w.path("u.urls"));
    EXPECT_EQ(readFileBytes(w.path("u.urls")), QByteArray("http://a/\r\n"));
    EXPECT_EQ(w.p.dialogs.back().filter, "URLs (*.urls)|*.urls");

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
        w.f().RichTextBox1.setText(c.text);
        w.run(mnuSaveSpiderData_Click, w.path("s.sdata"));
        EXPECT_EQ(readFileBytes(w.path("s.sdata")), c.bytes) << c.name;
        EXPECT_EQ(w.p.dialogs.back().filter, "Spider Data (*.sdata)|*.sdata") << c.name;
        w.f().RichTextBox2.setText(c.text);
        w.run(mnuSaveTemplate_Click, w.path("t.tplate"));
        EXPECT_EQ(readFileBytes(w.path("t.tplate")), c.bytes) << c.name;
        EXPECT_EQ(w.p.dialogs.back().filter, "Template (*.tplate)|*.tplate") << c.name;
    }
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

TEST(Save, NothingToSaveOrAFailedSaveKeepsTheOldFile)
{
    TestWindow w;
    w.f().RichTextBox2.setText("");
    for (Command command :
        { mnuSaveKeywords_Click, mnuSaveURLs_Click, mnuSaveSpiderData_Click, mnuSaveTemplate_Click })
        w.run(command, w.path("x"));
    EXPECT_EQ(w.p.messages, QStringList(4, "Nothing to save!"));
    EXPECT_TRUE(w.p.dialogs.empty());
    EXPECT_FALSE(QFile::exists(w.path("x")));
    w.p.dialogAnswers.clear();

    const QString path = w.path("u.urls");
    writeFileBytes(path, "http://old/\r\n");
    w.fillUrls(2000);
    ASSERT_TRUE(QDir(w.home.path()).mkdir("folder"));
    const QString missingFolder = w.path("missing/u.urls");
    for (const QString& target : { missingFolder, w.path("folder"), path }) {
        w.p.messages.clear();
        {
            FileSizeCap cap(4096); // the write fails part way
            w.run(mnuSaveURLs_Click, target);
        }
        ASSERT_EQ(w.p.messages.size(), 1) << target.toStdString();
        EXPECT_TRUE(w.p.messages[0].startsWith("File " + target + " could not be saved: "))
            << target.toStdString();
    }
    EXPECT_FALSE(QFile::exists(missingFolder));
    EXPECT_TRUE(QFileInfo(w.path("folder")).isDir());
    EXPECT_EQ(readFileBytes(path), QByteArray("http://old/\r\n"));
    EXPECT_EQ(QDir(w.home.path()).entryList(QDir::Files), QStringList { "u.urls" })
        << "no temporary file left";
}

TEST(Clear, EmptiesTheCollectionAndItsCountersButNotTheRandomisersList)
{
    TestWindow w;
    Form1& f = w.f();
    fillEverything(f);
    writeFileBytes(w.path("n.urls"), "other\r\n");
    {
        ActivityScope scope(f, Activity::Randomise);
        w.run(mnuOpenURLs_Click, w.path("n.urls"));
        mnuClearURLs_Click(f, w.p);
        EXPECT_EQ(f.List1.items(), QStringList { "u" }) << "kept while the randomiser runs";
    }
    f.Label10.setCaption("3");
    f.Label15.setCaption("7");
    for (Command command :
        { mnuClearURLs_Click, mnuClearKeywords_Click, mnuClearSpiderData_Click, mnuClearTemplate_Click })
        command(f, w.p);
    EXPECT_EQ(f.List1.ListCount(), 0);
    EXPECT_EQ(f.List2.ListCount(), 0);
    EXPECT_EQ(f.RichTextBox1.Text(), "");
    EXPECT_EQ(f.RichTextBox2.Text(), "");
    for (const Label* label : { &f.Label1, &f.Label7, &f.Label10, &f.Label15 })
        EXPECT_EQ(label->Caption(), "0") << label->name();
    EXPECT_TRUE(w.p.messages.isEmpty());
}

} // namespace
} // namespace tarnwick
