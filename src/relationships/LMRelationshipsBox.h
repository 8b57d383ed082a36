// LMRelationshipsBox: one table on the relationships diagram: its position and its "Relationship" fields.
#pragma once

#include "Value.h"

#include <QPointF>
#include <QRectF>
#include <QString>
#include <QStringList>

struct LMRelationshipsBox {
    static constexpr double kWidth = 170;
    static constexpr double kTitleHeight = 22;
    static constexpr double kRowHeight = 15;

    QString name;
    QPointF origin;
    QStringList fields; // the table's "Relationship" fields, in design order
    QStringList datatypes;

    QRectF rect() const { return QRectF(origin, QSizeF(kWidth, kTitleHeight + kRowHeight * fields.size())); }
    QRectF titleRect() const { return QRectF(origin, QSizeF(kWidth, kTitleHeight)); }
    QRectF rowRect(int index) const
    {
        return QRectF(origin.x(), origin.y() + kTitleHeight + kRowHeight * index, kWidth, kRowHeight);
    }
    // The field row under a point, or -1.
    int fieldIndexAt(const QPointF &point) const;
    bool titleContains(const QPointF &point) const { return titleRect().contains(point); }

    // The box record: "Name", "x", "y".
    Value archived() const;
};
