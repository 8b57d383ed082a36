// LMViewRegistry: built-in factories: the overview, and labelled placeholders for the views of later subsystems.
#include "LMViewRegistry.h"

#include "LMOverview.h"
#include "LMPlaceholderView.h"
#include "LMSubsystemViews.h"

namespace {
struct Placeholder {
    const char *identifier;
    const char *title;
};

// The views whose editors come with their own subsystems; until then a tab says what it will hold.
const Placeholder kPlaceholders[] = {
    {"Table Edit", "Records"},
    {"Table Design", "Table Design"},
    {"Query", "Query"},
    {"Form Data", "Form Data Entry"},
    {"Form Design", "Form Design"},
    {"Reports", "Report"},
    {"Script", "Script Editor"},
    {"SQL", "SQL Editor"},
    {"Relationship", "Relationships Diagram"},
    {"Users Groups", "Users and Groups"},
    {"Find", "Find"},
    {"Chooser", "Chooser"},
    {"Help", "Help"},
    {"Browser View", "Browser"},
};

QString subjectFor(const LMViewRequest &request)
{
    const QString id = request.identifier;
    if (id == QLatin1String("Query")) {
        const QString query = request.name.isEmpty() ? QStringLiteral("New Query") : request.name;
        return request.detail.isEmpty() ? query : QStringLiteral("%1 on %2").arg(query, request.detail);
    }
    if (id == QLatin1String("Form Data") && !request.detail.isEmpty())
        return QStringLiteral("%1, query %2").arg(request.name, request.detail);
    if (id == QLatin1String("Find") || id == QLatin1String("Chooser"))
        return request.detail;
    if (id == QLatin1String("Users Groups"))
        return request.name.isEmpty() ? QString()
                                      : QStringLiteral("%1 %2").arg(request.flag ? "User" : "Group", request.name);
    if (request.name.isEmpty()) {
        if (id == QLatin1String("Table Design"))
            return QStringLiteral("New Table");
        if (id == QLatin1String("Form Design") || id == QLatin1String("Form Data"))
            return QStringLiteral("New Form");
        if (id == QLatin1String("Reports"))
            return QStringLiteral("New Report");
        if (id == QLatin1String("Script"))
            return QStringLiteral("New Script");
    }
    return request.name;
}
} // namespace

LMViewRegistry &LMViewRegistry::instance()
{
    static LMViewRegistry registry;
    return registry;
}

LMViewRegistry::LMViewRegistry()
{
    resetToDefaults();
}

QStringList LMViewRegistry::identifiers()
{
    QStringList ids{QStringLiteral("Overview")};
    for (const Placeholder &p : kPlaceholders)
        ids << QLatin1String(p.identifier);
    return ids;
}

void LMViewRegistry::resetToDefaults()
{
    m_factories.clear();
    m_factories.insert(QStringLiteral("Overview"), [](const LMViewContext &context, const LMViewRequest &request) {
        return std::unique_ptr<LMViewController>(std::make_unique<LMOverview>(context, request.flag));
    });
    for (const Placeholder &p : kPlaceholders) {
        const QString identifier = QLatin1String(p.identifier);
        const QString title = QLatin1String(p.title);
        m_factories.insert(identifier, [identifier, title](const LMViewContext &, const LMViewRequest &request) {
            const QString shownTitle =
                identifier == QLatin1String("Chooser") ? QStringLiteral("%1 Chooser").arg(request.detail) : title;
            const QString subject = identifier == QLatin1String("Chooser") ? QString() : subjectFor(request);
            return std::unique_ptr<LMViewController>(
                std::make_unique<LMPlaceholderView>(identifier, shownTitle, subject));
        });
    }
    LMSubsystemViews::install(*this);
}

void LMViewRegistry::setFactory(const QString &identifier, Factory factory)
{
    m_factories.insert(identifier, std::move(factory));
}

std::unique_ptr<LMViewController> LMViewRegistry::create(const LMViewContext &context,
                                                         const LMViewRequest &request) const
{
    const auto it = m_factories.constFind(request.identifier);
    if (it == m_factories.constEnd() || !*it)
        return nullptr;
    return (*it)(context, request);
}
