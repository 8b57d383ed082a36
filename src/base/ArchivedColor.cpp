// ArchivedColor: an "NSColor" object with its RGBA components as reals between 0 and 1.
#include "ArchivedColor.h"

#include "KeyedArchive.h"

Value ArchivedColor::toValue(const QColor &color)
{
    const QColor rgb = color.toRgb();
    return Value::object(
        QStringLiteral("NSColor"),
        Value::dict({{"Red", rgb.redF()}, {"Green", rgb.greenF()}, {"Blue", rgb.blueF()}, {"Alpha", rgb.alphaF()}}));
}

std::optional<QColor> ArchivedColor::fromValue(const Value &value)
{
    if (!value.isObject() || value.className() != QLatin1String("NSColor"))
        return std::nullopt;
    auto component = [&](const char *key, double fallback) {
        const Value v = value.value(QLatin1String(key));
        return v.isNumber() ? qBound(0.0, v.toDouble(), 1.0) : fallback;
    };
    return QColor::fromRgbF(float(component("Red", 0)), float(component("Green", 0)), float(component("Blue", 0)),
                            float(component("Alpha", 1)));
}

QByteArray ArchivedColor::archive(const QColor &color)
{
    return KeyedArchive::archive(toValue(color), QStringLiteral("key"));
}

std::optional<QColor> ArchivedColor::unarchive(const QByteArray &bytes)
{
    const std::optional<Value> v = KeyedArchive::unarchive(bytes, QStringLiteral("key"));
    return v ? fromValue(*v) : std::nullopt;
}
