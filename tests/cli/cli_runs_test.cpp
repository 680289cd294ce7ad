// suggest, harvest and spider against loopback stand-ins of the services and sites they ask.
#include "cli/cli_process.h"
#include "support/fixtures.h"
#include "support/service_mimics.h"
#include "support/spider_sites.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <pty.h>
#include <sys/resource.h>
#include <unistd.h>

namespace tarnwick {
namespace {

using test::CannedAnswer;
using test::CliResult;
using test::words;

TEST(CliSources, SuggestAndHarvestSaveTheirListsOrEndWithStatusFourOrThreeWhenStopped)
{
    QTemporaryDir work;
    test::ServiceMimic service { "/ac",
        [](const httplib::Request& req) {
            const std::string seed = req.get_param_value("q");
            return CannedAnswer { 200,
                test::openSearchAnswer(seed,
                    seed == "auto" ? std::vector<std::string> { "auto versicherung", "autobahn" }
                                   : std::vector<std::string> {}) };
        } };
    const QString source = service.url(QStringLiteral("/ac?hl={language}&q={searchTerms}"));
    const CliResult result = test::runCli(
        { "suggest", "auto", "--source", source, "--country", "Germany", "--add", "-o", "auto.kwrds" },
        work.path());
    EXPECT_EQ(result.exitCode, 0);
    const QString saved = work.filePath(QStringLiteral("auto.kwrds"));
    EXPECT_EQ(result.err, QString("File %1 saved!\n").arg(saved).toUtf8());
    EXPECT_EQ(test::readFileBytes(saved), QByteArray("1 - auto versicherung\r\n2 - autobahn\r\n - auto\r\n"));

    const CliResult none = test::runCli({ "suggest", "zzz", "--source", source }, work.path());
    EXPECT_EQ(none.exitCode, 4) << none.err.toStdString();
    EXPECT_TRUE(none.out.isEmpty());
    EXPECT_EQ(service.targets(), (QStringList { "/ac?hl=de&q=auto", "/ac?hl=en&q=zzz" }));

    // A harvest refused by its source, or stopped by Ctrl+C during a wait.
    test::ServiceMimic searxng { "/search",
        [](const httplib::Request& req) {
            if (req.get_param_value("q") == "closed")
                return CannedAnswer { 403, "<h1>Forbidden</h1>", "text/html" };
            return CannedAnswer { 200,
                test::searxngPage({ "https://one.example/a", "https://two.example/b/c" }) };
        } };
    const QStringList arguments { "harvest", "k.kwrds", "--source", searxng.url(QString()), "-o", "k.urls" };
    test::writeFileBytes(work.filePath("k.kwrds"), "1 - closed\r\n");
    const CliResult refused = test::runCli(arguments, work.path());
    EXPECT_EQ(refused.exitCode, 4);
    EXPECT_TRUE(refused.err.startsWith(
        "JSON output is turned off on this instance: enable it in settings.yml, or run your own\n"))
        << refused.err.toStdString();

    test::writeFileBytes(work.filePath("k.kwrds"), "1 - widgets\r\n");
    QProcess process;
    test::prepareCli(process, arguments, work.path());
    process.start();
    ASSERT_TRUE(process.waitForStarted());
    for (int i = 0; i < 2000 && searxng.targets().size() < 2; ++i)
        QThread::msleep(5);
    ASSERT_EQ(searxng.targets().size(), 2);
    // The wait after a page lasts at least 5 s; the stop is seen at its next 250 ms tick.
    QThread::msleep(200);
    ::kill(static_cast<pid_t>(process.processId()), SIGINT);
    const CliResult stopped = test::finishCli(process);
    EXPECT_EQ(stopped.exitCode, 3);
    EXPECT_EQ(QString::fromUtf8(stopped.err), "Stopped!\nFile " + work.filePath("k.urls") + " saved!\n");
    EXPECT_EQ(searxng.targets().mid(1), QStringList { "/search?q=widgets&format=json&pageno=1" });
    EXPECT_EQ(test::readFileBytes(work.filePath(QStringLiteral("k.urls"))),
        QByteArray("https://one.example/\r\nhttps://two.example/\r\n"));
}

// Several in flight give the output of one at a time, so the pages of a parallel run match
// those of the window's run. With no -o the data left in the pane goes to standard output;
// messages go to standard error, and on a terminal a progress line that each message wipes.
TEST(CliSpider, ParallelRunOnATerminalWritesThePagesPrintsTheDataAndSavesUrlsAndReport)
{
    QTemporaryDir work;
    test::LoopbackServer server;
    test::serveSpiderSites(server);
    server.start();
    test::writeFileBytes(work.filePath("sites.urls"), test::spiderSiteUrls(server).join("\r\n").toUtf8());
    int terminal = -1, terminalEnd = -1;
    ASSERT_EQ(::openpty(&terminal, &terminalEnd, nullptr, nullptr, nullptr), 0);
    const QStringList arguments = QStringList { "spider", "sites.urls", "--home", work.path() }
        + QStringList { "--filter", " ", "--heading", "Car insurance" }
        + words("--referer http://ref.example/ --user-agent Agent/1 --timeout 1 --parallel 6 --pages cars "
                "--page-name insurance --sitemap-name sitemap --per-page 3 --report run.csv "
                "--save-urls out.urls");
    QProcess process;
    test::prepareCli(process, arguments, work.path());
    process.setChildProcessModifier([terminalEnd] { ::dup2(terminalEnd, STDERR_FILENO); });
    process.start();
    ASSERT_TRUE(process.waitForStarted());
    ::close(terminalEnd);
    ::fcntl(terminal, F_SETFL, O_NONBLOCK);
    QByteArray err;
    char buffer[4096];
    // Read as it comes, so the terminal's buffer never fills and blocks the program (60 s at most).
    for (int i = 0, running = 1; running && i < 1200; ++i) {
        running = process.state() != QProcess::NotRunning;
        process.waitForFinished(50);
        for (ssize_t n; (n = ::read(terminal, buffer, sizeof buffer)) > 0;)
            err.append(buffer, n);
    }
    ::close(terminal);
    err.replace("\r\n", "\n");

    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_TRUE(err.startsWith("\rspidered ")) << err.toStdString();
    EXPECT_TRUE(err.contains("/15 done, ")) << err.toStdString();
    const QString end
        = "\x1b[K\r\x1b[KRun completed! Tarnwick list of sites spidered!\nSpidered 15 of 15 URLs: "
          "7 accepted, 6 refused by the rules, 2 failed (1 timeout, 1 HTTP status)\nFile "
        + work.filePath("run.csv") + " saved!\nFile " + work.filePath("out.urls") + " saved!\n";
    EXPECT_TRUE(QString::fromUtf8(err).endsWith(end)) << err.toStdString();
    test::expectSpiderFile("pages_left.sdata", process.readAllStandardOutput(), server);
    // Save URLs ends every entry with CR LF.
    const QByteArray urls = test::readFileBytes(work.filePath("out.urls"));
    EXPECT_TRUE(urls.endsWith("\r\n"));
    test::expectSpiderFile("nopages.urls", urls.chopped(2), server);
    const QDir out(work.filePath("cars"));
    const QStringList written = out.entryList(QDir::Files, QDir::Name);
    test::expectSpiderFile("pages.list", written.join('\n').toUtf8(), server);
    for (const QString& name : written)
        test::expectSpiderFile(name, test::readFileBytes(out.filePath(name)), server);

    const QString csv = QString::fromUtf8(test::readFileBytes(work.filePath("run.csv")));
    const QStringList rows = csv.split("\r\n", Qt::SkipEmptyParts);
    ASSERT_EQ(rows.size(), 16) << csv.toStdString();
    EXPECT_EQ(rows.at(1), "1," + server.url("/ok1") + ",accepted,");
    EXPECT_EQ(rows.at(2), "2," + server.url("/width500") + ",refused by the rules,server error page");
    EXPECT_TRUE(rows.at(11).startsWith("11," + server.url("/stall") + ",timeout,")) << csv.toStdString();
}

TEST(CliSpider, InterruptStopsAfterTheRequestInFlightAndAFullDiskEndsWithStatusFour)
{
    QTemporaryDir work;
    test::LoopbackServer server;
    std::atomic<bool> slowStarted { false }, interruptSent { false };
    // Answers only once the interrupt is on its way, however loaded the machine is.
    server.server.Get("/slow", [&](const httplib::Request&, httplib::Response& res) {
        slowStarted = true;
        for (int i = 0; i < 1000 && !interruptSent; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        res.set_content(test::spiderPage("Slow page", "Late answer"), "text/html");
    });
    server.server.Get(R"(/(\w+))", [](const httplib::Request& req, httplib::Response& res) {
        res.set_content(test::spiderPage(req.matches[1].str() + " page", "Quick answer"), "text/html");
    });
    server.start();
    const QStringList urls { server.url("/first"), server.url("/slow"), server.url("/last") };
    test::writeFileBytes(work.filePath("sites.urls"), urls.join("\r\n").toUtf8());

    QProcess process;
    test::prepareCli(process, words("spider sites.urls -o part.sdata") << "--filter= ", work.path());
    process.start();
    ASSERT_TRUE(process.waitForStarted());
    for (int i = 0; i < 2000 && !slowStarted; ++i)
        QThread::msleep(5);
    ASSERT_TRUE(slowStarted);
    ::kill(static_cast<pid_t>(process.processId()), SIGINT);
    interruptSent = true;
    const CliResult result = test::finishCli(process);

    const QString saved = work.filePath("part.sdata");
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_EQ(QString::fromUtf8(result.err),
        "Stopped!\nSpidered 2 of 3 URLs: 2 accepted, 0 refused by the rules, 0 failed\nFile " + saved
            + " saved!\n");
    // The request in flight is finished, as Stop All in the window lets it finish; nothing after it.
    const QByteArray data = test::readFileBytes(saved);
    EXPECT_TRUE(data.startsWith("first page\r\nQuick answer\r\n" + urls[0].toUtf8())) << data.toStdString();
    EXPECT_TRUE(data.contains("Slow page")) << data.toStdString();
    EXPECT_FALSE(data.contains("last page")) << data.toStdString();

    // A disk that fills: file sizes capped, so writes past the cap fail with "File too large". Every save
    // and page fails, the old files stay byte for byte, the message names file and reason; status 4.
    const QStringList quick { server.url("/first"), server.url("/second"), server.url("/third") };
    test::writeFileBytes(work.filePath("sites.urls"), quick.join("\r\n").toUtf8());
    const QByteArray old = "http://old.example/\r\n";
    const QString notSaved = "File " + work.path() + "/%1 could not be saved: File too large\n";
    const struct {
        const char *arguments, *file;
        QString message;
    } rows[] = {
        { "shuffle sites.urls -o sites.urls", "sites.urls", notSaved.arg("sites.urls") },
        { "spider sites.urls -o data.sdata", "data.sdata", notSaved.arg("data.sdata") },
        { "spider sites.urls --save-urls kept.urls", "kept.urls", notSaved.arg("kept.urls") },
        { "spider sites.urls --report run.csv", "run.csv", notSaved.arg("run.csv") },
        { "spider sites.urls --pages cars --page-name p --sitemap-name map --heading H --per-page 1", nullptr,
            "Stopped! " + notSaved.arg("cars/p1.html") + "Spidered 1 of 3 URLs: 1 accepted" },
        { "pages saved.sdata --pages cars --page-name p --sitemap-name map --heading H --per-page 1", nullptr,
            "Stopped! " + notSaved.arg("cars/p1.html") },
    };
    test::writeFileBytes(
        work.filePath("saved.sdata"), "first page\r\nQuick answer\r\n" + quick[0].toUtf8() + "\r\n");
    for (const auto& row : rows) {
        SCOPED_TRACE(row.arguments);
        const QString file = row.file ? work.filePath(row.file) : QString();
        const QByteArray before = !qstrcmp(row.file, "sites.urls") ? test::readFileBytes(file) : old;
        if (row.file)
            test::writeFileBytes(file, before);
        QProcess process;
        QStringList arguments = words(row.arguments);
        if (arguments.first() == "spider")
            arguments << "--filter= ";
        test::prepareCli(process, arguments, work.path());
        process.setChildProcessModifier([] {
            const rlimit cap { 64, 64 };
            ::signal(SIGXFSZ, SIG_IGN);
            ::setrlimit(RLIMIT_FSIZE, &cap);
        });
        process.start();
        const CliResult result = test::finishCli(process);
        EXPECT_EQ(result.exitCode, 4);
        EXPECT_TRUE(result.err.contains(row.message.toUtf8())) << result.err.toStdString();
        if (row.file)
            EXPECT_EQ(test::readFileBytes(file), before);
        else if (arguments.first() == "spider")
            EXPECT_TRUE(result.out.contains("first page")) << "the records of the page not written";
        EXPECT_EQ(QDir(work.path()).entryList(QDir::Files | QDir::Hidden).filter(".part"), QStringList());
        EXPECT_EQ(QDir(work.filePath("cars")).entryList(QDir::Files | QDir::Hidden), QStringList());
        QDir(work.filePath("cars")).removeRecursively();
    }
}

// The README's recipe past one machine: split, spider with GNU parallel, join in list order, then `pages`.
TEST(CliPages, FourShardsSpideredWithGnuParallelPublishAsOneRunOverTheWholeList)
{
    const QString parallel = QStandardPaths::findExecutable("parallel");
    if (parallel.isEmpty())
        GTEST_SKIP() << "GNU parallel (Debian package parallel) is not installed: the recipe is not tried";
    test::LoopbackServer server;
    server.server.Get(R"(/site/(\d+))", [](const httplib::Request& req, httplib::Response& res) {
        const std::string n = req.matches[1];
        res.set_content(test::spiderPage("Site number " + n + " & its page", "About site " + n), "text/html");
    });
    server.start();
    QTemporaryDir work;
    QByteArray list;
    for (int i = 0; i < 240; ++i)
        list += server.url(QStringLiteral("/site/%1").arg(i)).toUtf8() + "\r\n";
    test::writeFileBytes(work.filePath("all.urls"), list);

    const QString pageOptions = "--page-name p --sitemap-name map --heading 'Site numbers' --per-page 10 "
                                "--site-url https://www.example.com/sites/";
    QProcess recipe;
    test::prepareCli(recipe,
        { "-c",
            "set -euo pipefail\n"
            "split -l 60 -d --additional-suffix=.urls all.urls shard-\n"
            "parallel -q -j 4 tarnwick-cli spider {} --filter ' ' -o {.}.sdata ::: shard-*.urls\n"
            "cat shard-*.sdata | tarnwick-cli pages - --pages site "
                + pageOptions + "\ntarnwick-cli spider all.urls --filter ' ' --parallel 8 --pages whole "
                + pageOptions },
        work.path(),
        { { "PATH", QFileInfo(TARNWICK_CLI).absolutePath() + ":" + qEnvironmentVariable("PATH") },
            { "HOME", work.path() } });
    recipe.setProgram("bash");
    recipe.start();
    const test::CliResult result = test::finishCli(recipe);
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(QDir(work.path()).entryList({ "shard-*.sdata" }).size(), 4);
    EXPECT_TRUE(result.err.contains("Pages created from 240 records: 24 pages of 10, and the sitemap"))
        << result.err.toStdString();

    const QStringList files = QDir(work.filePath("whole")).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(files.size(), 26);
    EXPECT_EQ(QDir(work.filePath("site")).entryList(QDir::Files, QDir::Name), files);
    for (const QString& name : files)
        EXPECT_EQ(test::readFileBytes(work.filePath("site/" + name)),
            test::readFileBytes(work.filePath("whole/" + name)))
            << name.toStdString();
}

} // namespace
} // namespace tarnwick
