#include "keywords/open_search_suggestions.h"

#include <QJsonArray>

#include "net/service_answer.h"

namespace tarnwick {

namespace {

// One line of plain text: a completion becomes a keyword entry and then a line of a file.
QString cleanCompletion(const QString& text)
{
    QString out;
    out.reserve(text.size());
    bool space = false;
    for (const QChar c : text) {
        if (c.isSpace() || c.category() == QChar::Other_Control || c.category() == QChar::Other_Format) {
            space = !out.isEmpty();
            continue;
        }
        if (space)
            out += QLatin1Char(' ');
        space = false;
        out += c;
    }
    return out;
}

} // namespace

Suggestions readOpenSearchSuggestions(
    const FetchResult& result, const QString& address, const QString& silentHint)
{
    Suggestions suggestions;
    const JsonAnswer answer = readJsonAnswer(result, address, silentHint);
    if (!answer.ok()) {
        suggestions.refusal = answer.refusal;
        return suggestions;
    }
    const QJsonArray top = answer.document.array();
    if (!answer.document.isArray() || top.size() < 2 || !top.at(1).isArray()) {
        suggestions.refusal = siteOf(address)
            + QStringLiteral(" answered JSON that is not a list of suggestions ([query, [completions]]).");
        return suggestions;
    }
    for (const QJsonValue& value : top.at(1).toArray()) {
        const QString completion = cleanCompletion(value.toString());
        if (!completion.isEmpty())
            suggestions.completions << completion;
    }
    return suggestions;
}

} // namespace tarnwick
