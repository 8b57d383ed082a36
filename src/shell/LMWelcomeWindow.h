// LMWelcomeWindow: the small window shown at start when "LMShowWelcomeScreen" is on: new, open, recent documents.
#pragma once

#include <QWidget>

class LMApplication;
class QCheckBox;
class QListWidget;
class QPushButton;

class LMWelcomeWindow : public QWidget {
    Q_OBJECT
public:
    explicit LMWelcomeWindow(LMApplication *application, QWidget *parent = nullptr);

    QListWidget *recentList() const { return m_recent; }
    QPushButton *newButton() const { return m_new; }
    QPushButton *openButton() const { return m_open; }
    QCheckBox *showAtStart() const { return m_showAtStart; }

    // Each closes the window once a document window is open.
    void newDocument();
    void openDocument();
    void openRecent(int row);

private:
    void fillRecent();
    void closeWhenADocumentIsOpen();

    LMApplication *m_application;
    QListWidget *m_recent = nullptr;
    QPushButton *m_new = nullptr;
    QPushButton *m_open = nullptr;
    QCheckBox *m_showAtStart = nullptr;
};
