#include "listtools/clipboard_export.h"
#include "support/test_window.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

const QString kNot = QString(QChar(0x00AC));

TEST(SpiderDataToCsv, RowsFieldsAndQuoting)
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
        { "three breaks start the next row with an empty field", "A\r\nB\r\n\r\n\r\nC\r\nD\r\n\r\n",
            "A,B\r\n,C,D\r\n" },
        { "not sign in the data splits a field", "a" + kNot + "b\r\nc\r\n\r\n", "a,b,c\r\n" },
        { "no final empty line", "A\r\nB", "A,B\r\n" },
        { "empty", "", "" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(spiderDataToCsv(c.data), c.csv) << c.name;
}

TEST(ClipboardExport, PlainHtmlAndCsvForms)
{
    const QString data = "T\r\nD, more\r\nU\r\n\r\n";
    const struct {
        const char* name;
        int csv;
        int createPages;
        QString clipboard;
    } cases[] = {
        { "plain", 0, 0, data },
        { "one line of html", 0, 1, "T<br>D, more<br>U<br><br>" },
        { "csv", 1, 0, "T,\"D, more\",U\r\n" },
        { "csv wins over html", 1, 1, "T,\"D, more\",U\r\n" },
    };
    for (const auto& c : cases) {
        test::TestWindow w;
        w.f().RichTextBox1.setText(data);
        w.f().Check7.setValue(c.csv);
        w.f().Check3.setValue(c.createPages);
        Command5_Click(w.f(), w.p);
        EXPECT_EQ(w.p.clipboard, c.clipboard) << c.name;
        EXPECT_EQ(w.p.messages, QStringList { "Added to clipboard!" }) << c.name;
        EXPECT_EQ(w.f().RichTextBox1.Text(), data) << c.name;
    }

    test::TestWindow w;
    w.p.clipboard = "earlier";
    Command5_Click(w.f(), w.p);
    EXPECT_EQ(w.p.messages, QStringList { "No spider data!" });
    EXPECT_FALSE(w.p.clipboardSet) << "empty spider data leaves the clipboard";
    EXPECT_EQ(w.p.clipboard, "earlier");
}

} // namespace
} // namespace tarnwick
