// OXCodeSenseController: completions while a script is typed: the path under the caret, its matches, the keys.
#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QStringView>

class OXCodeSenseWindow;
class OXScriptKnowledgeBase;
class QPlainTextEdit;

class OXCodeSenseController : public QObject {
    Q_OBJECT
public:
    // The editing commands the list answers while it is shown.
    enum class Command {
        MoveUp,
        MoveDown,
        MoveRight,
        InsertNewline,
        InsertTab,
        Indent,
        OtherMovement, // left, home, end, pages, word moves
        Delete,        // backward or forward
        Complete,
        Cancel,
    };

    explicit OXCodeSenseController(QObject *parent = nullptr);
    // A controller over another base (tests); the shared base otherwise.
    explicit OXCodeSenseController(const OXScriptKnowledgeBase &base, QObject *parent = nullptr);
    ~OXCodeSenseController() override;

    static const QStringList &namespaceWords();
    static const QStringList &keywords();
    // The components of the dotted name that ends at the caret (letters and digits only).
    static QStringList pathBeforeCaret(QStringView text, qsizetype caret);
    // The completions of a path: the base's pages under its namespaces, or the namespace words and keywords.
    static QStringList matchesForPath(const QStringList &path, const OXScriptKnowledgeBase &base);

    // Starts watching a text view: typing opens and updates the list, its keys are handled while it is shown.
    void setTextViewObject(QPlainTextEdit *textView);
    // Recomputes the path and the matches at the caret; answers whether there are any.
    bool match();
    void confirmCodeSense();
    void cancelCodeSense();
    void setShown(bool shown);
    bool isShown() const { return m_shown; }

    const QStringList &path() const { return m_path; }
    const QStringList &matches() const { return m_matches; }
    int selectedMatch() const { return m_selected; }
    void setSelectedMatch(int index);
    QString selectedMatchString() const;
    // The typed part and the part still to insert of a match.
    QString matchLeftForIndex(int index) const;
    QString matchRightForIndex(int index) const;
    // Key handling while the list is shown; answers whether the command was used up.
    bool doCommandBySelector(Command command);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void textChanged();
    void updateWindow();

    const OXScriptKnowledgeBase &m_base;
    QPointer<QPlainTextEdit> m_textView;
    QPointer<OXCodeSenseWindow> m_window;
    QStringList m_path;
    QStringList m_matches;
    int m_selected = 0;
    bool m_shown = false;
    bool m_typing = false;
    bool m_inserting = false;
};
