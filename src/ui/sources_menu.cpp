#include "ui/main_window.h"

#include "app/form1.h"
#include "harvest/result_sources.h"
#include "keywords/keyword_sources.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

namespace tarnwick {

namespace {

// A caption that cannot be chosen, heading the entries below it.
void addHeading(QMenu* menu, const QString& text)
{
    QAction* heading = menu->addAction(text);
    heading->setEnabled(false);
}

} // namespace

void MainWindow::buildSourcesMenu()
{
    // One menu shows both choices with their check marks at a glance, and it comes after
    // Stop so the menus before it keep their places and access letters.
    auto* menu = new QMenu(form_.mnuSources.Caption(), this);
    menu->setObjectName(QString::fromLatin1(form_.mnuSources.name()));
    menu->setToolTipsVisible(true);
    menuBar()->insertMenu(action(form_.mnuDisclaimer), menu);
    actions_.insert(&form_.mnuSources, menu->menuAction());

    // Each entry sets the plain choice in Form1; the marks are read back from it on opening.
    struct Choice {
        QAction* action;
        QString name;
        QString Form1::*field;
    };
    auto choices = std::make_shared<std::vector<Choice>>();
    auto addChoices
        = [&](QActionGroup* group, const QString& name, const QString& address, QString Form1::*field) {
              QAction* entry = menu->addAction(name);
              entry->setObjectName((field == &Form1::keywordSource ? QStringLiteral("keywordSource:")
                                                                   : QStringLiteral("resultSource:"))
                  + name);
              entry->setCheckable(true);
              entry->setToolTip(
                  address.isEmpty() ? tr("The original service, as the environment sets it") : address);
              group->addAction(entry);
              choices->push_back({ entry, name, field });
              connect(entry, &QAction::triggered, this,
                  [this, name, field] { run([this, name, field] { form_.*field = name; }); });
          };

    addHeading(menu, tr("Keyword suggestions from:"));
    auto* keywordGroup = new QActionGroup(menu);
    for (const KeywordSource& source : keywordSources())
        addChoices(keywordGroup, source.name, source.addressTemplate, &Form1::keywordSource);
    QAction* expand = menu->addAction(tr("Expand seed with a-z, 0-9"));
    expand->setObjectName(QStringLiteral("seedExpansion"));
    expand->setCheckable(true);
    connect(expand, &QAction::triggered, this, [this](bool on) {
        run([this, on] { form_.seedExpansion = on ? SeedExpansion::On : SeedExpansion::Off; });
    });
    menu->addSeparator();
    addHeading(menu, tr("Result URLs from:"));
    auto* resultGroup = new QActionGroup(menu);
    for (const ResultSource& source : resultSources())
        addChoices(resultGroup, source.name, source.addressTemplate, &Form1::resultSource);

    connect(menu, &QMenu::aboutToShow, this, [this, choices, expand] {
        // A template given elsewhere (the command line) matches no entry, so none is marked.
        const std::optional<KeywordSource> keywords = keywordSourceFor(form_.keywordSource);
        const std::optional<ResultSource> results = resultSourceFor(form_.resultSource);
        const QString keywordName = keywords ? keywords->name : QString();
        const QString resultName = results ? results->name : QString();
        for (const Choice& choice : *choices)
            choice.action->setChecked(
                choice.name == (choice.field == &Form1::keywordSource ? keywordName : resultName));
        expand->setChecked(form_.seedExpansion == SeedExpansion::On);
    });
}

} // namespace tarnwick
