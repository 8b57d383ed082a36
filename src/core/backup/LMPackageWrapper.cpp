// LMPackageWrapper: reads a package folder into a nested wrapper value and writes one back out.
#include "LMPackageWrapper.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace {
const QString kClass = QStringLiteral("HVFileWrapper");
const QString kName = QStringLiteral("NSFilename");
const QString kPath = QStringLiteral("Path");
const QString kDirectory = QStringLiteral("Directory");
const QString kChildren = QStringLiteral("Children");
const QString kData = QStringLiteral("Data");

void setError(QString *error, const QString &message)
{
    if (error)
        *error = message;
}

qint64 treeSize(const QString &directory)
{
    qint64 total = 0;
    QDirIterator it(directory, QDir::Files | QDir::Hidden | QDir::NoSymLinks, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        total += it.fileInfo().size();
    }
    return total;
}

bool readTree(const QString &directory, Value children, QString *error)
{
    const QFileInfoList entries =
        QDir(directory).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo &entry : entries) {
        if (entry.isSymLink())
            continue; // a link could lead outside the package
        Value attributes = Value::dict({{kName, entry.fileName()}});
        if (entry.isDir()) {
            Value sub = Value::dict();
            if (!readTree(entry.filePath(), sub, error))
                return false;
            attributes.set(kDirectory, true);
            attributes.set(kChildren, sub);
        } else {
            QFile file(entry.filePath());
            if (!file.open(QIODevice::ReadOnly)) {
                setError(error,
                         QStringLiteral("\"%1\" could not be read: %2").arg(entry.filePath(), file.errorString()));
                return false;
            }
            attributes.set(kData, file.readAll());
        }
        children.set(entry.fileName(), Value::object(kClass, attributes));
    }
    return true;
}

bool safeName(const QString &name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/'));
}

bool writeTree(const Value &children, const QString &directory, QString *error)
{
    for (const QString &name : children.keys()) {
        // Names come from another process: never let one climb out of the destination.
        if (!safeName(name)) {
            setError(error, QStringLiteral("The package holds an entry with the unsafe name \"%1\".").arg(name));
            return false;
        }
        const Value attributes = children.value(name).attributes();
        const QString target = QDir(directory).filePath(name);
        if (attributes.value(kDirectory).toBool()) {
            if (!QDir().mkpath(target) || !writeTree(attributes.value(kChildren), target, error)) {
                if (error && error->isEmpty())
                    *error = QStringLiteral("The folder \"%1\" could not be created.").arg(target);
                return false;
            }
            continue;
        }
        QFile file(target);
        const QByteArray bytes = attributes.value(kData).toData();
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush()) {
            setError(error, QStringLiteral("\"%1\" could not be written: %2").arg(target, file.errorString()));
            return false;
        }
    }
    return true;
}

bool copyTree(const QString &from, const QString &to, QString *error)
{
    if (!QDir().mkpath(to)) {
        setError(error, QStringLiteral("The folder \"%1\" could not be created.").arg(to));
        return false;
    }
    const QFileInfoList entries =
        QDir(from).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo &entry : entries) {
        if (entry.isSymLink())
            continue;
        const QString target = QDir(to).filePath(entry.fileName());
        if (entry.isDir()) {
            if (!copyTree(entry.filePath(), target, error))
                return false;
        } else if (!QFile::copy(entry.filePath(), target)) {
            setError(error, QStringLiteral("\"%1\" could not be copied.").arg(entry.filePath()));
            return false;
        }
    }
    return true;
}
} // namespace

namespace LMPackageWrapper {

Value wrap(const QString &directory, QString *error, qint64 inlineLimit)
{
    const QFileInfo info(directory);
    if (!info.isDir()) {
        setError(error, QStringLiteral("\"%1\" is not a document folder.").arg(directory));
        return Value();
    }
    Value attributes = Value::dict({{kName, info.fileName()}, {kPath, info.absoluteFilePath()}, {kDirectory, true}});
    if (treeSize(directory) <= inlineLimit) {
        Value children = Value::dict();
        if (!readTree(info.absoluteFilePath(), children, error))
            return Value();
        attributes.set(kChildren, children);
    }
    return Value::object(kClass, attributes);
}

bool isDirectoryWrapper(const Value &wrapper)
{
    return wrapper.isObject() && wrapper.className() == kClass && wrapper.attributes().value(kDirectory).toBool();
}

QString name(const Value &wrapper)
{
    return wrapper.attributes().value(kName).toString();
}

QString path(const Value &wrapper)
{
    return wrapper.attributes().value(kPath).toString();
}

bool hasContents(const Value &wrapper)
{
    return wrapper.attributes().value(kChildren).isDict();
}

bool write(const Value &wrapper, const QString &destination, QString *error)
{
    if (!isDirectoryWrapper(wrapper)) {
        setError(error, QStringLiteral("The backup carries no document folder."));
        return false;
    }
    if (QFileInfo::exists(destination)) {
        setError(error, QStringLiteral("\"%1\" already exists.").arg(destination));
        return false;
    }
    if (!hasContents(wrapper))
        return copyTree(path(wrapper), destination, error);
    if (!QDir().mkpath(destination)) {
        setError(error, QStringLiteral("The folder \"%1\" could not be created.").arg(destination));
        return false;
    }
    return writeTree(wrapper.attributes().value(kChildren), destination, error);
}

} // namespace LMPackageWrapper
