#include "listtools/clipboard_export.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

TEST(CsvFormulas, FieldsThatASpreadsheetWouldRunAreText)
{
    struct Case {
        const char* name;
        QString title;
        QString field;
    };
    const Case cases[] = {
        { "hyperlink", "=HYPERLINK(\"http://x.example/\")", "\"'=HYPERLINK(\"\"http://x.example/\"\")\"" },
        { "command", "=cmd|' /C calc'!A0", "'=cmd|' /C calc'!A0" },
        { "plus", "+1 offer", "'+1 offer" },
        { "minus", "-50% today", "'-50% today" },
        { "at", "@SUM(1)", "'@SUM(1)" },
        { "tab", "\t=1", "'\t=1" },
        { "quoted for its comma", "=1,2", "\"'=1,2\"" },
        { "sign inside a field", "a=b-c", "a=b-c" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(spiderDataToCsv(c.title + "\r\nD\r\nhttp://u.example/\r\n\r\n"),
            c.field + ",D,http://u.example/\r\n")
            << c.name;
}

} // namespace
} // namespace tarnwick
