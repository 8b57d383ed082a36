// PrintInfoCodec: reads and writes the "Print Info" dictionary with a validated paper, orientation and margins.
#include "PrintInfoCodec.h"

#include <QPageSize>
#include <cmath>

namespace {

constexpr int version = 1;
// A sheet larger than this (about 35 m) is not paper but a malformed value.
constexpr double maxPoints = 100000;

const QString kVersion = QStringLiteral("Print Info Version");
const QString kName = QStringLiteral("Paper Name");
const QString kWidth = QStringLiteral("Paper Width");
const QString kHeight = QStringLiteral("Paper Height");
const QString kOrientation = QStringLiteral("Orientation");
const QString kLeft = QStringLiteral("Left Margin");
const QString kTop = QStringLiteral("Top Margin");
const QString kRight = QStringLiteral("Right Margin");
const QString kBottom = QStringLiteral("Bottom Margin");

std::optional<QPageSize> standardPaper(const QString &key)
{
    for (int id = 0; id <= QPageSize::LastPageSize; ++id)
        if (QPageSize::key(QPageSize::PageSizeId(id)) == key)
            return QPageSize(QPageSize::PageSizeId(id));
    return std::nullopt;
}

std::optional<double> points(const Value &v)
{
    if (!v.isNumber() || !std::isfinite(v.toDouble()) || v.toDouble() < 0 || v.toDouble() > maxPoints)
        return std::nullopt;
    return v.toDouble();
}

std::optional<QPageSize> paper(const Value &stored)
{
    const std::optional<double> width = points(stored.value(kWidth));
    const std::optional<double> height = points(stored.value(kHeight));
    const bool hasSize = width && height && *width > 0 && *height > 0;
    if (const std::optional<QPageSize> standard = standardPaper(stored.value(kName).toString())) {
        const QSizeF size = standard->size(QPageSize::Point);
        if (!hasSize || (qAbs(size.width() - *width) < 0.01 && qAbs(size.height() - *height) < 0.01))
            return standard;
    }
    if (!hasSize)
        return std::nullopt;
    return QPageSize(QSizeF(*width, *height), QPageSize::Point, QString(), QPageSize::ExactMatch);
}

} // namespace

Value PrintInfoCodec::encode(const QPageLayout &layout)
{
    const QSizeF size = layout.pageSize().size(QPageSize::Point);
    const QMarginsF margins = layout.margins(QPageLayout::Point);
    return Value::dict({{kVersion, version},
                        {kName, layout.pageSize().key()},
                        {kWidth, size.width()},
                        {kHeight, size.height()},
                        {kOrientation, layout.orientation() == QPageLayout::Landscape ? "Landscape" : "Portrait"},
                        {kLeft, margins.left()},
                        {kTop, margins.top()},
                        {kRight, margins.right()},
                        {kBottom, margins.bottom()}});
}

std::optional<QPageLayout> PrintInfoCodec::decode(const Value &stored, QString *error)
{
    auto fail = [&](const QString &message) {
        if (error)
            *error = message;
        return std::nullopt;
    };
    if (!stored.isDict() || !stored.value(kVersion).isInt() || stored.value(kVersion).toInt() != version)
        return fail(QStringLiteral("not a page setup of a known version"));
    const std::optional<QPageSize> pageSize = paper(stored);
    if (!pageSize)
        return fail(QStringLiteral("the paper has neither a known name nor a size"));
    const QString orientationText = stored.value(kOrientation).toString();
    if (orientationText != QLatin1String("Portrait") && orientationText != QLatin1String("Landscape"))
        return fail(QStringLiteral("the orientation is neither portrait nor landscape"));
    const auto orientation =
        orientationText == QLatin1String("Landscape") ? QPageLayout::Landscape : QPageLayout::Portrait;
    const std::optional<double> left = points(stored.value(kLeft));
    const std::optional<double> top = points(stored.value(kTop));
    const std::optional<double> right = points(stored.value(kRight));
    const std::optional<double> bottom = points(stored.value(kBottom));
    if (!left || !top || !right || !bottom)
        return fail(QStringLiteral("a margin is not a size in points"));
    QSizeF sheet = pageSize->size(QPageSize::Point);
    if (orientation == QPageLayout::Landscape)
        sheet.transpose();
    if (*left + *right >= sheet.width() || *top + *bottom >= sheet.height())
        return fail(QStringLiteral("the margins leave no printable area"));
    const QPageLayout layout(*pageSize, orientation, QMarginsF(*left, *top, *right, *bottom), QPageLayout::Point);
    if (!layout.isValid())
        return fail(QStringLiteral("not a usable page setup"));
    return layout;
}
