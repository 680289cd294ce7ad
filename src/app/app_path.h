#pragma once

#include <QString>
#include <QStringList>

namespace tarnwick {

class Platform;

/// The program's folder, ending in exactly one "/".
QString AppPath(Platform& platform);
/// The same rule over a folder text: unchanged when it already ends in "/".
QString withTrailingSeparator(const QString& folder);

/// The folder the window uses as the program's folder: `--home DIR` on the command line,
/// else the TARNWICK_HOME environment variable, else the folder that holds the executable.
QString resolveProgramFolder(const QStringList& arguments, const QString& executableFolder);

}  // namespace tarnwick
