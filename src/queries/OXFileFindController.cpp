// OXFileFindController: the search range, wrapping, selection and beeps shared by both find modes.
#include "OXFileFindController.h"

#include "Ui.h"

OXFindResult OXFileFindController::setFindString(const QString &text)
{
    const QString old = m_find;
    m_find = text;
    if (m_selectedTextOnly || text.isEmpty())
        return m_lastResult;
    return search(false, old);
}

OXFindResult OXFileFindController::finish(OXFindResult result)
{
    m_lastResult = result;
    if (result == OXFindResult::NotFound)
        Ui::instance().beep();
    return result;
}

OXFindResult OXFileFindController::search(bool backwards, const QString &oldSearch)
{
    if (!m_view || !m_view->isValid() || m_find.isEmpty())
        return finish(OXFindResult::NotFound);
    const QString text = m_view->string();
    const int location = m_view->selectionLocation();
    const int length = m_view->selectionLength();
    const int start = qMax(0, location + length - int(oldSearch.size()));

    int from = 0, to = int(text.size());
    if (m_selectedTextOnly) {
        from = location;
        to = location + length;
    } else if (backwards) {
        to = qMax(0, start - length);
    } else {
        from = start;
    }
    bool invalid = false;
    std::optional<Range> match = find(text, from, to, backwards, &invalid);
    if (invalid)
        return finish(OXFindResult::Invalid);
    if (!match && m_wrapAround && !m_selectedTextOnly)
        match = find(text, 0, int(text.size()), backwards, &invalid);
    if (!match)
        return finish(OXFindResult::NotFound);
    m_view->setSelectedRange(match->location, match->length);
    m_view->showFindIndicator(match->location, match->length);
    return finish(OXFindResult::Found);
}

bool OXFileFindController::replace()
{
    if (!m_view || !m_view->isValid() || m_view->selectionLength() == 0) {
        Ui::instance().beep();
        return false;
    }
    const Range selection{m_view->selectionLocation(), m_view->selectionLength()};
    const QString replacement = replacementFor(m_view->string(), selection);
    m_view->replaceRange(selection.location, selection.length, replacement);
    m_view->showFindIndicator(selection.location, int(replacement.size()));
    return true;
}

OXFindResult OXFileFindController::replaceAndFind()
{
    replace();
    return search(false);
}

int OXFileFindController::replaceAll()
{
    if (!m_view || !m_view->isValid() || m_find.isEmpty()) {
        Ui::instance().beep();
        return 0;
    }
    const QString text = m_view->string();
    int from = 0, to = int(text.size());
    if (m_selectedTextOnly) {
        from = m_view->selectionLocation();
        to = from + m_view->selectionLength();
    }
    int count = 0;
    bool invalid = false;
    const QString changed = replacingAll(text, from, to, &count, &invalid);
    if (invalid) {
        m_lastResult = OXFindResult::Invalid;
        return 0;
    }
    m_lastResult = count > 0 ? OXFindResult::Found : OXFindResult::NotFound;
    if (count == 0) {
        Ui::instance().beep();
        return 0;
    }
    m_view->setString(changed);
    // Inside the selection the changed stretch stays selected; the text after it shifted by the difference.
    if (m_selectedTextOnly)
        m_view->setSelectedRange(from, to - from + int(changed.size() - text.size()));
    return count;
}

QColor OXFileFindController::fieldColor() const
{
    if (!isRegex())
        return QColor(Qt::white);
    if (m_lastResult == OXFindResult::Invalid)
        return QColor::fromRgbF(0.984f, 0.937f, 0.929f);
    return QColor::fromRgbF(0.951f, 0.984f, 0.929f);
}
