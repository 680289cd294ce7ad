#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace tarnwick::test {

/// What one run of tarnwick-cli left behind.
struct CliResult {
    int exitCode = -1;
    QProcess::ExitStatus exitStatus = QProcess::CrashExit;
    QByteArray out;
    QByteArray err;
};

/// Environment variables for one run, beyond the test's own.
using CliEnvironment = QList<QPair<QString, QString>>;

/// The built tarnwick-cli, ready to start in `workDir` with a clean environment: no
/// TARNWICK_HOME, the keyword lookup's file kept under `workDir`.
void prepareCli(QProcess& process, const QStringList& arguments, const QString& workDir,
    const CliEnvironment& extra = {});

/// Runs tarnwick-cli to its end (at most 60 s).
CliResult runCli(const QStringList& arguments, const QString& workDir, const CliEnvironment& extra = {});

/// Waits for a started process and collects what it wrote.
CliResult finishCli(QProcess& process);

/// Arguments written as one text, split at single spaces ("spider a.urls --filter").
inline QStringList words(const char* text)
{
    return *text ? QString::fromUtf8(text).split(u' ') : QStringList();
}

} // namespace tarnwick::test
