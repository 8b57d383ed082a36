// RecordingNavigator: a navigator for tests of views without a window: it logs every call as "<call> <name>"
// and keeps the tab label a view sets.
#pragma once

#include "LMDocumentNavigator.h"

#include <QStringList>
#include <functional>

class RecordingNavigator : public LMDocumentNavigator {
public:
    QStringList calls;
    QString tabLabel;
    // What generateFormForTable answers.
    QString generatedForm;
    // Called with each logged call as it happens, for tests that look at the document at that moment.
    std::function<void(const QString &call)> onCall;

    bool switchToOverview(bool) override { return note(QStringLiteral("switchToOverview")); }
    bool switchToTableEditView(const QString &t) override { return note(QStringLiteral("switchToTableEditView"), t); }
    bool switchToTableDesignView(const QString &t) override
    {
        return note(QStringLiteral("switchToTableDesignView"), t);
    }
    bool switchToQueryView(const QString &q, bool) override { return note(QStringLiteral("switchToQueryView"), q); }
    bool switchToFormDesignView(const QString &f) override { return note(QStringLiteral("switchToFormDesignView"), f); }
    bool switchToFormDataView(const QString &f) override { return note(QStringLiteral("switchToFormDataView"), f); }
    bool switchToReportView(const QString &r) override { return note(QStringLiteral("switchToReportView"), r); }
    bool switchToScriptView(const QString &s) override { return note(QStringLiteral("switchToScriptView"), s); }
    void switchToScriptRun(const QString &s) override { note(QStringLiteral("switchToScriptRun"), s); }
    bool switchToRelationshipsView() override { return note(QStringLiteral("switchToRelationshipsView")); }
    bool switchToUsersGroups(const QString &n, bool) override { return note(QStringLiteral("switchToUsersGroups"), n); }
    bool switchToFindView(const QString &text) override { return note(QStringLiteral("switchToFindView"), text); }
    bool switchToChooserView() override { return note(QStringLiteral("switchToChooserView")); }
    bool switchToSQLView() override { return note(QStringLiteral("switchToSQLView")); }
    void switchToBlank() override { note(QStringLiteral("switchToBlank")); }
    QString currentTabLabel() const override { return tabLabel; }
    void setCurrentTabLabel(const QString &label) override { tabLabel = label; }
    void reloadSourceListExpanding(ItemKind kind) override
    {
        note(QStringLiteral("reloadSourceListExpanding"), ItemKinds::mode(kind));
    }
    bool removeItem(ItemKind kind, const QString &name) override
    {
        return note(QStringLiteral("removeItem %1").arg(ItemKinds::type(kind)), name);
    }
    QString generateFormForTable(const QString &table) override
    {
        note(QStringLiteral("generateFormForTable"), table);
        return generatedForm;
    }
    QPrinter *printer() override { return nullptr; }
    void runPageLayout() override { note(QStringLiteral("runPageLayout")); }
    MyDocument *frontmostDocument() const override { return nullptr; }
    QWidget *windowWidget() const override { return nullptr; }
    bool closeDocument() override { return note(QStringLiteral("closeDocument")); }

    // The calls named `call`, by their argument.
    QStringList argumentsOf(const QString &call) const
    {
        QStringList found;
        for (const QString &entry : calls)
            if (entry == call || entry.startsWith(call + QLatin1Char(' ')))
                found << entry.mid(call.size() + 1);
        return found;
    }

private:
    bool note(const QString &call, const QString &argument = QString())
    {
        const QString entry = argument.isNull() ? call : QStringLiteral("%1 %2").arg(call, argument);
        calls << entry;
        if (onCall)
            onCall(entry);
        return true;
    }
};
