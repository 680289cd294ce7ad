#include "app/text_ops.h"

#include <algorithm>
#include <cmath>

namespace tarnwick {
namespace {

// Other scripts' digits are no number to Val or to a typed count.
bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

double Val(const QString& text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text.at(i) == QLatin1Char(' '))
        ++i;
    QString number;
    if (i < n && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-')))
        number += text.at(i++);
    bool point = false;
    for (; i < n; ++i) {
        const QChar c = text.at(i);
        if (isAsciiDigit(c)) {
            number += c;
        } else if (c == QLatin1Char('.') && !point) {
            number += c;
            point = true;
        } else {
            break;
        }
    }
    // An exponent counts only when digits follow it.
    if (i < n && (text.at(i) == QLatin1Char('e') || text.at(i) == QLatin1Char('E'))) {
        qsizetype j = i + 1;
        QString exponent = QStringLiteral("e");
        if (j < n && (text.at(j) == QLatin1Char('+') || text.at(j) == QLatin1Char('-')))
            exponent += text.at(j++);
        const qsizetype firstDigit = j;
        while (j < n && isAsciiDigit(text.at(j)))
            exponent += text.at(j++);
        if (j > firstDigit)
            number += exponent;
    }
    // A sign or point without digits is no number, which toDouble reads as 0; too large a
    // number it reads as infinity.
    const double value = number.toDouble();
    return std::isfinite(value) ? value : 0;
}

QString numText(qint64 value)
{
    return QString::number(value);
}

qint64 roundHalfEven(double value)
{
    if (!std::isfinite(value))
        return 0;
    return static_cast<qint64>(std::nearbyint(value));
}

QString trimSpaces(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin);
}

bool containsNoCase(const QString& text, const QString& part)
{
    return text.contains(part, Qt::CaseInsensitive);
}

qsizetype indexOfNoCase(const QString& text, const QString& part, qsizetype from)
{
    return text.indexOf(part, from, Qt::CaseInsensitive);
}

QString replaceNoCase(const QString& text, const QString& from, const QString& to)
{
    if (from.isEmpty())
        return text;
    QString result = text;
    return result.replace(from, to, Qt::CaseInsensitive);
}

QStringList splitNoCase(const QString& text, const QString& separator)
{
    if (separator.isEmpty())
        return { text };
    return text.split(separator, Qt::KeepEmptyParts, Qt::CaseInsensitive);
}

std::optional<int> wholeNumber(const QString& text)
{
    const QString digits = text.trimmed();
    if (digits.isEmpty() || digits.size() > 9 || !std::all_of(digits.begin(), digits.end(), isAsciiDigit))
        return std::nullopt;
    return digits.toInt();
}

} // namespace tarnwick
