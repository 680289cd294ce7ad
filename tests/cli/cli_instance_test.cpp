// tarnwick-cli harvest with no --source on a machine with searx: it starts its own instance
// from the user's settings, and nothing it started outlives it, however it ends.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>

#include <csignal>

#include "cli_process.h"
#include "support/fixtures.h"
#include "support/searx_fixture.h"

namespace tarnwick {
namespace {

TEST(CliInstance, HarvestsThroughItsOwnInstanceAndLeavesNoneWhenStoppedOrKilled)
{
    if (!test::searxInstalled())
        GTEST_SKIP() << "searx is not installed (apt-get install searx): no instance to start";
    const struct {
        int signal, exitCode;
        QByteArray urls; // saved by -o
    } rows[] = {
        { SIGINT, 3, "http://one.example/\r\nhttp://two.example/\r\n" },
        { SIGKILL, -1, {} },
    };
    for (const auto& [signal, exitCode, urls] : rows) {
        QTemporaryDir work;
        test::FixtureEngine engine;
        QDir().mkpath(work.filePath("config/tarnwick"));
        test::writeFileBytes(work.filePath("config/tarnwick/searx.yml"),
            test::fixtureEngineSettings(QUrl(engine.server.url()).port()));
        test::writeFileBytes(work.filePath("k.kwrds"), "1 - widgets\r\n");
        QDir().mkpath(work.filePath("run"));
        const QString runtime = work.filePath("run/tarnwick");
        // SIGKILL comes while the instance is asked; SIGINT during the wait after its answer.
        engine.hold = signal == SIGKILL;

        QProcess process;
        test::prepareCli(process, { "harvest", "k.kwrds", "-o", "k.urls" }, work.path(),
            { { "XDG_CONFIG_HOME", work.filePath("config") }, { "XDG_RUNTIME_DIR", work.filePath("run") },
                { "XDG_STATE_HOME", work.filePath("state") }, { "no_proxy", "*" } });
        process.start();
        ASSERT_TRUE(process.waitForStarted());
        for (int i = 0; i < 600 && engine.asked().empty(); ++i)
            QThread::msleep(100);
        ASSERT_EQ(engine.asked().size(), 1u) << signal;
        EXPECT_EQ(test::processesIn(runtime).size(), 1) << signal << ": one instance";
        if (signal == SIGINT)
            QThread::msleep(1500); // into the wait of at least 5 s after the page
        ::kill(static_cast<pid_t>(process.processId()), signal);
        const test::CliResult result = test::finishCli(process);
        engine.hold = false;

        // Killed with it, even by SIGKILL; a few seconds at most.
        for (int i = 0; i < 50 && !test::processesIn(runtime).isEmpty(); ++i)
            QThread::msleep(100);
        EXPECT_EQ(test::processesIn(runtime), QList<qint64>()) << signal << ": an instance outlived it";
        if (signal == SIGKILL)
            continue;
        EXPECT_EQ(result.exitCode, exitCode) << result.err.toStdString();
        EXPECT_TRUE(result.err.startsWith("Starting the private search instance…\nStopped!\n"))
            << result.err.toStdString();
        EXPECT_EQ(test::readFileBytes(work.filePath("k.urls")), urls);
        const QFileInfo log(work.filePath("state/tarnwick/searx.log"));
        EXPECT_EQ(log.permissions() & 0x0777, QFile::ReadUser | QFile::WriteUser);
        EXPECT_EQ(QDir(runtime).entryList(QDir::Files), QStringList()) << "no settings with a secret left";
    }
}

} // namespace
} // namespace tarnwick
