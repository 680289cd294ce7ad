#include "net/blocking_fetch.h"
#include "spider/page_reading.h"
#include "support/fixtures.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

using V = PageVerdict;

// Heads as blog engines, site generators, app builds, news sites and minifiers serve them
// (fixtures/spider/heads); readings.tsv holds for each the Content-Type sent and the verdict, title and
// description a reader sees ("&#8217;" is stored as a plain apostrophe, where a browser shows "’").
struct Head {
    QString file;
    QString type;
    V verdict;
    QString title;
    QString description;
    QByteArray bytes() const { return test::readFixture(QStringLiteral("spider/heads/%1.html").arg(file)); }
    QString text() const { return decodeBody(bytes(), type); }
};

const QList<Head>& heads()
{
    static const QList<Head> all = [] {
        QList<Head> out;
        const QString table = QString::fromUtf8(test::readFixture("spider/heads/readings.tsv"));
        for (const QString& line : table.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            const QStringList f = line.split(QLatin1Char('\t'));
            out.append({ f.value(0), f.value(1),
                f.value(2) == QLatin1String("Accepted") ? V::Accepted : V::NoDescription, f.value(3),
                f.value(4) });
        }
        return out;
    }();
    return all;
}

TEST(PageReading, RealWorldHeads)
{
    ASSERT_EQ(heads().size(), 45);
    for (const Head& head : heads()) {
        const PageReading page = readPage(head.text());
        EXPECT_EQ(pageVerdictText(page.verdict), pageVerdictText(head.verdict)) << head.file.toStdString();
        EXPECT_EQ(page.title, head.title) << head.file.toStdString();
        EXPECT_EQ(page.description, head.description) << head.file.toStdString();
    }
}

TEST(PageReading, RulesAndOddShapes)
{
    const std::string pad(1100, ' ');
    struct Case {
        const char* name;
        std::string head;
        V verdict;
        const char* title;
        const char* description;
    };
    const Case cases[] = {
        { "500 in first 1024", "<title>Wide table page</title><table width=500>", V::ServerError, "", "" },
        { "500 later, after a comment with dashes inside",
            "<!-- a -- b" + pad
                + "--><title>Room 500 offers</title><meta name=description content='Six rooms'>",
            V::Accepted, "Room 500 offers", "Six rooms" },
        { "server error text", "<TITLE>Internal Server Error</TITLE>", V::ServerError, "", "" },
        { "escaped markup", "<title>&amp;lt;b&amp;gt;Shop</title>", V::TitleRefused, "<b>Shop", "" },
        { "five characters", "<title> Fiv \x7f e </title>", V::TitleRefused, "Fiv e", "" },
        { "three emoji", "<title>\xF0\x9F\x8E\x89\xF0\x9F\x8E\x89\xF0\x9F\x8E\x89</title>", V::TitleRefused,
            "\xF0\x9F\x8E\x89\xF0\x9F\x8E\x89\xF0\x9F\x8E\x89", "" },
        { "script title", "<title>x language=&quot;javascript&quot;</title>", V::TitleRefused,
            "x language=\"javascript\"", "" },
        { "unclosed title", "<title>Open <meta name=description content='Six rooms'>", V::NoTitle, "", "" },
        { "title in a comment only", "<!-- <title>Old title here</title> -->", V::NoTitle, "", "" },
        { "title in the body", "<body><title>Body title</title>", V::NoTitle, "", "" },
        { "raw >", "<title>Angle page</title><meta name=description content=\"a > b and more\">",
            V::DescriptionRefused, "Angle page", "a > b and more" },
        { "decoded <", "<title>Angle page</title><meta name=description content=\"a &lt;script&gt; x\">",
            V::DescriptionRefused, "Angle page", "a <script> x" },
        { "short description", "<title>Angle page</title><meta name=description content=abcde>",
            V::DescriptionRefused, "Angle page", "abcde" },
        { "blank description", "<title>Angle page</title><meta name=description content=\"&nbsp; &nbsp;\">",
            V::DescriptionRefused, "Angle page", "" },
        { "no content, then one",
            "<title>Two metas</title><meta NAME = \"Description\"><meta content = \"Second one\"\n"
            "\tname=\"DESCRIPTION\"><meta name=description content='Third one'>",
            V::Accepted, "Two metas", "Second one" },
        { "markup inside attributes, a lone \"<\"",
            "<head><a title='<meta name=description content=Wrong>'><z title='<title>Wrong</title>'><meta=x "
            "name=description content=Wrong> 3 <= 4 "
            "<meta name=description content='Right one'><title>Right title</title></head><body>",
            V::Accepted, "Right title", "Right one" },
        { "references",
            "<title>&copy2024 Acme &notit; &#x41&#66a&#x2A&#x2f&#x2a&#x2F&#39;&Zeta;&Alpha;&auml;&zeta; "
            "&#;&#</title><meta name=description content=\"?a=1&copy=2&copy0&copy9&copy 24 "
            "&#0;&#x110000;&#x10FFFF;&#xD800;&#xDFFF; &#150;&#x80;&#x9F; &foo; &copy\">",
            V::Accepted, "©2024 Acme ¬it; ABa*/*/'ΖΑäζ &#;&#",
            "?a=1&copy=2&copy0&copy9© 24 \xEF\xBF\xBD\xEF\xBF\xBD\xF4\x8F\xBF\xBF\xEF\xBF\xBD\xEF\xBF\xBD "
            "–€\u0178 "
            "&foo; ©" },
        { "old order decodes twice",
            "<title>&amp;hellip; &Auml;&auml; &NotEqualTilde;&CounterClockwiseContourIntegral;</title><meta "
            "name=description content='x\x1b[0m\x07y\xC2\xA0\xE2\x80\xA8z'>",
            V::Accepted, "… Ää \xE2\x89\x82\xCC\xB8∳", "x [0m y z" },
        { "closing look-alike in a script",
            "<script>a='</scripts>'</script ><title>Script page</title><meta name=description content='Six "
            "rooms'>",
            V::Accepted, "Script page", "Six rooms" },
        { "text opens the body", "<title>Stray text</title>Hello<meta name=description content='Six rooms'>",
            V::NoDescription, "Stray text", "" },
        { "the first of two titles",
            "<title>First one</title><title>Second</title><meta name=description content='Six rooms'>",
            V::Accepted, "First one", "Six rooms" },
        { "a quote never closed", "<title>Quote page</title><meta name=description content='Six rooms>",
            V::NoDescription, "Quote page", "" },
        { "cut inside a tag", "<title>Cut page</title><meta name=description content=Six_rooms ",
            V::NoDescription, "Cut page", "" },
        { "blanks do not", "<title>Blanks</title> \t\n\r\f<meta name=description content='Six rooms'>",
            V::Accepted, "Blanks", "Six rooms" },
    };
    for (const Case& c : cases) {
        const PageReading page = readPage(QString::fromStdString(c.head));
        EXPECT_EQ(pageVerdictText(page.verdict), pageVerdictText(c.verdict)) << c.name;
        EXPECT_EQ(page.title, QString::fromUtf8(c.title)) << c.name;
        EXPECT_EQ(page.description, QString::fromUtf8(c.description)) << c.name;
    }
    EXPECT_EQ(readPage({}).verdict, V::Empty);
    const auto refuseAll = [](const QString&) { return false; };
    EXPECT_EQ(readPage(QStringLiteral("<title>Cheap Hotels</title>"), refuseAll).verdict, V::Filtered);
}

} // namespace
} // namespace tarnwick
