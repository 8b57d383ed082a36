// LMContactCard: the user's own contact card for the "MY" report variable, read from a vCard file.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

struct LMContactCard {
    QString firstName;
    QString lastName;
    QString organization;
    QString jobTitle;
    QStringList emails;
    QStringList urls;
    struct Address {
        QString street, city, state, postalCode, country;
    };
    QList<Address> addresses;

    // The preference naming the vCard file that stands for the user's own card.
    static QString preferenceKey();
    // The card of the file the preference names (or the file set for this run); none when it is unset,
    // unreadable or holds no card.
    static std::optional<LMContactCard> myCard();
    // A card file for this run only, ahead of the preference (tools); empty returns to the preference.
    static void setCardFile(const QString &path);
    // The first card of a vCard text (versions 2.1 to 4.0); none when there is no card.
    static std::optional<LMContactCard> fromVCard(const QString &text);
    static std::optional<LMContactCard> fromFile(const QString &path);

    // One field by the name a report gives it ("Name", "City", "Email address", "Post code" ...); "" for no
    // match or no value.
    QString valueForKey(const QString &key) const;
    // The first address as lines: street; city, state and postal code; country (empty parts left out).
    QString formattedAddress() const;
};
