#include "harvest/result_sources.h"

#include "net/address_template.h"
#include "net/service_answer.h"

namespace tarnwick {

namespace {

const QString kSearxngSearch = QStringLiteral("/search?q={searchTerms}&format=json&pageno={startPage}");

} // namespace

const std::vector<ResultSource>& resultSources()
{
    static const std::vector<ResultSource> sources = {
        // Public instances refuse tools; this one is the user's own (see the README).
        { QStringLiteral("SearXNG"), QStringLiteral("http://127.0.0.1:8888") + kSearxngSearch,
            readSearxngResults, QLatin1String(kSearxngStartHint), 10 },
        { QStringLiteral("Classic"), {}, nullptr, {}, 0 },
    };
    return sources;
}

std::optional<ResultSource> resultSourceFor(const QString& choice)
{
    const std::vector<ResultSource>& sources = resultSources();
    const QString text = choice.trimmed();
    if (text.isEmpty())
        return sources.front();
    for (const ResultSource& source : sources)
        if (source.name.compare(text, Qt::CaseInsensitive) == 0)
            return source;
    if (isAddressTemplate(text))
        return ResultSource { text, text, readSearxngResults, QLatin1String(kSearxngStartHint), 10 };
    if (const QString address = instanceBase(text); !address.isEmpty())
        return ResultSource { text, address + kSearxngSearch, readSearxngResults,
            QLatin1String(kSearxngStartHint), 10 };
    return std::nullopt;
}

QString unknownResultSource(const QString& choice)
{
    QStringList names;
    for (const ResultSource& source : resultSources())
        names << source.name;
    return QStringLiteral(
        "Unknown result source \"%1\": choose %2, a SearXNG address, or an address template "
        "with {searchTerms}.")
        .arg(choice, names.join(QStringLiteral(", ")));
}

} // namespace tarnwick
