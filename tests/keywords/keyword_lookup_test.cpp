// The keyword lookup against a loopback server in the suggestion service's place.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <mutex>

#include "app/form1.h"
#include "keywords/keyword_lookup.h"
#include "keywords/suggestion_service.h"
#include "net/qt_transfer_control.h"
#include "support/fake_platform.h"
#include "support/fixtures.h"
#include "support/loopback_server.h"

namespace tarnwick {
namespace {

using test::LoopbackServer;
using test::readFileBytes;
using test::readFixture;

const QString kFileName = "asgxXxxyYyyzZZZzz-928374QXWY-asg826X.htm";

std::string manyRows(int rows)
{
    std::string html = "<table><tr><td>top</td></tr></table><table><tr><td>a</td></tr><tr><td>b</td></tr>";
    for (int i = 0; i < rows; ++i) {
        const std::string n = std::to_string(i);
        html += "<tr><td>" + n + "</td><td><a href='?term=t" + n + "'>t" + n + "</a></td></tr>";
    }
    return html + "</table>";
}

struct Lookup : ::testing::Test {
    Form1 f { std::make_unique<QtTransferControl>() };
    test::FakePlatform p;
    QTemporaryDir cache;
    std::mutex mutex;
    QStringList terms;
    LoopbackServer service; // after what its handler uses, so it stops first

    void SetUp() override
    {
        service.server.Get(
            "/d/searchinventory/suggestion/", [this](const httplib::Request& req, httplib::Response& res) {
                const std::string term = req.get_param_value("term");
                {
                    std::lock_guard lock(mutex);
                    terms << QString::fromStdString(term);
                }
                if (term == "blue widgets")
                    res.set_content(readFixture("keywords/suggestions.html").toStdString(), "text/html");
                else if (term == "kueche")
                    res.set_content(
                        readFixture("keywords/suggestions_cp1252.html").toStdString(), "text/html");
                else if (term == "many")
                    // Not text/*, so the server sends it as it is instead of compressing 2 MB.
                    res.set_content(manyRows(30001), "application/octet-stream");
                else if (term == "down")
                    res.status = 500;
                else
                    res.set_content(readFixture("keywords/no_results.html").toStdString(), "text/html");
            });
        service.start();
        ASSERT_TRUE(cache.isValid());
        qputenv("TARNWICK_SUGGEST_BASE", service.url("/").toUtf8());
        qputenv("TARNWICK_CACHE_DIR", cache.path().toUtf8());
        f.Combo1.setText("Germany");
        f.keywordSource = "Classic";
    }
    void TearDown() override
    {
        qunsetenv("TARNWICK_SUGGEST_BASE");
        qunsetenv("TARNWICK_CACHE_DIR");
    }
    void enter(const QString& seed)
    {
        f.Text1.setText(seed);
        int key = 13;
        Text1_KeyPress(f, p, key);
    }
    QStringList asked()
    {
        std::lock_guard lock(mutex);
        return terms;
    }
    void expectIdleStatus()
    {
        EXPECT_EQ(f.Label8.Caption(), QString());
        EXPECT_EQ(f.Label8.BackColor(), colour::ButtonFace);
    }
    /// A lookup that failed: one message, an empty keyword list and everything back at rest.
    void expectEndedEmpty(const QString& message, const std::string& context)
    {
        EXPECT_EQ(p.messages, QStringList { message }) << context;
        EXPECT_EQ(f.List2.ListCount(), 0);
        EXPECT_EQ(f.Label7.Caption(), "0");
        EXPECT_EQ(f.Caption(), "Tarnwick");
        expectIdleStatus();
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
    EXPECT_EQ(asked(), QStringList { "blue widgets" });
    // Links to documents are left out; a suggestion whose term or host merely holds ".pdf"
    // or ".doc" is still a row.
    EXPECT_EQ(f.List2.items(),
        (QStringList { "18402 - blue widgets", "2210 - cheap blue widgets", "977 - widget catalogue.pdf",
            "340 - blue widgets & gadgets", "51 - widgets for doctors" }));
    EXPECT_EQ(f.Label7.Caption(), "5");
    expectIdleStatus();
    EXPECT_TRUE(p.messages.isEmpty()) << p.messages.join(QLatin1Char('|')).toStdString();
    EXPECT_FALSE(f.Inet1->StillExecuting());

    const QByteArray file = readFileBytes(cache.filePath(kFileName));
    EXPECT_TRUE(file.startsWith("\xEF\xBB\xBF\"<html>")) << file.left(20).toStdString();
    EXPECT_TRUE(file.endsWith("</html>\n\"\r\n"));
}

TEST_F(Lookup, SeedSentAsTypedAndALegacyCodePageKeepsItsLetters)
{
    enter("a&b #c+d");
    enter("   ");
    enter("kueche");
    EXPECT_EQ(asked(), (QStringList { "a&b #c+d", "   ", "kueche" }));
    EXPECT_EQ(f.List2.items(), QStringList { QStringLiteral("77 - K\u00fcche m\u00f6bel") });
}

TEST_F(Lookup, AnswerWithoutLinksGivesNoResults)
{
    for (const QString& seed : { "nothing", "down" }) {
        p.messages.clear();
        f.setCaption("Tarnwick - Connecting");
        enter(seed);
        expectEndedEmpty("No results returned. Try again!", seed.toStdString());
    }
}

TEST_F(Lookup, UnwritableSuggestionFileGivesNotAvailable)
{
    // A folder that cannot exist (its parent is a file), then a folder where the file should be.
    test::writeFileBytes(cache.filePath("plain"), "x");
    const QString unusable[] = { cache.filePath("plain/sub"), cache.filePath("d") };
    QDir(cache.path()).mkpath("d/" + kFileName);
    for (const QString& dir : unusable) {
        qputenv("TARNWICK_CACHE_DIR", dir.toUtf8());
        p.messages.clear();
        f.setCaption("Tarnwick - Receiving");
        enter("blue widgets");
        expectEndedEmpty("Overture results not available!", dir.toStdString());
    }
}

TEST_F(Lookup, LimitLeavesTheCaptionsAsTheyAre)
{
    enter("many");
    EXPECT_EQ(p.messages, QStringList { "Limit reached!" });
    EXPECT_EQ(f.List2.ListCount(), 30001);
    EXPECT_EQ(f.List2.List(30000), "30000 - t30000");
    EXPECT_EQ(f.Label7.Caption(), "0");
    EXPECT_EQ(f.Label8.BackColor(), colour::Yellow);
}

TEST_F(Lookup, EmptySeedAndOtherKeysSendNothing)
{
    f.List2.AddItem("kept - entry");
    enter(QString());
    EXPECT_EQ(p.messages, QStringList { "No search term entered!" });
    p.messages.clear();
    f.Text1.setText("blue widgets");
    for (int key : { 10, 32, 65, 27, 8 }) {
        Text1_KeyPress(f, p, key);
    }
    EXPECT_TRUE(p.messages.isEmpty());
    EXPECT_TRUE(asked().isEmpty());
    EXPECT_EQ(f.List2.items(), QStringList { "kept - entry" });
    EXPECT_EQ(f.Label8.Caption(), QString());
}

TEST_F(Lookup, AddButtonAppendsTheSeedEachTime)
{
    f.Text1.setText(" blue  widgets ");
    Command2_Click(f, p);
    Command2_Click(f, p);
    EXPECT_EQ(f.List2.items(), (QStringList { " -  blue  widgets ", " -  blue  widgets " }));
    EXPECT_EQ(f.Label7.Caption(), "0");
    f.Text1.setText(QString());
    Command2_Click(f, p);
    EXPECT_EQ(p.messages, QStringList { "Nothing to add!" });
    EXPECT_EQ(f.List2.ListCount(), 2);
    EXPECT_TRUE(asked().isEmpty());
}

TEST(SuggestionService, CountryPartByExactServerBoxTextAndFileInTheCacheFolder)
{
    qunsetenv("TARNWICK_SUGGEST_BASE");
    // Only the exact text of a listed country picks its server; anything else the default one.
    const std::pair<const char*, const char*> cases[] = { { "United States", "" },
        { "United Kingdom", "uk." }, { "Germany", "de." }, { "Spain", "es." }, { "France", "fr." },
        { "Italy", "it." }, { "Japan", "jp." }, { "Korea", "kr." }, { "Netherlands", "nl." },
        { "united kingdom", "" }, { "GERMANY", "" }, { "Germany ", "" }, { "Atlantis", "" }, { "", "" } };
    for (const auto& [box, part] : cases)
        EXPECT_EQ(suggestionAddress(box, "a b"),
            QString("http://inventory.%1overture.com/d/searchinventory/suggestion/?term=a%20b").arg(part))
            << box;

    qputenv("TARNWICK_CACHE_DIR", "/tmp/tarnwick-test-cache/");
    EXPECT_EQ(suggestionFilePath(), "/tmp/tarnwick-test-cache/" + kFileName);
    qunsetenv("TARNWICK_CACHE_DIR");
    EXPECT_TRUE(suggestionFilePath().endsWith("/tarnwick/" + kFileName));
}

} // namespace
} // namespace tarnwick
