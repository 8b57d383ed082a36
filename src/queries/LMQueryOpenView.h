// LMQueryOpenView: the chooser that lists the document's queries for the filter to open one.
#pragma once

#include "Value.h"

#include <QDialog>
#include <QPointer>

class LMQueryFilterView;
class QListWidget;

class LMQueryOpenView : public QDialog {
    Q_OBJECT
public:
    LMQueryOpenView(LMQueryFilterView *filterView, const Value &queries, QWidget *parent = nullptr);

    QListWidget *list() const { return m_list; }
    QStringList queryNames() const;
    // Selects the row of a query by name; false when it is not listed.
    bool selectQuery(const QString &name);
    // Opens the selected query (a beep when none is selected) / closes the chooser.
    void openButton();
    void cancelButton();

private:
    QPointer<LMQueryFilterView> m_filter;
    Value m_queries;
    QListWidget *m_list = nullptr;
};
