// OXGrid: the records of one table, in order, as a formula sees them.
#pragma once

#include "OXFormulaObject.h"

class OXGrid : public OXFormulaObject {
public:
    OXGrid(OXDatabase &database, const Value &description, std::optional<QStringList> rowids = std::nullopt)
        : OXFormulaObject(database, description, std::move(rowids))
    {
    }
    // All records of a document table in the order SELECT returns them; null for an unknown table.
    static OXObjectPtr initStartGrid(OXDatabase &database, const QString &tableName);

    Kind kind() const override { return Kind::Grid; }
    OXObjectPtr rowAtIndex(qint64 n) override;
    OXObjectPtr columnNamed(const QString &field) override;

protected:
    OXObjectPtr callFunction(const QString &name, const OXArguments &args) override;
    bool takesRecordNumbers() const override { return true; }

private:
    OXObjectPtr withRowids(const QStringList &ids) const;
    OXObjectPtr rowWithId(const QString &id) const;
};
