// ExportFixture: documents with tables and rows of stored text, and whole-table reads, for import/export tests.
#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <memory>

class MyDocument;

namespace ExportFixture {
using Fields = QList<QPair<QString, QString>>; // name, datatype

std::unique_ptr<MyDocument> newDocument();
// Adds a table (key field "id" first, then `fields`) to the database and the document's designs.
bool addTable(MyDocument &document, const QString &name, const Fields &fields);
// Inserts one row of stored texts, one per field after "id"; a null QString stores NULL.
bool insertRow(MyDocument &document, const QString &table, const QStringList &values);
// Every row's stored texts (columns of `columns`, or every column), by id; NULL reads as "<NULL>".
QList<QStringList> rows(MyDocument &document, const QString &table, const QStringList &columns = {});
// A fixture file of tests/export/data.
QString dataPath(const QString &name);
QByteArray readFile(const QString &path);
bool writeFile(const QString &path, const QByteArray &bytes);
} // namespace ExportFixture
