#include "app/about.h"

#include "app/platform.h"
#include "app/state_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QtGlobal>

namespace tarnwick {

namespace {

QString docFolder()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../share/doc/tarnwick/");
}

} // namespace

QString manualPath()
{
    // Beside the program (an unpacked folder), where a package installs it next to the program's
    // bin folder, then the tree the program was built from. Never the program's folder of
    // --home: that is the user's, and a README.md there is theirs.
    const QString candidates[] = { QCoreApplication::applicationDirPath() + QStringLiteral("/README.md"),
        docFolder() + QStringLiteral("README.md"), QStringLiteral(TARNWICK_SOURCE_DIR "/README.md") };
    for (const QString& path : candidates) {
        if (QFileInfo(path).isFile())
            return QDir::cleanPath(path);
    }
    return {};
}

QString installedManualPath()
{
    return QDir::cleanPath(docFolder() + QStringLiteral("README.md"));
}

QString aboutText(Platform&)
{
    QString readme = manualPath();
    if (readme.isEmpty())
        readme = installedManualPath() + QStringLiteral(" (not found)");
    return QStringLiteral("Tarnwick %1\nBuilt with Qt %2\n\nREADME: %3\nRun journal: %4")
        .arg(QStringLiteral(TARNWICK_VERSION), QStringLiteral(QT_VERSION_STR), readme, stateFolder());
}

void mnuAbout_Click(Form1&, Platform& p)
{
    p.MsgBox(aboutText(p));
}

} // namespace tarnwick
