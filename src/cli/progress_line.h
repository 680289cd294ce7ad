#pragma once

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
    /// `done` and the time left, unless the last drawing is too recent.
    void update(const QString& what, qint64 done, qint64 total, qint64 added);
    /// Removes the line, so a message or the shell prompt starts on a clean line.
    void clear();

    /// The text of one drawing; the clock's reading is passed in.
    static QString text(const QString& what, qint64 done, qint64 total, qint64 added, qint64 elapsedMs);
    /// "42s", "3m05s", "1h02m".
    static QString duration(qint64 seconds);

private:
    QElapsedTimer clock_;
    qint64 lastDrawMs_ = -1;
    bool enabled_;
    bool shown_ = false;
};

} // namespace tarnwick
