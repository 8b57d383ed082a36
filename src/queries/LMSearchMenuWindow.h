// LMSearchMenuWindow: the floating results window under the toolbar's search field; it follows the field's
// text as the user types, takes the arrow keys and Return from the field, and closes when a result is chosen
// or the field loses the focus.
#pragma once

#include <QFrame>
#include <QPointer>

class LMDocumentNavigator;
class LMSearchMenuModel;
class MyDocument;
class QLineEdit;
class QListWidget;

class LMSearchMenuWindow : public QFrame {
    Q_OBJECT
public:
    // Watches `field`: typing into it shows the window and re-targets it; the result the user picks is opened
    // through `navigator` (when given) and announced by itemChosen. The window goes when the field does.
    static LMSearchMenuWindow *attach(QLineEdit *field, MyDocument *document, LMDocumentNavigator *navigator = nullptr);

    LMSearchMenuWindow(QLineEdit *field, MyDocument *document, LMDocumentNavigator *navigator = nullptr);
    ~LMSearchMenuWindow() override;

    // Points the window at a field (the toolbar may be rebuilt) and runs the field's text.
    void setSearchField(QLineEdit *field);
    LMSearchMenuModel *model() const { return m_model; }
    QListWidget *list() const { return m_list; }
    // Closes the window, clears the field and gives up the focus.
    void dismiss();

signals:
    void itemChosen(const QString &kind, const QString &name);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool event(QEvent *event) override;

private:
    void updateList();
    void reposition();
    void choose(int row);

    QPointer<QLineEdit> m_field;
    LMDocumentNavigator *m_navigator = nullptr;
    LMSearchMenuModel *m_model = nullptr;
    QListWidget *m_list = nullptr;
};
