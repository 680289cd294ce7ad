// Hostile servers: each fault ends the request in a defined way, and a spider run over them
// goes on with the next URL.
#include "net/qt_transfer_control.h"
#include "spider/response_handler.h"
#include "spider/spider_run.h"
#include "support/fake_platform.h"
#include "support/loopback_server.h"
#include "support/raw_server.h"
#include "support/test_window.h"

#include <QElapsedTimer>

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

// What one request through the real control ended in.
struct Outcome {
    int last = -1;
    QString body;
    bool stillExecuting = true;
    qint64 ms = 0;
};

Outcome fetch(const QString& url, int timeoutSeconds = 5)
{
    FakePlatform p;
    QtTransferControl inet;
    Outcome out;
    inet.StateChanged = [&](int state) {
        out.last = state;
        if (state == TransferControl::icResponseCompleted) {
            for (QString piece = inet.GetChunk(1024); !piece.isEmpty(); piece = inet.GetChunk(10024))
                out.body += piece;
        }
    };
    inet.setRequestTimeout(timeoutSeconds);
    QElapsedTimer clock;
    clock.start();
    inet.Execute(url, "GET", {}, "\r\n\r\nReferer: r\r\nUser-Agent: u");
    while (inet.StillExecuting() && clock.elapsed() < 30000)
        (void)p.waitForEvents(100);
    out.ms = clock.elapsed();
    out.stillExecuting = inet.StillExecuting();
    return out;
}

TEST(TransferFaults, EachFaultEndsInADefinedState)
{
    // A body cut off in the middle: the peer promised 5000 bytes and hangs up after 1000.
    RawServer dropped([](const std::string&, const RawServer::Send& send) {
        send("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: 5000\r\n\r\n"
            + std::string(1000, 'x'));
    });
    // A chunk size that is not hexadecimal: the HTTP stack reads it as the last chunk, so the
    // answer is a complete but empty body, which the spider rejects like any page without a title.
    RawServer badChunks([](const std::string&, const RawServer::Send& send) {
        send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nZZZ\r\nhello\r\n0\r\n\r\n");
    });
    // One byte a second, far past a one-second timeout.
    RawServer drip([](const std::string&, const RawServer::Send& send) {
        if (!send("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n"))
            return;
        for (int i = 0; i < 4; ++i) {
            if (!send("x"))
                return;
            std::this_thread::sleep_for(std::chrono::seconds(1));
        }
    });
    LoopbackServer http;
    http.serveCommonRoutes();
    http.server.Get("/huge", [](const httplib::Request&, httplib::Response& res) {
        res.set_content_provider(
            50 * 1024 * 1024, "text/html", [](size_t offset, size_t length, httplib::DataSink& sink) {
                static const std::string block(64 * 1024, 'a');
                (void)offset;
                return sink.write(block.data(), std::min(length, block.size()));
            });
    });
    http.server.Get("/bogus", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("<title>caf\xc3\xa9</title>", "text/html; charset=no-such-charset-42");
    });
    http.start();

    struct Case {
        const char* name;
        QString url;
        int timeout;
        int wantLast;
    };
    const Case cases[] = {
        { "connection dropped mid-body", dropped.url(), 5, TransferControl::icError },
        { "malformed chunked body", badChunks.url(), 5, TransferControl::icResponseCompleted },
        { "redirect loop", http.url("/loop"), 5, TransferControl::icError },
        { "drip past the timeout", drip.url(), 1, TransferControl::icError },
        { "50 MB body", http.url("/huge"), 20, TransferControl::icError },
        { "bogus charset name", http.url("/bogus"), 5, TransferControl::icResponseCompleted },
    };
    for (const Case& c : cases) {
        const Outcome out = fetch(c.url, c.timeout);
        EXPECT_EQ(out.last, c.wantLast) << c.name;
        EXPECT_FALSE(out.stillExecuting) << c.name;
        if (c.timeout == 1)
            EXPECT_LT(out.ms, 3500) << c.name << ": the timeout bounds the whole request";
    }
    EXPECT_EQ(fetch(http.url("/bogus")).body, QString::fromUtf8("<title>caf\xc3\xa9</title>"));
}

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
