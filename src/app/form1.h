#pragma once

#include "app/controls.h"
#include "app/list_box.h"
#include "app/page_verdict.h"
#include "net/transfer_control.h"
#include "spider/run_journal.h"
#include "spider/run_report.h"

#include <QMap>

#include <memory>

namespace tarnwick {

class RunRecorder;

/// The long commands that pump events. While one runs, the run buttons do nothing (no second
/// run nested inside the first) and, during the randomiser, the URL list cannot be changed.
enum class Activity { None, Harvest, Spider, Randomise, Lookup, Publish };

/// Whether a keyword lookup also asks for the seed followed by " a" to " z" and " 0" to " 9".
enum class SeedExpansion { Off, On };

/// The randomiser's three passes over the URL list, in order.
enum class RandomiserPhase { Drawing, Scrambling, Rebuilding };

/// What the harvest asks for once its wait between requests ends.
enum class HarvestNext { Page, Keyword, Nothing };

/// How far a long command has got, where its controls do not show it. The loops write it
/// and the window's status strip reads it a few times a second.
struct RunProgress {
    /// The harvest's result page of the current keyword, from 1.
    int harvestPage = 0;
    /// 250 ms ticks left of the harvest's wait before its next page; 0 while it fetches.
    int harvestWaitTicks = 0;
    HarvestNext harvestNext = HarvestNext::Page;
    /// URLs the current harvest added to the URL list.
    int harvestFound = 0;
    /// The harvest waits for the private search instance it started to answer.
    bool harvestStartingInstance = false;
    /// The keyword lookup's seed being asked for, its number from 1 and how many there are.
    QString lookupSeedText;
    int lookupSeed = 0;
    int lookupSeeds = 0;
    RandomiserPhase randomiserPhase = RandomiserPhase::Drawing;
    /// Steps of the randomiser's current phase done, of how many.
    qsizetype randomiserDone = 0;
    qsizetype randomiserSteps = 0;

    void startRandomiserPhase(RandomiserPhase phase, qsizetype steps)
    {
        randomiserPhase = phase;
        randomiserDone = 0;
        randomiserSteps = steps;
    }
};

/// The window's whole state: one member per control, named by the control's name, visible
/// and hidden. The window layer shows it; the handlers are functions over it.
class Form1 {
public:
    /// Builds every control at its initial value and wires the record-option interlocks.
    /// Form_Load (app/startup.h) then fills the combo boxes, backlinks and template.
    explicit Form1(std::unique_ptr<TransferControl> inet);

    // The window itself.
    const QString& Caption() const { return caption_; }
    void setCaption(const QString& caption);
    std::uint64_t revision() const { return revision_; }

    /// The control that has the focus (set by a handler after an input message), or null.
    const Control* focused() const { return focused_; }
    void SetFocus(const Control& control);
    /// Grows with every SetFocus, so the window moves the focus once per request, not again
    /// at every later change of the caption.
    std::uint64_t focusRequest() const { return focusRequests_; }

    /// The long command running now; see ActivityScope.
    Activity activity = Activity::None;
    /// File names of the results pages whose links are in the sitemap link list (Text15), in
    /// the same order; sitemap.xml lists them. Emptied whenever Text15 is.
    QStringList pageFiles;
    /// Why the page or sitemap that ended the current spider run could not be written ("File
    /// ... could not be saved: ..."); empty while every page has been written.
    QString pageFailure;
    /// Why the last completed response yielded a record or nothing; the response handler sets
    /// it for every response it reads.
    PageVerdict pageVerdict = PageVerdict::NotRead;

    /// The services the keyword lookup and the harvest ask: a name from keywordSources()
    /// (keywords/keyword_sources.h) or resultSources() (harvest/result_sources.h), or an
    /// address template; empty stands for the table's first row.
    QString keywordSource;
    QString resultSource;
    SeedExpansion seedExpansion = SeedExpansion::Off;
    /// The spider data pane's revision when it last matched a file (saved or opened), so
    /// Quit can tell whether leaving loses data; see spiderDataUnsaved().
    std::uint64_t spiderDataSavedAt = 0;
    bool spiderDataUnsaved() const
    {
        return !RichTextBox1.Text().isEmpty() && RichTextBox1.revision() != spiderDataSavedAt;
    }
    void markSpiderDataSaved() { spiderDataSavedAt = RichTextBox1.revision(); }
    /// Progress of the long command running now; see RunProgress.
    RunProgress progress;
    /// What became of each URL of the last spider run.
    RunReport runReport;
    /// Whether a spider run keeps a journal it can be resumed from (spider/run_journal.h).
    RunJournaling journaling = RunJournaling::On;
    /// What the front end adds to a run's journal (the command line's output files).
    QMap<QString, QString> journalExtras;
    /// The journal of the spider run going on, or null.
    RunRecorder* runJournal = nullptr;
    /// When the spider run going on, or the last one, started; a resumed run keeps the start
    /// of the run it resumes, so that its sitemap.xml carries the same date.
    QDateTime runStarted;

    // Keyword panel.
    Frame Frame1 { "Frame1", "Input keyword and hit 'Enter':" };
    TextField Text1 { "Text1" };
    CommandButton Command2 { "Command2", "Add" };
    Label Label5 { "Label5", "Choose Overture server:" };
    ComboBox Combo1 { "Combo1", "United Kingdom" };
    Label Label8 { "Label8" };
    ListBox List2 { "List2" };
    Label Label6 { "Label6", "Keyword count:" };
    Label Label7 { "Label7", "0" };

    // URL panel.
    Frame Frame2 { "Frame2", "URLs:" };
    Frame Frame3 { "Frame3", "Grab urls:" };
    CheckBox Check1 { "Check1", "Check for full url:" };
    CheckBox Check2 { "Check2", "Google UK:" };
    CommandButton Command1 { "Command1", "Go!" };
    Label Label4 { "Label4" };
    ListBox List1 { "List1" };
    Label Label18 { "Label18", "(double-click entry to delete)" };
    Label Label2 { "Label2", "URL count:" };
    Label Label1 { "Label1", "0" };
    CommandButton Command4 { "Command4", "Randomize list" };
    Label Label17 { "Label17" };

    // Spider panel.
    Frame Frame4 { "Frame4", "Spider URLs:" };
    Label Label9 { "Label9", "User Agent:" };
    TextField Text4 { "Text4" };
    Label Label12 { "Label12", "Referer:" };
    TextField Text6 { "Text6" };
    Label Label13 { "Label13", "Timeout:" };
    ComboBox Combo2 { "Combo2", "60" };
    Label Label27 { "Label27", "Parallel requests:" };
    ComboBox Combo8 { "Combo8", "1" };
    Label Label30 { "Label30", "Requests to one host:" };
    ComboBox Combo10 { "Combo10", "2" };
    TextPane RichTextBox1 { "RichTextBox1" };
    Label Label16 { "Label16", "Spidered:" };
    Label Label15 { "Label15", "0" };
    Label Label11 { "Label11", "Added:" };
    Label Label10 { "Label10", "0" };
    CommandButton Command5 { "Command5", "Add to clipboard" };
    CheckBox Check7 { "Check7", "csv:" };
    CommandButton Command6 { "Command6", "Consolidate URL list" };
    Frame Frame6 { "Frame6", "Page manager:" };
    CheckBox Check9 { "Check9", "Obey robots.txt" };
    Label Label29 { "Label29", "Retries:" };
    ComboBox Combo9 { "Combo9", "0" };

    // Page manager panel.
    Label Label14 { "Label14", "Title must/must not contain:" };
    TextField Text5 { "Text5" };
    CheckBox Check8 { "Check8", "or" };
    Label Label19 { "Label19", "Results per page:" };
    ComboBox Combo3 { "Combo3", "5" };
    Label Label22 { "Label22", "Directory name:" };
    TextField Text8 { "Text8" };
    Label Label23 { "Label23", "Page url (no spaces or extension):" };
    TextField Text9 { "Text9" };
    Label Label24 { "Label24", "Sitemap name:" };
    TextField Text10 { "Text10" };
    Label Label25 { "Label25", "Sitemap <H1> heading:" };
    TextField Text11 { "Text11" };
    Label Label20 { "Label20", "Font:" };
    ComboBox Combo6 { "Combo6", "Default Font" };
    Label Label26 { "Label26", "Size:" };
    ComboBox Combo7 { "Combo7", "None" };
    CheckBox Check3 { "Check3", "Create pages:" };
    CheckBox Check6 { "Check6", "Sitemap links vertical:" };
    CheckBox Check4 { "Check4", "Use title, description:", 1 };
    CheckBox Check5 { "Check5", "Description only:" };
    OptionButton Option1 { "Option1", "Make Title into link:", false };
    OptionButton Option2 { "Option2", "Make URL into link:", true };
    CommandButton Command3 { "Command3", "Set Tarnwick loose!" };
    Label Label28 { "Label28", "Site address:" };
    TextField Text18 { "Text18" };

    // Template panel.
    Frame Frame5 { "Frame5", "Template:" };
    TextPane RichTextBox2 { "RichTextBox2" };
    Label Label21 { "Label21",
        "Add the following symbols to each template: between <TITLE> tags insert !@@! (as in "
        "<TITLE>!@@!</TITLE>), between <H1>, <H2> or <H3> insert !%%!, and wherever you want the "
        "spidered results to appear, insert !##! - do for EVERY template. Then save it." };

    // Disclaimer panel.
    Frame Frame8 { "Frame8", "DISCLAIMER:" };
    TextField Text16 { "Text16" };
    CommandButton Command7 { "Command7", "Close" };

    // Window level.
    Label Label3 { "Label3", "0", false };
    Label labelStatus { "labelStatus" };
    std::unique_ptr<TransferControl> Inet1;
    FileDialog CDialog1 { "Keywords (*.kwrds)|*.kwrds", {}, {} };
    FileDialog CDialog2 { "URLs (*.urls)|*.urls", {}, {} };
    FileDialog CommonDialog1 { "Spider Data (*.sdata)|*.sdata", {}, {} };
    FileDialog CommonDialog2 { "Template (*.tplate)|*.tplate", {}, {} };
    FileDialog CommonDialog3;
    /// The Save Run Report dialog: its own, so the spider data dialog keeps its last name.
    FileDialog reportDialog { "CSV (*.csv)|*.csv", {}, {} };

    // Hidden working state.
    TextField Text2 { "Text2", {}, 0, false };
    TextField Text3 { "Text3", {}, 0, false };
    TextField Text7 { "Text7", {}, 0, false };
    TextField Text12 { "Text12", "0", 0, false };
    TextField Text13 { "Text13", "0", 0, false };
    TextField Text14 { "Text14", {}, 50, false };
    TextField Text15 { "Text15", {}, 0, false };
    TextField Text17 { "Text17", {}, 0, false };
    /// The stop point: the position (from 1) of the last URL a stopped spider run reached,
    /// which Consolidate works from; empty when there is none (listtools/consolidation.h).
    TextField Text19 { "Text19", {}, 0, false };
    /// The URL list's layoutRevision() when the stop point was set: any change since but an
    /// append moves the entries it counts.
    std::uint64_t stopPointLayout = 0;
    ListBox List3 { "List3", false };
    ListBox List4 { "List4", false };
    ListBox List5 { "List5", false };
    ListBox List6 { "List6", false };
    ListBox List7 { "List7", false };

    // Menu tree.
    MenuItem mnuKeywords { "mnuKeywords", "&Keywords" };
    MenuItem mnuOpenKeywords { "mnuOpenKeywords", "Open Keywords" };
    MenuItem mnuLine4 { "mnuLine4", "-" };
    MenuItem mnuSaveKeywords { "mnuSaveKeywords", "Save Keywords " };
    MenuItem mnuLine5 { "mnuLine5", "-" };
    MenuItem mnuClearKeywords { "mnuClearKeywords", "Clear Keywords" };
    MenuItem mnuURLs { "mnuURLs", "&URLs" };
    MenuItem mnuOpenURLs { "mnuOpenURLs", "Open URLs" };
    MenuItem mnuLine1 { "mnuLine1", "-" };
    MenuItem mnuSaveURLs { "mnuSaveURLs", "Save URLs" };
    MenuItem mnuLine2 { "mnuLine2", "-" };
    MenuItem mnuClearURLs { "mnuClearURLs", "Clear URLs" };
    MenuItem mnuSpider { "mnuSpider", "&Spider" };
    MenuItem mnuShowSpider { "mnuShowSpider", "Show Spider" };
    MenuItem mnuLine6 { "mnuLine6", "-" };
    MenuItem mnuOpenSpiderData { "mnuOpenSpiderData", "Open Spider Data" };
    MenuItem mnuLine7 { "mnuLine7", "-" };
    MenuItem mnuSaveSpiderData { "mnuSaveSpiderData", "Save Spider Data" };
    MenuItem mnuSaveRunReport { "mnuSaveRunReport", "Save Run Report" };
    MenuItem mnuCreatePages { "mnuCreatePages", "Create Pages from Spider Data" };
    MenuItem mnuLine8 { "mnuLine8", "-" };
    MenuItem mnuClearSpiderData { "mnuClearSpiderData", "Clear Spider Data" };
    MenuItem mnuTemplate { "mnuTemplate", "&Template" };
    MenuItem mnuShowTemplate { "mnuShowTemplate", "Show Template" };
    MenuItem mnuLine9 { "mnuLine9", "-" };
    MenuItem mnuOpenTemplate { "mnuOpenTemplate", "Open Template" };
    MenuItem mnuLine10 { "mnuLine10", "-" };
    MenuItem mnuSaveTemplate { "mnuSaveTemplate", "Save Template" };
    MenuItem mnuLine11 { "mnuLine11", "-" };
    MenuItem mnuClearTemplate { "mnuClearTemplate", "Clear Template" };
    MenuItem mnuStop { "mnuStop", "St&op" };
    MenuItem mnuStopAll { "mnuStopAll", "Stop All" };
    /// Built from the keyword and result source tables, not from items of its own.
    MenuItem mnuSources { "mnuSources", "Sou&rces" };
    MenuItem mnuDisclaimer { "mnuDisclaimer", "&Disclaimer" };
    MenuItem mnuHelp { "mnuHelp", "&Help" };
    MenuItem mnuGoToHelp { "mnuGoToHelp", "Go To Help" };
    MenuItem mnuAbout { "mnuAbout", "About Tarnwick" };
    MenuItem mnuExit { "mnuExit", "&Exit" };
    MenuItem mnuQuit { "mnuQuit", "&Quit" };

private:
    QString caption_ = QStringLiteral("Tarnwick");
    const Control* focused_ = nullptr;
    std::uint64_t focusRequests_ = 0;
    std::uint64_t revision_ = 0;
};

/// Marks a long command as running for its lifetime. Construct it only after checking
/// that form.activity is Activity::None.
class ActivityScope {
public:
    ActivityScope(Form1& form, Activity activity)
        : form_(form)
    {
        form_.activity = activity;
        // The line the last command left in the status strip is not true of this one.
        form_.labelStatus.setCaption({});
    }
    ~ActivityScope() { form_.activity = Activity::None; }
    ActivityScope(const ActivityScope&) = delete;
    ActivityScope& operator=(const ActivityScope&) = delete;

private:
    Form1& form_;
};

} // namespace tarnwick
