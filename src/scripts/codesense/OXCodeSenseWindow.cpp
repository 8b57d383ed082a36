// OXCodeSenseWindow: a rounded, shadowed list that never takes the keyboard from the editor.
#include "OXCodeSenseWindow.h"

#include <QGraphicsDropShadowEffect>
#include <QLabel>
#include <QVBoxLayout>

OXCodeSenseView::OXCodeSenseView(QWidget *parent) : QListWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setUniformItemSizes(true);
}

OXCodeSenseWindow::OXCodeSenseWindow(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("OXCodeSenseWindow"));
    setFocusPolicy(Qt::NoFocus);
    setStyleSheet(QStringLiteral("#OXCodeSenseWindow { background: palette(base); border: 1px solid #b0b0b0;"
                                 " border-radius: 6px; }"));
    auto *shadow = new QGraphicsDropShadowEffect(this);
    shadow->setBlurRadius(12);
    shadow->setOffset(0, 3);
    shadow->setColor(QColor(0, 0, 0, 90));
    setGraphicsEffect(shadow);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(2);
    m_view = new OXCodeSenseView(this);
    m_documentation = new QLabel(this);
    m_documentation->setWordWrap(true);
    m_documentation->setTextFormat(Qt::PlainText);
    m_documentation->hide();
    layout->addWidget(m_view);
    layout->addWidget(m_documentation);
    connect(m_view, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { emit activated(m_view->row(item)); });
}

void OXCodeSenseWindow::setMatches(const QStringList &matches, int selected)
{
    m_view->clear();
    m_view->addItems(matches);
    m_view->setCurrentRow(selected);
    const int rows = std::min<int>(int(matches.size()), 8);
    const int rowHeight = m_view->sizeHintForRow(0) > 0 ? m_view->sizeHintForRow(0) : fontMetrics().height() + 2;
    m_view->setFixedHeight(rows * rowHeight + 4);
    int width = 160;
    for (const QString &m : matches)
        width = std::max(width, fontMetrics().horizontalAdvance(m) + 40);
    setFixedWidth(std::min(width, 420));
    relayout();
}

void OXCodeSenseWindow::setDocumentation(const QString &text)
{
    m_documentation->setText(text);
    m_documentation->setVisible(!text.isEmpty());
    relayout();
}

void OXCodeSenseWindow::relayout()
{
    // A wrapped label's height depends on the width, which the layout's own size hint does not follow.
    const QMargins margins = layout()->contentsMargins();
    int height = margins.top() + margins.bottom() + m_view->height();
    if (!m_documentation->isHidden())
        height += layout()->spacing() + m_documentation->heightForWidth(width() - margins.left() - margins.right());
    setFixedHeight(height);
}
