// Preferences: the user-defaults store over QSettings, with the defaults registered at start.
#pragma once

#include <QHash>
#include <QSettings>
#include <QString>
#include <QVariant>
#include <memory>

class Preferences {
public:
    static Preferences &instance();

    // Registers the application's defaults (kept apart from what the user set).
    void registerDefaults();
    void registerDefault(const QString &key, const QVariant &value);

    QVariant value(const QString &key) const;
    bool boolValue(const QString &key) const;
    int intValue(const QString &key) const;
    double doubleValue(const QString &key) const;
    QString stringValue(const QString &key) const;
    bool hasUserValue(const QString &key) const;
    void setValue(const QString &key, const QVariant &value);
    void removeValue(const QString &key);
    void sync();

    // Points the store at an INI file of its own (tests), forgetting registered defaults; empty: the user's store.
    void useFile(const QString &path);

private:
    Preferences();
    std::unique_ptr<QSettings> m_settings;
    QHash<QString, QVariant> m_defaults;
};
