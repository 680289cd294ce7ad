#include "cli/commands.h"

#include "app/form1.h"
#include "app/program_info.h"
#include "app/small_handlers.h"
#include "app/startup.h"
#include "app/state_folder.h"
#include "cli/console_platform.h"
#include "cli/interrupt_watch.h"
#include "cli/pages_command.h"
#include "cli/progress_line.h"
#include "files/file_commands.h"
#include "files/text_file_writer.h"
#include "harvest/url_harvest.h"
#include "keywords/keyword_lookup.h"
#include "listtools/clipboard_export.h"
#include "listtools/randomiser.h"
#include "net/qt_transfer_control.h"
#include "spider/journal_state.h"
#include "spider/response_handler.h"
#include "spider/run_journal.h"
#include "spider/spider_run.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <functional>

namespace tarnwick {

namespace {

using Handler = void (*)(Form1&, Platform&);

void writeTo(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
    std::fflush(stream);
}

/// The window state, its console platform and what watches over a run.
class Session {
public:
    explicit Session(const QString& folder)
        : f(std::make_unique<QtTransferControl>())
        , p(folder)
        , watch([this] { mnuStopAll_Click(f); })
    {
        Form_Load(f);
        attachResponseHandler(f, p);
        p.beforeMessage = [this] { progress.clear(); };
        p.onPump = [this] {
            // A run that starts after the interrupt would set the stop flag back to "1".
            if (watch.interrupted())
                mnuStopAll_Click(f);
            if (showProgress)
                showProgress();
            killForTest();
        };
    }
    ~Session() { progress.clear(); }

    /// The kill tests' hook: TARNWICK_TEST_KILL "pages:N" kills the program at the first pump
    /// after its Nth page was written, "urls:N" at the first after its Nth URL's outcome.
    void killForTest()
    {
        static const QStringList kill = qEnvironmentVariable("TARNWICK_TEST_KILL").split(QLatin1Char(':'));
        if (kill.size() != 2)
            return;
        const qsizetype done = kill.first() == QLatin1String("pages")
            ? f.Text15.Text().count(QStringLiteral("<a href"))
            : static_cast<qsizetype>(f.runReport.outcomes().size());
        if (done >= kill.last().toInt())
            std::raise(SIGKILL);
    }

    /// Opens `path` through an Open command; false when the command could not read it
    /// (it has said why). Each open command replaces its list or pane only on success.
    bool open(Handler command, const Control& target, const QString& path)
    {
        const std::uint64_t before = target.revision();
        p.answerNextDialog(path);
        command(f, p);
        return target.revision() != before;
    }

    enum class Saved { Yes, NothingToSave, Failed };

    /// Saves through a Save command to `path`.
    Saved save(Handler command, const QString& path)
    {
        const qsizetype before = p.messages().size();
        p.answerNextDialog(path);
        command(f, p);
        p.dropAnswers();
        const QStringList shown = p.messages().mid(before);
        if (shown == QStringList { QStringLiteral("Nothing to save!") })
            return Saved::NothingToSave;
        const QString saved
            = QStringLiteral("File ") + QFileInfo(path).absoluteFilePath() + QStringLiteral(" saved!");
        return shown == QStringList { saved } ? Saved::Yes : Saved::Failed;
    }

    /// Writes a file of the command line's own (not one a window command saves), with the
    /// same messages as the window's saves.
    bool writeFile(const QString& path, const QString& text)
    {
        const QString full = QFileInfo(path).absoluteFilePath();
        const SaveResult result = saveTextFile(p.fileSystem(), full, text, Durability::Sync);
        writeTo(stderr,
            result.ok() ? QStringLiteral("File %1 saved!\n").arg(full)
                        : notSavedMessage(full, result.reason) + QLatin1Char('\n'));
        return result.ok();
    }

    /// -o when given, else the entries on standard output, one a line.
    bool saveOrPrint(const ParsedCommand& command, Handler save, const QStringList& entries)
    {
        if (command.has("-o"))
            return this->save(save, command.value("-o")) != Saved::Failed;
        for (const QString& entry : entries)
            writeTo(stdout, entry + QLatin1Char('\n'));
        return true;
    }

    /// Did the last long command end on its stop path?
    bool endedStopped() const
    {
        return watch.interrupted() && !p.messages().isEmpty()
            && p.messages().constLast().startsWith(QStringLiteral("Stopped!"));
    }

    Form1 f;
    ConsolePlatform p;
    ProgressLine progress;
    InterruptWatch watch;
    std::function<void()> showProgress;
};

ExitStatus outcome(bool outputWritten, bool stopped)
{
    if (!outputWritten)
        return ExitStatus::Failed;
    return stopped ? ExitStatus::Stopped : ExitStatus::Completed;
}

ExitStatus runSuggest(Session& s, const ParsedCommand& command)
{
    Form1& f = s.f;
    // An unknown source is refused by the lookup itself, with the choices it has.
    if (command.has("--source"))
        f.keywordSource = command.value("--source");
    if (command.has("--expand"))
        f.seedExpansion = SeedExpansion::On;
    f.Text1.setText(command.argument);
    if (command.has("--country"))
        f.Combo1.setText(command.value("--country"));
    // The lookup shows its status in Label8 as soon as it starts; an empty seed is refused before.
    const std::uint64_t before = f.Label8.revision();
    int keyAscii = 13;
    Text1_KeyPress(f, s.p, keyAscii);
    if (f.Label8.revision() == before)
        return ExitStatus::Refused;
    if (f.List2.ListCount() == 0)
        return ExitStatus::Failed;
    const bool stopped = s.endedStopped();
    if (command.has("--add"))
        Command2_Click(f, s.p);
    return outcome(s.saveOrPrint(command, mnuSaveKeywords_Click, f.List2.items()), stopped);
}

ExitStatus runHarvest(Session& s, const ParsedCommand& command)
{
    Form1& f = s.f;
    if (command.has("--source"))
        f.resultSource = command.value("--source");
    if (!s.open(mnuOpenKeywords_Click, f.List2, command.argument))
        return ExitStatus::Refused;
    if (command.has("--uk"))
        f.Check2.setValue(1);
    if (command.has("--full-url"))
        f.Check1.setValue(1);

    s.progress.start();
    bool announced = false;
    s.showProgress = [&s, &f, &announced] {
        if (f.progress.harvestStartingInstance && !announced) {
            announced = true;
            s.progress.clear();
            writeTo(stderr, QStringLiteral("Starting the private search instance…\n"));
        }
        s.progress.update(QStringLiteral("keywords"), std::max(f.List2.ListIndex(), 0), f.List2.ListCount(),
            f.List1.ListCount());
    };
    const std::uint64_t before = f.Label3.revision();
    Command1_Click(f, s.p);
    s.showProgress = nullptr;
    s.progress.clear();
    // The harvest sets the stop flag to "1" once it has accepted its input.
    if (f.Label3.revision() == before)
        return ExitStatus::Refused;
    const bool stopped = s.endedStopped();
    // A source that refused ended the run with its own message instead of "Finished run!".
    const QString last = s.p.messages().isEmpty() ? QString() : s.p.messages().constLast();
    const bool refused
        = !stopped && last != QLatin1String("Finished run!") && last != QLatin1String("Limit reached!");
    const bool written = s.saveOrPrint(command, mnuSaveURLs_Click, f.List1.items());
    return refused && written ? ExitStatus::Failed : outcome(written, stopped);
}

/// The options of spider that name files it writes after the run.
const char* const kSpiderOutputs[] = { "-o", "--save-urls", "--report" };

/// Sets the spider's controls from the options; an error text when two of them cannot hold
/// together.
QString applySpiderOptions(Form1& f, const ParsedCommand& command)
{
    const struct {
        const char* option;
        TextField& field;
    } texts[] = { { "--user-agent", f.Text4 }, { "--referer", f.Text6 }, { "--filter", f.Text5 },
        { "--page-name", f.Text9 }, { "--sitemap-name", f.Text10 }, { "--heading", f.Text11 },
        { "--site-url", f.Text18 } };
    for (const auto& [option, field] : texts) {
        if (command.has(option))
            field.setText(command.value(option));
    }
    const struct {
        const char* option;
        ComboBox& combo;
    } combos[] = { { "--timeout", f.Combo2 }, { "--parallel", f.Combo8 }, { "--per-page", f.Combo3 },
        { "--font", f.Combo6 }, { "--size", f.Combo7 }, { "--retries", f.Combo9 },
        { "--per-host", f.Combo10 } };
    for (const auto& [option, combo] : combos) {
        if (command.has(option))
            combo.setText(command.value(option));
    }
    if (command.has("--any-word"))
        f.Check8.setValue(1);
    if (command.has("--obey-robots"))
        f.Check9.setValue(1);
    if (command.has("--vertical"))
        f.Check6.setValue(1);
    if (command.has("--pages")) {
        f.Check3.setValue(1);
        f.Text8.setText(command.value("--pages"));
    }
    // The record options are interlocked in the window; setting them runs the same
    // handlers, and a pair the interlock undoes is a usage error rather than a surprise.
    if (command.has("--description-only"))
        f.Check5.setValue(1);
    if (command.has("--title-link"))
        f.Option1.click();
    if ((command.has("--description-only") && f.Check5.Value() != 1)
        || (command.has("--title-link") && !f.Option1.Value()))
        return QStringLiteral("--description-only and --title-link cannot be used together");

    if (!command.has("--pages")) {
        for (const char* option : { "--page-name", "--sitemap-name", "--heading", "--per-page", "--template",
                 "--font", "--size", "--vertical", "--title-link", "--site-url" }) {
            if (command.has(option))
                return QStringLiteral("%1 needs --pages").arg(QLatin1String(option));
        }
    }
    return {};
}

ExitStatus spiderAndSave(Session& s, const ParsedCommand& command, std::unique_ptr<RunJournal> resumed);

ExitStatus runSpider(Session& s, const ParsedCommand& command)
{
    Form1& f = s.f;
    const QString conflict = applySpiderOptions(f, command);
    if (!conflict.isEmpty()) {
        writeTo(stderr, QStringLiteral("tarnwick-cli: %1\n").arg(conflict));
        return ExitStatus::Usage;
    }
    if (!s.open(mnuOpenURLs_Click, f.List1, command.argument))
        return ExitStatus::Refused;
    if (command.has("--template")
        && !s.open(mnuOpenTemplate_Click, f.RichTextBox2, command.value("--template")))
        return ExitStatus::Refused;
    // A resumed run saves where this one would have.
    for (const char* option : kSpiderOutputs) {
        if (command.has(option))
            f.journalExtras.insert(
                QLatin1String(option), QFileInfo(command.value(option)).absoluteFilePath());
    }
    return spiderAndSave(s, command, nullptr);
}

ExitStatus spiderAndSave(Session& s, const ParsedCommand& command, std::unique_ptr<RunJournal> resumed)
{
    Form1& f = s.f;
    const int total = f.List1.ListCount();
    s.progress.start();
    s.showProgress = [&s, &f, total] {
        // The spidered counter counts requests in flight too; the report only those done.
        s.progress.update(QStringLiteral("spidered"), static_cast<qint64>(f.runReport.outcomes().size()),
            total, f.Label10.Caption().toLongLong());
    };
    const std::uint64_t before = f.Label3.revision();
    if (resumed)
        resumeSpiderRun(f, s.p, std::move(resumed));
    else
        Command3_Click(f, s.p);
    s.showProgress = nullptr;
    s.progress.clear();
    // The run sets the stop flag to "1" once every check has passed.
    if (f.Label3.revision() == before)
        return ExitStatus::Refused;
    const bool stopped = s.endedStopped();
    writeTo(stderr, f.runReport.summaryText() + QLatin1Char('\n'));
    bool written = f.pageFailure.isEmpty();
    if (command.has("--report"))
        written = s.writeFile(command.value("--report"), f.runReport.csvText()) && written;
    if (command.has("--save-urls"))
        written
            = s.save(mnuSaveURLs_Click, command.value("--save-urls")) != Session::Saved::Failed && written;
    if (command.has("-o"))
        written = s.save(mnuSaveSpiderData_Click, command.value("-o")) != Session::Saved::Failed && written;
    else
        writeTo(stdout, f.RichTextBox1.Text());
    return outcome(written, stopped);
}

ExitStatus runPagesCommand(Session& s, const ParsedCommand& command)
{
    QString conflict = applySpiderOptions(s.f, command);
    if (conflict.isEmpty() && !command.has("--pages"))
        conflict = QStringLiteral("pages needs --pages DIR");
    if (!conflict.isEmpty()) {
        writeTo(stderr, QStringLiteral("tarnwick-cli: %1\n").arg(conflict));
        return ExitStatus::Usage;
    }
    return runPages(s.f, s.p, command);
}

ExitStatus runShuffle(Session& s, const ParsedCommand& command)
{
    Form1& f = s.f;
    if (!s.open(mnuOpenURLs_Click, f.List1, command.argument))
        return ExitStatus::Refused;
    // The randomiser's status caption changes from its first step; "No URLs!" comes before.
    const std::uint64_t before = f.Label17.revision();
    Command4_Click(f, s.p);
    if (f.Label17.revision() == before)
        return ExitStatus::Refused;
    return outcome(s.saveOrPrint(command, mnuSaveURLs_Click, f.List1.items()), false);
}

ExitStatus runExport(Session& s, const ParsedCommand& command)
{
    Form1& f = s.f;
    if (!s.open(mnuOpenSpiderData_Click, f.RichTextBox1, command.argument))
        return ExitStatus::Refused;
    if (command.has("--csv"))
        f.Check7.setValue(1);
    if (command.has("--html"))
        f.Check3.setValue(1);
    Command5_Click(f, s.p);
    return s.p.clipboardWritten() ? ExitStatus::Completed : ExitStatus::Refused;
}

/// spider --resume: the newest interrupted run, or the journal named, with the settings and
/// output files it holds.
ExitStatus runResume(const ParsedCommand& command)
{
    QString path = command.argument;
    if (path.isEmpty()) {
        const QStringList found = RunJournal::interrupted(stateFolder());
        if (found.isEmpty()) {
            writeTo(
                stderr, QStringLiteral("No interrupted spider run to resume in %1.\n").arg(stateFolder()));
            return ExitStatus::Refused;
        }
        path = found.first();
    }
    // The header names the program's folder the run wrote its pages in, which the session needs
    // before the journal can be taken over.
    QFile file(path);
    const JournalReading reading
        = file.open(QIODevice::ReadOnly) ? readJournal(file.readLine()) : JournalReading {};
    Session s(reading.contents.header.home.isEmpty() ? QDir::currentPath() : reading.contents.header.home);
    QString error;
    std::unique_ptr<RunJournal> journal = RunJournal::open(path, s.p, error);
    if (!journal) {
        writeTo(stderr, error + QLatin1Char('\n'));
        return ExitStatus::Refused;
    }
    // The progress line counts against the journal's URL list from the start.
    restoreSettings(s.f, journal->contents().header);
    ParsedCommand outputs = command;
    for (const char* option : kSpiderOutputs) {
        const QString saved = journal->contents().header.extra(QLatin1String(option));
        if (!saved.isEmpty())
            outputs.values.insert(QLatin1String(option), saved);
    }
    return spiderAndSave(s, outputs, std::move(journal));
}

QString programFolderFor(const ParsedCommand& command, QString& error)
{
    QString folder = command.home.isEmpty() ? qEnvironmentVariable("TARNWICK_HOME") : command.home;
    if (folder.isEmpty())
        return QDir::currentPath();
    const QFileInfo info(folder);
    if (!info.isDir()) {
        error = QStringLiteral("the program's folder %1 is not a folder").arg(folder);
        return {};
    }
    return info.absoluteFilePath();
}

} // namespace

ExitStatus runCommand(const ParsedCommand& command)
{
    if (command.has("--resume"))
        return runResume(command);
    QString error;
    const QString folder = programFolderFor(command, error);
    if (!error.isEmpty()) {
        writeTo(stderr, QStringLiteral("tarnwick-cli: %1\n").arg(error));
        return ExitStatus::Usage;
    }
    Session session(folder);
    const QLatin1String name(command.kind->name);
    if (name == QLatin1String("suggest"))
        return runSuggest(session, command);
    if (name == QLatin1String("harvest"))
        return runHarvest(session, command);
    if (name == QLatin1String("spider"))
        return runSpider(session, command);
    if (name == QLatin1String("pages"))
        return runPagesCommand(session, command);
    if (name == QLatin1String("shuffle"))
        return runShuffle(session, command);
    return runExport(session, command);
}

int runCli(const QStringList& arguments)
{
    const ParseResult parsed = parseCommandLine(arguments);
    if (!parsed.ok()) {
        const ParsedCommand& command = parsed.command;
        writeTo(stderr,
            QStringLiteral("tarnwick-cli: %1\nTry 'tarnwick-cli%2 --help'.\n")
                .arg(parsed.error,
                    command.kind ? QStringLiteral(" ") + QLatin1String(command.kind->name) : QString()));
        return static_cast<int>(ExitStatus::Usage);
    }
    if (parsed.command.version || parsed.command.helpAll) {
        writeTo(stdout, parsed.command.version ? versionText("tarnwick-cli") : fullHelp());
        return static_cast<int>(ExitStatus::Completed);
    }
    if (parsed.command.help) {
        writeTo(stdout, parsed.command.kind ? commandHelp(*parsed.command.kind) : programHelp());
        return static_cast<int>(ExitStatus::Completed);
    }
    return static_cast<int>(runCommand(parsed.command));
}

} // namespace tarnwick
