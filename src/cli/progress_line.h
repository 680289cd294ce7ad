#pragma once

#include "app/run_rate.h"

#include <QElapsedTimer>
#include <QString>

namespace tarnwick {

/// The one status line a long command keeps on standard error while it works. It is drawn
/// only when standard error is a terminal, and redrawn at most four times a second, so a
/// log file or a pipe never sees it.
class ProgressLine {
public:
    ProgressLine();

    bool enabled() const { return enabled_; }
    /// Starts the clock that rates and estimates are measured from.
    void start();
    /// Draws `done` of `total` (total 0: unknown), `added` so far, the rate per second of
    /// `done` over the last minute and the time left, unless the last drawing is too recent.
    void update(const QString& what, qint64 done, qint64 total, qint64 added);
    /// Removes the line, so a message or the shell prompt starts on a clean line.
    void clear();

    /// The text of one drawing, with the rate measured so far.
    static QString text(const QString& what, qint64 done, qint64 total, qint64 added, const RunRate& rate);

private:
    QElapsedTimer clock_;
    RunRate rate_;
    qint64 lastDrawMs_ = -1;
    bool enabled_;
    bool shown_ = false;
};

} // namespace tarnwick
