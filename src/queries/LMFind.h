// LMFind: the item finder tab ("Find"): the document's items whose names contain a text, by kind.
#pragma once

#include "LMViewController.h"
#include "Value.h"
#include "ViewKind.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <optional>

class LMDocumentNavigator;
class LMIdentifiedView;
class MyDocument;
class OXDatabase;
class QButtonGroup;
class QLineEdit;
class QListWidget;
class QWidget;

class LMFind : public LMViewController {
public:
    struct Row {
        QString name;
        QString iconName; // "Tables 16", "Query 16", "Forms 16", "Reports 16" or "Scripts 16"
    };
    struct Choice {
        QString kind; // "Tables" … "Scripts"
        QString name;
    };

    // The kind segments, in order; "Backups" and "Users & Groups" list nothing.
    static const QStringList &segments();
    // The kind ("Tables" …) an icon name stands for; "" for an unknown icon.
    static QString kindOfIcon(const QString &iconName);

    LMFind(const QString &query, OXDatabase *database, QWidget *window, MyDocument *document);
    ~LMFind() override;

    QString identifier() const override { return ViewKinds::identifier(ViewKind::Find); }
    LMIdentifiedView *view() override;
    void refresh() override { update(); }
    void itemDidRename(ItemKind, const QString &, const QString &) override { update(); }
    void itemDidDelete(ItemKind, const QString &) override { update(); }

    QString query() const { return m_query; }
    void setQuery(const QString &query);
    QString segment() const { return m_segment; }
    void setSegment(const QString &segment);
    // Lists the items of the chosen kind (or every kind) whose names contain the query, ignoring case.
    void update();
    const QList<Row> &rows() const { return m_rows; }
    // The item a double click on `row` opens; with a navigator it is opened.
    std::optional<Choice> rowDoubleClicked(int row) const;
    void setNavigator(LMDocumentNavigator *navigator) { m_navigator = navigator; }

    // Appends to `dest` every element of `source` whose name (its "Name" when a dictionary, else the element)
    // contains `text`, and its icon name to `secondaryDest`.
    static void filterArray(const Value &source, QStringList &dest, const QString &text, QStringList &secondaryDest,
                            const QString &secondaryTypeString);

private:
    void reloadList();

    QString m_query;
    QString m_segment = QStringLiteral("All");
    OXDatabase *m_database;
    QPointer<QWidget> m_window;
    QPointer<MyDocument> m_document;
    LMDocumentNavigator *m_navigator = nullptr;
    QList<Row> m_rows;
    QPointer<LMIdentifiedView> m_view;
    QLineEdit *m_field = nullptr;
    QListWidget *m_list = nullptr;
    QButtonGroup *m_segments = nullptr;
};
