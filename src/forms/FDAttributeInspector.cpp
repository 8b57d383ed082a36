// FDAttributeInspector: numbers and switches are set only on controls that have the attribute; objects always.
#include "FDAttributeInspector.h"

#include "ArchivedColor.h"
#include "FDCanvas.h"
#include "FDControlDefinitions.h"
#include "FDKeys.h"
#include "FDSerializationServices.h"

#include <QColor>

namespace {
bool isScalarType(const QString &type)
{
    return type == QLatin1String("int") || type == QLatin1String("double") || type == QLatin1String("float") ||
           type == QLatin1String("BOOL") || type == QLatin1String("enum");
}

Value converted(const QString &type, const Value &v)
{
    if (type == QLatin1String("NSString"))
        return v.isString() ? v : Value(v.stringValue());
    if (type == QLatin1String("NSArray")) {
        if (v.isArray())
            return v.deepCopy();
        const QString text = v.toString();
        return text.isEmpty() ? Value::array() : Value(text.split(QStringLiteral(", ")));
    }
    if (type == QLatin1String("int") || type == QLatin1String("enum"))
        return Value(v.toInt());
    if (type == QLatin1String("double") || type == QLatin1String("NSNumber"))
        return Value(v.toDouble());
    if (type == QLatin1String("float"))
        return Value(double(float(v.toDouble())));
    if (type == QLatin1String("BOOL"))
        return Value(v.toInt() != 0 || (v.isBool() && v.toBool()));
    if (type == QLatin1String("NSDate"))
        return v.isDate() ? v : Value::date(v.toDouble());
    if (type == QLatin1String("NSColor")) {
        if (v.isObject())
            return v;
        const QColor color(v.toString());
        return color.isValid() ? ArchivedColor::toValue(color) : Value();
    }
    return v;
}
} // namespace

bool FDAttributeInspector::isAttributedString(const QString &className, const QString &key)
{
    return className == FDKeys::kShape && key == FDKeys::kTitle;
}

QString FDAttributeInspector::placeholderText() const
{
    if (!m_canvas || m_canvas->selection().isEmpty())
        return kNoSelection;
    if (m_canvas->selection().size() > 1)
        return kMultipleControls;
    return properties().isArray() ? QString() : kNoAttributes;
}

Value FDAttributeInspector::properties() const
{
    if (!m_canvas || m_canvas->selection().isEmpty())
        return Value();
    return FDControlDefinitions::propertiesForClass(m_canvas->selection().first()->className());
}

QString FDAttributeInspector::labelFor(const Value &property)
{
    return property.value(QStringLiteral("Label")).toString() + QLatin1Char(':');
}

Value FDAttributeInspector::valueOf(const Value &property) const
{
    if (!m_canvas || m_canvas->selection().isEmpty())
        return Value();
    const QString key = property.value(QStringLiteral("Key")).toString();
    const QString type = property.value(QStringLiteral("Type")).toString();
    const FDControlPtr &control = m_canvas->selection().first();
    const Value attributes = control->control().attributes();
    if (!attributes.contains(key))
        return isScalarType(type) ? Value(kMissingInteger) : Value();
    if (isAttributedString(control->className(), key))
        return Value(FDSerializationServices::plainTextOfAttributedString(attributes.value(key)));
    return attributes.value(key);
}

void FDAttributeInspector::apply(const Value &property, const Value &editorValue)
{
    if (!m_canvas)
        return;
    const QString key = property.value(QStringLiteral("Key")).toString();
    const QString type = property.value(QStringLiteral("Type")).toString();
    if (key.isEmpty())
        return;
    const Value value = converted(type, editorValue);
    for (const FDControlPtr &control : m_canvas->selection()) {
        if (!control->isReadable())
            continue;
        Value object = control->control();
        Value attributes = object.attributes();
        if (isScalarType(type) && !attributes.contains(key))
            continue;
        if (isAttributedString(control->className(), key))
            attributes.set(key, FDSerializationServices::replacingTextOfAttributedString(attributes.value(key),
                                                                                         value.stringValue()));
        else if (value.isNull())
            attributes.remove(key);
        else
            attributes.set(key, value);
        control->setControl(object);
    }
    m_canvas->notifyChanged();
}

bool FDAttributeInspector::showsFont() const
{
    if (!m_canvas)
        return false;
    for (const FDControlPtr &control : m_canvas->selection())
        if (control->isReadable() && FDFontAttributes::hasFont(control->className()))
            return true;
    return false;
}

FDFontAttributes FDAttributeInspector::font() const
{
    if (m_canvas)
        for (const FDControlPtr &control : m_canvas->selection())
            if (control->isReadable() && FDFontAttributes::hasFont(control->className()))
                return FDFontAttributes::of(control->control());
    return FDFontAttributes();
}

void FDAttributeInspector::applyFont(const FDFontAttributes &font, int fields)
{
    if (!m_canvas)
        return;
    for (const FDControlPtr &control : m_canvas->selection()) {
        if (!control->isReadable() || !FDFontAttributes::hasFont(control->className()))
            continue;
        control->setControl(FDFontAttributes::applied(control->control(), font, fields));
    }
    m_canvas->notifyChanged();
}

QString FDAttributeInspector::labelText() const
{
    if (!m_canvas || m_canvas->selection().isEmpty())
        return QString();
    return m_canvas->selection().first()->labelText();
}

void FDAttributeInspector::setLabelText(const QString &text)
{
    if (!m_canvas)
        return;
    for (const FDControlPtr &control : m_canvas->selection())
        control->labelTextChanged(text);
    m_canvas->notifyChanged();
}
