// LMTableDesignRules: the fixed vocabulary of the table design editor (datatype pop-up indexes, new and "id"
// fields, which datatype changes lose data, untitled names, number format patterns, the editor's texts).
#pragma once

#include "Alert.h"
#include "Value.h"

#include <QLocale>
#include <QString>
#include <QStringList>

namespace LMTableDesignRules {
// Pop-up index of a datatype (0 "Primary Key" … 12 "Relationship"); -1 for a name outside the set.
int typeToNumber(const QString &datatype);
// Datatype at a pop-up index; a null string for an index outside 0…12.
QString numberToType(int index);
// The pop-up's titles in index order.
const QStringList &popUpTitles();

// A field as the editor adds it, and the "id" field every table starts with.

// What a datatype change of a column that already holds data asks.
enum class TypeChange { Free, DeletesData, NonReversible };
TypeChange classifyTypeChange(const QString &oldType, const QString &newType, bool columnExists);

// The first "untitled %d" (n from 1 while below 999999) that no name in `taken` equals exactly; null when
// every one is taken.
QString untitledTableName(const QStringList &taken);

// The number format menu: "None", "Decimal", "Comma", "Currency", "Percent".
const QStringList &formatMenuTitles();
// The ICU pattern a format menu title stands for ("" for "None"; null for an unknown title). "Currency"
// carries the locale's currency symbol quoted in place of the currency placeholder.
QString formatPatternForMenuTitle(const QString &title, const QLocale &locale = QLocale());

// Bound operators of "Number" fields; "x" (no bound) first.
const QStringList &boundOperators();

// The editor's alerts.
Alert deletesDataAlert();
Alert nonReversibleAlert();
Alert removeFieldAlert();
Alert createFormAlert();
Alert tableNotDeletedAlert();
} // namespace LMTableDesignRules
