// The keyword lookup against loopback stand-ins of the classic suggestion service and today's.
#include <gtest/gtest.h>

#include <algorithm>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <tuple>

#include "app/form1.h"
#include "keywords/keyword_lookup.h"
#include "keywords/keyword_sources.h"
#include "keywords/server_countries.h"
#include "keywords/suggestion_service.h"
#include "net/address_template.h"
#include "net/qt_transfer_control.h"
#include "support/fake_platform.h"
#include "support/faulty_file_system.h"
#include "support/fixtures.h"
#include "support/qt_printers.h"
#include "support/service_mimics.h"

namespace tarnwick {
namespace {

using test::CannedAnswer;

const QString kFileName = "asgxXxxyYyyzZZZzz-928374QXWY-asg826X.htm";

// "blue widgets", "kueche" (legacy code page) and a number N (N rows) have suggestions; "down" fails.
CannedAnswer classicAnswer(const httplib::Request& req)
{
    const std::string term = req.get_param_value("term");
    if (const int rows = std::atoi(term.c_str()); rows > 0) {
        std::string html = "<table><tr><td>t</td></tr></table><table><tr><td>a</td></tr><tr><td>b</td></tr>";
        for (int i = 0; i < rows; ++i) {
            const std::string n = std::to_string(i);
            html += "<tr><td>" + n + "</td><td><a href='?term=t" + n + "'>t" + n + "</a></td></tr>";
        }
        // Not text/*, so the server sends it as it is instead of compressing 2 MB.
        return { 200, html + "</table>", "application/octet-stream" };
    }
    if (term == "down")
        return { 500, "", "text/plain" };
    const char* file = term == "blue widgets" ? "keywords/suggestions.html"
        : term == "kueche"                    ? "keywords/suggestions_cp1252.html"
                                              : "keywords/no_results.html";
    return { 200, test::readFixture(file).toStdString(), "text/html" };
}

const char* const kBlocked
    = " instead of results. Tarnwick does not get around such pages: choose another source.";

// Answers as the services send them, chosen by the "case" parameter of the template, and what
// the keyword list and the message box show for each ("{site}" stands for the service).
const std::tuple<const char*, CannedAnswer, QStringList, QString> kShapes[] = {
    { "browser",
        { 200, test::openSearchAnswer("car", { "car insurance", "car  rental\\t", "CAR INSURANCE" }),
            "text/javascript; charset=UTF-8" },
        { "1 - car insurance", "2 - car rental" }, {} },
    { "latin1",
        { 200, "[\"k\",[\"k\374che m\366bel\"]]", "application/x-suggestions+json; charset=ISO-8859-1" },
        { "1 - k\u00fcche m\u00f6bel" }, {} },
    { "cp1251",
        { 200, "[\"x\",[\"\xea\xf3\xf5\xed\xff\"]]", "application/x-suggestions+json; charset=windows-1251" },
        { "1 - \u043a\u0443\u0445\u043d\u044f" }, {} },
    { "escaped",
        { 200, "[&quot;car&quot;, [&quot;car &amp; van&#xDFFF;&quot;, &quot;caf&#233;&#32;&#x4B;&quot;]]",
            "application/x-suggestions+json" },
        { "1 - car & van&#xDFFF;", "2 - caf\u00e9 K" }, {} },
    { "hostile", { 200, R"(["x",["a\r\nb <meta charset=utf-16>", "", 7, "  ", "c\u0000d", "&quot;"]])" },
        { "1 - a b <meta charset=utf-16>", "2 - c d", "3 - &quot;" }, {} },
    { "empty", { 200, R"(["x",[]])" }, {}, "No results returned. Try again!" },
    { "objects", { 200, R"([{"phrase":"car"}])" }, {},
        "{site} answered JSON that is not a list of suggestions ([query, [completions]])." },
    { "flat", { 200, R"(["car","car insurance"])" }, {},
        "{site} answered JSON that is not a list of suggestions ([query, [completions]])." },
    { "limited", { 429, "Too Many Requests", "text/plain" }, {},
        "{site} refused: too many requests (HTTP 429). It limits how often it may be asked; wait before "
        "trying again." },
    { "captcha",
        { 429, "Our systems have detected unusual traffic from your computer network.", "text/html" }, {},
        QStringLiteral("{site} answered with a CAPTCHA page") + kBlocked },
    { "consent", { 200, "<h1>Before you continue</h1>", "text/html" }, {},
        QStringLiteral("{site} answered with a consent page") + kBlocked },
    { "cookies", { 200, "<h1>Cookie consent</h1>", "text/html" }, {},
        QStringLiteral("{site} answered with a consent page") + kBlocked },
    { "script", { 200, "<noscript><meta http-equiv=refresh content='0;url=/enablejs'>", "text/html" }, {},
        QStringLiteral("{site} answered with a page that demands JavaScript") + kBlocked },
    { "nojs", { 200, "<p>JavaScript is required to use this site.</p>", "text/html" }, {},
        QStringLiteral("{site} answered with a page that demands JavaScript") + kBlocked },
    { "page", { 200, "<!doctype html><html><body>Welcome</body></html>", "text/html; charset=utf-8" }, {},
        "{site} answered with an HTML page where JSON was expected: is the address right?" },
    { "down", { 503, R"({"error": "captcha"})", "text/html" }, {},
        "{site} answered HTTP 503 instead of results." },
};

// A service answer as "case" of the address template chooses, else a repeated suggestion in
// varying case and the term with " one", then numbers up to a term that is a number.
CannedAnswer serviceAnswer(const httplib::Request& req)
{
    for (const auto& [name, answer, entries, message] : kShapes)
        if (req.get_param_value("case") == name)
            return answer;
    const std::string q = req.get_param_value("q");
    std::vector<std::string> completions { q.size() % 2 ? "Shared" : "SHARED", q + " one" };
    for (int i = 2; i < std::atoi(q.c_str()); ++i)
        completions.push_back(std::to_string(i));
    return { 200, test::openSearchAnswer(q, completions) };
}

struct Lookup : ::testing::Test {
    Form1 f { std::make_unique<QtTransferControl>() };
    test::FakePlatform p;
    QTemporaryDir cache;
    test::ServiceMimic classic { "/d/searchinventory/suggestion/", classicAnswer };
    test::ServiceMimic service { "/ac", serviceAnswer };

    Lookup()
    {
        qputenv("TARNWICK_SUGGEST_BASE", classic.url("/").toUtf8());
        qputenv("TARNWICK_CACHE_DIR", cache.path().toUtf8());
        f.Combo1.setText("Germany");
        f.keywordSource = "Classic";
    }
    ~Lookup() override
    {
        qunsetenv("TARNWICK_SUGGEST_BASE");
        qunsetenv("TARNWICK_CACHE_DIR");
    }
    void enter(const QString& seed, int key = 13)
    {
        p.messages.clear();
        f.Text1.setText(seed);
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

TEST_F(Lookup, RowsOfTheSecondTableBecomeKeywordEntries)
{
    f.List2.AddItem("old - entry");
    f.Label7.setCaption("1");
    bool sawBusy = false;
    p.onPump = [&](int) {
        sawBusy = f.Label8.BackColor() == colour::Yellow
            && f.Label8.Caption() == QLatin1String("Grabbing keywords, please wait...")
            && f.List2.ListCount() == 0 && f.Label7.Caption() == QLatin1String("0");
    };
    enter("blue widgets");
    EXPECT_TRUE(sawBusy);
    // Links to documents are left out; a term or host that merely holds ".pdf" or ".doc" is a row.
    EXPECT_EQ(f.List2.items(),
        (QStringList { "18402 - blue widgets", "2210 - cheap blue widgets", "977 - widget catalogue.pdf",
            "340 - blue widgets & gadgets", "51 - widgets for doctors" }));
    expectAtRest("found");
    EXPECT_TRUE(p.messages.isEmpty()) << p.messages.join(QLatin1Char('|')).toStdString();
    EXPECT_FALSE(f.Inet1->StillExecuting());
    EXPECT_EQ(f.Inet1->RequestTimeout(), 30);
    const QByteArray file = test::readFileBytes(cache.filePath(kFileName));
    EXPECT_TRUE(file.startsWith("\xEF\xBB\xBF\"<html>")) << file.left(20).toStdString();
    EXPECT_TRUE(file.endsWith("</html>\n\"\r\n"));

    // The seed goes as typed; a page in a legacy code page keeps its letters.
    enter("a&b #c+d");
    enter("   ");
    enter("kueche");
    EXPECT_EQ(classic.targets().mid(1),
        (QStringList { "/d/searchinventory/suggestion/?term=a%26b%20%23c%2Bd",
            "/d/searchinventory/suggestion/?term=%20%20%20", "/d/searchinventory/suggestion/?term=kueche" }));
    EXPECT_EQ(f.List2.items(), QStringList { QStringLiteral("77 - K\u00fcche m\u00f6bel") });
}

TEST_F(Lookup, FailuresEndEmptyWithOneMessage)
{
    const QString notAvailable = "Overture results not available!", none = "No results returned. Try again!";
    // A folder that cannot exist (its parent is a file), one where the file should be, and a link
    // to a file readable but not replaceable, by root neither: it holds no answer of this lookup.
    test::writeFileBytes(cache.filePath("plain"), "x");
    QDir(cache.path()).mkpath("d/" + kFileName);
    QDir(cache.path()).mkpath("l");
    ASSERT_TRUE(QFile::link("/proc/version", cache.filePath("l/" + kFileName)));
    using Row = std::tuple<const char*, const char*, QString>;
    for (const auto& [dir, seed, message] : { Row { "", "nothing", none }, Row { "", "down", none },
             Row { "plain/sub", "blue widgets", notAvailable }, Row { "d", "blue widgets", notAvailable },
             Row { "l", "blue widgets", notAvailable } }) {
        qputenv("TARNWICK_CACHE_DIR", cache.filePath(dir).toUtf8());
        f.setCaption("Tarnwick - Receiving");
        enter(seed);
        const std::string context = std::string(dir) + " " + seed;
        EXPECT_EQ(p.messages, QStringList { message }) << context;
        EXPECT_EQ(f.List2.ListCount(), 0) << context;
        expectAtRest(context);
    }
    // A full disk: no cut-off answer is read as one.
    qputenv("TARNWICK_CACHE_DIR", cache.filePath("full").toUtf8());
    test::FaultyFileSystem disk;
    disk.bytesBeforeWriteFails = 10;
    p.files = &disk;
    enter("blue widgets");
    EXPECT_EQ(p.messages, QStringList { notAvailable });
    EXPECT_FALSE(QFile::exists(cache.filePath("full/" + kFileName)));
}

TEST_F(Lookup, LimitLeavesTheCaptionsAsTheyAre)
{
    enter("30000");
    EXPECT_EQ(p.messages, QStringList {}) << "exactly the limit";
    enter("30001");
    EXPECT_EQ(p.messages, QStringList { "Limit reached!" });
    EXPECT_EQ(f.List2.ListCount(), 30001);
    EXPECT_EQ(f.List2.List(30000), "30000 - t30000");
    EXPECT_EQ(f.Label7.Caption(), "0");
    EXPECT_EQ(f.Label8.BackColor(), colour::Yellow);

    f.keywordSource = service.url(QStringLiteral("/ac?q={searchTerms}"));
    enter("30000");
    EXPECT_EQ(p.messages, QStringList {}) << "a service's suggestions, exactly the limit";
    enter("30001");
    EXPECT_EQ(p.messages, QStringList { "Limit reached!" });
}

TEST_F(Lookup, OnlyEnterWithASeedLooksUpAndAddAppendsTheSeed)
{
    f.List2.AddItem("kept - entry");
    enter(QString());
    EXPECT_EQ(p.messages, QStringList { "No search term entered!" });
    for (int key : { 10, 32, 65, 27, 8 })
        enter("blue widgets", key);
    EXPECT_TRUE(p.messages.isEmpty());

    f.Text1.setText(" blue  widgets ");
    Command2_Click(f, p);
    Command2_Click(f, p);
    EXPECT_EQ(f.List2.items(), (QStringList { "kept - entry", " -  blue  widgets ", " -  blue  widgets " }));
    EXPECT_EQ(f.Label7.Caption(), "0");
    f.Text1.setText(QString());
    Command2_Click(f, p);
    EXPECT_EQ(p.messages, QStringList { "Nothing to add!" });
    EXPECT_EQ(f.List2.ListCount(), 3);
    EXPECT_TRUE(classic.targets().isEmpty());
}

TEST(SuggestionService, CountryPartByExactServerBoxTextAndFileInTheCacheFolder)
{
    qunsetenv("TARNWICK_SUGGEST_BASE");
    // Only the exact text of a listed country picks its server; anything else the default one.
    const char* cases[][2] = { { "United States", "" }, { "United Kingdom", "uk." }, { "Germany", "de." },
        { "Spain", "es." }, { "France", "fr." }, { "Italy", "it." }, { "Japan", "jp." }, { "Korea", "kr." },
        { "Netherlands", "nl." }, { "united kingdom", "" }, { "GERMANY", "" }, { "Germany ", "" },
        { "Atlantis", "" }, { "", "" } };
    for (const auto& [box, part] : cases)
        EXPECT_EQ(suggestionAddress(box, "a b"),
            QString("http://inventory.%1overture.com/d/searchinventory/suggestion/?term=a%20b").arg(part))
            << box;

    qputenv("TARNWICK_CACHE_DIR", "/tmp/tarnwick-test-cache/");
    EXPECT_EQ(suggestionFilePath(), "/tmp/tarnwick-test-cache/" + kFileName);
    qunsetenv("TARNWICK_CACHE_DIR");
    EXPECT_TRUE(suggestionFilePath().endsWith("/tarnwick/" + kFileName));
}

TEST_F(Lookup, ServiceAnswersOfEachShapeBecomeRankedEntriesOrOneMessage)
{
    for (const auto& [name, answer, entries, shown] : kShapes) {
        f.List2.AddItem(QStringLiteral("old - entry"));
        f.keywordSource = service.url(QStringLiteral("/ac?case=%1&q={searchTerms}").arg(name));
        enter("car");
        EXPECT_EQ(f.List2.items(), entries) << name;
        const QString message = QString(shown).replace(QStringLiteral("{site}"), service.url(QString()));
        EXPECT_EQ(p.messages, message.isEmpty() ? QStringList() : QStringList { message }) << name;
        expectAtRest(name);
    }
}

TEST_F(Lookup, ServiceExpansionAsksEachSuffixAfterAPauseAndDropsRepeats)
{
    f.keywordSource = service.url(QStringLiteral("/ac?q={searchTerms}"));
    f.seedExpansion = SeedExpansion::On;
    for (int i = 0; i < 18; ++i)
        p.rndValues.insert(p.rndValues.end(), { 0.0, 0.999 }); // 4 ticks, then 12
    // The count follows the rows as they arrive, not only at the end.
    QStringList counts, captions; // the status label's, while it is yellow
    p.onPump = [&](int) {
        counts << f.Label7.Caption() + '/' + QString::number(f.List2.ListCount());
        if (f.Label8.BackColor() == colour::Yellow)
            captions << f.Label8.Caption();
    };
    enter("car");
    EXPECT_TRUE(std::all_of(
        counts.begin(), counts.end(), [](auto& c) { return c.section('/', 0, 0) == c.section('/', 1); }));

    EXPECT_EQ(captions.value(0) + '|' + captions.value(captions.size() - 1),
        "Grabbing keywords, please wait...|Grabbing keywords, please wait... 37 of 37");
    const QStringList asked = service.targets();
    ASSERT_EQ(asked.size(), 37);
    EXPECT_EQ(asked.mid(0, 2), (QStringList { "/ac?q=car", "/ac?q=car%20a" }));
    EXPECT_EQ(asked.mid(26, 2), (QStringList { "/ac?q=car%20z", "/ac?q=car%200" }));
    EXPECT_EQ(asked.last(), "/ac?q=car%209");
    EXPECT_EQ(p.sleptMs, 18 * (4 + 12) * 250) << "a pause of 1 to 3 s between two requests";
    ASSERT_EQ(f.List2.ListCount(), 38);
    EXPECT_EQ(f.List2.items().mid(0, 3), (QStringList { "1 - Shared", "2 - car one", "3 - car a one" }));
    EXPECT_EQ(f.List2.items().last(), "38 - car 9 one") << "numbered 1 to N through the expansion";
    EXPECT_EQ(QString("%1 of %2").arg(f.progress.lookupSeed).arg(f.progress.lookupSeeds), "37 of 37");
    EXPECT_TRUE(p.messages.isEmpty()) << p.messages.join('|').toStdString();
    expectAtRest("expanded");

    // Stop All during the pauses keeps what came; the lookup after it is whole again.
    const QStringList whole = f.List2.items();
    p.onPump = [&](int) {
        if (service.targets().size() == 37 + 3)
            f.Label3.setCaption(QStringLiteral("0"));
    };
    enter("car");
    EXPECT_EQ(p.messages, QStringList { QStringLiteral("Stopped!") });
    EXPECT_EQ(f.List2.items(), whole.mid(0, 4));
    expectAtRest("stopped");
    p.onPump = nullptr;
    enter("car");
    EXPECT_EQ(f.List2.items(), whole);
    expectAtRest("after a stopped one");
}

TEST(KeywordSources, ByNameOrTemplateAskedWithTheServerBoxCountry)
{
    const std::tuple<const char*, const char*, QString, const char*> rows[] = {
        { "", "Germany", "a&b c",
            "https://suggestqueries.google.com/complete/search?client=firefox&hl=de&gl=de&ie=utf-8&oe=utf-8"
            "&q=a%26b%20c" },
        { "google", " korea ", "x",
            "https://suggestqueries.google.com/complete/"
            "search?client=firefox&hl=ko&gl=kr&ie=utf-8&oe=utf-8&q=x" },
        { "duckduckgo", "United Kingdom", "k\u00fcche",
            "https://duckduckgo.com/ac/?type=list&kl=uk-en&q=k%C3%BCche" },
        { "DuckDuckGo", "Japan", "#1", "https://duckduckgo.com/ac/?type=list&kl=jp-jp&q=%231" },
        { "DuckDuckGo", "Atlantis", "x", "https://duckduckgo.com/ac/?type=list&kl=us-en&q=x" },
        { " SEARXNG ", "France", "x y", "http://127.0.0.1:8888/autocompleter?q=x%20y" },
        { "https://127.0.0.1:5/ac?q={searchTerms}", "", "x", "https://127.0.0.1:5/ac?q=x" },
        { " http://127.0.0.1:9000// ", "", "x y", "http://127.0.0.1:9000/autocompleter?q=x%20y" },
        { "https://127.0.0.1:9000/searx", "", "x", "https://127.0.0.1:9000/searx/autocompleter?q=x" },
        { "classic", "", "x", "no reader" },
        { "nonsense", "", "x", "refused" },
        { "http://127.0.0.1:5/ac?q=fixed", "", "x", "refused" },
        { "ftp://127.0.0.1/{searchTerms}", "", "x", "refused" },
    };
    for (const auto& [choice, country, seed, address] : rows) {
        const std::optional<KeywordSource> source = keywordSourceFor(QLatin1String(choice));
        const CountryCodes codes = countryCodes(QLatin1String(country));
        EXPECT_EQ(!source       ? QStringLiteral("refused")
                : !source->read ? QStringLiteral("no reader")
                                : fillAddressTemplate(source->addressTemplate,
                                    { seed, codes.language, codes.country, codes.region, 1 }),
            QLatin1String(address))
            << choice << " " << country;
    }
    EXPECT_EQ(fillAddressTemplate("http://h/?q={searchTerms}&p={startPage}&n={count?}&l={language?}",
                  { "z", "nl", {}, {}, 3 }),
        "http://h/?q=z&p=3&n=&l=nl");
}

} // namespace
} // namespace tarnwick
