// FDResizeRule: each handle owns the sides it sits on; Alt doubles the change about the centre.
#include "FDResizeRule.h"

#include <cmath>

namespace FDResizeRule {
namespace {
struct Sides {
    bool left, right, top, bottom;
};

Sides sidesOf(int handle)
{
    switch (handle) {
    case TopLeft: return {true, false, true, false};
    case TopRight: return {false, true, true, false};
    case BottomRight: return {false, true, false, true};
    case BottomLeft: return {true, false, false, true};
    case Top: return {false, false, true, false};
    case Right: return {false, true, false, false};
    case Bottom: return {false, false, false, true};
    case Left: return {true, false, false, false};
    default: return {false, false, false, false};
    }
}
} // namespace

QPointF handlePoint(const QRectF &f, int handle)
{
    switch (handle) {
    case TopLeft: return f.topLeft();
    case TopRight: return f.topRight();
    case BottomRight: return f.bottomRight();
    case BottomLeft: return f.bottomLeft();
    case Top: return {f.center().x(), f.top()};
    case Right: return {f.right(), f.center().y()};
    case Bottom: return {f.center().x(), f.bottom()};
    case Left: return {f.left(), f.center().y()};
    default: return f.center();
    }
}

std::optional<QRectF> resizedFrame(const QRectF &frame, qreal labelWidth, int handle, const QPointF &delta,
                                   bool symmetric, bool proportional)
{
    const Sides s = sidesOf(handle);
    qreal x = frame.x(), y = frame.y(), w = frame.width(), h = frame.height();
    const qreal dx = delta.x(), dy = delta.y();
    if (proportional && (s.top || s.bottom) && h > 0) {
        if (h + dy <= 0)
            return std::nullopt;
        const qreal factor = s.bottom ? (h + dy) / h : h / (h + dy);
        const qreal nw = std::round(w * factor), nh = std::round(h * factor);
        // The corner opposite the handle stays where it is.
        if (s.left)
            x = frame.right() - nw;
        if (s.top)
            y = frame.bottom() - nh;
        w = nw;
        h = nh;
    } else {
        const qreal k = symmetric ? 2 : 1;
        if (s.left) {
            x += dx;
            w -= k * dx;
        }
        if (s.right) {
            if (symmetric)
                x -= dx;
            w += k * dx;
        }
        if (s.top) {
            y += dy;
            h -= k * dy;
        }
        if (s.bottom) {
            if (symmetric)
                y -= dy;
            h += k * dy;
        }
    }
    if (w - labelWidth - 4 < kMinimumSide || h < kMinimumSide)
        return std::nullopt;
    return QRectF(x, y, w, h);
}
} // namespace FDResizeRule
