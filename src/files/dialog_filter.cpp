#include "files/dialog_filter.h"

#include <QStringList>

namespace tarnwick {

QString qtFilterFrom(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString description = parts.at(i).trimmed();
        // Qt separates patterns by spaces where the window's form uses semicolons.
        const QString pattern = i + 1 < parts.size()
            ? parts.at(i + 1).trimmed().replace(QLatin1Char(';'), QLatin1Char(' '))
            : QString();
        if (description.isEmpty() && pattern.isEmpty())
            continue;
        if (pattern.isEmpty()
            || (description.contains(QLatin1Char('(')) && description.endsWith(QLatin1Char(')'))))
            entries.append(description);
        else if (description.isEmpty())
            entries.append(pattern);
        else
            entries.append(description + QStringLiteral(" (") + pattern + QLatin1Char(')'));
    }
    return entries.join(QStringLiteral(";;"));
}

QString qtOpenFilterFrom(const QString& filter)
{
    const QString own = qtFilterFrom(filter);
    const QString all = QStringLiteral("All files (*)");
    return own.isEmpty() ? all : own + QStringLiteral(";;") + all;
}

} // namespace tarnwick
