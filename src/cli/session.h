#pragma once

#include "app/form1.h"
#include "cli/command_line.h"
#include "cli/console_platform.h"
#include "cli/interrupt_watch.h"
#include "cli/progress_line.h"

#include <cstdio>
#include <functional>

namespace tarnwick {

/// Writes `text` as UTF-8 and flushes, so messages and output keep their order in a log.
void writeTo(std::FILE* stream, const QString& text);

/// The exit status of a command that gathered something: Failed when its output could not be
/// written, else Stopped or Completed.
ExitStatus outcome(bool outputWritten, bool stopped);

/// The window state, its console platform and what watches over a run: one command's life.
class Session {
public:
    using Handler = void (*)(Form1&, Platform&);

    explicit Session(const QString& folder);
    ~Session();

    /// The kill tests' hook: TARNWICK_TEST_KILL "pages:N" kills the program at the first pump
    /// after its Nth page was written, "urls:N" at the first after its Nth URL's outcome.
    void killForTest();

    /// Opens `path` through an Open command; false when the command could not read it
    /// (it has said why). Each open command replaces its list or pane only on success.
    bool open(Handler command, const Control& target, const QString& path);

    enum class Saved { Yes, NothingToSave, Failed };

    /// Saves through a Save command to `path`.
    Saved save(Handler command, const QString& path);

    /// Writes a file of the command line's own (not one a window command saves), with the
    /// same messages as the window's saves.
    bool writeFile(const QString& path, const QString& text);

    /// -o when given, else the entries on standard output, one a line.
    bool saveOrPrint(const ParsedCommand& command, Handler save, const QStringList& entries);

    /// Did the last long command end on its stop path?
    bool endedStopped() const;

    Form1 f;
    ConsolePlatform p;
    ProgressLine progress;
    InterruptWatch watch;
    std::function<void()> showProgress;
};

} // namespace tarnwick
