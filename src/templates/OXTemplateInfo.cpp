// OXTemplateInfo: known template infos, kept in step with the user default "Downloaded Templates".
#include "OXTemplateInfo.h"

#include "OXTemplateService.h"
#include "Preferences.h"
#include "PropertyList.h"

namespace {
const QString kName = QStringLiteral("Name");
const QString kUid = QStringLiteral("Uid");

// The user default holds the array as an XML property list: the preferences store keeps text.
Value storedDownloaded()
{
    const QString text = Preferences::instance().stringValue(OXTemplateInfo::DownloadedKey);
    const std::optional<Value> list = PropertyList::read(text.toUtf8());
    return list && list->isArray() ? *list : Value::array();
}
} // namespace

OXTemplateInfo::OXTemplateInfo()
{
    reload();
}

OXTemplateInfo &OXTemplateInfo::sharedManager()
{
    static OXTemplateInfo manager;
    return manager;
}

void OXTemplateInfo::reload()
{
    m_known = storedDownloaded();
}

Value OXTemplateInfo::downloadedTemplates() const
{
    Value result = Value::array();
    const Value stored = storedDownloaded();
    for (int i = 0; i < stored.size(); ++i)
        if (stored.at(i).contains(kName) && stored.at(i).contains(kUid))
            result.append(stored.at(i));
    return result;
}

QStringList OXTemplateInfo::names() const
{
    QStringList names;
    for (int i = 0; i < m_known.size(); ++i)
        names << m_known.at(i).value(kName).toString();
    return names;
}

QString OXTemplateInfo::uidForName(const QString &name) const
{
    for (int i = 0; i < m_known.size(); ++i)
        if (m_known.at(i).value(kName).toString() == name)
            return m_known.at(i).value(kUid).toString();
    return QString();
}

Value OXTemplateInfo::infoForUid(const QString &uid)
{
    int index = -1;
    for (int i = 0; i < m_known.size() && index < 0; ++i)
        if (m_known.at(i).value(kUid).toString() == uid)
            index = i;
    if (index >= 0 && m_known.at(index).contains(QStringLiteral("Keywords")))
        return m_known.at(index);
    const std::optional<Value> info = OXTemplateService::shared().info(uid);
    if (!info)
        return index >= 0 ? m_known.at(index) : Value::dict({{kUid, uid}});
    if (index >= 0)
        m_known.replace(index, *info);
    else
        m_known.append(*info);
    return *info;
}

bool OXTemplateInfo::searchField(const QString &text)
{
    if (text.isEmpty())
        return false;
    const std::optional<Value> found = OXTemplateService::shared().search(text);
    if (!found)
        return false;
    for (int i = 0; i < found->size(); ++i) {
        const Value entry = found->at(i);
        const QString name = entry.value(kName).toString();
        const int index = names().indexOf(name);
        if (index >= 0)
            m_known.replace(index, entry);
        else
            m_known.append(entry);
    }
    return true;
}

void OXTemplateInfo::rememberDownloaded(const Value &info)
{
    Value stored = storedDownloaded();
    bool replaced = false;
    for (int i = 0; i < stored.size() && !replaced; ++i)
        if (stored.at(i).value(kUid).toString() == info.value(kUid).toString()) {
            stored.replace(i, info);
            replaced = true;
        }
    if (!replaced)
        stored.append(info);
    Preferences::instance().setValue(DownloadedKey,
                                     QString::fromUtf8(PropertyList::write(stored, PropertyList::Format::Xml)));
}
