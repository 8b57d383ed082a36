// LMReportView: the "Reports" tab: the paged template, its content table and page setup, formatting, and the
// design/preview cycle that shows the evaluated report without ever storing it.
#pragma once

#include "LMIdentifiedView.h"
#include "LMReportParser.h"
#include "LMViewController.h"
#include "Value.h"

#include <QPointer>
#include <memory>

class LMDocumentNavigator;
class LMReportPreviewBar;
class LMReportTextView;
class MyDocument;
class QAction;
class QComboBox;
class QTextDocument;
struct LMViewContext;
struct LMViewRequest;

class LMReportView : public LMViewController, public LMReportParserDelegate {
public:
    // `report` is the record in the document's reports, or null for a new report that the name sheet creates.
    LMReportView(const LMViewContext &context, const Value &report);
    ~LMReportView() override;

    QString identifier() const override;
    LMIdentifiedView *view() override { return m_view; }

    void refresh() override;
    // Writes the template (the design text, also while previewing) and the page setup into the record.
    void cleanUp() override;
    void itemDidRename(ItemKind kind, const QString &oldName, const QString &newName) override;
    void itemDidDelete(ItemKind kind, const QString &name) override;

    bool providesToolbar() const override { return true; }
    QStringList toolbarAllowedItemIdentifiers() const override;
    QStringList toolbarDefaultItemIdentifiers() const override;
    QAction *toolbarItem(const QString &itemIdentifier, bool willBeInserted) override;

    Value report() const { return m_report; }
    LMReportTextView *textView() const { return m_textView; }
    LMReportPreviewBar *previewBar() const { return m_previewBar; }
    QComboBox *contentTablePopUp() const { return m_tablePopUp; }

    // Design and preview.
    bool isPreviewing() const { return m_designText != nullptr; }
    void switchMode();
    void replaceFormulas();
    void setProgressValue(float fraction) override;

    // The name sheet: asks until a valid name is given or the user cancels; true when a name was taken.
    bool askForNameOpenButton();
    // Takes `name` and the pop-up's content table; false (after a beep) for an empty or taken name.
    bool nameSheetEnded(const QString &name);

    void deleteMe();
    void startPageLayoutSheet();
    void boldCurrent();
    void italicCurrent();
    void underline();
    // The font and colour panels on the selection (or the typing format).
    void fontCurrent();
    void colourCurrent();
    void insertIntoTextViews(const QString &text);
    // The print panel, then the pages; and the save panel, then a PDF of the text shown.
    void printReport();
    void saveAsPdf();
    // The text-table sheet; its formula goes in at the insertion point.
    void insertTextTable();

private:
    void buildInterface();
    void loadFromRecord();
    void reloadTablePopUp(const QString &selected);
    void contentTableChosen();
    void updateToolbarState();
    QString name() const;

    MyDocument *m_document = nullptr;
    LMDocumentNavigator *m_navigator = nullptr;
    QWidget *m_window = nullptr;
    Value m_report;
    QPointer<LMIdentifiedView> m_view;
    LMReportTextView *m_textView = nullptr;
    LMReportPreviewBar *m_previewBar = nullptr;
    QComboBox *m_tablePopUp = nullptr;
    // The text shown: the template, or the evaluated report while previewing.
    std::unique_ptr<QTextDocument> m_text;
    // The template kept aside while previewing.
    std::unique_ptr<QTextDocument> m_designText;
    QHash<QString, QAction *> m_actions;
    bool m_loadingPopUp = false;
};

std::unique_ptr<LMViewController> makeReportView(const LMViewContext &context, const LMViewRequest &request);
