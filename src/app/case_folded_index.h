#pragma once

#include <QString>
#include <QStringList>

#include <map>

namespace tarnwick {

/// `text` with every character case-folded one for one (simple folding, surrogate pairs as
/// one character): two texts equal, or one begins with the other, ignoring letter case
/// exactly when their folded forms do so with case. A text without capitals comes back shared.
QString caseFolded(const QString& text);

/// The entries of a list sorted by their case-folded text, so that "the first entry that
/// equals or begins with this text, ignoring case" is a look-up rather than a scan. The
/// owner reports every change of the list to it, with the entry's position.
class CaseFoldedIndex {
public:
    explicit CaseFoldedIndex(const QStringList& entries = {});

    void append(const QString& entry);
    /// The entry at `index` has gone; the entries after it move up by one.
    void remove(int index, const QString& entry);
    void replace(int index, const QString& oldEntry, const QString& newEntry);
    void clear() { byKey_.clear(); }

    /// The first entry after `start` (-1: from the top), wrapping round, that equals `text`
    /// (exact) or begins with it, ignoring case; -1 when none. An empty text begins every entry.
    int find(const QString& text, bool exact, int start) const;

private:
    // Positions among equal keys are kept in no particular order.
    std::multimap<QString, int> byKey_;
};

} // namespace tarnwick
