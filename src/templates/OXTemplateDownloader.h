// OXTemplateDownloader: downloads templates into the local folder and inserts them into a document.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include "MyDocument.h"
#include <QNetworkReply>

// Every operation is optional: the defaults do nothing.
class OXTemplateDownloaderDelegate {
public:
    virtual ~OXTemplateDownloaderDelegate() = default;
    virtual void downloadOrInsertDidProgress(double /*progress*/, const QString & /*uid*/) {}
    virtual void downloadOrInsertDidEnd(const QString & /*uid*/) {}
    virtual void refreshDownloadedList() {}
    // A new untitled document to insert into when none is set (the window that opens it keeps it); null: none.
    virtual MyDocument *newDocumentForTemplate() { return nullptr; }
};

class OXTemplateDownloader : public QObject {
    Q_OBJECT
public:
    explicit OXTemplateDownloader(QObject *parent = nullptr);

    void setDocument(MyDocument *document) { m_document = document; }
    void setDelegate(OXTemplateDownloaderDelegate *delegate) { m_delegate = delegate; }

    void downloadAndInsertTemplateWithUID(const QString &uid);
    void downloadTemplateWithUID(const QString &uid, bool isDownloadInsert = false);
    // True when the template was inserted.
    bool insertTemplateWithUID(const QString &uid);
    // Stops a running download; it ends as a failure and leaves no file.
    void cancel();
    bool isDownloading() const { return m_reply != nullptr; }

signals:
    void finished(const QString &uid, bool ok);

private:
    void downloadFinished(const QString &uid, bool isDownloadInsert);
    MyDocument *targetDocument();

    QPointer<MyDocument> m_document;
    OXTemplateDownloaderDelegate *m_delegate = nullptr;
    QPointer<QNetworkReply> m_reply;
};
