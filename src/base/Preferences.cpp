// Preferences: registered defaults under the user's values.
#include "Preferences.h"

#include "ArchivedColor.h"

Preferences::Preferences() : m_settings(std::make_unique<QSettings>(QStringLiteral("Tandrel"), QStringLiteral("Orvix")))
{
}

Preferences &Preferences::instance()
{
    static Preferences prefs;
    return prefs;
}

void Preferences::registerDefaults()
{
    registerDefault(QStringLiteral("LMSmallSidebar"), false);
    registerDefault(QStringLiteral("LMSidebarIconsOnly"), false);
    registerDefault(QStringLiteral("LMShowWelcomeScreen"), true);
    registerDefault(QStringLiteral("LMShowSplashScreen"), false);
    registerDefault(QStringLiteral("LMAllowSQLEditor"), false);
    registerDefault(QStringLiteral("Animations"), true);
    registerDefault(QStringLiteral("ExtremeAnimations"), true);
    registerDefault(QStringLiteral("SUCheckAtStartup"), true);
    registerDefault(QStringLiteral("LMPromptWhenDelete"), true);
    registerDefault(QStringLiteral("LMOverviewStyle"), QStringLiteral("Perforated"));
    registerDefault(QStringLiteral("LMSourceListAction"), QStringLiteral("Create a new object"));
    registerDefault(QStringLiteral("LMForm_Font_Size"), 11.0);
    registerDefault(QStringLiteral("LMUIDateFormat"), 2);
    registerDefault(QStringLiteral("LMUITimeFormat"), 2);
    // The script editor's colours are archived colour objects; a red background marks the built-in style.
    registerDefault(QStringLiteral("LMForm_Color_Background"), ArchivedColor::archive(Qt::red));
}

void Preferences::registerDefault(const QString &key, const QVariant &value)
{
    m_defaults.insert(key, value);
}

QVariant Preferences::value(const QString &key) const
{
    if (m_settings->contains(key))
        return m_settings->value(key);
    return m_defaults.value(key);
}

bool Preferences::boolValue(const QString &key) const
{
    const QVariant v = value(key);
    if (v.typeId() == QMetaType::QString) {
        const QString s = v.toString().trimmed().toLower();
        return s == QLatin1String("1") || s == QLatin1String("yes") || s == QLatin1String("true");
    }
    return v.toBool();
}

int Preferences::intValue(const QString &key) const
{
    return value(key).toInt();
}
double Preferences::doubleValue(const QString &key) const
{
    return value(key).toDouble();
}
QString Preferences::stringValue(const QString &key) const
{
    return value(key).toString();
}
bool Preferences::hasUserValue(const QString &key) const
{
    return m_settings->contains(key);
}
void Preferences::setValue(const QString &key, const QVariant &value)
{
    m_settings->setValue(key, value);
}
void Preferences::removeValue(const QString &key)
{
    m_settings->remove(key);
}
void Preferences::sync()
{
    m_settings->sync();
}

void Preferences::useFile(const QString &path)
{
    m_defaults.clear();
    if (path.isEmpty())
        m_settings = std::make_unique<QSettings>(QStringLiteral("Tandrel"), QStringLiteral("Orvix"));
    else
        m_settings = std::make_unique<QSettings>(path, QSettings::IniFormat);
}
