// FDResizeRule: the frame a handle drag gives, with the Alt (symmetric) and Shift (proportional) rules and limits.
#pragma once

#include <QPointF>
#include <QRectF>
#include <optional>

namespace FDResizeRule {
// Handles: corners 0 top-left, 1 top-right, 2 bottom-right, 3 bottom-left; edges 4 top, 5 right, 6 bottom, 7 left.
enum Handle { TopLeft, TopRight, BottomRight, BottomLeft, Top, Right, Bottom, Left, HandleCount };
constexpr qreal kMinimumSide = 7;

// The handle's point on a frame.
QPointF handlePoint(const QRectF &frame, int handle);
// The wrapper frame after dragging `handle` by `delta`; nullopt when the control would be narrower or lower
// than 7 points (the wrapper width less the label width less the 4-point gap, and the wrapper height).
std::optional<QRectF> resizedFrame(const QRectF &frame, qreal labelWidth, int handle, const QPointF &delta,
                                   bool symmetric, bool proportional);
} // namespace FDResizeRule
