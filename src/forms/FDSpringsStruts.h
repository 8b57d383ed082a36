// FDSpringsStruts: the resize mask of a control and how its frame follows a change of its container's size.
#pragma once

#include <QRectF>
#include <QSizeF>

namespace FDSpringsStruts {
enum Bit {
    LeftMarginFlexible = 1,
    WidthFlexible = 2,
    RightMarginFlexible = 4,
    TopMarginFlexible = 8,
    HeightFlexible = 16,
    BottomMarginFlexible = 32,
};
// The frame after the container changes from `oldSize` to `newSize`: the change is shared among the flexible
// parts in proportion to their sizes (equally when they are all 0); fixed parts keep their size.
QRectF resizedFrame(const QRectF &frame, int mask, const QSizeF &oldSize, const QSizeF &newSize);
} // namespace FDSpringsStruts
