#include "cli/cli_process.h"
#include "support/fixtures.h"
#include "support/loopback_server.h"
#include "support/spider_sites.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

using test::LoopbackServer;

TEST(CliReport, ParallelRunSavesTheSameDataAndOneOutcomeRowPerUrl)
{
    QTemporaryDir work;
    LoopbackServer server;
    test::serveSpiderSites(server);
    server.start();
    const QString urls = work.filePath(QStringLiteral("sites.urls"));
    test::writeFileBytes(urls, test::spiderSiteUrls(server).join(QStringLiteral("\r\n")).toUtf8());

    const test::CliResult result
        = test::runCli({ QStringLiteral("spider"), urls, QStringLiteral("--filter"), QStringLiteral(" "),
                           QStringLiteral("--timeout"), QStringLiteral("1"), QStringLiteral("--parallel"),
                           QStringLiteral("6"), QStringLiteral("--report"), QStringLiteral("run.csv"),
                           QStringLiteral("--referer"), QStringLiteral("http://ref.example/"),
                           QStringLiteral("--user-agent"), QStringLiteral("Agent/1") },
            work.path());
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    test::expectSpiderFile(QStringLiteral("nopages.sdata"), result.out, server);
    const QString csv = QString::fromUtf8(test::readFileBytes(work.filePath(QStringLiteral("run.csv"))));
    const QStringList rows = csv.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(rows.size(), 16) << csv.toStdString();
    EXPECT_EQ(rows.at(1), "1," + server.url(QStringLiteral("/ok1")) + ",accepted,");
    // Each refused page says which test refused it, even when answers arrive out of order.
    EXPECT_EQ(rows.at(2),
        "2," + server.url(QStringLiteral("/width500")) + ",refused by the rules,server error page");
    EXPECT_EQ(rows.at(8),
        "8," + server.url(QStringLiteral("/descafter")) + ",refused by the rules,no meta description");
    EXPECT_TRUE(rows.at(11).startsWith("11," + server.url(QStringLiteral("/stall")) + ",timeout,"))
        << rows.at(11).toStdString();
    EXPECT_TRUE(result.err.contains("File " + work.filePath(QStringLiteral("run.csv")).toUtf8() + " saved!"))
        << result.err.toStdString();
}

} // namespace
} // namespace tarnwick
