#pragma once

#include "app/controls.h"
#include "app/list_box.h"

#include <QAbstractListModel>

#include <functional>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListView;
class QPlainTextEdit;
class QRadioButton;
class QWidget;

namespace tarnwick {

/// Shows a ListBox in a view: rows are appended while the list only grew at its end, and
/// the model is reset otherwise, so 30000 entries stay cheap to draw.
class ListBoxModel : public QAbstractListModel {
public:
    explicit ListBoxModel(const ListBox& list, QObject* parent = nullptr);
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    void sync();

private:
    const ListBox& list_;
    int shownRows_ = 0;
    std::uint64_t shownLayout_ = 0;
};

/// Keeps widgets and controls in step in both directions. The window calls sync() after
/// every handler and pump; each binding redraws only when its control's revision moved,
/// and user edits flow back into the control without echoing.
class ControlBindings {
public:
    void text(TextField& field, QLineEdit* edit);
    void text(TextField& field, QPlainTextEdit* edit);
    void label(Label& label, QLabel* widget);
    void check(CheckBox& box, QCheckBox* widget);
    void option(OptionButton& button, QRadioButton* widget);
    void combo(ComboBox& box, QComboBox* widget);
    void list(ListBox& list, QListView* view);
    void pane(TextPane& pane, QPlainTextEdit* edit);
    void visibility(const Control& control, QWidget* widget);

    void sync();
    /// Runs after each user action that goes through a control's handler (a click on a check
    /// box or option button), so the window can redraw what the handler chain changed.
    void setAfterUserAction(std::function<void()> after) { afterUserAction_ = std::move(after); }
    /// True while a sync writes into widgets, so their change signals are not user edits.
    bool syncing() const { return syncing_; }

private:
    std::vector<std::function<void()>> syncers_;
    std::function<void()> afterUserAction_;
    bool syncing_ = false;
};

} // namespace tarnwick
