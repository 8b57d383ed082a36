// FDControlKinds: default attributes per kind; the field-type table decides what auto-generation creates.
#include "FDControlKinds.h"

#include "ArchivedColor.h"
#include "DesignVocabulary.h"
#include "FDKeys.h"
#include "FDSerializationServices.h"

#include <QColor>

namespace FDControlKinds {
namespace {
using namespace FDKeys;

Value textAttributes(const QString &placeholder)
{
    return Value::dict({{kEnabled, true},
                        {kEditable, true},
                        {kBordered, true},
                        {kPlaceholderString, placeholder},
                        {kStringValue, ""},
                        {kAlignment, 0},
                        {"Font Size", 13.0},
                        {kToolTip, ""}});
}

Value shapeAttributes()
{
    // Encoded in this order; absent optional attributes (gradient, image, shadow) are simply not stored.
    return Value::dict({{kShapeType, 0},
                        {kStrokeColor, ArchivedColor::toValue(QColor(0, 0, 0))},
                        {kStrokeWidth, 1},
                        {kFillColor, ArchivedColor::toValue(QColor(255, 255, 255))},
                        {kFillGradient, ""},
                        {kFillGradientAngle, 90.0},
                        {kTitle, FDSerializationServices::attributedStringFromPlainText(QString())}});
}

Value attributesFor(const QString &title)
{
    if (title == QLatin1String("Text Field") || title == QLatin1String("Token Field"))
        return textAttributes(QString());
    if (title == QLatin1String("Label")) {
        Value a = textAttributes(QString());
        a.set(kEditable, false);
        a.set(kBordered, false);
        a.set(kStringValue, "Label");
        return a;
    }
    if (title == QLatin1String("Text View"))
        return Value::dict({{kEnabled, true}, {kEditable, true}, {kStringValue, ""}, {kToolTip, ""}});
    if (title == QLatin1String("Pop Up Button") || title == QLatin1String("Titled Pop Up"))
        return Value::dict({{kEnabled, true}, {kItemTitles, Value::array()}, {kSelectedItemTitle, ""}});
    if (title == QLatin1String("Date Picker"))
        return Value::dict({{kEnabled, true}, {kShowsDate, true}, {kShowsTime, false}});
    if (title == QLatin1String("Check Box"))
        return Value::dict({{kEnabled, true}, {"Button Type", 3}, {kTitle, ""}, {kState, 0}});
    if (title == QLatin1String("Push Button"))
        return Value::dict({{kEnabled, true}, {"Button Type", 0}, {"Bezel Style", 1}, {kTitle, "Button"}});
    if (title == QLatin1String("Image Well"))
        return Value::dict({{kEnabled, true},
                            {kEditable, true},
                            {kImageFrameStyle, 2},
                            {kImageAlignment, 0},
                            {kImageScaling, 3},
                            {"Animates", true},
                            {kAllowsCutCopyPaste, true}});
    if (title == QLatin1String("Movie Well"))
        return Value::dict(
            {{kEnabled, true}, {kEditable, true}, {kControllerVisible, true}, {kPreservesAspectRatio, true}});
    if (title == QLatin1String("Sound Well"))
        return Value::dict(
            {{kEnabled, true}, {kEditable, true}, {kControllerVisible, true}, {kPreservesAspectRatio, false}});
    if (title == QLatin1String("Attachment Well"))
        return Value::dict({{kEnabled, true}, {kEditable, true}, {kInForm, true}});
    if (title == QLatin1String("File Path Well"))
        return Value::dict({{kEnabled, true}, {kEditable, true}});
    if (title == QLatin1String("Radio Group"))
        return Value::dict({{kEnabled, true}, {kRadioOptions, QStringList{"First", "Second"}}});
    if (title == QLatin1String("Segmented Control"))
        return Value::dict({{kEnabled, true}, {kLabels, QStringList{"One", "Two", "Three"}}, {kSelectedSegment, 0}});
    if (title == QLatin1String("Progress Indicator"))
        return Value::dict({{kIndeterminate, false}, {kMinValue, 0.0}, {kMaxValue, 100.0}, {kDoubleValue, 0.0}});
    if (title == QLatin1String("Shape"))
        return shapeAttributes();
    return Value::dict();
}
} // namespace

const QList<FDControlKind> &paletteKinds()
{
    static const QList<FDControlKind> kinds = {
        {"Label", kLabel, {100, 17}, false},          {"Text Field", kTextField, {150, 22}},
        {"Text View", kTextView, {200, 80}},          {"Token Field", kTokenField, {150, 22}},
        {"Pop Up Button", kPopUpButton, {150, 22}},   {"Titled Pop Up", kFormPopUp, {150, 22}},
        {"Date Picker", kDatePicker, {150, 22}},      {"Check Box", kButton, {18, 18}},
        {"Push Button", kButton, {80, 24}},           {"Radio Group", kRadioGroup, {120, 40}},
        {"Segmented Control", kSegmented, {150, 24}}, {"Progress Indicator", kProgress, {150, 20}},
        {"Image Well", kImageView, {72, 72}},         {"Movie Well", kMovieWell, {140, 105}},
        {"Sound Well", kMovieWell, {140, 15}},        {"Attachment Well", kAttachmentWell, {140, 120}},
        {"File Path Well", kFilePathWell, {150, 22}}, {"Shape", kShape, {100, 60}, false},
        {"Group", kGroup, {150, 100}, false},
    };
    return kinds;
}

const FDControlKind *kindTitled(const QString &title)
{
    for (const FDControlKind &kind : paletteKinds())
        if (kind.title == title)
            return &kind;
    return nullptr;
}

Value makeControl(const QString &title)
{
    const FDControlKind *kind = kindTitled(title);
    if (!kind)
        return Value();
    Value attributes = attributesFor(title);
    // Every control that is a control proper can be disabled and has a tooltip.
    if (kind->className != kShape && kind->className != kGroup && kind->className != kProgress) {
        if (!attributes.contains(kEnabled))
            attributes.set(kEnabled, true);
        if (!attributes.contains(kToolTip))
            attributes.set(kToolTip, "");
    }
    return Value::object(kind->className, attributes);
}

namespace {
bool styleShown(const Value &style)
{
    const QString s = style.toString().trimmed();
    return !s.isEmpty() && s.compare(QLatin1String("None"), Qt::CaseInsensitive) != 0 && s != QLatin1String("0");
}
} // namespace

Value controlForField(const Value &field, QSizeF *size)
{
    const Datatype type = Datatypes::fromName(field.value(DesignKey::Type).toString());
    const QString name = field.value(DesignKey::Name).toString();
    QString title;
    switch (type) {
    case Datatype::Text:
    case Datatype::Number:
    case Datatype::FilePath: title = QStringLiteral("Text Field"); break;
    case Datatype::List: title = QStringLiteral("Token Field"); break;
    case Datatype::Options: title = QStringLiteral("Pop Up Button"); break;
    case Datatype::Date: title = QStringLiteral("Date Picker"); break;
    case Datatype::YesNo: title = QStringLiteral("Check Box"); break;
    case Datatype::Image: title = QStringLiteral("Image Well"); break;
    case Datatype::Video: title = QStringLiteral("Movie Well"); break;
    case Datatype::Audio: title = QStringLiteral("Sound Well"); break;
    case Datatype::Relationship: title = QStringLiteral("Push Button"); break;
    case Datatype::Attachment: title = QStringLiteral("Attachment Well"); break;
    default: return Value();
    }
    Value control = makeControl(title);
    Value a = control.attributes();
    if (title == QLatin1String("Text Field") || title == QLatin1String("Token Field")) {
        a.set(kPlaceholderString, name);
    } else if (title == QLatin1String("Pop Up Button")) {
        const QStringList options = field.value(DesignKey::Options).toStringList();
        a.set(kItemTitles, options);
        const Value def = field.value(DesignKey::Default);
        if (def.isString() && !def.toString().isEmpty())
            a.set(kSelectedItemTitle, def.toString());
        else if (!options.isEmpty())
            a.set(kSelectedItemTitle, options.first());
    } else if (title == QLatin1String("Date Picker")) {
        const Value dateFormat = field.value(DesignKey::DateFormat);
        a.set(kShowsDate, dateFormat.isNull() || styleShown(dateFormat));
        a.set(kShowsTime, styleShown(field.value(DesignKey::TimeFormat)));
    } else if (title == QLatin1String("Push Button")) {
        a.set(kTitle, "Edit");
    }
    if (size)
        *size = kindTitled(title)->size;
    return control;
}

QString classOf(const Value &control)
{
    return control.isObject() ? control.className() : QString();
}

QString titleOf(const Value &control)
{
    const QString cls = classOf(control);
    const Value a = control.attributes();
    if (cls == kTextField)
        return a.value(kEditable, true).toBool() || a.value(kBordered, true).toBool() ? QStringLiteral("Text Field")
                                                                                      : QStringLiteral("Label");
    if (cls == kButton)
        return a.value("Button Type").toInt() == 3 ? QStringLiteral("Check Box") : QStringLiteral("Push Button");
    if (cls == kMovieWell)
        return a.value(kPreservesAspectRatio).toBool() ? QStringLiteral("Movie Well") : QStringLiteral("Sound Well");
    for (const FDControlKind &kind : paletteKinds())
        if (kind.className == cls)
            return kind.title;
    return QString();
}
} // namespace FDControlKinds
