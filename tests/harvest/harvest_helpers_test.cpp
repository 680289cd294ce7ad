// What the harvest stands on: the result sources, the classic sites' roots, search terms and
// wait, the SearXNG hint, and the case-folded index behind "a listed entry begins with this".
#include <gtest/gtest.h>

#include <QDir>

#include <functional>
#include <tuple>

#include "app/list_box.h"
#include "harvest/find_list_entry.h"
#include "harvest/result_sources.h"
#include "harvest/search_sites.h"
#include "harvest/url_harvest.h"
#include "net/searxng_hint.h"
#include "support/qt_printers.h"

namespace tarnwick {
namespace {

TEST(ResultSources, ByNameAddressOrTemplate)
{
    const QString search = QStringLiteral("/search?q={searchTerms}&format=json&pageno={startPage}");
    const std::pair<const char*, QString> rows[] = { // an empty template is the classic site's
        { "", "http://127.0.0.1:{port}" + search }, { " PRIVATE", "http://127.0.0.1:{port}" + search },
        { "searxng", "http://127.0.0.1:8888" + search }, { "Classic", "" },
        { "http://127.0.0.1:9000//", "http://127.0.0.1:9000" + search },
        { "https://127.0.0.1/s?q={searchTerms}&p={startPage}",
            "https://127.0.0.1/s?q={searchTerms}&p={startPage}" },
        { "http://127.0.0.1/s?q=fixed", "refused" }, { "google", "refused" }
    };
    for (const auto& [choice, expected] : rows) {
        const std::optional<ResultSource> source = resultSourceFor(QLatin1String(choice));
        EXPECT_EQ(source ? source->addressTemplate : QStringLiteral("refused"), expected) << choice;
        if (source)
            EXPECT_EQ(source->read == nullptr, expected.isEmpty()) << choice;
    }
}

TEST(SearchSites, OverrideRootTermTicksAndListEntries)
{
    qputenv("TARNWICK_SEARCH_BASE", "http://mirror.example/");
    EXPECT_EQ(searchPattern(SearchSite::UnitedKingdom), "http://mirror.example/search?q=***");
    qunsetenv("TARNWICK_SEARCH_BASE");
    EXPECT_EQ(searchPattern(SearchSite::Worldwide), "http://www.google.com/search?q=***");

    const std::pair<const char*, const char*> roots[] = { { "http://h.example", "http://h.example/" },
        { "https://h.example:8080/a/b?c=/d", "https://h.example:8080/" }, { "mailto:x@y.example", "" } };
    for (const auto& [url, root] : roots)
        EXPECT_EQ(siteRoot(url), root) << url;

    // " - term" from the Add button, saved and opened again (spaces trimmed).
    const std::pair<const char*, const char*> terms[] = { { "- blue widgets", "blue widgets" },
        { "-  spaced  ", "spaced" }, { "- first - second", "first" }, { "-no space", "-no space" },
        { "-", "-" }, { "1 - ", "" }, { "1 -", "" }, { "1 -  - blue", "" }, { "a - b -", "b" } };
    for (const auto& [entry, term] : terms)
        EXPECT_EQ(searchTerm(entry), term) << entry;

    // 10r rounded with halves to even, plus 5, times 4.
    const std::pair<double, int> ticks[] = { { 0.0, 20 }, { 0.049, 20 }, { 0.05, 20 }, { 0.051, 24 },
        { 0.15, 28 }, { 0.25, 28 }, { 0.35, 36 }, { 0.949, 56 }, { 0.95, 60 }, { 0.9999, 60 } };
    for (const auto& [r, count] : ticks)
        EXPECT_EQ(waitTicks(r), count) << "r=" << r;

    // A prefix, ignoring case, searched from after the start and wrapping.
    const QStringList items { "Abc", "abd", "x" };
    const std::tuple<const char*, bool, int, int> finds[] = { { "AB", false, -1, 0 }, { "ab", false, 0, 1 },
        { "ab", false, 1, 0 }, { "ab", false, 2, 0 }, { "ab", true, -1, -1 }, { "ABD", true, -1, 1 } };
    for (const auto& [text, whole, start, found] : finds)
        EXPECT_EQ(findEntry(items, text, whole, start), found) << text << " from " << start;
    EXPECT_EQ(findEntry({}, "a", false, -1), -1);
}

TEST(SearxngHint, ACommandForThisMachinesAddressOnly)
{
    const auto run = [](const char* bind) {
        return "To run one here: docker run -d -p " + QString(bind)
            + R"(:8080 -v "/s/settings.yml:/etc/searxng/settings.yml:ro" searxng/searxng (see the README).)";
    };
    const std::pair<const char*, QString> rows[]
        = { { "http://127.0.0.1:9000/search?q={searchTerms}&pageno={startPage}", run("127.0.0.1:9000") },
              { "http://LOCALHOST/autocompleter?q={searchTerms}", run("127.0.0.1:80") },
              { "http://127.0.0.2:8888", run("127.0.0.2:8888") }, { "http://[::1]:8888", run("[::1]:8888") },
              { "http://192.168.1.5:8888", "" }, { "http://searx.example:8888", "" },
              { "https://127.0.0.1:8443", "" } };
    for (const auto& [address, hint] : rows) {
        const QString shown = searxngStartHint(QLatin1String(address), "/s/settings.yml");
        if (hint.isEmpty())
            EXPECT_FALSE(shown.contains("docker")) << address << ": " << shown.toStdString();
        else
            EXPECT_EQ(shown, hint) << address;
    }
    EXPECT_TRUE(searxngStartHint("http://127.0.0.1:8888", {})
                    .endsWith("-v \"/path/to/settings.yml:/etc/searxng/settings.yml:ro\" searxng/searxng, "
                              "with a settings.yml that turns on JSON output (see the README)."));
    // Built in the source tree, the tests find its settings rather than an installed copy.
    EXPECT_EQ(searxngSettingsFile(), QDir::cleanPath(TARNWICK_FIXTURES "/../../dist/searxng/settings.yml"));
}

TEST(ListBoxSearch, AgreesWithAScanAfterEveryChange)
{
    // Texts whose case folding is not plain ASCII: sharp s and capital sharp s, final sigma,
    // Kelvin sign, dotted capital I, a titlecase digraph, Deseret (outside the BMP), a surrogate.
    QStringList texts = QString::fromUtf8("http://a.example/|HTTP://A.example/page|http://ab.example/|Straße|"
                                          "STRAẞE|STRASSE|σίσυφος|ΣΊΣΥΦΟΣ|\u212Aelvin|İstanbul|istanbul|"
                                          "ǅungla|𐐀x|𐐨X|")
                            .split(QLatin1Char('|'));
    texts << QString(QChar(0xD801)) + QStringLiteral("y");
    QStringList probes;
    for (const QString& t : texts)
        probes << t << t.toUpper() << t.toLower() << t.left(3) << t.left(1);

    ListBox list("List1");
    const auto addAll = [&](bool upper) {
        for (const QString& t : texts)
            list.AddItem(upper ? t.toUpper() : t);
    };
    const std::pair<const char*, std::function<void()>> steps[] = {
        { "empty", [] {} },
        { "added", [&] { addAll(false); } },
        { "added twice", [&] { addAll(true); } },
        { "one replaced", [&] { list.setList(2, QStringLiteral("HTTP://B.EXAMPLE/")); } },
        { "first removed", [&] { list.RemoveItem(0); } },
        { "one in the middle removed", [&] { list.RemoveItem(5); } },
        { "last removed", [&] { list.RemoveItem(list.ListCount() - 1); } },
        { "all replaced", [&] { list.replaceAll(QStringList(texts.rbegin(), texts.rend())); } },
        { "cleared", [&] { list.Clear(); } },
        { "added after clearing", [&] { list.AddItem(QStringLiteral("http://a.example/")); } },
    };
    for (const auto& [name, change] : steps) {
        change();
        const int n = list.ListCount();
        for (const QString& probe : probes)
            for (const bool exact : { false, true })
                for (const int at : { -1, 0, 3, n - 2, n - 1, n + 5 })
                    ASSERT_EQ(list.findItem(probe, exact, at), findEntry(list.items(), probe, exact, at))
                        << name << ": \"" << probe.toStdString() << "\" exact " << exact << " at " << at;
    }
}

} // namespace
} // namespace tarnwick
