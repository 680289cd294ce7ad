// The blocking fetch and the body decoding under the keyword lookup and the transfer control.
#include "net/blocking_fetch.h"
#include "support/fixtures.h"
#include "support/loopback_server.h"

#include <QTcpServer>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace tarnwick {
namespace {

using test::LoopbackServer;

// A port on 127.0.0.1 that nothing listens on: bound once to learn a free number, then closed.
int closedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const int port = probe.serverPort();
    probe.close();
    return port;
}

// A body streamed in 64 KB chunks without a length, so only the running count can stop it.
void serveChunked(httplib::Response& res, size_t total)
{
    res.set_chunked_content_provider("text/html", [total](size_t offset, httplib::DataSink& sink) {
        static const std::string block(64 * 1024, 'z');
        if (offset >= total) {
            sink.done();
            return true;
        }
        return sink.write(block.data(), std::min(block.size(), total - offset));
    });
}

TEST(BlockingFetch, AnswersAndFailures)
{
    LoopbackServer server;
    server.server.Get("/page", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("<html>hello</html>", "text/html; charset=utf-8");
    });
    server.server.Get("/missing", [](const httplib::Request&, httplib::Response& res) {
        res.status = 404;
        res.set_content("<html>Not here</html>", "text/html");
    });
    server.server.Get("/broken", [](const httplib::Request&, httplib::Response& res) {
        res.status = 500;
        res.set_content("<html>Internal Server Error</html>", "text/html");
    });
    server.server.Get(
        "/hop", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/page"); });
    server.server.Get(
        "/loop", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/loop"); });
    server.server.Get("/stall", [](const httplib::Request&, httplib::Response& res) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2000));
        res.set_content("late", "text/plain");
    });
    server.server.Get("/chunked-9mb",
        [](const httplib::Request&, httplib::Response& res) { serveChunked(res, 9 * 1024 * 1024); });
    server.server.Get("/chunked-small",
        [](const httplib::Request&, httplib::Response& res) { serveChunked(res, 200 * 1024); });
    server.server.Get("/declared-9mb", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(std::string(9 * 1024 * 1024, 'y'), "text/html");
    });
    server.start();

    struct Case {
        const char* name;
        QString url;
        int timeout;
        bool ok;
        int status;
        QByteArray body; // the error text for a failing case, when it matters
    };
    const QString refused = QStringLiteral("http://127.0.0.1:%1/").arg(closedPort());
    const Case cases[] = {
        { "plain page", server.url("/page"), 5, true, 200, "<html>hello</html>" },
        { "404 page keeps its body", server.url("/missing"), 5, true, 404, "<html>Not here</html>" },
        { "500 page keeps its body", server.url("/broken"), 5, true, 500,
            "<html>Internal Server Error</html>" },
        { "redirect followed", server.url("/hop"), 5, true, 200, "<html>hello</html>" },
        { "redirect loop", server.url("/loop"), 5, false, 0, {} },
        { "stall past the timeout", server.url("/stall"), 1, false, 0, "Timeout" },
        { "refused connection", refused, 5, false, 0, {} },
        { "chunked body over the cap", server.url("/chunked-9mb"), 20, false, 0,
            "Response over 8388608 bytes" },
        { "declared length over the cap", server.url("/declared-9mb"), 20, false, 0,
            "Response over 8388608 bytes" },
        { "chunked body under the cap", server.url("/chunked-small"), 20, true, 200,
            QByteArray(200 * 1024, 'z') },
        { "not a web address", QStringLiteral("no such thing"), 5, false, 0, {} },
        { "unsupported scheme", QStringLiteral("ftp://127.0.0.1/x"), 5, false, 0, {} },
    };
    for (const Case& c : cases) {
        const FetchResult r = fetchBlocking(QUrl(c.url), c.timeout);
        EXPECT_EQ(r.ok, c.ok) << c.name << ": " << r.error.toStdString();
        if (c.ok) {
            EXPECT_EQ(r.status, c.status) << c.name;
            EXPECT_EQ(r.body, c.body) << c.name;
            EXPECT_TRUE(r.error.isEmpty()) << c.name;
        } else {
            EXPECT_TRUE(r.body.isEmpty()) << c.name;
            EXPECT_FALSE(r.error.isEmpty()) << c.name;
            if (!c.body.isEmpty())
                EXPECT_EQ(r.error, QString::fromLatin1(c.body)) << c.name << ": the error names the cause";
        }
    }
    EXPECT_EQ(fetchBlocking(QUrl(server.url("/hop")), 5).finalUrl, QUrl(server.url("/page")));
    EXPECT_EQ(fetchBlocking(QUrl(server.url("/page")), 5).contentType, "text/html; charset=utf-8");
}

TEST(DecodeBody, LabelsAndFallbacks)
{
    const QString quoted = QStringLiteral("\u201Ccaf\u00E9\u201D");
    struct Case {
        const char* name;
        QByteArray body;
        QString contentType;
        QString want;
    };
    const Case cases[] = {
        { "UTF-8 by header", "caf\xc3\xa9", "text/html; charset=UTF-8", QStringLiteral("caf\u00E9") },
        { "Windows-1252 by header",
            "\x93"
            "caf\xe9\x94",
            "text/html; charset=windows-1252", quoted },
        { "quoted charset in header",
            "\x93"
            "caf\xe9\x94",
            "text/html; charset=\"Windows-1252\"", quoted },
        { "ISO-8859-1 read as Windows-1252",
            "\x93"
            "caf\xe9\x94",
            "text/html; charset=ISO-8859-1", quoted },
        { "US-ASCII read as Windows-1252",
            "\x93"
            "caf\xe9\x94",
            "text/html; charset=us-ascii", quoted },
        { "meta charset",
            "<meta charset=\"windows-1252\">\x93"
            "caf\xe9\x94",
            "text/html", QStringLiteral("<meta charset=\"windows-1252\">") + quoted },
        { "meta http-equiv",
            "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=iso-8859-1\">\xe9", "",
            QStringLiteral(
                "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=iso-8859-1\">\u00E9") },
        { "header outranks meta", "<meta charset=\"windows-1252\">caf\xc3\xa9", "text/html; charset=utf-8",
            QStringLiteral("<meta charset=\"windows-1252\">caf\u00E9") },
        { "Shift_JIS by header", "\x93\xfa\x96\x7b", "text/html; charset=Shift_JIS",
            QStringLiteral("\u65E5\u672C") },
        { "bogus header charset, valid UTF-8", "caf\xc3\xa9", "text/html; charset=no-such-charset-42",
            QStringLiteral("caf\u00E9") },
        { "bogus header charset, invalid UTF-8", "caf\xe9", "text/html; charset=no-such-charset-42",
            QStringLiteral("caf\u00E9") },
        { "no label, valid UTF-8",
            "\xe2\x80\x9c"
            "x",
            "text/html", QStringLiteral("\u201Cx") },
        { "no label, invalid UTF-8", "\x93x\x94", "", QStringLiteral("\u201Cx\u201D") },
        { "UTF-8 byte order mark",
            "\xef\xbb\xbf"
            "caf\xc3\xa9",
            "text/html; charset=windows-1252", QStringLiteral("caf\u00E9") },
        { "empty body", "", "text/html; charset=windows-1252", QString() },
    };
    for (const Case& c : cases)
        EXPECT_EQ(decodeBody(c.body, c.contentType), c.want) << c.name;
}

TEST(DecodeBody, FixturePagesDecode)
{
    EXPECT_TRUE(decodeBody(test::readFixture("net/cp1252_meta.html"), "text/html")
                    .contains(QStringLiteral("<title>\u201CCaf\u00E9 cr\u00E8me\u201D</title>")));
    EXPECT_TRUE(decodeBody(test::readFixture("net/cp1252_plain.html"), "text/html; charset=windows-1252")
                    .contains(QStringLiteral("<title>\u201CCaf\u00E9 cr\u00E8me\u201D</title>")));
}

TEST(DecodeBody, AnyBytesDecodeWithoutCrashing)
{
    // Random bytes behind every kind of label, including names a converter might choke on.
    const QStringList types = { "", "text/html; charset=utf-8", "text/html; charset=windows-1252",
        "text/html; charset=Shift_JIS", "text/html; charset=utf-16", "text/html; charset=utf-32",
        "text/html; charset=\x01\x02", "text/html; charset=" + QString(500, 'x'), "charset=" };
    quint32 state = 12345;
    for (int round = 0; round < 200; ++round) {
        QByteArray body;
        if (round % 3 == 0)
            body = "<meta charset=\"shift_jis\">";
        const int size = round * 7 % 300;
        for (int i = 0; i < size; ++i) {
            state = state * 1103515245u + 12345u;
            body.append(char(state >> 24));
        }
        for (const QString& type : types)
            (void)decodeBody(body, type);
    }
    SUCCEED();
}

} // namespace
} // namespace tarnwick
