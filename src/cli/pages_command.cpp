#include "cli/pages_command.h"

#include "app/form1.h"
#include "cli/console_platform.h"
#include "cli/spider_command.h"
#include "files/file_commands.h"
#include "files/text_file_reader.h"
#include "spider/pages_from_data.h"

#include <cerrno>
#include <cstdio>

namespace tarnwick {

namespace {

/// Opens `path` with an Open command; false when it said the file could not be read.
bool openWith(void (*command)(Form1&, Platform&), Form1& f, ConsolePlatform& p, const QString& path)
{
    const qsizetype before = p.messages().size();
    p.answerNextDialog(path);
    command(f, p);
    return p.messages().size() == before;
}

/// Standard input as Open Spider Data would read it from a file, within the same size cap.
bool readStandardInput(ConsolePlatform& p, QString& text)
{
    QByteArray bytes;
    char buffer[1 << 16];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, stdin)) > 0;) {
        bytes.append(buffer, static_cast<qsizetype>(got));
        if (bytes.size() > kMaxFileBytes) {
            p.MsgBox(QStringLiteral("Standard input could not be read: Larger than 64 MiB"));
            return false;
        }
    }
    if (std::ferror(stdin)) {
        p.MsgBox(QStringLiteral("Standard input could not be read: %1").arg(qt_error_string(errno)));
        return false;
    }
    text = openedPaneText(decodeFileText(bytes));
    return true;
}

} // namespace

ExitStatus runPages(Form1& f, ConsolePlatform& p, const ParsedCommand& command)
{
    QString data;
    if (command.argument == QLatin1String("-")) {
        if (!readStandardInput(p, data))
            return ExitStatus::Refused;
    } else {
        if (!openWith(mnuOpenSpiderData_Click, f, p, command.argument))
            return ExitStatus::Refused;
        data = f.RichTextBox1.Text();
    }
    if (command.has("--template") && !openWith(mnuOpenTemplate_Click, f, p, command.value("--template")))
        return ExitStatus::Refused;
    switch (publishSpiderData(f, p, data)) {
    case Publishing::Written: return ExitStatus::Completed;
    case Publishing::Refused: return ExitStatus::Refused;
    case Publishing::Failed: return ExitStatus::Failed;
    case Publishing::Stopped:
    case Publishing::WindowClosed: break;
    }
    return ExitStatus::Stopped;
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

} // namespace tarnwick
