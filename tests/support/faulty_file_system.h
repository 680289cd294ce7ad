#pragma once

#include "files/file_system.h"

#include <atomic>
#include <cerrno>
#include <mutex>
#include <set>

namespace tarnwick::test {

/// The real file system with faults turned on for the files whose path holds `only`: writes that fail once
/// `bytesBeforeWriteFails` bytes went through (a full disk), a sync or a rename that fails. Counts the syncs.
class FaultyFileSystem : public PosixFileSystem {
public:
    int createNew(const QByteArray& path, int& fd) override;
    int write(int fd, const char* data, std::size_t size, std::size_t& written) override;
    int sync(int fd) override;
    int close(int fd) override;
    int rename(const QByteArray& from, const QByteArray& to) override;
    int syncFolder(const QByteArray& folder) override;

    // The faults; an error of 0 is no fault.
    QByteArray only;
    qint64 bytesBeforeWriteFails = -1; // -1: writes never fail
    int writeError = ENOSPC;
    int syncError = 0;
    int renameError = 0;
    int syncFolderError = 0;
    int namesTaken = 0; // temporary names found taken before one is free

    std::atomic<int> syncs = 0; // a run journal syncs from a thread of its own
    std::atomic<int> folderSyncs = 0;

private:
    std::mutex lock_;
    std::set<int> faultyFiles;
    qint64 bytesWritten = 0;
};

} // namespace tarnwick::test
