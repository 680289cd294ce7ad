#include "app/case_folded_index.h"

#include <algorithm>

namespace tarnwick {

QString caseFolded(const QString& text)
{
    // Qt's letter-case-blind comparisons fold each character on its own the same way, so the
    // folded forms agree with QString::startsWith(..., Qt::CaseInsensitive) to the character.
    QString folded = text;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < n && text.at(i + 1).isLowSurrogate()) {
            const char32_t code = QChar::surrogateToUcs4(c, text.at(i + 1));
            const char32_t fold = QChar::toCaseFolded(code);
            if (fold != code) {
                folded[i] = QChar(QChar::highSurrogate(fold));
                folded[i + 1] = QChar(QChar::lowSurrogate(fold));
            }
            ++i;
            continue;
        }
        const char32_t fold = QChar::toCaseFolded(char32_t(c.unicode()));
        if (fold != c.unicode())
            folded[i] = QChar(static_cast<char16_t>(fold));
    }
    return folded;
}

CaseFoldedIndex::CaseFoldedIndex(const QStringList& entries)
{
    for (const QString& entry : entries)
        append(entry);
}

void CaseFoldedIndex::append(const QString& entry)
{
    byKey_.emplace(caseFolded(entry), static_cast<int>(byKey_.size()));
}

void CaseFoldedIndex::remove(int index, const QString& entry)
{
    const auto [first, last] = byKey_.equal_range(caseFolded(entry));
    for (auto it = first; it != last; ++it) {
        if (it->second == index) {
            byKey_.erase(it);
            break;
        }
    }
    for (auto& [key, position] : byKey_) {
        if (position > index)
            --position;
    }
}

void CaseFoldedIndex::replace(int index, const QString& oldEntry, const QString& newEntry)
{
    const auto [first, last] = byKey_.equal_range(caseFolded(oldEntry));
    for (auto it = first; it != last; ++it) {
        if (it->second == index) {
            byKey_.erase(it);
            break;
        }
    }
    byKey_.emplace(caseFolded(newEntry), index);
}

int CaseFoldedIndex::find(const QString& text, bool exact, int start) const
{
    const int n = static_cast<int>(byKey_.size());
    if (n == 0)
        return -1;
    const int first = (start < 0 || start >= n - 1) ? 0 : start + 1;
    if (!exact && text.isEmpty())
        return first;
    // Every key that begins with `key` sorts in one run from its lower bound on; the entry
    // wanted is the one of that run nearest after `start`.
    const QString key = caseFolded(text);
    int bestDistance = n;
    for (auto it = byKey_.lower_bound(key); it != byKey_.end() && bestDistance != 0; ++it) {
        if (exact ? it->first != key : !it->first.startsWith(key))
            break;
        bestDistance = std::min(bestDistance, (it->second - first + n) % n);
    }
    return bestDistance == n ? -1 : (first + bestDistance) % n;
}

} // namespace tarnwick
