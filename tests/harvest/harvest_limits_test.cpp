// The classic harvest: the URL list's limit inside one result page, the progress it shows, the
// search term of each keyword entry; and the case-folded index that answers the harvest's "is a
// listed entry beginning with this candidate" without a scan.
#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include "app/form1.h"
#include "harvest/find_list_entry.h"
#include "harvest/search_sites.h"
#include "harvest/url_harvest.h"
#include "support/fake_platform.h"
#include "support/fake_transfer_control.h"
#include "support/service_mimics.h"

namespace tarnwick {
namespace {

TEST(HarvestLimit, TestedAfterEachAddedLink)
{
    // Every keyword gets the same one page: one listed site in capitals, then three new ones.
    test::ClassicSearch site([](const httplib::Request&) {
        return test::CannedAnswer { 200,
            "<a href='http://new0.example/a'>0</a><a href='HTTP://LISTED1.EXAMPLE/x'>1</a>"
            "<a href='http://new1.example/'>2</a><a href='http://new2.example/b'>3</a>",
            "text/html" };
    });
    const struct {
        const char* name;
        int listed;
        int entries;
        int requests;
        const char* message;
        bool waited;
    } cases[] = {
        { "room for all three", 29990, 29993, 2, "Finished run!", true },
        { "full after the second new site", 29999, 30001, 1, "Limit reached!", false },
        { "already past the limit", 30001, 30002, 1, "Limit reached!", false },
    };
    for (const auto& c : cases) {
        Form1 f { std::make_unique<test::FakeTransferControl>() };
        test::FakePlatform p;
        f.resultSource = QStringLiteral("Classic");
        QStringList listed;
        for (int i = 0; i < c.listed; ++i)
            listed << QStringLiteral("http://listed%1.example/").arg(i);
        f.List1.replaceAll(listed);
        f.List2.AddItem(QStringLiteral(" - one"));
        f.List2.AddItem(QStringLiteral(" - two"));
        const auto requests = site.targets().size();
        Command1_Click(f, p);
        EXPECT_EQ(f.List1.ListCount(), c.entries) << c.name;
        EXPECT_EQ(f.Label1.Caption(), QString::number(c.entries)) << c.name;
        EXPECT_EQ(site.targets().size() - requests, c.requests) << c.name;
        EXPECT_EQ(p.messages, QStringList { QString::fromLatin1(c.message) }) << c.name;
        EXPECT_EQ(p.sleptMs > 0, c.waited) << c.name;
    }
}

TEST(HarvestProgress, PageWaitAndUrlsFoundAsTheRunGoes)
{
    test::ClassicSearch search([](const httplib::Request& req) {
        return test::CannedAnswer { 200,
            req.get_param_value("start").empty()
                ? "<a href='http://one.example/a'>1</a><a href='http://two.example/b'>2</a>"
                  "<a href='http://www.google.com/search?start=100'>Next</a>"
                : "<a href='http://three.example/'>3</a>",
            "text/html" };
    });
    Form1 f(std::make_unique<test::FakeTransferControl>());
    f.resultSource = QStringLiteral("Classic");
    f.List1.AddItem(QStringLiteral("http://known.example/"));
    f.List2.AddItem(QStringLiteral("1 - widgets"));
    f.progress.harvestFound = 99;
    test::FakePlatform p;
    p.rndValues = { 0.0, 0.0 }; // 20 ticks after each page
    using Seen = std::tuple<int, int, int>; // page, ticks left, URLs found
    std::vector<Seen> seen;
    p.onPump = [&](int) {
        seen.emplace_back(f.progress.harvestPage, f.progress.harvestWaitTicks, f.progress.harvestFound);
    };
    Command1_Click(f, p);

    ASSERT_EQ(p.messages, QStringList { QStringLiteral("Finished run!") });
    // The pumps of the two waits: each tick, down to the last one, which leaves 0.
    std::vector<Seen> waits;
    for (const Seen& s : seen) {
        if (std::get<1>(s) > 0 || (!waits.empty() && std::get<1>(waits.back()) == 1))
            waits.push_back(s);
    }
    ASSERT_EQ(waits.size(), 40u);
    EXPECT_EQ(waits.front(), Seen(1, 19, 2));
    EXPECT_EQ(waits[19], Seen(1, 0, 2));
    EXPECT_EQ(waits[20], Seen(2, 19, 3));
    EXPECT_EQ(waits.back(), Seen(2, 0, 3));
}

TEST(KeywordEntry, SearchTermOfEveryShape)
{
    const struct {
        const char* entry;
        const char* term;
    } cases[] = {
        // " - term" from the Add button, saved and opened again (spaces trimmed).
        { "- blue widgets", "blue widgets" },
        { "-  spaced  ", "spaced" },
        { "- first - second", "first" },
        { "-no space", "-no space" },
        { "-", "-" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(searchTerm(QString::fromUtf8(c.entry)), QString::fromUtf8(c.term)) << c.entry;
}

TEST(ListBoxSearch, AgreesWithAScanAfterEveryChange)
{
    // Texts whose case folding is not plain ASCII: sharp s and capital sharp s, final sigma,
    // Kelvin sign, dotted capital I, a titlecase digraph, Deseret (outside the BMP), a lone
    // surrogate.
    const QStringList texts = { QStringLiteral("http://a.example/"), QStringLiteral("HTTP://A.example/page"),
        QStringLiteral("http://ab.example/"), QStringLiteral("Straße"), QStringLiteral("STRAẞE"),
        QStringLiteral("STRASSE"), QStringLiteral("σίσυφος"), QStringLiteral("ΣΊΣΥΦΟΣ"),
        QStringLiteral("\u212Aelvin"), QStringLiteral("İstanbul"), QStringLiteral("istanbul"),
        QStringLiteral("ǅungla"), QStringLiteral("𐐀x"), QStringLiteral("𐐨X"),
        QString(QChar(0xD801)) + QStringLiteral("y"), QString() };
    QStringList probes;
    for (const QString& t : texts)
        probes << t << t.toUpper() << t.toLower() << t.left(3) << t.left(1);

    ListBox list("List1");
    const struct {
        const char* name;
        std::function<void()> change;
    } steps[] = {
        { "empty", [] {} },
        { "added",
            [&] {
                for (const QString& t : texts)
                    list.AddItem(t);
            } },
        { "added twice",
            [&] {
                for (const QString& t : texts)
                    list.AddItem(t.toUpper());
            } },
        { "one replaced", [&] { list.setList(2, QStringLiteral("HTTP://B.EXAMPLE/")); } },
        { "first removed", [&] { list.RemoveItem(0); } },
        { "one in the middle removed", [&] { list.RemoveItem(5); } },
        { "last removed", [&] { list.RemoveItem(list.ListCount() - 1); } },
        { "all replaced",
            [&] {
                QStringList reversed(texts.rbegin(), texts.rend());
                list.replaceAll(reversed);
            } },
        { "cleared", [&] { list.Clear(); } },
        { "added after clearing", [&] { list.AddItem(QStringLiteral("http://a.example/")); } },
    };
    for (const auto& step : steps) {
        step.change();
        const int n = list.ListCount();
        for (const QString& probe : probes) {
            for (const bool exact : { false, true }) {
                for (const int start : { -1, 0, 3, n - 2, n - 1, n + 5 }) {
                    ASSERT_EQ(
                        list.findItem(probe, exact, start), findEntry(list.items(), probe, exact, start))
                        << step.name << ": \"" << probe.toStdString() << "\" exact " << exact << " start "
                        << start;
                }
            }
        }
    }
}

} // namespace
} // namespace tarnwick
