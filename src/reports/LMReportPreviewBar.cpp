// LMReportPreviewBar: a label and a progress bar, repainted immediately while the evaluator runs.
#include "LMReportPreviewBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>

LMReportPreviewBar::LMReportPreviewBar(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 4, 8, 4);
    m_label = new QLabel;
    m_bar = new QProgressBar;
    m_bar->setRange(0, 1000);
    m_bar->setTextVisible(false);
    m_bar->setMaximumWidth(200);
    layout->addWidget(m_label, 1);
    layout->addWidget(m_bar);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(0xfff4c2));
    setPalette(p);
}

void LMReportPreviewBar::setMessage(const QString &message)
{
    m_label->setText(message);
    m_label->repaint();
}

QString LMReportPreviewBar::message() const
{
    return m_label->text();
}

void LMReportPreviewBar::setProgress(float fraction)
{
    m_progress = qBound(0.0f, fraction, 1.0f);
    m_bar->setValue(int(m_progress * 1000));
    if (isVisible())
        m_bar->repaint();
}
