#pragma once

#include "files/file_system.h"

#include <QByteArray>

#include <cerrno>
#include <set>

namespace tarnwick::test {

/// The real file system with faults turned on for the files whose path holds `only`: writes
/// that fail once `bytesBeforeWriteFails` bytes went through (a full disk), a sync or a
/// rename that fails. Records the syncs and the files it created.
class FaultyFileSystem : public FileSystem {
public:
    int createNew(const QByteArray& path, int& fd) override;
    int setMode(int fd, mode_t mode) override { return real.setMode(fd, mode); }
    int write(int fd, const char* data, std::size_t size, std::size_t& written) override;
    int sync(int fd) override;
    int close(int fd) override;
    int rename(const QByteArray& from, const QByteArray& to) override;
    int remove(const QByteArray& path) override { return real.remove(path); }
    int syncFolder(const QByteArray& folder) override;

    // The faults; an error of 0 is no fault.
    QByteArray only;
    qint64 bytesBeforeWriteFails = -1; // -1: writes never fail
    int writeError = ENOSPC;
    int syncError = 0;
    int renameError = 0;
    int syncFolderError = 0;

    // What happened.
    int syncs = 0;
    int folderSyncs = 0;

private:
    bool faulty(const QByteArray& path) const { return path.contains(only); }

    PosixFileSystem real;
    std::set<int> faultyFiles;
    qint64 bytesWritten = 0;
};

} // namespace tarnwick::test
