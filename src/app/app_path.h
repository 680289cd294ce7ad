#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace tarnwick {

class Platform;

/// The program's folder, ending in exactly one "/".
QString AppPath(Platform& platform);
/// The same rule over a folder text: unchanged when it already ends in "/".
QString withTrailingSeparator(const QString& folder);

/// Whether new files can be made in a folder. Replaceable in tests: root writes where the
/// permission bits say no, so a test cannot make a folder unwritable for the test itself.
using FolderCheck = std::function<bool(const QString& folder)>;
bool isWritableFolder(const QString& folder);

/// The user's data folder for Tarnwick (the generic data location + "/tarnwick"), created
/// when missing; empty when it cannot be made.
QString userDataFolder();

/// The folder the window uses as the program's folder: `--home DIR` on the command line,
/// else the TARNWICK_HOME environment variable, else the folder that holds the executable when
/// it can be written (a portable copy), else the user's data folder (an installed copy, whose
/// folder such as /usr/bin would refuse every output directory).
QString resolveProgramFolder(const QStringList& arguments, const QString& executableFolder,
    const FolderCheck& writable = isWritableFolder,
    const std::function<QString()>& dataFolder = userDataFolder);

} // namespace tarnwick
