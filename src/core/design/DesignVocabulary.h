// DesignVocabulary: the datatypes, the design keys and the field templates, each defined once for every layer.
#pragma once

#include "Value.h"

#include <QString>
#include <QStringList>

// The closed set of field datatypes, in the order the design editor's pop-up lists them.
enum class Datatype {
    PrimaryKey,
    Text,
    Number,
    Date,
    YesNo,
    Image,
    Audio,
    Video,
    List,
    Options,
    Attachment,
    FilePath,
    Relationship,
    Unknown
};

namespace Datatypes {
// The stored name ("Primary Key", "Text", … "Yes/No", … "File Path", "Relationship"); "" for Unknown.
QString name(Datatype type);
// The datatype a stored name gives; Unknown for any other text.
Datatype fromName(const QString &name);
// Every stored name, in enum order (without Unknown).
const QStringList &names();
// Whether the stored name `name` is the datatype `type`.
inline bool is(const QString &name, Datatype type)
{
    return fromName(name) == type;
}

// Image, Audio, Video and Attachment cells hold Base64 of their native value.
bool isMedia(Datatype type);
bool isMedia(const QString &name);
} // namespace Datatypes

// The keys of table and field design dictionaries, and those every item design shares.
namespace DesignKey {
inline const QString Name = QStringLiteral("Name");
// The table a form or report design shows.
inline const QString ContentTable = QStringLiteral("Content Table");
// The table a query design filters.
inline const QString TableName = QStringLiteral("Table Name");
// A report that cannot be edited or run until it is unlocked.
inline const QString Locked = QStringLiteral("Locked");
// A report's stored template and page setup.
inline const QString AttributedString = QStringLiteral("Attributed String");
inline const QString PrintInfo = QStringLiteral("Print Info");
inline const QString Fields = QStringLiteral("Fields");
inline const QString Type = QStringLiteral("Type");
inline const QString PrimaryKey = QStringLiteral("Primary Key");
inline const QString Unique = QStringLiteral("Unique");
inline const QString NotNull = QStringLiteral("Not Null");
inline const QString Default = QStringLiteral("Default");
inline const QString Check = QStringLiteral("Check");
inline const QString Regex = QStringLiteral("Regex");
inline const QString Format = QStringLiteral("Format");
inline const QString YesValue = QStringLiteral("Yes Value");
inline const QString NoValue = QStringLiteral("No Value");
inline const QString HumanKey = QStringLiteral("HumanKey");
inline const QString Options = QStringLiteral("Options");
inline const QString ListSeparator = QStringLiteral("List Separator");
inline const QString DateFormat = QStringLiteral("Date Format");
inline const QString TimeFormat = QStringLiteral("Time Format");
inline const QString CheckLowerBound = QStringLiteral("CheckLowerBound");
inline const QString CheckLowerBoundOperator = QStringLiteral("CheckLowerBoundOperator");
inline const QString CheckUpperBound = QStringLiteral("CheckUpperBound");
inline const QString CheckUpperBoundOperator = QStringLiteral("CheckUpperBoundOperator");
inline const QString IsInteger = QStringLiteral("IsInteger");
inline const QString IsPositive = QStringLiteral("IsPositive");
inline const QString IdFieldName = QStringLiteral("id");
} // namespace DesignKey

// The keys of the document's relationships dictionary and of its line records.
namespace RelationshipKey {
// The relationships dictionary itself, beside the item collections of the stored designs.
inline const QString Relationships = QStringLiteral("Relationships");
inline const QString Lines = QStringLiteral("Lines");
inline const QString Boxes = QStringLiteral("Boxes");
inline const QString StartTable = QStringLiteral("Start Table");
inline const QString StartField = QStringLiteral("Start Field");
inline const QString EndTable = QStringLiteral("End Table");
inline const QString EndField = QStringLiteral("End Field");
inline const QString EndsInTable = QStringLiteral("Ends In Table");
inline const QString RelationshipType = QStringLiteral("Relationship Type");
} // namespace RelationshipKey

// The keys of the stored user and group accounts.
namespace AccountKey {
inline const QString &Name = DesignKey::Name;
inline const QString Group = QStringLiteral("Group");
inline const QString Email = QStringLiteral("Email");
inline const QString Image = QStringLiteral("Image");
inline const QString Password = QStringLiteral("Password");
inline const QString Permissions = QStringLiteral("Permissions");
// The rights per section of the mode list ("Tables" … "Scripts").
inline const QString Sections = QStringLiteral("ClassDefaultPermissions");
// Inside "Permissions": whether the account administers the document.
inline const QString Admin = QStringLiteral("Admin");
} // namespace AccountKey

namespace DesignVocabulary {
// "<null>", "(null)" and "" all mean no value wherever a cell, an id or a link list is read.
bool isNullLike(const QString &text);

// A new field of the design editor: every key with its neutral value.
Value blankField(const QString &name = QString(), const QString &type = Datatypes::name(Datatype::Text));
// The key field every table starts with.
Value idField();
} // namespace DesignVocabulary
