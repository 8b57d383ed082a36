// OXSyntaxPrefController: reading, changing and storing colour styles through the user defaults and style files.
#include "OXSyntaxPrefController.h"

#include "NotificationCenter.h"
#include "Preferences.h"
#include "PropertyList.h"
#include "Resources.h"
#include "Ui.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace {
const QString styleKey = QStringLiteral("OXSyntaxHighlighting");
const QString themeTitleKey = QStringLiteral("OXSyntaxThemeTitle");
const QString changedKey = QStringLiteral("OXSyntaxHasChanged");
constexpr double notBlack = 0.001;

QVariant toVariant(const Value &v)
{
    if (v.isDict()) {
        QVariantMap map;
        for (const QString &key : v.keys())
            map.insert(key, toVariant(v.value(key)));
        return map;
    }
    if (v.isBool())
        return v.toBool();
    if (v.isInt())
        return v.toInt();
    if (v.isReal())
        return v.toDouble();
    return v.toString();
}

Value toValue(const QVariant &v)
{
    if (v.typeId() == QMetaType::QVariantMap) {
        Value dict = Value::dict();
        const QVariantMap map = v.toMap();
        for (auto it = map.begin(); it != map.end(); ++it)
            dict.set(it.key(), toValue(it.value()));
        return dict;
    }
    if (v.typeId() == QMetaType::Bool)
        return Value(v.toBool());
    if (v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong)
        return Value(qint64(v.toLongLong()));
    if (v.typeId() == QMetaType::Double)
        return Value(v.toDouble());
    return Value(v.toString());
}

// A name the user typed, made safe as a file name in the styles folder.
QString styleFileName(QString name)
{
    name.replace(u'/', u'-');
    name.replace(u'\\', u'-');
    while (name.startsWith(u'.'))
        name.remove(0, 1);
    return name.trimmed();
}
} // namespace

const QStringList &OXSyntaxPrefController::colourTitles()
{
    static const QStringList titles{QStringLiteral("Background"),      QStringLiteral("Plain Text"),
                                    QStringLiteral("Insertion Point"), QStringLiteral("Keywords"),
                                    QStringLiteral("Numbers"),         QStringLiteral("\"Strings\""),
                                    QStringLiteral("/Regexes/"),       QStringLiteral("/* Comments */"),
                                    QStringLiteral("Classes"),         QStringLiteral("Functions")};
    return titles;
}

QString OXSyntaxPrefController::entryKey(const QString &title)
{
    return QStringLiteral("OXSyntax ") + title;
}

QString OXSyntaxPrefController::coloursChangedNotification()
{
    return QStringLiteral("OXSyntaxColoursChanged");
}

QVariantMap OXSyntaxPrefController::currentStyle()
{
    return Preferences::instance().value(styleKey).toMap();
}

void OXSyntaxPrefController::setCurrentStyle(const QVariantMap &style)
{
    Preferences::instance().setValue(styleKey, style);
    NotificationCenter::defaultCenter().post(coloursChangedNotification());
}

QColor OXSyntaxPrefController::colorForTitle(const QString &title, bool foreground)
{
    return colorForTitle(currentStyle(), title, foreground);
}

QColor OXSyntaxPrefController::colorForTitle(const QVariantMap &style, const QString &title, bool foreground)
{
    const QString text =
        style.value(entryKey(title)).toMap().value(foreground ? QStringLiteral("FG") : QStringLiteral("BG")).toString();
    if (style.isEmpty() || text.isEmpty())
        return foreground ? QColor::fromRgbF(notBlack, notBlack, notBlack, 1) : QColor::fromRgbF(1, 1, 1, 0);
    return rgbaStringToColor(text);
}

QColor OXSyntaxPrefController::rgbaStringToColor(const QString &text, bool *readable)
{
    double c[4] = {0, 0, 0, 0};
    const QStringList parts = text.simplified().split(u' ', Qt::SkipEmptyParts);
    int read = 0;
    for (int i = 0; i < 4 && i < parts.size(); ++i) {
        bool ok = false;
        const double v = parts[i].toDouble(&ok);
        if (!ok)
            break;
        c[i] = qBound(0.0, v, 1.0);
        ++read;
    }
    if (readable)
        *readable = read > 0;
    if (read == 0)
        return QColor::fromRgbF(notBlack, notBlack, notBlack, 0);
    // Black is kept as a colour that is not exactly black.
    if (c[0] == 0 && c[1] == 0 && c[2] == 0)
        c[0] = c[1] = c[2] = notBlack;
    return QColor::fromRgbF(float(c[0]), float(c[1]), float(c[2]), float(c[3]));
}

QString OXSyntaxPrefController::colorToRgbaString(const QColor &color)
{
    const QColor rgb = color.toRgb();
    return QString::asprintf("%f %f %f %f", rgb.redF(), rgb.greenF(), rgb.blueF(), rgb.alphaF());
}

QString OXSyntaxPrefController::defaultStyleName()
{
    return QStringLiteral("Cupertino");
}

QString OXSyntaxPrefController::appSupportDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Tandrel/Orvix/Styles");
}

QString OXSyntaxPrefController::resourcesStylesDir()
{
    return Resources::path(QStringLiteral("Styles"));
}

bool OXSyntaxPrefController::createDirectories()
{
    // The resource folder may be read-only; only the user's folder must exist for saving.
    QDir().mkpath(resourcesStylesDir());
    return QDir().mkpath(appSupportDir());
}

QStringList OXSyntaxPrefController::styleNames()
{
    createDirectories();
    QStringList names;
    for (const QString &folder : {resourcesStylesDir(), appSupportDir()}) {
        const QStringList files = QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
        for (const QString &file : files) {
            if (!file.startsWith(u'.'))
                names.append(file);
        }
    }
    return names;
}

QString OXSyntaxPrefController::pathOfStyleNamed(const QString &name)
{
    if (name.isEmpty() || name.contains(u'/'))
        return QString();
    const QString user = QDir(appSupportDir()).filePath(name);
    if (QFileInfo(user).isFile())
        return user;
    const QString resource = QDir(resourcesStylesDir()).filePath(name);
    if (QFileInfo(resource).isFile())
        return resource;
    return QString();
}

QVariantMap OXSyntaxPrefController::readStyleFile(const QString &path)
{
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return {};
    const auto root = PropertyList::read(file.readAll());
    if (!root || !root->isDict())
        return {};
    return toVariant(*root).toMap();
}

bool OXSyntaxPrefController::writeStyleFile(const QVariantMap &style, const QString &path)
{
    const QByteArray bytes = PropertyList::write(toValue(style), PropertyList::Format::Xml);
    if (bytes.isEmpty())
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(bytes);
    return file.commit();
}

bool OXSyntaxPrefController::setStyleNamed(const QString &name)
{
    if (!styleNames().contains(name))
        return false;
    const QVariantMap style = readStyleFile(pathOfStyleNamed(name));
    if (style.isEmpty())
        return false;
    Preferences::instance().setValue(themeTitleKey, name);
    setCurrentStyle(style);
    return true;
}

OXSyntaxPrefController::OXSyntaxPrefController(QObject *parent) : QObject(parent) {}

void OXSyntaxPrefController::changeEntry(const QString &title, const QString &key, const QVariant &value)
{
    QVariantMap style = currentStyle();
    QVariantMap entry = style.value(entryKey(title)).toMap();
    entry.insert(key, value);
    style.insert(entryKey(title), entry);
    setCurrentStyle(style);
}

void OXSyntaxPrefController::changed()
{
    setHasChangedColors(true);
    emit refreshTable();
}

void OXSyntaxPrefController::setColor(const QColor &color, const QString &title, bool foreground)
{
    changeEntry(title, foreground ? QStringLiteral("FG") : QStringLiteral("BG"), colorToRgbaString(color));
    changed();
}

bool OXSyntaxPrefController::textAttribute(const QString &attribute, const QString &title) const
{
    return currentStyle().value(entryKey(title)).toMap().value(attribute).toBool();
}

void OXSyntaxPrefController::setTextAttribute(const QString &attribute, bool on, const QString &title)
{
    changeEntry(title, attribute, on);
    changed();
}

void OXSyntaxPrefController::invert()
{
    QVariantMap style = currentStyle();
    const auto inverse = [](const QColor &c) {
        return QColor::fromRgbF(1 - c.redF(), 1 - c.greenF(), 1 - c.blueF(), c.alphaF());
    };
    for (const QString &title : colourTitles()) {
        QVariantMap entry = style.value(entryKey(title)).toMap();
        entry.insert(QStringLiteral("FG"), colorToRgbaString(inverse(colorForTitle(style, title, true))));
        entry.insert(QStringLiteral("BG"), colorToRgbaString(inverse(colorForTitle(style, title, false))));
        style.insert(entryKey(title), entry);
    }
    setCurrentStyle(style);
    changed();
}

void OXSyntaxPrefController::hue(int degrees)
{
    QVariantMap style = currentStyle();
    for (const QString &title : colourTitles()) {
        QVariantMap entry = style.value(entryKey(title)).toMap();
        if (entry.value(QStringLiteral("FG")).toString().isEmpty())
            continue;
        const QColor c = colorForTitle(style, title, true).toHsv();
        // Greys have no hue to turn.
        if (c.hsvHue() < 0)
            continue;
        const QColor turned =
            QColor::fromHsv((c.hsvHue() + degrees % 360 + 360) % 360, c.hsvSaturation(), c.value(), c.alpha());
        entry.insert(QStringLiteral("FG"), colorToRgbaString(turned));
        style.insert(entryKey(title), entry);
    }
    setCurrentStyle(style);
    changed();
}

bool OXSyntaxPrefController::enableButton(bool on)
{
    if (on)
        return setStyleNamed(defaultStyleName());
    if (!forkCurrentStyle(true))
        return false;
    return setStyleNamed(QStringLiteral("Blank"));
}

void OXSyntaxPrefController::themeMenuButton(const QString &name)
{
    if (forkCurrentStyle(false))
        setStyleNamed(name);
    emit refreshTable();
}

bool OXSyntaxPrefController::importStyle(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    if (name.isEmpty() || name.startsWith(u'.'))
        return false;
    if (styleNames().contains(name)) {
        Ui::instance().runAlert(Alert::make(QStringLiteral("Style Already Exists"),
                                            QStringLiteral("A style with name '%1' already exists").arg(name)),
                                m_window);
        return false;
    }
    if (!QFile::copy(path, QDir(appSupportDir()).filePath(name)))
        return false;
    if (!forkCurrentStyle(false))
        return false;
    const bool applied = setStyleNamed(name);
    emit refreshTable();
    return applied;
}

bool OXSyntaxPrefController::exportStyle(const QString &path)
{
    return !path.isEmpty() && writeStyleFile(currentStyle(), path);
}

void OXSyntaxPrefController::importExport(bool import)
{
    FilePanelOptions options;
    if (import) {
        options.title = QStringLiteral("Import Style");
        const QStringList paths = Ui::instance().runOpenPanel(options, m_window);
        if (!paths.isEmpty())
            importStyle(paths.first());
        return;
    }
    options.title = QStringLiteral("Export Style");
    options.suggestedName = Preferences::instance().stringValue(themeTitleKey);
    exportStyle(Ui::instance().runSavePanel(options, m_window));
}

bool OXSyntaxPrefController::forkCurrentStyle(bool allowCancel)
{
    if (!hasChangedColors())
        return true;
    QStringList buttons{QStringLiteral("Save")};
    if (allowCancel)
        buttons.append(QStringLiteral("Cancel"));
    buttons.append(QStringLiteral("Don't Save"));
    const QString answer = Ui::instance().runAlertButton(
        Alert::make(QStringLiteral("Do you want to save the changes you made to the style?"),
                    QStringLiteral("Your changes will be lost if you don't save them."), buttons),
        m_window);
    if (answer == QLatin1String("Cancel"))
        return false;
    if (answer == QLatin1String("Don't Save")) {
        setHasChangedColors(false);
        return true;
    }
    // The name is asked on a sheet of its own, the seam's alerts having no text field.
    TextInputOptions input;
    input.title = QStringLiteral("Save Style");
    input.label = QStringLiteral("Name");
    input.acceptButton = QStringLiteral("Save");
    const QString name = styleFileName(Ui::instance().runTextInput(input, m_window).value_or(QString()));
    if (name.isEmpty())
        return true;
    createDirectories();
    // A file that cannot be written keeps the changes: nothing goes on that would drop them.
    if (!writeStyleFile(currentStyle(), QDir(appSupportDir()).filePath(name)))
        return false;
    setHasChangedColors(false);
    emit refreshTable();
    return false;
}

void OXSyntaxPrefController::setHasChangedColors(bool changed)
{
    Preferences::instance().setValue(changedKey, changed);
}

bool OXSyntaxPrefController::hasChangedColors()
{
    return Preferences::instance().boolValue(changedKey);
}

bool OXSyntaxPrefController::isColouringOn()
{
    return Preferences::instance().stringValue(themeTitleKey) != QLatin1String("Blank");
}
