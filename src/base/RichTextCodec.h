// RichTextCodec: a rich-text document as a stored value ("Attributed String" of reports, form titles, templates).
#pragma once

#include "Value.h"

#include <QString>

class QTextDocument;

// Stored form, version 1: a dictionary of plain values only, so it survives binary and XML property lists,
// the keyed archive and JSON unchanged.
//
//   "Rich Text Version"  1; a reader refuses any other version
//   "Formats"            array of format dictionaries; everything below names its format by index here
//   "Lists"              array of format indexes, one per list; a paragraph names its list by index here
//   "Blocks"             array of elements: the document's body in order
//   "Images"             (optional) dictionary image name -> PNG data, for the image runs
//
// An element is a paragraph or a table:
//   paragraph  {"Format": n, "Character Format": n, "List": n, "Runs": [{"Text": "...", "Format": n}, ...]}
//              "Character Format" (the format of an empty paragraph's end) is left out for the first paragraph
//              of a table cell, whose end format is the cell's; "List" is left out outside lists.
//   table      {"Table": n, "Rows": r, "Columns": c, "Cells": [...]}: exactly r x c cells, row by row; a cell is
//              {"Format": n, "Row Span": s, "Column Span": s, "Blocks": [elements]}, and a position covered by a
//              merged cell is an empty dictionary.
// A table is always followed by a paragraph (the document's own rule), so a reader never has to invent one.
//
// A format dictionary holds only the properties that are set, under fixed English names (see RichTextFormats.cpp):
// reals for sizes in points, integers for Qt 6 enumeration values (alignment, weight, underline style...),
// colours as "#rrggbb", "#rrggbbaa" or, when 8 bits per channel cannot hold them exactly, "#rrrrggggbbbbaaaa";
// brushes as a colour, or {"Color", "Pattern"} for a non-solid pattern; lengths as {"Type", "Value"} with the
// type "Fixed", "Percentage" or "Variable". Unknown names are ignored, so later versions may add properties.
// Text is UTF-16 as stored, so characters outside the BMP, form feeds and line separators stay as they are.
// Frames other than tables keep their contents but not their own format. Reading is strict: a structural fault
// empties the document and reports an error; the work is bounded even when shared references repeat a subtree.
namespace RichTextCodec {
Value encode(const QTextDocument &document);
// Replaces the contents of the document. On failure the document is left empty and *error says why.
bool decode(const Value &stored, QTextDocument &document, QString *error = nullptr);

// The characters of a stored document, one line per paragraph (table cells included), without building it:
// what quick search matches. Empty for a malformed value.
QString plainText(const Value &stored);
// True when the stored text contains the given text, ignoring case (an empty text is contained in anything).
bool containsText(const Value &stored, const QString &text);
} // namespace RichTextCodec
