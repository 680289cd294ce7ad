#include "cli/cli_process.h"
#include "support/fixtures.h"
#include "support/loopback_server.h"

#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>

namespace tarnwick {
namespace {

using test::CliResult;

TEST(CliLookup, SuggestSavesTheKeywordListAndAddsTheSeed)
{
    QTemporaryDir work;
    test::LoopbackServer server;
    std::string asked;
    // The rows of the suggestion service's answer sit in the second table from its third row on.
    std::string answer = "<html><body><table><tr><td>Menu</td></tr></table><table>"
                         "<tr><th>Searches</th><th>Term</th></tr><tr><td></td><td></td></tr>"
                         "<tr><td>1200</td><td><a href='/t?q=car+insurance'>car insurance</a></td></tr>"
                         "<tr><td>800</td><td><a href='/t?q=cheap+cars'>cheap cars</a></td></tr>"
                         "</table></body></html>";
    server.server.Get(
        "/d/searchinventory/suggestion/", [&](const httplib::Request& req, httplib::Response& res) {
            asked = req.get_param_value("term");
            res.set_content(answer, "text/html");
        });
    server.start();
    const test::CliEnvironment env { { "TARNWICK_SUGGEST_BASE", server.url(QString()) } };

    const CliResult result
        = test::runCli(test::words("suggest car --add --source=classic -o car.kwrds"), work.path(), env);
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(asked, "car");
    const QString saved = work.filePath("car.kwrds");
    EXPECT_EQ(result.err, QString("File %1 saved!\n").arg(saved).toUtf8());
    EXPECT_EQ(
        test::readFileBytes(saved), QByteArray("1200 - car insurance\r\n800 - cheap cars\r\n - car\r\n"));

    // A page without suggestions: the lookup runs to its end, but there is nothing to give.
    answer = "<html><body>Nothing</body></html>";
    const CliResult none = test::runCli({ "suggest", "zzz", "--source=classic" }, work.path(), env);
    EXPECT_EQ(none.exitCode, 4);
    EXPECT_EQ(none.err, QByteArray("No results returned. Try again!\n"));
    EXPECT_TRUE(none.out.isEmpty());
}

TEST(CliLookup, InterruptDuringTheHarvestWaitKeepsTheUrlsFound)
{
    QTemporaryDir work;
    test::LoopbackServer server;
    std::atomic<int> searches { 0 };
    server.server.Get("/search", [&searches](const httplib::Request&, httplib::Response& res) {
        ++searches;
        res.set_content("<html><body><a href='http://one.example/a.html'>1</a>"
                        "<a href='http://two.example/b/c.html'>2</a><a href='http://one.example/d'>3</a>"
                        "</body></html>",
            "text/html");
    });
    server.start();
    test::writeFileBytes(work.filePath("k.kwrds"), "1 - first\r\n2 - second\r\n");

    QProcess process;
    test::prepareCli(process, test::words("harvest k.kwrds -o k.urls --source=classic"), work.path(),
        { { "TARNWICK_SEARCH_BASE", server.url(QString()) } });
    process.start();
    ASSERT_TRUE(process.waitForStarted());
    for (int i = 0; i < 2000 && searches == 0; ++i)
        QThread::msleep(5);
    ASSERT_EQ(searches, 1);
    // The first wait lasts at least 5 s; the stop is seen at its next 250 ms tick.
    QThread::msleep(200);
    ::kill(static_cast<pid_t>(process.processId()), SIGINT);
    const CliResult result = test::finishCli(process);

    EXPECT_EQ(result.exitCode, 3) << result.err.toStdString();
    const QString saved = work.filePath("k.urls");
    EXPECT_EQ(result.err, QString("Stopped!\nFile %1 saved!\n").arg(saved).toUtf8());
    EXPECT_EQ(test::readFileBytes(saved), QByteArray("http://one.example/\r\nhttp://two.example/\r\n"));
    EXPECT_EQ(searches, 1);
}

} // namespace
} // namespace tarnwick
