#include "app/list_box.h"

#include <utility>

namespace tarnwick {

ListBox::ListBox(const char* name, bool visible)
    : Control(name, visible)
{
}

void ListBox::relayout()
{
    ++layoutRevision_;
    touch();
}

void ListBox::setList(int index, const QString& text)
{
    if (index_)
        index_->replace(index, items_.at(index), text);
    items_[index] = text;
    relayout();
}

void ListBox::AddItem(const QString& item)
{
    items_.append(item);
    if (index_)
        index_->append(item);
    touch();
}

void ListBox::RemoveItem(int index)
{
    if (index_)
        index_->remove(index, items_.at(index));
    items_.removeAt(index);
    if (listIndex_ > index)
        --listIndex_;
    else if (listIndex_ == index)
        listIndex_ = -1;
    relayout();
}

void ListBox::Clear()
{
    items_.clear();
    if (index_)
        index_->clear();
    listIndex_ = -1;
    relayout();
}

void ListBox::replaceAll(QStringList items)
{
    items_ = std::move(items);
    if (index_)
        *index_ = CaseFoldedIndex(items_);
    listIndex_ = -1;
    relayout();
}

int ListBox::findItem(const QString& text, bool exact, int start) const
{
    if (!index_)
        index_ = std::make_unique<CaseFoldedIndex>(items_);
    return index_->find(text, exact, start);
}

void ListBox::setListIndex(int index)
{
    if (index < 0 || index >= ListCount())
        index = -1;
    if (listIndex_ == index)
        return;
    listIndex_ = index;
    touch();
}

} // namespace tarnwick
