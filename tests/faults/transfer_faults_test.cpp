// Hostile servers: a spider run over them goes on with the next URL. How each fault ends one
// request is in the transfer control's tests.
#include "net/qt_transfer_control.h"
#include "spider/response_handler.h"
#include "spider/spider_run.h"
#include "support/fake_platform.h"
#include "support/loopback_server.h"
#include "support/raw_server.h"
#include "support/test_window.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace tarnwick {
namespace {

using test::FakePlatform;
using test::LoopbackServer;
using test::RawServer;

const std::string kPage
    = "<html><head><title>A perfectly good page</title>"
      "<meta name=\"description\" content=\"Served whole and on time\"></head><body>ok</body></html>";

TEST(TransferFaults, SpiderRunGoesOnAfterEachFault)
{
    RawServer dropped([](const std::string&, const RawServer::Send& send) {
        send("HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n\r\n" + kPage.substr(0, 60));
    });
    RawServer badChunks([](const std::string&, const RawServer::Send& send) {
        send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nQQ\r\n" + kPage + "\r\n0\r\n\r\n");
    });
    LoopbackServer http;
    http.serveCommonRoutes();
    http.server.Get("/good",
        [](const httplib::Request&, httplib::Response& res) { res.set_content(kPage, "text/html"); });
    http.start();

    test::TestWindow w(std::make_unique<QtTransferControl>());
    Form1& f = w.f();
    FakePlatform& p = w.p;
    attachResponseHandler(f, p);
    f.List1.replaceAll(
        { dropped.url(), badChunks.url(), http.url("/loop"), http.url("/stall"), http.url("/good") });
    f.Text5.setText(" ");
    f.Combo2.setText("1");
    Command3_Click(f, p);

    ASSERT_FALSE(p.messages.isEmpty());
    EXPECT_EQ(p.messages.last(), "Run completed! Tarnwick list of sites spidered!");
    EXPECT_EQ(f.List1.items(), QStringList({ http.url("/good") }));
    EXPECT_EQ(f.Label10.Caption(), "1");
    EXPECT_EQ(f.Label15.Caption(), "5");
    EXPECT_EQ(f.Caption(), "Tarnwick");
}

} // namespace
} // namespace tarnwick
