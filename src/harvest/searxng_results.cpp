#include "harvest/searxng_results.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QUrl>

#include "net/service_answer.h"

namespace tarnwick {

namespace {

// An address from a result, or empty when it is not a plain web address: results are
// hostile text, and only http and https addresses of one line go into the URL list.
QString webAddress(const QJsonValue& value)
{
    const QString text = value.toString().trimmed();
    for (const QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return {};
    const QUrl url(text);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty()
        || (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return {};
    return url.toString();
}

QString engineFailure(const QJsonValue& value)
{
    if (value.isString())
        return value.toString();
    const QJsonArray pair = value.toArray();
    const QString name = pair.at(0).toString();
    const QString reason = pair.at(1).toString();
    return reason.isEmpty() ? name : name + QStringLiteral(" (") + reason + QLatin1Char(')');
}

} // namespace

ResultPage readSearxngResults(const FetchResult& result, const QString& address, const QString& silentHint)
{
    ResultPage page;
    if (result.ok && result.status == 403) {
        page.refusal = QLatin1String(kSearxngJsonOff);
        return page;
    }
    const JsonAnswer answer = readJsonAnswer(result, address, silentHint);
    if (!answer.ok()) {
        page.refusal = answer.refusal;
        return page;
    }
    const QJsonObject top = answer.document.object();
    if (!top.value(QLatin1String("results")).isArray()) {
        page.refusal = siteOf(address) + QStringLiteral(" answered JSON without a list of results.");
        return page;
    }
    for (const QJsonValue& entry : top.value(QLatin1String("results")).toArray()) {
        const QString url = webAddress(entry.toObject().value(QLatin1String("url")));
        if (!url.isEmpty())
            page.urls << url;
    }
    for (const QJsonValue& engine : top.value(QLatin1String("unresponsive_engines")).toArray()) {
        const QString failure = engineFailure(engine).simplified();
        if (!failure.isEmpty())
            page.failedEngines << failure;
    }
    return page;
}

} // namespace tarnwick
