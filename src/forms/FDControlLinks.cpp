// FDControlLinks: links name controls by "UUID", so they survive moving, renaming and writing the form.
#include "FDControlLinks.h"

#include "FDControlDefinitions.h"
#include "FDKeys.h"

using namespace FDKeys;

namespace FDControlLinks {
QStringList actionsOffered(const FDControlPtr &target)
{
    return target ? FDControlDefinitions::actionsForClass(target->className()) : QStringList();
}

QStringList outletsOffered(const FDControlPtr &source)
{
    return source ? FDControlDefinitions::outletsForClass(source->className()) : QStringList();
}

bool isActionConnected(const FDControlPtr &source, const FDControlPtr &target, const QString &name)
{
    if (!source || !target)
        return false;
    const Value info = source->info();
    return info.value(kTarget).toString() == target->uuid() && info.value(kAction).toString() == name + u':';
}

bool isOutletConnected(const FDControlPtr &source, const FDControlPtr &target, const QString &name)
{
    if (!source || !target)
        return false;
    const Value info = source->info();
    return info.value(kOutletValue).toString() == target->uuid() && info.value(kOutletKey).toString() == name;
}

bool chooseAction(const FDControlPtr &source, const FDControlPtr &target, const QString &name)
{
    if (!source || !target || name.isEmpty())
        return false;
    Value info = source->info();
    if (isActionConnected(source, target, name)) {
        info.remove(kTarget);
        info.remove(kAction);
        return false;
    }
    info.set(kTarget, target->uuid());
    info.set(kAction, name + u':');
    return true;
}

bool chooseOutlet(const FDControlPtr &source, const FDControlPtr &target, const QString &name)
{
    if (!source || !target || name.isEmpty())
        return false;
    Value info = source->info();
    if (isOutletConnected(source, target, name)) {
        info.remove(kOutletValue);
        info.remove(kOutletKey);
        return false;
    }
    info.set(kOutletValue, target->uuid());
    info.set(kOutletKey, name);
    return true;
}
} // namespace FDControlLinks
