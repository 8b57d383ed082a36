// FDShapeControl: fill by image, else gradient, else colour; stroke when coloured and wider than 0; then the title.
#include "FDShapeControl.h"

#include "ArchivedColor.h"
#include "FDKeys.h"
#include "FDSerializationServices.h"

#include <QAbstractTextDocumentLayout>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QTextDocument>
#include <QtMath>

FDShapeControl FDShapeControl::fromControl(const Value &control)
{
    FDShapeControl shape;
    const Value a = control.attributes();
    if (!a.isDict())
        return shape;
    if (a.contains(FDKeys::kShapeType))
        shape.shapeType = qBound(0, FDSerializationServices::unserializeInteger(a.value(FDKeys::kShapeType)), 3);
    if (a.contains(FDKeys::kStrokeColor))
        shape.strokeColor = FDSerializationServices::colorFromValue(a.value(FDKeys::kStrokeColor));
    if (a.contains(FDKeys::kStrokeWidth))
        shape.strokeWidth = qBound(0, FDSerializationServices::unserializeInteger(a.value(FDKeys::kStrokeWidth)), 1000);
    if (a.contains(FDKeys::kFillColor))
        shape.fillColor = FDSerializationServices::colorFromValue(a.value(FDKeys::kFillColor));
    shape.fillGradient = FDSerializationServices::unserializeGradient(a.value(FDKeys::kFillGradient).toString());
    if (a.contains(FDKeys::kFillGradientAngle))
        shape.fillGradientAngle = float(a.value(FDKeys::kFillGradientAngle).toDouble());
    const Value image = a.value("Background Image");
    shape.backgroundImage =
        image.isImage() ? image.toImage() : FDSerializationServices::unserializeImage(image.toData());
    // Older forms stored the title as plain text; it reads as unformatted rich text.
    if (a.contains(FDKeys::kTitle))
        shape.title = FDSerializationServices::normalizedAttributedString(a.value(FDKeys::kTitle));
    return shape;
}

Value FDShapeControl::toControl() const
{
    Value a = Value::dict();
    a.set(FDKeys::kShapeType, shapeType);
    if (strokeColor)
        a.set(FDKeys::kStrokeColor, ArchivedColor::toValue(*strokeColor));
    a.set(FDKeys::kStrokeWidth, strokeWidth);
    if (fillColor)
        a.set(FDKeys::kFillColor, ArchivedColor::toValue(*fillColor));
    a.set(FDKeys::kFillGradient,
          fillGradient.isEmpty() ? QString() : FDSerializationServices::serializeGradient(fillGradient));
    a.set(FDKeys::kFillGradientAngle, double(fillGradientAngle));
    if (!backgroundImage.isNull())
        a.set("Background Image", backgroundImage);
    a.set(FDKeys::kTitle, title.isNull() ? FDSerializationServices::attributedStringFromPlainText(QString()) : title);
    return Value::object(FDKeys::kShape, a);
}

QString FDShapeControl::titleText() const
{
    return FDSerializationServices::plainTextOfAttributedString(title);
}

void FDShapeControl::setTitleText(const QString &text)
{
    title = FDSerializationServices::attributedStringFromPlainText(text);
}

QRectF FDShapeControl::shapeRect(const QRectF &bounds) const
{
    QRectF r = bounds.adjusted(0.5, 0.5, -0.5, -0.5);
    if (shapeType == Square || shapeType == Circle) {
        const qreal side = qMin(r.width(), r.height());
        r = QRectF(r.x(), r.y(), side, side);
    }
    return r;
}

void FDShapeControl::draw(QPainter &painter, const QRectF &bounds) const
{
    const QRectF r = shapeRect(bounds);
    QPainterPath path;
    if (isOval())
        path.addEllipse(r);
    else
        path.addRect(r);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    if (!backgroundImage.isNull()) {
        painter.setClipPath(path);
        painter.drawImage(r, backgroundImage);
        painter.setClipping(false);
    } else if (fillGradient.size() >= 1) {
        // The angle turns the gradient's axis around the shape's centre, 0 degrees pointing right.
        const qreal radians = qDegreesToRadians(qreal(fillGradientAngle));
        const QPointF centre = r.center();
        const QPointF half(std::cos(radians) * r.width() / 2, -std::sin(radians) * r.height() / 2);
        QLinearGradient gradient(centre - half, centre + half);
        const int n = int(fillGradient.size());
        for (int k = 0; k < n; ++k)
            gradient.setColorAt(n == 1 ? 0.0 : qreal(k) / (n - 1), fillGradient.at(k));
        painter.fillPath(path, gradient);
    } else if (fillColor) {
        painter.fillPath(path, *fillColor);
    }
    if (strokeColor && strokeWidth != 0) {
        painter.setPen(QPen(*strokeColor, strokeWidth));
        painter.drawPath(path);
    }
    if (!title.isNull()) {
        QTextDocument document;
        document.setDefaultFont(painter.font());
        QTextOption option = document.defaultTextOption();
        option.setAlignment(Qt::AlignHCenter);
        document.setDefaultTextOption(option);
        FDSerializationServices::unserializeAttributedString(title, document);
        if (!document.isEmpty()) {
            // Centred in the shape; text without a colour of its own is black whatever the palette says.
            document.setDocumentMargin(2);
            document.setTextWidth(r.width());
            painter.setClipPath(path);
            painter.translate(r.left(), r.top() + (r.height() - document.size().height()) / 2);
            QAbstractTextDocumentLayout::PaintContext context;
            context.palette.setColor(QPalette::Text, Qt::black);
            document.documentLayout()->draw(&painter, context);
        }
    }
    painter.restore();
}
