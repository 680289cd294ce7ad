#include "cli/commands.h"

#include "app/program_info.h"
#include "cli/command_help.h"
#include "cli/pages_command.h"
#include "cli/session.h"
#include "cli/spider_command.h"
#include "files/file_commands.h"
#include "harvest/url_harvest.h"
#include "keywords/keyword_lookup.h"
#include "listtools/clipboard_export.h"
#include "listtools/randomiser.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace tarnwick {

namespace {

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
