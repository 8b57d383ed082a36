// OXColumn: one field over the records of a grid: aggregates, lists, slices, sorting and selections.
#pragma once

#include "DesignVocabulary.h"
#include "OXFormulaObject.h"

#include <functional>

class OXColumn : public OXFormulaObject {
public:
    OXColumn(OXDatabase &database, const Value &description, std::optional<QStringList> rowids = std::nullopt)
        : OXFormulaObject(database, description, std::move(rowids))
    {
    }
    Kind kind() const override { return Kind::Column; }
    // The n-th record's value of the field.
    OXObjectPtr rowAtIndex(qint64 n) override;

    // The stored texts of the field in record order; none when a record cannot be read.
    std::optional<QStringList> storedTexts() const;
    Datatype fieldType() const;

protected:
    OXObjectPtr callFunction(const QString &name, const OXArguments &args) override;
    bool takesRecordNumbers() const override { return true; }

private:
    OXObjectPtr withRowids(const QStringList &ids) const;
    OXObjectPtr valueOfRecord(const QString &id) const;
    OXObjectPtr recordFunction(const QString &name, const OXArguments &args);
    OXObjectPtr numberFunction(const QString &name, const OXArguments &args);
    OXObjectPtr selection(const QString &name, const OXArguments &args);
};
