#include "instance/private_instance.h"

#include "app/controls.h"
#include "app/platform.h"
#include "app/stoppable_wait.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <csignal>
#include <cstring>

namespace tarnwick {

namespace {

const QString kNoSearx = QStringLiteral(
    "The private search instance needs the searx package (sudo apt install searx); or choose another "
    "source in the Sources menu.");

// A program that is not there means searx is not installed: the interpreter comes with it.
QString notStarted(const ChildLaunch& launch, int error)
{
    return error == ENOENT ? kNoSearx
                           : QStringLiteral("The private search instance could not be started: %1: %2.")
                                 .arg(launch.program, QString::fromLocal8Bit(std::strerror(error)));
}

QString howItEnded(const ChildExit& exit)
{
    return exit.signal != 0 ? QStringLiteral("killed by signal %1").arg(exit.signal)
                            : QStringLiteral("exit status %1").arg(exit.code);
}

// The folder made when missing, for this user only (it holds a secret); false with the reason.
bool makeFolder(const QString& path, QFile::Permissions permissions, QString& reason)
{
    if (!QDir().mkpath(path)) {
        reason = QStringLiteral("The private search instance's folder %1 could not be made.").arg(path);
        return false;
    }
    QFile::setPermissions(path, permissions);
    return true;
}

} // namespace

PrivateInstance::PrivateInstance(std::unique_ptr<InstanceSystem> system, InstanceSetup setup)
    : system_(std::move(system))
    , setup_(std::move(setup))
{
}

PrivateInstance::~PrivateInstance()
{
    stop();
}

InstanceAnswer PrivateInstance::address(Platform& p, const Label& stopFlag)
{
    if (child_ != 0) {
        if (!system_->reap(child_))
            return { InstanceOutcome::Ready, port_, {} };
        child_ = 0;
    }
    const auto owner = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
    QString reason;
    if (!makeFolder(setup_.runtimeFolder, owner, reason)
        || !makeFolder(QFileInfo(setup_.logFile).absolutePath(), owner, reason))
        return failed(reason);
    for (int attempt = 1;; ++attempt) {
        port_ = system_->freePort();
        if (port_ == 0)
            return failed(QStringLiteral("The private search instance found no free port on 127.0.0.1."));
        const InstanceAnswer written = writeSettings(p, stopFlag);
        if (written.outcome != InstanceOutcome::Ready)
            return written;
        // Nothing: another process took the port between its choice and the instance's bind.
        if (const std::optional<InstanceAnswer> started = launch(p, stopFlag))
            return *started;
        if (attempt == kPortAttempts)
            return failed(QStringLiteral("The private search instance found its port taken %1 times.")
                              .arg(kPortAttempts)
                + logTail());
    }
}

InstanceAnswer PrivateInstance::writeSettings(Platform& p, const Label& stopFlag)
{
    const ChildLaunch writer = settingsWriter(setup_, port_);
    int error = 0;
    child_ = system_->start(writer, error);
    if (child_ == 0)
        return failed(notStarted(writer, error));
    ChildExit exit;
    const Waited waited = waitFor(WaitFor::Exit, p, stopFlag, exit);
    if (waited == Waited::TimedOut) {
        stop();
        return failed(
            QStringLiteral("The private search instance's settings were not written within %1 seconds.")
                .arg(kAnswerSeconds));
    }
    if (waited != Waited::Ended)
        return endedBy(waited);
    // A writer killed by a signal wrote nothing, whatever its exit code reads.
    switch (exit.signal != 0 ? WriterExit { -1 } : static_cast<WriterExit>(exit.code)) {
    case WriterExit::Written: return { InstanceOutcome::Ready, port_, {} };
    case WriterExit::NoSearx: return failed(kNoSearx);
    case WriterExit::Refused:
        return failed(QStringLiteral("The private search instance cannot use the settings file %1: %2.")
                          .arg(setup_.sourceSettings(), lastLogLine(setup_.logFile)));
    }
    return failed(QStringLiteral("The private search instance's settings could not be written from %1 (%2).")
                      .arg(setup_.sourceSettings(), howItEnded(exit))
        + logTail());
}

std::optional<InstanceAnswer> PrivateInstance::launch(Platform& p, const Label& stopFlag)
{
    const ChildLaunch instance = instanceProcess(setup_);
    int error = 0;
    child_ = system_->start(instance, error);
    if (child_ == 0) {
        QFile::remove(setup_.settingsFile());
        return failed(notStarted(instance, error));
    }
    ChildExit exit;
    const Waited waited = waitFor(WaitFor::Answer, p, stopFlag, exit);
    switch (waited) {
    case Waited::Answered:
        // It has read its settings; the secret need not stay on the disk.
        QFile::remove(setup_.settingsFile());
        return InstanceAnswer { InstanceOutcome::Ready, port_, {} };
    case Waited::Ended:
        QFile::remove(setup_.settingsFile());
        if (system_->portTaken(port_))
            return std::nullopt;
        return failed(
            QStringLiteral("The private search instance ended before it answered (%1).").arg(howItEnded(exit))
            + logTail());
    case Waited::TimedOut:
        stop();
        return failed(QStringLiteral("The private search instance did not answer within %1 seconds.")
                          .arg(kAnswerSeconds)
            + logTail());
    case Waited::Stopped:
    case Waited::Unloaded: break;
    }
    return endedBy(waited);
}

PrivateInstance::Waited PrivateInstance::waitFor(
    WaitFor what, Platform& p, const Label& stopFlag, ChildExit& exit)
{
    const QDateTime deadline = p.now().addSecs(kAnswerSeconds);
    for (;;) {
        if (const std::optional<ChildExit> ended = system_->reap(child_)) {
            child_ = 0;
            exit = *ended;
            return Waited::Ended;
        }
        if (what == WaitFor::Answer && system_->answers(address()))
            return Waited::Answered;
        if (stopFlag.Caption() == QLatin1String("0"))
            return Waited::Stopped;
        if (p.now() >= deadline)
            return Waited::TimedOut;
        p.Sleep(kWaitSliceMs);
        if (!p.DoEvents())
            return Waited::Unloaded;
    }
}

InstanceAnswer PrivateInstance::endedBy(Waited waited)
{
    stop();
    return { waited == Waited::Unloaded ? InstanceOutcome::Unloaded : InstanceOutcome::Stopped, 0, {} };
}

InstanceAnswer PrivateInstance::failed(const QString& message)
{
    return { InstanceOutcome::Failed, 0, message };
}

QString PrivateInstance::lostMessage()
{
    if (child_ == 0)
        return {};
    const std::optional<ChildExit> ended = system_->reap(child_);
    if (!ended)
        return {};
    child_ = 0;
    return QStringLiteral("The private search instance ended during the harvest (%1).")
               .arg(howItEnded(*ended))
        + logTail();
}

void PrivateInstance::stop()
{
    if (child_ != 0) {
        system_->signal(child_, SIGTERM);
        if (!system_->awaitExit(child_, kTermSeconds * 1000)) {
            system_->signal(child_, SIGKILL);
            system_->awaitExit(child_, kTermSeconds * 1000);
        }
        child_ = 0;
    }
    QFile::remove(setup_.settingsFile());
}

QString PrivateInstance::address() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(port_);
}

QString PrivateInstance::logTail() const
{
    const QString line = lastLogLine(setup_.logFile);
    if (line.isEmpty())
        return QStringLiteral(" Its log %1 is empty.").arg(setup_.logFile);
    return QStringLiteral(" Its log %1 ends with: \"%2\"").arg(setup_.logFile, line);
}

} // namespace tarnwick
