// OXTemplatePanel: lists found and downloaded templates and hands each button to the template classes.
#include "OXTemplatePanel.h"
#include "DesignVocabulary.h"

#include "MyDocument.h"
#include "OXTemplateFile.h"
#include "OXTemplateInfo.h"
#include "OXTemplateUploader.h"
#include "Ui.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {
void fill(QListWidget *list, const Value &infos)
{
    list->clear();
    for (int i = 0; i < infos.size(); ++i) {
        auto *item = new QListWidgetItem(infos.at(i).value(QStringLiteral("Name")).toString());
        item->setData(Qt::UserRole, infos.at(i).value(QStringLiteral("Uid")).toString());
        list->addItem(item);
    }
}

QListWidget *checkList(MyDocument *document, const Value &collection)
{
    Q_UNUSED(document);
    auto *list = new QListWidget;
    for (int i = 0; i < collection.size(); ++i) {
        auto *item = new QListWidgetItem(collection.at(i).value(DesignKey::Name).toString());
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
        list->addItem(item);
    }
    return list;
}

QStringList checked(QListWidget *list)
{
    QStringList names;
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->checkState() == Qt::Checked)
            names << list->item(i)->text();
    return names;
}
} // namespace

OXTemplatePanel::OXTemplatePanel(MyDocument *document, QWidget *parent)
    : QWidget(parent, Qt::Window), m_document(document)
{
    setWindowTitle(QStringLiteral("Templates"));
    m_downloader.setDocument(document);
    m_downloader.setDelegate(this);
    auto *layout = new QVBoxLayout(this);
    m_search = new QLineEdit(this);
    m_search->setPlaceholderText(QStringLiteral("Search templates"));
    m_search->setClearButtonEnabled(true);
    layout->addWidget(m_search);
    auto *lists = new QGridLayout;
    lists->addWidget(new QLabel(QStringLiteral("<b>Found</b>"), this), 0, 0);
    lists->addWidget(new QLabel(QStringLiteral("<b>Downloaded</b>"), this), 0, 1);
    m_found = new QListWidget(this);
    m_downloaded = new QListWidget(this);
    lists->addWidget(m_found, 1, 0);
    lists->addWidget(m_downloaded, 1, 1);
    layout->addLayout(lists, 1);
    m_info = new QLabel(this);
    m_info->setWordWrap(true);
    m_info->setMinimumHeight(60);
    m_info->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    layout->addWidget(m_info);
    m_progress = new QProgressBar(this);
    m_progress->setRange(0, 100);
    m_progress->setVisible(false);
    layout->addWidget(m_progress);
    auto *buttons = new QHBoxLayout;
    auto *insert = new QPushButton(QStringLiteral("Download and Insert"), this);
    auto *download = new QPushButton(QStringLiteral("Download"), this);
    auto *report = new QPushButton(QStringLiteral("Report…"), this);
    auto *upload = new QPushButton(QStringLiteral("Upload…"), this);
    auto *cancel = new QPushButton(QStringLiteral("Cancel Download"), this);
    for (QPushButton *b : {insert, download, report, upload, cancel})
        buttons->addWidget(b);
    layout->addLayout(buttons);

    connect(m_search, &QLineEdit::returnPressed, this, &OXTemplatePanel::search);
    connect(m_found, &QListWidget::currentRowChanged, this, &OXTemplatePanel::showInfo);
    connect(m_downloaded, &QListWidget::currentRowChanged, this, &OXTemplatePanel::showInfo);
    connect(insert, &QPushButton::clicked, this, [this] {
        if (!selectedUid().isEmpty())
            m_downloader.downloadAndInsertTemplateWithUID(selectedUid());
    });
    connect(download, &QPushButton::clicked, this, [this] {
        if (!selectedUid().isEmpty())
            m_downloader.downloadTemplateWithUID(selectedUid());
    });
    connect(report, &QPushButton::clicked, this, [this] {
        if (!selectedUid().isEmpty())
            OXTemplateUploader::reportTemplate(selectedUid(), this);
    });
    connect(upload, &QPushButton::clicked, this, &OXTemplatePanel::upload);
    connect(cancel, &QPushButton::clicked, &m_downloader, &OXTemplateDownloader::cancel);
    refreshDownloadedList();
    resize(640, 480);
}

QString OXTemplatePanel::selectedUid() const
{
    const QListWidgetItem *item =
        m_found->hasFocus() || !m_downloaded->currentItem() ? m_found->currentItem() : m_downloaded->currentItem();
    if (!item)
        item = m_downloaded->currentItem();
    if (!item) {
        Ui::instance().beep();
        return QString();
    }
    return item->data(Qt::UserRole).toString();
}

void OXTemplatePanel::search()
{
    if (!OXTemplateInfo::sharedManager().searchField(m_search->text()) && !m_search->text().isEmpty())
        Ui::instance().runAlert(
            Alert::make(QStringLiteral("Could not connect to the server."),
                        QStringLiteral("Please check your internet connection and try again later.")),
            this);
    Value found = Value::array();
    const Value known = OXTemplateInfo::sharedManager().known();
    for (int i = 0; i < known.size(); ++i)
        if (known.at(i).value(QStringLiteral("Name")).toString().contains(m_search->text(), Qt::CaseInsensitive))
            found.append(known.at(i));
    fill(m_found, found);
}

void OXTemplatePanel::showInfo()
{
    auto *list = qobject_cast<QListWidget *>(sender());
    if (!list || !list->currentItem())
        return;
    const Value info = OXTemplateInfo::sharedManager().infoForUid(list->currentItem()->data(Qt::UserRole).toString());
    m_info->setText(QStringLiteral("<b>%1</b><br>%2<br><i>%3</i>")
                        .arg(info.value(QStringLiteral("Name")).toString().toHtmlEscaped(),
                             info.value(QStringLiteral("Description")).toString().toHtmlEscaped(),
                             info.value(QStringLiteral("Keywords")).toString().toHtmlEscaped()));
}

void OXTemplatePanel::downloadOrInsertDidProgress(double progress, const QString &)
{
    m_progress->setVisible(progress < 1.0);
    m_progress->setValue(int(progress * 100));
}

void OXTemplatePanel::downloadOrInsertDidEnd(const QString &)
{
    m_progress->setVisible(false);
}

void OXTemplatePanel::refreshDownloadedList()
{
    fill(m_downloaded, OXTemplateInfo::sharedManager().downloadedTemplates());
}

void OXTemplatePanel::upload()
{
    if (!m_document) {
        Ui::instance().beep();
        return;
    }
    QDialog dialog(this);
    dialog.setWindowTitle(QStringLiteral("Upload Template"));
    auto *layout = new QVBoxLayout(&dialog);
    auto *lists = new QGridLayout;
    const QList<ItemKind> &kinds = ItemKinds::all();
    QList<QListWidget *> checks;
    for (int i = 0; i < kinds.size(); ++i) {
        lists->addWidget(new QLabel(ItemKinds::mode(kinds[i])), 0, i);
        checks << checkList(m_document, m_document->collection(kinds[i]));
        lists->addWidget(checks.last(), 1, i);
    }
    layout->addLayout(lists);
    auto *form = new QFormLayout;
    auto *name = new QLineEdit;
    auto *description = new QTextEdit;
    auto *keywords = new QLineEdit;
    auto *email = new QLineEdit;
    auto *password = new QLineEdit;
    password->setEchoMode(QLineEdit::Password);
    form->addRow(QStringLiteral("Name:"), name);
    form->addRow(QStringLiteral("Description:"), description);
    form->addRow(QStringLiteral("Keywords:"), keywords);
    form->addRow(QStringLiteral("E-mail address:"), email);
    form->addRow(QStringLiteral("Password:"), password);
    layout->addLayout(form);
    auto *box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    box->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Upload"));
    layout->addWidget(box);
    connect(box, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    connect(box, &QDialogButtonBox::accepted, &dialog, [&] {
        if (!OXTemplateUploader::confirmAgreement(&dialog))
            return;
        OXTemplateFile::Selection selection{checked(checks[0]), checked(checks[1]), checked(checks[2]),
                                            checked(checks[3]), checked(checks[4]), false};
        OXTemplateUploader::Upload upload;
        upload.templateDictionary = OXTemplateFile::pack(*m_document, selection);
        upload.name = name->text();
        upload.description = description->toPlainText();
        upload.keywords = keywords->text().split(QRegularExpression(QStringLiteral("[,\\s]+")), Qt::SkipEmptyParts);
        upload.email = email->text();
        upload.password = password->text();
        if (OXTemplateUploader::upload(upload, &dialog))
            dialog.accept();
    });
    if (dialog.exec() == QDialog::Accepted) {
        m_search->setText(name->text());
        search();
    }
}
