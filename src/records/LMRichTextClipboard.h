// LMRichTextClipboard: plain text to RTF and back, for cells copied to and pasted from other programs.
#pragma once

#include <QByteArray>
#include <QString>

namespace LMRichTextClipboard {
inline const QString rtfMimeType = QStringLiteral("text/rtf");
// A minimal RTF document showing `text` (non-ASCII characters as \u escapes, line breaks as \par).
QByteArray rtfFromPlainText(const QString &text);
// The text of an RTF document: control words dropped, \par and \line as line breaks, \u and \'hh decoded,
// destination groups ({\*…}, font and colour tables, pictures) skipped.
QString plainTextFromRtf(const QByteArray &rtf);
} // namespace LMRichTextClipboard
