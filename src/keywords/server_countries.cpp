#include "keywords/server_countries.h"

namespace tarnwick {

CountryCodes countryCodes(const QString& serverBoxText)
{
    struct Row {
        const char* name;
        const char* language;
        const char* country;
        const char* region;
    };
    static const Row kRows[] = {
        { "United States", "en", "us", "us-en" },
        { "United Kingdom", "en", "gb", "uk-en" },
        { "Germany", "de", "de", "de-de" },
        { "Spain", "es", "es", "es-es" },
        { "France", "fr", "fr", "fr-fr" },
        { "Italy", "it", "it", "it-it" },
        { "Japan", "ja", "jp", "jp-jp" },
        { "Korea", "ko", "kr", "kr-kr" },
        { "Netherlands", "nl", "nl", "nl-nl" },
    };
    const QString text = serverBoxText.trimmed();
    const Row* found = &kRows[0];
    for (const Row& row : kRows)
        if (text.compare(QLatin1String(row.name), Qt::CaseInsensitive) == 0)
            found = &row;
    return { QLatin1String(found->language), QLatin1String(found->country), QLatin1String(found->region) };
}

} // namespace tarnwick
