#include "spider/char_references.h"

#include "spider/named_references.h"

#include <QHash>

namespace tarnwick {

namespace {

constexpr char32_t kReplacement = 0xFFFD;
// The longest of the legacy names that may stand without a ";" ("middot").
constexpr qsizetype kLongestLegacyName = 6;

const QHash<QString, QString>& namedReferences()
{
    static const QHash<QString, QString> table = [] {
        QHash<QString, QString> parsed;
        const QString all = QString::fromLatin1(namedReferenceTable());
        for (const QString& entry : all.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const qsizetype equals = entry.indexOf(QLatin1Char('='));
            QString value;
            for (const QString& hex : entry.mid(equals + 1).split(QLatin1Char('+'))) {
                const char32_t codePoint = hex.toUInt(nullptr, 16);
                value += QString::fromUcs4(&codePoint, 1);
            }
            parsed.insert(entry.left(equals), value);
        }
        return parsed;
    }();
    return table;
}

// Browsers read the C1 range of a numeric reference as the Windows-1252 characters that
// old pages meant; the five holes of that code page stay as they are.
char32_t windows1252(char32_t codePoint)
{
    static const char16_t kC1[32] = { 0x20AC, 0x81, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6,
        0x2030, 0x0160, 0x2039, 0x0152, 0x8D, 0x017D, 0x8F, 0x90, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D, 0x017E, 0x0178 };
    return codePoint >= 0x80 && codePoint <= 0x9F ? kC1[codePoint - 0x80] : codePoint;
}

bool isAsciiAlnum(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9');
}

int digitValue(QChar c, int base)
{
    const char16_t u = c.unicode();
    int value = 99;
    if (u >= '0' && u <= '9')
        value = u - '0';
    else if (u >= 'a' && u <= 'f')
        value = u - 'a' + 10;
    else if (u >= 'A' && u <= 'F')
        value = u - 'A' + 10;
    return value < base ? value : -1;
}

/// A numeric reference at `text[at]` ("&#..."): appends its character and returns the
/// position after it, or -1 when no digit follows and the text stays as written.
qsizetype decodeNumeric(const QString& text, qsizetype at, QString& out)
{
    qsizetype i = at + 2;
    int base = 10;
    if (i < text.size() && (text.at(i) == QLatin1Char('x') || text.at(i) == QLatin1Char('X'))) {
        base = 16;
        ++i;
    }
    const qsizetype firstDigit = i;
    char32_t value = 0;
    for (int digit; i < text.size() && (digit = digitValue(text.at(i), base)) >= 0; ++i) {
        // Past the last code point the value only has to stay out of range.
        value = qMin<char32_t>(value * base + digit, 0x110000);
    }
    if (i == firstDigit)
        return -1;
    if (i < text.size() && text.at(i) == QLatin1Char(';'))
        ++i;
    if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        value = kReplacement;
    value = windows1252(value);
    out += QString::fromUcs4(&value, 1);
    return i;
}

/// A named reference at `text[at]`: appends its text and returns the position after it, or
/// -1 when no name from the list starts there.
qsizetype decodeNamed(const QString& text, qsizetype at, ReferenceContext context, QString& out)
{
    const QHash<QString, QString>& table = namedReferences();
    qsizetype end = at + 1;
    while (end < text.size() && isAsciiAlnum(text.at(end)))
        ++end;
    const QString name = text.mid(at + 1, end - at - 1);
    if (end < text.size() && text.at(end) == QLatin1Char(';')) {
        const auto found = table.constFind(name + QLatin1Char(';'));
        if (found != table.constEnd()) {
            out += *found;
            return end + 1;
        }
    }
    // Without a ";" only the legacy names count, the longest one that fits.
    for (qsizetype length = qMin(name.size(), kLongestLegacyName); length > 0; --length) {
        const auto found = table.constFind(name.left(length));
        if (found == table.constEnd())
            continue;
        const qsizetype after = at + 1 + length;
        if (context == ReferenceContext::AttributeValue && after < text.size()
            && (isAsciiAlnum(text.at(after)) || text.at(after) == QLatin1Char('=')))
            return -1;
        out += *found;
        return after;
    }
    return -1;
}

} // namespace

QString decodeCharReferences(const QString& text, ReferenceContext context)
{
    if (!text.contains(QLatin1Char('&')))
        return text;
    QString out;
    qsizetype i = 0;
    for (qsizetype amp; (amp = text.indexOf(QLatin1Char('&'), i)) != -1;) {
        out += QStringView(text).mid(i, amp - i);
        const bool numeric = QStringView(text).mid(amp + 1).startsWith(QLatin1Char('#'));
        const qsizetype next = numeric ? decodeNumeric(text, amp, out) : decodeNamed(text, amp, context, out);
        if (next < 0) {
            out += QLatin1Char('&');
            i = amp + 1;
        } else {
            i = next;
        }
    }
    out += QStringView(text).mid(i);
    return out;
}

} // namespace tarnwick
