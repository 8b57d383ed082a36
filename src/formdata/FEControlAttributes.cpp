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
    if (key == QLatin1String("Tool Tip"))
        return Value(w->toolTip());
    if (key == QLatin1String("Enabled"))
        return Value(w->isEnabled());
    auto *line = qobject_cast<QLineEdit *>(w);
    auto *text = qobject_cast<QPlainTextEdit *>(w);
    if (key == QLatin1String("String Value")) {
        if (line)
            return Value(line->text());
        if (auto *label = qobject_cast<QLabel *>(w))
            return Value(label->text());
        if (text)
            return Value(text->toPlainText());
    }
    if (key == QLatin1String("Placeholder String") && line)
        return Value(line->placeholderText());
    if (key == QLatin1String("Editable")) {
        if (line)
            return Value(!line->isReadOnly());
        if (text)
            return Value(!text->isReadOnly());
        if (auto *well = dynamic_cast<HVFormWell *>(w))
            return Value(well->isEditable());
    }
    if (auto *button = qobject_cast<QAbstractButton *>(w)) {
        if (key == QLatin1String("Title"))
            return Value(button->text());
        if (key == QLatin1String("State") && qobject_cast<QCheckBox *>(w))
            return Value(qint64(button->isChecked() ? 1 : 0));
    }
    if (auto *popUp = qobject_cast<HVFormPopUpButton *>(w)) {
        if (key == QLatin1String("Item Titles"))
            return Value(items(popUp));
        if (key == QLatin1String("Selected Item Title"))
            return Value(popUp->currentText());
    }
    if (auto *radio = qobject_cast<HVFormRadioButtonMatrix *>(w); radio && key == QLatin1String("Options"))
        return Value(radio->options());
    if (auto *segments = qobject_cast<HVFormSegmentedControl *>(w)) {
        if (key == QLatin1String("Labels"))
            return Value(segments->labels());
        if (key == QLatin1String("Selected Segment"))
            return Value(qint64(segments->selectedSegment()));
    }
    if (auto *bar = qobject_cast<HVFormProgressIndicator *>(w)) {
        if (key == QLatin1String("Indeterminate"))
            return Value(bar->isIndeterminate());
        if (key == QLatin1String("Double Value"))
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
    if (key == QLatin1String("Tool Tip")) {
        w->setToolTip(value.stringValue());
        return true;
    }
    if (key == QLatin1String("Enabled")) {
        w->setEnabled(truth);
        return true;
    }
    auto *line = qobject_cast<QLineEdit *>(w);
    auto *text = qobject_cast<QPlainTextEdit *>(w);
    if (key == QLatin1String("String Value")) {
        if (line)
            line->setText(value.stringValue());
        else if (auto *label = qobject_cast<QLabel *>(w))
            label->setText(value.stringValue());
        else if (text)
            text->setPlainText(value.stringValue());
        return line || text || qobject_cast<QLabel *>(w);
    }
    if (key == QLatin1String("Placeholder String") && line) {
        line->setPlaceholderText(value.stringValue());
        return true;
    }
    if (key == QLatin1String("Editable")) {
        if (line)
            line->setReadOnly(!truth);
        else if (text)
            text->setReadOnly(!truth);
        else if (auto *well = dynamic_cast<HVFormWell *>(w))
            well->setEditable(truth);
        return line || text || dynamic_cast<HVFormWell *>(w);
    }
    if (auto *button = qobject_cast<QAbstractButton *>(w)) {
        if (key == QLatin1String("Title")) {
            button->setText(value.stringValue());
            return true;
        }
        if (key == QLatin1String("State") && qobject_cast<QCheckBox *>(w)) {
            button->setChecked(truth);
            return true;
        }
    }
    if (auto *popUp = qobject_cast<HVFormPopUpButton *>(w)) {
        if (key == QLatin1String("Item Titles")) {
            const QString selected = popUp->currentText();
            popUp->setItemTitles(value.toStringList());
            popUp->setObjectValue(Value(selected));
            return true;
        }
        if (key == QLatin1String("Selected Item Title")) {
            popUp->setObjectValue(value);
            return true;
        }
    }
    if (auto *radio = qobject_cast<HVFormRadioButtonMatrix *>(w); radio && key == QLatin1String("Options")) {
        radio->setOptions(value.toStringList());
        return true;
    }
    if (auto *segments = qobject_cast<HVFormSegmentedControl *>(w)) {
        if (key == QLatin1String("Labels")) {
            segments->setLabels(value.toStringList());
            return true;
        }
        if (key == QLatin1String("Selected Segment")) {
            segments->setSelectedSegment(int(value.toInt()));
            return true;
        }
    }
    if (auto *bar = qobject_cast<HVFormProgressIndicator *>(w)) {
        if (key == QLatin1String("Indeterminate"))
            bar->setIndeterminate(truth);
        else if (key == QLatin1String("Min Value"))
            bar->setMinValue(value.toDouble());
        else if (key == QLatin1String("Max Value"))
            bar->setMaxValue(value.toDouble());
        else if (key == QLatin1String("Double Value"))
            bar->setObjectValue(Value(value.toDouble()));
        else
            return false;
        return true;
    }
    if (auto *image = qobject_cast<HVNSImageView *>(w)) {
        if (key == QLatin1String("Image Scaling"))
            image->setImageScaling(int(value.toInt()));
        else if (key == QLatin1String("Image Frame Style"))
            image->setImageFrameStyle(int(value.toInt()));
        else if (key == QLatin1String("Allows Cut Copy Paste"))
            image->setAllowsCutCopyPaste(truth);
        else
            return false;
        return true;
    }
    if (auto *movie = qobject_cast<HVMovieViewWell *>(w)) {
        if (key == QLatin1String("Controller Visible"))
            movie->setControllerVisible(truth);
        else if (key == QLatin1String("Preserves Aspect Ratio"))
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
    if (control.className() == FDKeys::kShape && key == QLatin1String("Title"))
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
        if (control.className() == FDKeys::kShape && key == QLatin1String("Title"))
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
