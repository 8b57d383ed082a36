// DesignVocabulary: the datatype names and the field templates.
#include "DesignVocabulary.h"

namespace Datatypes {
const QStringList &names()
{
    static const QStringList all{
        QStringLiteral("Primary Key"), QStringLiteral("Text"),       QStringLiteral("Number"),
        QStringLiteral("Date"),        QStringLiteral("Yes/No"),     QStringLiteral("Image"),
        QStringLiteral("Audio"),       QStringLiteral("Video"),      QStringLiteral("List"),
        QStringLiteral("Options"),     QStringLiteral("Attachment"), QStringLiteral("File Path"),
        QStringLiteral("Relationship")};
    return all;
}

QString name(Datatype type)
{
    return type == Datatype::Unknown ? QString() : names().at(int(type));
}

Datatype fromName(const QString &name)
{
    const int index = int(names().indexOf(name));
    return index < 0 ? Datatype::Unknown : Datatype(index);
}

bool isMedia(Datatype type)
{
    return type == Datatype::Image || type == Datatype::Audio || type == Datatype::Video ||
           type == Datatype::Attachment;
}

bool isMedia(const QString &name)
{
    return isMedia(fromName(name));
}
} // namespace Datatypes

namespace DesignVocabulary {
bool isNullLike(const QString &text)
{
    return text.isEmpty() || text == QLatin1String("<null>") || text == QLatin1String("(null)");
}

Value blankField(const QString &name, const QString &type)
{
    return Value::dict({{DesignKey::Name, name},
                        {DesignKey::Type, type},
                        {DesignKey::PrimaryKey, false},
                        {DesignKey::Unique, false},
                        {DesignKey::NotNull, false},
                        {DesignKey::Default, QString()},
                        {DesignKey::Check, QString()},
                        {DesignKey::Regex, QString()},
                        {DesignKey::Format, QString()},
                        {DesignKey::YesValue, QStringLiteral("Yes")},
                        {DesignKey::NoValue, QStringLiteral("No")}});
}

Value idField()
{
    return Value::dict({{DesignKey::Name, DesignKey::IdFieldName},
                        {DesignKey::Type, Datatypes::name(Datatype::PrimaryKey)},
                        {DesignKey::Unique, true},
                        {DesignKey::NotNull, true},
                        {DesignKey::Default, QString()},
                        {DesignKey::Check, QString()},
                        {DesignKey::Regex, QString()},
                        {DesignKey::Format, QString()},
                        {DesignKey::YesValue, QStringLiteral("Yes")},
                        {DesignKey::NoValue, QStringLiteral("No")}});
}
} // namespace DesignVocabulary
