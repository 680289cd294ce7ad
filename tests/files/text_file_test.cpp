#include "files/dialog_filter.h"
#include "files/text_file_reader.h"
#include "files/text_file_writer.h"
#include "support/faulty_file_system.h"
#include "support/fixtures.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

#include <fcntl.h>
#include <unistd.h>

namespace tarnwick {
namespace {

TEST(LineSplitter, BreaksAtCrLfLoneCrAndLoneLf)
{
    const std::tuple<const char*, QString, QStringList> cases[] = { { "empty text", "", {} },
        { "crlf", "a\r\nb\r\n", { "a", "b" } }, { "lone cr", "a\rb\r", { "a", "b" } },
        { "lone lf", "a\nb\n", { "a", "b" } }, { "mixed", "a\r\nb\rc\nd", { "a", "b", "c", "d" } },
        { "last line without break", "a\r\nb", { "a", "b" } },
        { "lf cr is two breaks", "a\n\rb", { "a", "", "b" } },
        { "empty lines kept", "\r\n\r\nx\r\n\r\n", { "", "", "x", "" } },
        { "cr before crlf", "a\r\r\nb", { "a", "", "b" } }, { "break alone", "\r\n", { "" } } };
    for (const auto& [name, text, want] : cases) {
        QStringList lines;
        LineSplitter splitter(text);
        for (QStringView line; splitter.next(line);)
            lines.append(line.toString());
        EXPECT_EQ(lines, want) << name;
    }
}

TEST(DecodeFileText, ByteOrderMarksUtf8AndWindows1252)
{
    const QString text = QStringLiteral("caf\u00e9 \u20ac\r\nhttp://a.example/ \U00010400");
    const auto marked = [&](QStringConverter::Encoding encoding) {
        return QByteArray(QStringEncoder(encoding, QStringConverter::Flag::WriteBom).encode(text));
    };
    const QString nul(QChar(0));
    const std::tuple<const char*, QByteArray, QString> cases[] = {
        { "ascii", "plain", "plain" },
        { "utf-8", "caf\xc3\xa9", QString::fromUtf8("caf\xc3\xa9") },
        { "utf-8 mark dropped", "\357\273\277abc", "abc" },
        { "only a utf-8 mark", "\xef\xbb\xbf", "" },
        { "windows-1252", "caf\xe9 \x93q\x94 \x80",
            QString::fromUtf8("caf\xc3\xa9 \xe2\x80\x9cq\xe2\x80\x9d \xe2\x82\xac") },
        { "cut-off utf-8 sequence at the end", "ab\xc3", QString::fromUtf8("ab\xc3\x83") },
        { "nul bytes kept", QByteArray("a\0b", 3), "a" + nul + "b" },
        { "utf-16 le", marked(QStringConverter::Utf16LE), text },
        { "utf-32 le", marked(QStringConverter::Utf32LE), text },
        { "utf-16 le, last byte cut off", QByteArray("\377\376a\0b", 5), QStringLiteral("a\uFFFD") },
        { "only a utf-16 mark", "\xff\xfe", "" },
        { "utf-16 without a mark stays bytes", QByteArray("a\0b\0", 4), "a" + nul + "b" + nul },
    };
    for (const auto& [name, bytes, want] : cases)
        EXPECT_EQ(decodeFileText(bytes), want) << name;
}

// What is not text, at its edges: UTF-16 with its mark is, without not; one control character in ten,
// not two; the size cap, not a byte more. Without standard input, an open may get descriptor 0: closed too.
TEST(ReadTextFile, RefusesWhatIsNotTextOrPastTheCapAndClosesEvenDescriptorZero)
{
    const QString text = QStringLiteral("caf\u00e9\r\nhttp://a.example/\r\n");
    const QByteArray utf16
        = QStringEncoder(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom).encode(text);
    const std::tuple<const char*, QByteArray, QString> rows[] = {
        { "utf-16 with its mark", utf16, {} },
        { "utf-16 without its mark", utf16.mid(2), "Not a text file (it holds NUL bytes)" },
        { "one escape in ten characters", "\x1b[1mbold\r\n", {} },
        { "two in ten", "\x1b[1mbo\x1bld\r",
            "Not a text file (more than one character in ten is a control character or cannot be decoded)" },
        { "DEL and the last C1 control in ten", "\x7f[1mbo\xc2\x9fld\r",
            "Not a text file (more than one character in ten is a control character or cannot be decoded)" },
        { "tabs, form feeds and line ends", "\t\t\f\r\n\r\n", {} },
    };
    QTemporaryDir dir;
    const QString path = dir.filePath("file.urls");
    for (const auto& [name, bytes, reason] : rows) {
        test::writeFileBytes(path, bytes);
        const TextFileRead read = readTextFile(path);
        EXPECT_EQ(read.reason, reason) << name;
        if (reason.isEmpty()) // it opens
            EXPECT_EQ(read.text, decodeFileText(bytes)) << name;
    }

    EXPECT_TRUE(readTextFile("/proc/self/status").text.startsWith("Name:")) << "a file that gives no size";
    QFile file(path);
    ASSERT_TRUE(file.resize(kMaxFileBytes));
    const int input = ::dup(0);
    ::close(0);
    const TextFileRead read = readTextFile(path);
    const bool zeroLeftOpen = ::fcntl(0, F_GETFD) != -1;
    ::dup2(input, 0);
    ::close(input);
    // Read whole, then refused for what it holds: zeros are no text.
    EXPECT_EQ(read.failure, TextFileRead::Failure::NotText) << read.reason.toStdString();
    EXPECT_FALSE(zeroLeftOpen);
    ASSERT_TRUE(file.resize(kMaxFileBytes + 1));
    const TextFileRead over = readTextFile(path);
    EXPECT_EQ(over.failure, TextFileRead::Failure::Open);
    EXPECT_EQ(over.reason, "Larger than 64 MiB");
}

// A save failing at any step keeps the old file byte for byte, with its mode, and no temporary file.
TEST(SaveFile, AFailingStepLeavesTheOldFileAndALinkIsWrittenThrough)
{
    using Fault = std::function<void(test::FaultyFileSystem&)>;
    const QString inPlace = " (the new file is in place, but a power cut could still take it)";
    // A fault, whether to flush, the reason said (empty: saved) and the flushes asked for.
    const std::tuple<const char*, Fault, Durability, QString, int> cases[] = {
        { "saved and flushed", [](auto&) {}, Durability::Sync, {}, 2 },
        { "disk full part way", [](auto& d) { d.bytesBeforeWriteFails = 7; }, Durability::Sync,
            "No space left on device", 0 },
        { "file too large from the first byte",
            [](auto& d) { d.bytesBeforeWriteFails = 0, d.writeError = EFBIG; }, Durability::NoSync,
            "File too large", 0 },
        { "flush fails", [](auto& d) { d.syncError = EIO; }, Durability::Sync, "Input/output error", 1 },
        { "16 names taken", [](auto& d) { d.namesTaken = 16; }, Durability::Sync, "File exists", 0 },
        { "no flush asked, none fails", [](auto& d) { d.syncError = EIO; }, Durability::NoSync, {}, 0 },
        { "rename fails", [](auto& d) { d.renameError = EXDEV; }, Durability::Sync,
            "Invalid cross-device link", 1 },
        { "folder flush fails after the rename", [](auto& d) { d.syncFolderError = EIO; }, Durability::Sync,
            "Input/output error" + inPlace, 2 },
    };
    const QByteArray old = "old list\r\n", next = "a new and longer list\r\n";
    for (const auto& [name, fault, durability, reason, syncs] : cases) {
        SCOPED_TRACE(name);
        QTemporaryDir dir;
        const QString path = dir.filePath("list.urls");
        test::writeFileBytes(path, old);
        ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
        test::FaultyFileSystem disk;
        fault(disk);
        const SaveResult result = saveFile(disk, path, next, durability);
        const bool replaced = reason.isEmpty() || reason.endsWith(inPlace);
        EXPECT_EQ(result.ok(), reason.isEmpty());
        EXPECT_EQ(result.reason, reason);
        EXPECT_EQ(test::readFileBytes(path), replaced ? next : old);
        EXPECT_EQ(QFile::permissions(path),
            QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadUser | QFile::WriteUser);
        EXPECT_EQ(disk.syncs + disk.folderSyncs, syncs);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList { "list.urls" });
    }

    // On the real disk a link is written through; a folder or a missing one is refused.
    QTemporaryDir dir;
    PosixFileSystem disk;
    const QString real = dir.filePath("real.urls");
    test::writeFileBytes(real, "old");
    ASSERT_TRUE(QFile::link(real, dir.filePath("link.urls")));
    EXPECT_TRUE(saveFile(disk, dir.filePath("link.urls"), "new", Durability::Sync).ok());
    EXPECT_EQ(test::readFileBytes(real), "new");
    EXPECT_TRUE(QFileInfo(dir.filePath("link.urls")).isSymLink());
    EXPECT_EQ(saveFile(disk, dir.path(), "x", Durability::Sync).reason, "Is a directory");
    EXPECT_EQ(saveFile(disk, dir.filePath("n/x"), "x", Durability::Sync).reason, "No such file or directory");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).join(' '), "link.urls real.urls");
    EXPECT_EQ(disk.close(-1), EBADF) << "a close that fails is said, as a write that fails";
    EXPECT_EQ(disk.syncFolder("/proc"), 0) << "a folder with nothing to flush answers EINVAL: no failure";
}

TEST(QtFilterFrom, TurnsBarPairsIntoQtFiltersWhoseFirstNamesTheExtensionToAdd)
{
    const std::array<QString, 3> cases[] = { { "Keywords (*.kwrds)|*.kwrds", "Keywords (*.kwrds)", "kwrds" },
        { "Spider Data (*.sdata)|*.sdata|Template (*.tplate)|*.tplate",
            "Spider Data (*.sdata);;Template (*.tplate)", "sdata" },
        { "Text|*.txt", "Text (*.txt)", "txt" }, { "Lists|*.urls;*.kwrds", "Lists (*.urls *.kwrds)", "urls" },
        { "|*.txt|Text", "*.txt;;Text", "txt" }, { "(*.md)|*.md", "(*.md)", "md" }, { "", "", "" },
        { "Pages|*.htm*", "Pages (*.htm*)", "" }, { "Text :)|*.txt", "Text :) (*.txt)", "txt" } };
    for (const auto& [filter, qt, extension] : cases) {
        EXPECT_EQ(qtFilterFrom(filter), qt) << filter.toStdString();
        EXPECT_EQ(filterExtension(qt.section(";;", 0, 0)), extension) << filter.toStdString();
    }
    // Open dialogs offer every file after the command's own, for names saved without extension.
    EXPECT_EQ(qtOpenFilterFrom("URLs (*.urls)|*.urls"), "URLs (*.urls);;All files (*)");
    EXPECT_EQ(qtOpenFilterFrom(""), "All files (*)");
}

} // namespace
} // namespace tarnwick
