#include "app/run_rate.h"

#include <algorithm>

namespace tarnwick {

void RunRate::sample(qint64 ms, qint64 done)
{
    if (!readings_.empty() && ms < readings_.back().ms)
        return;
    readings_.push_back({ ms, done });
    // Keep one reading at or before the window's start, so the rate always spans a full minute
    // once the run is that old.
    while (readings_.size() > 1 && readings_[1].ms <= ms - kWindowMs)
        readings_.pop_front();
}

double RunRate::perSecond() const
{
    if (readings_.size() < 2)
        return 0;
    const Reading& first = readings_.front();
    const Reading& last = readings_.back();
    if (last.ms <= first.ms)
        return 0;
    return static_cast<double>(last.done - first.done) * 1000.0 / static_cast<double>(last.ms - first.ms);
}

qint64 RunRate::secondsLeft(qint64 total) const
{
    const double rate = perSecond();
    if (rate <= 0 || readings_.empty())
        return -1;
    const qint64 left = total - readings_.back().done;
    return static_cast<qint64>(std::max<qint64>(left, 0) / rate + 0.5);
}

QString RunRate::describe(qint64 total) const
{
    const double rate = perSecond();
    if (rate <= 0)
        return {};
    QString text = QStringLiteral(", %1/s").arg(rate, 0, 'f', rate < 10 ? 2 : 1);
    const qint64 left = secondsLeft(total);
    if (left > 0)
        text += QStringLiteral(", about %1 left").arg(duration(left));
    return text;
}

QString RunRate::duration(qint64 seconds)
{
    if (seconds < 60)
        return QStringLiteral("%1s").arg(seconds);
    if (seconds < 3600)
        return QStringLiteral("%1m%2s").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1h%2m").arg(seconds / 3600).arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'));
}

} // namespace tarnwick
