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
    if (partner_)
        partner_->setValue(false);
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
