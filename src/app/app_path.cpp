#include "app/app_path.h"

#include "app/platform.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace tarnwick {

QString withTrailingSeparator(const QString& folder)
{
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

QString AppPath(Platform& platform)
{
    return withTrailingSeparator(platform.programFolder());
}

bool isWritableFolder(const QString& folder)
{
    // Making a file is the only test that holds for root, read-only mounts and folders such as
    // /proc alike; the permission bits and access(2) all say yes to root.
    if (!QFileInfo(folder).isDir())
        return false;
    QTemporaryFile probe(withTrailingSeparator(folder) + QStringLiteral(".tarnwick-probe-XXXXXX"));
    return probe.open();
}

QString userDataFolder()
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty())
        return {};
    const QString folder = base + QStringLiteral("/tarnwick");
    // mkpath fails where a file stands in the folder's place.
    if (!QDir().mkpath(folder))
        return {};
    return folder;
}

QString resolveProgramFolder(const QStringList& arguments, const QString& executableFolder,
    const FolderCheck& writable, const std::function<QString()>& dataFolder)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& arg = arguments.at(i);
        if (arg == QLatin1String("--home") && i + 1 < arguments.size())
            return arguments.at(i + 1);
        if (arg.startsWith(QLatin1String("--home=")))
            return arg.mid(7);
    }
    const QString fromEnv = qEnvironmentVariable("TARNWICK_HOME");
    if (!fromEnv.isEmpty())
        return fromEnv;
    if (writable(executableFolder))
        return executableFolder;
    // Without a data folder the executable's folder is still the best answer: the output
    // directory check then reports that it cannot be written.
    const QString data = dataFolder();
    return data.isEmpty() ? executableFolder : data;
}

} // namespace tarnwick
