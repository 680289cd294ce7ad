#pragma once

#include "app/case_folded_index.h"
#include "app/controls.h"

#include <QStringList>

#include <memory>

namespace tarnwick {

/// An ordered, unsorted, single-selection list. Besides revision(), layoutRevision()
/// grows on every change that is not an append at the end, so a view of 30000
/// entries can append rows instead of rebuilding itself.
class ListBox : public Control {
public:
    explicit ListBox(const char* name, bool visible = true);

    int ListCount() const { return static_cast<int>(items_.size()); }
    const QString& List(int index) const { return items_.at(index); }
    void setList(int index, const QString& text);
    const QStringList& items() const { return items_; }

    void AddItem(const QString& item);
    void RemoveItem(int index);
    void Clear();
    /// Replaces every entry at once (one layout change instead of n).
    void replaceAll(QStringList items);

    /// The first entry after `start` (-1: from the top), wrapping round, that equals `text`
    /// (exact) or begins with it, ignoring case; -1 when none. Answered from a case-folded
    /// index made at the first search and kept in step with every change from then on.
    int findItem(const QString& text, bool exact, int start) const;

    /// The selected entry, -1 for none.
    int ListIndex() const { return listIndex_; }
    void setListIndex(int index);
    bool Selected(int index) const { return index == listIndex_ && index >= 0; }

    std::uint64_t layoutRevision() const { return layoutRevision_; }

private:
    void relayout();

    QStringList items_;
    int listIndex_ = -1;
    std::uint64_t layoutRevision_ = 0;
    // Only lists that are searched pay for an index.
    mutable std::unique_ptr<CaseFoldedIndex> index_;
};

} // namespace tarnwick
