#include "cli/cli_process.h"
#include "support/fixtures.h"
#include "support/loopback_server.h"
#include "support/spider_sites.h"

#include <QDir>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

namespace tarnwick {
namespace {

using test::CliResult;
using test::words;

const QByteArray kCompleted = "Run completed! Tarnwick list of sites spidered!\n";
// The outcome line of a run over the spider fixture sites.
const QByteArray kSummary
    = "Spidered 15 of 15 URLs: 7 accepted, 6 refused by the rules, 2 failed (1 timeout, 1 HTTP status)\n";

/// The spider fixture sites and their URL list, with the settings of the window-path
/// end-to-end run as command-line options.
struct CliSpider {
    CliSpider()
    {
        test::serveSpiderSites(server);
        server.start();
        test::writeFileBytes(work.filePath("sites.urls"), test::spiderSiteUrls(server).join("\r\n").toUtf8());
    }
    QStringList options(const char* more) const
    {
        return QStringList { "spider", "sites.urls", "--home", work.path(), "--filter", " " }
        + words("--referer http://ref.example/ --user-agent Agent/1 --timeout 1") + words(more);
    }
    /// Compares `file` (in the work folder) less its last `chop` bytes with the expected file `name`.
    void expectFile(const QString& file, int chop, const QString& name) const
    {
        QByteArray data = test::readFileBytes(work.filePath(file));
        ASSERT_TRUE(data.endsWith(QByteArray("\r\n\r\n").right(chop))) << file.toStdString();
        data.chop(chop);
        test::expectSpiderFile(name, data, server);
    }
    QTemporaryDir work;
    test::LoopbackServer server;
};

TEST(CliSpider, PagesMatchTheWindowRunByteForByte)
{
    CliSpider run;
    const CliResult result = test::runCli(
        run.options("--pages cars --page-name insurance --sitemap-name sitemap --per-page 3 -o left.sdata")
            + QStringList { "--heading", "Car insurance" },
        run.work.path());
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    // The last record did not fill a page, so it stays in the pane and is saved.
    EXPECT_EQ(result.err,
        kCompleted + kSummary + QString("File %1 saved!\n").arg(run.work.filePath("left.sdata")).toUtf8());
    EXPECT_TRUE(result.out.isEmpty());
    // Save Spider Data adds CR LF CR LF to the pane's text.
    run.expectFile("left.sdata", 4, "pages_left.sdata");
    const QDir out(run.work.filePath("cars"));
    const QStringList written = out.entryList(QDir::Files, QDir::Name);
    test::expectSpiderFile("pages.list", written.join('\n').toUtf8(), run.server);
    for (const QString& name : written)
        run.expectFile("cars/" + name, 0, name);
}

// With no -o the data goes to standard output; several in flight give the same data and URL
// list, and the report has one outcome row per URL.
TEST(CliSpider, ParallelRunPrintsTheDataSavesTheUrlsAndOneOutcomeRowPerUrl)
{
    CliSpider run;
    const CliResult result
        = test::runCli(run.options("--parallel 6 --report run.csv --save-urls out.urls"), run.work.path());
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(result.err,
        kCompleted + kSummary
            + QString("File %1 saved!\nFile %2 saved!\n")
                  .arg(run.work.filePath("run.csv"), run.work.filePath("out.urls"))
                  .toUtf8());
    test::expectSpiderFile("nopages.sdata", result.out, run.server);
    // Save URLs ends every entry with CR LF.
    run.expectFile("out.urls", 2, "nopages.urls");
    const QString csv = QString::fromUtf8(test::readFileBytes(run.work.filePath("run.csv")));
    const QStringList rows = csv.split("\r\n", Qt::SkipEmptyParts);
    ASSERT_EQ(rows.size(), 16) << csv.toStdString();
    EXPECT_EQ(rows.at(1), "1," + run.server.url("/ok1") + ",accepted,");
    // Each refused page says which test refused it, even when answers arrive out of order.
    EXPECT_EQ(rows.at(2), "2," + run.server.url("/width500") + ",refused by the rules,server error page");
    EXPECT_EQ(rows.at(8), "8," + run.server.url("/descafter") + ",refused by the rules,no meta description");
    EXPECT_TRUE(rows.at(11).startsWith("11," + run.server.url("/stall") + ",timeout,"))
        << rows.at(11).toStdString();
}

TEST(CliSpider, RefusedInputPrintsTheMessageAndExitsOne)
{
    QTemporaryDir work;
    test::writeFileBytes(work.filePath("one.urls"), "http://127.0.0.1:1/\r\n");
    const struct {
        QStringList options;
        QByteArray message;
    } cases[] = {
        { { "--referer", "", "--filter", " " }, "No Referer (e.g. http://www.tarnwick.example/)! \n" },
        // The title filter starts empty, as in the window, and the spider refuses that.
        { {}, "Title must contain a value (enter space to return all titles)!\n" },
        { { "--filter", " ", "--pages", "cars", "--page-name", "a b", "--per-page", "1" },
            "Don't use spaces in name, e.g. enter 'creditcards' NOT 'credit cards'. And don't add any file "
            "extension either (e.g. '.html').\n" },
        { { "--filter", " " }, {} },
    };
    for (const auto& c : cases) {
        const bool missing = c.message.isEmpty();
        const CliResult result = test::runCli(
            QStringList { "spider", missing ? "none.urls" : "one.urls" } + c.options, work.path());
        EXPECT_EQ(result.exitCode, 1) << c.message.toStdString();
        EXPECT_TRUE(result.out.isEmpty());
        if (missing)
            EXPECT_TRUE(result.err.startsWith(
                QString("File %1 could not be opened").arg(work.filePath("none.urls")).toUtf8()))
                << result.err.toStdString();
        else
            EXPECT_EQ(result.err, c.message);
    }
}

TEST(CliSpider, InterruptStopsAfterTheRequestInFlightAndSavesWhatWasGathered)
{
    QTemporaryDir work;
    test::LoopbackServer server;
    std::atomic<bool> slowStarted { false };
    std::atomic<bool> interruptSent { false };
    server.server.Get(R"(/fast(\d))", [](const httplib::Request& req, httplib::Response& res) {
        res.set_content(test::spiderPage("Fast page " + req.matches[1].str(), "Quick answer"), "text/html");
    });
    // The first slow page answers only once the interrupt is on its way, however loaded the machine is.
    server.server.Get(R"(/slow(\d))", [&](const httplib::Request& req, httplib::Response& res) {
        slowStarted = true;
        for (int i = 0; i < 1000 && !interruptSent; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        res.set_content(test::spiderPage("Slow page " + req.matches[1].str(), "Late answer"), "text/html");
    });
    server.start();
    QStringList urls;
    for (const char* path : { "/fast1", "/fast2", "/slow1", "/slow2", "/slow3", "/slow4" })
        urls.append(server.url(path));
    test::writeFileBytes(work.filePath("sites.urls"), urls.join("\r\n").toUtf8());

    QProcess process;
    test::prepareCli(process, { "spider", "sites.urls", "--filter", " ", "-o", "part.sdata" }, work.path());
    process.start();
    ASSERT_TRUE(process.waitForStarted());
    for (int i = 0; i < 2000 && !slowStarted; ++i)
        QThread::msleep(5);
    ASSERT_TRUE(slowStarted);
    ::kill(static_cast<pid_t>(process.processId()), SIGINT);
    interruptSent = true;
    const CliResult result = test::finishCli(process);

    EXPECT_EQ(result.exitStatus, QProcess::NormalExit);
    EXPECT_EQ(result.exitCode, 3) << result.err.toStdString();
    const QString saved = work.filePath("part.sdata");
    EXPECT_EQ(result.err,
        QString(
            "Stopped!\nSpidered 3 of 6 URLs: 3 accepted, 0 refused by the rules, 0 failed\nFile %1 saved!\n")
            .arg(saved)
            .toUtf8());
    // The request in flight is finished, as Stop All in the window lets it finish; nothing after it.
    const QByteArray data = test::readFileBytes(saved);
    EXPECT_TRUE(data.startsWith("Fast page 1\r\nQuick answer\r\n" + urls.at(0).toUtf8()))
        << data.toStdString();
    EXPECT_TRUE(data.contains("Slow page 1")) << data.toStdString();
    EXPECT_FALSE(data.contains("Slow page 2")) << data.toStdString();
}

TEST(CliSpider, ProgressLineOnlyOnATerminal)
{
    CliSpider run;
    int master = -1;
    int slave = -1;
    ASSERT_EQ(::openpty(&master, &slave, nullptr, nullptr, nullptr), 0);
    QProcess process;
    test::prepareCli(process, run.options(""), run.work.path());
    process.setChildProcessModifier([slave] { ::dup2(slave, STDERR_FILENO); });
    process.start();
    ASSERT_TRUE(process.waitForStarted());
    ::close(slave);
    ::fcntl(master, F_SETFL, O_NONBLOCK);
    QByteArray terminal;
    char buffer[4096];
    // Read as it comes, so the terminal's buffer never fills and blocks the program.
    bool running = true;
    while (running) {
        running = process.state() != QProcess::NotRunning;
        process.waitForFinished(50);
        for (ssize_t n; (n = ::read(master, buffer, sizeof buffer)) > 0;)
            terminal.append(buffer, n);
    }
    ::close(master);

    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_TRUE(terminal.contains("\rspidered ")) << terminal.toStdString();
    EXPECT_TRUE(terminal.contains("/15 done, ")) << terminal.toStdString();
    // The line is wiped before the closing message, which stands on a line of its own.
    EXPECT_TRUE(terminal.contains("\x1b[K" + kCompleted.chopped(1))) << terminal.toStdString();
    // The piped runs saw only the message; here standard output stays clean too.
    EXPECT_FALSE(process.readAllStandardOutput().contains("spidered "));
}

} // namespace
} // namespace tarnwick
