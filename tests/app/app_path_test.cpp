#include "app/app_path.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

// Each case gets its own data home, so the user's data folder it may create lies in a temp folder.
class ProgramFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        savedHome = qgetenv("TARNWICK_HOME");
        savedData = qgetenv("XDG_DATA_HOME");
        qunsetenv("TARNWICK_HOME");
        qputenv("XDG_DATA_HOME", QFile::encodeName(tmp.filePath("share")));
        portable = tmp.filePath("portable");
        ASSERT_TRUE(QDir().mkpath(portable));
        dataFolder = tmp.filePath("share/tarnwick");
    }
    void TearDown() override
    {
        restore("TARNWICK_HOME", savedHome);
        restore("XDG_DATA_HOME", savedData);
    }
    static void restore(const char* name, const QByteArray& value)
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    // A path below a plain file: no one, root included, can make anything there.
    QString underAFile()
    {
        QFile file(tmp.filePath("plain"));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        return tmp.filePath("plain/bin");
    }

    QTemporaryDir tmp;
    QByteArray savedHome, savedData;
    QString portable, dataFolder;
};

const FolderCheck kReadOnly = [](const QString&) { return false; };

TEST_F(ProgramFolder, PortableCopyKeepsItsOwnFolder)
{
    EXPECT_TRUE(isWritableFolder(portable));
    EXPECT_EQ(resolveProgramFolder({ "tarnwick" }, portable), portable);
    EXPECT_FALSE(QFileInfo::exists(dataFolder)) << "a portable copy leaves the user's data folder alone";
    EXPECT_EQ(QDir(portable).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList())
        << "the writability probe leaves nothing behind";
}

TEST_F(ProgramFolder, InstalledCopyUsesTheUserDataFolderCreatedOnFirstUse)
{
    ASSERT_FALSE(QFileInfo::exists(tmp.filePath("share")));
    EXPECT_EQ(resolveProgramFolder({ "tarnwick" }, "/usr/bin", kReadOnly), dataFolder);
    EXPECT_TRUE(QFileInfo(dataFolder).isDir());
    // Later calls find it in place.
    EXPECT_EQ(resolveProgramFolder({ "tarnwick" }, "/usr/bin", kReadOnly), dataFolder);
}

TEST_F(ProgramFolder, FoldersThatRefuseNewFilesCountAsUnwritable)
{
    const QString blocked = underAFile();
    for (const QString& folder :
        { blocked, tmp.filePath("plain"), tmp.filePath("missing"), QString("/proc") })
        EXPECT_FALSE(isWritableFolder(folder)) << folder.toStdString(); // root passes access(2) on /proc
    EXPECT_EQ(resolveProgramFolder({ "tarnwick" }, blocked), dataFolder);
    EXPECT_EQ(resolveProgramFolder({ "tarnwick" }, "/proc"), dataFolder);
    // Without a usable data folder either, the executable's folder stays.
    qputenv("XDG_DATA_HOME", QFile::encodeName(tmp.filePath("plain/share")));
    EXPECT_EQ(userDataFolder(), QString());
    EXPECT_EQ(resolveProgramFolder({ "tarnwick" }, "/usr/bin", kReadOnly), "/usr/bin");
}

TEST_F(ProgramFolder, HomeOptionAndVariableWinOverTheFolderRule)
{
    EXPECT_EQ(resolveProgramFolder({ "tarnwick", "--home", "/srv/t" }, "/usr/bin", kReadOnly), "/srv/t");
    EXPECT_EQ(resolveProgramFolder({ "tarnwick", "--home=/srv/u" }, "/usr/bin", kReadOnly), "/srv/u");
    qputenv("TARNWICK_HOME", "/var/t");
    EXPECT_EQ(resolveProgramFolder({ "tarnwick" }, "/usr/bin", kReadOnly), "/var/t");
    EXPECT_EQ(resolveProgramFolder({ "tarnwick", "--home", "/srv/t" }, "/usr/bin", kReadOnly), "/srv/t");
    // A trailing --home without a value is no choice of folder.
    EXPECT_EQ(resolveProgramFolder({ "tarnwick", "--home" }, "/usr/bin", kReadOnly), "/var/t");
    EXPECT_FALSE(QFileInfo::exists(dataFolder));
}

} // namespace
} // namespace tarnwick
