// ShellFixture: the document, window and probes the shell tests share.
#include "ShellFixture.h"

#include "LMApplicationViews.h"
#include "LMViewRegistry.h"

#include <QAction>

namespace ShellFixture {

std::unique_ptr<MyDocument> makeDocument()
{
    std::unique_ptr<MyDocument> doc = MyDocument::createNew();
    if (!doc)
        return doc;
    auto named = [](const QString &name) { return Value::dict({{QStringLiteral("Name"), name}}); };
    doc->tables().append(named("People"));
    doc->tables().append(named("Companies"));
    Value adults = named("Adults");
    adults.set("Table Name", "People");
    doc->queries().append(adults);
    Value orphan = named("Orphan");
    orphan.set("Table Name", "Gone");
    doc->queries().append(orphan);
    Value form = named("People Form");
    form.set("Content Table", "People");
    doc->forms().append(form);
    doc->reports().append(named("Summary"));
    Value secret = named("Secret");
    secret.set("Locked", true);
    doc->reports().append(secret);
    doc->scripts().append(named("Hello"));
    return doc;
}

LMDocumentWindow *makeWindow()
{
    auto *window = new LMDocumentWindow(makeDocument(), registry());
    window->windowDidLoad();
    window->show();
    return window;
}

QStringList &log()
{
    static QStringList entries;
    return entries;
}

LMViewRegistry &registry()
{
    static LMViewRegistry views = [] {
        LMViewRegistry made;
        registerApplicationViews(made);
        return made;
    }();
    return views;
}

void installProbes()
{
    for (ViewKind kind : ViewKinds::all()) {
        if (kind == ViewKind::Overview)
            continue;
        registry().setFactory(kind, [](const LMViewContext &, const LMViewRequest &request) {
            return std::unique_ptr<LMViewController>(std::make_unique<Probe>(request.identifier(), request.name));
        });
    }
}

void restoreViews()
{
    registerApplicationViews(registry());
}

Probe::Probe(const QString &identifier, const QString &itemName) : name(itemName), m_identifier(identifier)
{
    m_view = new LMIdentifiedView(identifier);
    m_view->setController(this);
    m_action = new QAction(QStringLiteral("Probe Item"), m_view);
}

void Probe::cleanUp()
{
    log() << QStringLiteral("cleanUp %1 %2").arg(m_identifier, name);
}

std::optional<Value> Probe::cleanUpAndArchive()
{
    log() << QStringLiteral("cleanUpAndArchive %1").arg(m_identifier);
    return Value::dict({{QStringLiteral("From Probe"), true}});
}

void Probe::refresh()
{
    log() << QStringLiteral("refresh %1 %2").arg(m_identifier, name);
}

void Probe::itemDidRename(ItemKind kind, const QString &oldName, const QString &newName)
{
    log() << QStringLiteral("rename %1 %2 %3>%4").arg(name, ItemKinds::type(kind), oldName, newName);
}

void Probe::itemDidDelete(ItemKind kind, const QString &deleted)
{
    log() << QStringLiteral("delete %1 %2 %3").arg(name, ItemKinds::type(kind), deleted);
}

QAction *Probe::toolbarItem(const QString &itemIdentifier, bool)
{
    return itemIdentifier == QLatin1String("Probe Item") ? m_action : nullptr;
}

} // namespace ShellFixture
