// FDShapeControl: the drawn shape control: its attributes, their archived form and its drawing rule.
#pragma once

#include "Value.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QRectF>
#include <QString>
#include <optional>

class QPainter;

class FDShapeControl {
public:
    enum ShapeType { Rectangle = 0, Oval = 1, Square = 2, Circle = 3 };

    int shapeType = Rectangle;
    std::optional<QColor> strokeColor = QColor(0, 0, 0);
    int strokeWidth = 1;
    std::optional<QColor> fillColor = QColor(255, 255, 255);
    QList<QColor> fillGradient; // empty: none
    float fillGradientAngle = 90.0f;
    QImage backgroundImage;
    // The title as a stored attributed string (rich text); null for none.
    Value title;
    // Shadows are not stored; the attribute stays none.

    QString titleText() const;
    // Replaces the title by unformatted text.
    void setTitleText(const QString &text);

    // Reads the attributes of an archived "FDShapeControl" object; missing or unreadable ones keep their defaults.
    static FDShapeControl fromControl(const Value &control);
    // The archived object, attributes in their encoding order.
    Value toControl() const;

    // The shape's rectangle in `bounds`: inset by 0.5, squares and circles made square against the top-left.
    QRectF shapeRect(const QRectF &bounds) const;
    bool isOval() const { return shapeType == Oval || shapeType == Circle; }
    void draw(QPainter &painter, const QRectF &bounds) const;
};
