// The run journal: its lines read back or are refused, it is locked while in use, and a run
// resumed from it at any point ends as a run that was never interrupted.
#include "app/state_folder.h"
#include "spider/journal_state.h"
#include "spider/response_handler.h"
#include "spider/run_journal.h"
#include "spider/run_resume.h"
#include "spider/spider_run.h"
#include "support/fixtures.h"
#include "support/loaded_form.h"
#include "support/spider_sites.h"

#include <QDir>

#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace tarnwick {
namespace {

JournalHeader sampleHeader()
{
    JournalHeader header;
    header.started = QDateTime(QDate(2026, 12, 8), QTime(1, 2, 3, 45), Qt::UTC);
    header.listFile = QStringLiteral("/lists/cars\t100%.urls");
    header.home = QStringLiteral("/home/me/tarnwick");
    header.urls = QStringList { "http://a.example/", "http://b.example/?q=%41", "http://c.example/" };
    header.settings = { { "RichTextBox2", "<html>\r\n<title>!@@!</title>\r\n!##!" }, { "Text5", " " } };
    header.extras = { { "-o", "/out/cars.sdata" } };
    return header;
}

JournalEntry sampleEntry(int position, TextChange::Kind kind, const QString& data)
{
    JournalEntry entry;
    entry.outcome = { position, QStringLiteral("http://a.example/%1").arg(position), Outcome::Timeout,
        QStringLiteral("tab\there, ünïcode") };
    entry.added = QString::number(position);
    entry.counter = QStringLiteral("0");
    entry.pageTitle = QStringLiteral("Title of %1");
    entry.data = { kind, data };
    entry.links = QStringLiteral("<a href=\"p1.html\">p1</a>\r\n\r\n");
    entry.accepted = { entry.outcome.url };
    entry.pageFiles = { QStringLiteral("/x/p%1.html").arg(position) };
    return entry;
}

QByteArray sampleJournal()
{
    return headerLine(sampleHeader()) + entryLine(sampleEntry(1, TextChange::Kind::Appended, "rec\r\n\r\n"))
        + entryLine(sampleEntry(2, TextChange::Kind::Replaced, QString()))
        + entryLine(sampleEntry(3, TextChange::Kind::Appended, "50% off\r\n"));
}

TEST(RunJournalFormat, ReadsBackWholeEntriesAndRefusesWhatItCannotTrust)
{
    const QByteArray whole = sampleJournal();
    const qsizetype lastStart = whole.lastIndexOf('\n', whole.size() - 2) + 1;
    const struct {
        const char* name;
        QByteArray bytes;
        int entries; ///< -1: refused
        const char* error;
    } rows[] = {
        { "whole", whole, 3, "" },
        { "cut off mid-entry", whole.left(whole.size() - 9), 2, "" },
        { "cut off before its line end", whole.chopped(1), 2, "" },
        { "corrupt last entry", QByteArray(whole).replace(lastStart + 5, 1, "9"), 2, "" },
        { "header only", headerLine(sampleHeader()), 0, "" },
        { "other version", QByteArray(whole).replace("tarnwick-journal\t1\t", "tarnwick-journal\t2\t"), -1,
            "it was written by another version of Tarnwick (journal version 2, this one reads version 1)" },
        { "garbage", "PK\x03\x04 something else\nmore\n", -1, "it is not a Tarnwick run journal" },
        { "empty", "", -1, "it is empty" },
        { "damaged header", QByteArray(whole).replace("cars", "bars"), -1,
            "its first line does not read back" },
        { "corrupt middle entry", QByteArray(whole).replace("rec%0D", "red%0D"), -1,
            "its entry 1 does not read back" },
        { "entries out of order",
            headerLine(sampleHeader()) + entryLine(sampleEntry(2, TextChange::Kind::Appended, {}))
                + entryLine(sampleEntry(1, TextChange::Kind::Appended, {})) + "\n",
            -1, "its entry 2 does not read back" },
    };
    for (const auto& row : rows) {
        const JournalReading reading = readJournal(row.bytes);
        EXPECT_EQ(reading.error, QString::fromUtf8(row.error)) << row.name;
        if (row.entries < 0) {
            EXPECT_TRUE(reading.contents.entries.empty()) << row.name;
            continue;
        }
        ASSERT_EQ(static_cast<int>(reading.contents.entries.size()), row.entries) << row.name;
        const JournalHeader& header = reading.contents.header;
        EXPECT_EQ(headerLine(header), headerLine(sampleHeader())) << row.name;
        EXPECT_EQ(header.extra("-o"), "/out/cars.sdata") << row.name;
        EXPECT_EQ(reading.contents.wholeBytes, row.bytes.left(reading.contents.wholeBytes).size())
            << row.name;
        QByteArray again = headerLine(header);
        for (const JournalEntry& entry : reading.contents.entries)
            again += entryLine(entry);
        EXPECT_TRUE(row.bytes.startsWith(again)) << row.name;
        EXPECT_EQ(again.size(), reading.contents.wholeBytes) << row.name;
    }
}

TEST(RunJournalFile, IsLockedWhileInUseSyncedBySecondsAndGoneWhenRemoved)
{
    test::LoadedForm window;
    const QString folder = window.home.filePath("state/tarnwick");
    JournalHeader header = sampleHeader();
    for (int i = 3; i < 12; ++i)
        header.urls.append(QStringLiteral("http://more.example/%1").arg(i));
    QString error;
    std::unique_ptr<RunJournal> journal = RunJournal::create(folder, header, window.p, error);
    ASSERT_TRUE(journal) << error.toStdString();
    EXPECT_EQ(RunJournal::interrupted(folder), QStringList {}) << "held by this program";
    EXPECT_FALSE(RunJournal::open(journal->path(), window.p, error));
    EXPECT_EQ(error, "The journal " + journal->path() + " is in use by another Tarnwick.");

    for (int second = 0; second < 3; ++second) {
        for (int i = 1; i <= 4; ++i)
            journal->append(sampleEntry(second * 4 + i, TextChange::Kind::Appended, "r"));
        EXPECT_EQ(journal->syncs(), second) << "after second " << second;
        window.p.Sleep(1000);
    }
    const QString path = journal->path();
    journal.reset();
    EXPECT_EQ(RunJournal::interrupted(folder), QStringList { path }) << "left by a program that ended";

    journal = RunJournal::open(path, window.p, error);
    ASSERT_TRUE(journal) << error.toStdString();
    EXPECT_EQ(journal->contents().nextIndex(), 12);
    journal->remove();
    EXPECT_FALSE(QFile::exists(path));
}

/// Twelve scripted pages: most are accepted, every fourth is refused for its short title and
/// every fifth cannot be reached.
std::unique_ptr<test::FakeTransferControl> scriptedSites(QStringList& urls)
{
    auto inet = std::make_unique<test::FakeTransferControl>();
    for (int i = 0; i < 12; ++i) {
        urls.append(QStringLiteral("http://site%1.example/page%2").arg(i % 3).arg(i));
        if (i % 5 == 4)
            continue;
        const std::string title = i % 4 == 3 ? "Tiny" : "Scripted page " + std::to_string(i);
        inet->answer(urls.last(), QString::fromStdString(test::spiderPage(title, "A good description")));
    }
    return inet;
}

/// A window set for a run with pages over the scripted sites, in `home`.
struct ResumeWindow {
    explicit ResumeWindow(const QString& home, const char* parallel = "1")
    {
        QStringList urls;
        auto inet = scriptedSites(urls);
        transfer = inet.get();
        form = std::make_unique<Form1>(std::move(inet));
        Form_Load(*form);
        attachResponseHandler(*form, p);
        p.folder = home;
        test::readySpider(*form);
        form->List1.replaceAll(urls);
        form->Check3.setValue(1);
        form->Combo3.setText("3");
        form->Combo8.setText(parallel);
    }

    QString outputs() const
    {
        const Form1& f = *form;
        QString all = p.messages.join(u'|') + u'\n' + f.RichTextBox1.Text() + u'\n'
            + f.List1.items().join(u'|') + u'\n' + f.Label10.Caption() + u'|' + f.Text12.Text() + u'\n'
            + f.runReport.csvText();
        const QDir out(p.folder + "/cars");
        for (const QString& name : out.entryList(QDir::Files, QDir::Name))
            all += u'\n' + name + u'\n' + QString::fromUtf8(test::readFileBytes(out.filePath(name)));
        return all;
    }

    test::FakePlatform p;
    test::FakeTransferControl* transfer = nullptr;
    std::unique_ptr<Form1> form;
};

QStringList journalFiles()
{
    return QDir(stateFolder()).entryList({ "*.journal" }, QDir::Files);
}

// A killed run is stood in for by what it leaves: the journal and the pages as they were at
// one pump of a run. The window then offers it at start, resumes it, and ends as a run that
// was never interrupted, fetching no URL whose outcome the journal holds.
TEST(RunResume, ARunCutAtAnyPointResumesToTheOutputOfAWholeRun)
{
    QTemporaryDir homes;
    ResumeWindow reference(homes.filePath("reference"));
    QDir().mkpath(reference.p.folder);
    Command3_Click(*reference.form, reference.p);
    ASSERT_EQ(reference.p.messages, QStringList { "Run completed! Tarnwick list of sites spidered!" });
    EXPECT_EQ(journalFiles(), QStringList {}) << "a completed run leaves no journal";

    const struct {
        const char* parallel;
        int outcomes; ///< the journal is taken at the first pump with this many outcomes
    } rows[] = { { "1", 0 }, { "1", 5 }, { "1", 11 }, { "1", 12 }, { "8", 3 }, { "8", 12 } };
    for (const auto& row : rows) {
        const std::string name
            = std::string("parallel ") + row.parallel + ", " + std::to_string(row.outcomes);
        const QString home = homes.filePath(QStringLiteral("run%1-%2").arg(row.parallel).arg(row.outcomes));
        QDir().mkpath(home);
        QByteArray journal;
        std::map<QString, QByteArray> pages;
        {
            ResumeWindow killed(home, row.parallel);
            killed.p.onPump = [&](int) {
                if (!journal.isEmpty()
                    || killed.form->runReport.outcomes().size() < std::size_t(row.outcomes))
                    return;
                const QStringList files = journalFiles();
                ASSERT_EQ(files.size(), 1) << name;
                journal = test::readFileBytes(QDir(stateFolder()).filePath(files.first()));
                const QDir out(home + "/cars");
                for (const QString& page : out.entryList(QDir::Files))
                    pages[page] = test::readFileBytes(out.filePath(page));
            };
            Command3_Click(*killed.form, killed.p);
        }
        ASSERT_FALSE(journal.isEmpty()) << name;
        EXPECT_EQ(journalFiles(), QStringList {}) << name;
        QDir(home + "/cars").removeRecursively();
        QDir().mkpath(home + "/cars");
        for (const auto& [page, bytes] : pages)
            test::writeFileBytes(home + "/cars/" + page, bytes);
        const QString path = QDir(stateFolder()).filePath("20261208-000000-000-1.journal");
        test::writeFileBytes(path, journal);

        ResumeWindow resumed(home);
        resumed.form->Combo3.setText("9");
        resumed.form->List1.Clear();
        resumed.p.yesNoAnswers = { true };
        offerInterruptedRun(*resumed.form, resumed.p);
        ASSERT_EQ(resumed.p.questions.size(), 1) << name;
        EXPECT_TRUE(resumed.p.questions.first().startsWith(
            QStringLiteral("A spider run was interrupted at URL %1 of 12 (started ")
                .arg(std::min(12, readJournal(journal).contents.nextIndex() + 1))))
            << name << resumed.p.questions.first().toStdString();
        EXPECT_EQ(resumed.outputs(), reference.outputs()) << name;
        for (const JournalEntry& entry : readJournal(journal).contents.entries)
            EXPECT_FALSE(resumed.transfer->executed.contains(entry.outcome.url)) << name;
        EXPECT_FALSE(QFile::exists(path)) << name;
    }
}

TEST(RunResume, DecliningAsksBeforeDeletingAndAJournalThatCannotBeReadIsSaid)
{
    QTemporaryDir home;
    const QString path = QDir(stateFolder()).filePath("20261208-000000-000-2.journal");
    JournalHeader header = sampleHeader();
    header.home = home.path();
    const QByteArray good = headerLine(header) + entryLine(sampleEntry(1, TextChange::Kind::Appended, "r"));
    const struct {
        const char* name;
        QByteArray journal;
        std::deque<bool> answers;
        bool kept;
        const char* question;
    } rows[] = {
        { "declined, kept", good, { false, false }, true,
            "A spider run was interrupted at URL 2 of 3 (started 2026-12-08 01:02, list cars\t100%.urls). "
            "Resume it?|Delete the journal of the interrupted run? It cannot be resumed afterwards." },
        { "declined, deleted", good, { false, true }, false, nullptr },
        { "garbage, deleted", "garbage\n", { true }, false,
            "The journal %1 cannot be resumed: it is not a Tarnwick run journal. Delete it?" },
        { "garbage, kept", "garbage\n", { false }, true, nullptr },
    };
    for (const auto& row : rows) {
        QDir().mkpath(stateFolder());
        test::writeFileBytes(path, row.journal);
        test::LoadedForm window;
        window.p.folder = home.path();
        window.p.yesNoAnswers = row.answers;
        offerInterruptedRun(window.f, window.p);
        if (row.question)
            EXPECT_EQ(window.p.questions.join('|'), QString::fromUtf8(row.question).replace("%1", path))
                << row.name;
        EXPECT_EQ(QFile::exists(path), row.kept) << row.name;
        EXPECT_EQ(window.f.List1.ListCount(), 0) << row.name;
        QFile::remove(path);
    }
}

} // namespace
} // namespace tarnwick
