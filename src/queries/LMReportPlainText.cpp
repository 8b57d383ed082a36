// LMReportPlainText: one place that turns a stored report text into characters for searching.
#include "LMReportPlainText.h"

#include "RichTextCodec.h"

#include <QTextDocument>

QString LMReportPlainText::plainText(const Value &attributedString)
{
    if (attributedString.isDict())
        return RichTextCodec::plainText(attributedString);
    if (attributedString.isString())
        return attributedString.toString();
    if (attributedString.isObject()) {
        const Value attributes = attributedString.attributes();
        for (const char *key : {"NSString", "String", "string"}) {
            const Value text = attributes.value(QString::fromLatin1(key));
            if (text.isString())
                return text.toString();
        }
        return QString();
    }
    if (attributedString.isData()) {
        const QString text = QString::fromUtf8(attributedString.toData());
        if (Qt::mightBeRichText(text)) {
            QTextDocument document;
            document.setHtml(text);
            return document.toPlainText();
        }
        return text;
    }
    return QString();
}
