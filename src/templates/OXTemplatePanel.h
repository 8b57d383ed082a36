// OXTemplatePanel: the window that searches the template service, downloads, inserts, uploads and reports.
#pragma once

#include "OXTemplateDownloader.h"

#include <QPointer>
#include <QWidget>

#include "MyDocument.h"
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;

class OXTemplatePanel : public QWidget, public OXTemplateDownloaderDelegate {
    Q_OBJECT
public:
    explicit OXTemplatePanel(MyDocument *document, QWidget *parent = nullptr);

    void downloadOrInsertDidProgress(double progress, const QString &uid) override;
    void downloadOrInsertDidEnd(const QString &uid) override;
    void refreshDownloadedList() override;

private:
    void search();
    void showInfo();
    QString selectedUid() const;
    void upload();

    QPointer<MyDocument> m_document;
    OXTemplateDownloader m_downloader;
    QLineEdit *m_search;
    QListWidget *m_found, *m_downloaded;
    QLabel *m_info;
    QProgressBar *m_progress;
};
