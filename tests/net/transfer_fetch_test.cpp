// The blocking fetch and the body decoding under the keyword lookup and the transfer control.
#include "net/blocking_fetch.h"
#include "support/loopback_server.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

TEST(BlockingFetch, AnswersAndFailures)
{
    test::LoopbackServer server;
    server.serveCommonRoutes();
    server.server.Get("/declared-9mb", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(std::string(9 * 1024 * 1024, 'y'), "text/html");
    });
    server.start();

    struct Case {
        const char* name;
        QString url;
        int timeout;
        int status; // 0: the fetch fails
        QByteArray body; // the error text for a failing case, when it matters
    };
    const QByteArray overCap = "Response over 8388608 bytes";
    const Case cases[] = {
        { "plain page", server.url("/page"), 5, 200, "<html>hello</html>" },
        { "404 page keeps its body", server.url("/missing"), 5, 404, "<html>Not here</html>" },
        { "500 page keeps its body", server.url("/broken"), 5, 500, "<html>Internal Server Error</html>" },
        { "redirect followed", server.url("/hop"), 5, 200, "<html>hello</html>" },
        { "redirect loop", server.url("/loop"), 5, 0, {} },
        { "stall past the timeout", server.url("/stall"), 1, 0, "Timeout" },
        { "refused connection", test::refusedUrl(), 5, 0, {} },
        { "chunked body over the cap", server.url("/chunked/9437184"), 20, 0, overCap },
        { "declared length over the cap", server.url("/declared-9mb"), 20, 0, overCap },
        { "chunked body under the cap", server.url("/chunked/204800"), 20, 200, QByteArray(200 * 1024, 'z') },
        { "not a web address", "no such thing", 5, 0, {} },
        { "unsupported scheme", "ftp://127.0.0.1/x", 5, 0, {} },
    };
    for (const Case& c : cases) {
        const FetchResult r = fetchBlocking(QUrl(c.url), c.timeout);
        EXPECT_EQ(r.ok, c.status != 0) << c.name << ": " << r.error.toStdString();
        EXPECT_EQ(r.error.isEmpty(), c.status != 0) << c.name;
        if (c.status != 0) {
            EXPECT_EQ(r.status, c.status) << c.name;
            EXPECT_EQ(r.body, c.body) << c.name;
        } else {
            EXPECT_TRUE(r.body.isEmpty()) << c.name;
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
    const QByteArray cp1252 = "\x93"
                              "caf\xe9\x94";
    const QString cafe = QStringLiteral("caf\u00E9");
    const QString httpEquiv = "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=iso-8859-1\">";
    struct Case {
        const char* name;
        QByteArray body;
        QString contentType;
        QString want;
    };
    const Case cases[] = {
        { "UTF-8 by header", "caf\xc3\xa9", "text/html; charset=UTF-8", cafe },
        { "Windows-1252 by header", cp1252, "text/html; charset=windows-1252", quoted },
        { "quoted charset in header", cp1252, "text/html; charset=\"Windows-1252\"", quoted },
        { "ISO-8859-1 read as Windows-1252", cp1252, "text/html; charset=ISO-8859-1", quoted },
        { "US-ASCII read as Windows-1252", cp1252, "text/html; charset=us-ascii", quoted },
        { "meta charset", "<meta charset=\"windows-1252\">" + cp1252, "text/html",
            "<meta charset=\"windows-1252\">" + quoted },
        { "meta http-equiv", httpEquiv.toLatin1() + "\xe9", "", httpEquiv + QChar(0xE9) },
        { "header outranks meta", "<meta charset=\"windows-1252\">caf\xc3\xa9", "text/html; charset=utf-8",
            "<meta charset=\"windows-1252\">" + cafe },
        { "Shift_JIS by header", "\x93\xfa\x96\x7b", "text/html; charset=Shift_JIS",
            QStringLiteral("\u65E5\u672C") },
        { "bogus header charset, valid UTF-8", "caf\xc3\xa9", "text/html; charset=no-such-charset-42", cafe },
        { "bogus header charset, invalid UTF-8", "caf\xe9", "text/html; charset=no-such-charset-42", cafe },
        { "no label, valid UTF-8", "\xe2\x80\x9cx", "text/html", QStringLiteral("\u201Cx") },
        { "no label, invalid UTF-8", "\x93x\x94", "", QStringLiteral("\u201Cx\u201D") },
        { "UTF-8 byte order mark", "\xef\xbb\xbf" + QByteArray("caf\xc3\xa9"),
            "text/html; charset=windows-1252", cafe },
        { "empty body", "", "text/html; charset=windows-1252", QString() },
    };
    for (const Case& c : cases)
        EXPECT_EQ(decodeBody(c.body, c.contentType), c.want) << c.name;

    // Random bytes behind every kind of label, including names a converter might choke on.
    const QStringList types = { "", "text/html; charset=utf-8", "text/html; charset=windows-1252",
        "text/html; charset=Shift_JIS", "text/html; charset=utf-16", "text/html; charset=utf-32",
        "text/html; charset=\x01\x02", "text/html; charset=" + QString(500, 'x'), "charset=" };
    quint32 state = 12345;
    for (int round = 0; round < 200; ++round) {
        QByteArray body = round % 3 == 0 ? "<meta charset=\"shift_jis\">" : "";
        for (int i = 0; i < round * 7 % 300; ++i) {
            state = state * 1103515245u + 12345u;
            body.append(char(state >> 24));
        }
        for (const QString& type : types)
            (void)decodeBody(body, type);
    }
}

} // namespace
} // namespace tarnwick
