// OXTextTable: records of a grid rendered as a rich-text table, with display options set by its functions.
#pragma once

#include "OXFormulaObject.h"

#include <QColor>
#include <memory>

class QTextCursor;
class QTextDocument;

class OXTextTable : public OXFormulaObject {
public:
    static const QString kShowOnly;
    static const QString kLimitStart;
    static const QString kLimitAmount;
    static const QString kHeaderColor;
    static const QString kSideColor;
    static const QString kDataColor;
    static const QString kAlternatingColor;

    OXTextTable(OXDatabase &database, const Value &description, std::optional<QStringList> rowids = std::nullopt)
        : OXFormulaObject(database, description, std::move(rowids))
    {
    }
    Kind kind() const override { return Kind::TextTable; }
    // Only function components mean something on a text table.
    OXObjectPtr parseFormulaComponent(const QString &component) override;

    // The rendered table in a document of its own.
    std::unique_ptr<QTextDocument> attributedString() const;
    // Inserts a paragraph break and the table at the cursor; the cursor ends after the table.
    void insertInto(QTextCursor &cursor) const;

    // The columns and records shown, after "Show Only" and the limit.
    QStringList shownFields() const;
    QStringList shownRowids() const;

protected:
    OXObjectPtr callFunction(const QString &name, const OXArguments &args) override;

private:
    std::optional<QColor> colorOption(const QString &key) const;
};
