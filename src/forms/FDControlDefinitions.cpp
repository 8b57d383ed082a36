// FDControlDefinitions: the resources are property lists; our control classes form a small fixed family.
#include "FDControlDefinitions.h"

#include "FDKeys.h"
#include "PropertyList.h"
#include "Resources.h"

#include <QHash>

namespace FDControlDefinitions {
namespace {
Value readResource(const QString &name)
{
    const std::optional<QByteArray> bytes = Resources::read(name);
    if (!bytes)
        return Value::dict();
    const std::optional<Value> plist = PropertyList::read(*bytes);
    return plist && plist->isDict() ? *plist : Value::dict();
}

QString superclassOf(const QString &className)
{
    using namespace FDKeys;
    static const QHash<QString, QString> parents = {
        {kTokenField, kTextField},    {kFormPopUp, kPopUpButton}, {kPopUpButton, QStringLiteral("NSButton")},
        {kTextField, "NSControl"},    {kButton, "NSControl"},     {kDatePicker, "NSControl"},
        {kImageView, "NSControl"},    {kMovieWell, "NSControl"},  {kAttachmentWell, "NSControl"},
        {kFilePathWell, "NSControl"}, {kTextView, "NSControl"},   {kRadioGroup, "NSControl"},
        {kSegmented, "NSControl"},    {kProgress, "NSControl"},   {kShape, "NSControl"},
        {kGroup, "NSView"},           {"NSControl", "NSView"},
    };
    return parents.value(className);
}
} // namespace

Value attributeDefinitions()
{
    static const Value definitions = readResource(QStringLiteral("Control Def 3.plist"));
    return definitions;
}

Value actionDefinitions()
{
    static const Value definitions = readResource(QStringLiteral("FDControlDef.plist"));
    return definitions;
}

bool isKindOf(const QString &className, const QString &ancestor)
{
    QString cls = className;
    // The family is a few levels deep; the bound keeps a mistaken cycle from hanging.
    for (int depth = 0; depth < 16 && !cls.isEmpty(); ++depth) {
        if (cls == ancestor)
            return true;
        cls = superclassOf(cls);
    }
    return false;
}

Value propertiesForClass(const QString &className)
{
    const Value definitions = attributeDefinitions();
    for (const QString &key : definitions.keys())
        if (isKindOf(className, key))
            return definitions.value(key).value(QStringLiteral("Properties"));
    return Value();
}

QStringList actionsForClass(const QString &className)
{
    return actionDefinitions().value(className).value(QStringLiteral("Actions")).toStringList();
}

QStringList outletsForClass(const QString &className)
{
    return actionDefinitions().value(className).value(QStringLiteral("Outlets")).toStringList();
}
} // namespace FDControlDefinitions
