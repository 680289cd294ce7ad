#include "support/faulty_file_system.h"

#include <algorithm>

namespace tarnwick::test {

int FaultyFileSystem::createNew(const QByteArray& path, int& fd)
{
    const int error = real.createNew(path, fd);
    if (!error && faulty(path))
        faultyFiles.insert(fd);
    return error;
}

int FaultyFileSystem::write(int fd, const char* data, std::size_t size, std::size_t& written)
{
    if (!faultyFiles.contains(fd) || bytesBeforeWriteFails < 0)
        return real.write(fd, data, size, written);
    const qint64 room = bytesBeforeWriteFails - bytesWritten;
    if (room <= 0) {
        written = 0;
        return writeError;
    }
    // Short writes first, as a disk that fills part way through one gives them.
    const int error
        = real.write(fd, data, std::min<std::size_t>(size, static_cast<std::size_t>(room)), written);
    bytesWritten += static_cast<qint64>(written);
    return error;
}

int FaultyFileSystem::sync(int fd)
{
    ++syncs;
    return faultyFiles.contains(fd) && syncError ? syncError : real.sync(fd);
}

int FaultyFileSystem::close(int fd)
{
    faultyFiles.erase(fd);
    return real.close(fd);
}

int FaultyFileSystem::rename(const QByteArray& from, const QByteArray& to)
{
    return faulty(to) && renameError ? renameError : real.rename(from, to);
}

int FaultyFileSystem::syncFolder(const QByteArray& folder)
{
    ++folderSyncs;
    return syncFolderError ? syncFolderError : real.syncFolder(folder);
}

} // namespace tarnwick::test
