// LMContactCard: a small vCard reader and the field lookup of the "MY" variable.
#include "LMContactCard.h"

#include "OXFormulaText.h"
#include "Preferences.h"

#include <QFile>

QString LMContactCard::preferenceKey()
{
    return QStringLiteral("LMMyCardPath");
}

namespace {
QString &cardFileOverride()
{
    static QString path;
    return path;
}
} // namespace

void LMContactCard::setCardFile(const QString &path)
{
    cardFileOverride() = path;
}

std::optional<LMContactCard> LMContactCard::myCard()
{
    const QString path =
        cardFileOverride().isEmpty() ? Preferences::instance().stringValue(preferenceKey()) : cardFileOverride();
    if (path.isEmpty())
        return std::nullopt;
    return fromFile(path);
}

std::optional<LMContactCard> LMContactCard::fromFile(const QString &path)
{
    QFile file(path);
    // A card is small; a huge file is not one.
    if (!file.open(QIODevice::ReadOnly) || file.size() > 1 << 20)
        return std::nullopt;
    return fromVCard(QString::fromUtf8(file.readAll()));
}

namespace {
// Undoes vCard escapes: "\n", "\,", "\;", "\\".
QString unescaped(const QString &text)
{
    QString out;
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('\\') && i + 1 < text.size()) {
            const QChar next = text.at(++i);
            out += (next == QLatin1Char('n') || next == QLatin1Char('N')) ? QChar(QLatin1Char('\n')) : next;
        } else {
            out += text.at(i);
        }
    }
    return out;
}

// Splits a structured value at ";" that are not escaped, and unescapes each part.
QStringList components(const QString &value)
{
    QStringList parts;
    QString current;
    for (int i = 0; i < value.size(); ++i) {
        if (value.at(i) == QLatin1Char('\\') && i + 1 < value.size()) {
            current += value.at(i);
            current += value.at(++i);
        } else if (value.at(i) == QLatin1Char(';')) {
            parts << unescaped(current);
            current.clear();
        } else {
            current += value.at(i);
        }
    }
    parts << unescaped(current);
    return parts;
}

// Lines with folded continuations (a leading blank or tab) joined back.
QStringList unfoldedLines(const QString &text)
{
    QStringList lines;
    for (QString line : text.split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if ((line.startsWith(QLatin1Char(' ')) || line.startsWith(QLatin1Char('\t'))) && !lines.isEmpty())
            lines.last() += line.mid(1);
        else
            lines << line;
    }
    return lines;
}
} // namespace

std::optional<LMContactCard> LMContactCard::fromVCard(const QString &text)
{
    LMContactCard card;
    bool inCard = false;
    bool found = false;
    for (const QString &line : unfoldedLines(text)) {
        const int colon = line.indexOf(QLatin1Char(':'));
        if (colon < 0)
            continue;
        // "item1.EMAIL;TYPE=work" -> "EMAIL"
        QString name = line.left(colon).section(QLatin1Char(';'), 0, 0).toUpper();
        name = name.section(QLatin1Char('.'), -1);
        const QString value = line.mid(colon + 1);
        if (name == QLatin1String("BEGIN") &&
            value.trimmed().compare(QLatin1String("VCARD"), Qt::CaseInsensitive) == 0) {
            inCard = true;
            found = true;
        } else if (name == QLatin1String("END")) {
            if (inCard)
                break;
        } else if (!inCard) {
            continue;
        } else if (name == QLatin1String("N")) {
            const QStringList parts = components(value);
            card.lastName = parts.value(0);
            card.firstName = parts.value(1);
        } else if (name == QLatin1String("ORG")) {
            card.organization = components(value).value(0);
        } else if (name == QLatin1String("TITLE")) {
            card.jobTitle = unescaped(value);
        } else if (name == QLatin1String("EMAIL")) {
            card.emails << unescaped(value).trimmed();
        } else if (name == QLatin1String("URL")) {
            card.urls << unescaped(value).trimmed();
        } else if (name == QLatin1String("ADR")) {
            // post office box; extended address; street; locality; region; postal code; country
            const QStringList parts = components(value);
            card.addresses << Address{parts.value(2), parts.value(3), parts.value(4), parts.value(5), parts.value(6)};
        }
    }
    if (!found)
        return std::nullopt;
    return card;
}

QString LMContactCard::formattedAddress() const
{
    if (addresses.isEmpty())
        return QString();
    const Address &a = addresses.first();
    QStringList lines;
    const auto add = [&](const QString &line) {
        if (!line.trimmed().isEmpty())
            lines << line.trimmed();
    };
    add(a.street);
    QString locality = a.city;
    if (!a.state.isEmpty())
        locality += (locality.isEmpty() ? QString() : QStringLiteral(", ")) + a.state;
    if (!a.postalCode.isEmpty())
        locality += (locality.isEmpty() ? QString() : QStringLiteral(" ")) + a.postalCode;
    add(locality);
    add(a.country);
    return lines.join(QLatin1Char('\n'));
}

QString LMContactCard::valueForKey(const QString &key) const
{
    const auto is = [&](std::initializer_list<const char *> patterns) {
        for (const char *p : patterns)
            if (OXFormulaText::wildcardMatches(QLatin1String(p), key))
                return true;
        return false;
    };
    const Address address = addresses.value(0);
    if (is({"Name"}))
        return firstName + QLatin1Char(' ') + lastName;
    if (is({"First Name"}))
        return firstName;
    if (is({"Surname", "Last Name"}))
        return lastName;
    if (is({"Street", "Road"}))
        return address.street;
    if (is({"Town", "City"}))
        return address.city;
    if (is({"State", "County"}))
        return address.state;
    if (is({"Country"}))
        return address.country;
    if (is({"Post*", "ZIP*"}))
        return address.postalCode;
    if (is({"Address"}))
        return formattedAddress();
    if (is({"Email*"}))
        return emails.value(0);
    if (is({"*Site*"}))
        return urls.value(0);
    if (is({"Company", "Company Name", "Organi?ation"}))
        return organization;
    if (is({"Job", "Job*"}))
        return jobTitle;
    return QString();
}
