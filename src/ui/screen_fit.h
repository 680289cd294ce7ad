#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace tarnwick {

/// Where a window opens: its size without the frame, and its frame's top-left corner.
struct ScreenFit {
    QSize size;
    QPoint position;
};

/// The largest size up to `wanted` a window with a frame of `frame` can take inside the
/// screen's free `area` (all in logical pixels), centred in it, such that after Qt rounds it
/// to device pixels at `devicePixelRatio` no edge of it passes the screen's.
ScreenFit fitOnScreen(const QRect& area, const QSize& frame, const QSize& wanted, qreal devicePixelRatio);

} // namespace tarnwick
