#include "cli/spider_command.h"

#include "app/state_folder.h"
#include "files/file_commands.h"
#include "spider/journal_state.h"
#include "spider/run_journal.h"
#include "spider/spider_run.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tarnwick {

namespace {

/// The options of spider that name files it writes after the run.
const char* const kSpiderOutputs[] = { "-o", "--save-urls", "--report" };

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

} // namespace

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

} // namespace tarnwick
