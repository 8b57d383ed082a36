// LMPlaceholderView: shows "<title> — <subject> (coming later)" in the tab.
#include "LMPlaceholderView.h"

#include "LMIdentifiedView.h"

#include <QLabel>
#include <QVBoxLayout>

LMPlaceholderView::LMPlaceholderView(const QString &identifier, const QString &title, const QString &subject)
    : m_identifier(identifier), m_title(title), m_subject(subject)
{
    m_view = new LMIdentifiedView(identifier);
    m_view->setController(this);
    auto *layout = new QVBoxLayout(m_view);
    m_label = new QLabel;
    m_label->setAlignment(Qt::AlignCenter);
    m_label->setWordWrap(true);
    QFont font = m_label->font();
    font.setPointSizeF(font.pointSizeF() * 1.4);
    m_label->setFont(font);
    m_label->setStyleSheet(QStringLiteral("color: palette(mid);"));
    layout->addWidget(m_label);
    m_label->setText(text());
}

LMPlaceholderView::~LMPlaceholderView() = default;

LMIdentifiedView *LMPlaceholderView::view()
{
    return m_view;
}

QString LMPlaceholderView::text() const
{
    return m_subject.isEmpty() ? QStringLiteral("%1 (coming later)").arg(m_title)
                               : QStringLiteral("%1 — %2 (coming later)").arg(m_title, m_subject);
}

void LMPlaceholderView::refresh()
{
    ++m_refreshes;
    if (m_label)
        m_label->setText(text());
}

void LMPlaceholderView::itemDidRename(ItemKind, const QString &oldName, const QString &newName)
{
    if (m_subject == oldName) {
        m_subject = newName;
        refresh();
    }
}
