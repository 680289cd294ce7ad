#include "ui/main_window.h"
#include "ui/platform_free.h"

#include "app/form1.h"
#include "app/small_handlers.h"
#include "harvest/url_harvest.h"
#include "keywords/keyword_lookup.h"
#include "listtools/clipboard_export.h"
#include "listtools/consolidation.h"
#include "listtools/randomiser.h"
#include "spider/spider_run.h"
#include "ui/source_choice.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFont>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tarnwick {

namespace {

template <typename L> L* compact(L* layout)
{
    layout->setContentsMargins(4, 2, 4, 4);
    layout->setSpacing(3);
    return layout;
}

// Check boxes and option buttons carry their caption on the left of the box.
template <typename B> B* captionLeft(B* button)
{
    button->setLayoutDirection(Qt::RightToLeft);
    return button;
}

} // namespace

QLabel* MainWindow::label(Label& control, QWidget* parent)
{
    auto* widget = shows(control, new QLabel(parent));
    bindings_.label(control, widget);
    return widget;
}

QPushButton* MainWindow::button(
    const CommandButton& control, QWidget* parent, void (*handler)(Form1&, Platform&))
{
    auto* widget = shows(control, new QPushButton(control.Caption(), parent));
    // The buttons that start a long command wait for the one running; Stop All ends it.
    if (&control == &form_.Command1 || &control == &form_.Command3 || &control == &form_.Command4)
        bindEnabled(widget, [this] { return form_.activity == Activity::None; });
    connect(widget, &QPushButton::clicked, this,
        [this, handler] { run([this, handler] { handler(form_, platform_); }); });
    return widget;
}

QHBoxLayout* MainWindow::countRow(Label& caption, Label& count, QWidget* parent)
{
    auto* row = new QHBoxLayout;
    row->addWidget(label(caption, parent));
    row->addWidget(label(count, parent), 1);
    return row;
}

void MainWindow::buildKeywordPanel(QWidget* parent)
{
    Form1& f = form_;
    auto* panel = placeFrame(f.Frame1, f.Frame1.Caption(), parent);
    auto* layout = compact(new QVBoxLayout(panel));

    seedBox_ = shows(f.Text1, new QLineEdit(panel));
    seedBox_->installEventFilter(this);
    bindings_.text(f.Text1, seedBox_);
    layout->addWidget(seedBox_);

    // Enter in the seed box starts a lookup: not while another long command runs.
    bindEnabled(seedBox_, [this] { return form_.activity == Activity::None; });
    auto* add = button(f.Command2, panel, Command2_Click);
    layout->addWidget(add);

    auto* serverLabel = label(f.Label5, panel);
    layout->addWidget(serverLabel);
    auto* server = shows(f.Combo1, new QComboBox(panel));
    bindings_.combo(f.Combo1, server);
    bindEnabled(server, [this] { return countryBoxUsed(form_); });
    layout->addWidget(server);

    auto* status = shows(f.Label8, new QLabel(panel));
    status->setMinimumHeight(twips_.px(285));
    bindings_.label(f.Label8, status);
    layout->addWidget(status);

    auto* keywords = shows(f.List2, new QListView(panel));
    bindings_.list(f.List2, keywords);
    layout->addWidget(keywords, 1);

    layout->addLayout(countRow(f.Label6, f.Label7, panel));
}

void MainWindow::buildUrlPanel(QWidget* parent)
{
    Form1& f = form_;
    auto* panel = placeFrame(f.Frame2, f.Frame2.Caption(), parent);
    auto* layout = compact(new QVBoxLayout(panel));

    auto* grab = shows(f.Frame3, new QGroupBox(f.Frame3.Caption(), panel));
    bindings_.visibility(f.Frame3, grab);
    auto* grabLayout = compact(new QGridLayout(grab));
    auto* fullUrl = shows(f.Check1, captionLeft(new QCheckBox(f.Check1.Caption(), grab)));
    bindings_.check(f.Check1, fullUrl);
    auto* uk = shows(f.Check2, captionLeft(new QCheckBox(f.Check2.Caption(), grab)));
    bindings_.check(f.Check2, uk);
    bindEnabled(uk, [this] { return ukBoxUsed(form_); });
    auto* go = button(f.Command1, grab, Command1_Click);
    auto* indicator = shows(f.Label4, new QLabel(grab));
    indicator->setFixedSize(twips_.px(255), twips_.px(255));
    indicator->setFrameShape(QFrame::Box);
    bindings_.label(f.Label4, indicator);
    grabLayout->addWidget(fullUrl, 0, 0, 1, 2, Qt::AlignLeft);
    grabLayout->addWidget(uk, 1, 0, 1, 2, Qt::AlignLeft);
    grabLayout->addWidget(go, 2, 0);
    grabLayout->addWidget(indicator, 2, 1, Qt::AlignCenter);
    layout->addWidget(grab);

    auto* urls = shows(f.List1, new QListView(panel));
    bindings_.list(f.List1, urls);
    connect(urls, &QListView::doubleClicked, this, [this](const QModelIndex& index) {
        run([this, index] {
            form_.List1.setListIndex(index.row());
            List1_DblClick(form_);
        });
    });
    layout->addWidget(urls, 1);

    auto* hint = label(f.Label18, panel);
    layout->addWidget(hint);

    layout->addLayout(countRow(f.Label2, f.Label1, panel));

    auto* shuffle = button(f.Command4, panel, Command4_Click);
    layout->addWidget(shuffle);
    auto* shuffleStatus = label(f.Label17, panel);
    layout->addWidget(shuffleStatus);
}

void MainWindow::buildSpiderPanel(QWidget* parent)
{
    Form1& f = form_;
    auto* panel = placeFrame(f.Frame4, f.Frame4.Caption(), parent);
    auto* layout = compact(new QVBoxLayout(panel));
    layout->setContentsMargins(2, 2, 2, 2);

    auto* fields = new QGridLayout;
    fields->setSpacing(3);
    auto field = [&](Label& caption, TextField& text, int row) {
        auto* captionWidget = label(caption, panel);
        auto* edit = shows(text, new QLineEdit(panel));
        bindings_.text(text, edit);
        fields->addWidget(captionWidget, row, 0);
        fields->addWidget(edit, row, 1);
    };
    field(f.Label9, f.Text4, 0);
    field(f.Label12, f.Text6, 1);
    auto* timeoutLabel = label(f.Label13, panel);
    auto* timeout = shows(f.Combo2, new QComboBox(panel));
    bindings_.combo(f.Combo2, timeout);
    fields->addWidget(timeoutLabel, 2, 0);
    fields->addWidget(timeout, 2, 1, Qt::AlignLeft);
    // Under the timeout: both say how the requests go out.
    auto* parallelLabel = label(f.Label27, panel);
    auto* parallel = shows(f.Combo8, new QComboBox(panel));
    bindings_.combo(f.Combo8, parallel);
    fields->addWidget(parallelLabel, 3, 0);
    fields->addWidget(parallel, 3, 1, Qt::AlignLeft);
    auto* perHostLabel = label(f.Label30, panel);
    auto* perHost = shows(f.Combo10, new QComboBox(panel));
    bindings_.combo(f.Combo10, perHost);
    fields->addWidget(perHostLabel, 4, 0);
    fields->addWidget(perHost, 4, 1, Qt::AlignLeft);
    // Under them, what a request does when a site asks for restraint or fails for a moment.
    auto* retriesLabel = label(f.Label29, panel);
    auto* retries = shows(f.Combo9, new QComboBox(panel));
    bindings_.combo(f.Combo9, retries);
    auto* robots = shows(f.Check9, captionLeft(new QCheckBox(f.Check9.Caption(), panel)));
    bindings_.check(f.Check9, robots);
    auto* courtesy = new QHBoxLayout;
    courtesy->addWidget(retries);
    courtesy->addSpacing(12);
    courtesy->addWidget(robots);
    courtesy->addStretch(1);
    fields->addWidget(retriesLabel, 5, 0);
    fields->addLayout(courtesy, 5, 1);
    layout->addLayout(fields);

    auto* data = shows(f.RichTextBox1, new QPlainTextEdit(panel));
    data->setLineWrapMode(QPlainTextEdit::NoWrap);
    bindings_.pane(f.RichTextBox1, data);
    layout->addWidget(data, 1);

    auto* counters = new QHBoxLayout;
    for (Label* caption : { &f.Label16, &f.Label15, &f.Label11, &f.Label10 })
        counters->addWidget(label(*caption, panel), caption == &f.Label15 || caption == &f.Label10 ? 1 : 0);
    layout->addLayout(counters);

    auto* exportRow = new QHBoxLayout;
    auto* copy = button(f.Command5, panel, Command5_Click);
    auto* csv = shows(f.Check7, captionLeft(new QCheckBox(f.Check7.Caption(), panel)));
    bindings_.check(f.Check7, csv);
    exportRow->addWidget(copy, 1);
    exportRow->addWidget(csv);
    layout->addLayout(exportRow);

    auto* consolidate = button(f.Command6, panel, Command6_Click);
    layout->addWidget(consolidate);

    buildPageManagerPanel(panel);
}

void MainWindow::buildPageManagerPanel(QWidget* spiderPanel)
{
    Form1& f = form_;
    auto* panel = shows(f.Frame6, new QGroupBox(f.Frame6.Caption(), spiderPanel));
    bindings_.visibility(f.Frame6, panel);
    spiderPanel->layout()->addWidget(panel);
    auto* grid = compact(new QGridLayout(panel));
    grid->setContentsMargins(2, 2, 2, 2);
    // Two captioned boxes share each row; a slightly smaller face lets both captions show whole.
    QFont face = panel->font();
    face.setPointSizeF(7.5);
    panel->setFont(face);
    int row = 0;

    auto check = [&](CheckBox& control) {
        auto* widget = shows(control, captionLeft(new QCheckBox(control.Caption(), panel)));
        bindings_.check(control, widget);
        return widget;
    };
    auto option = [&](OptionButton& control) {
        auto* widget = shows(control, captionLeft(new QRadioButton(control.Caption(), panel)));
        bindings_.option(control, widget);
        return widget;
    };
    auto combo = [&](ComboBox& control) {
        auto* widget = shows(control, new QComboBox(panel));
        // Long font lists must not widen the panel; the list opens wide enough anyway.
        widget->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        widget->setMinimumContentsLength(4);
        bindings_.combo(control, widget);
        return widget;
    };
    auto text = [&](TextField& control) {
        auto* widget = shows(control, new QLineEdit(panel));
        bindings_.text(control, widget);
        return widget;
    };

    // Rows of several controls get a line of their own, so the grid keeps two columns:
    // captions, then fields.
    auto line = [&](std::initializer_list<std::pair<QWidget*, int>> widgets) {
        auto* line = new QHBoxLayout;
        line->setSpacing(2);
        for (auto [widget, stretch] : widgets) {
            if (widget)
                line->addWidget(widget, stretch);
            else
                line->addStretch(stretch);
        }
        grid->addLayout(line, row++, 0, 1, 2);
    };
    auto labelled = [&](Label& caption, QWidget* field) {
        grid->addWidget(label(caption, panel), row, 0);
        grid->addWidget(field, row++, 1);
    };

    grid->addWidget(label(f.Label14, panel), row++, 0, 1, 2);
    line({ { text(f.Text5), 1 }, { check(f.Check8), 0 } });
    labelled(f.Label19, combo(f.Combo3));
    labelled(f.Label22, text(f.Text8));
    // The longest caption sits above its field.
    grid->addWidget(label(f.Label23, panel), row++, 0, 1, 2);
    grid->addWidget(text(f.Text9), row++, 0, 1, 2);
    labelled(f.Label24, text(f.Text10));
    labelled(f.Label25, text(f.Text11));
    labelled(f.Label28, text(f.Text18));
    line({ { label(f.Label20, panel), 0 }, { combo(f.Combo6), 3 }, { label(f.Label26, panel), 0 },
        { combo(f.Combo7), 1 } });
    grid->setColumnStretch(1, 1);
    line({ { check(f.Check3), 0 }, { nullptr, 1 }, { check(f.Check6), 0 } });
    line({ { check(f.Check4), 0 }, { nullptr, 1 }, { check(f.Check5), 0 } });
    line({ { option(f.Option1), 0 }, { nullptr, 1 }, { option(f.Option2), 0 } });

    // Pages are named and placed by these while a run or a publish writes them; a name changed
    // half-way would send the rest to a folder that was never checked.
    for (const Control* setting : std::initializer_list<const Control*> { &f.Combo3, &f.Text8, &f.Text9,
             &f.Text10, &f.Text11, &f.Text18, &f.Combo6, &f.Combo7, &f.Check3, &f.Check6 })
        bindEnabled(widgetFor(*setting),
            [this] { return form_.activity != Activity::Spider && form_.activity != Activity::Publish; });

    auto* loose = button(f.Command3, panel, Command3_Click);
    grid->addWidget(loose, row++, 0, 1, 2);
}

void MainWindow::buildTemplatePanel(QWidget* parent)
{
    Form1& f = form_;
    auto* panel = placeFrame(f.Frame5, f.Frame5.Caption(), parent);
    auto* layout = compact(new QVBoxLayout(panel));
    auto* pane = shows(f.RichTextBox2, new QPlainTextEdit(panel));
    pane->setLineWrapMode(QPlainTextEdit::NoWrap);
    bindings_.pane(f.RichTextBox2, pane);
    layout->addWidget(pane, 1);
    auto* help = shows(f.Label21, new QLabel(panel));
    help->setWordWrap(true);
    bindings_.label(f.Label21, help);
    layout->addWidget(help);
}

void MainWindow::buildDisclaimerPanel(QWidget* parent)
{
    Form1& f = form_;
    auto* panel = placeFrame(f.Frame8, f.Frame8.Caption(), parent);
    panel->setAutoFillBackground(true);
    panel->setStyleSheet(QStringLiteral("QGroupBox#Frame8 { background-color: rgb(255, 192, 192); }"));
    auto* layout = compact(new QVBoxLayout(panel));
    auto* notice = shows(f.Text16, new QPlainTextEdit(panel));
    notice->setReadOnly(true);
    bindings_.text(f.Text16, notice);
    layout->addWidget(notice, 1);
    auto* close = button(f.Command7, panel, withoutPlatform<Command7_Click>);
    layout->addWidget(close);
    // It lies over the two left columns when shown.
    panel->raise();
}

} // namespace tarnwick
