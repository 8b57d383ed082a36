// GridHarness: a "Table Edit" view made by the factory, adopted by its view and shown, as a tab shows it.
#pragma once

#include "LMGridFilter.h"

#include <QString>
#include <memory>

class LMDocumentNavigator;
class LMIdentifiedView;
class LMTableEditContainer;
class LMTableEditView;
class MyDocument;
class QWidget;

class GridHarness {
public:
    // `show` puts the view on screen (needed for key and mouse events); `navigator` stands for the window.
    GridHarness(MyDocument *document, const QString &table, bool show = true, LMDocumentNavigator *navigator = nullptr);
    ~GridHarness();

    LMTableEditContainer *container() const { return m_container; }
    LMTableEditView *grid() const;
    LMIdentifiedView *view() const { return m_view.get(); }
    QWidget *window() const { return m_window.get(); }

private:
    std::unique_ptr<QWidget> m_window;
    std::unique_ptr<LMIdentifiedView> m_view;
    LMTableEditContainer *m_container = nullptr;
};

// A query filter whose state a test sets.
class FakeFilter : public LMGridFilter {
public:
    bool open = false;
    QString where;
    bool isOpen() const override { return open; }
    QString whereQuery() const override { return where; }
    void change() { notifyChanged(); }
};
