#include "ui/screen_fit.h"

#include <QtGlobal>

#include <algorithm>

namespace tarnwick {

ScreenFit fitOnScreen(const QRect& area, const QSize& frame, const QSize& wanted, qreal devicePixelRatio)
{
    // Qt keeps geometry in logical pixels and rounds at each conversion to device pixels: the
    // screen's free area may have been rounded up by half a logical pixel, the window's size and
    // position each round up by half a device pixel, and a frame's size is the difference of two
    // rounded sizes (at 2, an odd number of device pixels too). A margin of one logical pixel,
    // two with a frame, absorbs all of it; unscaled, nothing rounds.
    const int margin = qFuzzyCompare(devicePixelRatio, 1.0) ? 0 : (frame == QSize(0, 0) ? 1 : 2);
    const QRect usable = area.adjusted(0, 0, -margin, -margin);
    const QSize size = wanted.boundedTo((usable.size() - frame).expandedTo(QSize(1, 1)));
    QRect placed(QPoint(), size + frame);
    placed.moveCenter(usable.center());
    placed.moveTopLeft(QPoint(std::max(placed.left(), usable.left()), std::max(placed.top(), usable.top())));
    return { size, placed.topLeft() };
}

} // namespace tarnwick
