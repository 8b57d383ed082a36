// GridFixture: documents with tables and rows for the record grid tests, and a few grid-driving helpers.
#pragma once

#include "DesignFixture.h"

#include "Value.h"

#include <QList>
#include <QString>
#include <initializer_list>
#include <memory>
#include <utility>

class MyDocument;
class LMTableEditView;
class QWidget;

namespace GridFixture {
using DesignFixture::cellText;
using DesignFixture::Entries;
using DesignFixture::field;
using DesignFixture::insertRow;
using DesignFixture::newDocument;
using DesignFixture::table;

// Writes stored text straight into a cell.
void setCell(MyDocument &document, const QString &table, const QString &column, const QString &id, const QString &text);
int rowCount(MyDocument &document, const QString &table);
// Every statement that changed rows so far (sqlite3_total_changes).
int totalChanges(MyDocument &document);
} // namespace GridFixture
