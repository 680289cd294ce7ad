// The harvest against Debian's searx, started by Tarnwick's launcher on a loopback port the system picks,
// with a user's settings whose only engine asks a loopback fixture. The harvest's waits run on the fake
// platform's clock; the instance's start and the requests are real.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QThread>
#include <QUrl>

#include "app/form1.h"
#include "harvest/url_harvest.h"
#include "instance/posix_instance_system.h"
#include "instance/private_instance.h"
#include "support/fake_instance_system.h"
#include "support/fake_platform.h"
#include "support/fake_transfer_control.h"
#include "support/fixtures.h"
#include "support/qt_printers.h"
#include "support/searx_fixture.h"

namespace tarnwick {
namespace {

// The real system, but the first port it offers is one the test holds.
struct FirstPortTaken : PosixInstanceSystem {
    int taken = 0;
    int freePort() override
    {
        const int port = std::exchange(taken, 0);
        return port != 0 ? port : PosixInstanceSystem::freePort();
    }
};

class RealInstance : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!test::searxInstalled())
            GTEST_SKIP() << "searx is not installed (apt-get install searx): no real instance to harvest";
        ASSERT_TRUE(folder.isValid());
        setup = test::setupIn(folder.path());
        ASSERT_TRUE(QDir().mkpath(QFileInfo(setup.userSettings).path()));
        test::writeFileBytes(
            setup.userSettings, test::fixtureEngineSettings(QUrl(engine.server.url()).port()));
        // The instance starts in real time: while it does, the fake clock keeps pace.
        p.onPump = [this](int) {
            if (f.progress.harvestStartingInstance)
                QThread::msleep(100);
        };
    }

    void TearDown() override
    {
        instance.reset();
        if (!setup.runtimeFolder.isEmpty())
            EXPECT_EQ(test::processesIn(setup.runtimeFolder), QList<qint64>()) << "an instance left running";
    }

    InstanceAnswer start(std::unique_ptr<InstanceSystem> system)
    {
        instance = std::make_unique<PrivateInstance>(std::move(system), setup);
        f.Label3.setCaption("1");
        f.progress.harvestStartingInstance = true;
        return instance->address(p, f.Label3);
    }

    QStringList harvest(const QStringList& keywords)
    {
        f.List2.replaceAll(keywords);
        p.messages.clear();
        p.rndValues = std::deque<double>(100, 0.0);
        Command1_Click(f, p);
        return f.List1.items();
    }

    QTemporaryDir folder;
    InstanceSetup setup;
    std::unique_ptr<PrivateInstance> instance;
    Form1 f { std::make_unique<test::FakeTransferControl>() };
    test::FakePlatform p;
    // Last, so its thread stops before the members its handler uses go.
    test::FixtureEngine engine;
};

TEST_F(RealInstance, GoStartsItOnceThenHarvestsRootsAndFullAddressesUntilAPageAddsNothing)
{
    instance = std::make_unique<PrivateInstance>(std::make_unique<PosixInstanceSystem>(), setup);
    p.instance = instance.get();
    EXPECT_EQ(harvest({ "2 - widgets" }),
        (QStringList { "http://one.example/", "http://two.example/", "http://three.example/" }));
    EXPECT_EQ(p.messages, QStringList { "Finished run!" });
    EXPECT_EQ(engine.asked(), (std::vector<std::string> { "widgets 1", "widgets 2", "widgets 3" }))
        << "page 3 holds no new site";
    const QList<qint64> running = test::processesIn(setup.runtimeFolder);
    EXPECT_EQ(running.size(), 1);
    const int port = instance->address(p, f.Label3).port;
    EXPECT_EQ(test::listenersOn(port), QStringList { "0100007F" }) << "127.0.0.1 only";
    EXPECT_FALSE(QFile::exists(setup.settingsFile())) << "read, so its secret is off the disk";

    f.List1.Clear();
    f.Check1.setValue(1);
    EXPECT_EQ(harvest({ "2 - widgets" }),
        (QStringList { "http://one.example/a.html", "http://one.example/b.html", "http://two.example/",
            "http://three.example/x?y=1", "http://one.example/c.html", "http://one.example/d.html",
            "http://two.example/e.html" }));
    EXPECT_EQ(p.messages, QStringList { "Finished run!" });
    EXPECT_EQ(engine.asked().size(), 3u + 4u) << "the empty fourth page ends the keyword";
    EXPECT_EQ(test::processesIn(setup.runtimeFolder), running) << "the same instance";
}

TEST_F(RealInstance, APortTakenBeforeItBoundIsLeftForAnother)
{
    test::LoopbackServer squatter;
    squatter.start();
    auto system = std::make_unique<FirstPortTaken>();
    system->taken = QUrl(squatter.url()).port();
    const InstanceAnswer answer = start(std::move(system));
    EXPECT_EQ(answer.outcome, InstanceOutcome::Ready) << answer.message.toStdString();
    EXPECT_NE(answer.port, QUrl(squatter.url()).port()) << "another port";
}

// The settings written from the user's file, the package's example and a SearXNG-shaped file: that file
// with the server on loopback, its own secret, JSON on, no limiter, nothing else. A non-mapping is refused.
TEST_F(RealInstance, SettingsAreTheSourceWithTheServerOnLoopbackAndAFreshSecret)
{
    QDir().mkpath(setup.runtimeFolder);
    QDir().mkpath(QFileInfo(setup.logFile).path());
    const std::pair<QString, QString> rows[] = {
        { setup.userSettings, {} },
        { "/usr/share/doc/searx/examples/settings.yml", {} },
        { TARNWICK_FIXTURES "/../../dist/searxng/settings.yml", {} },
        { folder.filePath("bare.yml"), {} },
        { folder.path(), "Is a directory" },
        { folder.filePath("list.yml"), "not a mapping" },
    };
    test::writeFileBytes(folder.filePath("bare.yml"), "engines: []\n");
    test::writeFileBytes(folder.filePath("list.yml"), "- a\n");
    for (const auto& [source, refusal] : rows) {
        if (!QFile::exists(source))
            continue;
        InstanceSetup from = setup;
        from.userSettings = source;
        PosixInstanceSystem system;
        int error = 0;
        const qint64 writer = system.start(settingsWriter(from, 4321), error);
        ASSERT_NE(writer, 0) << error;
        const std::optional<ChildExit> exit = system.awaitExit(writer, 30000);
        ASSERT_TRUE(exit) << qPrintable(source);
        if (!refusal.isEmpty()) {
            EXPECT_EQ(exit->code, int(WriterExit::Refused)) << qPrintable(source);
            EXPECT_EQ(lastLogLine(setup.logFile), refusal) << qPrintable(source);
            continue;
        }
        ASSERT_EQ(exit->code, 0) << qPrintable(source + ": " + lastLogLine(setup.logFile));
        EXPECT_EQ(QFileInfo(setup.settingsFile()).permissions() & 0x0777, QFile::ReadUser | QFile::WriteUser)
            << qPrintable(source);
        const QJsonObject was = QJsonDocument::fromJson(test::yamlAsJson(source)).object();
        const QJsonObject written = QJsonDocument::fromJson(test::yamlAsJson(setup.settingsFile())).object();
        const QJsonObject server = written["server"].toObject();
        const QString secret = server["secret_key"].toString();
        EXPECT_TRUE(QRegularExpression("^[0-9a-f]{64}$").match(secret).hasMatch()) << qPrintable(source);
        EXPECT_NE(secret, was["server"].toObject()["secret_key"].toString()) << qPrintable(source);
        EXPECT_EQ(QJsonArray({ server["bind_address"], server["port"], server["limiter"] }),
            QJsonArray({ "127.0.0.1", 4321, false }));
        // The rest as it was, and the formats as they were with json.
        QJsonObject want = was, serverWas = was["server"].toObject(), searchWas = was["search"].toObject();
        for (const char* key : { "bind_address", "port", "secret_key", "limiter" })
            serverWas[key] = server[key];
        const QJsonArray formats
            = searchWas.contains("formats") ? searchWas["formats"].toArray() : QJsonArray { "html" };
        searchWas["formats"] = formats.contains("json") ? formats : formats + QJsonValue("json");
        want["server"] = serverWas;
        want["search"] = searchWas;
        EXPECT_EQ(written, want) << qPrintable(source);
    }

    // Through the launcher, the message names the file.
    setup.userSettings = folder.path();
    EXPECT_EQ(start(std::make_unique<PosixInstanceSystem>()).message,
        "The private search instance cannot use the settings file " + folder.path() + ": Is a directory.");
}

} // namespace
} // namespace tarnwick
