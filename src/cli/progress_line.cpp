#include "cli/progress_line.h"

#include <cstdio>
#include <unistd.h>

namespace tarnwick {

namespace {

constexpr qint64 kRedrawMs = 250;

} // namespace

ProgressLine::ProgressLine()
    : enabled_(::isatty(STDERR_FILENO) == 1)
{
}

void ProgressLine::start()
{
    clock_.start();
    lastDrawMs_ = -1;
}

QString ProgressLine::duration(qint64 seconds)
{
    if (seconds < 60)
        return QStringLiteral("%1s").arg(seconds);
    if (seconds < 3600)
        return QStringLiteral("%1m%2s").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1h%2m").arg(seconds / 3600).arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'));
}

QString ProgressLine::text(const QString& what, qint64 done, qint64 total, qint64 added, qint64 elapsedMs)
{
    QString line = what + QLatin1Char(' ') + QString::number(done);
    if (total > 0)
        line += QLatin1Char('/') + QString::number(total);
    line += QStringLiteral(" done, %1 added").arg(added);
    if (elapsedMs <= 0 || done <= 0)
        return line;
    const double rate = done * 1000.0 / static_cast<double>(elapsedMs);
    line += QStringLiteral(", %1/s").arg(rate, 0, 'f', rate < 10 ? 2 : 1);
    if (total > done)
        line += QStringLiteral(", about %1 left")
                    .arg(duration(static_cast<qint64>((total - done) / rate + 0.5)));
    return line;
}

void ProgressLine::update(const QString& what, qint64 done, qint64 total, qint64 added)
{
    if (!enabled_ || !clock_.isValid())
        return;
    const qint64 now = clock_.elapsed();
    if (lastDrawMs_ >= 0 && now - lastDrawMs_ < kRedrawMs)
        return;
    lastDrawMs_ = now;
    // Back to the line's start, the new text, then erase whatever the last drawing left.
    const QByteArray bytes = "\r" + text(what, done, total, added, now).toUtf8() + "\x1b[K";
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stderr);
    std::fflush(stderr);
    shown_ = true;
}

void ProgressLine::clear()
{
    if (!shown_)
        return;
    std::fputs("\r\x1b[K", stderr);
    std::fflush(stderr);
    shown_ = false;
    // The next update draws at once, below whatever was written meanwhile.
    lastDrawMs_ = -1;
}

} // namespace tarnwick
