// The QtNetwork transfer control against loopback servers, driven the way the spider drives
// it: Execute, then pump until it is idle, reading the body inside the state-12 notification.
#include "net/qt_transfer_control.h"
#include "support/fake_platform.h"
#include "support/loopback_server.h"
#include "support/raw_server.h"

#include <QDeadlineTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <ctime>
#include <mutex>

namespace tarnwick {
namespace {

using test::FakePlatform;
using test::LoopbackServer;

const QString kHeaders = "\r\n\r\nReferer: http://www.example.com/\r\nUser-Agent: Tarnwick test";

// What one request went through, as the response handler would see it.
struct Outcome {
    QList<int> states, statesDuringExecute, pieceLengths;
    QString body, errorCaption;
    bool executingInCompleted = false, executingInError = true, executingAfter = true;
    double cpuSecondsWaiting = 0;
    qint64 ms = 0;
    int last() const { return states.isEmpty() ? -1 : states.last(); }
};

// Wires the handler that records everything, as the spider's handler reads it.
void record(QtTransferControl& inet, Outcome& run)
{
    inet.StateChanged = [&inet, &run](int state) {
        run.states.append(state);
        if (state == TransferControl::icError) {
            run.executingInError = inet.StillExecuting();
            run.errorCaption = "Error " + QString::number(inet.ResponseCode()) + u' ' + inet.ResponseInfo();
        }
        if (state == TransferControl::icResponseCompleted) {
            run.executingInCompleted = inet.StillExecuting();
            for (QString piece = inet.GetChunk(1024); !piece.isEmpty(); piece = inet.GetChunk(10024)) {
                run.pieceLengths.append(int(piece.size()));
                run.body += piece;
            }
        }
    };
}

// Pumps like the spider's wait, with a guard so a broken control cannot hang the suite.
void waitIdle(QtTransferControl& inet, FakePlatform& p, Outcome& run)
{
    const std::clock_t cpuBefore = std::clock();
    QDeadlineTimer guard(20000);
    while (inet.StillExecuting() && !guard.hasExpired() && p.waitForEvents(100)) { }
    run.ms = 20000 - guard.remainingTime();
    run.cpuSecondsWaiting = double(std::clock() - cpuBefore) / CLOCKS_PER_SEC;
    run.executingAfter = inet.StillExecuting();
}

Outcome runRequest(const QString& url, int timeoutSeconds = 5, const QString& headers = kHeaders)
{
    FakePlatform p;
    QtTransferControl inet;
    Outcome run;
    record(inet, run);
    inet.setRequestTimeout(timeoutSeconds);
    inet.Execute(url, "GET", {}, headers);
    run.statesDuringExecute = run.states;
    waitIdle(inet, p, run);
    return run;
}

// Pumps a few more times after a request should be over, to catch late notifications.
void pumpAWhile(FakePlatform& p)
{
    for (int i = 0; i < 5; ++i)
        (void)p.waitForEvents(20);
}

// A body of `size` characters, with non-ASCII letters so the pieces are counted in characters.
QString sampleBody(int size)
{
    return QStringLiteral("<p>Caf\u00E9 \u201Cpage\u201D line</p>\n").repeated(size / 20 + 1).left(size);
}

// The pieces the spider's read loop gets: 1024, then 10024 each until the end.
QList<int> expectedPieces(int size)
{
    QList<int> pieces;
    for (int offset = 0, n = 1024; offset < size; offset += n, n = 10024)
        pieces.append(qMin(n, size - offset));
    return pieces;
}

TEST(TransferControl, SendsEveryHeaderLineAsTyped)
{
    LoopbackServer server;
    httplib::Headers seen;
    std::mutex lock;
    server.server.Get("/", [&](const httplib::Request& req, httplib::Response& res) {
        std::lock_guard<std::mutex> guard(lock);
        seen = req.headers;
        res.set_content("ok", "text/plain");
    });
    server.start();

    const struct {
        const char* name;
        QString block;
        std::vector<std::pair<std::string, std::string>> want;
    } cases[] = {
        { "the spider's block",
            "\r\n\r\nReferer: http://www.example.com/search?q=a+b&x=1\r\n"
            "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)",
            { { "Referer", "http://www.example.com/search?q=a+b&x=1" },
                { "User-Agent", "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)" } } },
        { "LF line ends and an extra header",
            "Referer: http://ref.example/;x=(1)\nUser-Agent: Agent/1.0  with  spaces\nX-Extra: one",
            { { "Referer", "http://ref.example/;x=(1)" }, { "User-Agent", "Agent/1.0  with  spaces" },
                { "X-Extra", "one" } } },
        { "lines that are no header are left out",
            "no colon here\r\nBad Name: y\r\n: no name\r\nUser-Agent: kept", { { "User-Agent", "kept" } } },
        { "non-ASCII text", QStringLiteral("User-Agent: Caf\u00E9Bot"),
            { { "User-Agent",
                "Caf\xc3\xa9"
                "Bot" } } },
    };
    for (const auto& c : cases) {
        const Outcome run = runRequest(server.url(), 5, c.block);
        ASSERT_EQ(run.last(), TransferControl::icResponseCompleted)
            << c.name << " " << run.errorCaption.toStdString();
        std::lock_guard<std::mutex> guard(lock);
        for (const auto& [name, value] : c.want) {
            ASSERT_EQ(seen.count(name), 1u) << c.name << ": " << name;
            EXPECT_EQ(seen.find(name)->second, value) << c.name << ": " << name;
        }
    }
}

TEST(TransferControl, CompletedResponseIsReadInPiecesAndFailuresEndInStateEleven)
{
    // A body cut off in the middle: the peer promised 5000 bytes and hangs up after 1000.
    test::RawServer dropped([](const std::string&, const test::RawServer::Send& send) {
        send("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: 5000\r\n\r\n"
            + std::string(1000, 'x'));
    });
    // A chunk size that is not hexadecimal: the HTTP stack reads it as the last chunk, so the
    // answer is a complete but empty body, which the spider rejects like any page without a title.
    test::RawServer badChunks([](const std::string&, const test::RawServer::Send& send) {
        send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nZZZ\r\nhello\r\n0\r\n\r\n");
    });
    // One byte a second, far past a one-second timeout.
    test::RawServer drip([](const std::string&, const test::RawServer::Send& send) {
        for (int i = 0; i < 5 && send(i ? "x" : "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n"); ++i)
            std::this_thread::sleep_for(std::chrono::seconds(i ? 1 : 0));
    });
    LoopbackServer server;
    server.serveCommonRoutes();
    server.server.Get("/huge", [](const httplib::Request&, httplib::Response& res) {
        res.set_content_provider(
            50 * 1024 * 1024, "text/html", [](size_t, size_t length, httplib::DataSink& sink) {
                static const std::string block(64 * 1024, 'a');
                return sink.write(block.data(), std::min(length, block.size()));
            });
    });
    server.server.Get("/bogus", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("<title>caf\xc3\xa9</title>", "text/html; charset=no-such-charset-42");
    });
    // Read by its label, though the bytes would pass for UTF-8; the labels themselves are the
    // body decoder's tests.
    server.server.Get("/cp1252", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("caf\xc3\xa9", "text/html; charset=windows-1252");
    });
    server.server.Get(R"(/size/(\d+))", [](const httplib::Request& req, httplib::Response& res) {
        res.set_content(sampleBody(std::stoi(req.matches[1])).toStdString(), "text/html; charset=utf-8");
    });
    server.start();

    const struct {
        const char* name;
        QString url;
        QString body; // for a failure, the error caption; empty: any "Error " caption with a code and a text
        int timeout = 5;
        bool fails = false;
    } cases[] = {
        { "empty body", server.url("/size/0"), {} },
        { "short page", server.url("/size/300"), sampleBody(300) },
        { "exactly the first piece", server.url("/size/1024"), sampleBody(1024) },
        { "over 11 KB", server.url("/size/30000"), sampleBody(30000) },
        { "404 page with its body", server.url("/missing"), "<html>Not here</html>" },
        { "500 page with its body", server.url("/broken"), "<html>Internal Server Error</html>" },
        { "redirect followed", server.url("/hop"), "<html>hello</html>" },
        { "malformed chunked body", badChunks.url(), {} },
        { "Windows-1252 page", server.url("/cp1252"), QStringLiteral("caf\u00C3\u00A9") },
        { "bogus charset name", server.url("/bogus"), QString::fromUtf8("<title>caf\xc3\xa9</title>") },
        { "stall past the timeout", server.url("/stall"), "Error 35761 Timeout", 1, true },
        { "refused connection", test::refusedUrl(), {}, 5, true },
        { "connection dropped mid-body", dropped.url(), {}, 5, true },
        { "drip past the timeout", drip.url(), "Error 35761 Timeout", 1, true },
        { "50 MB body", server.url("/huge"), "Error 35762 Response over 8388608 bytes", 20, true },
        { "redirect loop", server.url("/loop"), {}, 5, true },
        { "chunked body over 8 MiB", server.url("/chunked/9437184"),
            "Error 35762 Response over 8388608 bytes", 20, true },
        { "not a web address", "http://", "Error 35763 Invalid URL", 5, true },
        { "unsupported scheme", "ftp://127.0.0.1/file", "Error 35763 Invalid URL", 5, true },
    };
    for (const auto& c : cases) {
        const Outcome run = runRequest(c.url, c.timeout);
        EXPECT_TRUE(run.statesDuringExecute.isEmpty()) << c.name << ": nothing is raised inside Execute";
        EXPECT_FALSE(run.executingAfter) << c.name << ": idle at the end";
        if (c.fails) {
            EXPECT_EQ(run.last(), TransferControl::icError) << c.name;
            EXPECT_EQ(run.states.count(TransferControl::icError), 1) << c.name;
            EXPECT_FALSE(run.states.contains(TransferControl::icResponseCompleted)) << c.name;
            EXPECT_FALSE(run.executingInError) << c.name;
            EXPECT_TRUE(run.body.isEmpty()) << c.name;
            if (c.body.isEmpty())
                EXPECT_TRUE(run.errorCaption.startsWith("Error ") && run.errorCaption.size() > 8)
                    << c.name << ": " << run.errorCaption.toStdString();
            else
                EXPECT_EQ(run.errorCaption, c.body) << c.name;
            // The wait sleeps in the dispatcher; a spinning loop would burn the whole second.
            if (c.timeout == 1) {
                EXPECT_LT(run.cpuSecondsWaiting, 0.5) << c.name << ": waiting must not spin";
                EXPECT_LT(run.ms, 3500) << c.name << ": the timeout bounds the whole request";
            }
            continue;
        }
        ASSERT_EQ(run.last(), TransferControl::icResponseCompleted)
            << c.name << " " << run.errorCaption.toStdString();
        EXPECT_EQ(run.states.count(TransferControl::icResponseCompleted), 1) << c.name;
        EXPECT_EQ(run.states.first(), TransferControl::icConnecting)
            << c.name << ": progress shows before the end";
        EXPECT_TRUE(run.states.contains(TransferControl::icResponseReceived)) << c.name;
        EXPECT_EQ(run.body, c.body) << c.name;
        EXPECT_EQ(run.pieceLengths, expectedPieces(int(c.body.size()))) << c.name;
        EXPECT_TRUE(run.executingInCompleted) << c.name << ": still executing while the body is read";
    }
}

TEST(TransferControl, CancelledAndReplacedRequestsStaySilent)
{
    LoopbackServer server;
    server.serveCommonRoutes();
    server.server.Get("/slow", [&](const httplib::Request&, httplib::Response& res) {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        res.set_content("slow page", "text/plain");
    });
    // Sends a first part, waits, then the rest; tells when it is done either way.
    std::atomic<bool> trickleEnded { false };
    server.server.Get("/trickle", [&](const httplib::Request&, httplib::Response& res) {
        res.set_chunked_content_provider(
            "text/plain",
            [](size_t offset, httplib::DataSink& sink) {
                if (offset > 0) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(300));
                    sink.write("second part", 11);
                    sink.done();
                    return true;
                }
                return sink.write("first part", 10);
            },
            [&](bool) { trickleEnded = true; });
    });
    server.start();
    FakePlatform p;
    {
        // Cancelled before the first pump: nothing at all arrives.
        QtTransferControl inet;
        Outcome run;
        record(inet, run);
        inet.Execute(server.url("/page"), "GET", {}, kHeaders);
        inet.Cancel();
        EXPECT_FALSE(inet.StillExecuting());
        pumpAWhile(p);
        EXPECT_TRUE(run.states.isEmpty()) << "cancelled at once";
    }
    {
        // Cancelled once the first bytes are in, while the server still has more to send.
        QtTransferControl inet;
        Outcome run;
        inet.StateChanged = [&](int state) {
            run.states.append(state);
            if (state == TransferControl::icReceivingResponse)
                inet.Cancel();
        };
        inet.Execute(server.url("/trickle"), "GET", {}, kHeaders);
        waitIdle(inet, p, run);
        QDeadlineTimer guard(5000);
        while (!trickleEnded && !guard.hasExpired())
            (void)p.waitForEvents(20);
        pumpAWhile(p);
        EXPECT_TRUE(trickleEnded);
        EXPECT_EQ(run.last(), TransferControl::icReceivingResponse) << "cancelled mid-body";
        EXPECT_FALSE(inet.StillExecuting());
    }
    {
        // A new Execute replaces the running request; only the new one reports. No pump between
        // the two, so the first one's notification is still queued.
        QtTransferControl inet;
        Outcome run;
        record(inet, run);
        inet.Execute(server.url("/slow"), "GET", {}, kHeaders);
        inet.Execute(server.url("/page"), "GET", {}, kHeaders);
        waitIdle(inet, p, run);
        pumpAWhile(p);
        EXPECT_EQ(run.body, "<html>hello</html>");
        EXPECT_EQ(run.states.count(TransferControl::icConnecting), 1) << "nothing of the replaced request";
        EXPECT_EQ(run.states.count(TransferControl::icResponseCompleted), 1);
        EXPECT_EQ(run.last(), TransferControl::icResponseCompleted);
    }
    {
        // Destroyed while the request runs: no crash, and the handler is never called.
        bool called = false;
        auto inet = std::make_unique<QtTransferControl>();
        inet->StateChanged = [&](int) { called = true; };
        inet->Execute(server.url("/slow"), "GET", {}, kHeaders);
        inet.reset();
        pumpAWhile(p);
        EXPECT_FALSE(called) << "destroyed while running";
    }
}

TEST(TransferControl, OpenUrlBlocksAndRaisesNothing)
{
    LoopbackServer server;
    server.server.Get("/page", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("<html>caf\xc3\xa9</html>", "text/html; charset=utf-8");
    });
    server.start();

    FakePlatform p;
    QtTransferControl inet;
    Outcome run;
    record(inet, run);
    inet.setRequestTimeout(30);
    EXPECT_EQ(inet.OpenURL(server.url("/page")), QStringLiteral("<html>caf\u00E9</html>"));
    EXPECT_FALSE(inet.StillExecuting());
    EXPECT_EQ(inet.OpenURL(test::refusedUrl()), QString());
    EXPECT_NE(inet.ResponseCode(), 0);
    EXPECT_FALSE(inet.ResponseInfo().isEmpty());
    pumpAWhile(p);
    EXPECT_TRUE(run.states.isEmpty());
}

} // namespace
} // namespace tarnwick
