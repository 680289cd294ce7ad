#include "app/about.h"

#include "app/app_path.h"
#include "app/platform.h"
#include "app/state_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QtGlobal>

namespace tarnwick {

namespace {

// Beside the program (an unpacked folder), where a package installs it next to the program's
// bin folder, then the tree the program was built from.
QString readmePath(Platform& p)
{
    const QString bin = QCoreApplication::applicationDirPath();
    const QString doc = bin + QStringLiteral("/../share/doc/tarnwick/README.md");
    const QString candidates[]
        = { AppPath(p) + QStringLiteral("README.md"), bin + QStringLiteral("/README.md"), doc,
              doc + QStringLiteral(".gz"), QStringLiteral(TARNWICK_SOURCE_DIR "/README.md") };
    for (const QString& path : candidates) {
        if (QFileInfo(path).isFile())
            return QDir::cleanPath(path);
    }
    return QDir::cleanPath(doc) + QStringLiteral(" (not found)");
}

} // namespace

QString aboutText(Platform& p)
{
    return QStringLiteral("Tarnwick %1\nBuilt with Qt %2\n\nREADME: %3\nRun journal: %4")
        .arg(QStringLiteral(TARNWICK_VERSION), QStringLiteral(QT_VERSION_STR), readmePath(p), stateFolder());
}

void mnuAbout_Click(Form1&, Platform& p)
{
    p.MsgBox(aboutText(p));
}

} // namespace tarnwick
