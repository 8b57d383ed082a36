// LMDataPanel: the one floating panel of the application that edits the focused field's value in a larger editor.
#pragma once

#include "LMDataPanelClient.h"
#include "OXDatabase.h"
#include "Value.h"

#include <QObject>
#include <QPointer>
#include <QString>

class QCalendarWidget;
class QDateTimeEdit;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QWidget;
class LMDataPanelAttachmentWell;
class LMDataPanelFilePathWell;
class LMDataPanelImageWell;
class LMDataPanelMovieView;
class LMDataPanelTokenField;
class LMDataPanelWindow;

class LMDataPanel : public QObject {
    Q_OBJECT
public:
    // The instance, created on first use (needs a QApplication).
    static LMDataPanel *sharedManager();
    // The instance or null; never creates it.
    static LMDataPanel *lazySharedManager();

    QWidget *panel() const;
    // Order the panel out when visible; otherwise show it, make it key and order it front.
    void toggle();
    // Shows the panel in front, beside `window` and inside its screen, without taking the keyboard from it
    // (the cell being edited keeps typing). A panel already shown stays where the user put it.
    void showBeside(QWidget *window);
    // True while the panel is hidden: start-editing calls then load nothing.
    bool shouldSkip() const;

    // Grid path: the focused cell of `datasource` changed (row -1: no cell).
    void startEditingForDatasource(LMDataPanelClient *datasource, const QString &column, int row);
    // Form path: the focused control of a form changed.
    void startEditingForTable(const QString &table, const QString &column, const QString &rowid, OXDatabase *database,
                              LMDataPanelDelegate *delegate = nullptr);
    // Shows a value in the editor of a datatype, committing the previous field's editor first.
    void startEditingForObjectValue(const Value &value, const QString &datatype);
    // Shows a value without the visibility check and without committing first.
    void startEditingForValue(const Value &value, const QString &datatype);

    // The current control's value; null when there is none (or, for "Date", when no date was picked).
    Value value() const;
    // Commits the current control's value, subject to the guards.
    void complete();
    // Commits from `control` even while the panel is not key (a well that accepted a drop).
    void forceAction(QWidget *control);
    // Form path only: load the same field of the same record again.
    void reloadData();
    // Forgets the field: shows the not-applicable pane and clears the target.
    void documentDidBecomeInvalid();

    // Editor actions.
    void action(QWidget *control);
    void mainDateControl();
    void calDateControl();
    void todayButton();

    // Window delegate.
    void windowDidBecomeKey();
    void windowDidResignKey();
    void windowDidResignMain();
    void windowDidClose();
    void windowDidMiniaturize();

    // --- State, for the containers that drive the panel and for tests.
    LMDataPanelClient *datasource() const { return m_datasource; }
    LMDataPanelDelegate *delegate() const { return m_delegate; }
    OXDatabase *database() const { return m_database; }
    QString datatype() const { return m_datatype; }
    QString table() const { return m_table; }
    QString column() const { return m_column; }
    int row() const { return m_row; }
    QString rowid() const { return m_rowid; }
    bool isTempDisabled() const { return m_tempDisabled; }
    bool isSelfCalling() const { return m_selfCalling; }
    // The pane now shown and the editor control of the current datatype (null for none).
    QWidget *currentPane() const { return m_curPan; }
    QWidget *currentControl() const { return m_curCtrl; }
    // The pane and control a datatype uses; the not-applicable pane and null for the others.
    QWidget *paneForDatatype(const QString &datatype) const;
    QWidget *controlForDatatype(const QString &datatype) const;

    QWidget *naPan() const { return m_naPan; }
    QWidget *textPan() const { return m_textPan; }
    QWidget *numPan() const { return m_numPan; }
    QWidget *imagePan() const { return m_imagePan; }
    QWidget *videoPan() const { return m_videoPan; }
    QWidget *listPan() const { return m_listPan; }
    QWidget *attachmentPan() const { return m_attachmentPan; }
    QWidget *filepathPan() const { return m_filepathPan; }
    QPlainTextEdit *textCtrl() const { return m_textCtrl; }
    QDateTimeEdit *numCtrl1() const { return m_numCtrl1; }
    QCalendarWidget *numCtrl2() const { return m_numCtrl2; }
    QPushButton *todayCtrl() const { return m_todayCtrl; }
    LMDataPanelImageWell *imageCtrl() const { return m_imageCtrl; }
    LMDataPanelMovieView *videoCtrl() const { return m_videoCtrl; }
    LMDataPanelTokenField *listCtrl() const { return m_listCtrl; }
    LMDataPanelAttachmentWell *attachmentCtrl() const { return m_attachmentCtrl; }
    LMDataPanelFilePathWell *filepathCtrl() const { return m_filepathCtrl; }
    // Whether the date controls hold a date the field had or the user picked (else they show none).
    bool hasDate() const;

    // Called by the client and delegate destructors so a vanished view is never written to.
    void forgetClient(LMDataPanelClient *client);
    void forgetDelegate(LMDataPanelDelegate *delegate);

private:
    LMDataPanel();
    ~LMDataPanel() override;

    void buildInterface();
    QWidget *buildDatePane();
    QWidget *wrapInPane(QWidget *control, const QString &name);
    void showPane(QWidget *pane);
    // Puts a value into the editor of a datatype and remembers it as the value the field holds.
    void showValue(const Value &value, const QString &datatype);
    void loadValue(QWidget *control, const Value &value);
    void forcedCommit();
    void setDateControls(const Value &date);
    Value dateOfMainControl() const;
    Value valueOfControl(QWidget *control) const;
    bool isControlOfCurrentDatatype(QWidget *control) const;
    // Writes into the current target; the refusal alert when the field rejected the value.
    std::optional<Alert> writeValue(const Value &value);
    void clearTarget();

    LMDataPanelWindow *m_panel = nullptr;
    QStackedWidget *m_host = nullptr;
    LMDataPanelClient *m_datasource = nullptr;
    QPointer<OXDatabase> m_database;
    QString m_datatype;
    QString m_table;
    QString m_column;
    int m_row = -1;
    QString m_rowid;
    LMDataPanelDelegate *m_delegate = nullptr;
    bool m_tempDisabled = false;
    QWidget *m_curPan = nullptr;
    QWidget *m_curCtrl = nullptr;
    bool m_forceAction = false;
    bool m_selfCalling = false;
    // What the field held when it was shown or last written: an unchanged editor writes nothing.
    Value m_loaded;

    QWidget *m_naPan = nullptr;
    QWidget *m_textPan = nullptr;
    QWidget *m_numPan = nullptr;
    QWidget *m_imagePan = nullptr;
    QWidget *m_videoPan = nullptr;
    QWidget *m_listPan = nullptr;
    QWidget *m_attachmentPan = nullptr;
    QWidget *m_filepathPan = nullptr;
    QPlainTextEdit *m_textCtrl = nullptr;
    QDateTimeEdit *m_numCtrl1 = nullptr;
    QCalendarWidget *m_numCtrl2 = nullptr;
    QPushButton *m_todayCtrl = nullptr;
    LMDataPanelImageWell *m_imageCtrl = nullptr;
    LMDataPanelMovieView *m_videoCtrl = nullptr;
    LMDataPanelTokenField *m_listCtrl = nullptr;
    LMDataPanelAttachmentWell *m_attachmentCtrl = nullptr;
    LMDataPanelFilePathWell *m_filepathCtrl = nullptr;
};
