// The README's recipe past one machine: split, spider with GNU parallel, join in list order, then `pages`.
#include "cli/cli_process.h"
#include "support/fixtures.h"
#include "support/spider_sites.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

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
