// ReportFixture: a small sales document (sales, customers, numbers, an empty table) for report tests.
#pragma once

#include "Value.h"

#include <QString>
#include <QStringList>
#include <memory>

class MyDocument;
class QTextDocument;

namespace ReportFixture {
// "Sales" (Name, Amount, Day, Paid, Photo, Customer), "Customers" (Name, Orders), "N" (X, Y) and the empty
// "E" (X); Sales.Customer and Customers.Orders are linked. Null with `error` set on failure.
std::unique_ptr<MyDocument> salesDocument(QString *error);
// Sets one cell's stored text.
void setCell(MyDocument &document, const QString &table, const QString &field, const QString &id, const QString &text);
// A template document of plain text.
std::unique_ptr<QTextDocument> textDocument(const QString &text);
} // namespace ReportFixture
