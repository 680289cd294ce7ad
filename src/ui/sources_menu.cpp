#include "ui/main_window.h"

#include "app/form1.h"
#include "app/platform.h"
#include "harvest/result_sources.h"
#include "keywords/keyword_sources.h"
#include "ui/source_choice.h"

#include <QAction>
#include <QActionGroup>
#include <QInputDialog>
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

// `text` with its access letter: the first letter or digit that no entry above it in the menu
// took, so every entry is reached with a key of its own, whatever the source tables hold.
QString withAccessLetter(const QString& text, QString& taken)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar letter = text.at(i).toCaseFolded();
        if (text.at(i).isLetterOrNumber() && !taken.contains(letter)) {
            taken += letter;
            return text.left(i) + QLatin1Char('&') + text.mid(i);
        }
    }
    return text;
}

// An address shown in a caption: its "&" is a character, not an access letter.
QString shownInCaption(QString text)
{
    return text.replace(QLatin1Char('&'), QStringLiteral("&&"));
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
        QString name; // empty for "Other address…"
        SourceKind kind;
        QString caption; // with its access letter
    };
    QString taken;
    auto choices = std::make_shared<std::vector<Choice>>();
    auto prefix = [](SourceKind kind) {
        return kind == SourceKind::Keywords ? QStringLiteral("keywordSource:")
                                            : QStringLiteral("resultSource:");
    };
    auto addChoices = [&](QActionGroup* group, const QString& name, const QString& address, SourceKind kind,
                          const QString& caption = {}) {
        QAction* entry = menu->addAction(withAccessLetter(caption.isEmpty() ? name : caption, taken));
        entry->setObjectName(prefix(kind) + name);
        entry->setCheckable(true);
        entry->setToolTip(
            address.isEmpty() ? tr("The original service, as the environment sets it") : address);
        group->addAction(entry);
        choices->push_back({ entry, name, kind, entry->text() });
        connect(entry, &QAction::triggered, this,
            [this, name, kind] { run([this, name, kind] { chooseSource(form_, kind, name); }); });
    };
    // An instance or template of the user's own, in the forms --source takes, checked as it is given.
    auto addOther = [&](QActionGroup* group, SourceKind kind, const QString& prompt) {
        QAction* entry = menu->addAction(withAccessLetter(tr("Other address…"), taken));
        entry->setObjectName(prefix(kind) + QStringLiteral("Other"));
        entry->setCheckable(true);
        group->addAction(entry);
        choices->push_back({ entry, QString(), kind, entry->text() });
        connect(entry, &QAction::triggered, this, [this, kind, prompt] {
            bool ok = false;
            const QString address = QInputDialog::getText(
                this, QStringLiteral("Tarnwick"), prompt, QLineEdit::Normal, otherSource(form_, kind), &ok);
            if (!ok)
                return;
            run([this, kind, address] {
                if (const QString refusal = chooseSource(form_, kind, address); !refusal.isEmpty())
                    platform_.MsgBox(refusal);
            });
        });
    };

    addHeading(menu, tr("Keyword suggestions from:"));
    auto* keywordGroup = new QActionGroup(menu);
    for (const KeywordSource& source : keywordSources())
        addChoices(keywordGroup, source.name, source.addressTemplate, SourceKind::Keywords);
    addOther(keywordGroup, SourceKind::Keywords,
        tr("Keyword suggestions from a SearXNG instance (http://host:port)\nor an address template "
           "with {searchTerms}:"));
    QAction* expand = menu->addAction(withAccessLetter(tr("Expand seed with a-z, 0-9"), taken));
    expand->setObjectName(QStringLiteral("seedExpansion"));
    expand->setCheckable(true);
    connect(expand, &QAction::triggered, this, [this](bool on) {
        run([this, on] { form_.seedExpansion = on ? SeedExpansion::On : SeedExpansion::Off; });
    });
    menu->addSeparator();
    addHeading(menu, tr("Result URLs from:"));
    auto* resultGroup = new QActionGroup(menu);
    for (const ResultSource& source : resultSources())
        addChoices(resultGroup, source.name, source.addressTemplate, SourceKind::Results, source.caption);
    addOther(resultGroup, SourceKind::Results,
        tr("Result URLs from a SearXNG instance (http://host:port)\nor an address template with "
           "{searchTerms} and {startPage}:"));

    connect(menu, &QMenu::aboutToShow, this, [this, choices, expand] {
        const std::optional<KeywordSource> keywords = keywordSourceFor(form_.keywordSource);
        const std::optional<ResultSource> results = resultSourceFor(form_.resultSource);
        const QString keywordName = keywords ? keywords->name : QString();
        const QString resultName = results ? results->name : QString();
        for (const Choice& choice : *choices) {
            const QString other = otherSource(form_, choice.kind);
            if (choice.name.isEmpty()) {
                // The address in use is shown where it was chosen.
                choice.action->setChecked(!other.isEmpty());
                // "Other address…" becomes "Other address: ADDRESS…", its access letter kept.
                choice.action->setText(other.isEmpty() ? choice.caption
                                                       : choice.caption.chopped(1) + QStringLiteral(": ")
                            + shownInCaption(other) + QStringLiteral("…"));
                continue;
            }
            choice.action->setChecked(other.isEmpty()
                && choice.name == (choice.kind == SourceKind::Keywords ? keywordName : resultName));
        }
        expand->setChecked(form_.seedExpansion == SeedExpansion::On);
    });
}

} // namespace tarnwick
