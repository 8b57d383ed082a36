// Datatype conversion: numbers, booleans, "date:seconds" date texts and X'<Base64>' containers.
#include "QLiteConversion.h"

#include "Base64.h"
#include "QLiteConstants.h"
#include "ReferenceDate.h"

#include <QDateTime>
#include <QRegularExpression>

namespace {
// Date texts are the minute part and the seconds after the last ":", e.g. "2005-03-04 10:20:30.5";
// the seconds may carry a zone offset ("30 +0200").
std::optional<Value> parseDate(const QString &text)
{
    const int colon = text.lastIndexOf(QLatin1Char(':'));
    if (colon < 0)
        return std::nullopt;
    const QString minutes = text.left(colon).trimmed();
    QDateTime date;
    for (const char *format : {"yyyy-MM-dd HH:mm", "yyyy-MM-ddTHH:mm", "yyyy/MM/dd HH:mm"}) {
        date = QDateTime::fromString(minutes, QLatin1String(format));
        if (date.isValid())
            break;
    }
    if (!date.isValid())
        return std::nullopt;
    date.setTimeSpec(Qt::UTC);
    static const QRegularExpression secondsPattern(
        QStringLiteral("^\\s*([0-9]+(?:\\.[0-9]*)?)\\s*(?:([+-])([0-9]{2})([0-9]{2}))?\\s*$"));
    const QRegularExpressionMatch m = secondsPattern.match(text.mid(colon + 1));
    if (!m.hasMatch())
        return std::nullopt;
    double seconds = ReferenceDate::fromDateTime(date) + m.captured(1).toDouble();
    if (m.capturedLength(2)) {
        const double offset = m.captured(3).toInt() * 3600.0 + m.captured(4).toInt() * 60.0;
        seconds += m.captured(2) == QLatin1String("+") ? -offset : offset;
    }
    return Value::date(seconds);
}
} // namespace

namespace QLite {

bool datatypeNeedsConversion(const QString &datatype)
{
    return datatype == QLNumber || datatype == QLBoolean || datatype == QLDateTime || datatype == QLContainer ||
           datatype.compare(QLRecordUIDDatatype, Qt::CaseInsensitive) == 0;
}

Value valueForDatatype(const QString &datatype, const QString &text)
{
    if (datatype == QLNumber || datatype.compare(QLRecordUIDDatatype, Qt::CaseInsensitive) == 0)
        return Value(Value(text).toDouble());
    if (datatype == QLBoolean)
        return Value(Value(text).toInt());
    if (datatype == QLDateTime)
        return parseDate(text).value_or(Value(text));
    if (datatype == QLContainer) {
        if (!text.contains(QLatin1String("X'")) || text.size() < 3)
            return Value(text);
        return Value(Base64::decodeOrEmpty(text.mid(2, text.size() - 3)));
    }
    return Value(text);
}

QString storedText(const Value &value)
{
    switch (value.type()) {
    case Value::Type::Null: return QString();
    case Value::Type::String: return value.toString();
    case Value::Type::Data: return QStringLiteral("X'") + Base64::encode(value.toData()) + QLatin1Char('\'');
    case Value::Type::Date: {
        const QDateTime date = value.toDateTime().toUTC();
        const QDateTime minute = date.addSecs(-date.time().second()).addMSecs(-date.time().msec());
        const double seconds = value.toDate() - ReferenceDate::fromDateTime(minute);
        return minute.toString(QStringLiteral("yyyy-MM-dd HH:mm:")) + Value::numberText(seconds);
    }
    default: return value.stringValue().isEmpty() ? value.description() : value.stringValue();
    }
}

} // namespace QLite
