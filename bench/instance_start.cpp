// How long Go! waits for the private search instance: from the harvest asking for it (no
// instance running) to the instance's first answer, through the product's launcher (settings
// written by the interpreter, searx started, polled every 100 ms). Beside it, the reference:
// the same searx started by hand on the same settings, written beforehand, polled the same
// way. Once with a user's settings naming one loopback engine, once with the package's
// example settings (a new user's case). Prints every run, the medians and the ratio
// launcher / by hand.
//
//   build/bench/bench_instance_start [runs]       (default 5)
#include "app/form1.h"
#include "harvest/result_sources.h"
#include "harvest/service_harvest.h"
#include "instance/posix_instance_system.h"
#include "instance/private_instance.h"
#include "support/fake_instance_system.h"
#include "support/fake_platform.h"
#include "support/fake_transfer_control.h"
#include "support/searx_fixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using namespace tarnwick;

constexpr int kPollMs = 100;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Go!'s own step: the default source's instance, started as the window starts it (the fake
// platform's clock paced by real sleeps, as the window's platform sleeps).
double launcherSeconds(const InstanceSetup& setup)
{
    Form1 f { std::make_unique<test::FakeTransferControl>() };
    test::FakePlatform p;
    PrivateInstance instance(std::make_unique<PosixInstanceSystem>(), setup);
    p.instance = &instance;
    p.onPump = [](int) { QThread::msleep(kPollMs); };
    f.Label3.setCaption(QStringLiteral("1"));
    ResultSource source = resultSources().front();
    QElapsedTimer clock;
    clock.start();
    if (reachPrivateInstance(f, p, source) != HarvestFlow::Go) {
        std::fprintf(stderr, "the launcher failed: %s\n", qPrintable(p.messages.value(0)));
        std::exit(1);
    }
    const double seconds = clock.elapsed() / 1000.0;
    instance.stop();
    return seconds;
}

// The reference: searx started by hand on the settings the launcher writes, written beforehand.
double byHandSeconds(const InstanceSetup& setup)
{
    PosixInstanceSystem system;
    const int port = system.freePort();
    int error = 0;
    const qint64 writer = system.start(settingsWriter(setup, port), error);
    const std::optional<ChildExit> written = writer != 0 ? system.awaitExit(writer, 30000) : std::nullopt;
    if (!written || written->code != 0) {
        std::fprintf(stderr, "the settings writer failed: %s\n", qPrintable(lastLogLine(setup.logFile)));
        std::exit(1);
    }
    QProcess searx;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("SEARX_SETTINGS_PATH"), setup.settingsFile());
    env.insert(QStringLiteral("SEARX_DEBUG"), QStringLiteral("0"));
    searx.setProcessEnvironment(env);
    searx.setProcessChannelMode(QProcess::MergedChannels);
    QElapsedTimer clock;
    clock.start();
    searx.start(QStringLiteral("/usr/bin/python3"), { QStringLiteral("-m"), QStringLiteral("searx.webapp") });
    while (!system.answers(QStringLiteral("http://127.0.0.1:%1").arg(port))) {
        if (searx.waitForFinished(kPollMs)) {
            std::fprintf(stderr, "searx by hand ended: %s\n", searx.readAll().constData());
            std::exit(1);
        }
    }
    const double seconds = clock.elapsed() / 1000.0;
    searx.terminate();
    searx.waitForFinished(5000);
    QFile::remove(setup.settingsFile());
    return seconds;
}

void measure(const char* name, const InstanceSetup& setup, int runs)
{
    std::vector<double> launcher, byHand;
    for (int run = 1; run <= runs; ++run) {
        launcher.push_back(launcherSeconds(setup));
        byHand.push_back(byHandSeconds(setup));
        std::printf("%s, run %d: Go! to first answer %.2f s, searx by hand %.2f s\n", name, run,
            launcher.back(), byHand.back());
    }
    std::printf("%s, median of %d: Go! to first answer %.2f s, searx by hand %.2f s, ratio %.2f\n", name,
        runs, median(launcher), median(byHand), median(launcher) / median(byHand));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    if (!test::searxInstalled()) {
        std::puts("searx is not installed (apt-get install searx): nothing to measure");
        return 0;
    }
    test::FixtureEngine engine;
    QTemporaryDir folder;
    const InstanceSetup setup = test::setupIn(folder.path());
    QDir().mkpath(QFileInfo(setup.userSettings).path());
    QFile user(setup.userSettings);
    if (!user.open(QIODevice::WriteOnly))
        return 1;
    user.write(test::fixtureEngineSettings(QUrl(engine.server.url()).port()));
    user.close();
    measure("one loopback engine (user settings)", setup, runs);

    // No user settings: a new user's case, whose engines find no network here and say so.
    InstanceSetup example = setup;
    example.userSettings = folder.filePath(QStringLiteral("none.yml"));
    example.exampleSettings = QStringLiteral("/usr/share/doc/searx/examples/settings.yml");
    if (QFile::exists(example.exampleSettings))
        measure("the package's example settings", example, runs);
    return 0;
}
