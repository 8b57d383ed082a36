// OXRegexSettings: the find panel's regular-expression syntax and options, kept in the user defaults.
#pragma once

#include "HVICURegex.h"

#include <QString>
#include <QStringList>

namespace OXRegexSettings {
// "OXFF Syntax Type"; its value is one of syntaxTitles().
QString syntaxKey();
// The titles of the syntax menu, "Ruby (default)" first.
const QStringList &syntaxTitles();
// The titles of the "Regex Options" menu, each also its key in the user defaults.
const QStringList &optionTitles();

// Registers the defaults: Ruby, dot without newlines, ^ and $ at line boundaries, no free spacing, empty
// matches ignored, numbered groups captured.
void registerDefaults();

// The stored syntax; anything unknown, missing or empty is Ruby.
HVICURegex::Syntax syntax();
QString syntaxTitle();
// Stores a syntax by its menu title.
void setSyntaxTitle(const QString &title);

bool option(const QString &title);
void setOption(const QString &title, bool on);
// The compile options of the stored settings, with case folding when `ignoreCase` is on.
unsigned regexOptions(bool ignoreCase);
} // namespace OXRegexSettings
