// FETypedText: text typed into a text field, a check box clicked, an item chosen, as values.
#include "FETypedText.h"

#include "DesignVocabulary.h"
#include "FDControlKinds.h"
#include "FDKeys.h"
#include "OXDatabase.h"

#include <QDateTime>

using namespace FDKeys;

namespace FETypedText {
namespace {
QStringList choicesOf(const QString &className, const Value &attributes, const OXDatabase &database,
                      const QString &table, const QString &field)
{
    // A field of type "Options" gives its options to every control that offers choices.
    if (Datatypes::fromName(database.typeForTable(table, field)) == Datatype::Options)
        return database.objectForKey(DesignKey::Options, table, field).toStringList();
    if (className == kPopUpButton || className == kFormPopUp)
        return attributes.value(kItemTitles).toStringList();
    if (className == kSegmented)
        return attributes.value(kLabels).toStringList();
    return attributes.value(kRadioOptions).toStringList();
}
} // namespace

std::optional<FEControlValue> valueForText(const QString &className, const Value &control, const QString &text,
                                           const OXDatabase &database, const QString &table, const QString &field)
{
    const Value attributes = control.isObject() ? control.attributes() : Value::dict();
    if (className == kTokenField)
        return FEControlValue::object(OXDatabase::arrayFromList(text));
    if (className == kTextField) {
        if (!attributes.value(kEditable, true).toBool())
            return std::nullopt;
        const FieldFormatter formatter = database.formatterForTable(table, field);
        if (!formatter.isNull() && !text.isEmpty()) {
            const Value parsed = formatter.parse(text);
            return FEControlValue::object(parsed.isNull() ? Value(text) : parsed);
        }
        return FEControlValue::object(Value(text));
    }
    if (className == kTextView || className == kFilePathWell)
        return FEControlValue::object(Value(text));
    if (FDControlKinds::titleOf(control) == QLatin1String("Check Box")) {
        const QString t = text.trimmed().toLower();
        if (t == "1" || t == "yes" || t == "true" || t == "on")
            return FEControlValue::object(Value(true));
        if (t == "0" || t == "no" || t == "false" || t == "off" || t.isEmpty())
            return FEControlValue::object(Value(false));
        return std::nullopt;
    }
    if (className == kPopUpButton || className == kFormPopUp || className == kRadioGroup || className == kSegmented) {
        if (!choicesOf(className, attributes, database, table, field).contains(text))
            return std::nullopt;
        return FEControlValue::object(Value(text));
    }
    if (className == kDatePicker) {
        const FieldFormatter formatter = database.formatterForTable(table, field);
        Value date = formatter.isNull() ? Value() : formatter.parse(text);
        if (!date.isDate()) {
            const QDateTime parsed = QDateTime::fromString(text, Qt::ISODate);
            if (!parsed.isValid())
                return std::nullopt;
            date = Value::dateTime(parsed);
        }
        return FEControlValue::object(date);
    }
    return std::nullopt;
}
} // namespace FETypedText
