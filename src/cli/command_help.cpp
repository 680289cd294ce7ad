#include "cli/command_help.h"

#include "app/form1.h"
#include "app/program_info.h"
#include "app/startup.h"
#include "cli/command_specs.h"

namespace tarnwick {

namespace {

// Each option, its help below it at `indent`, then the control it stands for and its default.
QString optionsText(const CommandKind& kind, const QString& indent)
{
    Form1 defaults(nullptr);
    Form_Load(defaults);
    QString text;
    for (const OptionKind& option : kind.options) {
        QString head = QLatin1String(option.name);
        if (option.valueName != nullptr)
            head += QLatin1Char(' ') + QLatin1String(option.valueName);
        text += QStringLiteral("  %1\n%2%3\n%2(window: %4")
                    .arg(head, indent,
                        QString::fromUtf8(option.help)
                            .replace(QStringLiteral("\n      "), QLatin1Char('\n') + indent),
                        QLatin1String(option.control));
        if (option.defaultOf)
            text += QStringLiteral(", default %1").arg(option.defaultOf(defaults));
        text += QStringLiteral(")\n");
    }
    return text;
}

// What follows the commands in both helps: the manual's environment, files and examples.
QString closingHelp()
{
    return QStringLiteral("\n") + environmentHelp()
        + QStringLiteral(
            "\n"
            "Files:\n"
            "  NAME.kwrds, NAME.urls, NAME.sdata, NAME.tplate\n"
            "                           keyword lists, URL lists, spider data and\n"
            "                           templates, as the window's Open and Save\n"
            "                           commands read and write them\n"
            "  HOME/DIR/                the folder 'spider --pages DIR' or 'pages --pages\n"
            "                           DIR' makes in the program's folder: the result\n"
            "                           pages, the sitemap page and, with --site-url,\n"
            "                           sitemap.xml\n"
            "  %1\n"
            "                           settings for a SearXNG instance of your own,\n"
            "                           the harvest's default source of result URLs\n"
            "\n"
            "Examples:\n"
            "  $ tarnwick-cli suggest \"car insurance\" -o cars.kwrds\n"
            "  $ tarnwick-cli harvest cars.kwrds -o cars.urls\n"
            "  $ tarnwick-cli spider cars.urls --filter \" \" --pages cars --page-name cars "
            "--sitemap-name map --heading Cars --site-url https://www.example.com/cars/ -o cars.sdata\n"
            "  $ tarnwick-cli pages cars.sdata --pages cars2 --page-name cars --sitemap-name map "
            "--heading Cars --per-page 20\n"
            "  $ tarnwick-cli export cars.sdata --csv > cars.csv\n")
              .arg(QLatin1String(kInstalledSearxngSettings));
}

QString helpHead()
{
    QString text
        = QStringLiteral("Usage: tarnwick-cli [--home DIR] COMMAND ARGUMENT [options]\n"
                         "\n"
                         "Runs Tarnwick's commands without a window: each option sets one control of the\n"
                         "window, starting from that control's default, and the window's own handlers do\n"
                         "the work. Files are read and written by the same commands as the menus.\n"
                         "\n"
                         "Commands:\n");
    for (const CommandKind& kind : commandSpecs()) {
        text += QStringLiteral("  %1 %2\n      %3\n")
                    .arg(QLatin1String(kind.name), QLatin1String(kind.argument), QLatin1String(kind.summary));
    }
    text
        += QStringLiteral("\n"
                          "Messages go to standard error, one line each, worded as the window words them.\n"
                          "Ctrl-C (or SIGTERM) is Stop All: the run ends after the request in progress and\n"
                          "-o still gets what was gathered; a second Ctrl-C ends the program at once.\n"
                          "\n"
                          "Exit status:\n"
                          "  0  the command ran to its end\n"
                          "  1  the command refused its input (an input file could not be read, or a check\n"
                          "     failed; the message says why)\n"
                          "  2  usage error\n"
                          "  3  stopped by Ctrl-C or SIGTERM\n"
                          "  4  the command ran but its output could not be made: -o or a page could not be\n"
                          "     written, the keyword lookup returned nothing, or a source refused\n");
    return text;
}

} // namespace

QString programHelp()
{
    return helpHead()
        + QStringLiteral(
            "\n"
            "'tarnwick-cli COMMAND --help' lists a command's options, 'tarnwick-cli --help-all'\n"
            "every command's; 'tarnwick-cli --version' prints the version.\n")
        + closingHelp();
}

QString fullHelp()
{
    QString text = helpHead()
        + QStringLiteral("\n"
                         "Options:\n"
                         "  --home DIR            before the command: the program's folder, as the\n"
                         "                        command's --home\n"
                         "  -h, --help            the help without the commands' options; after a\n"
                         "                        command, its own\n"
                         "  --help-all            this help\n"
                         "  --version             the version\n");
    for (const CommandKind& kind : commandSpecs())
        text += QStringLiteral("\n%1 %2:\n").arg(QLatin1String(kind.name), QLatin1String(kind.argument))
            // The manual's tool reads a help indented this deep as the option's own text.
            + optionsText(kind, QString(22, QLatin1Char(' ')));
    return text + closingHelp();
}

QString commandHelp(const CommandKind& kind)
{
    return QStringLiteral("Usage: tarnwick-cli %1 %2 [options]\n\n%3\n\n  %4\n      %5\n\nOptions:\n")
               .arg(QLatin1String(kind.name), QLatin1String(kind.argument),
                   QString::fromLatin1(kind.summary)
                       .replace(QStringLiteral("\n      "), QStringLiteral("\n")),
                   QLatin1String(kind.argument), QLatin1String(kind.argumentHelp))
        + optionsText(kind, QStringLiteral("      ")) + QStringLiteral("  -h, --help\n      this help\n");
}

} // namespace tarnwick
