// OXCodeSenseController: finds what the user is typing, offers its completions and inserts the chosen one.
#include "OXCodeSenseController.h"

#include "OXCodeSenseWindow.h"
#include "OXScriptKnowledgeBase.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>

#include <optional>

namespace {
bool isNameCharacter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') || (u >= u'0' && u <= u'9');
}
} // namespace

OXCodeSenseController::OXCodeSenseController(QObject *parent)
    : OXCodeSenseController(OXScriptKnowledgeBase::sharedKnowledgeBase(), parent)
{
}

OXCodeSenseController::OXCodeSenseController(const OXScriptKnowledgeBase &base, QObject *parent)
    : QObject(parent), m_base(base)
{
}

OXCodeSenseController::~OXCodeSenseController()
{
    if (m_textView) {
        m_textView->removeEventFilter(this);
        m_textView->viewport()->removeEventFilter(this);
    }
    delete m_window;
}

const QStringList &OXCodeSenseController::namespaceWords()
{
    static const QStringList words{QStringLiteral("Data"), QStringLiteral("Form"), QStringLiteral("Tools"),
                                   QStringLiteral("Document"), QStringLiteral("Orvix")};
    return words;
}

const QStringList &OXCodeSenseController::keywords()
{
    static const QStringList words{
        QStringLiteral("break"),   QStringLiteral("case"),    QStringLiteral("catch"),      QStringLiteral("continue"),
        QStringLiteral("default"), QStringLiteral("delete"),  QStringLiteral("do"),         QStringLiteral("else"),
        QStringLiteral("false"),   QStringLiteral("finally"), QStringLiteral("for"),        QStringLiteral("function"),
        QStringLiteral("if"),      QStringLiteral("in"),      QStringLiteral("instanceof"), QStringLiteral("new"),
        QStringLiteral("null"),    QStringLiteral("return"),  QStringLiteral("switch"),     QStringLiteral("this"),
        QStringLiteral("throw"),   QStringLiteral("true"),    QStringLiteral("try"),        QStringLiteral("typeof"),
        QStringLiteral("var"),     QStringLiteral("void"),    QStringLiteral("while"),      QStringLiteral("with")};
    return words;
}

QStringList OXCodeSenseController::pathBeforeCaret(QStringView text, qsizetype caret)
{
    caret = std::clamp<qsizetype>(caret, 0, text.size());
    QStringList components;
    QString current;
    bool afterDot = false;
    for (qsizetype i = caret - 1; i >= 0; --i) {
        const QChar c = text[i];
        if (isNameCharacter(c)) {
            current.prepend(c);
            afterDot = false;
        } else if (c == u'.' && !afterDot) {
            components.prepend(current);
            current.clear();
            afterDot = true;
        } else {
            break;
        }
    }
    components.prepend(current);
    const bool dotBeforeCaret = caret > 0 && text[caret - 1] == u'.';
    QStringList path;
    for (qsizetype i = 0; i < components.size(); ++i) {
        if (!components[i].isEmpty() || (i == components.size() - 1 && dotBeforeCaret))
            path.append(components[i]);
    }
    return path;
}

QStringList OXCodeSenseController::matchesForPath(const QStringList &path, const OXScriptKnowledgeBase &base)
{
    if (path.size() > 1)
        return base.suggestionsForPath(path);
    QStringList matches;
    if (path.isEmpty() || path.first().isEmpty())
        return matches;
    const QString &typed = path.first();
    for (const QStringList *list : {&namespaceWords(), &keywords()}) {
        for (const QString &word : *list) {
            if (word.startsWith(typed, Qt::CaseInsensitive))
                matches.append(word);
        }
    }
    return matches;
}

void OXCodeSenseController::setTextViewObject(QPlainTextEdit *textView)
{
    if (m_textView) {
        m_textView->removeEventFilter(this);
        m_textView->viewport()->removeEventFilter(this);
        disconnect(m_textView, nullptr, this, nullptr);
    }
    m_textView = textView;
    if (!textView)
        return;
    textView->installEventFilter(this);
    textView->viewport()->installEventFilter(this);
    connect(textView, &QPlainTextEdit::textChanged, this, &OXCodeSenseController::textChanged);
}

bool OXCodeSenseController::match()
{
    m_path.clear();
    m_matches.clear();
    if (m_textView) {
        const QTextCursor cursor = m_textView->textCursor();
        const QTextBlock block = cursor.block();
        // A path never crosses a line, so the caret's line is all the scan needs.
        m_path = pathBeforeCaret(block.text(), cursor.position() - block.position());
        m_matches = matchesForPath(m_path, m_base);
    }
    m_selected = 0;
    updateWindow();
    return !m_matches.isEmpty();
}

void OXCodeSenseController::setSelectedMatch(int index)
{
    if (m_matches.isEmpty())
        return;
    m_selected = std::clamp(index, 0, int(m_matches.size()) - 1);
    updateWindow();
}

QString OXCodeSenseController::selectedMatchString() const
{
    return m_selected >= 0 && m_selected < m_matches.size() ? m_matches[m_selected] : QString();
}

QString OXCodeSenseController::matchLeftForIndex(int index) const
{
    if (index < 0 || index >= m_matches.size() || m_path.isEmpty())
        return QString();
    return m_matches[index].left(m_path.last().size());
}

QString OXCodeSenseController::matchRightForIndex(int index) const
{
    if (index < 0 || index >= m_matches.size() || m_path.isEmpty())
        return QString();
    return m_matches[index].mid(m_path.last().size());
}

void OXCodeSenseController::confirmCodeSense()
{
    const QString chosen = selectedMatchString();
    if (!m_textView || chosen.isEmpty() || m_path.isEmpty()) {
        setShown(false);
        return;
    }
    QTextCursor cursor = m_textView->textCursor();
    m_inserting = true;
    cursor.beginEditBlock();
    // The typed part is replaced too, so a word typed in another case ("fo") becomes the word itself ("Form").
    cursor.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor, int(m_path.last().size()));
    cursor.insertText(chosen);
    const bool isNamespace = namespaceWords().contains(chosen);
    if (isNamespace)
        cursor.insertText(QStringLiteral("."));
    cursor.endEditBlock();
    if (chosen.endsWith(QLatin1String("()")))
        cursor.movePosition(QTextCursor::Left);
    m_textView->setTextCursor(cursor);
    m_inserting = false;
    if (isNamespace)
        setShown(match());
    else
        setShown(false);
}

void OXCodeSenseController::cancelCodeSense()
{
    setShown(false);
}

void OXCodeSenseController::setShown(bool shown)
{
    m_shown = shown && !m_matches.isEmpty();
    updateWindow();
}

bool OXCodeSenseController::doCommandBySelector(Command command)
{
    if (!m_shown)
        return false;
    switch (command) {
    case Command::MoveUp: setSelectedMatch(m_selected - 1); return true;
    case Command::MoveDown: setSelectedMatch(m_selected + 1); return true;
    case Command::MoveRight:
    case Command::InsertNewline:
    case Command::InsertTab:
    case Command::Indent: confirmCodeSense(); return true;
    case Command::OtherMovement: confirmCodeSense(); return false;
    case Command::Delete: setShown(false); return false;
    case Command::Complete:
    case Command::Cancel: setShown(false); return true;
    }
    return false;
}

bool OXCodeSenseController::eventFilter(QObject *watched, QEvent *event)
{
    if (!m_textView)
        return QObject::eventFilter(watched, event);
    // A click in the text or leaving the editor ends the completion.
    if ((watched == m_textView->viewport() && event->type() == QEvent::MouseButtonPress) ||
        (watched == m_textView && event->type() == QEvent::FocusOut)) {
        if (m_shown)
            setShown(false);
        return QObject::eventFilter(watched, event);
    }
    if (watched != m_textView || event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    m_typing = false;
    const bool control = key->modifiers() & Qt::ControlModifier;
    if (control && key->key() == Qt::Key_Space) {
        // The completion command opens the list, or closes it when it is shown.
        if (m_shown)
            return doCommandBySelector(Command::Complete);
        setShown(match());
        return true;
    }
    if (m_shown) {
        std::optional<Command> command;
        switch (key->key()) {
        case Qt::Key_Up: command = Command::MoveUp; break;
        case Qt::Key_Down: command = Command::MoveDown; break;
        case Qt::Key_Right: command = Command::MoveRight; break;
        case Qt::Key_Return:
        case Qt::Key_Enter: command = Command::InsertNewline; break;
        case Qt::Key_Tab: command = Command::InsertTab; break;
        case Qt::Key_Left:
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown: command = Command::OtherMovement; break;
        case Qt::Key_Backspace:
        case Qt::Key_Delete: command = Command::Delete; break;
        case Qt::Key_Escape: command = Command::Cancel; break;
        default: break;
        }
        if (command)
            return doCommandBySelector(*command);
    }
    const QString text = key->text();
    m_typing = !control && text.size() == 1 && (isNameCharacter(text[0]) || text[0] == u'.');
    if (!m_typing && m_shown && !text.isEmpty() && text[0].isPrint())
        m_typing = true; // another character ends the name: the list closes on the change
    return false;
}

void OXCodeSenseController::textChanged()
{
    if (m_inserting)
        return;
    if (!m_typing) {
        if (m_shown)
            setShown(false);
        return;
    }
    m_typing = false;
    setShown(match());
}

void OXCodeSenseController::updateWindow()
{
    if (!m_textView)
        return;
    if (!m_shown) {
        if (m_window)
            m_window->hide();
        return;
    }
    if (!m_window) {
        m_window = new OXCodeSenseWindow(m_textView->viewport());
        connect(m_window, &OXCodeSenseWindow::activated, this, [this](int row) {
            setSelectedMatch(row);
            confirmCodeSense();
        });
    }
    m_window->setMatches(m_matches, m_selected);
    // The page of the selected match under the typed namespaces (a name may be in two of them).
    const QString chosen = selectedMatchString();
    OXScriptKnowledgeBase::Node page = nullptr;
    for (OXScriptKnowledgeBase::Node node : m_base.nodesWithNameStartingWith(chosen)) {
        if (node->title == chosen && m_base.nodeAncestryChecksOut(node, m_path)) {
            page = node;
            break;
        }
    }
    const QString proto = OXScriptKnowledgeBase::protoOfNode(page);
    const QString help = OXScriptKnowledgeBase::descriptionOfNode(page);
    m_window->setDocumentation(proto.isEmpty() ? QString() : proto + QStringLiteral("\n") + help);
    const QRect caret = m_textView->cursorRect();
    QPoint at = caret.bottomLeft() + QPoint(0, 2);
    const QWidget *viewport = m_textView->viewport();
    if (at.y() + m_window->height() > viewport->height())
        at.setY(std::max(0, caret.top() - m_window->height() - 2));
    at.setX(std::clamp(at.x(), 0, std::max(0, viewport->width() - m_window->width())));
    m_window->move(at);
    m_window->show();
    m_window->raise();
}
