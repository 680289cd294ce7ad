#include "cli/command_specs.h"

#include "app/form1.h"
#include "harvest/result_sources.h"
#include "keywords/keyword_sources.h"

namespace tarnwick {

namespace {

QString quoted(const QString& text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

QString checked(int value)
{
    return value != 0 ? QStringLiteral("ticked") : QStringLiteral("not ticked");
}

// The --source help: every row of a source table, then what else it takes. Kept for the
// life of the program, since the option rows point at it.
template <typename Source>
const char* sourceHelp(
    const std::vector<Source>& sources, const char* intro, const char* classic, const char* otherwise)
{
    static std::vector<QByteArray> texts;
    QString text = QLatin1String(intro);
    for (const Source& source : sources) {
        QString address = source.addressTemplate.isEmpty() ? QLatin1String(classic) : source.addressTemplate;
        // A row the menu names in words is named so here too (the private instance).
        if constexpr (requires { source.caption; })
            if (!source.caption.isEmpty())
                address = source.caption + QStringLiteral(": ") + address;
        text += QStringLiteral("\n        %1  %2").arg(source.name, address);
    }
    texts.push_back((text + QStringLiteral("\n      ") + QLatin1String(otherwise)).toUtf8());
    return texts.back().constData();
}

// The options of `from` named in `names`, in that order, help and all: a command that takes
// some of another's options says of them what the other says.
std::vector<OptionKind> optionsOf(const CommandKind& from, std::initializer_list<const char*> names)
{
    std::vector<OptionKind> options;
    for (const char* name : names) {
        for (const OptionKind& option : from.options) {
            if (QLatin1String(option.name) == QLatin1String(name))
                options.push_back(option);
        }
    }
    return options;
}

std::vector<CommandKind> buildSpecs()
{
    const OptionKind home { "--home", "DIR", "AppPath",
        "the program's folder, where page folders are made; without it\n"
        "      TARNWICK_HOME, else the current directory",
        {} };
    std::vector<CommandKind> specs;
    specs.push_back({ "suggest", "SEED", "the seed keyword, typed into the seed box (Text1) before Enter",
        "Looks up keywords related to SEED (Enter in the seed box) and lists them.",
        {
            { "--country", "NAME", "Combo1 \"Choose Overture server:\"",
                "the country of the suggestion server",
                [](const Form1& f) { return quoted(f.Combo1.Text()); } },
            { "--source", "NAME|TEMPLATE", "Sources > Keyword suggestions from",
                sourceHelp(keywordSources(), "the suggestion service asked, by name:",
                    "the Overture service (TARNWICK_SUGGEST_BASE moves it)",
                    "or a SearXNG address (http://host:port), or an OpenSearch suggestions\n"
                    "      address template with {searchTerms} (and {language}, {country},\n"
                    "      {region} from --country)"),
                [](const Form1&) { return quoted(keywordSources().front().name); } },
            { "--expand", nullptr, "Sources > Expand seed with a-z, 0-9",
                "also ask for SEED followed by \" a\" to \" z\" and \" 0\" to \" 9\",\n"
                "      1 to 3 s apart, dropping repeated suggestions (not with Classic)",
                [](const Form1& f) {
                    return f.seedExpansion == SeedExpansion::On ? QStringLiteral("on")
                                                                : QStringLiteral("off");
                } },
            { "--add", nullptr, "Command2 \"Add\"", "after the lookup, also add the seed itself", {} },
            { "-o", "FILE.kwrds", "Save Keywords",
                "save the keyword list to FILE.kwrds\n      (else it is printed, one entry a line)", {} },
            home,
        } });
    specs.push_back({ "harvest", "FILE.kwrds", "the keyword list, read with Open Keywords",
        "Harvests result URLs for every keyword of FILE.kwrds (Go!).",
        {
            { "--source", "NAME|TEMPLATE", "Sources > Result URLs from",
                sourceHelp(resultSources(), "the search service asked, by name:",
                    "Google's result pages (--uk, TARNWICK_SEARCH_BASE)",
                    "or a SearXNG address (http://host:port), or a template with\n"
                    "      {searchTerms} and {startPage} that answers SearXNG's JSON"),
                [](const Form1&) { return quoted(resultSources().front().name); } },
            { "--uk", nullptr, "Check2 \"Google UK:\"", "search the United Kingdom site",
                [](const Form1& f) { return checked(f.Check2.Value()); } },
            { "--full-url", nullptr, "Check1 \"Check for full url:\"",
                "keep every result's full address instead of its site's root",
                [](const Form1& f) { return checked(f.Check1.Value()); } },
            { "-o", "FILE.urls", "Save URLs",
                "save the URL list to FILE.urls\n      (else it is printed, one entry a line)", {} },
            home,
        } });
    specs.push_back({ "spider", "FILE.urls", "the URL list, read with Open URLs",
        "Spiders every URL of FILE.urls (Set Tarnwick loose!),\n      optionally writing result pages.",
        {
            { "--user-agent", "TEXT", "Text4 \"User Agent:\"", "User-Agent header",
                [](const Form1& f) { return quoted(f.Text4.Text()); } },
            { "--referer", "TEXT", "Text6 \"Referer:\"", "Referer header",
                [](const Form1& f) { return quoted(f.Text6.Text()); } },
            { "--timeout", "SECONDS", "Combo2 \"Timeout:\"", "request timeout",
                [](const Form1& f) { return quoted(f.Combo2.Text()); } },
            { "--parallel", "N", "Combo8 \"Parallel requests:\"",
                "requests in flight at once, 1 to 16 (at most --per-host to one\n"
                "      host); the output is the same as one at a time. Another N is\n"
                "      refused (exit status 1)",
                [](const Form1& f) { return quoted(f.Combo8.Text()); } },
            { "--per-host", "N", "Combo10 \"Requests to one host:\"",
                "of the requests in flight, at most N (1 to 16) to one host; raise\n"
                "      it for a list of one site's pages. An obeyed Crawl-delay still\n"
                "      spaces them. Another N is refused (exit status 1)",
                [](const Form1& f) { return quoted(f.Combo10.Text()); } },
            { "--obey-robots", nullptr, "Check9 \"Obey robots.txt\"",
                "fetch each site's robots.txt once and request no URL it refuses;\n"
                "      a site whose robots.txt answers 429 or 5xx, or not at all, is skipped.\n"
                "      Its Crawl-delay (at most 30 s) spaces the requests to that site",
                [](const Form1& f) { return checked(f.Check9.Value()); } },
            { "--retries", "N", "Combo9 \"Retries:\"",
                "ask again, up to N times (0 to 5), for a URL that failed by a timeout,\n"
                "      a reset or refused connection, or a 429, 502, 503 or 504: after 1 s,\n"
                "      then 2 s, 4 s... or the answer's Retry-After, never longer than\n"
                "      the timeout. Another N is refused (exit status 1)",
                [](const Form1& f) { return quoted(f.Combo9.Text()); } },
            { "--filter", "TEXT", "Text5 \"Title must/must not contain:\"",
                "words a title must contain, split by commas; after \" -\" the words\n"
                "      it must not contain. The spider refuses an empty filter; a single\n"
                "      space keeps every title",
                [](const Form1& f) { return quoted(f.Text5.Text()); } },
            { "--any-word", nullptr, "Check8 \"or\"", "a title needs only one of the filter's words, not all",
                [](const Form1& f) { return checked(f.Check8.Value()); } },
            { "--description-only", nullptr, "Check5 \"Description only:\"",
                "records of description and URL, without the title",
                [](const Form1& f) { return checked(f.Check5.Value()); } },
            { "--title-link", nullptr, "Option1 \"Make Title into link:\"",
                "with --pages, the title is the link instead of the URL",
                [](const Form1& f) {
                    return f.Option1.Value() ? QStringLiteral("on") : QStringLiteral("off");
                } },
            { "--pages", "DIR", "Check3 \"Create pages:\" and Text8 \"Directory name:\"",
                "write result pages and a sitemap into the new folder\n      DIR under --home",
                [](const Form1& f) { return checked(f.Check3.Value()); } },
            { "--page-name", "NAME", "Text9 \"Page url\"", "base name of the result pages (needs --pages)",
                [](const Form1& f) { return quoted(f.Text9.Text()); } },
            { "--sitemap-name", "NAME", "Text10 \"Sitemap name:\"",
                "name of the sitemap page (needs --pages)",
                [](const Form1& f) { return quoted(f.Text10.Text()); } },
            { "--heading", "TEXT", "Text11 \"Sitemap <H1> heading:\"",
                "the sitemap's heading (needs --pages)",
                [](const Form1& f) { return quoted(f.Text11.Text()); } },
            { "--site-url", "URL", "Text18 \"Site address:\"",
                "the http or https address the pages are published at; with it\n"
                "      sitemap.xml for search engines is written beside the sitemap\n"
                "      (needs --pages)",
                [](const Form1& f) { return quoted(f.Text18.Text()); } },
            { "--per-page", "K", "Combo3 \"Results per page:\"",
                "records on each result page (needs --pages)",
                [](const Form1& f) { return quoted(f.Combo3.Text()); } },
            { "--template", "FILE.tplate", "Open Template",
                "the page template (needs --pages); without it the\n      built-in template", {} },
            { "--font", "FACE", "Combo6 \"Font:\"", "font face of the pages (needs --pages)",
                [](const Form1& f) { return quoted(f.Combo6.Text()); } },
            { "--size", "SIZE", "Combo7 \"Size:\"", "font size of the pages (needs --pages)",
                [](const Form1& f) { return quoted(f.Combo7.Text()); } },
            { "--vertical", nullptr, "Check6 \"Sitemap links vertical:\"",
                "sitemap links one under another (needs --pages)",
                [](const Form1& f) { return checked(f.Check6.Value()); } },
            { "-o", "FILE.sdata", "Save Spider Data",
                "save the spider data left in the pane to FILE.sdata\n      (else it is printed)", {} },
            { "--save-urls", "FILE.urls", "Save URLs",
                "save the URL list after the run: the accepted URLs,\n      or the whole list after a stop",
                {} },
            { "--report", "FILE.csv", "the run's outcomes",
                "write one CSV row per URL reached: its outcome (accepted,\n"
                "      refused by the rules, or the kind of failure) and the reason",
                {} },
            { "--resume", nullptr, "the question at start-up",
                "resume an interrupted run instead: the newest one, or the journal\n"
                "      given in place of FILE.urls; every other option comes from the\n"
                "      journal and cannot be given",
                {} },
            home,
        } });
    specs.push_back({ "pages", "FILE.sdata",
        "the spider data, read with Open Spider Data; - reads it from standard input",
        "Writes result pages and a sitemap from saved spider data (Create Pages\n"
        "      from Spider Data), fetching nothing.",
        optionsOf(specs.back(),
            { "--pages", "--page-name", "--sitemap-name", "--heading", "--site-url", "--per-page",
                "--template", "--font", "--size", "--vertical", "--title-link", "--description-only",
                "--home" }) });
    specs.push_back({ "shuffle", "FILE.urls", "the URL list, read with Open URLs",
        "Shuffles the URL list of FILE.urls (Randomize list).",
        {
            { "-o", "FILE.urls", "Save URLs",
                "save the shuffled list to FILE.urls\n      (else it is printed, one entry a line)", {} },
            home,
        } });
    specs.push_back({ "export", "FILE.sdata", "the spider data, read with Open Spider Data",
        "Writes the spider data to standard output as the clipboard\n      would get it (Add to clipboard).",
        {
            { "--csv", nullptr, "Check7 \"csv:\"", "as CSV, one row a record",
                [](const Form1& f) { return checked(f.Check7.Value()); } },
            { "--html", nullptr, "Check3 \"Create pages:\"",
                "as one line of HTML (line ends become <br>), as while pages are made",
                [](const Form1& f) { return checked(f.Check3.Value()); } },
            home,
        } });
    return specs;
}

} // namespace

const std::vector<CommandKind>& commandSpecs()
{
    static const std::vector<CommandKind> specs = buildSpecs();
    return specs;
}

} // namespace tarnwick
