// FDControlArchiver: one object under "key" in the keyed-archive layout of the base library.
#include "FDControlArchiver.h"

#include "FDKeys.h"
#include "KeyedArchive.h"

#include <QDebug>

namespace FDControlArchiver {
QByteArray archiveControl(const Value &control)
{
    return KeyedArchive::archive(control, FDKeys::kArchiveRoot);
}

std::optional<Value> unarchiveControl(const QByteArray &data)
{
    QString error;
    std::optional<Value> control = KeyedArchive::unarchive(data, FDKeys::kArchiveRoot, &error);
    if (!control) {
        qWarning().noquote() << QStringLiteral("FDControlArchiver: Error occurred during unarchiving %1").arg(error);
        return std::nullopt;
    }
    return control;
}

std::optional<Value> defaultControlWithName(const QString &name, const Value &definitions)
{
    const Value entry = definitions.value(name);
    if (!entry.isDict())
        return std::nullopt;
    return unarchiveControl(entry.value(QStringLiteral("Default")).toData());
}
} // namespace FDControlArchiver

Value FDControlArchiverTransformer::transformedValue(const Value &data)
{
    return FDControlArchiver::unarchiveControl(data.toData()).value_or(Value());
}

Value FDControlArchiverTransformer::reverseTransformedValue(const Value &control)
{
    return Value(FDControlArchiver::archiveControl(control));
}
