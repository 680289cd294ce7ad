#pragma once

#include <QRect>
#include <QtMath>

namespace tarnwick {

/// The window's layout is drawn in twips (1/1440 inch); the screen's logical resolution turns
/// them into pixels, so the window keeps its proportions at every display scale.
class Twips {
public:
    explicit Twips(qreal logicalDpi)
        : dpi_(logicalDpi > 0 ? logicalDpi : 96.0)
    {
    }

    int px(int twips) const { return qRound(twips * dpi_ / 1440.0); }
    /// The rectangle from (left, top) to (right, bottom), all in twips.
    QRect rect(int left, int top, int right, int bottom) const
    {
        return QRect(QPoint(px(left), px(top)), QPoint(px(right) - 1, px(bottom) - 1));
    }

private:
    qreal dpi_;
};

} // namespace tarnwick
