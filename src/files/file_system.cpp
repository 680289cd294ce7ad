#include "files/file_system.h"

#include "app/interrupted.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarnwick {

namespace {

// One write(2) of more than this is cut short by the system anyway.
constexpr std::size_t kMaxWrite = 1u << 30;

int errorOf(int result)
{
    return result == -1 ? errno : 0;
}

int fsyncOf(int fd)
{
    return errorOf(retryInterrupted([fd] { return ::fsync(fd); }));
}

} // namespace

int PosixFileSystem::createNew(const QByteArray& path, int& fd)
{
    fd = retryInterrupted(
        [&] { return ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666); });
    return errorOf(fd);
}

int PosixFileSystem::setMode(int fd, mode_t mode)
{
    return errorOf(::fchmod(fd, mode));
}

int PosixFileSystem::write(int fd, const char* data, std::size_t size, std::size_t& written)
{
    const ssize_t n = retryInterrupted([&] { return ::write(fd, data, std::min(size, kMaxWrite)); });
    written = static_cast<std::size_t>(std::max<ssize_t>(n, 0));
    if (n == -1)
        return errno;
    // A regular file that takes nothing of a non-empty write has no room for it.
    return n == 0 && size > 0 ? ENOSPC : 0;
}

int PosixFileSystem::sync(int fd)
{
    return fsyncOf(fd);
}

int PosixFileSystem::close(int fd)
{
    // After EINTR the descriptor is gone on Linux; closing again could close another file.
    const int result = ::close(fd);
    return result == -1 && errno != EINTR ? errno : 0;
}

int PosixFileSystem::rename(const QByteArray& from, const QByteArray& to)
{
    return errorOf(std::rename(from.constData(), to.constData()));
}

int PosixFileSystem::remove(const QByteArray& path)
{
    return errorOf(::unlink(path.constData()));
}

int PosixFileSystem::syncFolder(const QByteArray& folder)
{
    const int fd
        = retryInterrupted([&] { return ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); });
    if (fd == -1)
        return errno;
    const int error = fsyncOf(fd);
    ::close(fd);
    // Some file systems keep no folder data to flush and say so; the rename stands all the same.
    return error == EINVAL ? 0 : error;
}

int writeAll(FileSystem& files, int fd, const QByteArray& bytes)
{
    const char* data = bytes.constData();
    std::size_t left = static_cast<std::size_t>(bytes.size());
    while (left > 0) {
        std::size_t written = 0;
        if (const int error = files.write(fd, data, left, written))
            return error;
        data += written;
        left -= written;
    }
    return 0;
}

} // namespace tarnwick
