// LMDataPanelWindow: turns Qt's activation, close and minimise events into the panel's window-delegate calls.
#include "LMDataPanelWindow.h"

#include "LMDataPanel.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEvent>

LMDataPanelWindow::LMDataPanelWindow(LMDataPanel *manager) : QWidget(nullptr, Qt::Tool), m_manager(manager)
{
    setWindowTitle(tr("Data"));
    setObjectName(QStringLiteral("LMDataPanelWindow"));
    // A utility panel: closing the last document window quits even while the panel is open.
    setAttribute(Qt::WA_QuitOnClose, false);
}

void LMDataPanelWindow::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange) {
        // Asked of the application rather than isActiveWindow(): some styles count a tool window as active
        // whenever its parent is, and the panel has none.
        const bool active = QApplication::activeWindow() == this;
        if (active == m_key)
            return;
        m_key = active;
        if (active)
            m_manager->windowDidBecomeKey();
        else
            m_manager->windowDidResignKey();
    } else if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMinimized)) {
        m_manager->windowDidMiniaturize();
    }
}

void LMDataPanelWindow::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    if (!event->isAccepted())
        return;
    // Commit while the panel still counts as visible; the forced commit does not depend on it anyway.
    m_key = false;
    m_manager->windowDidClose();
}

void LMDataPanelWindow::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    // Ordering out a key panel resigns key: what it holds reaches the field that is still current.
    if (m_key) {
        m_key = false;
        m_manager->windowDidResignKey();
    }
}
