#include "app/form1.h"
#include "app/startup.h"
#include "net/blocking_fetch.h"
#include "net/parse_arena.h"
#include "net/qt_transfer_control.h"
#include "spider/page_reading.h"
#include "spider/response_handler.h"
#include "spider/spider_run.h"
#include "spider/title_filter.h"
#include "support/fake_platform.h"
#include "support/fake_transfer_control.h"
#include "support/fixtures.h"
#include "support/loopback_server.h"
#include "support/qt_printers.h"

#include <QHash>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>

namespace tarnwick {
namespace {

using V = PageVerdict;

// Heads as blog engines, site generators, app builds, news sites and minifiers serve them,
// in tests/fixtures/spider/heads; the title and description are what a reader sees.
struct Head {
    const char* file;
    const char* type; // the Content-Type the server sends
    V verdict;
    const char* title;
    const char* description;
};

constexpr const char* kUtf8 = "text/html; charset=utf-8";
constexpr const char* kBare = "text/html";

const Head kHeads[] = {
    { "wp_yoast", kUtf8, V::Accepted, "How to Brew Cold Coffee at Home – The Daily Grind",
        "I haven't found a simpler way to make cold brew: coarse grounds, cold water & 18 hours." },
    { "wp_rankmath", kUtf8, V::Accepted, "Tomatoes That Don’t Split … and Other Garden Myths - Plot 42",
        "Why tomatoes split after rain, what really helps – and what doesn’t." },
    { "wp_aioseo", kUtf8, V::Accepted, "Small Business Payroll Checklist for 2024 | Ledgerwise",
        "A month-by-month payroll checklist: deadlines, forms and the three mistakes auditors see most "
        "often." },
    { "wp_plain", kUtf8, V::Accepted, "Jack Collins — CompTIA A+ Study Notes",
        "Study notes for the A+ Core 1 exam: hardware, networking and troubleshooting ✓ updated weekly." },
    { "jekyll_seo", kUtf8, V::Accepted, "Release notes for 4.2 | Ledger Docs",
        "What's new in 4.2: faster imports, a dark theme and fixes for 31 reported issues." },
    { "hugo_minified", kBare, V::Accepted, "Notes on Rust lifetimes | Tidepool",
        "Lifetimes are not scary: a walk through three borrow checker errors and what they mean." },
    { "hugo_papermod", kUtf8, V::Accepted, "Getting Started with Terraform | Ops Notebook",
        "A first Terraform project from an empty folder to a running VM, with state kept remote." },
    { "gatsby_helmet", kUtf8, V::Accepted, "Hiking the Cairngorms in Winter | Trail Log",
        "Four days, two bothies and one very cold night: notes from a winter crossing." },
    { "nextjs", kUtf8, V::Accepted, "Pricing – Acme Cloud",
        "Simple, usage-based pricing. Start free, scale when you're ready." },
    { "nuxt", kUtf8, V::Accepted, "Vegan Lasagne with Lentils - Green Fork",
        "A rich lentil ragù, silky béchamel made with oat milk, and fresh pasta sheets." },
    { "vite_spa", kBare, V::Accepted, "Streaks — Habit Tracker",
        "Track your habits, see your streaks, and get a nudge when it matters." },
    { "angular", kUtf8, V::Accepted, "Fleetboard",
        "Fleetboard shows where your vans are, live, and what they cost per mile." },
    { "docusaurus", kUtf8, V::Accepted, "Configuration | Flowpipe Docs",
        "Every option of flowpipe.yml, with defaults and examples." },
    { "mkdocs", kUtf8, V::Accepted, "Setup - Quarry",
        "Install, configure and extend the Quarry static search index." },
    { "sphinx_nodesc", kUtf8, V::NoDescription, "Quickstart — hoist 2.1 documentation", "" },
    { "news_rh", kUtf8, V::Accepted,
        "Storm Closes Ports Along the Coast as Winds Reach 90 M.P.H. - The Harbor Times",
        "Ferries were cancelled and thousands lost power as the strongest storm in a decade moved inland on "
        "Tuesday." },
    { "news_content_first", kUtf8, V::Accepted,
        "Council Approves New Cycle Lanes on Mill Road | Riverside Gazette",
        "The plan adds 2.4 km of protected lanes and removes 60 parking spaces, a decision traders called "
        "\"rushed\"." },
    { "ghost", kUtf8, V::Accepted, "Why we moved our queue to Postgres",
        "Two years, one outage and a lot of SKIP LOCKED: what we learned running jobs in the database." },
    { "shopify_dawn", kUtf8, V::Accepted, "Linen Shirt – Northwind Outfitters",
        "Breathable linen shirt, cut slim. Free shipping over $50." },
    { "prettier_lines", kUtf8, V::Accepted, "Eleventy Base Blog: Migrating from Webpack",
        "We replaced a 400-line Webpack config with twelve lines of esbuild. Here is how." },
    { "php_single_quotes", kBare, V::Accepted, "Harbour View Guest House - Rooms & Rates",
        "Six sea-view rooms, breakfast included, five minutes from the station." },
    { "blogger", kUtf8, V::Accepted, "Knitting Corner: A cable-knit hat for beginners",
        "Cables look hard but only need one extra needle. This hat uses two cables and takes a weekend." },
    { "wix_tab", kUtf8, V::Accepted, "Home | Bloom & Branch Florist",
        "Same-day flower delivery in Leeds. Weddings, events and subscriptions." },
    { "legacy_upper", kBare, V::Accepted, "Smith & Sons Hardware – Est. 1952",
        "Tools, paint and garden supplies. Opening hours: Mon–Sat 8–6." },
    // "&#8217;" has always been stored as a plain apostrophe; a browser shows "’".
    { "amp_news", kUtf8, V::Accepted, "Five Things to Know Before the Budget | Daily Ledger",
        "Tax bands, fuel duty and the £2bn question: a short guide before Wednesday's speech." },
    { "script_decoy", kUtf8, V::Accepted, "Spring Sale: 20% Off Running Shoes | Stride",
        "Road and trail shoes from six brands, 20% off until Sunday. Free returns." },
    { "desc_in_body", kUtf8, V::NoDescription, "Untitled Landing Page Builder Export", "" },
    { "de_news", kUtf8, V::Accepted,
        "Bahnstreik ab Mittwoch: Was Pendler jetzt wissen müssen | Heide-Anzeiger",
        "Die Gewerkschaft hat zum Streik aufgerufen. Welche Züge fahren, welche Rechte Fahrgäste haben – ein "
        "Überblick." },
    { "de_entities", kUtf8, V::Accepted, "Grüße aus München – Stadtführungen",
        "Öffentliche Führungen durch die Altstadt, täglich um 11 Uhr – auch auf Englisch." },
    { "de_latin1", "text/html; charset=ISO-8859-1", V::Accepted,
        "Bäckerei Köhler - Brötchen & Kuchen aus Göttingen",
        "Seit 1961 backen wir täglich frisch: Brötchen, Brot und Torten für jeden Anlass." },
    { "de_typo3", kUtf8, V::Accepted, "Öffnungszeiten: Stadtbibliothek Werl",
        "Ausleihe, Rückgabe und Lernplätze: alle Öffnungszeiten der Stadtbibliothek, auch an Feiertagen." },
    { "fr_wp", kUtf8, V::Accepted, "Recette de la tarte Tatin – Cuisine & Vins",
        "La vraie tarte Tatin : pommes caramélisées, pâte brisée… Découvrez notre recette pas à pas." },
    { "fr_spip", kUtf8, V::Accepted, "Le marché de Noël revient place Kléber - Mairie de Saint-Amand",
        "Du 24 novembre au 24 décembre, 120 chalets et une patinoire : horaires, accès et navettes." },
    { "fr_latin1", kBare, V::Accepted, "Camping Les Pins – Vacances en Ardèche",
        "Emplacements ombragés, piscine chauffée et location de mobil-homes au bord de l’Ardèche." },
    { "ja_news", kUtf8, V::Accepted, "東京で初雪観測、平年より１２日早く｜気象ニュース",
        "気象庁は２０日、東京都心で初雪を観測したと発表しました。平年より１２日早い観測です。" },
    { "ja_shiftjis", kBare, V::Accepted, "ようこそ　山田工務店のホームページへ",
        "山田工務店は創業５０年、木の家づくりと住まいのリフォームを手がけています。" },
    { "ja_blog", kUtf8, V::Accepted, "【レシピ】簡単！鶏むね肉のやわらか照り焼き | きょうの台所",
        "鶏むね肉がしっとりやわらかく仕上がるコツを紹介します。調理時間は１５分。" },
    { "zh_news", kUtf8, V::Accepted, "国家统计局：前三季度国内生产总值同比增长_新闻频道",
        "国家统计局今日发布数据，前三季度国内生产总值同比增长，消费成为主要拉动力。" },
    { "zh_gbk", kBare, V::Accepted, "春节假期出行指南_旅游频道",
        "春节假期将至，本文整理了火车票、机票和高速公路的出行提示。" },
    { "zh_minified", kBare, V::Accepted, "如何选购一台适合自己的笔记本电脑",
        "从处理器、内存到屏幕，教你选购一台适合自己的笔记本电脑。" },
    { "zh_tw", kUtf8, V::Accepted, "台北捷運新路線通車 沿線房價受關注 | 生活新聞",
        "台北捷運新路線今日正式通車，沿線居民通勤時間可望縮短。" },
    { "ru_news", kUtf8, V::Accepted, "Погода в Москве на неделю — прогноз",
        "Подробный прогноз погоды в Москве на 7 дней: температура, осадки, ветер." },
    { "ru_cp1251", "text/html; charset=windows-1251", V::Accepted, "Купить диван недорого в Санкт-Петербурге",
        "Диваны от производителя с доставкой «до двери» и гарантией 5 лет." },
    { "ru_bitrix", kUtf8, V::Accepted, "Запись к врачу | Городская поликлиника №3",
        "Запись к врачу онлайн: выберите специалиста, дату и удобное время приёма." },
    { "ru_control", kUtf8, V::Accepted, "Скидки [31m недели в «Книжном доме»",
        "Каждую неделю новые скидки на книги, канцтовары и подарки. До 40%." },
};

QByteArray headBytes(const Head& head)
{
    return test::readFixture(QStringLiteral("spider/heads/%1.html").arg(QString::fromLatin1(head.file)));
}

QString headText(const Head& head)
{
    return decodeBody(headBytes(head), QString::fromLatin1(head.type));
}

TEST(PageReading, RealWorldHeads)
{
    for (const Head& head : kHeads) {
        const PageReading page = readPage(headText(head));
        EXPECT_EQ(pageVerdictText(page.verdict), pageVerdictText(head.verdict)) << head.file;
        EXPECT_EQ(page.title, QString::fromUtf8(head.title)) << head.file;
        if (head.verdict == V::Accepted)
            EXPECT_EQ(page.description, QString::fromUtf8(head.description)) << head.file;
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
        { "500 in the first 1024", "<title>Wide table page</title><table width=500>", V::ServerError, "",
            "" },
        { "500 later",
            "<!--" + pad + "--><title>Room 500 offers</title><meta name=description content='Six rooms'>",
            V::Accepted, "Room 500 offers", "Six rooms" },
        { "server error text", "<TITLE>Internal Server Error</TITLE>", V::ServerError, "", "" },
        { "escaped markup", "<title>&amp;lt;b&amp;gt;Shop</title>", V::TitleRefused, "<b>Shop", "" },
        { "five characters", "<title> Fiv  e </title>", V::TitleRefused, "Fiv e", "" },
        { "three emoji", "<title>\xF0\x9F\x8E\x89\xF0\x9F\x8E\x89\xF0\x9F\x8E\x89</title>", V::TitleRefused,
            "\xF0\x9F\x8E\x89\xF0\x9F\x8E\x89\xF0\x9F\x8E\x89", "" },
        { "script title", "<title>x language=&quot;javascript&quot;</title>", V::TitleRefused,
            "x language=\"javascript\"", "" },
        { "unclosed title", "<title>Never closed <meta name=description content='Six rooms'>", V::NoTitle, "",
            "" },
        { "title in a comment only", "<!-- <title>Old title here</title> -->", V::NoTitle, "", "" },
        { "raw >", "<title>Angle page</title><meta name=description content=\"a > b and more\">",
            V::DescriptionRefused, "Angle page", "a > b and more" },
        { "decoded <", "<title>Angle page</title><meta name=description content=\"a &lt;script&gt; x\">",
            V::DescriptionRefused, "Angle page", "a <script> x" },
        { "short description", "<title>Angle page</title><meta name=description content=abcde>",
            V::DescriptionRefused, "Angle page", "abcde" },
        { "blank description", "<title>Angle page</title><meta name=description content=\"&nbsp; &nbsp;\">",
            V::DescriptionRefused, "Angle page", "" },
        { "no content, then one",
            "<title>Two metas</title><meta NAME = \"Description\"><meta content=\"Second one\"\n"
            "\tname=\"DESCRIPTION\"><meta name=description content='Third one'>",
            V::Accepted, "Two metas", "Second one" },
        { "references",
            "<title>&copy2024 Acme &notit; &#x41&#66 &#;</title><meta name=description "
            "content=\"?a=1&copy=2 &copy 2024 &#0;&#x110000;&#xD800; &#150;&#x80; &foo;\">",
            V::Accepted, "©2024 Acme ¬it; AB &#;",
            "?a=1&copy=2 © 2024 \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD –€ &foo;" },
        { "old order decodes twice",
            "<title>&amp;hellip; &Auml;&auml; &NotEqualTilde;</title><meta "
            "name=description content='x\x1b[0m\x07y\xC2\xA0\xE2\x80\xA8z'>",
            V::Accepted, "… Ää \xE2\x89\x82\xCC\xB8", "x [0m y z" },
        { "text opens the body", "<title>Stray text</title>Hello<meta name=description content='Six rooms'>",
            V::NoDescription, "Stray text", "" },
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

TEST(TitleFilter, SpacesOnlyKeepEveryTitle)
{
    struct Case {
        const char* filter;
        const char* title;
        bool keep;
    };
    const Case cases[] = {
        { "", "Big Sale", false },
        { " ", "東京で初雪観測", true },
        { "   ", "Big Sale", true },
        { "sale", "Big Sale", true },
        { "sale ", "Big Sale", false },
        { "flights -cheap", "Cheap Flights", false },
    };
    Form1 f(std::make_unique<test::FakeTransferControl>());
    for (const Case& c : cases) {
        f.Text5.setText(QString::fromUtf8(c.filter));
        EXPECT_EQ(keepsTitle(f, QString::fromUtf8(c.title)), c.keep) << "'" << c.filter << "' " << c.title;
    }
}

// What a browser makes of a page, through a full HTML parser: the first title and meta
// description of the head, references decoded, white space runs as one space.
struct BrowserView {
    QString title;
    QString description;
    bool qualifies = false; // title and description pass the length and content tests
};

QString collapsed(const QString& text)
{
    QString out;
    for (const QChar c : text) {
        const bool blank = c.unicode() <= 0x20 || (c.unicode() >= 0x7F && c.unicode() <= 0xA0);
        if (!blank)
            out += c;
        else if (!out.isEmpty() && !out.endsWith(QLatin1Char(' ')))
            out += QLatin1Char(' ');
    }
    return out.trimmed();
}

void viewHead(const GumboNode* node, BrowserView& view, bool& titled, bool& described)
{
    if (node->type != GUMBO_NODE_ELEMENT)
        return;
    const GumboElement& e = node->v.element;
    if (e.tag == GUMBO_TAG_TITLE && !titled) {
        titled = true;
        for (unsigned i = 0; i < e.children.length; ++i) {
            const auto* child = static_cast<const GumboNode*>(e.children.data[i]);
            if (child->type == GUMBO_NODE_TEXT || child->type == GUMBO_NODE_WHITESPACE)
                view.title += QString::fromUtf8(child->v.text.text);
        }
    }
    const GumboAttribute* name = gumbo_get_attribute(&e.attributes, "name");
    const GumboAttribute* content = gumbo_get_attribute(&e.attributes, "content");
    if (e.tag == GUMBO_TAG_META && !described && name && content
        && QString::fromUtf8(name->value).compare(QLatin1String("description"), Qt::CaseInsensitive) == 0) {
        described = true;
        view.description = QString::fromUtf8(content->value);
        const QString raw = QString::fromUtf8(content->original_value.data, content->original_value.length);
        view.qualifies = !raw.contains(QLatin1Char('>'));
    }
    for (unsigned i = 0; i < e.children.length; ++i)
        viewHead(static_cast<const GumboNode*>(e.children.data[i]), view, titled, described);
}

BrowserView browserView(const QString& text)
{
    // This parser turns control characters into U+FFFD; on screen they are blanks.
    QString shown = text;
    for (QChar& c : shown) {
        if ((c.unicode() < 0x20 && !QStringLiteral("\t\n\f\r").contains(c))
            || (c.unicode() >= 0x7F && c.unicode() < 0xA0))
            c = QLatin1Char(' ');
    }
    const QByteArray utf8 = shown.toUtf8();
    ParseArena arena;
    const GumboOptions options = arena.options();
    const GumboOutput* out = gumbo_parse_with_options(&options, utf8.constData(), utf8.size());
    BrowserView view;
    bool titled = false;
    bool described = false;
    const GumboVector& top = out->root->v.element.children;
    for (unsigned i = 0; i < top.length; ++i) {
        const auto* node = static_cast<const GumboNode*>(top.data[i]);
        if (node->type == GUMBO_NODE_ELEMENT && node->v.element.tag == GUMBO_TAG_HEAD)
            viewHead(node, view, titled, described);
    }
    view.title = collapsed(view.title);
    view.description = collapsed(view.description);
    view.qualifies = view.qualifies && titled && view.title.size() > 5
        && !view.title.contains(QLatin1Char('<')) && view.description.size() > 5
        && !view.description.contains(QLatin1Char('<'));
    return view;
}

// The share of readable pages the spider keeps, and of kept records that hold exactly what a
// browser shows; printed for the record, and held above 95%.
TEST(PageReading, CorpusAgreesWithABrowser)
{
    int readable = 0;
    int kept = 0;
    int exact = 0;
    for (const Head& head : kHeads) {
        const QString text = headText(head);
        const BrowserView view = browserView(text);
        const PageReading page = readPage(text);
        if (!view.qualifies)
            continue;
        ++readable;
        if (page.verdict != V::Accepted) {
            ADD_FAILURE() << head.file << " not kept: " << pageVerdictText(page.verdict).toStdString();
            continue;
        }
        ++kept;
        if (page.title == view.title && page.description == view.description)
            ++exact;
        else
            std::printf("differs from a browser: %s: %s / %s\n", head.file, qPrintable(view.title),
                qPrintable(view.description));
    }
    std::printf("corpus: %d pages readable, %d kept, %d of them as a browser shows\n", readable, kept, exact);
    EXPECT_GE(kept * 100, readable * 95);
    EXPECT_GE(exact * 100, kept * 95);
}

// The whole corpus through the real transfer control and a spider run against a loopback
// server, with an empty page and a server error page among them.
TEST(SpiderRun, RealWorldHeadsOverTheNetwork)
{
    test::LoopbackServer server;
    for (const Head& head : kHeads) {
        const std::string bytes = headBytes(head).toStdString();
        const std::string type = head.type;
        server.server.Get(std::string("/") + head.file,
            [bytes, type](const httplib::Request&, httplib::Response& res) { res.set_content(bytes, type); });
    }
    server.server.Get(
        "/empty", [](const httplib::Request&, httplib::Response& res) { res.set_content("", kBare); });
    server.server.Get("/error", [](const httplib::Request&, httplib::Response& res) {
        res.status = 500;
        res.set_content("<title>Internal Server Error</title>", kBare);
    });
    server.start();

    QTemporaryDir home;
    test::FakePlatform p;
    p.folder = home.path();
    Form1 f(std::make_unique<QtTransferControl>());
    Form_Load(f);
    attachResponseHandler(f, p);
    QHash<QString, V> expected { { server.url(QStringLiteral("/empty")), V::Empty },
        { server.url(QStringLiteral("/error")), V::ServerError } };
    QString records;
    for (const Head& head : kHeads) {
        const QString url = server.url(QStringLiteral("/") + QString::fromLatin1(head.file));
        f.List1.AddItem(url);
        expected.insert(url, head.verdict);
        if (head.verdict == V::Accepted)
            records += QString::fromUtf8(head.title) + QStringLiteral("\r\n")
                + QString::fromUtf8(head.description) + QStringLiteral("\r\n") + url
                + QStringLiteral("\r\n\r\n");
    }
    f.List1.AddItem(server.url(QStringLiteral("/empty")));
    f.List1.AddItem(server.url(QStringLiteral("/error")));
    f.Text6.setText(QStringLiteral("http://ref.example/"));
    f.Text4.setText(QStringLiteral("Agent/1"));
    f.Text5.setText(QStringLiteral(" "));
    f.Combo2.setText(QStringLiteral("5"));
    f.Text8.setText(QStringLiteral("out"));
    f.Text9.setText(QStringLiteral("page"));
    f.Text10.setText(QStringLiteral("sitemap"));
    f.Text11.setText(QStringLiteral("Heads"));
    f.Combo3.setText(QStringLiteral("3"));
    // The verdict last seen while a URL is current is the one its response left.
    QHash<QString, V> seen;
    p.onPump = [&](int) { seen.insert(f.Text7.Text(), f.pageVerdict); };

    Command3_Click(f, p);
    ASSERT_EQ(p.messages, QStringList { QStringLiteral("Run completed! Tarnwick list of sites spidered!") });
    EXPECT_EQ(f.RichTextBox1.Text(), records);
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
        EXPECT_EQ(pageVerdictText(seen.value(it.key())), pageVerdictText(it.value()))
            << it.key().toStdString();
}

} // namespace
} // namespace tarnwick
