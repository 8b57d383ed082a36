// ShellFixture: a small document with one item of each kind, and probe views that log the protocol calls.
#pragma once

#include "LMDocumentWindow.h"
#include "LMIdentifiedView.h"
#include "LMViewController.h"
#include "LMViewRegistry.h"
#include "MyDocument.h"

#include <QPointer>
#include <QStringList>
#include <memory>

namespace ShellFixture {
// Tables "People" and "Companies"; queries "Adults" (on People) and "Orphan" (on a missing table);
// form "People Form"; reports "Summary" and the locked "Secret"; script "Hello".
std::unique_ptr<MyDocument> makeDocument();
// A window on makeDocument() after windowDidLoad (overview in one tab); shown offscreen.
LMDocumentWindow *makeWindow();

// Every protocol call on a probe, as "<call> <identifier> <name>".
QStringList &log();
// The application's views, as LMApplication registers them; the windows of the shell tests open these.
LMViewRegistry &registry();
// Replaces every view but the overview by a probe; restoreViews() puts the application's views back.
void installProbes();
void restoreViews();

class Probe : public LMViewController {
public:
    Probe(const QString &identifier, const QString &name);
    QString identifier() const override { return m_identifier; }
    LMIdentifiedView *view() override { return m_view; }
    void cleanUp() override;
    std::optional<Value> cleanUpAndArchive() override;
    void refresh() override;
    void itemDidRename(ItemKind kind, const QString &oldName, const QString &newName) override;
    void itemDidDelete(ItemKind kind, const QString &name) override;
    bool providesToolbar() const override { return m_identifier == QLatin1String("Table Edit"); }
    QStringList toolbarAllowedItemIdentifiers() const override { return {QStringLiteral("Probe Item")}; }
    QStringList toolbarDefaultItemIdentifiers() const override { return {QStringLiteral("Probe Item")}; }
    QAction *toolbarItem(const QString &itemIdentifier, bool willBeInserted) override;

    QString name;

private:
    QString m_identifier;
    QPointer<LMIdentifiedView> m_view;
    QAction *m_action = nullptr;
};
} // namespace ShellFixture
