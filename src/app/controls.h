#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>

namespace tarnwick {

/// Colours in the 0x00BBGGRR form the window uses.
namespace colour {
inline constexpr std::int64_t Red = 255;
inline constexpr std::int64_t Yellow = 65535;
inline constexpr std::int64_t Blue = 0xFF0000;
inline constexpr std::int64_t ButtonFace = 0x8000000F;
} // namespace colour

/// State shared by every control: a name, a visible flag and a revision number
/// that grows with every change, so the window layer redraws only what changed.
class Control {
public:
    explicit Control(const char* name, bool visible = true)
        : name_(name)
        , visible_(visible)
    {
    }
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const char* name() const { return name_; }
    std::uint64_t revision() const { return revision_; }

    bool Visible() const { return visible_; }
    void setVisible(bool visible);

protected:
    void touch() { ++revision_; }

private:
    const char* name_;
    std::uint64_t revision_ = 0;
    bool visible_;
};

/// A single- or multi-line text field. A maximum length (0: none) also cuts text set by the logic.
class TextField : public Control {
public:
    TextField(const char* name, QString text = {}, int maxLength = 0, bool visible = true);

    const QString& Text() const { return text_; }
    void setText(const QString& text);
    int MaxLength() const { return maxLength_; }

private:
    QString text_;
    int maxLength_;
};

class Label : public Control {
public:
    Label(const char* name, QString caption = {}, bool visible = true);

    const QString& Caption() const { return caption_; }
    void setCaption(const QString& caption);
    std::int64_t BackColor() const { return backColor_; }
    void setBackColor(std::int64_t colour);

private:
    QString caption_;
    std::int64_t backColor_ = colour::ButtonFace;
};

class CommandButton : public Control {
public:
    CommandButton(const char* name, QString caption);
    const QString& Caption() const { return caption_; }

private:
    QString caption_;
};

/// Panels (frames): hiding one hides everything inside it.
class Frame : public Control {
public:
    Frame(const char* name, QString caption, bool visible = true);
    const QString& Caption() const { return caption_; }

private:
    QString caption_;
};

/// Value 0 is unchecked, 1 checked. Setting a different value runs onClick,
/// exactly as a user's click does; setting the same value runs nothing.
class CheckBox : public Control {
public:
    CheckBox(const char* name, QString caption, int value = 0);

    const QString& Caption() const { return caption_; }
    int Value() const { return value_; }
    void setValue(int value);
    /// A user's click: flips the box, which runs the handler.
    void click() { setValue(value_ == 0 ? 1 : 0); }

    std::function<void()> onClick;

private:
    QString caption_;
    int value_;
};

/// Option buttons of one group: setting one true sets the others false and runs its onClick.
class OptionButton : public Control {
public:
    OptionButton(const char* name, QString caption, bool value = false);

    static void group(OptionButton& a, OptionButton& b);

    const QString& Caption() const { return caption_; }
    bool Value() const { return value_; }
    void setValue(bool value);
    /// A user's click selects the button, then runs its handler.
    void click() { setValue(true); }

    std::function<void()> onClick;

private:
    QString caption_;
    bool value_;
    OptionButton* partner_ = nullptr;
};

/// An editable combo box: the logic reads Text, which may hold text that is not among the items.
class ComboBox : public Control {
public:
    ComboBox(const char* name, QString text);

    const QString& Text() const { return text_; }
    void setText(const QString& text);
    void AddItem(const QString& item);
    int ListCount() const { return static_cast<int>(items_.size()); }
    const QString& List(int index) const { return items_.at(index); }
    const QStringList& items() const { return items_; }

private:
    QString text_;
    QStringList items_;
};

/// A multi-line text pane (lines joined by CR LF). appendText keeps long runs linear,
/// and layoutRevision() grows on every change that is not an append.
class TextPane : public Control {
public:
    TextPane(const char* name, bool visible = true);

    const QString& Text() const { return text_; }
    void setText(const QString& text);
    void appendText(const QString& text);
    /// The insertion point, as a character offset.
    int SelStart() const { return selStart_; }
    void setSelStart(int position);

    std::uint64_t layoutRevision() const { return layoutRevision_; }

private:
    QString text_;
    int selStart_ = 0;
    std::uint64_t layoutRevision_ = 0;
};

/// A file dialog's settings: filter in the "Description (*.ext)|*.ext" form,
/// initial folder and the full path that was chosen.
struct FileDialog {
    QString Filter;
    QString InitDir;
    QString FileName;
};

class MenuItem : public Control {
public:
    MenuItem(const char* name, QString caption);
    const QString& Caption() const { return caption_; }
    bool isSeparator() const { return caption_ == QLatin1String("-"); }

private:
    QString caption_;
};

} // namespace tarnwick
