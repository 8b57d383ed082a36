// LMViewRegistry: one factory per view kind; the window's switch operations create views through it.
// The application owns one registry; each feature library fills it through its own registration function.
//
//   How a feature registers a view (in the feature's library, e.g. src/forms/LMFormViews.cpp):
//       void registerFormViews(LMViewRegistry &registry)
//       {
//           registry.setFactory(ViewKind::FormData, [](const LMViewContext &context, const LMViewRequest &request) {
//               return makeFormDataController(context, request); // std::unique_ptr<LMViewController>
//           });
//       }
//   then add one call to registerApplicationViews() in src/shell/LMApplicationViews.cpp.
//   A new view kind is a row in ViewKind.cpp plus such a registration.
#pragma once

#include "LMViewController.h"
#include "Value.h"
#include "ViewKind.h"

#include <QHash>
#include <QString>
#include <functional>
#include <memory>

class LMDocumentNavigator;
class MyDocument;
class OXDatabase;
class QWidget;

// What every view is handed: the document, its connection, the navigator of its window and the window itself
// (for sheets).
struct LMViewContext {
    MyDocument *document = nullptr;
    OXDatabase *database = nullptr;
    LMDocumentNavigator *navigator = nullptr;
    QWidget *window = nullptr;
};

// One request to open a view; each kind reads the fields that concern it.
struct LMViewRequest {
    ViewKind kind = ViewKind::Overview;
    QString name;           // the item's name; empty for a new item (users and groups: the account)
    Value item;             // the item's design dictionary when it has one
    QString table;          // Query: the table the query filters
    QString queryName;      // Form Data opened for a query: the query whose records it shows
    bool inForm = false;    // Form Data opened for a query (Option on a query)
    bool isUser = false;    // Users Groups: a user rather than a group
    QString searchText;     // Find
    QString chooserMode;    // Chooser: the mode whose items it offers ("Tables", …)
    bool firstTime = false; // Overview: the document's first window after it was made

    QString identifier() const { return ViewKinds::identifier(kind); }
};

class LMViewRegistry {
public:
    using Factory = std::function<std::unique_ptr<LMViewController>(const LMViewContext &, const LMViewRequest &)>;
    // Makes a form for a table in the document; answers its name, or "" when none was made.
    using FormGenerator = std::function<QString(MyDocument &document, const QString &table)>;

    // Replaces the factory of one kind (later registrations win, so features replace placeholders).
    void setFactory(ViewKind kind, Factory factory);
    bool hasFactory(ViewKind kind) const { return m_factories.contains(static_cast<int>(kind)); }
    void clear();
    // Null when no factory is registered for the kind or the factory made nothing.
    std::unique_ptr<LMViewController> create(const LMViewContext &context, const LMViewRequest &request) const;

    // The forms library installs how a form is generated for a table (the table design view offers it).
    void setFormGenerator(FormGenerator generator) { m_formGenerator = std::move(generator); }
    QString generateForm(MyDocument &document, const QString &table) const;

private:
    QHash<int, Factory> m_factories; // by ViewKind
    FormGenerator m_formGenerator;
};
