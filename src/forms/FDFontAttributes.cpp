// FDFontAttributes: plain attributes on text controls; on a shape the character format of its whole title.
#include "FDFontAttributes.h"

#include "ArchivedColor.h"
#include "FDKeys.h"
#include "FDSerializationServices.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QWidget>

using namespace FDKeys;

namespace {
bool isShape(const Value &control)
{
    return control.isObject() && control.className() == kShape;
}

// The title's format at its start (the format new text takes when the title is empty).
QTextCharFormat titleFormat(const Value &title)
{
    QTextDocument document;
    FDSerializationServices::unserializeAttributedString(title, document);
    QTextCursor cursor(&document);
    if (!document.isEmpty())
        cursor.movePosition(QTextCursor::NextCharacter);
    return cursor.charFormat();
}

Value retitled(const Value &title, const FDFontAttributes &font, int fields)
{
    QTextDocument document;
    FDSerializationServices::unserializeAttributedString(title, document);
    QTextCharFormat change;
    if (fields & FDFontAttributes::Family)
        change.setFontFamilies(font.family.isEmpty() ? QStringList() : QStringList{font.family});
    if (fields & FDFontAttributes::Size)
        change.setFontPointSize(font.size);
    if (fields & FDFontAttributes::Bold)
        change.setFontWeight(font.bold ? QFont::Bold : QFont::Normal);
    if (fields & FDFontAttributes::Italic)
        change.setFontItalic(font.italic);
    if ((fields & FDFontAttributes::Color) && font.color)
        change.setForeground(*font.color);
    QTextCursor cursor(&document);
    cursor.select(QTextCursor::Document);
    cursor.mergeCharFormat(change);
    cursor.mergeBlockCharFormat(change);
    if ((fields & FDFontAttributes::Color) && !font.color) {
        // Back to the standard colour: the foreground is taken off every run rather than set to something.
        QList<std::pair<int, int>> runs;
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
            for (auto it = block.begin(); !it.atEnd(); ++it)
                runs.append({it.fragment().position(), it.fragment().length()});
        for (const auto &[position, length] : runs) {
            QTextCursor run(&document);
            run.setPosition(position);
            run.setPosition(position + length, QTextCursor::KeepAnchor);
            QTextCharFormat format = run.charFormat();
            format.clearForeground();
            run.setCharFormat(format);
        }
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
            QTextCharFormat format = block.charFormat();
            format.clearForeground();
            QTextCursor(block).setBlockCharFormat(format);
        }
    }
    return FDSerializationServices::serializeAttributedString(document);
}
} // namespace

bool FDFontAttributes::storesFont(const Value &control)
{
    if (!control.isObject() || isShape(control))
        return false;
    const Value a = control.attributes();
    for (const QString &key : {kFamily, kSize, kBold, kItalic, kColor})
        if (a.contains(key))
            return true;
    return false;
}

bool FDFontAttributes::hasFont(const QString &className)
{
    static const QStringList classes = {kTextField,  kTokenField, kTextView,   kPopUpButton, kFormPopUp,
                                        kDatePicker, kButton,     kRadioGroup, kSegmented,   kShape};
    return classes.contains(className);
}

FDFontAttributes FDFontAttributes::of(const Value &control)
{
    FDFontAttributes font;
    if (!control.isObject())
        return font;
    const Value a = control.attributes();
    if (isShape(control)) {
        const QTextCharFormat format = titleFormat(a.value(kTitle));
        const QStringList families = format.fontFamilies().toStringList();
        font.family = families.isEmpty() ? QString() : families.first();
        if (format.hasProperty(QTextFormat::FontPointSize))
            font.size = format.fontPointSize();
        font.bold = format.fontWeight() >= QFont::DemiBold;
        font.italic = format.fontItalic();
        if (format.hasProperty(QTextFormat::ForegroundBrush))
            font.color = format.foreground().color();
        return font;
    }
    font.family = a.value(kFamily).toString();
    const double size = a.value(kSize).toDouble();
    // A size that is no sensible point size reads as the standard one.
    font.size = size >= 1 && size <= 1000 ? size : kDefaultSize;
    font.bold = a.value(kBold).toBool();
    font.italic = a.value(kItalic).toBool();
    if (a.contains(kColor))
        font.color = ArchivedColor::fromValue(a.value(kColor));
    return font;
}

Value FDFontAttributes::applied(const Value &control, const FDFontAttributes &font, int fields)
{
    if (!control.isObject() || !hasFont(control.className()))
        return control;
    Value attributes = control.attributes().deepCopy();
    if (isShape(control)) {
        attributes.set(kTitle, retitled(attributes.value(kTitle), font, fields));
        return Value::object(control.className(), attributes);
    }
    if (fields & Family) {
        if (font.family.isEmpty())
            attributes.remove(kFamily);
        else
            attributes.set(kFamily, font.family);
    }
    if (fields & Size)
        attributes.set(kSize, qBound(1.0, font.size, 1000.0));
    if (fields & Bold)
        attributes.set(kBold, font.bold);
    if (fields & Italic)
        attributes.set(kItalic, font.italic);
    if (fields & Color) {
        if (font.color)
            attributes.set(kColor, ArchivedColor::toValue(*font.color));
        else
            attributes.remove(kColor);
    }
    return Value::object(control.className(), attributes);
}

QFont FDFontAttributes::qfont(const QFont &base) const
{
    QFont font = base;
    if (!family.isEmpty())
        font.setFamilies({family});
    // Form coordinates are points drawn one to a pixel, so the text size is too.
    font.setPixelSize(qMax(1, qRound(size)));
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

void FDFontAttributes::applyTo(QWidget *widget) const
{
    if (!widget)
        return;
    widget->setFont(qfont(widget->font()));
    if (color) {
        QPalette palette = widget->palette();
        for (QPalette::ColorRole role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText})
            palette.setColor(role, *color);
        widget->setPalette(palette);
    }
}
