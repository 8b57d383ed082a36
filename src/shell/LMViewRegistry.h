// LMViewRegistry: one factory per view identifier; the switch operations of the window create views through it.
#pragma once

#include "LMViewController.h"
#include "Value.h"

#include <QHash>
#include <QString>
#include <functional>
#include <memory>

class MyDocument;
class OXDatabase;
class LMDocumentWindow;

// What every view is handed: the document, its connection and its window.
struct LMViewContext {
    MyDocument *document = nullptr;
    OXDatabase *database = nullptr;
    LMDocumentWindow *window = nullptr;
};

// One request to open a view.
struct LMViewRequest {
    QString identifier; // the kind of view, see LMViewController::identifier
    QString name;       // the item's name; empty for a new item
    Value item;         // the item's design dictionary when it has one (query, report)
    QString detail;     // extra text: the search text, the chooser's mode, the query's table
    bool flag = false;  // extra switch: "in a form" for queries, "is user" for users and groups
};

class LMViewRegistry {
public:
    using Factory = std::function<std::unique_ptr<LMViewController>(const LMViewContext &, const LMViewRequest &)>;

    static LMViewRegistry &instance();

    // Replaces the factory of one identifier (later subsystems install their views here; tests install probes).
    void setFactory(const QString &identifier, Factory factory);
    // Back to the built-in views (the overview and labelled placeholders).
    void resetToDefaults();
    std::unique_ptr<LMViewController> create(const LMViewContext &context, const LMViewRequest &request) const;

    static QStringList identifiers();

private:
    LMViewRegistry();
    QHash<QString, Factory> m_factories;
};
