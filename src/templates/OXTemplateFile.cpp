// OXTemplateFile: encodes and decodes template files and packs a document's designs into a template.
#include "OXTemplateFile.h"

#include "Base64.h"
#include "KeyedArchive.h"
#include "MyDocument.h"

#include <QDir>

namespace OXTemplateFile {

QString folder()
{
    const QString path =
        QDir::home().filePath(QStringLiteral("Library/Application Support/Tandrel/Orvix/Downloaded Templates"));
    QDir().mkpath(path);
    return path;
}

QString pathForUid(const QString &uid)
{
    return QDir(folder()).filePath(uid + QLatin1Char('.') + Extension);
}

QByteArray encode(const Value &templateDictionary)
{
    return Base64::encode(KeyedArchive::archive(templateDictionary, QStringLiteral("key"))).toLatin1();
}

std::optional<Value> decode(const QByteArray &fileContent, QString *error)
{
    const std::optional<QByteArray> archive = Base64::decode(QString::fromLatin1(fileContent.trimmed()));
    if (!archive) {
        if (error)
            *error = QStringLiteral("The template file is not Base64 text.");
        return std::nullopt;
    }
    const std::optional<Value> root = KeyedArchive::unarchive(*archive, QStringLiteral("key"), error);
    if (!root || !root->isDict()) {
        if (error && error->isEmpty())
            *error = QStringLiteral("The template file holds no template.");
        return std::nullopt;
    }
    return root;
}

Value arrayOf(const Value &templateDictionary, const QString &key)
{
    const Value v = templateDictionary.value(key);
    return v.isArray() ? v : Value::array();
}

Value pack(MyDocument &document, const Selection &selection, QStringList *missing)
{
    Value result = Value::dict();
    const struct {
        const QString &key;
        Value collection;
        const QStringList &names;
    } kinds[] = {{Tables, document.tables(), selection.tables},
                 {Queries, document.queries(), selection.queries},
                 {Forms, document.forms(), selection.forms},
                 {Reports, document.reports(), selection.reports},
                 {Scripts, document.scripts(), selection.scripts}};
    for (const auto &kind : kinds) {
        Value chosen = Value::array();
        if (selection.everything && kind.names.isEmpty()) {
            for (int i = 0; i < kind.collection.size(); ++i)
                chosen.append(kind.collection.at(i).deepCopy());
        } else {
            for (const QString &name : kind.names) {
                const Value item = MyDocument::itemNamed(kind.collection, name);
                if (item.isNull()) {
                    if (missing)
                        missing->append(name);
                    continue;
                }
                chosen.append(item.deepCopy());
            }
        }
        result.set(kind.key, chosen);
    }
    result.set(Relationships, document.relationships().deepCopy());
    return result;
}

} // namespace OXTemplateFile
