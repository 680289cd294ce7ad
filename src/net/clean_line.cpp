#include "net/clean_line.h"

namespace tarnwick {

QString CleanLine(const QString& text, const QString& remove, int)
{
    QString result;
    for (const QChar c : text) {
        if (!remove.contains(c))
            result += c;
    }
    return result;
}

} // namespace tarnwick
