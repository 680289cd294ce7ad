// Text from the network: the bodies of pages and the escaped text of service answers.
#include "net/blocking_fetch.h"
#include "net/service_answer.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

TEST(DecodeBody, LabelsAndFallbacks)
{
    const QString quoted = QStringLiteral("\u201Ccaf\u00E9\u201D");
    const QByteArray cp1252 = "\223caf\351\224"; // quotes and an e-acute in Windows-1252
    const QString cafe = QStringLiteral("caf\u00E9");
    const QString httpEquiv = "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=iso-8859-1\">";
    const std::tuple<const char*, QByteArray, QString, QString> cases[] = {
        { "UTF-8 by header", "caf\xc3\xa9", "text/html; charset=UTF-8", cafe },
        { "Windows-1252 by header", cp1252, "text/html; charset=windows-1252", quoted },
        { "quoted charset in header", cp1252, "text/html; charset=\"Windows-1252\"", quoted },
        { "ISO-8859-1 read as Windows-1252", cp1252, "text/html; charset=ISO-8859-1", quoted },
        { "US-ASCII read as Windows-1252", cp1252, "text/html; charset=us-ascii", quoted },
        { "meta charset", "<meta charset=\"windows-1251\">\xea\xf3\xf5\xed\xff", "text/html",
            "<meta charset=\"windows-1251\">" + QStringLiteral("\u043a\u0443\u0445\u043d\u044f") },
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
        { "control characters for a label", "caf\xc3\xa9", "text/html; charset=\x01\x02", cafe },
        { "over-long label", "caf\xc3\xa9", "text/html; charset=" + QString(500, u'x'), cafe },
        { "meta claims UTF-16", "<meta charset=utf-16>\xc3\xa9", "", "<meta charset=utf-16>\u00E9" },
        { "UTF-32, bytes cut short", QByteArray("a\0\0\0b", 5), "text/html; charset=utf-32", "a\uFFFD" },
        { "UTF-16, odd bytes", QByteArray("a\0b", 3), "text/html; charset=utf-16le", "a\uFFFD" },
    };
    for (const auto& [name, body, contentType, want] : cases)
        EXPECT_EQ(decodeBody(body, contentType), want) << name;
}

TEST(UnescapeHtml, ReferencesToPrintableCharactersOnly)
{
    EXPECT_EQ(unescapeHtml("&#65;&#x42;&#X43;&quot;&amp;lt;&apos;&#31;&#32;&#xD7FF;&#xD800;&#xDFFF;&#x10FFFF;"
                           "&#x110000;&#xZ;&nbsp;"),
        "ABC\"&lt;'&#31; \xED\x9F\xBF&#xD800;&#xDFFF;\xF4\x8F\xBF\xBF&#x110000;&#xZ;&nbsp;");
}

} // namespace
} // namespace tarnwick
