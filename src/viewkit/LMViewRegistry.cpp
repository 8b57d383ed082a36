// LMViewRegistry: the factories by view kind and the optional form generator.
#include "LMViewRegistry.h"

void LMViewRegistry::setFactory(ViewKind kind, Factory factory)
{
    m_factories.insert(static_cast<int>(kind), std::move(factory));
}

void LMViewRegistry::clear()
{
    m_factories.clear();
    m_formGenerator = nullptr;
}

std::unique_ptr<LMViewController> LMViewRegistry::create(const LMViewContext &context,
                                                         const LMViewRequest &request) const
{
    const auto it = m_factories.constFind(static_cast<int>(request.kind));
    if (it == m_factories.constEnd() || !*it)
        return nullptr;
    return (*it)(context, request);
}

QString LMViewRegistry::generateForm(MyDocument &document, const QString &table) const
{
    return m_formGenerator ? m_formGenerator(document, table) : QString();
}
