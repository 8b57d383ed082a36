// OXTemplateDownloader: download into "<uid>.oxtemplate" (written whole, then renamed), record it, insert it.
#include "OXTemplateDownloader.h"

#include "MyDocument.h"
#include "OXTemplateFile.h"
#include "OXTemplateInfo.h"
#include "OXTemplateInserter.h"
#include "OXTemplateService.h"
#include "Ui.h"

#include <QFile>
#include <QFileInfo>
#include <QNetworkReply>
#include <QSaveFile>

OXTemplateDownloader::OXTemplateDownloader(QObject *parent) : QObject(parent) {}

MyDocument *OXTemplateDownloader::targetDocument()
{
    if (!m_document && m_delegate)
        m_document = m_delegate->newDocumentForTemplate();
    return m_document;
}

void OXTemplateDownloader::downloadAndInsertTemplateWithUID(const QString &uid)
{
    if (QFileInfo::exists(OXTemplateFile::pathForUid(uid))) {
        if (m_delegate)
            m_delegate->downloadOrInsertDidProgress(1.0, uid);
        insertTemplateWithUID(uid);
        return;
    }
    downloadTemplateWithUID(uid, true);
}

void OXTemplateDownloader::downloadTemplateWithUID(const QString &uid, bool isDownloadInsert)
{
    if (m_reply) {
        Ui::instance().beep(); // one download at a time
        return;
    }
    m_reply = OXTemplateService::shared().startDownload(uid);
    connect(m_reply, &QNetworkReply::downloadProgress, this, [this, uid](qint64 received, qint64 total) {
        if (m_delegate && total > 0)
            m_delegate->downloadOrInsertDidProgress(double(received) / double(total), uid);
    });
    connect(m_reply, &QNetworkReply::finished, this,
            [this, uid, isDownloadInsert] { downloadFinished(uid, isDownloadInsert); });
}

void OXTemplateDownloader::cancel()
{
    if (m_reply)
        m_reply->abort();
}

void OXTemplateDownloader::downloadFinished(const QString &uid, bool isDownloadInsert)
{
    QNetworkReply *reply = m_reply;
    m_reply = nullptr;
    reply->deleteLater();
    const QByteArray body = reply->error() == QNetworkReply::NoError ? reply->readAll() : QByteArray();
    // Only a reply that decodes as a template is kept: an error page must not pass for a download.
    bool ok = !body.isEmpty() && OXTemplateFile::decode(body).has_value();
    if (ok) {
        QSaveFile file(OXTemplateFile::pathForUid(uid));
        ok = file.open(QIODevice::WriteOnly) && file.write(body) == body.size() && file.commit();
    }
    if (!ok) {
        if (m_delegate)
            m_delegate->downloadOrInsertDidEnd(uid);
        emit finished(uid, false);
        return;
    }
    Value info = OXTemplateInfo::sharedManager().infoForUid(uid);
    if (!info.contains(QStringLiteral("Uid")))
        info.set(QStringLiteral("Uid"), uid);
    OXTemplateInfo::sharedManager().rememberDownloaded(info);
    if (m_delegate)
        m_delegate->refreshDownloadedList();
    if (isDownloadInsert)
        ok = insertTemplateWithUID(uid);
    emit finished(uid, ok);
}

bool OXTemplateDownloader::insertTemplateWithUID(const QString &uid)
{
    QFile file(OXTemplateFile::pathForUid(uid));
    QString error;
    const std::optional<Value> dictionary =
        file.open(QIODevice::ReadOnly) ? OXTemplateFile::decode(file.readAll(), &error) : std::nullopt;
    MyDocument *document = dictionary ? targetDocument() : nullptr;
    if (!dictionary || !document) {
        if (!dictionary)
            Ui::instance().runAlert(Alert::make(QStringLiteral("The template could not be read."),
                                                error.isEmpty() ? file.errorString() : error));
        if (m_delegate)
            m_delegate->downloadOrInsertDidEnd(uid);
        return false;
    }
    const OXTemplateInserter::Result result = OXTemplateInserter::insert(*document, *dictionary);
    if (m_delegate)
        m_delegate->downloadOrInsertDidEnd(uid);
    return result == OXTemplateInserter::Result::Inserted;
}
