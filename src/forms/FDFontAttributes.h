// FDFontAttributes: the font of a control's text (family, size, bold, italic, colour) as its stored attributes.
#pragma once

#include "Value.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <optional>

class QWidget;

struct FDFontAttributes {
    // The attributes a font is stored in on a control; a shape keeps its font in its title's formats instead.
    static inline const QString kFamily = QStringLiteral("Font Family");
    static inline const QString kSize = QStringLiteral("Font Size");
    static inline const QString kBold = QStringLiteral("Font Bold");
    static inline const QString kItalic = QStringLiteral("Font Italic");
    static inline const QString kColor = QStringLiteral("Text Color");
    static constexpr double kDefaultSize = 13.0;

    // Which parts an edit changes, so that changing one part of several controls leaves their other parts.
    enum Field { Family = 1, Size = 2, Bold = 4, Italic = 8, Color = 16, AllFields = 31 };

    QString family; // empty: the system font
    double size = kDefaultSize;
    bool bold = false;
    bool italic = false;
    std::optional<QColor> color; // none: the standard text colour

    // Whether controls of a stored class show text whose font the user can choose.
    static bool hasFont(const QString &className);
    // Whether a control (other than a shape) stores any part of a font; one that does not keeps the widget's own.
    static bool storesFont(const Value &control);
    // The font of a control as stored (defaults for parts it does not store).
    static FDFontAttributes of(const Value &control);
    // The control with the given parts of `font` written into it; other controls come back unchanged.
    static Value applied(const Value &control, const FDFontAttributes &font, int fields);

    QFont qfont(const QFont &base) const;
    // Shows the font and colour on a control's widget.
    void applyTo(QWidget *widget) const;

    bool operator==(const FDFontAttributes &o) const
    {
        return family == o.family && size == o.size && bold == o.bold && italic == o.italic && color == o.color;
    }
};
