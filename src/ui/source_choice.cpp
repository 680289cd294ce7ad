#include "ui/source_choice.h"

#include "app/form1.h"
#include "harvest/result_sources.h"
#include "keywords/keyword_sources.h"

namespace tarnwick {

namespace {

const QString kClassicCountry = QStringLiteral("Choose Overture server:");
const QString kOtherCountry = QStringLiteral("Country for suggestions:");

template <typename Source> bool isNamedRow(const std::vector<Source>& sources, const QString& choice)
{
    if (choice.trimmed().isEmpty())
        return true;
    for (const Source& source : sources) {
        if (source.name.compare(choice.trimmed(), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace

QString chooseSource(Form1& f, SourceKind kind, const QString& choice)
{
    const QString text = choice.trimmed();
    if (kind == SourceKind::Keywords) {
        if (!keywordSourceFor(text))
            return unknownKeywordSource(text);
        f.keywordSource = text;
    } else {
        if (!resultSourceFor(text))
            return unknownResultSource(text);
        f.resultSource = text;
    }
    showSourceCaptions(f);
    return {};
}

void showSourceCaptions(Form1& f)
{
    const std::optional<KeywordSource> source = keywordSourceFor(f.keywordSource);
    f.Label5.setCaption(!source || source->read == nullptr ? kClassicCountry : kOtherCountry);
}

bool countryBoxUsed(const Form1& f)
{
    const std::optional<KeywordSource> source = keywordSourceFor(f.keywordSource);
    if (!source || source->read == nullptr)
        return true;
    for (const char* field : { "{language", "{country", "{region" }) {
        if (source->addressTemplate.contains(QLatin1String(field)))
            return true;
    }
    return false;
}

bool ukBoxUsed(const Form1& f)
{
    const std::optional<ResultSource> source = resultSourceFor(f.resultSource);
    return !source || source->read == nullptr;
}

QString otherSource(const Form1& f, SourceKind kind)
{
    const QString& choice = kind == SourceKind::Keywords ? f.keywordSource : f.resultSource;
    const bool named = kind == SourceKind::Keywords ? isNamedRow(keywordSources(), choice)
                                                    : isNamedRow(resultSources(), choice);
    return named ? QString() : choice.trimmed();
}

} // namespace tarnwick
