// FEControlAttributes: looks the attribute up in the table, then reads or writes it on the widget and the control.
#include "FEControlAttributes.h"

#include "ArchivedColor.h"
#include "FDControlDefinitions.h"
#include "FDControlWidgets.h"
#include "FDKeys.h"
#include "FDSerializationServices.h"
#include "FEBinding.h"
#include "FEControl.h"
#include "HVFormPopUpButton.h"
#include "HVFormProgressIndicator.h"
#include "HVFormRadioButtonMatrix.h"
#include "HVFormSegmentedControl.h"
#include "HVFormTextViewScrollView.h"
#include "HVFormWell.h"
#include "HVMovieViewWell.h"
#include "HVNSImageView.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QColor>
#include <QLabel>
#include <QLineEdit>

namespace {
const QString keyKey = QStringLiteral("Key");
const QString typeKey = QStringLiteral("Type");

QStringList items(const QComboBox *box)
{
    QStringList titles;
    for (int i = 0; i < box->count(); ++i)
        titles.append(box->itemText(i));
    return titles;
}

// What the widget shows for `key`; nullopt where it has no counterpart (the stored attribute answers then).
std::optional<Value> shown(QWidget *w, const QString &key)
{
    if (!w)
        return std::nullopt;
    if (key == FDKeys::kToolTip)
        return Value(w->toolTip());
    if (key == FDKeys::kEnabled)
        return Value(w->isEnabled());
    auto *line = qobject_cast<QLineEdit *>(w);
    auto *text = qobject_cast<QPlainTextEdit *>(w);
    if (key == FDKeys::kStringValue) {
        if (line)
            return Value(line->text());
        if (auto *label = qobject_cast<QLabel *>(w))
            return Value(label->text());
        if (text)
            return Value(text->toPlainText());
    }
    if (key == FDKeys::kPlaceholderString && line)
        return Value(line->placeholderText());
    if (key == FDKeys::kEditable) {
        if (line)
            return Value(!line->isReadOnly());
        if (text)
            return Value(!text->isReadOnly());
        if (auto *well = dynamic_cast<HVFormWell *>(w))
            return Value(well->isEditable());
    }
    if (auto *button = qobject_cast<QAbstractButton *>(w)) {
        if (key == FDKeys::kTitle)
            return Value(button->text());
        if (key == FDKeys::kState && qobject_cast<QCheckBox *>(w))
            return Value(qint64(button->isChecked() ? 1 : 0));
    }
    if (auto *popUp = qobject_cast<HVFormPopUpButton *>(w)) {
        if (key == FDKeys::kItemTitles)
            return Value(items(popUp));
        if (key == FDKeys::kSelectedItemTitle)
            return Value(popUp->currentText());
    }
    if (auto *radio = qobject_cast<HVFormRadioButtonMatrix *>(w); radio && key == FDKeys::kRadioOptions)
        return Value(radio->options());
    if (auto *segments = qobject_cast<HVFormSegmentedControl *>(w)) {
        if (key == FDKeys::kLabels)
            return Value(segments->labels());
        if (key == FDKeys::kSelectedSegment)
            return Value(qint64(segments->selectedSegment()));
    }
    if (auto *bar = qobject_cast<HVFormProgressIndicator *>(w)) {
        if (key == FDKeys::kIndeterminate)
            return Value(bar->isIndeterminate());
        if (key == FDKeys::kDoubleValue)
            return Value(bar->doubleValue());
    }
    return std::nullopt;
}

// Shows `value` in the widget; false where the widget has no counterpart for `key`.
bool show(QWidget *w, const QString &key, const Value &value)
{
    if (!w)
        return false;
    const bool truth = value.isBool() ? value.toBool() : value.toInt() != 0;
    if (key == FDKeys::kToolTip) {
        w->setToolTip(value.stringValue());
        return true;
    }
    if (key == FDKeys::kEnabled) {
        w->setEnabled(truth);
        return true;
    }
    auto *line = qobject_cast<QLineEdit *>(w);
    auto *text = qobject_cast<QPlainTextEdit *>(w);
    if (key == FDKeys::kStringValue) {
        if (line)
            line->setText(value.stringValue());
        else if (auto *label = qobject_cast<QLabel *>(w))
            label->setText(value.stringValue());
        else if (text)
            text->setPlainText(value.stringValue());
        return line || text || qobject_cast<QLabel *>(w);
    }
    if (key == FDKeys::kPlaceholderString && line) {
        line->setPlaceholderText(value.stringValue());
        return true;
    }
    if (key == FDKeys::kEditable) {
        if (line)
            line->setReadOnly(!truth);
        else if (text)
            text->setReadOnly(!truth);
        else if (auto *well = dynamic_cast<HVFormWell *>(w))
            well->setEditable(truth);
        return line || text || dynamic_cast<HVFormWell *>(w);
    }
    if (auto *button = qobject_cast<QAbstractButton *>(w)) {
        if (key == FDKeys::kTitle) {
            button->setText(value.stringValue());
            return true;
        }
        if (key == FDKeys::kState && qobject_cast<QCheckBox *>(w)) {
            button->setChecked(truth);
            return true;
        }
    }
    if (auto *popUp = qobject_cast<HVFormPopUpButton *>(w)) {
        if (key == FDKeys::kItemTitles) {
            const QString selected = popUp->currentText();
            popUp->setItemTitles(value.toStringList());
            popUp->setObjectValue(Value(selected));
            return true;
        }
        if (key == FDKeys::kSelectedItemTitle) {
            popUp->setObjectValue(value);
            return true;
        }
    }
    if (auto *radio = qobject_cast<HVFormRadioButtonMatrix *>(w); radio && key == FDKeys::kRadioOptions) {
        radio->setOptions(value.toStringList());
        return true;
    }
    if (auto *segments = qobject_cast<HVFormSegmentedControl *>(w)) {
        if (key == FDKeys::kLabels) {
            segments->setLabels(value.toStringList());
            return true;
        }
        if (key == FDKeys::kSelectedSegment) {
            segments->setSelectedSegment(int(value.toInt()));
            return true;
        }
    }
    if (auto *bar = qobject_cast<HVFormProgressIndicator *>(w)) {
        if (key == FDKeys::kIndeterminate)
            bar->setIndeterminate(truth);
        else if (key == FDKeys::kMinValue)
            bar->setMinValue(value.toDouble());
        else if (key == FDKeys::kMaxValue)
            bar->setMaxValue(value.toDouble());
        else if (key == FDKeys::kDoubleValue)
            bar->setObjectValue(Value(value.toDouble()));
        else
            return false;
        return true;
    }
    if (auto *image = qobject_cast<HVNSImageView *>(w)) {
        if (key == FDKeys::kImageScaling)
            image->setImageScaling(int(value.toInt()));
        else if (key == FDKeys::kImageFrameStyle)
            image->setImageFrameStyle(int(value.toInt()));
        else if (key == FDKeys::kAllowsCutCopyPaste)
            image->setAllowsCutCopyPaste(truth);
        else
            return false;
        return true;
    }
    if (auto *movie = qobject_cast<HVMovieViewWell *>(w)) {
        if (key == FDKeys::kControllerVisible)
            movie->setControllerVisible(truth);
        else if (key == FDKeys::kPreservesAspectRatio)
            movie->setPreservesAspectRatio(truth);
        else
            return false;
        return true;
    }
    return false;
}

// A stored value as a script reads it: colours as text; what the type cannot carry, null.
Value forScript(const QString &type, const Value &stored)
{
    if (stored.isNull())
        return Value();
    if (type == QLatin1String("NSColor")) {
        const std::optional<QColor> color = ArchivedColor::fromValue(stored);
        if (!color)
            return Value();
        return Value(color->name(color->alpha() == 255 ? QColor::HexRgb : QColor::HexArgb));
    }
    if (type == QLatin1String("NSFont"))
        return Value();
    return FEControlAttributes::converted(type, stored);
}
} // namespace

namespace FEControlAttributes {
Value propertyFor(const QString &className, const QString &attribute)
{
    const Value properties = FDControlDefinitions::propertiesForClass(className);
    if (attribute.isEmpty() || !properties.isArray())
        return Value();
    for (int i = 0; i < properties.size(); ++i) {
        const Value property = properties.at(i);
        if (property.value(keyKey).toString().compare(attribute, Qt::CaseInsensitive) == 0 ||
            property.value(QStringLiteral("Label")).toString().compare(attribute, Qt::CaseInsensitive) == 0)
            return property;
    }
    return Value();
}

Value converted(const QString &type, const Value &value)
{
    if (type == QLatin1String("NSString"))
        return value.isString() ? value : Value(value.stringValue());
    if (type == QLatin1String("NSArray")) {
        if (value.isArray())
            return value.deepCopy();
        const QString text = value.stringValue();
        return text.isEmpty() ? Value::array() : Value(text.split(QStringLiteral(", ")));
    }
    if (type == QLatin1String("BOOL"))
        return Value(FEBinding::truthOf(value).value_or(false));
    if (type == QLatin1String("int") || type == QLatin1String("enum"))
        return Value(qint64(value.toInt()));
    if (type == QLatin1String("float"))
        return Value(double(float(value.toDouble())));
    if (type == QLatin1String("double") || type == QLatin1String("NSNumber"))
        return Value(value.toDouble());
    if (type == QLatin1String("NSDate"))
        return value.isDate() ? value : Value();
    if (type == QLatin1String("NSColor")) {
        if (value.isObject())
            return value;
        const QColor color(value.stringValue());
        return color.isValid() ? ArchivedColor::toValue(color) : Value();
    }
    return value;
}

std::optional<Value> read(const FEControl &control, const QString &attribute)
{
    const Value property = propertyFor(control.className(), attribute);
    if (!property.isDict())
        return std::nullopt;
    const QString key = property.value(keyKey).toString();
    const QString type = property.value(typeKey).toString();
    if (const std::optional<Value> live = shown(control.nsControl(), key))
        return converted(type, *live);
    const Value archived = control.archivedControl();
    const Value attributes = archived.isObject() ? archived.attributes() : Value::dict();
    if (control.className() == FDKeys::kShape && key == FDKeys::kTitle)
        return Value(FDSerializationServices::plainTextOfAttributedString(attributes.value(key)));
    return forScript(type, attributes.value(key));
}

bool write(FEControl &control, const QString &attribute, const Value &value)
{
    const Value property = propertyFor(control.className(), attribute);
    if (!property.isDict())
        return false;
    const QString key = property.value(keyKey).toString();
    const QString type = property.value(typeKey).toString();
    const Value stored = converted(type, value);
    Value archived = control.archivedControl();
    if (archived.isObject()) {
        Value attributes = archived.attributes();
        if (control.className() == FDKeys::kShape && key == FDKeys::kTitle)
            attributes.set(key, FDSerializationServices::replacingTextOfAttributedString(attributes.value(key),
                                                                                         value.stringValue()));
        else if (stored.isNull())
            attributes.remove(key);
        else
            attributes.set(key, stored);
    }
    if (show(control.nsControl(), key, stored))
        return true;
    // A shape draws itself from its attributes: it is drawn anew from the changed ones.
    if (control.className() == FDKeys::kShape && archived.isObject()) {
        QWidget *old = control.nsControl();
        QWidget *shape = FDControlWidgets::createWidget(archived, nullptr);
        if (old)
            shape->setToolTip(old->toolTip());
        control.setNSControl(shape);
        if (old)
            old->deleteLater();
    }
    return true;
}
} // namespace FEControlAttributes
