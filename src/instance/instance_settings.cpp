#include "instance/instance_settings.h"

#include "app/state_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>

#include <algorithm>

namespace tarnwick {

namespace {

constexpr qint64 kLogTailBytes = 16 * 1024;
constexpr int kLogLineChars = 300;

// The settings file of the private instance.
//
// searx-PID.yml in $XDG_RUNTIME_DIR/tarnwick (else the state folder), mode 0600 in a folder of
// mode 0700: one per Tarnwick process, so two of them never start on each other's port. It is
// written anew before each start of the instance and removed once the instance has answered
// (it has read its settings by then), or when the start fails. It is the YAML mapping of the
// source settings (the user's searx.yml, else the package's example) with these keys set and
// nothing else changed:
//
//   server.bind_address  127.0.0.1, so nothing beyond this machine reaches the instance
//   server.port          the port the system picked for Tarnwick, never a well-known one
//   server.secret_key    64 fresh random hex digits (the example's own key is public)
//   server.limiter       false, and server.public_instance false where the file sets it
//                        (SearXNG turns its limiter on for a public instance)
//   search.formats       the file's list with json added (SearXNG serves html only by default)
//
// The sections server and search are made when missing. A source that cannot be read, is not
// YAML, is not a mapping or whose server or search is not one is refused: the writer prints
// why as its last line and ends with WriterExit::Refused. The file is written as PyYAML's safe
// dumper writes it: the keys in their order, the source's comments gone. Debugging stays as
// the file says; the environment turns it off (instanceProcess), so no reloader forks a second
// process that PR_SET_PDEATHSIG would not reach.
//
// The writer runs in the interpreter that runs the instance, which has PyYAML (a dependency
// of searx) and reads YAML exactly as the instance will; libyaml's loader, where PyYAML has
// it, halves the time the package's long example takes.
const char* const kWriter = R"(import importlib.util, os, secrets, sys
if importlib.util.find_spec("searx") is None:
    sys.exit(5)
import yaml
source, target, port = sys.argv[1], sys.argv[2], int(sys.argv[3])
def refuse(reason):
    print(reason, flush=True)
    sys.exit(4)
try:
    with open(source, encoding="utf-8") as f:
        settings = yaml.load(f, Loader=getattr(yaml, "CSafeLoader", yaml.SafeLoader))
except OSError as e:
    refuse(e.strerror)
except (yaml.YAMLError, UnicodeDecodeError) as e:
    refuse("not YAML: " + " ".join(str(e).split()))
if not isinstance(settings, dict):
    refuse("not a mapping")
def section(name):
    if settings.get(name) is None:
        settings[name] = {}
    if not isinstance(settings[name], dict):
        refuse(name + " is not a mapping")
    return settings[name]
server = section("server")
server.update(bind_address="127.0.0.1", port=port, secret_key=secrets.token_hex(32), limiter=False)
if "public_instance" in server:
    server["public_instance"] = False
search = section("search")
formats = search.get("formats")
formats = list(formats) if isinstance(formats, list) else ["html"]
if "json" not in formats:
    formats.append("json")
search["formats"] = formats
partial = target + ".part"
fd = os.open(partial, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o600)
os.fchmod(fd, 0o600)
with os.fdopen(fd, "w", encoding="utf-8") as out:
    yaml.dump(settings, out, Dumper=getattr(yaml, "CSafeDumper", yaml.SafeDumper), allow_unicode=True,
              sort_keys=False)
os.replace(partial, target)
)";

QString configHome()
{
    // A relative XDG_CONFIG_HOME is invalid and must be ignored, as the base directory rules say.
    const QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    return !base.isEmpty() && QDir::isAbsolutePath(base) ? base
                                                         : QDir::home().filePath(QStringLiteral(".config"));
}

// This process's environment without what would move the instance or turn on its reloader:
// the SEARX_ and SEARXNG_ variables override the bind address, port, secret and limiter, and
// Flask's and Werkzeug's turn on development mode.
QStringList childEnvironment(const InstanceSetup& setup)
{
    QStringList environment;
    for (const QString& variable : QProcessEnvironment::systemEnvironment().toStringList()) {
        const QString name = variable.section(QLatin1Char('='), 0, 0);
        if (name.startsWith(QLatin1String("SEARX_")) || name.startsWith(QLatin1String("SEARXNG_"))
            || name.startsWith(QLatin1String("FLASK_")) || name.startsWith(QLatin1String("WERKZEUG_")))
            continue;
        environment << variable;
    }
    // searx reads SEARX_, SEARXNG its own; either may be the module installed.
    for (const char* prefix : { "SEARX_", "SEARXNG_" }) {
        environment << QLatin1String(prefix) + QStringLiteral("SETTINGS_PATH=") + setup.settingsFile();
        environment << QLatin1String(prefix) + QStringLiteral("DEBUG=0");
    }
    return environment;
}

} // namespace

InstanceSetup InstanceSetup::standard()
{
    InstanceSetup setup;
    setup.interpreter = QStringLiteral("/usr/bin/python3");
    setup.userSettings = configHome() + QStringLiteral("/tarnwick/searx.yml");
    setup.exampleSettings = QStringLiteral("/usr/share/doc/searx/examples/settings.yml");
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    setup.runtimeFolder = !runtime.isEmpty() && QDir::isAbsolutePath(runtime) && QFileInfo(runtime).isDir()
        ? QDir(runtime).filePath(QStringLiteral("tarnwick"))
        : stateFolder();
    setup.logFile = QDir(stateFolder()).filePath(QStringLiteral("searx.log"));
    return setup;
}

QString InstanceSetup::sourceSettings() const
{
    return QFileInfo::exists(userSettings) ? userSettings : exampleSettings;
}

QString InstanceSetup::settingsFile() const
{
    return QDir(runtimeFolder)
        .filePath(QStringLiteral("searx-%1.yml").arg(QCoreApplication::applicationPid()));
}

ChildLaunch settingsWriter(const InstanceSetup& setup, int port)
{
    return { setup.interpreter,
        { QStringLiteral("-c"), QString::fromUtf8(kWriter), setup.sourceSettings(), setup.settingsFile(),
            QString::number(port) },
        childEnvironment(setup), setup.runtimeFolder, setup.logFile };
}

ChildLaunch instanceProcess(const InstanceSetup& setup)
{
    return { setup.interpreter, { QStringLiteral("-m"), QStringLiteral("searx.webapp") },
        childEnvironment(setup), setup.runtimeFolder, setup.logFile };
}

QString lastLogLine(const QString& file)
{
    QFile log(file);
    if (!log.open(QIODevice::ReadOnly))
        return {};
    log.seek(std::max<qint64>(log.size() - kLogTailBytes, 0));
    const QStringList lines = QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'));
    for (qsizetype i = lines.size() - 1; i >= 0; --i) {
        // The log may repeat what a web page or an engine said: no control character gets through.
        QString line;
        for (const QChar c : lines[i])
            line += c.isPrint() ? c : QChar(u' ');
        line = line.simplified();
        if (!line.isEmpty())
            return line.size() > kLogLineChars ? line.left(kLogLineChars) + QStringLiteral("...") : line;
    }
    return {};
}

} // namespace tarnwick
