// TableDesignFixture: documents with tables and rows, and editors opened on them, for the design editor tests.
#pragma once

#include "DesignFixture.h"

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
class LMDocumentNavigator;

namespace TableDesignFixture {
using DesignFixture::Entries;
using DesignFixture::field;
using DesignFixture::newDocument;
using DesignFixture::table;
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
// `navigator` stands for the window: the editor switches views and relabels its tab through it.
Editor open(MyDocument &document, const QString &table, LMDocumentNavigator *navigator);
// The row of the field named `name` in the editor (-1 when none).
int rowOf(const LMTableDesignView &editor, const QString &name);
} // namespace TableDesignFixture
