// What the open commands refuse or leave out: things that are not files, files too large to
// hold, lines too long to be an entry; and the byte-order marks they read.
#include "files/file_commands.h"
#include "files/text_file_reader.h"
#include "support/fixtures.h"
#include "support/loaded_form.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace tarnwick {
namespace {

using Command = void (*)(Form1&, Platform&);

struct Opened : test::LoadedForm {
    void run(Command command, const QString& path)
    {
        p.answerDialog(path);
        command(f, p);
    }
};

TEST(OpenRefused, AnythingButARegularFileOfAtMost64MiB)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("pipe.urls"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // Sparse: no disk space taken, but its size is past the cap.
    const QString huge = dir.filePath(QStringLiteral("huge.sdata"));
    {
        QFile file(huge);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.resize(kMaxFileBytes + 1));
    }
    const struct {
        const char* name;
        Command command;
        QString path;
        const char* reason;
    } cases[] = {
        { "folder", mnuOpenURLs_Click, dir.path(), "Is a folder" },
        { "device", mnuOpenKeywords_Click, QStringLiteral("/dev/null"), "Not a regular file" },
        { "named pipe without a writer", mnuOpenTemplate_Click, fifo, "Not a regular file" },
        { "over 64 MiB", mnuOpenSpiderData_Click, huge, "Larger than 64 MiB" },
    };
    for (const auto& c : cases) {
        Opened w;
        w.f.List1.AddItem(QStringLiteral("u"));
        w.f.List2.AddItem(QStringLiteral("k"));
        w.f.RichTextBox1.setText(QStringLiteral("d"));
        const QString templ = w.f.RichTextBox2.Text();
        w.run(c.command, c.path);
        EXPECT_EQ(w.p.messages, QStringList { "File " + c.path + " could not be opened: " + c.reason })
            << c.name;
        EXPECT_EQ(w.f.List1.items(), QStringList { "u" }) << c.name;
        EXPECT_EQ(w.f.List2.items(), QStringList { "k" }) << c.name;
        EXPECT_EQ(w.f.RichTextBox1.Text(), "d") << c.name;
        EXPECT_EQ(w.f.RichTextBox2.Text(), templ) << c.name;
    }
}

TEST(OpenList, LinesTooLongForAnEntryLeftOutWithOneMessage)
{
    const QByteArray longest(65536, 'x');
    Opened w;
    const QString path = w.home.filePath(QStringLiteral("long.urls"));
    test::writeFileBytes(
        path, "a\r\n" + longest + "\r\n" + QByteArray(65537, 'y') + "\r\nb\r\n" + QByteArray(200000, 'z'));
    w.run(mnuOpenURLs_Click, path);
    EXPECT_EQ(w.f.List1.items(), QStringList({ "a", QString::fromLatin1(longest), "b" }));
    EXPECT_EQ(w.f.Label1.Caption(), "3");
    EXPECT_EQ(
        w.p.messages, QStringList { "File " + path + ": 2 lines longer than 65536 characters left out!" });

    // A pane takes its text whole: a template may well be one long line.
    w.p.messages.clear();
    w.run(mnuOpenTemplate_Click, path);
    EXPECT_EQ(w.f.RichTextBox2.Text().size(), 3 + 65538 + 65539 + 3 + 200002);
    EXPECT_TRUE(w.p.messages.isEmpty());
}

TEST(DecodeFileText, ByteOrderMarksOfUtf16AndUtf32)
{
    const QString text = QStringLiteral("caf\u00e9 \u20ac\r\nhttp://a.example/ \U00010400");
    const auto bytes = [&](QStringConverter::Encoding encoding) {
        QStringEncoder encoder(encoding, QStringConverter::Flag::WriteBom);
        return QByteArray(encoder.encode(text));
    };
    const struct {
        const char* name;
        QByteArray bytes;
        QString text;
    } cases[] = {
        { "utf-16 le", bytes(QStringConverter::Utf16LE), text },
        { "utf-16 be", bytes(QStringConverter::Utf16BE), text },
        { "utf-32 le", bytes(QStringConverter::Utf32LE), text },
        { "utf-16 le, last byte cut off", QByteArray("\377\376a\0b", 5), QStringLiteral("a\uFFFD") },
        { "only a utf-16 mark", "\xff\xfe", "" },
        { "utf-16 without a mark stays bytes", QByteArray("a\0b\0", 4),
            QString(QStringLiteral("a")) + QChar(0) + QStringLiteral("b") + QChar(0) },
    };
    for (const auto& c : cases)
        EXPECT_EQ(decodeFileText(c.bytes), c.text) << c.name;
}

} // namespace
} // namespace tarnwick
