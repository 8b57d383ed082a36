// OXCodeSenseWindow and OXCodeSenseView: the small floating list of completions drawn over the editor.
#pragma once

#include <QFrame>
#include <QListWidget>

class QLabel;

class OXCodeSenseView : public QListWidget {
    Q_OBJECT
public:
    explicit OXCodeSenseView(QWidget *parent = nullptr);
};

class OXCodeSenseWindow : public QFrame {
    Q_OBJECT
public:
    explicit OXCodeSenseWindow(QWidget *parent);
    void setMatches(const QStringList &matches, int selected);
    // The selected function's prototype and help text (empty: hidden).
    void setDocumentation(const QString &text);
    OXCodeSenseView *view() const { return m_view; }

signals:
    void activated(int row);

private:
    void relayout();

    OXCodeSenseView *m_view = nullptr;
    QLabel *m_documentation = nullptr;
};
