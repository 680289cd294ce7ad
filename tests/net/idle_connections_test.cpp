// A run over many sites keeps only a few connections open.
#include "net/qt_transfer_control.h"
#include "support/fake_platform.h"
#include "support/loopback_server.h"

#include <QDir>

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

using test::LoopbackServer;

qsizetype openFiles()
{
    return QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System).size();
}

TEST(IdleConnections, ManyHostsLeaveFewSocketsOpen)
{
    LoopbackServer server;
    server.server.Get(
        "/", [](const httplib::Request&, httplib::Response& res) { res.set_content("ok", "text/html"); });
    // Each idle connection holds a server thread; enough that none waits for one.
    server.server.new_task_queue = [] { return new httplib::ThreadPool(64); };
    server.start(LoopbackServer::Listen::Every127);

    test::FakePlatform p;
    QtTransferControl inet;
    inet.StateChanged = [&inet](int state) {
        if (state == TransferControl::icResponseCompleted)
            while (!inet.GetChunk(10024).isEmpty()) { }
    };
    inet.setRequestTimeout(5);
    const qsizetype before = openFiles();
    constexpr int kHosts = 40;
    for (int host = 2; host < 2 + kHosts; ++host) {
        inet.Execute(server.urlOn(host, QStringLiteral("/")), QStringLiteral("GET"), {}, {});
        while (inet.StillExecuting())
            ASSERT_TRUE(p.waitForEvents(100));
        ASSERT_EQ(inet.httpStatus(), 200) << host;
    }
    // Both ends of every connection still open are in this process.
    EXPECT_LE(openFiles() - before, 2 * (QtTransferControl::kIdleHostsKept + 1) + 4);
}

} // namespace
} // namespace tarnwick
