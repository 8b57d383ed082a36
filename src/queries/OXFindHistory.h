// OXFindHistory: the find panel's "History" menu: three fixed items, then the last ten find strings.
#pragma once

#include <QList>
#include <QString>

class OXFindHistory {
public:
    struct Item {
        QString title;
        int tag = 0; // remembered strings: 1 when found as a regular expression, else 0; "Clear Menu": -1
        bool separator = false;
    };
    static constexpr int kFixedItems = 3;
    static constexpr int kMaxItems = 13;

    OXFindHistory();

    const QList<Item> &items() const { return m_items; }
    // The remembered find strings, newest first.
    QStringList remembered() const;
    // Inserts a find string below the fixed items unless it is already there or is "Clear Menu"; the oldest
    // goes when there are more than ten.
    void add(const QString &findString, bool regex);
    // "Clear Menu": forgets every remembered string.
    void clear();
    // What choosing item `index` restores: its title and the regular-expression switch; false for a fixed item.
    bool choose(int index, QString *findString, bool *regex) const;

private:
    QList<Item> m_items;
};
