// Base64 over Qt's codec with the strict options the stored form needs.
#include "Base64.h"

QString Base64::encode(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toBase64());
}

std::optional<QByteArray> Base64::decode(const QString &text)
{
    auto result = QByteArray::fromBase64Encoding(text.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!result)
        return std::nullopt;
    return result.decoded;
}

QByteArray Base64::decodeOrEmpty(const QString &text)
{
    return decode(text).value_or(QByteArray());
}
