// The private instance's lifecycle with scripted children on the fake clock; the harvest's default source.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QUrl>

#include <cerrno>
#include <csignal>
#include <sys/wait.h>

#include "app/controls.h"
#include "app/form1.h"
#include "harvest/url_harvest.h"
#include "instance/posix_instance_system.h"
#include "instance/private_instance.h"
#include "support/fake_instance_system.h"
#include "support/fake_platform.h"
#include "support/fake_transfer_control.h"
#include "support/fixtures.h"
#include "support/qt_printers.h"
#include "support/service_mimics.h"

namespace tarnwick {
namespace {

using Child = test::FakeInstanceSystem::Child;
using enum InstanceOutcome;

const QString kNoSearx = QStringLiteral(
    "The private search instance needs the searx package (sudo apt install searx); or choose another "
    "source in the Sources menu.");

TEST(PrivateInstance, StartsOnceAnsweredAndSaysWhyNot)
{
    const Child writes = test::FakeInstanceSystem::writes();
    const Child silent { 0, -1, 0, -1, true, "Traceback\nlast words \x1b[31mred\n\n" };
    const Child dies { 0, 5, 1, -1, false, "Traceback (most recent call last):\n" + QByteArray(300, 'b') };
    const Child portLost { 0, 2, 1, -1, false, "OSError: [Errno 98] Address already in use\n" };
    struct Row {
        const char* name;
        std::vector<Child> children;
        std::set<int> taken; // of the ports 40001, 40002, ...
        int stopAtPump; // Stop All at this pump, Quit at minus this pump, 0 neither
        InstanceOutcome outcome;
        QString message; // "LOG" stands for the log's path
        size_t launches;
        std::vector<int> signalled;
        qint64 waitedMs;
    } rows[] = {
        { "answers at its third probe", { writes, { 0, -1, 0, 2 } }, {}, 0, Ready, {}, 2, {}, 200 },
        { "no interpreter", { { ENOENT, -1, 0, -1 } }, {}, 0, Failed, kNoSearx, 1, {}, 0 },
        { "no searx module", { { 0, 1, 5, -1 } }, {}, 0, Failed, kNoSearx, 1, {}, 100 },
        { "settings refused", { { 0, 0, 4, -1, false, "Is a directory\n" } }, {}, 0, Failed,
            "The private search instance cannot use the settings file EXAMPLE: Is a directory.", 1, {}, 0 },
        { "writer failed", { { 0, 0, 1, -1 } }, {}, 0, Failed,
            "The private search instance's settings could not be written from EXAMPLE (exit status 1). Its "
            "log LOG is empty.",
            1, {}, 0 },
        { "writer never ends", { { 0, -1, 0, -1 } }, {}, 0, Failed,
            "The private search instance's settings were not written within 30 seconds.", 1, { SIGTERM },
            30000 },
        { "writer killed", { { 0, 0, -SIGKILL, -1 } }, {}, 0, Failed,
            "The private search instance's settings could not be written from EXAMPLE (killed by signal 9). "
            "Its log LOG is empty.",
            1, {}, 0 },
        { "cannot run", { writes, { EACCES, -1, 0, -1 } }, {}, 0, Failed,
            "The private search instance could not be started: /usr/bin/python3: Permission denied.", 2, {},
            0 },
        { "never answers, not even to TERM", { writes, silent }, {}, 0, Failed,
            "The private search instance did not answer within 30 seconds. Its log LOG ends with: "
            "\"last words [31mred\"",
            2, { SIGTERM, SIGKILL }, 30000 },
        { "dies before answering", { writes, dies }, {}, 0, Failed,
            "The private search instance ended before it answered (exit status 1). Its log LOG ends with: \""
                + QString(300, u'b') + "\"",
            2, {}, 500 },
        { "its port taken once", { writes, portLost, writes, test::FakeInstanceSystem::answers() }, { 40001 },
            0, Ready, {}, 4, {}, 200 },
        { "its port taken every time", { writes, portLost, writes, portLost, writes, portLost },
            { 40001, 40002, 40003 }, 0, Failed,
            "The private search instance found its port taken 3 times. Its log LOG ends with: "
            "\"OSError: [Errno 98] Address already in use\"",
            6, {}, 600 },
        { "Stop All while it starts", { writes, silent }, {}, 4, Stopped, {}, 2, { SIGTERM, SIGKILL }, 400 },
        { "Quit while it starts", { writes, { 0, -1, 0, -1 } }, {}, -5, Unloaded, {}, 2, { SIGTERM }, 500 },
    };
    for (const Row& row : rows) {
        test::FakeInstance fake;
        fake.system->children.assign(row.children.begin(), row.children.end());
        fake.system->taken = row.taken;
        test::FakePlatform p;
        Label stopFlag { "Label3", "1" };
        p.onPump = [&](int pump) {
            if (pump == row.stopAtPump)
                stopFlag.setCaption("0");
            if (pump == -row.stopAtPump)
                p.Unload();
        };
        const InstanceAnswer answer = fake.instance->address(p, stopFlag);
        const InstanceSetup& setup = fake.instance->setup();
        EXPECT_EQ(answer.outcome, row.outcome) << row.name;
        EXPECT_EQ(answer.message,
            QString(row.message).replace("LOG", setup.logFile).replace("EXAMPLE", setup.exampleSettings))
            << row.name;
        EXPECT_EQ(fake.system->launches.size(), row.launches) << row.name;
        EXPECT_EQ(fake.system->signalled, row.signalled) << row.name;
        EXPECT_EQ(p.sleptMs, row.waitedMs) << row.name;
        EXPECT_EQ(fake.instance->running(), row.outcome == Ready) << row.name;
        EXPECT_FALSE(QFile::exists(setup.settingsFile())) << row.name << ": its secret left on the disk";
        if (row.outcome == Ready)
            EXPECT_EQ(answer.port, 40000 + int(row.launches / 2)) << row.name << ": the port of the last try";
    }
}

TEST(PrivateInstance, WritesItsSettingsThenRunsTheModuleUntilItDies)
{
    test::FakeInstance fake;
    test::FakePlatform p;
    Label stopFlag { "Label3", "1" };
    const InstanceSetup& setup = fake.instance->setup();
    QDir().mkpath(QFileInfo(setup.userSettings).path());
    QFile(setup.userSettings).open(QIODevice::WriteOnly);
    const auto callersOwn = { "SEARX_BIND_ADDRESS", "SEARXNG_PORT", "FLASK_DEBUG" };
    for (const char* name : callersOwn)
        qputenv(name, "1");
    const InstanceAnswer first = fake.instance->address(p, stopFlag);
    for (const char* name : callersOwn)
        qunsetenv(name);
    ASSERT_EQ(first.outcome, Ready);

    const std::vector<ChildLaunch>& launches = fake.system->launches;
    ASSERT_EQ(launches.size(), 2u);
    EXPECT_EQ(
        launches[0].arguments.mid(2), (QStringList { setup.userSettings, setup.settingsFile(), "40001" }))
        << "the user's file, when there is one";
    EXPECT_EQ(launches[1].arguments, (QStringList { "-m", "searx.webapp" }));
    const QString file = setup.settingsFile();
    for (const ChildLaunch& launch : launches) {
        EXPECT_EQ((QStringList { launch.program, launch.outputFile, launch.workingFolder }),
            (QStringList { setup.interpreter, setup.logFile, setup.runtimeFolder }));
        EXPECT_EQ(launch.environment.filter(QRegularExpression("^(SEARX(NG)?|FLASK)_")),
            (QStringList { "SEARX_SETTINGS_PATH=" + file, "SEARX_DEBUG=0", "SEARXNG_SETTINGS_PATH=" + file,
                "SEARXNG_DEBUG=0" }))
            << "none of the caller's own";
    }
    EXPECT_EQ(QFileInfo(setup.runtimeFolder).permissions() & 0x0077, 0) << "a folder for this user only";

    // Kept while it runs; once it is gone the harvest hears why, and the next ask starts anew.
    EXPECT_EQ(fake.instance->address(p, stopFlag).port, 40001);
    EXPECT_EQ(fake.instance->lostMessage(), QString());
    EXPECT_EQ(launches.size(), 2u);
    test::writeFileBytes(setup.logFile, "x" + QByteArray(16384, 'b')); // only its last 16 KiB are read
    fake.system->signal(2, SIGSEGV);
    EXPECT_EQ(fake.instance->lostMessage(),
        "The private search instance ended during the harvest (killed by signal 11). Its log " + setup.logFile
            + " ends with: \"" + QString(300, 'b') + "...\"");
    EXPECT_EQ(fake.instance->lostMessage(), QString()) << "said once";
    EXPECT_EQ(fake.instance->address(p, stopFlag).port, 40002);
    EXPECT_EQ(launches.size(), 4u);

    // One that died between harvests is replaced without a word.
    fake.system->signal(4, SIGTERM);
    EXPECT_EQ(fake.instance->address(p, stopFlag).port, 40003);
    fake.instance->stop();
    EXPECT_EQ(fake.system->signalled.back(), SIGTERM);
    EXPECT_FALSE(fake.instance->running());
}

TEST(PrivateInstance, AMissingInterpreterMeansNoSearxAndAFolderThatCannotBeMadeIsSaid)
{
    QTemporaryDir folder;
    InstanceSetup setup = test::setupIn(folder.path());
    setup.interpreter = folder.filePath("no/python3");
    test::FakePlatform p;
    Label stopFlag { "Label3", "1" };
    const InstanceAnswer answer
        = PrivateInstance(std::make_unique<PosixInstanceSystem>(), setup).address(p, stopFlag);
    EXPECT_EQ(std::pair(answer.outcome, answer.message), std::pair(Failed, kNoSearx));
    EXPECT_EQ(::waitpid(-1, nullptr, 0), -1) << "the child that could not start is reaped, and none is left";
    QFile(folder.filePath("f")).open(QIODevice::WriteOnly);
    setup.runtimeFolder = folder.filePath("f/run");
    EXPECT_EQ(PrivateInstance(std::make_unique<PosixInstanceSystem>(), setup).address(p, stopFlag).message,
        "The private search instance's folder " + setup.runtimeFolder + " could not be made.");
}

// Only searx's own /config answer counts: another service on the port must not pass for it.
TEST(PrivateInstance, OnlyAConfigNamingItsEnginesAnswersTheProbe)
{
    const std::tuple<const char*, test::CannedAnswer, bool> rows[] = {
        { "searx's config", { 200, R"({"categories":["general"],"engines":[{"name":"a"}]})" }, true },
        { "a JSON object without engines", { 200, "{}" }, false },
        { "engines that are not a list", { 200, R"({"engines":{"a":1}})" }, false },
        { "a page", { 200, "<html><title>engines</title></html>", "text/html" }, false },
        { "an error with a config body", { 500, R"({"engines":[]})" }, false },
    };
    for (const auto& [name, config, answers] : rows) {
        test::ServiceMimic service { "/config", [&](const httplib::Request&) { return config; } };
        EXPECT_EQ(PosixInstanceSystem().answers(service.url(QString())), answers) << name;
    }
    EXPECT_FALSE(PosixInstanceSystem().answers(test::silentAddress({}))) << "nothing listening";
}

// The default source through a scripted instance whose port is a loopback SearXNG stand-in.
TEST(PrivateInstance, GoStartsItOnceAndReusesItUntilItDies)
{
    test::ServiceMimic searxng { "/search",
        [](const httplib::Request& req) {
            return test::CannedAnswer { 200,
                test::searxngPage({ "http://" + req.get_param_value("q") + ".example/" }) };
        } };
    test::FakeInstance fake;
    fake.system->ports = { QUrl(searxng.url(QString())).port(), QUrl(test::silentAddress({})).port() };
    Form1 f { std::make_unique<test::FakeTransferControl>() };
    test::FakePlatform p;
    p.rndValues = std::deque<double>(100, 0.0);
    QStringList statuses;
    p.onPump = [&](int) { statuses << (f.progress.harvestStartingInstance ? "starting" : "harvest"); };
    auto go = [&](const QStringList& keywords) {
        p.messages.clear();
        statuses.clear();
        f.List2.replaceAll(keywords);
        Command1_Click(f, p);
    };

    go({ " - " });
    EXPECT_FALSE(p.messages.contains(kNoSearx)) << "no instance is needed when no keyword has a term";
    go({ "1 - one" });
    EXPECT_EQ(p.messages, QStringList { kNoSearx });
    EXPECT_EQ(f.List1.ListCount(), 0);

    p.instance = fake.instance.get();
    fake.system->children = { test::FakeInstanceSystem::writes(), { 0, -1, 0, 2 } };
    go({ "1 - one" });
    EXPECT_EQ(p.messages, QStringList { "Finished run!" });
    EXPECT_EQ(statuses.mid(0, 2), (QStringList { "starting", "starting" }));
    EXPECT_EQ(statuses.last(), "harvest");
    go({ "1 - two" });
    EXPECT_EQ(f.List1.items(), (QStringList { "http://one.example/", "http://two.example/" }));
    EXPECT_EQ(fake.system->launches.size(), 2u) << "the second Go! reuses the instance";
    EXPECT_EQ(searxng.targets().size(), 4);

    // Its next start lands where nothing answers, and it dies: the harvest says why.
    fake.system->signal(2, SIGKILL);
    fake.system->children = { test::FakeInstanceSystem::writes(), { 0, 1, 1, 0, false, "killed\n" } };
    go({ "1 - three" });
    ASSERT_EQ(p.messages.size(), 1);
    EXPECT_TRUE(
        p.messages[0].startsWith("The private search instance ended during the harvest (exit status 1)."))
        << p.messages[0].toStdString();
    EXPECT_EQ(f.Label4.BackColor(), colour::ButtonFace);
}

} // namespace
} // namespace tarnwick
