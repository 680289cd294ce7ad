// The keyword lookup against loopback stand-ins of suggestion services that answer today.
#include <gtest/gtest.h>

#include "app/form1.h"
#include "keywords/keyword_lookup.h"
#include "keywords/keyword_sources.h"
#include "keywords/server_countries.h"
#include "keywords/suggestion_lookup.h"
#include "net/address_template.h"
#include "support/fake_platform.h"
#include "support/fake_transfer_control.h"
#include "support/qt_printers.h"
#include "support/service_mimics.h"

namespace tarnwick {
namespace {

using test::CannedAnswer;

const char* const kBlocked
    = " instead of results. Tarnwick does not get around such pages: choose another source.";

// Answers as the services send them, chosen by the "case" parameter of the template, and what
// the keyword list and the message box show for each ("{site}" stands for the service).
const struct Shape {
    const char* name;
    CannedAnswer answer;
    QStringList entries;
    QString message;
} kShapes[] = {
    { "browser",
        { 200, test::openSearchAnswer("car", { "car insurance", "car  rental\\t", "CAR INSURANCE" }),
            "text/javascript; charset=UTF-8" },
        { "1 - car insurance", "2 - car rental" }, {} },
    { "latin1",
        { 200, "[\"k\374che\",[\"k\374che m\366bel\"]]",
            "application/x-suggestions+json; charset=ISO-8859-1" },
        { "1 - k\u00fcche m\u00f6bel" }, {} },
    { "cp1251",
        { 200, "[\"x\",[\"\xea\xf3\xf5\xed\xff\"]]", "application/x-suggestions+json; charset=windows-1251" },
        { "1 - \u043a\u0443\u0445\u043d\u044f" }, {} },
    { "escaped",
        { 200, "[&quot;car&quot;, [&quot;car &amp; van&quot;, &quot;cars&quot;]]",
            "application/x-suggestions+json" },
        { "1 - car & van", "2 - cars" }, {} },
    { "hostile", { 200, R"(["x",["a\r\nb <meta charset=utf-16>", "", 7, "  ", "c\u0000d"]])" },
        { "1 - a b <meta charset=utf-16>", "2 - c d" }, {} },
    { "empty", { 200, R"(["x",[]])" }, {}, "No results returned. Try again!" },
    { "objects", { 200, R"([{"phrase":"car"}])" }, {},
        "{site} answered JSON that is not a list of suggestions ([query, [completions]])." },
    { "limited", { 429, "Too Many Requests", "text/plain" }, {},
        "{site} refused: too many requests (HTTP 429). It limits how often it may be asked; wait before "
        "trying again." },
    { "captcha",
        { 429, "<html><body>Our systems have detected unusual traffic. <div class=g-recaptcha></div>",
            "text/html" },
        {}, QStringLiteral("{site} answered with a CAPTCHA page") + kBlocked },
    { "consent",
        { 200, "<html><body><h1>Before you continue</h1><form action='https://consent.example/'></form>",
            "text/html" },
        {}, QStringLiteral("{site} answered with a consent page") + kBlocked },
    { "script",
        { 200, "<html><noscript>Please enable JavaScript to continue.</noscript></html>", "text/html" }, {},
        QStringLiteral("{site} answered with a page that demands JavaScript") + kBlocked },
    { "page", { 200, "<!doctype html><html><body>Welcome</body></html>", "text/html; charset=utf-8" }, {},
        "{site} answered with an HTML page where JSON was expected: is the address right?" },
    { "down", { 503, "busy", "text/plain" }, {}, "{site} answered HTTP 503 instead of results." },
};

struct Suggest : ::testing::Test {
    Form1 f { std::make_unique<test::FakeTransferControl>() };
    test::FakePlatform p;
    test::ServiceMimic service { "/ac", [](const httplib::Request& req) {
                                    for (const Shape& shape : kShapes)
                                        if (req.get_param_value("case") == shape.name)
                                            return shape.answer;
                                    return CannedAnswer { 404, "", "text/plain" };
                                } };

    void enter(const QString& seed)
    {
        p.messages.clear();
        f.Text1.setText(seed);
        int key = 13;
        Text1_KeyPress(f, p, key);
    }
    void expectAtRest(const std::string& context)
    {
        EXPECT_EQ(f.Label7.Caption(), QString::number(f.List2.ListCount())) << context;
        EXPECT_EQ(f.Label8.Caption(), QString()) << context;
        EXPECT_EQ(f.Label8.BackColor(), colour::ButtonFace) << context;
        EXPECT_EQ(f.Caption(), QStringLiteral("Tarnwick")) << context;
    }
};

TEST_F(Suggest, EachShapeAndCharsetBecomesRankedEntriesOrOneMessage)
{
    for (const Shape& row : kShapes) {
        f.List2.AddItem(QStringLiteral("old - entry"));
        f.keywordSource = service.url(QStringLiteral("/ac?case=%1&q={searchTerms}").arg(row.name));
        enter(QStringLiteral("car"));
        EXPECT_EQ(f.List2.items(), row.entries) << row.name;
        QString message = row.message;
        message.replace(QStringLiteral("{site}"), service.url(QString()));
        EXPECT_EQ(p.messages, message.isEmpty() ? QStringList() : QStringList { message }) << row.name;
        expectAtRest(row.name);
    }
}

TEST_F(Suggest, NoAnswerNamesTheAddressTried)
{
    const QString address = test::silentAddress(QStringLiteral("/ac?q=car"));
    f.keywordSource = address.left(address.size() - 3) + QStringLiteral("{searchTerms}");
    enter(QStringLiteral("car"));
    ASSERT_EQ(p.messages.size(), 1);
    EXPECT_TRUE(p.messages[0].startsWith(QStringLiteral("No answer from ") + address + QStringLiteral(" (")))
        << p.messages[0].toStdString();
    EXPECT_EQ(f.List2.ListCount(), 0);
    expectAtRest("silent");
}

TEST_F(Suggest, ExpansionAsksEachSuffixAfterAPauseAndDropsRepeats)
{
    test::ServiceMimic echo { "/ex",
        [](const httplib::Request& req) {
            const std::string q = req.get_param_value("q");
            // Every answer repeats one suggestion, in varying case.
            const std::string shared = q.size() % 2 ? "Shared" : "SHARED";
            return CannedAnswer { 200, test::openSearchAnswer(q, { shared, q + " one" }) };
        } };
    f.keywordSource = echo.url(QStringLiteral("/ex?q={searchTerms}"));
    f.seedExpansion = SeedExpansion::On;
    for (int i = 0; i < 18; ++i)
        p.rndValues.insert(p.rndValues.end(), { 0.0, 0.999 }); // 4 ticks, then 12
    enter(QStringLiteral("car"));

    const QStringList seeds = expandedSeeds(QStringLiteral("car"));
    ASSERT_EQ(seeds.size(), 37);
    EXPECT_EQ(seeds.mid(0, 2), (QStringList { "car", "car a" }));
    EXPECT_EQ(seeds.mid(26, 2), (QStringList { "car z", "car 0" }));
    EXPECT_EQ(seeds.last(), QStringLiteral("car 9"));
    QStringList asked;
    for (const QString& seed : seeds)
        asked << QStringLiteral("/ex?q=") + QString::fromLatin1(QUrl::toPercentEncoding(seed));
    EXPECT_EQ(echo.targets(), asked);
    EXPECT_EQ(p.sleptMs, 18 * (4 + 12) * 250) << "a pause of 1 to 3 s between two requests";
    ASSERT_EQ(f.List2.ListCount(), 38);
    EXPECT_EQ(f.List2.items().mid(0, 3), (QStringList { "1 - Shared", "2 - car one", "2 - car a one" }));
    EXPECT_TRUE(p.messages.isEmpty()) << p.messages.join('|').toStdString();
    expectAtRest("expanded");
}

TEST_F(Suggest, StopAllDuringAnExpansionKeepsWhatCame)
{
    test::ServiceMimic echo { "/ex",
        [](const httplib::Request& req) {
            return CannedAnswer { 200,
                test::openSearchAnswer(req.get_param_value("q"), { req.get_param_value("q") }) };
        } };
    f.keywordSource = echo.url(QStringLiteral("/ex?q={searchTerms}"));
    f.seedExpansion = SeedExpansion::On;
    p.onPump = [&](int) {
        if (echo.targets().size() == 3)
            f.Label3.setCaption(QStringLiteral("0"));
    };
    enter(QStringLiteral("car"));
    EXPECT_EQ(p.messages, QStringList { QStringLiteral("Stopped!") });
    EXPECT_EQ(f.List2.items(), (QStringList { "1 - car", "1 - car a", "1 - car b" }));
    expectAtRest("stopped");
}

TEST(SuggestionAddresses, PresetsTakeTheServerBoxCountry)
{
    const struct {
        const char* source;
        const char* country;
        QString seed;
        const char* address;
    } rows[] = {
        { "Google", "Germany", "a&b c",
            "https://suggestqueries.google.com/complete/search?client=firefox&hl=de&gl=de&ie=utf-8&oe=utf-8"
            "&q=a%26b%20c" },
        { "google", " korea ", "x",
            "https://suggestqueries.google.com/complete/"
            "search?client=firefox&hl=ko&gl=kr&ie=utf-8&oe=utf-8&q=x" },
        { "DuckDuckGo", "United Kingdom", "k\u00fcche",
            "https://duckduckgo.com/ac/?type=list&kl=uk-en&q=k%C3%BCche" },
        { "DuckDuckGo", "Japan", "#1", "https://duckduckgo.com/ac/?type=list&kl=jp-jp&q=%231" },
        { "DuckDuckGo", "Atlantis", "x", "https://duckduckgo.com/ac/?type=list&kl=us-en&q=x" },
        { "SearXNG", "France", "x y", "http://127.0.0.1:8888/autocompleter?q=x%20y" },
    };
    for (const auto& row : rows) {
        const std::optional<KeywordSource> source = keywordSourceFor(QLatin1String(row.source));
        ASSERT_TRUE(source && source->read) << row.source;
        const CountryCodes codes = countryCodes(QLatin1String(row.country));
        EXPECT_EQ(fillAddressTemplate(
                      source->addressTemplate, { row.seed, codes.language, codes.country, codes.region, 1 }),
            QLatin1String(row.address))
            << row.source << " " << row.country;
    }
    EXPECT_EQ(fillAddressTemplate(
                  QStringLiteral("http://h/?q={searchTerms}&p={startPage}&n={count?}&l={language?}"),
                  { QStringLiteral("z"), QStringLiteral("nl"), {}, {}, 3 }),
        QStringLiteral("http://h/?q=z&p=3&n=&l=nl"));
}

TEST(SuggestionAddresses, SourceByNameOrTemplate)
{
    const struct {
        const char* choice;
        const char* name; // null: refused
        bool reader;
    } rows[] = {
        { "", "Google", true },
        { "duckduckgo", "DuckDuckGo", true },
        { " SEARXNG ", "SearXNG", true },
        { "classic", "Classic", false },
        { "https://127.0.0.1:5/ac?q={searchTerms}", "https://127.0.0.1:5/ac?q={searchTerms}", true },
        { "nonsense", nullptr, false },
        { "http://127.0.0.1:5/ac?q=fixed", nullptr, false },
        { "ftp://127.0.0.1/{searchTerms}", nullptr, false },
    };
    for (const auto& row : rows) {
        const std::optional<KeywordSource> source = keywordSourceFor(QLatin1String(row.choice));
        ASSERT_EQ(source.has_value(), row.name != nullptr) << row.choice;
        if (source) {
            EXPECT_EQ(source->name, QLatin1String(row.name)) << row.choice;
            EXPECT_EQ(source->read != nullptr, row.reader) << row.choice;
        }
    }
    EXPECT_EQ(keywordSources().front().name, QStringLiteral("Google"))
        << "the default: keyless, answers today";
}

} // namespace
} // namespace tarnwick
