// FDSpringsStruts: one axis at a time: margin before, size, margin after.
#include "FDSpringsStruts.h"

#include <QtGlobal>

namespace FDSpringsStruts {
namespace {
// Shares `delta` among the flexible parts of {before, size, after}; answers the new origin and size.
std::pair<qreal, qreal> share(qreal before, qreal size, qreal after, bool flexBefore, bool flexSize, bool flexAfter,
                              qreal delta)
{
    qreal parts[3] = {before, size, after};
    const bool flexible[3] = {flexBefore, flexSize, flexAfter};
    qreal total = 0;
    int count = 0;
    for (int i = 0; i < 3; ++i) {
        if (flexible[i]) {
            total += qMax<qreal>(0, parts[i]);
            ++count;
        }
    }
    if (count == 0)
        return {before, size};
    for (int i = 0; i < 3; ++i) {
        if (!flexible[i])
            continue;
        const qreal weight = total > 0 ? qMax<qreal>(0, parts[i]) / total : 1.0 / count;
        parts[i] += delta * weight;
    }
    return {parts[0], qMax<qreal>(0, parts[1])};
}
} // namespace

QRectF resizedFrame(const QRectF &frame, int mask, const QSizeF &oldSize, const QSizeF &newSize)
{
    const auto [x, w] = share(frame.x(), frame.width(), oldSize.width() - frame.right(), mask & LeftMarginFlexible,
                              mask & WidthFlexible, mask & RightMarginFlexible, newSize.width() - oldSize.width());
    const auto [y, h] = share(frame.y(), frame.height(), oldSize.height() - frame.bottom(), mask & TopMarginFlexible,
                              mask & HeightFlexible, mask & BottomMarginFlexible, newSize.height() - oldSize.height());
    return QRectF(x, y, w, h);
}
} // namespace FDSpringsStruts
