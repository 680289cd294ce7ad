#include "cli/command_line.h"

namespace tarnwick {

namespace {

const OptionKind* findOption(const CommandKind& kind, const QString& name)
{
    for (const OptionKind& option : kind.options) {
        if (name == QLatin1String(option.name))
            return &option;
    }
    return nullptr;
}

bool isHelp(const QString& argument)
{
    return argument == QLatin1String("--help") || argument == QLatin1String("-h");
}

} // namespace

ParseResult parseCommandLine(const QStringList& arguments)
{
    ParseResult result;
    ParsedCommand& command = result.command;
    qsizetype i = 0;
    // Before the subcommand only --home and --help are known.
    for (; i < arguments.size() && command.kind == nullptr; ++i) {
        const QString& argument = arguments.at(i);
        if (isHelp(argument)) {
            command.help = true;
            return result;
        }
        if (argument == QLatin1String("--help-all")) {
            command.helpAll = true;
            return result;
        }
        if (argument == QLatin1String("--version")) {
            command.version = true;
            return result;
        }
        if (argument == QLatin1String("--home")) {
            if (++i == arguments.size()) {
                result.error = QStringLiteral("--home needs a DIR");
                return result;
            }
            command.home = arguments.at(i);
            continue;
        }
        if (argument.startsWith(QLatin1String("--home="))) {
            command.home = argument.mid(7);
            continue;
        }
        for (const CommandKind& kind : commandSpecs()) {
            if (argument == QLatin1String(kind.name))
                command.kind = &kind;
        }
        if (command.kind == nullptr) {
            result.error = argument.startsWith(QLatin1Char('-'))
                ? QStringLiteral("unknown option %1 (before the command)").arg(argument)
                : QStringLiteral("unknown command '%1'").arg(argument);
            return result;
        }
    }
    if (command.kind == nullptr) {
        result.error = QStringLiteral("no command given");
        return result;
    }

    const CommandKind& kind = *command.kind;
    QStringList positional;
    bool optionsEnd = false;
    for (; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (optionsEnd || argument == QLatin1String("-") || !argument.startsWith(QLatin1Char('-'))) {
            positional.append(argument);
            continue;
        }
        if (argument == QLatin1String("--")) {
            optionsEnd = true;
            continue;
        }
        if (isHelp(argument)) {
            command.help = true;
            return result;
        }
        const qsizetype equals
            = argument.startsWith(QLatin1String("--")) ? argument.indexOf(QLatin1Char('=')) : -1;
        const QString name = equals < 0 ? argument : argument.left(equals);
        const OptionKind* option = findOption(kind, name);
        if (option == nullptr) {
            result.error = QStringLiteral("unknown option %1 for %2").arg(name, QLatin1String(kind.name));
            return result;
        }
        if (command.values.contains(name) || (name == QLatin1String("--home") && !command.home.isEmpty())) {
            result.error = QStringLiteral("%1 given more than once").arg(name);
            return result;
        }
        QString value = QStringLiteral("1");
        if (option->valueName != nullptr) {
            if (equals >= 0) {
                value = argument.mid(equals + 1);
            } else if (++i < arguments.size()) {
                value = arguments.at(i);
            } else {
                result.error = QStringLiteral("%1 needs %2").arg(name, QLatin1String(option->valueName));
                return result;
            }
        } else if (equals >= 0) {
            result.error = QStringLiteral("%1 takes no value").arg(name);
            return result;
        }
        if (name == QLatin1String("--home"))
            command.home = value;
        else
            command.values.insert(name, value);
    }

    if (command.has("--resume")) {
        // Everything the run needs is in its journal; a second source of it would be ignored.
        for (auto it = command.values.cbegin(); it != command.values.cend(); ++it) {
            if (it.key() != QLatin1String("--resume")) {
                result.error = QStringLiteral("%1 cannot be given with --resume").arg(it.key());
                return result;
            }
        }
        if (!command.home.isEmpty()) {
            result.error = QStringLiteral("--home cannot be given with --resume");
            return result;
        }
        if (positional.size() <= 1) {
            command.argument = positional.value(0);
            return result;
        }
    }
    if (positional.size() != 1) {
        result.error = positional.isEmpty()
            ? QStringLiteral("%1 needs %2").arg(QLatin1String(kind.name), QLatin1String(kind.argument))
            : QStringLiteral("%1 takes one %2, not %3 arguments")
                  .arg(QLatin1String(kind.name), QLatin1String(kind.argument))
                  .arg(positional.size());
        return result;
    }
    command.argument = positional.first();
    return result;
}

} // namespace tarnwick
