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
    rate_.restart();
    lastDrawMs_ = -1;
}

QString ProgressLine::text(const QString& what, qint64 done, qint64 total, qint64 added, const RunRate& rate)
{
    QString line = what + QLatin1Char(' ') + QString::number(done);
    if (total > 0)
        line += QLatin1Char('/') + QString::number(total);
    line += QStringLiteral(" done, %1 added").arg(added);
    return line + rate.describe(total);
}

void ProgressLine::update(const QString& what, qint64 done, qint64 total, qint64 added)
{
    if (!enabled_ || !clock_.isValid())
        return;
    const qint64 now = clock_.elapsed();
    if (lastDrawMs_ >= 0 && now - lastDrawMs_ < kRedrawMs)
        return;
    lastDrawMs_ = now;
    rate_.sample(now, done);
    // Back to the line's start, the new text, then erase whatever the last drawing left.
    const QByteArray bytes = "\r" + text(what, done, total, added, rate_).toUtf8() + "\x1b[K";
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
