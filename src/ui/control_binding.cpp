#include "ui/control_binding.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QStyle>
#include <QTextCursor>

#include <algorithm>
#include <memory>

namespace tarnwick {

namespace {

// The state joins lines with CR LF; Qt's editors use LF.
QString toShown(const QString& text)
{
    QString shown = text;
    return shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

QString fromShown(const QString& text)
{
    QString state = text;
    return state.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
}

// Typing "2" into a box of numbers must stay "2", not complete to "20" from the list.
bool holdsNumbers(const QStringList& items)
{
    return std::any_of(items.begin(), items.end(), [](const QString& item) {
        return !item.isEmpty()
            && (item.at(0).isDigit() || item.at(0) == QLatin1Char('+') || item.at(0) == QLatin1Char('-'));
    });
}

// The open list is as wide as its longest entry, however narrow the box is.
void fitPopup(QComboBox* widget)
{
    QAbstractItemView* view = widget->view();
    const QFontMetrics metrics(view->font());
    int widest = 0;
    for (int i = 0; i < widget->count(); ++i)
        widest = std::max(widest, metrics.horizontalAdvance(widget->itemText(i)));
    const int scrollBar = view->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, view);
    view->setMinimumWidth(widest + scrollBar + 2 * view->frameWidth() + 4 * metrics.averageCharWidth());
}

QString styleFor(std::int64_t colour)
{
    if (colour == colour::ButtonFace)
        return {};
    const int r = colour & 0xFF;
    const int g = (colour >> 8) & 0xFF;
    const int b = (colour >> 16) & 0xFF;
    return QStringLiteral("background-color: rgb(%1, %2, %3);").arg(r).arg(g).arg(b);
}

// Lists and panes draw no focus of their own while empty or with no row chosen; a frame in the
// highlight colour says where the keys go. It is as thick either way, so nothing moves.
void showFocusFrame(QWidget* widget)
{
    widget->setStyleSheet(
        QStringLiteral("QAbstractScrollArea { border: 1px solid palette(mid); margin: 1px; }"
                       "QAbstractScrollArea:focus { border: 2px solid palette(highlight); margin: 0px; }"));
}

/// Ctrl+Tab types the tab character that Tab, which moves the focus on, no longer types.
class CtrlTabTypesTab : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* edit = qobject_cast<QPlainTextEdit*>(watched);
        if (!edit || event->type() != QEvent::KeyPress || edit->isReadOnly())
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Tab || key->modifiers() != Qt::ControlModifier)
            return false;
        edit->insertPlainText(QStringLiteral("\t"));
        return true;
    }
};

} // namespace

ListBoxModel::ListBoxModel(const ListBox& list, QObject* parent)
    : QAbstractListModel(parent)
    , list_(list)
{
    shownRows_ = list_.ListCount();
    shownLayout_ = list_.layoutRevision();
}

int ListBoxModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : shownRows_;
}

QVariant ListBoxModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || index.row() >= list_.ListCount())
        return {};
    return list_.List(index.row());
}

void ListBoxModel::sync()
{
    const int rows = list_.ListCount();
    if (list_.layoutRevision() == shownLayout_ && rows >= shownRows_) {
        if (rows > shownRows_) {
            beginInsertRows({}, shownRows_, rows - 1);
            shownRows_ = rows;
            endInsertRows();
        }
        return;
    }
    beginResetModel();
    shownRows_ = rows;
    shownLayout_ = list_.layoutRevision();
    endResetModel();
}

void ControlBindings::sync()
{
    syncing_ = true;
    for (auto& syncer : syncers_)
        syncer();
    syncing_ = false;
}

void ControlBindings::visibility(const Control& control, QWidget* widget)
{
    syncers_.push_back([&control, widget] { widget->setVisible(control.Visible()); });
}

void ControlBindings::text(TextField& field, QLineEdit* edit)
{
    if (field.MaxLength() > 0)
        edit->setMaxLength(field.MaxLength());
    QObject::connect(
        edit, &QLineEdit::textEdited, edit, [&field](const QString& text) { field.setText(text); });
    syncers_.push_back([&field, edit, shown = ~std::uint64_t { 0 }]() mutable {
        if (shown == field.revision())
            return;
        shown = field.revision();
        if (edit->text() != field.Text()) {
            edit->setText(field.Text());
            // Text set by the logic is read from its start, as a user's own text would be.
            edit->setCursorPosition(0);
        }
    });
}

void ControlBindings::text(TextField& field, QPlainTextEdit* edit)
{
    showFocusFrame(edit);
    syncers_.push_back([&field, edit, shown = ~std::uint64_t { 0 }]() mutable {
        if (shown == field.revision())
            return;
        shown = field.revision();
        edit->setPlainText(toShown(field.Text()));
    });
}

void ControlBindings::label(Label& label, QLabel* widget)
{
    // Captions such as "Sitemap <H1> heading:" are text, never markup.
    widget->setTextFormat(Qt::PlainText);
    syncers_.push_back([&label, widget, shown = ~std::uint64_t { 0 }]() mutable {
        if (shown == label.revision())
            return;
        shown = label.revision();
        widget->setText(label.Caption());
        widget->setStyleSheet(styleFor(label.BackColor()));
    });
}

void ControlBindings::check(CheckBox& box, QCheckBox* widget)
{
    // The click goes through the control, so its handler runs exactly as when the logic sets it.
    QObject::connect(widget, &QCheckBox::clicked, widget, [this, &box] {
        if (syncing_)
            return;
        box.click();
        if (afterUserAction_)
            afterUserAction_();
    });
    syncers_.push_back([&box, widget] { widget->setChecked(box.Value() != 0); });
}

void ControlBindings::option(OptionButton& button, QRadioButton* widget)
{
    widget->setAutoExclusive(false);
    QObject::connect(widget, &QRadioButton::clicked, widget, [this, &button] {
        if (syncing_)
            return;
        button.click();
        if (afterUserAction_)
            afterUserAction_();
    });
    syncers_.push_back([&button, widget] { widget->setChecked(button.Value()); });
}

void ControlBindings::combo(ComboBox& box, QComboBox* widget)
{
    widget->setEditable(true);
    widget->setInsertPolicy(QComboBox::NoInsert);
    QObject::connect(widget, &QComboBox::editTextChanged, widget, [this, &box](const QString& text) {
        if (!syncing_)
            box.setText(text);
    });
    syncers_.push_back([&box, widget, shown = ~std::uint64_t { 0 }]() mutable {
        if (shown == box.revision())
            return;
        shown = box.revision();
        if (widget->count() != box.ListCount()) {
            widget->clear();
            widget->addItems(box.items());
            if (holdsNumbers(box.items()))
                widget->setCompleter(nullptr);
            fitPopup(widget);
        }
        if (widget->currentText() != box.Text())
            widget->setEditText(box.Text());
    });
}

void ControlBindings::list(ListBox& list, QListView* view)
{
    auto* model = new ListBoxModel(list, view);
    view->setModel(model);
    showFocusFrame(view);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setUniformItemSizes(true);
    // The entry is the highlighted one, not the view's current index: Qt moves that on its
    // own (to the first row when the list gains the focus with none chosen, away on a reset),
    // and the logic (the consolidation's stop point) must see only what the user sees.
    auto selectedRow = [view] {
        const QModelIndexList rows = view->selectionModel()->selectedRows();
        return rows.isEmpty() ? -1 : rows.first().row();
    };
    QObject::connect(
        view->selectionModel(), &QItemSelectionModel::selectionChanged, view, [this, &list, selectedRow] {
            if (!syncing_)
                list.setListIndex(selectedRow());
        });
    syncers_.push_back([&list, view, model, selectedRow, shown = ~std::uint64_t { 0 }]() mutable {
        if (shown == list.revision())
            return;
        shown = list.revision();
        model->sync();
        const int index = list.ListIndex();
        if (index == selectedRow())
            return;
        if (index < 0) {
            view->selectionModel()->clear();
        } else {
            const QModelIndex want = model->index(index);
            view->selectionModel()->setCurrentIndex(want, QItemSelectionModel::ClearAndSelect);
            view->scrollTo(want);
        }
    });
}

void ControlBindings::pane(TextPane& pane, QPlainTextEdit* edit)
{
    struct Shown {
        std::uint64_t revision = ~std::uint64_t { 0 };
        std::uint64_t layout = ~std::uint64_t { 0 };
        qsizetype length = 0;
    };
    auto shown = std::make_shared<Shown>();
    // Tab walks on to the next control as everywhere else in the window, instead of trapping
    // the focus and typing into the records or the template.
    edit->setTabChangesFocus(true);
    edit->installEventFilter(new CtrlTabTypesTab(edit));
    showFocusFrame(edit);
    QObject::connect(edit, &QPlainTextEdit::textChanged, edit, [this, &pane, edit, shown] {
        if (syncing_)
            return;
        pane.setText(fromShown(edit->toPlainText()));
        // The editor already shows this text; redrawing it would move the user's cursor.
        *shown = { pane.revision(), pane.layoutRevision(), pane.Text().size() };
    });
    syncers_.push_back([&pane, edit, shown] {
        if (shown->revision == pane.revision())
            return;
        if (shown->layout == pane.layoutRevision() && pane.Text().size() >= shown->length) {
            // Only appended: add the new tail instead of re-laying out the whole text.
            QTextCursor end(edit->document());
            end.movePosition(QTextCursor::End);
            end.insertText(toShown(pane.Text().mid(shown->length)));
        } else {
            edit->setPlainText(toShown(pane.Text()));
        }
        *shown = { pane.revision(), pane.layoutRevision(), pane.Text().size() };
        if (pane.SelStart() >= shown->length && shown->length > 0)
            edit->moveCursor(QTextCursor::End);
    });
}

} // namespace tarnwick
