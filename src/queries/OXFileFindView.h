// OXFileFindView: the find panel shown inside a text view's container: find and replace fields, the three
// switches, the regular-expression switch with its options and syntax menus, and the history menu.
#pragma once

#include "OXFileFindController.h"
#include "OXFindHistory.h"

#include <QWidget>
#include <memory>

class QCheckBox;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QTextEdit;
class QToolButton;

class OXFileFindView : public QWidget {
    Q_OBJECT
public:
    enum Action { ShowPanel = 1, FindNext = 2, FindPrevious = 3, UseSelection = 4 };

    explicit OXFileFindView(QWidget *parent = nullptr);
    ~OXFileFindView() override;

    void setTextView(QTextEdit *edit);
    void setTextView(QPlainTextEdit *edit);

    // The menu commands by tag: show the panel, find next, find previous, use the selection for find.
    void performFileFindPanelAction(int tag);
    void show();
    void close();

    // The buttons.
    OXFindResult find(bool backwards);
    bool replaceOne();
    int replaceAll();
    OXFindResult replaceAndFind();
    void setWrapAround(bool on);
    void setIgnoreCase(bool on);
    void setSelectedTextOnly(bool on);
    void setRegex(bool on);
    bool isRegex() const { return m_regex; }
    // Chooses item `index` of the history menu ("Clear Menu" empties it).
    void historyMenu(int index);
    // Toggles one option of the "Regex Options" menu; chooses one syntax of the syntax menu.
    void regexOptionsMenu(const QString &title);
    void syntaxMode(const QString &title);

    OXFileFindController &controller() const;
    const OXFindHistory &history() const { return m_history; }
    QLineEdit *findField() const { return m_findField; }
    QLineEdit *replaceField() const { return m_replaceField; }
    QMenu *regexMenu() const { return m_regexMenu; }
    QMenu *historyMenuWidget() const { return m_historyMenu; }

private:
    void attach(std::shared_ptr<OXFindTextView> view);
    void syncControllers();
    void afterFind(OXFindResult result);
    void colourFields();
    void rebuildHistoryMenu();
    void rebuildRegexMenu();

    std::shared_ptr<OXFindTextView> m_view;
    OXFileFindController_Normal m_normal;
    OXFileFindController_Regex m_regexController;
    OXFindHistory m_history;
    bool m_regex = false;
    QString m_lastFind;
    QLineEdit *m_findField = nullptr;
    QLineEdit *m_replaceField = nullptr;
    QCheckBox *m_wrap = nullptr;
    QCheckBox *m_ignoreCase = nullptr;
    QCheckBox *m_selectedOnly = nullptr;
    QCheckBox *m_regexSwitch = nullptr;
    QToolButton *m_historyButton = nullptr;
    QMenu *m_historyMenu = nullptr;
    QToolButton *m_regexButton = nullptr;
    QMenu *m_regexMenu = nullptr;
};
