#include "app/app_path.h"
#include "support/qt_printers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <tuple>

namespace tarnwick {
namespace {

const FolderCheck kReadOnly = [](const QString&) { return false; };

// The user's data folder lies in a temporary folder, so the test can watch it being made.
TEST(ProgramFolder, HomeOptionThenVariableThenAWritableExecutableFolderThenTheDataFolder)
{
    QTemporaryDir tmp;
    qputenv("XDG_DATA_HOME", QFile::encodeName(tmp.filePath("share")));
    const QString dataFolder = tmp.filePath("share/tarnwick");
    const QString portable = tmp.filePath("portable");
    ASSERT_TRUE(QDir().mkpath(portable));
    // Below a plain file no one, root included, can make anything.
    QFile plain(tmp.filePath("plain"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    const QString blocked = tmp.filePath("plain/bin");

    // The arguments, TARNWICK_HOME, the executable's folder, whether it is writable, the choice.
    const std::tuple<QStringList, const char*, QString, FolderCheck, QString> rows[] = {
        { {}, "", portable, isWritableFolder, portable },
        { {}, "", "/usr/bin", kReadOnly, dataFolder },
        { {}, "", blocked, isWritableFolder, dataFolder },
        // root passes access(2) on /proc
        { {}, "", "/proc", isWritableFolder, dataFolder },
        { { "--home", "/srv/t" }, "", "/usr/bin", kReadOnly, "/srv/t" },
        { { "--home=/srv/u" }, "", "/usr/bin", kReadOnly, "/srv/u" },
        { {}, "/var/t", "/usr/bin", kReadOnly, "/var/t" },
        { { "--home", "/srv/t" }, "/var/t", "/usr/bin", kReadOnly, "/srv/t" },
        // A trailing --home without a value is no choice of folder.
        { { "--home" }, "/var/t", "/usr/bin", kReadOnly, "/var/t" },
    };
    for (const auto& [options, home, executableFolder, writable, expected] : rows) {
        SCOPED_TRACE(("tarnwick " + options.join(' ') + " from " + executableFolder).toStdString()
            + " with TARNWICK_HOME=" + home);
        QDir(tmp.filePath("share")).removeRecursively();
        qputenv("TARNWICK_HOME", home);
        const QStringList arguments = QStringList { "tarnwick" } + options;
        EXPECT_EQ(resolveProgramFolder(arguments, executableFolder, writable), expected);
        // The data folder is made on first use, and only then; later calls find it in place.
        EXPECT_EQ(QFileInfo(dataFolder).isDir(), expected == dataFolder);
        EXPECT_EQ(resolveProgramFolder(arguments, executableFolder, writable), expected);
    }
    qunsetenv("TARNWICK_HOME");

    EXPECT_TRUE(isWritableFolder(portable));
    EXPECT_EQ(QDir(portable).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList())
        << "the writability probe leaves nothing behind";
    for (const QString& folder : { blocked, tmp.filePath("plain"), tmp.filePath("gone"), QString("/proc") })
        EXPECT_FALSE(isWritableFolder(folder)) << folder.toStdString();
    // Without a usable data folder either, the executable's folder stays.
    qputenv("XDG_DATA_HOME", QFile::encodeName(tmp.filePath("plain/share")));
    EXPECT_EQ(userDataFolder(), QString());
    EXPECT_EQ(resolveProgramFolder({ "tarnwick" }, "/usr/bin", kReadOnly), "/usr/bin");
    qunsetenv("XDG_DATA_HOME");
}

} // namespace
} // namespace tarnwick
