// RichTextFormats: one table of the stored property names, each with the Qt property and the kind of its value.
#include "RichTextFormats.h"

#include <QBrush>
#include <QColor>
#include <QTextLength>
#include <QTextOption>
#include <climits>
#include <cmath>

namespace {

enum class Kind { Bool, Int, Real, String, Strings, Color, Brush, Length, Lengths, Tabs, Image };

struct Property {
    const char *name;
    QTextFormat::Property id;
    Kind kind;
};

// The stored names are part of the file format: never rename one, only add.
constexpr Property properties[] = {
    // characters
    {"Font Families", QTextFormat::FontFamilies, Kind::Strings},
    {"Font Style Name", QTextFormat::FontStyleName, Kind::String},
    {"Font Point Size", QTextFormat::FontPointSize, Kind::Real},
    {"Font Pixel Size", QTextFormat::FontPixelSize, Kind::Int},
    {"Font Size Adjustment", QTextFormat::FontSizeAdjustment, Kind::Int},
    {"Font Weight", QTextFormat::FontWeight, Kind::Int},
    {"Italic", QTextFormat::FontItalic, Kind::Bool},
    {"Underline", QTextFormat::FontUnderline, Kind::Bool},
    {"Underline Style", QTextFormat::TextUnderlineStyle, Kind::Int},
    {"Underline Color", QTextFormat::TextUnderlineColor, Kind::Color},
    {"Overline", QTextFormat::FontOverline, Kind::Bool},
    {"Strike Out", QTextFormat::FontStrikeOut, Kind::Bool},
    {"Fixed Pitch", QTextFormat::FontFixedPitch, Kind::Bool},
    {"Capitalization", QTextFormat::FontCapitalization, Kind::Int},
    {"Letter Spacing", QTextFormat::FontLetterSpacing, Kind::Real},
    {"Letter Spacing Type", QTextFormat::FontLetterSpacingType, Kind::Int},
    {"Word Spacing", QTextFormat::FontWordSpacing, Kind::Real},
    {"Font Stretch", QTextFormat::FontStretch, Kind::Int},
    {"Font Style Hint", QTextFormat::FontStyleHint, Kind::Int},
    {"Font Style Strategy", QTextFormat::FontStyleStrategy, Kind::Int},
    {"Kerning", QTextFormat::FontKerning, Kind::Bool},
    {"Hinting Preference", QTextFormat::FontHintingPreference, Kind::Int},
    {"Vertical Alignment", QTextFormat::TextVerticalAlignment, Kind::Int},
    {"Superscript Baseline", QTextFormat::TextSuperScriptBaseline, Kind::Real},
    {"Subscript Baseline", QTextFormat::TextSubScriptBaseline, Kind::Real},
    {"Baseline Offset", QTextFormat::TextBaselineOffset, Kind::Real},
    {"Tool Tip", QTextFormat::TextToolTip, Kind::String},
    {"Anchor", QTextFormat::IsAnchor, Kind::Bool},
    {"Link", QTextFormat::AnchorHref, Kind::String},
    {"Anchor Names", QTextFormat::AnchorName, Kind::Strings},
    {"Object", QTextFormat::ObjectType, Kind::Image},
    {"Image Name", QTextFormat::ImageName, Kind::String},
    {"Image Title", QTextFormat::ImageTitle, Kind::String},
    {"Image Alt Text", QTextFormat::ImageAltText, Kind::String},
    {"Image Width", QTextFormat::ImageWidth, Kind::Real},
    {"Image Height", QTextFormat::ImageHeight, Kind::Real},
    {"Image Quality", QTextFormat::ImageQuality, Kind::Int},
    // characters and paragraphs
    {"Foreground", QTextFormat::ForegroundBrush, Kind::Brush},
    {"Background", QTextFormat::BackgroundBrush, Kind::Brush},
    {"Background Image", QTextFormat::BackgroundImageUrl, Kind::String},
    {"Layout Direction", QTextFormat::LayoutDirection, Kind::Int},
    {"Float", QTextFormat::CssFloat, Kind::Int},
    {"Page Break Policy", QTextFormat::PageBreakPolicy, Kind::Int},
    // paragraphs
    {"Alignment", QTextFormat::BlockAlignment, Kind::Int},
    {"Space Before", QTextFormat::BlockTopMargin, Kind::Real},
    {"Space After", QTextFormat::BlockBottomMargin, Kind::Real},
    {"Left Margin", QTextFormat::BlockLeftMargin, Kind::Real},
    {"Right Margin", QTextFormat::BlockRightMargin, Kind::Real},
    {"First Line Indent", QTextFormat::TextIndent, Kind::Real},
    {"Indent", QTextFormat::BlockIndent, Kind::Int},
    {"Line Height", QTextFormat::LineHeight, Kind::Real},
    {"Line Height Type", QTextFormat::LineHeightType, Kind::Int},
    {"Tab Positions", QTextFormat::TabPositions, Kind::Tabs},
    {"Non-Breakable Lines", QTextFormat::BlockNonBreakableLines, Kind::Bool},
    {"Horizontal Rule Width", QTextFormat::BlockTrailingHorizontalRulerWidth, Kind::Length},
    {"Heading Level", QTextFormat::HeadingLevel, Kind::Int},
    {"Quote Level", QTextFormat::BlockQuoteLevel, Kind::Int},
    {"Code Language", QTextFormat::BlockCodeLanguage, Kind::String},
    {"Marker", QTextFormat::BlockMarker, Kind::Int},
    // lists
    {"List Style", QTextFormat::ListStyle, Kind::Int},
    {"List Indent", QTextFormat::ListIndent, Kind::Int},
    {"Number Prefix", QTextFormat::ListNumberPrefix, Kind::String},
    {"Number Suffix", QTextFormat::ListNumberSuffix, Kind::String},
    // tables (and frames)
    {"Border", QTextFormat::FrameBorder, Kind::Real},
    {"Border Brush", QTextFormat::FrameBorderBrush, Kind::Brush},
    {"Border Style", QTextFormat::FrameBorderStyle, Kind::Int},
    {"Margin", QTextFormat::FrameMargin, Kind::Real},
    {"Top Margin", QTextFormat::FrameTopMargin, Kind::Real},
    {"Bottom Margin", QTextFormat::FrameBottomMargin, Kind::Real},
    {"Frame Left Margin", QTextFormat::FrameLeftMargin, Kind::Real},
    {"Frame Right Margin", QTextFormat::FrameRightMargin, Kind::Real},
    {"Padding", QTextFormat::FramePadding, Kind::Real},
    {"Width", QTextFormat::FrameWidth, Kind::Length},
    {"Height", QTextFormat::FrameHeight, Kind::Length},
    {"Column Widths", QTextFormat::TableColumnWidthConstraints, Kind::Lengths},
    {"Cell Spacing", QTextFormat::TableCellSpacing, Kind::Real},
    {"Cell Padding", QTextFormat::TableCellPadding, Kind::Real},
    {"Header Rows", QTextFormat::TableHeaderRowCount, Kind::Int},
    {"Border Collapse", QTextFormat::TableBorderCollapse, Kind::Bool},
    // table cells
    {"Cell Top Padding", QTextFormat::TableCellTopPadding, Kind::Real},
    {"Cell Bottom Padding", QTextFormat::TableCellBottomPadding, Kind::Real},
    {"Cell Left Padding", QTextFormat::TableCellLeftPadding, Kind::Real},
    {"Cell Right Padding", QTextFormat::TableCellRightPadding, Kind::Real},
    {"Cell Top Border", QTextFormat::TableCellTopBorder, Kind::Real},
    {"Cell Bottom Border", QTextFormat::TableCellBottomBorder, Kind::Real},
    {"Cell Left Border", QTextFormat::TableCellLeftBorder, Kind::Real},
    {"Cell Right Border", QTextFormat::TableCellRightBorder, Kind::Real},
    {"Cell Top Border Style", QTextFormat::TableCellTopBorderStyle, Kind::Int},
    {"Cell Bottom Border Style", QTextFormat::TableCellBottomBorderStyle, Kind::Int},
    {"Cell Left Border Style", QTextFormat::TableCellLeftBorderStyle, Kind::Int},
    {"Cell Right Border Style", QTextFormat::TableCellRightBorderStyle, Kind::Int},
    {"Cell Top Border Brush", QTextFormat::TableCellTopBorderBrush, Kind::Brush},
    {"Cell Bottom Border Brush", QTextFormat::TableCellBottomBorderBrush, Kind::Brush},
    {"Cell Left Border Brush", QTextFormat::TableCellLeftBorderBrush, Kind::Brush},
    {"Cell Right Border Brush", QTextFormat::TableCellRightBorderBrush, Kind::Brush},
};

// Colours: 8 bits per channel when that is exact ("#rrggbb", or "#rrggbbaa" when not opaque), else 16 bits.
QString colorText(const QColor &color)
{
    const QRgba64 c = color.toRgb().rgba64();
    const quint16 channels[4] = {c.red(), c.green(), c.blue(), c.alpha()};
    bool eightBits = true;
    for (quint16 v : channels)
        eightBits = eightBits && (v % 257 == 0);
    QString text = QStringLiteral("#");
    const int count = eightBits && c.alpha() == 0xffff ? 3 : 4;
    for (int i = 0; i < count; ++i)
        text += eightBits ? QStringLiteral("%1").arg(channels[i] / 257, 2, 16, QLatin1Char('0'))
                          : QStringLiteral("%1").arg(channels[i], 4, 16, QLatin1Char('0'));
    return text;
}

std::optional<QColor> colorFromText(const QString &text)
{
    const qsizetype length = text.size();
    if (!text.startsWith(u'#') || (length != 7 && length != 9 && length != 17))
        return std::nullopt;
    const int digits = length == 17 ? 4 : 2;
    quint16 channels[4] = {0, 0, 0, 0xffff};
    for (int i = 0; 1 + i * digits < length; ++i) {
        bool ok = false;
        const uint v = text.mid(1 + i * digits, digits).toUInt(&ok, 16);
        if (!ok)
            return std::nullopt;
        channels[i] = quint16(digits == 2 ? v * 257 : v);
    }
    return QColor(QRgba64::fromRgba64(channels[0], channels[1], channels[2], channels[3]));
}

const char *lengthTypes[] = {"Variable", "Fixed", "Percentage"};

Value lengthValue(const QTextLength &length)
{
    const int type = qBound(0, int(length.type()), 2);
    return Value::dict({{"Type", lengthTypes[type]}, {"Value", length.rawValue()}});
}

std::optional<QTextLength> lengthFromValue(const Value &v)
{
    const Value amount = v.value(QStringLiteral("Value"));
    if (!v.isDict() || !amount.isNumber() || !std::isfinite(amount.toDouble()))
        return std::nullopt;
    for (int type = 0; type < 3; ++type)
        if (v.value(QStringLiteral("Type")).toString() == QLatin1String(lengthTypes[type]))
            return QTextLength(QTextLength::Type(type), amount.toDouble());
    return std::nullopt;
}

Value brushValue(const QBrush &brush)
{
    if (brush.style() == Qt::SolidPattern)
        return colorText(brush.color());
    return Value::dict({{"Color", colorText(brush.color())}, {"Pattern", int(brush.style())}});
}

std::optional<QBrush> brushFromValue(const Value &v)
{
    if (v.isString()) {
        const std::optional<QColor> color = colorFromText(v.toString());
        return color ? std::optional<QBrush>(QBrush(*color)) : std::nullopt;
    }
    const std::optional<QColor> color = colorFromText(v.value(QStringLiteral("Color")).toString());
    const Value pattern = v.value(QStringLiteral("Pattern"));
    // Gradients and textures have no stored form; only the plain patterns come back.
    if (!color || !pattern.isInt() || pattern.toInt() < Qt::NoBrush || pattern.toInt() > Qt::DiagCrossPattern)
        return std::nullopt;
    return QBrush(*color, Qt::BrushStyle(pattern.toInt()));
}

Value encodeProperty(Kind kind, const QVariant &v)
{
    switch (kind) {
    case Kind::Bool: return v.toBool();
    case Kind::Int: return qint64(v.toInt());
    case Kind::Real: return v.toDouble();
    case Kind::String: return v.toString();
    case Kind::Strings: return v.toStringList();
    case Kind::Color: return colorText(v.value<QColor>());
    case Kind::Brush:
        return v.value<QBrush>().style() <= Qt::DiagCrossPattern ? brushValue(v.value<QBrush>()) : Value();
    case Kind::Length: return lengthValue(v.value<QTextLength>());
    case Kind::Lengths: {
        Value list = Value::array();
        for (const QVariant &length : v.toList())
            list.append(lengthValue(length.value<QTextLength>()));
        return list;
    }
    case Kind::Tabs: {
        Value list = Value::array();
        for (const QVariant &item : v.toList()) {
            const auto tab = item.value<QTextOption::Tab>();
            list.append(Value::dict({{"Position", tab.position},
                                     {"Type", int(tab.type)},
                                     {"Delimiter", tab.delimiter.isNull() ? QString() : QString(tab.delimiter)}}));
        }
        return list;
    }
    case Kind::Image: return v.toInt() == QTextFormat::ImageObject ? Value("Image") : Value();
    }
    return Value();
}

std::optional<QVariant> decodeProperty(Kind kind, const Value &v)
{
    switch (kind) {
    case Kind::Bool:
        if (v.isBool() || v.isInt())
            return QVariant(v.toBool());
        break;
    case Kind::Int:
        if (v.isInt() && v.toInt() >= INT_MIN && v.toInt() <= INT_MAX)
            return QVariant(int(v.toInt()));
        break;
    case Kind::Real:
        if (v.isNumber() && std::isfinite(v.toDouble()))
            return QVariant(v.toDouble());
        break;
    case Kind::String:
        if (v.isString())
            return QVariant(v.toString());
        break;
    case Kind::Strings:
        if (v.isArray() && v.toStringList().size() == v.size())
            return QVariant(v.toStringList());
        break;
    case Kind::Color:
        if (const std::optional<QColor> color = colorFromText(v.toString()))
            return QVariant(*color);
        break;
    case Kind::Brush:
        if (const std::optional<QBrush> brush = brushFromValue(v))
            return QVariant(*brush);
        break;
    case Kind::Length:
        if (const std::optional<QTextLength> length = lengthFromValue(v))
            return QVariant::fromValue(*length);
        break;
    case Kind::Lengths: {
        if (!v.isArray())
            break;
        // A list of variants, as QTextFormat::setProperty stores a list of lengths.
        QList<QVariant> lengths;
        for (const Value &item : v.toList()) {
            const std::optional<QTextLength> length = lengthFromValue(item);
            if (!length)
                return std::nullopt;
            lengths.append(QVariant::fromValue(*length));
        }
        return QVariant(lengths);
    }
    case Kind::Tabs: {
        if (!v.isArray())
            break;
        // Stored the way QTextBlockFormat::setTabPositions stores them, so the formats compare equal.
        QList<QVariant> tabs;
        for (const Value &item : v.toList()) {
            const Value position = item.value(QStringLiteral("Position"));
            const Value type = item.value(QStringLiteral("Type"));
            const QString delimiter = item.value(QStringLiteral("Delimiter")).toString();
            if (!position.isNumber() || !std::isfinite(position.toDouble()) || !type.isInt() || type.toInt() < 0 ||
                type.toInt() > QTextOption::DelimiterTab || delimiter.size() > 1)
                return std::nullopt;
            tabs.append(QVariant::fromValue(QTextOption::Tab(position.toDouble(), QTextOption::TabType(type.toInt()),
                                                             delimiter.isEmpty() ? QChar() : delimiter.at(0))));
        }
        return QVariant(tabs);
    }
    case Kind::Image:
        if (v.toString() == QLatin1String("Image"))
            return QVariant(int(QTextFormat::ImageObject));
        break;
    }
    return std::nullopt;
}

} // namespace

Value RichTextFormats::encode(const QTextFormat &format)
{
    Value dict = Value::dict();
    for (const Property &p : properties) {
        if (!format.hasProperty(p.id))
            continue;
        const Value v = encodeProperty(p.kind, format.property(p.id));
        if (!v.isNull())
            dict.set(QLatin1String(p.name), v);
    }
    return dict;
}

bool RichTextFormats::apply(const Value &stored, QTextFormat &format, QString *error)
{
    if (!stored.isDict()) {
        *error = QStringLiteral("a format is not a dictionary");
        return false;
    }
    for (const Property &p : properties) {
        const Value v = stored.value(QLatin1String(p.name));
        if (v.isNull())
            continue;
        const std::optional<QVariant> decoded = decodeProperty(p.kind, v);
        if (!decoded) {
            *error = QStringLiteral("the format property \"%1\" has a value of the wrong kind").arg(p.name);
            return false;
        }
        format.setProperty(p.id, *decoded);
    }
    return true;
}
