#pragma once

#include <QByteArray>

#include <sys/types.h>

#include <cstddef>

namespace tarnwick {

/// The file-system calls a save makes, one method per call. Each returns 0, or the errno
/// value the call failed with. Abstract so tests can make one call fail as a full or failing
/// disk makes it fail (tests/support/faulty_file_system.h); the real implementation is
/// PosixFileSystem, the system calls themselves.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    /// Creates `path`, which must not exist yet, for writing; `fd` gets its descriptor.
    virtual int createNew(const QByteArray& path, int& fd) = 0;
    /// Gives an open file the permission bits of the file it is to replace.
    virtual int setMode(int fd, mode_t mode) = 0;
    /// Writes part of `data`, at least one byte; `written` gets how many.
    virtual int write(int fd, const char* data, std::size_t size, std::size_t& written) = 0;
    /// Puts the file's data on the disk.
    virtual int sync(int fd) = 0;
    /// Closes the file; a write error the system held back until now comes out here.
    virtual int close(int fd) = 0;
    /// Puts `from` in the place of `to` in one step.
    virtual int rename(const QByteArray& from, const QByteArray& to) = 0;
    virtual int remove(const QByteArray& path) = 0;
    /// Puts a folder's entries, a rename in it for one, on the disk.
    virtual int syncFolder(const QByteArray& folder) = 0;
};

/// Writes all of `bytes` in as many calls as it takes; 0, or the errno value of the write that
/// failed.
int writeAll(FileSystem& files, int fd, const QByteArray& bytes);

/// The system calls themselves; an interrupted call is tried again.
class PosixFileSystem : public FileSystem {
public:
    int createNew(const QByteArray& path, int& fd) override;
    int setMode(int fd, mode_t mode) override;
    int write(int fd, const char* data, std::size_t size, std::size_t& written) override;
    int sync(int fd) override;
    int close(int fd) override;
    int rename(const QByteArray& from, const QByteArray& to) override;
    int remove(const QByteArray& path) override;
    int syncFolder(const QByteArray& folder) override;
};

} // namespace tarnwick
