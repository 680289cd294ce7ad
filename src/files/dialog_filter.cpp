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

QString filterExtension(const QString& qtFilterEntry)
{
    const qsizetype open = qtFilterEntry.lastIndexOf(QLatin1Char('('));
    const QString patterns = open < 0 ? qtFilterEntry : qtFilterEntry.mid(open + 1).chopped(1);
    const QString first = patterns.section(QLatin1Char(' '), 0, 0, QString::SectionSkipEmpty);
    if (!first.startsWith(QLatin1String("*.")))
        return {};
    const QString extension = first.mid(2);
    for (const QChar c : extension) {
        if (!c.isLetterOrNumber())
            return {};
    }
    return extension;
}

QString qtOpenFilterFrom(const QString& filter)
{
    const QString own = qtFilterFrom(filter);
    const QString all = QStringLiteral("All files (*)");
    return own.isEmpty() ? all : own + QStringLiteral(";;") + all;
}

} // namespace tarnwick
