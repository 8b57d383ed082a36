// LMSearchMenuWorker: the quick search's passes over a document: names, table data, report text, designs.
#pragma once

#include <QString>

class LMSearchResults;
class MyDocument;

class LMSearchMenuWorker {
public:
    // Every pass for one text, in order: an empty text leaves the results empty; one character searches
    // names only; longer texts also search the data, the reports' text and the designs.
    static void search(const QString &text, MyDocument &document, LMSearchResults &results);

    // Names of tables, queries, forms, reports and scripts: first the text as a wildcard pattern over the
    // whole name, then the text anywhere in the name; an item can score in both.
    static void findNameString(const QString &text, MyDocument &document, LMSearchResults &results);
    // A table with at least one row whose fields contain the text (SQL LIKE) scores under "Tables".
    static void initWithDataString(const QString &text, MyDocument &document, LMSearchResults &results);
    // A report whose rich text contains the text scores under "Reports".
    static void initWithReportString(const QString &text, MyDocument &document, LMSearchResults &results);
    // An item any of whose design strings, at any depth, contains the text scores under its kind.
    static void initWithDeepString(const QString &text, MyDocument &document, LMSearchResults &results);

    // The statement that answers whether `table` has a row containing `text` in one of `fields`; empty when
    // there are no fields to search.
    static QString dataStatement(const QString &table, const QStringList &fields, const QString &text);
};
