// The QtNetwork transfer control and the blocking fetch against loopback servers. The control is driven
// as the spider drives it: Execute, then pump until idle, reading the body in the state-12 notification.
#include "net/blocking_fetch.h"
#include "net/qt_transfer_control.h"
#include "support/fake_platform.h"
#include "support/loopback_server.h"
#include "support/qt_printers.h"
#include "support/raw_server.h"

#include <QDeadlineTimer>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <atomic>

namespace tarnwick {
namespace {

using test::FakePlatform;
using test::LoopbackServer;
using TC = TransferControl;

const QString kHeaders = "\r\n\r\nReferer: http://www.example.com/\r\nUser-Agent: Tarnwick test";
// The states of a request that got an answer.
const QList<int> kAnswered
    = { TC::icConnecting, TC::icReceivingResponse, TC::icResponseReceived, TC::icResponseCompleted };

// What one request went through, as the response handler would see it.
struct Outcome {
    QList<int> states, statesDuringExecute, pieceLengths;
    QString body, errorCaption;
    bool executingInCompleted = false, executingInError = true, executingAfter = true;
    int pumps = 0;
};

// A control whose handler records everything, as the spider's handler reads it.
struct Recorded {
    QtTransferControl inet;
    Outcome run;

    Recorded()
    {
        inet.StateChanged = [this](int state) {
            run.states.append(state);
            if (state == TC::icError) {
                run.executingInError = inet.StillExecuting();
                run.errorCaption = QString("Error %1 ").arg(inet.ResponseCode()) + inet.ResponseInfo();
            }
            if (state == TC::icResponseCompleted) {
                run.executingInCompleted = inet.StillExecuting();
                for (QString piece = inet.GetChunk(1024); !piece.isEmpty(); piece = inet.GetChunk(10024)) {
                    run.pieceLengths.append(int(piece.size()));
                    run.body += piece;
                }
            }
        };
    }
};

// Pumps like the spider's wait, with a guard so a broken control cannot hang the suite.
void waitIdle(QtTransferControl& inet, FakePlatform& p, Outcome& run)
{
    QDeadlineTimer guard(30000);
    while (inet.StillExecuting() && !guard.hasExpired() && p.waitForEvents(100)) { }
    run.executingAfter = inet.StillExecuting();
    run.pumps = p.pumps;
}

Outcome runRequest(const QString& url, int timeoutSeconds = 5, const QString& headers = kHeaders)
{
    FakePlatform p;
    Recorded recorded;
    auto& [inet, run] = recorded;
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

// Every row goes through the control and the blocking fetch, which share one view of an answer and
// one size cap. The same servers then see requests cancelled, replaced and destroyed; none reports late.
TEST(TransferControl, AnswersAndFailuresOfBothFetchesAndSilentCancels)
{
    // Answers no well-behaved server sends; a slow one sent whole means a client overstayed its limits.
    std::atomic<int> slowAnswersSentWhole { 0 };
    test::RawServer odd([&](const std::string& head, const test::RawServer::Send& send) {
        const std::string path = head.substr(4, head.find(' ', 4) - 4);
        if (path == "/400" || path == "/407" || path == "/42") // 407: a proxy's answer; 42: too short
            send("HTTP/1.1 " + path.substr(1) + " Odd\r\nContent-Length: 4\r\n\r\nbody");
        else if (path == "/badchunks") // the HTTP stack reads a bad chunk size as the last chunk
            send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nZZZ\r\nhello\r\n0\r\n\r\n");
        else if (path == "/drop") // promises 5000 bytes, hangs up after 1000
            send("HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n\r\n" + std::string(1000, 'x'));
        else { // a byte every 100 ms: after a length of 100 or of 50 MB, or after 9 MiB at once
            const bool big = path == "/big";
            bool open = send(big ? "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n900000\r\n"
                        + std::string(9 << 20, 'x') + "\r\n"
                                 : std::string("HTTP/1.1 200 OK\r\nContent-Length: ")
                        + (path == "/huge" ? "52428800" : "100") + "\r\n\r\n");
            for (int i = 0; i < 50 && open; ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
                open = send(big ? "1\r\nx\r\n" : "x");
            }
            slowAnswersSentWhole += open ? 1 : 0;
        }
    });
    LoopbackServer server;
    server.serveCommonRoutes();
    // Read by its label, though the bytes would pass for UTF-8; a label naming nothing is ignored.
    server.server.Get(R"(/labelled/(.+))", [](const httplib::Request& req, httplib::Response& res) {
        res.set_content("caf\xc3\xa9", "text/html; charset=" + req.matches[1].str());
    });
    server.server.Get(R"(/size/(\d+))", [](const httplib::Request& req, httplib::Response& res) {
        res.set_content(sampleBody(std::stoi(req.matches[1])).toStdString(), "text/html; charset=utf-8");
    });
    server.server.Get("/cap", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(std::string(kMaxBodyBytes, 'z'), "application/octet-stream");
    });
    server.server.Get("/echo", [](const httplib::Request& req, httplib::Response& res) {
        std::string seen;
        for (const char* name : { "Referer", "User-Agent", "X-Extra" })
            for (auto [at, end] = req.headers.equal_range(name); at != end; ++at)
                seen += std::string(name) + ": " + at->second + "\n";
        res.set_content(seen, "text/plain; charset=utf-8");
    });
    server.server.Get("/to8", [&server](const httplib::Request&, httplib::Response& res) {
        res.set_redirect(server.urlOn(8, "/port").toStdString());
    });
    server.server.Get("/port", [](const httplib::Request& req, httplib::Response& res) {
        res.set_content(std::to_string(req.remote_port), "text/plain");
    });
    // Sends a part, waits, then the rest; tells when it is done and whether the client took it all.
    std::atomic<bool> trickleEnded { false }, trickleTaken { false };
    server.server.Get("/trickle", [&](const httplib::Request&, httplib::Response& res) {
        res.set_chunked_content_provider(
            "text/plain",
            [](size_t offset, httplib::DataSink& sink) {
                if (offset == 0)
                    return sink.write("first part", 10);
                std::this_thread::sleep_for(std::chrono::milliseconds(300));
                sink.write("second part", 11);
                sink.done();
                return true;
            },
            [&](bool whole) {
                trickleTaken = whole;
                trickleEnded = true;
            });
    });
    server.start(LoopbackServer::Listen::Every127);

    const QString overCap = "Error 35762 Response over 8388608 bytes";
    const struct {
        const char* name;
        QString url;
        QString body; // for a failure, the error caption; empty: any caption with a code and a text
        int status = 200; // 0: no answer
        int timeout = 5;
    } cases[] = {
        { "empty body", server.url("/size/0"), {} },
        { "short page", server.url("/size/300"), sampleBody(300) },
        { "exactly the first piece", server.url("/size/1024"), sampleBody(1024) },
        { "over 11 KB", server.url("/size/30000"), sampleBody(30000) },
        { "chunked, under the cap", server.url("/chunked/204800"), QString(204800, u'z') },
        { "exactly the size cap", server.url("/cap"), QString(kMaxBodyBytes, u'z') },
        { "404 page with its body", server.url("/missing"), "<html>Not here</html>", 404 },
        { "500 page with its body", server.url("/broken"), "<html>Internal Server Error</html>", 500 },
        { "400 page with its body", odd.url("/400"), "body", 400 },
        { "redirect followed", server.url("/hop"), "<html>hello</html>" },
        { "malformed chunked body", odd.url("/badchunks"), {} },
        { "Windows-1252 page", server.url("/labelled/windows-1252"), QStringLiteral("caf\u00C3\u00A9") },
        { "bogus charset name", server.url("/labelled/no-such-charset-42"), QStringLiteral("caf\u00E9") },
        { "refused connection", test::refusedUrl(), {}, 0 },
        { "connection dropped mid-body", odd.url("/drop"), {}, 0 },
        { "407 from a server", odd.url("/407"), {}, 0 },
        { "a status of two digits", odd.url("/42"), {}, 0 },
        { "redirect loop", server.url("/loop"), {}, 0 },
        { "drip past the timeout", odd.url("/drip"), "Error 35761 Timeout", 0, 1 },
        { "50 MB declared", odd.url("/huge"), overCap, 0, 1 },
        { "9 MiB, then more slowly", odd.url("/big"), overCap, 0 }, // the cap, long before the timeout
        { "no host", "http://", "Error 35763 Invalid URL", 0 },
        { "unsupported scheme", "ftp://127.0.0.1/file", "Error 35763 Invalid URL", 0 },
    };
    for (const auto& c : cases) {
        const Outcome run = runRequest(c.url, c.timeout);
        EXPECT_TRUE(run.statesDuringExecute.isEmpty()) << c.name << ": nothing is raised inside Execute";
        EXPECT_FALSE(run.executingAfter) << c.name << ": idle at the end";
        EXPECT_LT(run.pumps, 200) << c.name << ": the wait sleeps until something happens";
        const FetchResult fetched = fetchBlocking(QUrl(c.url), c.timeout);
        EXPECT_EQ(fetched.ok, c.status != 0) << c.name << ": " << fetched.error.toStdString();
        EXPECT_EQ(decodeBody(fetched.body, fetched.contentType), c.status ? c.body : QString()) << c.name;
        if (!c.status) {
            EXPECT_EQ(run.states.value(run.states.size() - 1, -1), TC::icError) << c.name;
            EXPECT_EQ(run.states.count(TC::icError) + run.states.count(TC::icResponseCompleted), 1) << c.name;
            EXPECT_FALSE(run.executingInError) << c.name;
            EXPECT_TRUE(QRegularExpression("^Error [1-9]\\d* \\S").match(run.errorCaption).hasMatch())
                << c.name << ": " << run.errorCaption.toStdString();
            if (!c.body.isEmpty())
                EXPECT_EQ(run.errorCaption, c.body) << c.name;
            EXPECT_EQ(fetched.error, run.errorCaption.section(u' ', 2)) << c.name << ": both fail alike";
            continue;
        }
        ASSERT_EQ(run.states, kAnswered) << c.name << " " << run.errorCaption.toStdString();
        EXPECT_EQ(fetched.status, c.status) << c.name;
        EXPECT_EQ(run.body, c.body) << c.name;
        EXPECT_EQ(run.pieceLengths, expectedPieces(int(c.body.size()))) << c.name;
        EXPECT_TRUE(run.executingInCompleted) << c.name << ": still executing while the body is read";
    }
    EXPECT_EQ(fetchBlocking(QUrl(server.url("/hop")), 5).finalUrl, QUrl(server.url("/page")));
    // A piece never ends between the two halves of a character outside the BMP.
    QStringList pieces;
    for (qsizetype at = 0; at < 6;)
        pieces << bodyPiece(QStringLiteral("a\U0001F600b\U0001F600"), at, 2);
    EXPECT_EQ(pieces.join(u'|'), QStringLiteral("a|\U0001F600|b|\U0001F600"));
    qsizetype one = 1;
    EXPECT_EQ(bodyPiece("ab", one, -1), QString()) << "no piece of a negative size";
    EXPECT_EQ(bodyPiece("a\U0001F600", one, 1).size(), 1) << "a piece of one may end inside a character";
    EXPECT_EQ(bodyPiece(QString("a") + QChar(0xD800), one = 0, 2).size(), 2) << "a last lone half stays";
    // OpenURL blocks and raises nothing, and tells a timeout from other failures.
    FakePlatform p;
    Recorded recorded;
    auto& [inet, run] = recorded;
    inet.setRequestTimeout(1);
    EXPECT_EQ(inet.OpenURL(server.url("/size/300")), sampleBody(300));
    EXPECT_FALSE(inet.StillExecuting());
    for (const auto& [url, code] : { std::pair { odd.url("/drip"), TC::kErrorTimeout },
             { test::refusedUrl(), TC::kErrorFetchFailed } }) {
        EXPECT_EQ(inet.OpenURL(url), QString()) << url.toStdString();
        EXPECT_EQ(inet.ResponseCode(), code) << url.toStdString();
        EXPECT_FALSE(inet.ResponseInfo().isEmpty()) << url.toStdString();
    }
    pumpAWhile(p);
    EXPECT_TRUE(run.states.isEmpty());
    EXPECT_EQ(slowAnswersSentWhole, 0) << "both fetches hang up at their timeout or size cap";

    // Every header line goes out as typed; a line that is no header is left out.
    const std::pair<QString, QString> headerCases[] = {
        { kHeaders, "Referer: http://www.example.com/\nUser-Agent: Tarnwick test\n" },
        { "Referer: http://ref.example/;x=(1)\nUser-Agent: Agent/1.0  with  spaces\nX-Extra: one",
            "Referer: http://ref.example/;x=(1)\nUser-Agent: Agent/1.0  with  spaces\nX-Extra: one\n" },
        { "no colon here\r\nBad Name: y\r\n: no name\r\nUser-Agent: kept", "User-Agent: kept\n" },
        { QStringLiteral("User-Agent: Caf\u00E9Bot"), QStringLiteral("User-Agent: Caf\u00E9Bot\n") },
    };
    for (const auto& [block, sent] : headerCases)
        EXPECT_EQ(runRequest(server.url("/echo"), 5, block).body, sent) << block.toStdString();

    // A sibling control waits as long; idle connections.
    inet.setRequestTimeout(7);
    EXPECT_EQ(inet.makeSibling()->RequestTimeout(), 7);

    // The echoed client port tells a kept connection: a run over thousands of sites must not keep them all.
    QStringList ports;
    for (int host : { 2, 3, 4, 5, 2, 6, 3, 7, 6, 2, 6 }) {
        run.body.clear();
        inet.Execute(server.urlOn(host, host == 7 ? "/to8" : "/port"), "GET", {}, {});
        waitIdle(inet, p, run);
        ports << run.body;
    }
    EXPECT_EQ(ports[4], ports[0]) << "among the last four hosts";
    EXPECT_NE(ports[6], ports[1]) << "a fifth host closed the others";
    EXPECT_EQ(ports[8], ports[5]) << "and counts as the first of the next four";
    EXPECT_NE(ports[10], ports[5]) << "7 sent it to 8: a fifth host again";
    EXPECT_EQ(std::pair(inet.ResponseCode(), inet.ResponseInfo()), std::pair(0, QString())) << "nothing kept";
    inet.Execute(server.url("/page"), "POST", {}, {});
    waitIdle(inet, p, run);
    EXPECT_EQ(run.errorCaption, "Error 35764 Unsupported operation POST") << "only GET is asked";
    // Without a handler nobody reads the body: the answer ends the request all the same.
    QtTransferControl bare;
    bare.Execute(server.url("/page"), "GET", {}, {});
    for (QDeadlineTimer guard(10000); bare.StillExecuting() && !guard.hasExpired();)
        p.waitForEvents(100);
    EXPECT_FALSE(bare.StillExecuting());
    EXPECT_EQ(bare.GetChunk(1024), "<html>hello</html>") << "only once the answer is there";

    // Cancelled, replaced and destroyed requests stay silent.
    {
        Recorded recorded;
        auto& [inet, run] = recorded;
        inet.Execute(server.url("/page"), "GET", {}, kHeaders);
        inet.Cancel();
        EXPECT_FALSE(inet.StillExecuting());
        pumpAWhile(p);
        EXPECT_TRUE(run.states.isEmpty()) << "cancelled before the first pump";
    }
    for (const bool again : { false, true }) {
        // First bytes in, the server still sending: cancelled, or asked for another page that alone reports.
        Recorded recorded;
        auto& [inet, run] = recorded;
        const auto recorder = inet.StateChanged;
        inet.StateChanged = [&](int state) {
            recorder(state);
            if (state == TC::icReceivingResponse && run.states.size() == 2) {
                // A piece asked for before the answer is whole is none, and ends nothing.
                EXPECT_TRUE(inet.GetChunk(1024).isEmpty() && inet.StillExecuting()) << again;
                again ? inet.Execute(server.url("/page"), "GET", {}, kHeaders) : inet.Cancel();
            }
        };
        trickleEnded = false;
        inet.Execute(server.url("/trickle"), "GET", {}, kHeaders);
        waitIdle(inet, p, run);
        for (QDeadlineTimer guard(5000); !trickleEnded && !guard.hasExpired();)
            (void)p.waitForEvents(20);
        pumpAWhile(p);
        EXPECT_EQ(run.states,
            QList<int>({ TC::icConnecting, TC::icReceivingResponse }) + (again ? kAnswered : QList<int>()))
            << again;
        EXPECT_EQ(run.body, again ? "<html>hello</html>" : "") << again;
        EXPECT_FALSE(inet.StillExecuting()) << again;
        EXPECT_FALSE(trickleTaken) << again << ": the server was hung up on";
    }
    {
        // A new Execute replaces a request whose notification is still queued; only the new one reports,
        // and not again when its time would have run out.
        Recorded recorded;
        auto& [inet, run] = recorded;
        inet.setRequestTimeout(1);
        inet.Execute(server.url("/trickle"), "GET", {}, kHeaders);
        inet.Execute(server.url("/page"), "GET", {}, kHeaders);
        waitIdle(inet, p, run);
        for (QDeadlineTimer past(1200); !past.hasExpired();)
            (void)p.waitForEvents(100);
        EXPECT_EQ(run.body, "<html>hello</html>");
        EXPECT_EQ(run.states, kAnswered) << "nothing of the replaced request";
        EXPECT_EQ(inet.ResponseCode(), 0) << "nor a timeout once it was over";
    }
    bool called = false;
    auto doomed = std::make_unique<QtTransferControl>();
    doomed->StateChanged = [&](int) { called = true; };
    doomed->Execute(server.url("/trickle"), "GET", {}, kHeaders);
    doomed.reset();
    pumpAWhile(p);
    EXPECT_FALSE(called) << "destroyed while running";
}

} // namespace
} // namespace tarnwick
