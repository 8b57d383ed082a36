// ReportFixture: builds the report tests' document.
#include "ReportFixture.h"

#include "DesignFixture.h"
#include "MyDocument.h"
#include "OXDatabase.h"

#include <QTextDocument>

namespace ReportFixture {

using DesignFixture::field;

void setCell(MyDocument &document, const QString &table, const QString &fieldName, const QString &id,
             const QString &text)
{
    document.database()->performQuery(QStringLiteral("UPDATE `%1` SET `%2`='%3' WHERE id=%4")
                                          .arg(table, fieldName, QLiteDatabase::prepareStringForQuery(text), id));
}

namespace {
void addRows(MyDocument &document, const QString &table, const QStringList &fields, const QList<QStringList> &rows)
{
    for (const QStringList &row : rows) {
        const QString id = DesignFixture::insertRow(document, table);
        for (int i = 0; i < fields.size(); ++i)
            if (!row.value(i).isNull())
                setCell(document, table, fields.at(i), id, row.at(i));
    }
}
} // namespace

std::unique_ptr<MyDocument> salesDocument(QString *error)
{
    const QString number = QStringLiteral("Number");
    std::unique_ptr<MyDocument> document = DesignFixture::newDocument(
        {DesignFixture::table(QStringLiteral("Sales"),
                              {field(QStringLiteral("Name"), QStringLiteral("Text")),
                               field(QStringLiteral("Amount"), number),
                               field(QStringLiteral("Day"), QStringLiteral("Date")),
                               field(QStringLiteral("Paid"), QStringLiteral("Yes/No")),
                               field(QStringLiteral("Photo"), QStringLiteral("Image")),
                               field(QStringLiteral("Customer"), QStringLiteral("Relationship"))}),
         DesignFixture::table(QStringLiteral("Customers"),
                              {field(QStringLiteral("Name"), QStringLiteral("Text")),
                               field(QStringLiteral("Orders"), QStringLiteral("Relationship"))}),
         DesignFixture::table(QStringLiteral("N"),
                              {field(QStringLiteral("X"), number), field(QStringLiteral("Y"), number)}),
         DesignFixture::table(QStringLiteral("E"), {field(QStringLiteral("X"), number)})},
        error);
    if (!document)
        return nullptr;
    addRows(
        *document, QStringLiteral("Sales"),
        {QStringLiteral("Name"), QStringLiteral("Amount"), QStringLiteral("Day"), QStringLiteral("Paid"),
         QStringLiteral("Customer")},
        {{QStringLiteral("Apple"), QStringLiteral("10"), QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("1")},
         {QStringLiteral("banana"), QStringLiteral("abc"), QStringLiteral("86400"), QStringLiteral("0"),
          QStringLiteral("2,3")},
         {QStringLiteral("Cherry"), QStringLiteral("20"), QStringLiteral("172800"), QStringLiteral("1"), QString()}});
    // A NULL cell, as a record written before the field existed has.
    document->database()->performQuery(QStringLiteral("UPDATE Sales SET Customer=NULL WHERE id=3"));
    addRows(*document, QStringLiteral("Customers"), {QStringLiteral("Name"), QStringLiteral("Orders")},
            {{QStringLiteral("Ada"), QStringLiteral("1")},
             {QStringLiteral("Bob"), QStringLiteral("2")},
             {QStringLiteral("Cy"), QStringLiteral("2")}});
    addRows(*document, QStringLiteral("N"), {QStringLiteral("X"), QStringLiteral("Y")},
            {{QStringLiteral("2.5"), QStringLiteral("1")},
             {QStringLiteral("-2.5"), QStringLiteral("2")},
             {QStringLiteral("2"), QStringLiteral("3")},
             {QStringLiteral("0"), QStringLiteral("4")}});
    Value line = Value::dict({{QStringLiteral("Relationship Type"), Value("1")},
                              {QStringLiteral("Ends In Table"), Value("0")},
                              {QStringLiteral("Start Table"), Value("Sales")},
                              {QStringLiteral("Start Field"), Value("Customer")},
                              {QStringLiteral("End Table"), Value("Customers")},
                              {QStringLiteral("End Field"), Value("Orders")}});
    document->relationships().set(QStringLiteral("Lines"), Value::array({line}));
    return document;
}

std::unique_ptr<QTextDocument> textDocument(const QString &text)
{
    auto document = std::make_unique<QTextDocument>();
    document->setPlainText(text);
    return document;
}

} // namespace ReportFixture
