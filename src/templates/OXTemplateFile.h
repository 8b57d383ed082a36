// OXTemplateFile: the template dictionary, its file form and the downloaded-templates folder.
#pragma once

#include "Value.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

class MyDocument;

namespace OXTemplateFile {
inline const QString Tables = QStringLiteral("Tables");
inline const QString Queries = QStringLiteral("Queries");
inline const QString Forms = QStringLiteral("Forms");
inline const QString Reports = QStringLiteral("Reports");
inline const QString Scripts = QStringLiteral("Scripts");
inline const QString Relationships = QStringLiteral("Relationships");
inline const QString Extension = QStringLiteral("oxtemplate");

// ~/Library/Application Support/Tandrel/Orvix/Downloaded Templates, created when missing.
QString folder();
QString pathForUid(const QString &uid);

// The file content: Base64 text of the keyed archive of the template under the root key "key".
QByteArray encode(const Value &templateDictionary);
// The template dictionary, or nullopt with *error when the text is not a template.
std::optional<Value> decode(const QByteArray &fileContent, QString *error = nullptr);

// Which designs of a document go into a template; empty lists with `everything` take every item.
struct Selection {
    QStringList tables, queries, forms, reports, scripts;
    bool everything = false;
};
// A template of the selected designs (copies, without rows) and the document's whole relationships.
// Names not found in the document are listed in *missing.
Value pack(MyDocument &document, const Selection &selection, QStringList *missing = nullptr);

// An array under `key` (a missing key counts as empty).
Value arrayOf(const Value &templateDictionary, const QString &key);
} // namespace OXTemplateFile
