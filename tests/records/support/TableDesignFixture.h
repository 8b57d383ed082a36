// TableDesignFixture: documents with tables and rows, and editors opened on them, for the design editor tests.
#pragma once

#include "LMIdentifiedView.h"
#include "Value.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <initializer_list>
#include <memory>
#include <utility>

class LMIdentifiedView;
class LMTableDesignView;
class MyDocument;
struct LMTableDesignWindowCalls;

namespace TableDesignFixture {
using Entries = std::initializer_list<std::pair<QString, Value>>;

// A field as the design editor adds it, then `extra` on top.
Value field(const QString &name, const QString &type, Entries extra = {});
// A design of the "id" field followed by `fields`.
Value table(const QString &name, const QList<Value> &fields);
// A new document holding the SQLite table and the design of each of `designs`; null on failure.
std::unique_ptr<MyDocument> newDocument(const QList<Value> &designs, QString *error = nullptr);
// Inserts a row with the given stored texts (column, text) and returns its id ("" on failure).
QString insertRow(MyDocument &document, const QString &table, const QList<std::pair<QString, QString>> &cells);
// The stored text of a cell; a null string when the row or the column is missing.
QString cellText(MyDocument &document, const QString &table, const QString &column, const QString &id);
// The columns SQLite has for `table`, in order.
QStringList sqliteColumns(MyDocument &document, const QString &table);

// An editor and the tab view that owns it, as the window holds them.
struct Editor {
    std::unique_ptr<LMIdentifiedView> view;
    LMTableDesignView *editor = nullptr;
    LMTableDesignView *operator->() const { return editor; }
};
Editor open(MyDocument &document, const QString &table);
Editor open(MyDocument &document, const QString &table, const LMTableDesignWindowCalls &calls);
// The row of the field named `name` in the editor (-1 when none).
int rowOf(const LMTableDesignView &editor, const QString &name);
} // namespace TableDesignFixture
