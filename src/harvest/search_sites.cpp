#include "harvest/search_sites.h"

#include <QStringList>

#include "app/text_ops.h"

namespace tarnwick {

QString searchPattern(SearchSite site)
{
    const QString shared = qEnvironmentVariable("TARNWICK_SEARCH_BASE");
    QString base;
    if (site == SearchSite::UnitedKingdom) {
        base = qEnvironmentVariable("TARNWICK_SEARCH_BASE_UK");
        if (base.isEmpty())
            base = shared;
        if (base.isEmpty())
            base = QStringLiteral("http://www.google.co.uk");
    } else {
        base = shared.isEmpty() ? QStringLiteral("http://www.google.com") : shared;
    }
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    return base + QStringLiteral("/search?q=***");
}

QString searchTerm(const QString& entry)
{
    // The Add button writes " - term"; saved and opened again, the entry has lost its leading
    // space, but its first part is still the empty one before "- ". Likewise "1 - " comes back
    // as "1 -", whose term is the empty one after " -".
    QString restored = entry.startsWith(QLatin1String("- ")) ? QLatin1Char(' ') + entry : entry;
    if (restored.endsWith(QLatin1String(" -")))
        restored += QLatin1Char(' ');
    const QStringList pieces = restored.split(QStringLiteral(" - "));
    // Entries loaded from files may lack the separator; their whole text is the term.
    if (pieces.size() < 2)
        return trimSpaces(entry);
    return trimSpaces(pieces[1]);
}

QString siteRoot(const QString& address)
{
    const QStringList parts = address.split(QLatin1Char('/'));
    if (parts.size() < 3)
        return {};
    return trimSpaces(parts[0] + QStringLiteral("//") + parts[2] + QStringLiteral("/"));
}

} // namespace tarnwick
