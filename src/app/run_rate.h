#pragma once

#include <QString>

#include <deque>

namespace tarnwick {

/// How fast a long run moves, measured over its last minute, and the time left that makes.
/// The window's status strip and the command line's progress line both read it; the clock
/// is passed in, so the figures are testable without waiting.
class RunRate {
public:
    /// The span the rate is measured over.
    static constexpr qint64 kWindowMs = 60'000;

    /// Forgets every reading: the next one starts a new run.
    void restart() { readings_.clear(); }
    /// `done` items finished at `ms` on the run's clock (readings come in time order).
    void sample(qint64 ms, qint64 done);
    /// Items a second over the last minute (since the first reading while the run is
    /// younger); 0 while unknown.
    double perSecond() const;
    /// Whole seconds until `total` is done at the current rate; -1 while unknown.
    qint64 secondsLeft(qint64 total) const;
    /// ", 12.3/s, about 1m05s left" from the latest reading; the parts not yet known are left out.
    QString describe(qint64 total) const;

    /// "42s", "3m05s", "1h02m".
    static QString duration(qint64 seconds);

private:
    struct Reading {
        qint64 ms;
        qint64 done;
    };
    std::deque<Reading> readings_;
};

} // namespace tarnwick
