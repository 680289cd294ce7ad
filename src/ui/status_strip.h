#pragma once

#include "app/run_rate.h"

#include <QElapsedTimer>
#include <QString>
#include <QTimer>

class QLabel;
class QProgressBar;
class QStatusBar;

namespace tarnwick {

class Form1;

/// What the status strip says at one moment.
struct StatusReading {
    QString text;
    /// The progress bar's value and maximum; no bar while the maximum is 0.
    qint64 value = 0;
    qint64 maximum = 0;
};

/// The strip along the window's bottom edge (labelStatus). While a long command runs it
/// shows how far the command has got, redrawn four times a second by a timer that fires
/// during the command's own event pumps, so the run never waits for it. Otherwise it shows
/// labelStatus's caption: empty, unless a command left a line there as it ended (a spider
/// run its outcome summary, shown from the moment the run sets it).
class StatusStrip {
public:
    StatusStrip(Form1& form, QStatusBar* bar);

    QLabel* label() const { return label_; }
    QProgressBar* progressBar() const { return bar_; }

    /// A user's action is about to run a handler; a long command it starts is measured from here.
    void beforeUserAction();
    /// The handler has returned.
    void afterUserAction();
    /// Redraws when the strip shows something the state no longer says (cheap: the window
    /// calls it at every pump).
    void sync();

    /// The reading for the command running in `f` at `nowMs` on the run's clock; `urlTotal`
    /// is the URL list's count when the command started. A spider reading feeds `rate`.
    static StatusReading read(const Form1& f, qint64 urlTotal, RunRate& rate, qint64 nowMs);

private:
    void redraw();

    Form1& form_;
    QLabel* label_;
    QProgressBar* bar_;
    QTimer timer_;
    QElapsedTimer clock_;
    RunRate rate_;
    qint64 urlTotal_ = 0;
    int depth_ = 0;
    bool showsProgress_ = false;
    std::uint64_t shownCaption_ = ~std::uint64_t { 0 };
};

} // namespace tarnwick
