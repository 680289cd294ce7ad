#include "keywords/open_search_suggestions.h"

#include <QJsonArray>

#include "net/service_answer.h"

namespace tarnwick {

namespace {

// One line of plain text: a completion becomes a keyword entry and then a line of a file.
QString cleanCompletion(const QString& text)
{
    QString out;
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
    // Anything but an array, or one too short, has no list in second place.
    const QJsonValue completions = answer.document.array().at(1);
    if (!completions.isArray()) {
        suggestions.refusal = siteOf(address)
            + QStringLiteral(" answered JSON that is not a list of suggestions ([query, [completions]]).");
        return suggestions;
    }
    for (const QJsonValue& value : completions.toArray()) {
        const QString completion = cleanCompletion(value.toString());
        if (!completion.isEmpty())
            suggestions.completions << completion;
    }
    return suggestions;
}

} // namespace tarnwick
