#include "app/controls.h"

#include <utility>

namespace tarnwick {

void Control::setVisible(bool visible)
{
    if (visible_ == visible)
        return;
    visible_ = visible;
    touch();
}

TextField::TextField(const char* name, QString text, int maxLength, bool visible)
    : Control(name, visible)
    , maxLength_(maxLength)
{
    setText(text);
}

void TextField::setText(const QString& text)
{
    text_ = maxLength_ > 0 ? text.left(maxLength_) : text;
    touch();
}

Label::Label(const char* name, QString caption, bool visible)
    : Control(name, visible)
    , caption_(std::move(caption))
{
}

void Label::setCaption(const QString& caption)
{
    if (caption_ == caption)
        return;
    caption_ = caption;
    touch();
}

void Label::setBackColor(std::int64_t colour)
{
    if (backColor_ == colour)
        return;
    backColor_ = colour;
    touch();
}

CommandButton::CommandButton(const char* name, QString caption)
    : Control(name)
    , caption_(std::move(caption))
{
}

Frame::Frame(const char* name, QString caption, bool visible)
    : Control(name, visible)
    , caption_(std::move(caption))
{
}

CheckBox::CheckBox(const char* name, QString caption, int value)
    : Control(name)
    , caption_(std::move(caption))
    , value_(value)
{
}

void CheckBox::setValue(int value)
{
    if (value_ == value)
        return;
    value_ = value;
    touch();
    if (onClick)
        onClick();
}

OptionButton::OptionButton(const char* name, QString caption, bool value)
    : Control(name)
    , caption_(std::move(caption))
    , value_(value)
{
}

void OptionButton::group(OptionButton& a, OptionButton& b)
{
    a.partner_ = &b;
    b.partner_ = &a;
}

void OptionButton::setValue(bool value)
{
    if (value_ != value) {
        value_ = value;
        touch();
    }
    if (!value)
        return;
    if (partner_ && partner_->value_) {
        partner_->value_ = false;
        partner_->touch();
    }
    if (onClick)
        onClick();
}

ComboBox::ComboBox(const char* name, QString text)
    : Control(name)
    , text_(std::move(text))
{
}

void ComboBox::setText(const QString& text)
{
    if (text_ == text)
        return;
    text_ = text;
    touch();
}

void ComboBox::AddItem(const QString& item)
{
    items_.append(item);
    touch();
}

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
    if (listIndex_ == index)
        listIndex_ = -1;
    else if (listIndex_ > index)
        --listIndex_;
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
    if (index < -1 || index >= ListCount())
        index = -1;
    if (listIndex_ == index)
        return;
    listIndex_ = index;
    touch();
}

TextPane::TextPane(const char* name, bool visible)
    : Control(name, visible)
{
}

void TextPane::setText(const QString& text)
{
    text_ = text;
    selStart_ = 0;
    ++layoutRevision_;
    touch();
}

void TextPane::appendText(const QString& text)
{
    text_ += text;
    touch();
}

void TextPane::setSelStart(int position)
{
    selStart_ = qBound(0, position, static_cast<int>(text_.size()));
    touch();
}

MenuItem::MenuItem(const char* name, QString caption)
    : Control(name)
    , caption_(std::move(caption))
{
}

} // namespace tarnwick
