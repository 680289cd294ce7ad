#pragma once

#include "instance/instance_system.h"

#include <QString>

namespace tarnwick {

/// Where the private instance's files are and what runs it.
struct InstanceSetup {
    /// The interpreter that runs the settings writer and the instance (searx.webapp).
    QString interpreter;
    /// The user's own settings: $XDG_CONFIG_HOME/tarnwick/searx.yml, else ~/.config/...
    QString userSettings;
    /// Taken when the user has none: the searx package's example settings.
    QString exampleSettings;
    /// Where the settings file the instance reads is written: $XDG_RUNTIME_DIR/tarnwick, else
    /// the state folder. Made 0700 when missing.
    QString runtimeFolder;
    /// Where the instance's output goes: searx.log in the state folder.
    QString logFile;

    /// The paths on this machine, from the environment.
    static InstanceSetup standard();
    /// The settings the instance starts from: the user's file when there is one (even one that
    /// cannot be read, which is then refused by name), else the example.
    QString sourceSettings() const;
    /// The settings file of this process's instance in the runtime folder.
    QString settingsFile() const;
};

/// How the settings writer ended (its exit status).
enum class WriterExit { Written = 0, Refused = 4, NoSearx = 5 };

/// Writes the instance's settings file: the source settings, read as YAML, with the server bound
/// to 127.0.0.1 on `port`, a fresh secret, JSON output on and any rate limiter off. It prints
/// why it refused a source as the last line of its output. See instance_settings.cpp for the
/// file it writes.
ChildLaunch settingsWriter(const InstanceSetup& setup, int port);

/// Starts the instance (`interpreter -m searx.webapp`) on the settings the writer wrote.
ChildLaunch instanceProcess(const InstanceSetup& setup);

/// The last line of text in `file` that is not blank, cleaned of control characters and cut to
/// a readable length: what the log says last, as a message quotes it. Empty when there is none.
QString lastLogLine(const QString& file);

} // namespace tarnwick
