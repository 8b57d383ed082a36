// LMReportView: the record is written only by cleanUp and the name sheet; the preview is evaluated from a copy
// of the template and thrown away when the tab goes back to design.
#include "LMReportView.h"
#include "DesignVocabulary.h"

#include "LMDocumentNavigator.h"
#include "LMReportDocument.h"
#include "LMReportPageLayout.h"
#include "LMReportPanels.h"
#include "LMReportPreviewBar.h"
#include "LMReportPrinter.h"
#include "LMReportTextTableSheet.h"
#include "LMReportTextView.h"
#include "LMViewRegistry.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "PrintInfoCodec.h"
#include "Ui.h"

#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrinter>
#include <QSaveFile>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <QVBoxLayout>

namespace {
const QString kNone = QStringLiteral("None");

// The toolbar: identifier, label.
const QList<QPair<QString, QString>> &toolbarItems()
{
    static const QList<QPair<QString, QString>> items = {
        {QStringLiteral("Overview"), QStringLiteral("Overview")},
        {QStringLiteral("Bold"), QStringLiteral("Bold")},
        {QStringLiteral("Italic"), QStringLiteral("Italic")},
        {QStringLiteral("Underline"), QStringLiteral("Underline")},
        {QStringLiteral("Font"), QStringLiteral("Font")},
        {QStringLiteral("Colour"), QStringLiteral("Colour")},
        {QStringLiteral("Formulas"), QStringLiteral("Preview")},
        {QStringLiteral("Text Table"), QStringLiteral("Insert Text Table")},
        {QStringLiteral("Page Setup"), QStringLiteral("Page Setup")},
        {QStringLiteral("Print"), QStringLiteral("Print")},
        {QStringLiteral("PDF"), QStringLiteral("Save as PDF")},
        {QStringLiteral("Rename"), QStringLiteral("Rename")},
        {QStringLiteral("Delete"), QStringLiteral("Delete")},
    };
    return items;
}
} // namespace

LMReportView::LMReportView(const LMViewContext &context, const Value &report)
    : m_document(context.document), m_navigator(context.navigator), m_window(context.window), m_report(report)
{
    buildInterface();
    reloadTablePopUp(kNone);
    if (m_report.isDict() && !m_report.value(DesignKey::Name).toString().isEmpty()) {
        loadFromRecord();
    } else {
        m_text = std::make_unique<QTextDocument>();
        m_textView->setTextStorage(m_text.get());
        m_textView->setPrintInfo(LMReportPageLayout::defaultLayout());
        // A new report: the name sheet comes up once the tab shows the empty page.
        QTimer::singleShot(0, m_view, [this] { askForNameOpenButton(); });
    }
}

LMReportView::~LMReportView()
{
    // The view's widgets go with the tab; the text must outlive the editor that shows it.
    if (m_textView)
        m_textView->setDocument(nullptr);
}

QString LMReportView::identifier() const
{
    return ViewKinds::identifier(ViewKind::Reports);
}

QString LMReportView::name() const
{
    return m_report.value(DesignKey::Name).toString();
}

void LMReportView::buildInterface()
{
    m_view = new LMIdentifiedView(identifier());
    m_view->setController(this);
    auto *layout = new QVBoxLayout(m_view);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto *bar = new QHBoxLayout;
    bar->setContentsMargins(8, 4, 8, 4);
    bar->addWidget(new QLabel(QStringLiteral("Content Table:")));
    m_tablePopUp = new QComboBox;
    m_tablePopUp->setObjectName(QStringLiteral("LMReportContentTable"));
    bar->addWidget(m_tablePopUp);
    bar->addStretch();
    layout->addLayout(bar);
    m_previewBar = new LMReportPreviewBar;
    m_previewBar->hide();
    layout->addWidget(m_previewBar);
    m_textView = new LMReportTextView;
    layout->addWidget(m_textView, 1);
    QObject::connect(m_tablePopUp, &QComboBox::currentIndexChanged, m_view, [this] { contentTableChosen(); });
}

void LMReportView::reloadTablePopUp(const QString &selected)
{
    m_loadingPopUp = true;
    m_tablePopUp->clear();
    const QStringList tables =
        m_document && m_document->database() ? m_document->database()->tablesList() : QStringList();
    m_tablePopUp->addItems(tables);
    m_tablePopUp->addItem(kNone);
    const int index = m_tablePopUp->findText(selected);
    m_tablePopUp->setCurrentIndex(index >= 0 ? index : m_tablePopUp->count() - 1);
    m_loadingPopUp = false;
}

void LMReportView::contentTableChosen()
{
    if (m_loadingPopUp || !m_report.isDict() || name().isEmpty())
        return;
    const QString table = m_tablePopUp->currentText();
    if (m_report.value(DesignKey::ContentTable).toString() == table)
        return;
    m_report.set(DesignKey::ContentTable, table);
    if (m_document)
        m_document->setChanged(true);
}

void LMReportView::loadFromRecord()
{
    if (isPreviewing()) {
        m_designText.reset();
        m_previewBar->hide();
    }
    // The editor lets go of the old text before it is replaced.
    std::unique_ptr<QTextDocument> text = LMReportDocument::templateForReport(m_report);
    m_textView->setTextStorage(text.get());
    m_text = std::move(text);
    const QPageLayout fallback = m_navigator && m_navigator->printer() ? m_navigator->printer()->pageLayout()
                                                                       : LMReportPageLayout::defaultLayout();
    m_textView->setPrintInfo(LMReportPageLayout::fromPrintInfo(m_report.value(DesignKey::PrintInfo), fallback));
    m_textView->setEditable(true);
    reloadTablePopUp(m_report.value(DesignKey::ContentTable).toString());
    updateToolbarState();
}

void LMReportView::refresh()
{
    if (!m_report.isDict() || name().isEmpty())
        return;
    loadFromRecord();
    if (m_navigator)
        m_navigator->setCurrentTabLabel(name());
}

void LMReportView::cleanUp()
{
    if (!m_report.isDict() || name().isEmpty())
        return;
    const QTextDocument &design = isPreviewing() ? *m_designText : *m_text;
    const Value text = LMReportDocument::storedTemplate(design);
    const Value printInfo = PrintInfoCodec::encode(m_textView->printInfo());
    // Only a real change marks the document edited, so looking at a report leaves it saved.
    if (m_report.value(DesignKey::AttributedString) == text && m_report.value(DesignKey::PrintInfo) == printInfo)
        return;
    m_report.set(DesignKey::AttributedString, text);
    m_report.set(DesignKey::PrintInfo, printInfo);
    if (m_document)
        m_document->setChanged(true);
}

// ---- Design and preview

void LMReportView::switchMode()
{
    if (!isPreviewing()) {
        m_designText.reset(m_text->clone());
        replaceFormulas();
        m_previewBar->show();
    } else {
        std::unique_ptr<QTextDocument> design = std::move(m_designText);
        m_textView->setTextStorage(design.get());
        m_text = std::move(design);
        m_textView->setEditable(true);
        m_previewBar->hide();
    }
    updateToolbarState();
}

void LMReportView::replaceFormulas()
{
    m_previewBar->setMessage(QStringLiteral("Evaluating Formulas..."));
    m_previewBar->setProgress(0);
    const QTextDocument &source = isPreviewing() ? *m_designText : *m_text;
    std::unique_ptr<QTextDocument> output;
    if (m_document && m_document->database())
        output = LMReportDocument::evaluate(source, LMReportDocument::contentTable(m_report), *m_document->database(),
                                            std::nullopt, this);
    else
        output.reset(source.clone());
    LMReportPrinter::breakPagesAtFormFeeds(*output);
    m_previewBar->setMessage(QStringLiteral("This is a preview of your report."));
    m_textView->setTextStorage(output.get());
    m_text = std::move(output);
    m_textView->setEditable(false);
}

void LMReportView::setProgressValue(float fraction)
{
    m_previewBar->setProgress(fraction);
}

// ---- The name sheet

bool LMReportView::askForNameOpenButton()
{
    QString shown = name();
    if (shown.isEmpty()) {
        // A free name to start from, as the document would give a new report.
        const QString base = ItemKinds::info(ItemKind::Report).newLabel;
        shown = base;
        const Value reports = m_document ? m_document->reports() : Value::array();
        for (int n = 2; MyDocument::indexOfItemNamed(reports, shown) >= 0; ++n)
            shown = QStringLiteral("%1 %2").arg(base).arg(n);
    }
    for (;;) {
        TextInputOptions options;
        options.title = QStringLiteral("Report Name");
        options.label = QStringLiteral("Name of the report:");
        options.text = shown;
        const std::optional<QString> entered = Ui::instance().runTextInput(options, m_window);
        if (!entered)
            return false;
        if (nameSheetEnded(*entered))
            return true;
        shown = *entered;
    }
}

bool LMReportView::nameSheetEnded(const QString &newName)
{
    const Value reports = m_document ? m_document->reports() : Value::array();
    const Value other = MyDocument::itemNamed(reports, newName);
    if (newName.isEmpty() || (!other.isNull() && !(other.isSameContainer(m_report)))) {
        Ui::instance().beep();
        return false;
    }
    const QString oldName = name();
    if (!m_report.isDict() || oldName.isEmpty()) {
        // The document makes the report when it gets its name, so an unnamed report leaves nothing behind.
        m_report = m_document ? m_document->addNewDesign(ItemKind::Report) : Value::dict();
    }
    m_report.set(DesignKey::Name, newName);
    m_report.set(DesignKey::ContentTable, m_tablePopUp->currentText());
    if (m_navigator)
        m_navigator->setCurrentTabLabel(newName);
    if (m_document) {
        if (!oldName.isEmpty())
            m_document->itemDidRename(ItemKind::Report, oldName, newName, this);
        m_document->setChanged(true);
    }
    if (m_navigator)
        m_navigator->reloadSourceListExpanding(ItemKind::Report);
    updateToolbarState();
    return true;
}

// ---- Commands

void LMReportView::deleteMe()
{
    if (!m_navigator || name().isEmpty())
        return;
    const QString doomed = name();
    m_navigator->switchToOverview();
    if (!m_navigator->removeItem(ItemKind::Report, doomed))
        Ui::instance().runAlert(
            Alert::make(QStringLiteral("Report not deleted"), QStringLiteral("The report was not deleted.")), m_window);
}

void LMReportView::startPageLayoutSheet()
{
    const std::optional<QPageLayout> chosen = LMReportPanels::runPageSetup(m_textView->printInfo(), m_window);
    if (!chosen)
        return;
    m_textView->setPrintInfo(*chosen);
}

namespace {
// Toggles one character property on the selection (or the typing format) of `edit`.
void toggle(QTextEdit *edit, const std::function<bool(const QTextCharFormat &)> &isOn,
            const std::function<void(QTextCharFormat &, bool)> &set)
{
    if (edit->isReadOnly())
        return;
    // The selection's first character decides, as the cursor's format is that of the character before it.
    QTextCursor probe = edit->textCursor();
    if (probe.hasSelection())
        probe.setPosition(probe.selectionStart() + 1);
    QTextCharFormat change;
    set(change, !isOn(probe.hasSelection() || edit->textCursor().hasSelection() ? probe.charFormat()
                                                                                : edit->currentCharFormat()));
    edit->mergeCurrentCharFormat(change);
}
} // namespace

void LMReportView::boldCurrent()
{
    toggle(
        m_textView, [](const QTextCharFormat &f) { return f.fontWeight() >= QFont::Bold; },
        [](QTextCharFormat &f, bool on) { f.setFontWeight(on ? QFont::Bold : QFont::Normal); });
}

void LMReportView::italicCurrent()
{
    toggle(
        m_textView, [](const QTextCharFormat &f) { return f.fontItalic(); },
        [](QTextCharFormat &f, bool on) { f.setFontItalic(on); });
}

void LMReportView::underline()
{
    toggle(
        m_textView, [](const QTextCharFormat &f) { return f.fontUnderline(); },
        [](QTextCharFormat &f, bool on) { f.setFontUnderline(on); });
}

void LMReportView::fontCurrent()
{
    if (m_textView->isReadOnly())
        return;
    const std::optional<QFont> font = LMReportPanels::runFont(m_textView->currentCharFormat().font(), m_window);
    if (!font)
        return;
    QTextCharFormat change;
    change.setFont(*font, QTextCharFormat::FontPropertiesSpecifiedOnly);
    m_textView->mergeCurrentCharFormat(change);
}

void LMReportView::colourCurrent()
{
    if (m_textView->isReadOnly())
        return;
    const QBrush current = m_textView->currentCharFormat().foreground();
    const std::optional<QColor> colour =
        LMReportPanels::runColour(current.style() == Qt::NoBrush ? QColor(Qt::black) : current.color(), m_window);
    if (!colour)
        return;
    QTextCharFormat change;
    change.setForeground(*colour);
    m_textView->mergeCurrentCharFormat(change);
}

void LMReportView::insertIntoTextViews(const QString &text)
{
    if (m_textView->isReadOnly())
        return;
    m_textView->textCursor().insertText(text);
}

void LMReportView::printReport()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(m_textView->printInfo());
    printer.setDocName(name());
    if (!LMReportPanels::runPrint(&printer, m_window))
        return;
    m_textView->superPrint(printer);
}

void LMReportView::saveAsPdf()
{
    FilePanelOptions options;
    options.title = QStringLiteral("Save as PDF");
    options.suggestedName = (name().isEmpty() ? QStringLiteral("Report") : name()) + QStringLiteral(".pdf");
    options.nameFilters = {QStringLiteral("PDF documents (*.pdf)")};
    const QString path = Ui::instance().runSavePanel(options, m_window);
    if (path.isEmpty())
        return;
    QSaveFile file(path);
    std::unique_ptr<QTextDocument> copy(m_text->clone());
    LMReportPrinter::breakPagesAtFormFeeds(*copy);
    if (!file.open(QIODevice::WriteOnly) || !LMReportPrinter::writePdf(*copy, m_textView->printInfo(), file, name()) ||
        !file.commit()) {
        Ui::instance().runAlert(
            Alert::make(
                QStringLiteral("The PDF could not be saved"),
                QStringLiteral("\"%1\" could not be written: %2").arg(QFileInfo(path).fileName(), file.errorString())),
            m_window);
    }
}

void LMReportView::insertTextTable()
{
    if (m_textView->isReadOnly() || !m_document)
        return;
    if (const std::optional<QString> formula = LMReportTextTableSheet::run(*m_document, m_window))
        insertIntoTextViews(*formula);
}

// ---- Broadcasts

void LMReportView::itemDidRename(ItemKind kind, const QString &oldName, const QString &newName)
{
    if (kind == ItemKind::Report) {
        if (m_report.isDict() && (oldName == name() || newName == name()) && m_navigator)
            m_navigator->setCurrentTabLabel(newName);
        return;
    }
    if (kind != ItemKind::Table)
        return;
    const int index = m_tablePopUp->findText(oldName);
    if (index < 0)
        return;
    m_loadingPopUp = true;
    m_tablePopUp->setItemText(index, newName);
    m_loadingPopUp = false;
    if (m_report.isDict() && m_report.value(DesignKey::ContentTable).toString() == oldName)
        m_report.set(DesignKey::ContentTable, newName);
}

void LMReportView::itemDidDelete(ItemKind kind, const QString &name)
{
    if (kind != ItemKind::Table)
        return;
    const int index = m_tablePopUp->findText(name);
    if (index < 0 || index == m_tablePopUp->count() - 1)
        return;
    const bool wasSelected = m_tablePopUp->currentIndex() == index;
    m_loadingPopUp = true;
    m_tablePopUp->removeItem(index);
    if (wasSelected)
        m_tablePopUp->setCurrentIndex(m_tablePopUp->count() - 1);
    m_loadingPopUp = false;
    if (wasSelected && m_report.isDict() && !this->name().isEmpty())
        m_report.set(DesignKey::ContentTable, kNone);
}

// ---- Toolbar

QStringList LMReportView::toolbarAllowedItemIdentifiers() const
{
    QStringList ids;
    for (const auto &item : toolbarItems())
        ids << item.first;
    return ids;
}

QStringList LMReportView::toolbarDefaultItemIdentifiers() const
{
    return toolbarAllowedItemIdentifiers();
}

QAction *LMReportView::toolbarItem(const QString &itemIdentifier, bool)
{
    if (QAction *existing = m_actions.value(itemIdentifier))
        return existing;
    QString label;
    for (const auto &item : toolbarItems())
        if (item.first == itemIdentifier)
            label = item.second;
    if (label.isEmpty())
        return nullptr;
    auto *action = new QAction(label, m_view);
    action->setObjectName(itemIdentifier);
    const QHash<QString, std::function<void()>> commands = {
        {QStringLiteral("Overview"),
         [this] {
             if (m_navigator)
                 m_navigator->switchToOverview();
         }},
        {QStringLiteral("Bold"), [this] { boldCurrent(); }},
        {QStringLiteral("Italic"), [this] { italicCurrent(); }},
        {QStringLiteral("Underline"), [this] { underline(); }},
        {QStringLiteral("Font"), [this] { fontCurrent(); }},
        {QStringLiteral("Colour"), [this] { colourCurrent(); }},
        {QStringLiteral("Formulas"), [this] { switchMode(); }},
        {QStringLiteral("Text Table"), [this] { insertTextTable(); }},
        {QStringLiteral("Page Setup"), [this] { startPageLayoutSheet(); }},
        {QStringLiteral("Print"), [this] { printReport(); }},
        {QStringLiteral("PDF"), [this] { saveAsPdf(); }},
        {QStringLiteral("Rename"), [this] { askForNameOpenButton(); }},
        {QStringLiteral("Delete"), [this] { deleteMe(); }},
    };
    if (itemIdentifier == QLatin1String("Formulas"))
        action->setCheckable(true);
    const std::function<void()> command = commands.value(itemIdentifier);
    QObject::connect(action, &QAction::triggered, m_view, [command] { command(); });
    m_actions.insert(itemIdentifier, action);
    updateToolbarState();
    return action;
}

void LMReportView::updateToolbarState()
{
    const bool design = !isPreviewing();
    for (const char *id : {"Bold", "Italic", "Underline", "Font", "Colour", "Text Table"})
        if (QAction *a = m_actions.value(QLatin1String(id)))
            a->setEnabled(design);
    if (QAction *preview = m_actions.value(QStringLiteral("Formulas")))
        preview->setChecked(!design);
    if (QAction *remove = m_actions.value(QStringLiteral("Delete")))
        remove->setEnabled(!name().isEmpty());
}

std::unique_ptr<LMViewController> makeReportView(const LMViewContext &context, const LMViewRequest &request)
{
    Value report = request.item;
    if (!report.isDict() && context.document && !request.name.isEmpty())
        report = context.document->reportNamed(request.name);
    return std::make_unique<LMReportView>(context, report);
}
