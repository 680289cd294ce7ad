// A spider run killed with SIGKILL (during a request, just after a page, during the sitemap) and resumed
// with --resume leaves the files of a run never interrupted, fetching no URL its journal holds.
#include "cli/cli_process.h"
#include "spider/run_journal.h"
#include "support/fixtures.h"
#include "support/spider_sites.h"

#include <QDir>
#include <QDirIterator>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>

namespace tarnwick {
namespace {

constexpr int kUrls = 14;
constexpr int kHeld = 7; ///< the list index whose first request the server holds open

/// Sites: most pages accepted, a few refused or missing, one holding its first request open; all logged.
struct Sites {
    Sites()
    {
        server.server.Get(R"(/(site|hold)/(\d+))", [this](const auto& req, auto& res) {
            {
                std::lock_guard<std::mutex> lock(mutex);
                log.append(QString::fromStdString(req.path));
            }
            if (req.matches[1] == "hold" && holding.exchange(false)) {
                held = true;
                for (int i = 0; i < 3000 && !released; ++i)
                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            const int n = std::stoi(req.matches[2]);
            const std::string title = n % 4 == 3 ? "Tiny" : "Site number " + std::to_string(n) + " page";
            if (n == 5)
                res.status = 404;
            else
                res.set_content(test::spiderPage(title, "About site " + std::to_string(n)), "text/html");
        });
        server.start();
    }
    QStringList urls() const
    {
        QStringList urls;
        for (int i = 0; i < kUrls; ++i)
            urls.append(server.url(QStringLiteral("/%1/%2").arg(i == kHeld ? "hold" : "site").arg(i)));
        return urls;
    }
    QStringList requests()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return log;
    }

    test::LoopbackServer server;
    std::mutex mutex;
    QStringList log;
    std::atomic<bool> holding { false }, held { false }, released { false };
};

/// Every file under `folder`, by its path inside it.
std::map<QString, QByteArray> filesUnder(const QString& folder)
{
    std::map<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files[QDir(folder).relativeFilePath(path)] = test::readFileBytes(path);
    }
    return files;
}

QStringList spiderArguments(const QString& home, const char* parallel)
{
    return QStringList { "spider", "sites.urls", "--home", home, "--parallel", parallel, "--filter", " ",
        "--heading", "Car insurance" }
    + test::words("--referer http://ref.example/ --user-agent Agent/1 --pages cars --page-name insurance "
                  "--sitemap-name sitemap --per-page 3 --report run.csv --save-urls kept.urls -o left.sdata");
}

enum class Kill { HeldRequest, AfterPage, AfterPageCutOff, InSitemap };

TEST(CliResume, AKilledRunResumesToTheFilesOfAWholeRunFetchingNoFinishedUrlAgain)
{
    // killAt: where the program kills itself, if it does; killResumedAt: where the first resumed run does.
    const std::tuple<const char*, Kill, const char*, const char*, bool, const char*> rows[] = {
        { "request held, 1 in flight", Kill::HeldRequest, "", "1", false, "" },
        { "request held, 8 in flight, resume killed at URL 10", Kill::HeldRequest, "", "8", true, "urls:10" },
        { "after page 2, resumed run killed after page 3", Kill::AfterPage, "pages:2", "1", true, "pages:3" },
        { "after page 2, journal cut mid-entry, 8 in flight", Kill::AfterPageCutOff, "pages:2", "8", false,
            "" },
        { "in the sitemap, 1 in flight", Kill::InSitemap, "urls:14", "1", false, "" },
        { "in the sitemap, 8 in flight", Kill::InSitemap, "urls:14", "8", true, "" },
    };
    for (const auto& [name, how, killAt, parallel, namedJournal, killResumedAt] : rows) {
        SCOPED_TRACE(name);
        Sites sites;
        QTemporaryDir work;
        const QString state = work.filePath("state"), wholeHome = work.filePath("whole"),
                      home = work.filePath("killed");
        for (const QString& folder : { wholeHome, home }) {
            QDir().mkpath(folder);
            test::writeFileBytes(folder + "/sites.urls", sites.urls().join("\r\n").toUtf8());
        }
        const test::CliVariables journals { { "XDG_STATE_HOME", state } };
        ASSERT_EQ(test::runCli(spiderArguments(wholeHome, parallel), wholeHome, journals).exitCode, 0);

        QProcess killed;
        sites.holding = how == Kill::HeldRequest;
        test::prepareCli(killed, spiderArguments(home, parallel), home,
            journals + test::CliVariables { { "TARNWICK_TEST_KILL", killAt } });
        const qsizetype before = sites.requests().size();
        killed.start();
        const QString folder = state + "/tarnwick";
        auto journalPath = [&folder] {
            const QStringList names = QDir(folder).entryList({ "*.journal" }, QDir::Files);
            return names.isEmpty() ? QString() : folder + '/' + names.first();
        };
        if (how == Kill::HeldRequest) {
            // Everything before the held URL is done once its outcome reaches the journal.
            auto nextInJournal
                = [&] { return readJournal(test::readFileBytes(journalPath())).contents.nextIndex(); };
            for (int i = 0; i < 1000 && !(sites.held && nextInJournal() == kHeld); ++i)
                QThread::msleep(10);
            ::kill(static_cast<pid_t>(killed.processId()), SIGKILL);
        }
        killed.waitForFinished(60000);
        sites.released = true;
        ASSERT_EQ(killed.exitStatus(), QProcess::CrashExit);
        const QString path = journalPath();
        ASSERT_FALSE(path.isEmpty());
        if (how == Kill::AfterPageCutOff)
            test::writeFileBytes(path, test::readFileBytes(path).chopped(7));
        const JournalReading journal = readJournal(test::readFileBytes(path));
        ASSERT_TRUE(journal.ok()) << journal.error.toStdString();
        const qsizetype resumedFrom = sites.requests().size();

        QStringList resume { "spider", "--resume" };
        if (namedJournal)
            resume.append(path);
        if (*killResumedAt) {
            test::runCli(resume, work.path(),
                journals + test::CliVariables { { "TARNWICK_TEST_KILL", killResumedAt } });
            ASSERT_FALSE(journalPath().isEmpty());
        }
        const test::CliResult result = test::runCli(resume, work.path(), journals);
        EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
        EXPECT_EQ(filesUnder(home), filesUnder(wholeHome));
        EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList {});
        const QStringList again = sites.requests().mid(resumedFrom);
        for (const JournalEntry& entry : journal.contents.entries) { // a URL that adds nothing writes no data
            EXPECT_FALSE(again.contains(QUrl(entry.outcome.url).path())) << entry.outcome.position;
            EXPECT_TRUE(entry.data.kind == TextChange::Kind::Appended || entry.data.text.isEmpty());
        }
        if (how != Kill::InSitemap)
            EXPECT_GT(again.size(), 0);
        EXPECT_GT(resumedFrom, before);
    }
}

} // namespace
} // namespace tarnwick
