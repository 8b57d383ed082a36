// OXTemplateFile: the template dictionary, its file form and the downloaded-templates folder.
#pragma once

#include "DesignVocabulary.h"
#include "ItemKind.h"
#include "Value.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

class MyDocument;

namespace OXTemplateFile {
inline const QString Tables = ItemKinds::mode(ItemKind::Table);
inline const QString Queries = ItemKinds::mode(ItemKind::Query);
inline const QString Forms = ItemKinds::mode(ItemKind::Form);
inline const QString Reports = ItemKinds::mode(ItemKind::Report);
inline const QString Scripts = ItemKinds::mode(ItemKind::Script);
inline const QString &Relationships = RelationshipKey::Relationships;
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
