#pragma once

#include "app/run_rate.h"

#include <QElapsedTimer>
#include <QString>
#include <QTimer>

#include <functional>

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

/// Whether a reading adds to the rate measured, or shows the rate as it last was: a run held
/// by a question (a message box) makes no progress, which must not read as a slower run.
enum class RateSampling { Sample, Keep };

/// The strip along the window's bottom edge (labelStatus). While a long command runs it
/// shows how far the command has got, drawn from the same state as the window's labels at
/// the same moment: at every pump of the command, and four times a second by a timer that
/// also redraws the window. A command is measured from the first pump that finds it running,
/// however it started (a button, a key, the resume question at start-up). While a modal
/// dialog is up, the rate and time left hold and the clock they are measured on stops.
/// Otherwise the strip shows labelStatus's caption: empty, unless a command left a line there
/// as it ended (a run its outcome summary, shown from the moment it is set).
class StatusStrip {
public:
    /// `redrawWindow` redraws the window's controls and then calls sync().
    StatusStrip(Form1& form, QStatusBar* bar, std::function<void()> redrawWindow);

    QLabel* label() const { return label_; }
    QProgressBar* progressBar() const { return bar_; }

    /// Redraws from the state now (cheap: the window calls it at every pump).
    void sync();

    /// The reading for the command running in `f` at `nowMs` on the run's clock; `urlTotal`
    /// is the URL list's count when the command started. A spider reading feeds `rate` unless
    /// told to keep it.
    static StatusReading read(const Form1& f, qint64 urlTotal, RunRate& rate, qint64 nowMs,
        RateSampling sampling = RateSampling::Sample);

private:
    void redraw(RateSampling sampling);
    /// Milliseconds the command has run, without the time it was held by a dialog.
    qint64 runClockMs();

    Form1& form_;
    QLabel* label_;
    QProgressBar* bar_;
    std::function<void()> redrawWindow_;
    QTimer timer_;
    QElapsedTimer clock_;
    QElapsedTimer held_;
    qint64 heldMs_ = 0;
    RunRate rate_;
    qint64 urlTotal_ = 0;
    bool measuring_ = false;
    bool sampleDue_ = false;
    bool showsProgress_ = false;
    std::uint64_t shownCaption_ = ~std::uint64_t { 0 };
};

} // namespace tarnwick
