#include "files/text_file_writer.h"

#include "files/file_system.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>

#include <sys/stat.h>

namespace tarnwick {

namespace {

// Temporary names are random; a clash with a file left by another save is tried again.
constexpr int kTempNameAttempts = 16;

SaveResult failure(int error, const QString& more = {})
{
    return { false, qt_error_string(error) + more };
}

} // namespace

QString notSavedMessage(const QString& path, const QString& reason)
{
    return QStringLiteral("File ") + path + QStringLiteral(" could not be saved: ") + reason;
}

SaveResult saveFile(FileSystem& fs, const QString& path, const QByteArray& bytes, Durability durability)
{
    const QFileInfo info(path);
    const QFileInfo target(info.isSymLink() ? info.symLinkTarget() : info.absoluteFilePath());
    const QByteArray targetName = QFile::encodeName(target.absoluteFilePath());
    struct stat old { };
    const bool replacing = ::stat(targetName.constData(), &old) == 0;
    // Found now rather than by the rename, after the whole file has been written for nothing.
    if (replacing && S_ISDIR(old.st_mode))
        return failure(EISDIR);

    QByteArray temp;
    int fd = -1;
    int error = EEXIST;
    for (int attempt = 0; attempt < kTempNameAttempts && error == EEXIST; ++attempt) {
        temp = targetName + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 16) + ".part";
        error = fs.createNew(temp, fd);
    }
    if (error)
        return failure(error);
    // The new file takes the old one's permissions; where the file system has none to give, it
    // keeps the ordinary ones.
    if (replacing)
        (void)fs.setMode(fd, old.st_mode & 07777);
    error = writeAll(fs, fd, bytes);
    if (!error && durability == Durability::Sync)
        error = fs.sync(fd);
    const int closeError = fs.close(fd);
    if (!error)
        error = closeError;
    if (!error)
        error = fs.rename(temp, targetName);
    if (error) {
        (void)fs.remove(temp);
        return failure(error);
    }
    if (durability == Durability::Sync) {
        if (const int folderError = fs.syncFolder(QFile::encodeName(target.absolutePath())))
            return failure(folderError,
                QStringLiteral(" (the new file is in place, but a power cut could still take it)"));
    }
    return { true, {} };
}

SaveResult saveTextFile(FileSystem& fs, const QString& path, const QString& text, Durability durability)
{
    return saveFile(fs, path, text.toUtf8(), durability);
}

} // namespace tarnwick
