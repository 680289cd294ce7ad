#include "ui/main_window.h"
#include "ui/platform_free.h"

#include "app/about.h"
#include "app/form1.h"
#include "app/small_handlers.h"
#include "files/file_commands.h"
#include "spider/pages_from_data.h"
#include "spider/save_run_report.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

#include <initializer_list>

namespace tarnwick {

namespace {

using Handler = void (*)(Form1&, Platform&);

struct Entry {
    MenuItem Form1::*item;
    Handler handler; // null for a separator
};

struct TopLevel {
    MenuItem Form1::*item;
    std::initializer_list<Entry> entries;
};

} // namespace

void MainWindow::buildMenus()
{
    // The menu tree, left to right and top to bottom, as the menus show it.
    const std::initializer_list<TopLevel> tree = {
        { &Form1::mnuKeywords,
            { { &Form1::mnuOpenKeywords, mnuOpenKeywords_Click }, { &Form1::mnuLine4, nullptr },
                { &Form1::mnuSaveKeywords, mnuSaveKeywords_Click }, { &Form1::mnuLine5, nullptr },
                { &Form1::mnuClearKeywords, mnuClearKeywords_Click } } },
        { &Form1::mnuURLs,
            { { &Form1::mnuOpenURLs, mnuOpenURLs_Click }, { &Form1::mnuLine1, nullptr },
                { &Form1::mnuSaveURLs, mnuSaveURLs_Click }, { &Form1::mnuLine2, nullptr },
                { &Form1::mnuClearURLs, mnuClearURLs_Click } } },
        { &Form1::mnuSpider,
            { { &Form1::mnuShowSpider, withoutPlatform<mnuShowSpider_Click> }, { &Form1::mnuLine6, nullptr },
                { &Form1::mnuOpenSpiderData, mnuOpenSpiderData_Click }, { &Form1::mnuLine7, nullptr },
                { &Form1::mnuSaveSpiderData, mnuSaveSpiderData_Click },
                { &Form1::mnuSaveRunReport, mnuSaveRunReport_Click },
                { &Form1::mnuCreatePages, mnuCreatePages_Click }, { &Form1::mnuLine8, nullptr },
                { &Form1::mnuClearSpiderData, mnuClearSpiderData_Click } } },
        { &Form1::mnuTemplate,
            { { &Form1::mnuShowTemplate, withoutPlatform<mnuShowTemplate_Click> },
                { &Form1::mnuLine9, nullptr }, { &Form1::mnuOpenTemplate, mnuOpenTemplate_Click },
                { &Form1::mnuLine10, nullptr }, { &Form1::mnuSaveTemplate, mnuSaveTemplate_Click },
                { &Form1::mnuLine11, nullptr }, { &Form1::mnuClearTemplate, mnuClearTemplate_Click } } },
        { &Form1::mnuStop, { { &Form1::mnuStopAll, withoutPlatform<mnuStopAll_Click> } } },
        { &Form1::mnuDisclaimer, {} },
        { &Form1::mnuHelp,
            { { &Form1::mnuGoToHelp, mnuGoToHelp_Click }, { &Form1::mnuAbout, mnuAbout_Click } } },
        { &Form1::mnuExit, { { &Form1::mnuQuit, mnuQuit_Click } } },
    };

    auto bind = [this](QAction* action, const MenuItem& item, Handler handler) {
        action->setObjectName(QString::fromLatin1(item.name()));
        actions_.insert(&item, action);
        connect(action, &QAction::triggered, this,
            [this, handler] { run([this, handler] { handler(form_, platform_); }); });
    };

    for (const TopLevel& top : tree) {
        const MenuItem& topItem = form_.*top.item;
        if (top.entries.size() == 0) {
            // The one top-level item that runs a command itself instead of opening a menu.
            bind(menuBar()->addAction(topItem.Caption()), topItem, withoutPlatform<mnuDisclaimer_Click>);
            continue;
        }
        QMenu* menu = menuBar()->addMenu(topItem.Caption());
        menu->setObjectName(QString::fromLatin1(topItem.name()));
        actions_.insert(&topItem, menu->menuAction());
        for (const Entry& entry : top.entries) {
            const MenuItem& item = form_.*entry.item;
            if (item.isSeparator()) {
                QAction* separator = menu->addSeparator();
                separator->setObjectName(QString::fromLatin1(item.name()));
                actions_.insert(&item, separator);
                continue;
            }
            bind(menu->addAction(item.Caption()), item, entry.handler);
        }
    }
    // Ctrl+Q even where the platform's theme names no Quit key (a bare X server, say).
    QList<QKeySequence> quitKeys = QKeySequence::keyBindings(QKeySequence::Quit);
    if (!quitKeys.contains(QKeySequence(Qt::CTRL | Qt::Key_Q)))
        quitKeys.append(QKeySequence(Qt::CTRL | Qt::Key_Q));
    action(form_.mnuQuit)->setShortcuts(quitKeys);
    buildSourcesMenu();
}

} // namespace tarnwick
