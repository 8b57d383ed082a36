// OXTemplateInfo: what is known about templates: the downloaded ones and those found by searching.
#pragma once

#include "Value.h"

#include <QStringList>

class OXTemplateInfo {
public:
    static inline const QString DownloadedKey = QStringLiteral("Downloaded Templates");

    static OXTemplateInfo &sharedManager();
    // Starts over from the user default (tests; after the preferences moved).
    void reload();

    // The infos of the user default that have both "Name" and "Uid".
    Value downloadedTemplates() const;
    Value known() const { return m_known; }
    QStringList names() const;
    QString uidForName(const QString &name) const;
    // A known info with "Keywords" as it is; otherwise asks the service and keeps its answer.
    Value infoForUid(const QString &uid);
    // Searches the service: new names are added, known names replaced. Empty text does nothing.
    bool searchField(const QString &text);
    // Records a downloaded template's info in the user default (replacing the one with the same "Uid").
    void rememberDownloaded(const Value &info);

private:
    OXTemplateInfo();
    Value m_known = Value::array();
};
