#include "support/faulty_file_system.h"

#include <algorithm>

namespace tarnwick::test {

int FaultyFileSystem::createNew(const QByteArray& path, int& fd)
{
    const std::lock_guard hold(lock_);
    if (path.contains(only) && namesTaken-- > 0)
        return EEXIST;
    const int error = PosixFileSystem::createNew(path, fd);
    if (!error && path.contains(only))
        faultyFiles.insert(fd);
    return error;
}

int FaultyFileSystem::write(int fd, const char* data, std::size_t size, std::size_t& written)
{
    const std::lock_guard hold(lock_);
    if (!faultyFiles.contains(fd) || bytesBeforeWriteFails < 0)
        return PosixFileSystem::write(fd, data, size, written);
    const qint64 room = bytesBeforeWriteFails - bytesWritten;
    written = 0;
    if (room <= 0)
        return writeError;
    // A disk that fills part way through a write takes what fits first.
    const int error = PosixFileSystem::write(fd, data, std::min(size, std::size_t(room)), written);
    bytesWritten += static_cast<qint64>(written);
    return error;
}

int FaultyFileSystem::sync(int fd)
{
    ++syncs;
    const std::lock_guard hold(lock_);
    return faultyFiles.contains(fd) && syncError ? syncError : PosixFileSystem::sync(fd);
}

int FaultyFileSystem::close(int fd)
{
    const std::lock_guard hold(lock_);
    faultyFiles.erase(fd);
    return PosixFileSystem::close(fd);
}

int FaultyFileSystem::rename(const QByteArray& from, const QByteArray& to)
{
    return to.contains(only) && renameError ? renameError : PosixFileSystem::rename(from, to);
}

int FaultyFileSystem::syncFolder(const QByteArray& folder)
{
    ++folderSyncs;
    return syncFolderError ? syncFolderError : PosixFileSystem::syncFolder(folder);
}

} // namespace tarnwick::test
