#include "keywords/suggestion_service.h"

#include <QStandardPaths>
#include <QUrl>

#include <utility>

namespace tarnwick {

QString countryPart(const QString& serverBoxText)
{
    static const std::pair<const char*, const char*> kCountries[] = {
        { "United Kingdom", ".uk" },
        { "Germany", ".de" },
        { "Spain", ".es" },
        { "France", ".fr" },
        { "Italy", ".it" },
        { "Japan", ".jp" },
        { "Korea", ".kr" },
        { "Netherlands", ".nl" },
    };
    for (const auto& [name, part] : kCountries)
        if (serverBoxText == QLatin1String(name))
            return QString::fromLatin1(part);
    return {};
}

QString suggestionAddress(const QString& serverBoxText, const QString& seed)
{
    QString base = qEnvironmentVariable("TARNWICK_SUGGEST_BASE");
    if (base.isEmpty())
        base = QStringLiteral("http://inventory") + countryPart(serverBoxText)
            + QStringLiteral(".overture.com");
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    return base + QStringLiteral("/d/searchinventory/suggestion/?term=")
        + QString::fromLatin1(QUrl::toPercentEncoding(seed));
}

QString suggestionFilePath()
{
    QString dir = qEnvironmentVariable("TARNWICK_CACHE_DIR");
    if (dir.isEmpty()) {
        dir = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
        if (dir.isEmpty())
            dir = QStringLiteral("/tmp");
        dir += QStringLiteral("/tarnwick");
    }
    while (dir.endsWith(QLatin1Char('/')))
        dir.chop(1);
    return dir + QStringLiteral("/asgxXxxyYyyzZZZzz-928374QXWY-asg826X.htm");
}

} // namespace tarnwick
