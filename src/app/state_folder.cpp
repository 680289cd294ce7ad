#include "app/state_folder.h"

#include <QDir>

namespace tarnwick {

QString stateFolder()
{
    // A relative XDG_STATE_HOME is invalid and must be ignored, as the base directory rules say.
    const QString base = qEnvironmentVariable("XDG_STATE_HOME");
    if (!base.isEmpty() && QDir::isAbsolutePath(base))
        return QDir(base).filePath(QStringLiteral("tarnwick"));
    return QDir::home().filePath(QStringLiteral(".local/state/tarnwick"));
}

} // namespace tarnwick
