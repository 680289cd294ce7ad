#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// Text rules shared by the handlers: the number of a text, spaces-only trimming, and the
// letter-case-blind searches, splits and replacements the spider and harvest use.
namespace tarnwick {

/// The text's leading number: spaces skipped, digits with an optional sign, one decimal
/// point and an exponent, read up to the first character that cannot continue it; else 0.
double Val(const QString& text);
/// The whole number `text` holds, digits only (spaces around allowed); nothing otherwise. For
/// counts typed into a box, where Val's reading of "8x" as 8 would be a guess.
std::optional<int> wholeNumber(const QString& text);
/// A count written back: plain decimal, no fraction, no padding.
QString numText(qint64 value);
/// Rounds to a whole number, halves to even.
qint64 roundHalfEven(double value);

/// Removes the space character (only) from both ends.
QString trimSpaces(const QString& text);

bool containsNoCase(const QString& text, const QString& part);
/// Position of `part` in `text` from `from`, ignoring letter case; -1 when absent.
qsizetype indexOfNoCase(const QString& text, const QString& part, qsizetype from = 0);
/// Every occurrence replaced, matched without regard to case, scanning left to right.
QString replaceNoCase(const QString& text, const QString& from, const QString& to);
/// Split at every occurrence of `separator`, matched without regard to case; empty pieces kept.
QStringList splitNoCase(const QString& text, const QString& separator);

} // namespace tarnwick
