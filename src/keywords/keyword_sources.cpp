#include "keywords/keyword_sources.h"

#include "net/address_template.h"
#include "net/service_answer.h"

namespace tarnwick {

const std::vector<KeywordSource>& keywordSources()
{
    static const std::vector<KeywordSource> sources = {
        // The browsers' autocomplete endpoint: unofficial, but it needs no key.
        { QStringLiteral("Google"),
            QStringLiteral("https://suggestqueries.google.com/complete/search?client=firefox&hl={language}"
                           "&gl={country}&ie=utf-8&oe=utf-8&q={searchTerms}"),
            readOpenSearchSuggestions, {} },
        // Without type=list it answers a list of objects instead.
        { QStringLiteral("DuckDuckGo"),
            QStringLiteral("https://duckduckgo.com/ac/?type=list&kl={region}&q={searchTerms}"),
            readOpenSearchSuggestions, {} },
        { QStringLiteral("SearXNG"), QStringLiteral("http://127.0.0.1:8888/autocompleter?q={searchTerms}"),
            readOpenSearchSuggestions, QLatin1String(kSearxngStartHint) },
        { QStringLiteral("Classic"), {}, nullptr, {} },
    };
    return sources;
}

std::optional<KeywordSource> keywordSourceFor(const QString& choice)
{
    const std::vector<KeywordSource>& sources = keywordSources();
    if (choice.trimmed().isEmpty())
        return sources.front();
    for (const KeywordSource& source : sources)
        if (source.name.compare(choice.trimmed(), Qt::CaseInsensitive) == 0)
            return source;
    if (isAddressTemplate(choice))
        return KeywordSource { choice, choice, readOpenSearchSuggestions, {} };
    // A bare address is a SearXNG instance, as --source takes it for results.
    if (const QString address = instanceBase(choice); !address.isEmpty())
        return KeywordSource { choice.trimmed(), address + QStringLiteral("/autocompleter?q={searchTerms}"),
            readOpenSearchSuggestions, QLatin1String(kSearxngStartHint) };
    return std::nullopt;
}

QString unknownKeywordSource(const QString& choice)
{
    QStringList names;
    for (const KeywordSource& source : keywordSources())
        names << source.name;
    return QStringLiteral(
        "Unknown keyword source \"%1\": choose %2, a SearXNG address, or an address template with "
        "{searchTerms}.")
        .arg(choice, names.join(QStringLiteral(", ")));
}

} // namespace tarnwick
