#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace tarnwick {

/// One child process to start.
struct ChildLaunch {
    QString program; ///< a full path; no search of PATH
    QStringList arguments;
    /// The child's whole environment, NAME=value each.
    QStringList environment;
    QString workingFolder;
    /// Standard output and error both go here, the file emptied first; standard input is empty.
    QString outputFile;
};

/// How a child ended.
struct ChildExit {
    int code = 0; ///< its exit status, when it exited
    int signal = 0; ///< the signal that ended it, else 0
};

/// What the private search instance needs of the system: its child processes, a loopback port
/// and whether an address answers as an instance does. Abstract so the instance's lifecycle
/// can be tested against children that refuse to start, never answer or die mid-run, on a
/// virtual clock; the real implementation is PosixInstanceSystem.
class InstanceSystem {
public:
    virtual ~InstanceSystem() = default;

    /// Starts a child in a process group of its own, tied to this process's life: it is killed
    /// when this process dies, however it dies. Returns its id, or 0 with the errno value in
    /// `error` when it could not be started (ENOENT for a program that is not there).
    virtual qint64 start(const ChildLaunch& launch, int& error) = 0;
    /// Whether the child has ended, without blocking. Once it has, it is reaped: its id is
    /// spent and must not be used again.
    virtual std::optional<ChildExit> reap(qint64 child) = 0;
    /// Sends `number` to the child's process group.
    virtual void signal(qint64 child, int number) = 0;
    /// Blocks until the child ends or `ms` pass; how it ended (reaped), or nothing.
    virtual std::optional<ChildExit> awaitExit(qint64 child, int ms) = 0;

    /// A port of 127.0.0.1 that nothing listens on now, as the system picks one.
    virtual int freePort() = 0;
    /// Whether binding `port` of 127.0.0.1 fails now, because something else holds it.
    virtual bool portTaken(int port) = 0;
    /// Whether a search instance answers at `address` ("http://127.0.0.1:PORT") now.
    virtual bool answers(const QString& address) = 0;
};

} // namespace tarnwick
