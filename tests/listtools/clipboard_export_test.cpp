#include "listtools/clipboard_export.h"
#include "support/test_window.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

TEST(SpiderDataToCsv, RowsFieldsQuotingAndFormulasMadeText)
{
    const struct {
        const char* name;
        QString data;
        QString csv;
    } cases[] = {
        { "two plain records", "T1\r\nD1\r\nhttp://a/\r\n\r\nT2\r\nD2\r\nhttp://b/\r\n\r\n",
            "T1,D1,http://a/\r\nT2,D2,http://b/\r\n" },
        { "comma in a title", "Smith, Jones and Co\r\nD\r\nU\r\n\r\n", "\"Smith, Jones and Co\",D,U\r\n" },
        { "quotes doubled and quoted", "T\r\nsay \"hi\" now\r\nU\r\n\r\n", "T,\"say \"\"hi\"\" now\",U\r\n" },
        { "description only record", "D\r\nU\r\n\r\n", "D,U\r\n" },
        { "html link", "<b>T</b>\r\nD\r\n<a href=\"U\">U</a>\r\n\r\n",
            "<b>T</b>,D,\"<a href=\"\"U\"\">U</a>\"\r\n" },
        { "three breaks: the next row opens empty", "A\r\nB\r\n\r\n\r\nC\r\nD\r\n\r\n", "A,B\r\n,C,D\r\n" },
        { "not sign in the data splits a field", "a\u00acb\r\nc\r\n\r\n", "a,b,c\r\n" },
        { "no final empty line", "A\r\nB", "A,B\r\n" },
        { "empty", "", "" },
        // A spreadsheet would run these as formulas; the apostrophe makes them text.
        { "hyperlink", "=HYPERLINK(\"http://x.example/\")\r\nD\r\n\r\n",
            "\"'=HYPERLINK(\"\"http://x.example/\"\")\",D\r\n" },
        { "command", "T\r\n=cmd|' /C calc'!A0\r\n\r\n", "T,'=cmd|' /C calc'!A0\r\n" },
        { "plus", "+1 offer\r\n-50% today\r\n@SUM(1)\r\n\t=1", "'+1 offer,'-50% today,'@SUM(1),'\t=1\r\n" },
        { "quoted for its comma", "=1,2\r\nD", "\"'=1,2\",D\r\n" },
        { "sign inside a field", "a=b-c\r\nD", "a=b-c,D\r\n" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(spiderDataToCsv(c.data), c.csv) << c.name;
}

TEST(ClipboardExport, PlainHtmlAndCsvForms)
{
    const QString data = "T\r\nD, more\r\nU\r\n\r\n";
    const QStringList added { "Added to clipboard!" };
    const struct {
        const char* name;
        QString data;
        int csv;
        int createPages;
        QString clipboard; // "earlier" when it is left as it was
        QStringList messages;
    } cases[] = {
        { "plain", data, 0, 0, data, added },
        { "one line of html", data, 0, 1, "T<br>D, more<br>U<br><br>", added },
        { "csv", data, 1, 0, "T,\"D, more\",U\r\n", added },
        { "csv wins over html", data, 1, 1, "T,\"D, more\",U\r\n", added },
        { "no spider data", "", 1, 1, "earlier", { "No spider data!" } },
    };
    for (const auto& c : cases) {
        test::TestWindow w;
        w.p.clipboard = "earlier";
        w.f().RichTextBox1.setText(c.data);
        w.f().Check7.setValue(c.csv);
        w.f().Check3.setValue(c.createPages);
        Command5_Click(w.f(), w.p);
        EXPECT_EQ(w.p.clipboard, c.clipboard) << c.name;
        EXPECT_EQ(w.p.clipboardSet, !c.data.isEmpty()) << c.name;
        EXPECT_EQ(w.p.messages, c.messages) << c.name;
        EXPECT_EQ(w.f().RichTextBox1.Text(), c.data) << c.name;
    }
}

} // namespace
} // namespace tarnwick
