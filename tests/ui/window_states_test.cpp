// What the window shows a new user: the URL list's highlighted entry, controls that cannot act
// disabled, sources by address, numbers kept as typed, tooltips, keys, About, messages.
#include "app/state_folder.h"
#include "keywords/keyword_sources.h"
#include "spider/journal_state.h"
#include "spider/response_handler.h"
#include "spider/run_resume.h"
#include "support/fixtures.h"
#include "support/qt_printers.h"
#include "support/shown_window.h"
#include "support/spider_sites.h"
#include "ui/qt_platform.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

namespace tarnwick {
namespace {

using Shown = test::ShownWindow;

// Answers the next modal dialog from inside its own event loop.
void answerNextModal(std::function<void(QWidget*)> answer)
{
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, answer] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            poll->deleteLater();
            poll->stop();
            answer(modal);
        }
    });
    poll->start(10);
}

// A run shows in the strip however it started, a button or the resume question at start-up,
// and the strip's figures are the "Spidered:" and "Added:" labels of the same moment.
TEST(WindowStates, TheStripFollowsARunHoweverItStartedWithTheLabelsOwnFigures)
{
    const QStringList urls { "http://a.example/", "http://b.example/", "http://c.example/" };
    for (const bool resumed : { false, true }) {
        Shown w;
        Form1& f = w.f;
        attachResponseHandler(f, w.p);
        for (const QString& url : urls)
            static_cast<test::FakeTransferControl&>(*f.Inet1).answer(
                url, QString::fromStdString(test::spiderPage("A page of " + url.toStdString(), "Its text")));
        test::readySpider(f);
        f.List1.replaceAll(urls);
        f.Label1.setCaption(resumed ? "0" : "3"); // as loading or clearing the list leaves it
        if (resumed) {
            JournalEntry first;
            first.outcome = { 1, urls[0], Outcome::Timeout, "timeout" };
            first.added = first.counter = "0";
            QDir().mkpath(stateFolder());
            test::writeFileBytes(QDir(stateFolder()).filePath("20260101-000000-000-1.journal"),
                headerLine(journalHeader(f, w.p)) + entryLine(first));
            f.List1.Clear();
            w.p.yesNoAnswers = { true };
        }
        QStringList seen;
        w.p.onPump = [&](int) {
            w.window.sync(); // as the window's own platform does at every pump
            const QString strip = w.widget<QLabel>(f.labelStatus)->text();
            if (!strip.startsWith("Spider: "))
                return;
            seen << strip;
            EXPECT_TRUE(strip.startsWith(
                QString("Spider: URL %1 of %3, %2 added")
                    .arg(w.widget<QLabel>(f.Label15)->text(), w.widget<QLabel>(f.Label10)->text(),
                        w.widget<QLabel>(f.Label1)->text())))
                << strip.toStdString();
        };
        resumed ? offerInterruptedRun(f, w.p) : QTest::mouseClick(w.widget(f.Command3), Qt::LeftButton);
        EXPECT_EQ(w.p.messages.value(0), "Run completed! Tarnwick list of sites spidered!") << resumed;
        EXPECT_FALSE(seen.filter("Spider: URL 3 of 3").isEmpty()) << resumed << seen.join('\n').toStdString();
    }
}

TEST(WindowStates, HighlightedEntryMessagesRunsAndSourcesDecideWhichControlsActAndAddressesAreChecked)
{
    Shown w;
    Form1& f = w.f;
    w.window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w.window));
    // The URL list keeps its highlighted entry through the focus and messages.
    f.List1.replaceAll({ "http://a/", "http://b/", "http://c/", "http://d/" });
    w.window.sync();
    // Qt makes the first row current when the list gains the focus; nothing is highlighted.
    w.widget(f.List1)->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(f.List1.ListIndex(), -1);

    f.List1.setListIndex(1); // where a stopped run left it
    w.window.sync();
    // Messages are plain text under their whole title; a question is Yes only when Yes is chosen.
    QtPlatform qt;
    answerNextModal([](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        EXPECT_GT(box->width(), box->fontMetrics().horizontalAdvance("Tarnwick") * 2) << "room for the title";
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    });
    qt.MsgBox("Stopped! <b>");
    answerNextModal([](QWidget* box) { QTest::keyClick(box, Qt::Key_Escape); });
    EXPECT_FALSE(qt.askYesNo("Quit and lose it?"));
    QApplication::processEvents();
    EXPECT_EQ(f.List1.ListIndex(), 1);

    w.window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w.window));
    w.widget(f.Text1)->setFocus();
    auto enabled = [&](const Control& c) { return w.widget(c)->isEnabled(); };
    for (Activity activity :
        { Activity::Harvest, Activity::Spider, Activity::Lookup, Activity::Publish, Activity::None }) {
        f.activity = activity;
        w.window.sync();
        for (const Control* c :
            std::initializer_list<const Control*> { &f.Text1, &f.Command1, &f.Command3, &f.Command4 })
            EXPECT_EQ(enabled(*c), activity == Activity::None) << c->name() << " in " << int(activity);
        // Where pages go is fixed while they are written.
        const bool writesPages = activity == Activity::Spider || activity == Activity::Publish;
        for (const Control* c : std::initializer_list<const Control*> { &f.Text8, &f.Text9, &f.Check3 })
            EXPECT_EQ(enabled(*c), !writesPages) << c->name() << " in " << int(activity);
    }
    EXPECT_TRUE(w.widget(f.Text1)->hasFocus()) << "the seed box gets the focus back";
    QMenu* sources = w.window.action(f.mnuSources)->menu();
    const std::tuple<const char*, const char*, bool, bool> rows[] = {
        // The default result source is the private instance, which has no UK site.
        { "keywordSource:Classic", "Choose Overture server:", true, false },
        { "keywordSource:Google", "Country for suggestions:", true, false },
        { "keywordSource:DuckDuckGo", "Country for suggestions:", true, false },
        { "keywordSource:SearXNG", "Country for suggestions:", false, false },
        { "resultSource:Classic", "Country for suggestions:", false, true },
        { "resultSource:SearXNG", "Country for suggestions:", false, false },
        { "resultSource:Private", "Country for suggestions:", false, false },
    };
    for (const auto& [name, caption, country, uk] : rows) {
        const QString entry = QString::fromLatin1(name);
        QAction* action = sources->findChild<QAction*>(entry);
        action->trigger();
        EXPECT_EQ(entry.startsWith("keyword") ? f.keywordSource : f.resultSource, entry.section(':', 1));
        emit sources->aboutToShow();
        EXPECT_TRUE(action->isChecked()) << name;
        EXPECT_EQ(w.widget<QLabel>(f.Label5)->text(), caption) << name;
        EXPECT_EQ(enabled(f.Combo1), country) << name;
        EXPECT_EQ(enabled(f.Check2), uk) << name;
    }
    EXPECT_EQ(sources->findChild<QAction*>("resultSource:Private")->text(),
        "&Private instance (started by Tarnwick)");

    // "Other address…" is checked as it is given and shown as the choice.
    const QString instance = "http://10.0.0.5/", search = "http://s.lan/?q={searchTerms}&pageno={startPage}";
    const std::tuple<const char*, QString, QString Form1::*, QString, QString> others[] = {
        { "keywordSource:Other", " " + instance, &Form1::keywordSource, instance, {} },
        { "keywordSource:Other", "junk", &Form1::keywordSource, instance, unknownKeywordSource("junk") },
        { "resultSource:Other", search, &Form1::resultSource, search, {} },
    };
    for (const auto& [entry, typed, field, expected, message] : others) {
        w.p.messages.clear();
        answerNextModal([text = typed](QWidget* modal) {
            qobject_cast<QInputDialog*>(modal)->setTextValue(text);
            qobject_cast<QInputDialog*>(modal)->accept();
        });
        sources->findChild<QAction*>(entry)->trigger();
        EXPECT_EQ(w.f.*field, expected) << entry << typed.toStdString();
        EXPECT_EQ(w.p.messages, message.isEmpty() ? QStringList() : QStringList { message });
        emit sources->aboutToShow();
        EXPECT_TRUE(sources->findChild<QAction*>(entry)->isChecked());
        // Shown as typed, "&" and all, beside the entry's own access letter.
        EXPECT_EQ(sources->findChild<QAction*>(entry)->iconText(), "Other address: " + expected + "\u2026");
        EXPECT_EQ(QKeySequence::mnemonic(sources->findChild<QAction*>(entry)->text()),
            QKeySequence::mnemonic(QString(entry).startsWith("keyword") ? "&Other" : "O&ther"));
    }
    EXPECT_FALSE(enabled(f.Check2));
    EXPECT_FALSE(enabled(f.Combo1)) << "an instance's autocompleter takes no country";
}

// A name typed without an extension gets the save dialog's own; one with an extension keeps it.
TEST(WindowStates, SaveNamesNumbersStayAsTypedListsOpenWideTipsKeysAndAbout)
{
    Shown w;
    Form1& f = w.f;
    QTemporaryDir dir;
    const std::tuple<const char*, QString, const char*, const char*> rows[] = {
        { "Save Keywords", f.CDialog1.Filter, "cars", "cars.kwrds" },
        { "Save Run Report", f.reportDialog.Filter, "cars", "cars.csv" },
        { "a name with its own extension", f.CDialog1.Filter, "cars.old", "cars.old" },
    };
    for (const auto& [name, filter, typed, saved] : rows) {
        FileDialog dialog { filter, dir.path(), {} };
        answerNextModal([typed = QString(typed)](QWidget* modal) {
            auto* box = qobject_cast<QFileDialog*>(modal);
            ASSERT_TRUE(box);
            // As typed into its name field (selectFile leaves a field that has the focus alone).
            box->findChild<QLineEdit*>("fileNameEdit")->setText(typed);
            QMetaObject::invokeMethod(box, "accept", Qt::QueuedConnection);
        });
        QtPlatform qt;
        ASSERT_TRUE(qt.ShowSave(dialog)) << name;
        EXPECT_EQ(dialog.FileName, dir.filePath(saved)) << name;
    }

    const std::pair<ComboBox*, const char*> typed[]
        = { { &f.Combo2, "2" }, { &f.Combo8, "1" }, { &f.Combo7, "+" } };
    for (const auto& [box, text] : typed) {
        auto* combo = w.widget<QComboBox>(*box);
        combo->lineEdit()->clear();
        QTest::keyClicks(combo->lineEdit(), text);
        EXPECT_EQ(box->Text(), text) << box->name();
    }
    auto* fonts = w.widget<QComboBox>(f.Combo6);
    for (const QString& face : f.Combo6.items())
        EXPECT_GT(fonts->view()->minimumWidth(), fonts->view()->fontMetrics().horizontalAdvance(face));
    for (const char* part : { "commas", "\" -\"", "\"or\"" })
        EXPECT_TRUE(w.widget(f.Text5)->toolTip().contains(part)) << part;
    EXPECT_TRUE(w.widget(f.Label4)->toolTip().contains("harvest"));

    w.window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w.window));
    w.trigger(f.mnuDisclaimer);
    QTest::keyClick(&w.window, Qt::Key_Escape);
    EXPECT_FALSE(w.widget(f.Frame8)->isVisible());
    EXPECT_TRUE(w.window.action(f.mnuHelp)->menu()->actions().contains(w.window.action(f.mnuAbout)));
    w.trigger(f.mnuAbout);
    EXPECT_TRUE(w.p.messages.value(0).contains("Run journal: "));
}

} // namespace
} // namespace tarnwick
