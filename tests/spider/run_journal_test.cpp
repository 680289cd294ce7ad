// The run journal: lines read back or are refused, it is locked in use, a resumed run ends as if never cut.
#include "app/state_folder.h"
#include "spider/run_journal.h"
#include "spider/run_resume.h"
#include "support/faulty_file_system.h"
#include "support/fixtures.h"
#include "support/loaded_form.h"

#include <QDir>

#include <gtest/gtest.h>
#include <unistd.h>

namespace tarnwick {
namespace {

JournalHeader sampleHeader()
{
    return { QDateTime(QDate(2026, 12, 8), QTime(1, 2, 3, 45), Qt::UTC), "/lists/cars\t100%.urls",
        "/home/me/tarnwick", { "http://a.example/", "http://b.example/?q=%41", "http://c.example/" },
        { { "RichTextBox2", "<html>\r\n<title>!@@!</title>\r\n!##!" }, { "Text5", " " } },
        { { "-o", "/out/cars.sdata" } } };
}

JournalEntry sampleEntry(int position, const QString& data = {}, TextChange::Kind kind = {})
{
    // The first three: accepted after a retry, refused by robots.txt, a timeout after two retries.
    const std::pair<Outcome, int> kinds[] = { { Outcome::Timeout, 0 }, { Outcome::Accepted, 1 },
        { Outcome::RobotsRefused, 0 }, { Outcome::Timeout, 2 } };
    const auto [outcome, retries] = kinds[position < 4 ? position : 0];
    const QString url = QStringLiteral("http://a.example/%1").arg(position);
    return { { position, url, outcome, QStringLiteral("tab\there, ünïcode"), retries },
        QString::number(position), "0", "Title of %1", { kind, data }, "<a href=\"p1.html\">p1</a>\r\n\r\n",
        { url }, { QStringLiteral("/x/p%1.html").arg(position) } };
}

QByteArray sampleJournal()
{
    return headerLine(sampleHeader()) + entryLine(sampleEntry(1, "rec\r\n\r\n"))
        + entryLine(sampleEntry(2, {}, TextChange::Kind::Replaced)) + entryLine(sampleEntry(3, "5% off\r\n"));
}

TEST(RunJournalFormat, ReadsBackWholeEntriesAndRefusesWhatItCannotTrust)
{
    const QByteArray whole = sampleJournal();
    const qsizetype lastStart = whole.lastIndexOf('\n', whole.size() - 2) + 1;
    JournalHeader noUrls = sampleHeader(), noStart = sampleHeader();
    noUrls.urls.clear(), noStart.started = {};
    const QByteArray entries = whole.mid(whole.indexOf('\n') + 1);
    const char* const unread = "its first line does not read back";
    JournalEntry unknown = sampleEntry(1);
    unknown.outcome.outcome = static_cast<Outcome>(static_cast<int>(kLastOutcome) + 1);
    // Entry 1 as a later version or a hand may write it: its check holds, its fields do not.
    const auto resealed = [](const char* from, const char* to) {
        const QByteArray body = entryLine(sampleEntry(1, "rec")).chopped(10).replace(from, to);
        return headerLine(sampleHeader()) + sealedLine(body) + entryLine(sampleEntry(2));
    };
    const char* const entry1 = "its entry 1 does not read back";
    const std::tuple<const char*, QByteArray, int, const char*> rows[] = {
        { "whole", whole, 3, "" },
        { "cut off mid-entry", whole.left(whole.size() - 9), 2, "" },
        { "cut off before its line end", whole.chopped(1), 2, "" },
        { "cut inside its header, then a line end", whole.left(30) + "\n", -1, unread },
        { "corrupt last entry", QByteArray(whole).replace(lastStart + 5, 1, "9"), 2, "" },
        { "header only", headerLine(sampleHeader()), 0, "" },
        { "other version", QByteArray(whole).replace("tarnwick-journal\t1\t", "tarnwick-journal\t2\t"), -1,
            "it was written by another version of Tarnwick (journal version 2, this one reads version 1)" },
        { "garbage", "PK\x03\x04 something else\nmore\n", -1, "it is not a Tarnwick run journal" },
        { "another program's", QByteArray(whole).replace(0, 1, "T"), -1, "it is not a Tarnwick run journal" },
        { "empty", "", -1, "it is empty" },
        { "a header without URLs", headerLine(noUrls) + entries, -1, unread },
        { "a header without its start", headerLine(noStart) + entries, -1, unread },
        { "damaged header", QByteArray(whole).replace("cars", "bars"), -1, unread },
        { "bare field", sealedLine(headerLine(sampleHeader()).chopped(10) + "\tx") + entries, -1, unread },
        { "nameless field", sealedLine(headerLine(sampleHeader()).chopped(10) + "\t=x") + entries, -1,
            unread },
        { "bad escape", sealedLine(headerLine(sampleHeader()).chopped(10) + "\tx=%z") + entries, -1, unread },
        { "corrupt middle entry", QByteArray(whole).replace("rec%0D", "red%0D"), -1, entry1 },
        { "resealed as it was", resealed("rec", "rec"), 2, "" },
        { "an entry of another kind", resealed("url\t", "uri\t"), -1, entry1 },
        { "an outcome that is no number", resealed("/1\t0\t", "/1\tx\t"), -1, entry1 },
        { "an outcome below the first", resealed("/1\t0\t", "/1\t-1\t"), -1, entry1 },
        { "no change mark before the data", resealed("\t+rec\t", "\trec\t"), -1, entry1 },
        { "an escape cut short", resealed("%251\t", "%2\t"), -1, entry1 },
        { "an escape that is no number", resealed("%251", "%2z1"), -1, entry1 },
        { "a position given twice",
            headerLine(sampleHeader()) + entryLine(sampleEntry(2)) + entryLine(sampleEntry(2)) + "\n", -1,
            "its entry 2 does not read back" },
        { "an outcome it does not know, last", headerLine(sampleHeader()) + entryLine(unknown), 0, "" },
    };
    EXPECT_EQ(headerLine(sampleHeader()).right(9), "83b4063b\n") << "CRC-32, as in journals written before";
    for (const auto& [name, bytes, entries, error] : rows) {
        const JournalReading reading = readJournal(bytes);
        EXPECT_EQ(reading.error, QString::fromUtf8(error)) << name;
        if (entries < 0) { // refused
            EXPECT_TRUE(reading.contents.entries.empty()) << name;
            continue;
        }
        ASSERT_EQ(static_cast<int>(reading.contents.entries.size()), entries) << name;
        const JournalHeader& header = reading.contents.header;
        EXPECT_EQ(headerLine(header), headerLine(sampleHeader())) << name;
        EXPECT_EQ(header.extra("-o"), "/out/cars.sdata") << name;
        QByteArray again = headerLine(header);
        for (const JournalEntry& entry : reading.contents.entries)
            again += entryLine(entry);
        EXPECT_TRUE(bytes.startsWith(again)) << name;
        EXPECT_EQ(again.size(), reading.contents.wholeBytes) << name;
        for (const JournalEntry& entry : reading.contents.entries) {
            const UrlOutcome written = sampleEntry(entry.outcome.position).outcome;
            EXPECT_EQ(entry.outcome.outcome, written.outcome) << name;
            EXPECT_EQ(entry.outcome.retries, written.retries) << name;
        }
    }
}

TEST(RunJournalFile, IsLockedWhileInUseSyncedBySecondsAndGoneWhenRemoved)
{
    test::LoadedForm window;
    test::FaultyFileSystem files;
    window.p.files = &files;
    const QString folder = window.home.filePath("state/tarnwick");
    JournalHeader header = sampleHeader();
    for (int i = 3; i < 16; ++i)
        header.urls.append(QStringLiteral("http://more.example/%1").arg(i));
    QString error;
    // Started with stdin closed, as some launchers do: descriptor 0 is the journal's.
    const int stdinCopy = ::dup(0);
    ::close(0);
    std::unique_ptr<RunJournal> journal = RunJournal::create(folder, header, window.p, error);
    ASSERT_TRUE(journal) << error.toStdString();
    EXPECT_EQ(RunJournal::interrupted(folder), QStringList {}) << "held by this program";
    EXPECT_FALSE(RunJournal::open(journal->path(), window.p, error));
    EXPECT_EQ(error, "The journal " + journal->path() + " is in use by another Tarnwick.");

    for (int second = 0; second < 4; ++second) {
        for (int i = 1; i <= 4; ++i)
            journal->append(sampleEntry(second * 4 + i, "r"));
        EXPECT_EQ(journal->syncs(), second) << "after second " << second;
        window.p.Sleep(1000);
    }
    const QString path = journal->path();
    journal.reset();
    EXPECT_EQ(files.syncs * 10 + files.folderSyncs, 31) << "three syncs, the first with the folder";
    EXPECT_EQ(RunJournal::interrupted(folder), QStringList { path }) << "left by a program that ended";

    const uint descriptors = QDir("/proc/self/fd").count();
    journal = RunJournal::open(path, window.p, error);
    ASSERT_TRUE(journal) << error.toStdString();
    EXPECT_EQ(journal->contents().nextIndex(), 16);
    journal->remove();
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(QDir("/proc/self/fd").count(), descriptors) << "removing it closes it";
    ::dup2(stdinCopy, 0);
    ::close(stdinCopy);
}

// The kill points and the resumed run's output are proven on tarnwick-cli (cli_resume_test);
// the window adds the question at start, which resumes on Yes and asks again before deleting.
TEST(RunResume, YesResumesDecliningAsksBeforeDeletingAndAJournalThatCannotBeReadIsSaid)
{
    QTemporaryDir home;
    const QString path = QDir(stateFolder()).filePath("20261208-000000-000-2.journal");
    JournalHeader header = sampleHeader();
    header.home = home.path();
    const QByteArray good = headerLine(header) + entryLine(sampleEntry(1, "r"));
    header.settings += { { "Check3", "1" }, { "Text8", "blocked" } }; // a file stands where its pages go
    test::writeFileBytes(home.filePath("blocked"), "");
    // Listed: the URLs in the list afterwards.
    const std::tuple<const char*, QByteArray, std::deque<bool>, bool, int, const char*> rows[] = {
        { "resumed", good, { true }, false, 1, nullptr },
        { "declined, kept", good, { false, false }, true, 0,
            "A spider run was interrupted at URL 2 of 3 (started 2026-12-08 01:02, list cars\t100%.urls). "
            "Resume it?|Delete the journal of the interrupted run? It cannot be resumed afterwards." },
        { "declined, deleted", good, { false, true }, false, 0, nullptr },
        { "garbage, deleted", "garbage\n", { true }, false, 0,
            "The journal %1 cannot be resumed: it is not a Tarnwick run journal. Delete it?" },
        { "garbage, kept", "garbage\n", { false }, true, 0, nullptr },
        { "no page folder", headerLine(header), { true }, true, 3,
            "A spider run was interrupted at URL 1 of 3 (started 2026-12-08 01:02, list cars\t100%.urls). "
            "Resume it?|The folder %2/blocked cannot be made." },
    };
    for (const auto& [name, journal, answers, kept, listed, question] : rows) {
        QDir().mkpath(stateFolder());
        test::writeFileBytes(path, journal);
        test::LoadedForm window;
        window.p.folder = home.path();
        window.p.yesNoAnswers = answers;
        offerInterruptedRun(window.f, window.p);
        if (question)
            EXPECT_EQ((window.p.questions + window.p.messages).join('|'),
                QString::fromUtf8(question).replace("%1", path).replace("%2", home.path()))
                << name;
        EXPECT_EQ(QFile::exists(path), kept) << name;
        EXPECT_EQ(window.f.List1.ListCount(), listed) << name;
        if (!kept && listed > 0) { // resumed: the added count and retries come back from the journal
            EXPECT_EQ(window.f.Label10.Caption(), "1") << name;
            EXPECT_EQ(window.f.RichTextBox1.SelStart(), 1) << "the caret after the data read back";
            EXPECT_TRUE(window.f.runReport.summaryText().contains("1 accepted (1 after retries)"))
                << window.f.runReport.summaryText().toStdString();
        }
        QFile::remove(path);
    }
}

} // namespace
} // namespace tarnwick
