#include "harvest/result_sources.h"

#include "net/address_template.h"
#include "net/searxng_hint.h"

namespace tarnwick {

namespace {

const QString kSearxngSearch = QStringLiteral("/search?q={searchTerms}&format=json&pageno={startPage}");

ResultSource searxngSource(const QString& name, const QString& addressTemplate)
{
    return { name, addressTemplate, readSearxngResults, searxngStartHint(addressTemplate), 10,
        ResultHost::Template, {} };
}

} // namespace

const std::vector<ResultSource>& resultSources()
{
    static const std::vector<ResultSource> sources = {
        // Public instances refuse tools, and few users run one of their own: by default the
        // harvest starts one on this machine (instance/private_instance.h).
        { QStringLiteral("Private"), QStringLiteral("http://127.0.0.1:{port}") + kSearxngSearch,
            readSearxngResults, {}, 10, ResultHost::PrivateInstance,
            QStringLiteral("Private instance (started by Tarnwick)") },
        // The user's own instance at SearXNG's usual port (see the README).
        searxngSource(QStringLiteral("SearXNG"), QStringLiteral("http://127.0.0.1:8888") + kSearxngSearch),
        { QStringLiteral("Classic"), {}, nullptr, {}, 0, ResultHost::Template, {} },
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
        return searxngSource(text, text);
    const QString instance = instanceAddress(text);
    if (!instance.isEmpty())
        return searxngSource(text, instance + kSearxngSearch);
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
