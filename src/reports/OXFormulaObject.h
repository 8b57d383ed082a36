// OXFormulaObject: the common base of the report formula objects (grid, row, column, value, text table).
#pragma once

#include "Value.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class OXDatabase;
class OXFormulaObject;

using OXObjectPtr = std::shared_ptr<OXFormulaObject>;

// The arguments of a function component: none, one string, or a list of two or more.
struct OXArguments {
    enum class Arity { None, One, Many };
    Arity arity = Arity::None;
    QStringList list;

    bool none() const { return arity == Arity::None; }
    bool one() const { return arity == Arity::One; }
    bool many() const { return arity == Arity::Many; }
    QString first() const { return list.value(0); }
    // Every argument concatenated: several selection arguments form one value.
    QString joined() const { return list.join(QString()); }
};

class OXFormulaObject : public std::enable_shared_from_this<OXFormulaObject> {
public:
    enum class Kind { Grid, Row, Column, Value, TextTable, Text };

    // Keys of the description dictionary.
    static const QString kTableName;
    static const QString kRowids;
    static const QString kRowid;
    static const QString kColumnName;
    static const QString kStringValue;

    // The description is copied: an object never shares its dictionary with the one it was made from. The
    // record ids may come apart from it (`rowids`), so that long lists are shared instead of copied.
    OXFormulaObject(OXDatabase &database, const Value &description, std::optional<QStringList> rowids = std::nullopt);
    virtual ~OXFormulaObject() = default;

    virtual Kind kind() const = 0;
    OXDatabase &database() const { return *m_database; }
    // A copy of the whole description dictionary, "Rowids" included.
    Value description() const;
    // A copy of the description without "Rowids", for the next object to change.
    Value descriptionWithoutRowids() const { return m_description.deepCopy(); }
    const std::optional<QStringList> &rowidList() const { return m_rowids; }

    QString tableName() const { return m_description.value(kTableName).toString(); }
    QStringList rowids() const;
    bool hasRowids() const { return m_rowids.has_value(); }
    QString rowid() const { return m_description.value(kRowid).toString(); }
    bool hasRowid() const { return m_description.contains(kRowid); }
    QString columnName() const { return m_description.value(kColumnName).toString(); }
    bool hasColumnName() const { return m_description.contains(kColumnName); }

    // One formula component: ":function(args)", a record number, or a field name.
    virtual OXObjectPtr parseFormulaComponent(const QString &component);
    // ":name", ":name(a)" or ":name(a, b, ...)"; nothing for a name this object lacks.
    OXObjectPtr evaluateFormulaFunctionComponent(const QString &component);
    // The text inserted when a chain ends here; only values and plain texts have one.
    virtual std::optional<QString> insertedText() const { return std::nullopt; }

    // A value with this object's description plus "String Value".
    OXObjectPtr valueWithString(const QString &text) const;
    // The same without the field: a computed text that is not a value of the field (a count, a list, a
    // formatted text) is shown as it is instead of being formatted as the field again.
    OXObjectPtr plainValueWithString(const QString &text) const;

    // The whole number at the start of a component, when it is above 0.
    static std::optional<qint64> recordNumber(const QString &component);

protected:
    virtual OXObjectPtr callFunction(const QString &name, const OXArguments &args) = 0;
    virtual OXObjectPtr rowAtIndex(qint64) { return nullptr; }
    virtual OXObjectPtr columnNamed(const QString &) { return nullptr; }
    // Whether a component that is not a function may be a record number here.
    virtual bool takesRecordNumbers() const { return false; }

    Value m_description; // without "Rowids"
    std::optional<QStringList> m_rowids;

private:
    OXDatabase *m_database;
};

// A plain text result: the "No results" of a selection. Later components leave it as it is.
class OXPlainText : public OXFormulaObject {
public:
    OXPlainText(OXDatabase &database, const QString &text);
    Kind kind() const override { return Kind::Text; }
    OXObjectPtr parseFormulaComponent(const QString &) override { return shared_from_this(); }
    std::optional<QString> insertedText() const override { return m_text; }

protected:
    OXObjectPtr callFunction(const QString &, const OXArguments &) override { return shared_from_this(); }

private:
    QString m_text;
};
