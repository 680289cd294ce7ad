#include "spider/run_journal.h"

#include "app/platform.h"
#include "files/file_system.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace tarnwick {

namespace {

constexpr qint64 kSyncIntervalMs = 1000;
const char kSuffix[] = ".journal";

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

bool lockedByOther(int fd)
{
    return ::flock(fd, LOCK_EX | LOCK_NB) != 0;
}

} // namespace

RunJournal::RunJournal(int fd, QString path, Platform& p)
    : fd_(fd)
    , path_(std::move(path))
    , platform_(p)
    , lastSync_(p.now())
{
}

RunJournal::~RunJournal()
{
    if (pendingSync_.valid())
        pendingSync_.wait();
    if (fd_ >= 0)
        platform_.fileSystem().close(fd_);
}

std::unique_ptr<RunJournal> RunJournal::create(
    const QString& folder, const JournalHeader& header, Platform& p, QString& error)
{
    if (!QDir().mkpath(folder)) {
        error = QStringLiteral("the folder %1 cannot be made").arg(folder);
        return nullptr;
    }
    const QString name = header.started.toUTC().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz"))
        + QLatin1Char('-') + QString::number(::getpid()) + QLatin1String(kSuffix);
    const QString path = QDir(folder).filePath(name);
    // It gets its name only once its header is whole and it is locked, so no other program
    // ever takes a half-made journal for an interrupted run.
    const QString part = path + QStringLiteral(".part");
    FileSystem& files = p.fileSystem();
    int fd = -1;
    int failed = files.createNew(QFile::encodeName(part), fd);
    if (failed != 0) {
        error = QStringLiteral("%1: %2").arg(part, qt_error_string(failed));
        return nullptr;
    }
    std::unique_ptr<RunJournal> journal(new RunJournal(fd, path, p));
    // Like the entries, the header and the file's name reach the disk with the first sync; a
    // kill loses nothing written, and waiting for the disk here would cost a short run more
    // than all its entries. Only this user may read it: it holds the URL list and the settings.
    if ((failed = files.setMode(fd, 0600)) == 0 && lockedByOther(fd))
        failed = errno;
    if (failed == 0 && (failed = writeAll(files, fd, headerLine(header))) == 0
        && ::rename(QFile::encodeName(part).constData(), QFile::encodeName(path).constData()) != 0)
        failed = errno;
    if (failed != 0) {
        error = QStringLiteral("%1: %2").arg(part, qt_error_string(failed));
        ::unlink(QFile::encodeName(part).constData());
        return nullptr;
    }
    journal->contents_.header = header;
    return journal;
}

std::unique_ptr<RunJournal> RunJournal::open(const QString& path, Platform& p, QString& error)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_APPEND | O_CLOEXEC);
    if (fd < 0) {
        error = QStringLiteral("The journal %1 cannot be read: %2.").arg(path, systemError());
        return nullptr;
    }
    std::unique_ptr<RunJournal> journal(new RunJournal(fd, path, p));
    if (lockedByOther(fd)) {
        error = QStringLiteral("The journal %1 is in use by another Tarnwick.").arg(path);
        return nullptr;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("The journal %1 cannot be read: %2.").arg(path, file.errorString());
        return nullptr;
    }
    const QByteArray bytes = file.readAll();
    JournalReading reading = readJournal(bytes);
    if (!reading.ok()) {
        error = QStringLiteral("The journal %1 cannot be resumed: %2.").arg(path, reading.error);
        return nullptr;
    }
    if (reading.contents.wholeBytes < bytes.size() && ::ftruncate(fd, reading.contents.wholeBytes) != 0) {
        error = QStringLiteral("The journal %1 cannot be resumed: %2.").arg(path, systemError());
        return nullptr;
    }
    journal->contents_ = std::move(reading.contents);
    return journal;
}

QStringList RunJournal::interrupted(const QString& folder)
{
    QStringList found;
    const QStringList names = QDir(folder).entryList(
        { QStringLiteral("*") + QLatin1String(kSuffix) }, QDir::Files, QDir::Name | QDir::Reversed);
    for (const QString& name : names) {
        const QString path = QDir(folder).filePath(name);
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            continue;
        if (!lockedByOther(fd))
            found.append(path);
        ::close(fd);
    }
    return found;
}

QString RunJournal::append(const JournalEntry& entry)
{
    if (broken_ || fd_ < 0)
        return {};
    if (const int failed = writeAll(platform_.fileSystem(), fd_, entryLine(entry))) {
        broken_ = true;
        return QStringLiteral("%1: %2").arg(path_, qt_error_string(failed));
    }
    const QDateTime now = platform_.now();
    if (lastSync_.msecsTo(now) >= kSyncIntervalMs) {
        // The disk may take tens of milliseconds, which the run does not wait for; only a
        // disk slower than the interval holds it back, by one sync: replacing the future of
        // std::async waits for the sync before.
        // Its folder once, so that the journal's name reaches the disk as well.
        const QByteArray folder
            = syncs_ == 0 ? QFile::encodeName(QFileInfo(path_).absolutePath()) : QByteArray();
        pendingSync_ = std::async(std::launch::async, [&files = platform_.fileSystem(), fd = fd_, folder] {
            files.sync(fd);
            if (!folder.isEmpty())
                files.syncFolder(folder);
        });
        lastSync_ = now;
        ++syncs_;
    }
    return {};
}

void RunJournal::remove()
{
    if (fd_ < 0)
        return;
    ::unlink(QFile::encodeName(path_).constData());
    if (pendingSync_.valid())
        pendingSync_.wait();
    platform_.fileSystem().close(fd_);
    fd_ = -1;
}

} // namespace tarnwick
