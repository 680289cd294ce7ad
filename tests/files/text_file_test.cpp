#include "files/dialog_filter.h"
#include "files/text_file_reader.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

QStringList splitLines(const QString& text)
{
    QStringList lines;
    LineSplitter splitter(text);
    QStringView line;
    while (splitter.next(line))
        lines.append(line.toString());
    return lines;
}

TEST(LineSplitter, BreaksAtCrLfLoneCrAndLoneLf)
{
    const struct {
        const char* name;
        QString text;
        QStringList lines;
    } cases[] = { { "empty text", "", {} }, { "crlf", "a\r\nb\r\n", { "a", "b" } },
        { "lone cr", "a\rb\r", { "a", "b" } }, { "lone lf", "a\nb\n", { "a", "b" } },
        { "mixed", "a\r\nb\rc\nd", { "a", "b", "c", "d" } },
        { "last line without break", "a\r\nb", { "a", "b" } },
        { "lf cr is two breaks", "a\n\rb", { "a", "", "b" } },
        { "empty lines kept", "\r\n\r\nx\r\n\r\n", { "", "", "x", "" } },
        { "cr before crlf", "a\r\r\nb", { "a", "", "b" } }, { "break alone", "\r\n", { "" } } };
    for (const auto& c : cases)
        EXPECT_EQ(splitLines(c.text), c.lines) << c.name;
}

TEST(DecodeFileText, Utf8Windows1252AndByteOrderMark)
{
    const struct {
        const char* name;
        QByteArray bytes;
        QString text;
    } cases[] = { { "ascii", "plain", "plain" }, { "utf-8", "caf\xc3\xa9", QString::fromUtf8("caf\xc3\xa9") },
        { "bom dropped",
            "\xef\xbb\xbf"
            "abc",
            "abc" },
        { "only a bom", "\xef\xbb\xbf", "" },
        { "windows-1252", "caf\xe9 \x93q\x94 \x80",
            QString::fromUtf8("caf\xc3\xa9 \xe2\x80\x9cq\xe2\x80\x9d \xe2\x82\xac") },
        { "cut-off utf-8 sequence at the end", "ab\xc3", QString::fromUtf8("ab\xc3\x83") },
        { "nul bytes kept", QByteArray("a\0b", 3),
            QString(QStringLiteral("a")) + QChar(0) + QStringLiteral("b") } };
    for (const auto& c : cases)
        EXPECT_EQ(decodeFileText(c.bytes), c.text) << c.name;
}

TEST(QtFilterFrom, TurnsBarPairsIntoQtFilters)
{
    const struct {
        QString filter;
        QString qt;
    } cases[] = { { "Keywords (*.kwrds)|*.kwrds", "Keywords (*.kwrds)" },
        { "Spider Data (*.sdata)|*.sdata|Template (*.tplate)|*.tplate",
            "Spider Data (*.sdata);;Template (*.tplate)" },
        { "Text|*.txt", "Text (*.txt)" }, { "Lists|*.urls;*.kwrds", "Lists (*.urls *.kwrds)" },
        { "|*.txt|Text", "*.txt;;Text" }, { "", "" } };
    for (const auto& c : cases)
        EXPECT_EQ(qtFilterFrom(c.filter), c.qt) << c.filter.toStdString();
}

} // namespace
} // namespace tarnwick
