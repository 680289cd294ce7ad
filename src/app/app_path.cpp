#include "app/app_path.h"

#include "app/platform.h"

namespace tarnwick {

QString withTrailingSeparator(const QString& folder)
{
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

QString AppPath(Platform& platform)
{
    return withTrailingSeparator(platform.programFolder());
}

QString resolveProgramFolder(const QStringList& arguments, const QString& executableFolder)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& arg = arguments.at(i);
        if (arg == QLatin1String("--home") && i + 1 < arguments.size())
            return arguments.at(i + 1);
        if (arg.startsWith(QLatin1String("--home=")))
            return arg.mid(7);
    }
    const QString fromEnv = qEnvironmentVariable("TARNWICK_HOME");
    return fromEnv.isEmpty() ? executableFolder : fromEnv;
}

}  // namespace tarnwick
