// tarnwick-cli suggest and harvest against loopback stand-ins of the services they ask today,
// and the commands given what is no file.
#include "cli/cli_process.h"
#include "harvest/result_sources.h"
#include "keywords/keyword_sources.h"
#include "support/fixtures.h"
#include "support/service_mimics.h"

#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>

#include <sys/stat.h>

namespace tarnwick {
namespace {

using test::CannedAnswer;
using test::CliResult;

TEST(CliSources, SuggestFromAnOpenSearchTemplate)
{
    QTemporaryDir work;
    test::ServiceMimic service { "/ac",
        [](const httplib::Request& req) {
            return CannedAnswer { 200,
                test::openSearchAnswer(req.get_param_value("q"), { "auto versicherung", "autobahn" }),
                "application/x-suggestions+json; charset=utf-8" };
        } };
    const QString source = service.url(QStringLiteral("/ac?hl={language}&q={searchTerms}"));
    const CliResult result = test::runCli(
        { "suggest", "auto", "--source", source, "--country", "Germany", "--add", "-o", "auto.kwrds" },
        work.path());
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(service.targets(), QStringList { "/ac?hl=de&q=auto" });
    EXPECT_EQ(test::readFileBytes(work.filePath(QStringLiteral("auto.kwrds"))),
        QByteArray("1 - auto versicherung\r\n2 - autobahn\r\n - auto\r\n"));

    const CliResult unknown = test::runCli({ "suggest", "auto", "--source", "nowhere" }, work.path());
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_EQ(unknown.err, unknownKeywordSource(QStringLiteral("nowhere")).toUtf8() + '\n');

    const CliResult suggestHelp = test::runCli({ "suggest", "--help" }, work.path());
    for (const KeywordSource& row : keywordSources())
        EXPECT_TRUE(suggestHelp.out.contains("\n        " + row.name.toUtf8() + "  "))
            << row.name.toStdString();
    const CliResult harvestHelp = test::runCli({ "harvest", "--help" }, work.path());
    for (const ResultSource& row : resultSources())
        EXPECT_TRUE(harvestHelp.out.contains("\n        " + row.name.toUtf8() + "  "))
            << row.name.toStdString();
}

TEST(CliSources, HarvestFromSearxngKeepsUrlsAndReportsARefusal)
{
    QTemporaryDir work;
    test::ServiceMimic searxng { "/search",
        [](const httplib::Request& req) {
            if (req.get_param_value("q") == "closed")
                return CannedAnswer { 403, "<h1>Forbidden</h1>", "text/html" };
            return CannedAnswer { 200,
                test::searxngPage({ "https://one.example/a", "https://two.example/b/c" }) };
        } };
    const QString keywords = work.filePath(QStringLiteral("k.kwrds"));
    test::writeFileBytes(keywords, "1 - closed\r\n");
    const CliResult refused = test::runCli(
        { "harvest", keywords, "--source", searxng.url(QString()), "-o", "k.urls" }, work.path());
    EXPECT_EQ(refused.exitCode, 4);
    EXPECT_TRUE(refused.err.startsWith(
        "JSON output is turned off on this instance: enable it in settings.yml, or run your own\n"))
        << refused.err.toStdString();

    // Results, then Ctrl-C during the wait after the first page.
    test::writeFileBytes(keywords, "1 - widgets\r\n");
    QProcess process;
    test::prepareCli(
        process, { "harvest", keywords, "--source", searxng.url(QString()), "-o", "k.urls" }, work.path());
    process.start();
    ASSERT_TRUE(process.waitForStarted());
    for (int i = 0; i < 2000 && searxng.targets().size() < 2; ++i)
        QThread::msleep(5);
    QThread::msleep(200);
    ::kill(static_cast<pid_t>(process.processId()), SIGINT);
    const CliResult stopped = test::finishCli(process);
    EXPECT_EQ(stopped.exitCode, 3) << stopped.err.toStdString();
    EXPECT_EQ(searxng.targets().mid(1), QStringList { "/search?q=widgets&format=json&pageno=1" });
    EXPECT_EQ(test::readFileBytes(work.filePath(QStringLiteral("k.urls"))),
        QByteArray("https://one.example/\r\nhttps://two.example/\r\n"));
}

TEST(CliFiles, WhatIsNoFileEndsAtOnceWithStatusOne)
{
    QTemporaryDir work;
    const QString pipe = work.filePath(QStringLiteral("pipe.urls"));
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const struct {
        QString command;
        QString path;
    } cases[] = {
        { QStringLiteral("shuffle"), QStringLiteral("/dev/zero") },
        { QStringLiteral("harvest"), pipe },
        { QStringLiteral("export"), work.path() },
    };
    for (const auto& c : cases) {
        const test::CliResult result = test::runCli({ c.command, c.path }, work.path());
        EXPECT_EQ(result.exitCode, 1) << c.path.toStdString();
        EXPECT_TRUE(result.err.startsWith("File " + c.path.toUtf8() + " could not be opened: "))
            << result.err.toStdString();
        EXPECT_TRUE(result.out.isEmpty()) << c.path.toStdString();
    }
}

} // namespace
} // namespace tarnwick
