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
using test::LoopbackServer;

// The outcome line that ends a run over the spider fixture sites.
const char* const kSummary
    = "Spidered 15 of 15 URLs: 7 accepted, 6 refused by the rules, 2 failed (1 timeout, 1 HTTP status)";

/// The same settings as the window-path end-to-end run, as command-line options.
QStringList spiderOptions(const QString& urls, const QString& home)
{
    return { QStringLiteral("spider"), urls, QStringLiteral("--home"), home, QStringLiteral("--referer"),
        QStringLiteral("http://ref.example/"), QStringLiteral("--user-agent"), QStringLiteral("Agent/1"),
        QStringLiteral("--filter"), QStringLiteral(" "), QStringLiteral("--timeout"), QStringLiteral("1") };
}

QStringList pageOptions()
{
    return { QStringLiteral("--pages"), QStringLiteral("cars"), QStringLiteral("--page-name"),
        QStringLiteral("insurance"), QStringLiteral("--sitemap-name"), QStringLiteral("sitemap"),
        QStringLiteral("--heading"), QStringLiteral("Car insurance"), QStringLiteral("--per-page"),
        QStringLiteral("3") };
}

struct CliSpider {
    CliSpider()
    {
        test::serveSpiderSites(server);
        server.start();
        urls = work.filePath(QStringLiteral("sites.urls"));
        test::writeFileBytes(urls, test::spiderSiteUrls(server).join(QStringLiteral("\r\n")).toUtf8());
    }
    QTemporaryDir work;
    LoopbackServer server;
    QString urls;
};

TEST(CliSpider, PagesMatchTheWindowRunByteForByte)
{
    CliSpider run;
    const CliResult result = test::runCli(spiderOptions(run.urls, run.work.path()) + pageOptions()
            + QStringList { QStringLiteral("-o"), QStringLiteral("left.sdata") },
        run.work.path());
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    // The last record did not fill a page, so it stays in the pane and is saved.
    const QString left = run.work.filePath(QStringLiteral("left.sdata"));
    EXPECT_EQ(result.err,
        QByteArray("Run completed! Tarnwick list of sites spidered!\n") + kSummary
            + QStringLiteral("\nFile %1 saved!\n").arg(left).toUtf8());
    EXPECT_TRUE(result.out.isEmpty());
    EXPECT_TRUE(QFileInfo::exists(left));

    const QDir out(run.work.filePath(QStringLiteral("cars")));
    const QStringList written = out.entryList(QDir::Files, QDir::Name);
    test::expectSpiderFile(
        QStringLiteral("pages.list"), written.join(QLatin1Char('\n')).toUtf8(), run.server);
    for (const QString& name : written)
        test::expectSpiderFile(name, test::readFileBytes(out.filePath(name)), run.server);
}

TEST(CliSpider, DataAndUrlFilesAreWhatTheMenusSave)
{
    CliSpider run;
    const CliResult result = test::runCli(spiderOptions(run.urls, run.work.path())
            + QStringList { QStringLiteral("-o"), QStringLiteral("out.sdata"), QStringLiteral("--save-urls"),
                QStringLiteral("out.urls") },
        run.work.path());
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    const QString sdata = run.work.filePath(QStringLiteral("out.sdata"));
    const QString urls = run.work.filePath(QStringLiteral("out.urls"));
    EXPECT_EQ(result.err,
        QStringLiteral(
            "Run completed! Tarnwick list of sites spidered!\n%3\nFile %1 saved!\nFile %2 saved!\n")
            .arg(urls, sdata, kSummary)
            .toUtf8());
    // Save Spider Data adds CR LF CR LF to the pane's text; Save URLs ends every entry with CR LF.
    QByteArray data = test::readFileBytes(sdata);
    ASSERT_TRUE(data.endsWith("\r\n\r\n"));
    data.chop(4);
    test::expectSpiderFile(QStringLiteral("nopages.sdata"), data, run.server);
    QByteArray list = test::readFileBytes(urls);
    ASSERT_TRUE(list.endsWith("\r\n"));
    list.chop(2);
    test::expectSpiderFile(QStringLiteral("nopages.urls"), list, run.server);
}

TEST(CliSpider, RefusedInputPrintsTheMessageAndExitsOne)
{
    QTemporaryDir work;
    const QString urls = work.filePath(QStringLiteral("one.urls"));
    test::writeFileBytes(urls, "http://127.0.0.1:1/\r\n");
    const struct {
        QStringList options;
        QByteArray message;
    } cases[] = {
        { { QStringLiteral("--referer"), QString(), QStringLiteral("--filter"), QStringLiteral(" ") },
            "No Referer (e.g. http://www.tarnwick.example/)! \n" },
        // The title filter starts empty, as in the window, and the spider refuses that.
        { {}, "Title must contain a value (enter space to return all titles)!\n" },
        { { QStringLiteral("--filter"), QStringLiteral(" "), QStringLiteral("--pages"),
              QStringLiteral("cars"), QStringLiteral("--page-name"), QStringLiteral("a b"),
              QStringLiteral("--per-page"), QStringLiteral("1") },
            "Don't use spaces in name, e.g. enter 'creditcards' NOT 'credit cards'. And don't add any file "
            "extension either (e.g. '.html').\n" },
    };
    for (const auto& c : cases) {
        const CliResult result
            = test::runCli(QStringList { QStringLiteral("spider"), urls } + c.options, work.path());
        EXPECT_EQ(result.exitCode, 1) << c.message.toStdString();
        EXPECT_EQ(result.err, c.message);
        EXPECT_TRUE(result.out.isEmpty());
    }

    const CliResult missing = test::runCli({ QStringLiteral("spider"), QStringLiteral("none.urls"),
                                               QStringLiteral("--filter"), QStringLiteral(" ") },
        work.path());
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.err.startsWith(QStringLiteral("File %1 could not be opened")
                                           .arg(work.filePath(QStringLiteral("none.urls")))
                                           .toUtf8()))
        << missing.err.toStdString();
}

TEST(CliSpider, InterruptStopsAfterTheRequestInFlightAndSavesWhatWasGathered)
{
    QTemporaryDir work;
    LoopbackServer server;
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
        urls.append(server.url(QString::fromLatin1(path)));
    const QString list = work.filePath(QStringLiteral("sites.urls"));
    test::writeFileBytes(list, urls.join(QStringLiteral("\r\n")).toUtf8());

    QProcess process;
    test::prepareCli(process,
        { QStringLiteral("spider"), list, QStringLiteral("--filter"), QStringLiteral(" "),
            QStringLiteral("-o"), QStringLiteral("part.sdata") },
        work.path());
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
    const QString saved = work.filePath(QStringLiteral("part.sdata"));
    EXPECT_EQ(result.err,
        QStringLiteral(
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
    test::prepareCli(process, spiderOptions(run.urls, run.work.path()), run.work.path());
    process.setChildProcessModifier([slave] { ::dup2(slave, STDERR_FILENO); });
    process.start();
    ASSERT_TRUE(process.waitForStarted());
    ::close(slave);
    QByteArray terminal;
    char buffer[4096];
    // Read as it comes, so the terminal's buffer never fills and blocks the program.
    while (process.state() != QProcess::NotRunning) {
        process.waitForFinished(50);
        ::fcntl(master, F_SETFL, O_NONBLOCK);
        for (ssize_t n; (n = ::read(master, buffer, sizeof buffer)) > 0;)
            terminal.append(buffer, n);
    }
    for (ssize_t n; (n = ::read(master, buffer, sizeof buffer)) > 0;)
        terminal.append(buffer, n);
    ::close(master);

    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_TRUE(terminal.contains("\rspidered ")) << terminal.toStdString();
    EXPECT_TRUE(terminal.contains("/15 done, ")) << terminal.toStdString();
    // The line is wiped before the closing message, which stands on a line of its own.
    EXPECT_TRUE(terminal.contains("\x1b[KRun completed! Tarnwick list of sites spidered!"))
        << terminal.toStdString();
    // The piped run of the other tests saw only the message; here standard output stays clean too.
    EXPECT_FALSE(process.readAllStandardOutput().contains("spidered "));
}

} // namespace
} // namespace tarnwick
