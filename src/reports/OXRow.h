// OXRow: one record of one table in a formula.
#pragma once

#include "OXFormulaObject.h"

class OXRow : public OXFormulaObject {
public:
    OXRow(OXDatabase &database, const Value &description, std::optional<QStringList> rowids = std::nullopt)
        : OXFormulaObject(database, description, std::move(rowids))
    {
    }
    Kind kind() const override { return Kind::Row; }

    // A record number on a row leaves the row itself.
    OXObjectPtr parseFormulaComponent(const QString &component) override;
    OXObjectPtr columnNamed(const QString &field) override;

protected:
    OXObjectPtr callFunction(const QString &name, const OXArguments &args) override;
};
