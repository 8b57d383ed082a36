// GridHarness: builds the grid through makeTableEditController, like the window's registry does.
#include "GridHarness.h"

#include "LMIdentifiedView.h"
#include "LMTableEditContainer.h"

#include <QTest>
#include <QVBoxLayout>

GridHarness::GridHarness(MyDocument *document, const QString &table, bool show, LMDocumentNavigator *navigator)
{
    m_window = std::make_unique<QWidget>();
    std::unique_ptr<LMViewController> controller = makeTableEditController(document, table, m_window.get(), navigator);
    m_container = static_cast<LMTableEditContainer *>(controller.get());
    m_view.reset(controller->view());
    m_view->adoptController(std::move(controller));
    auto *layout = new QVBoxLayout(m_window.get());
    layout->addWidget(m_view.get());
    m_window->resize(900, 500);
    if (show) {
        m_window->show();
        if (!QTest::qWaitForWindowExposed(m_window.get()))
            qWarning("GridHarness: the window was not exposed");
    }
}

GridHarness::~GridHarness()
{
    // The view (and with it the controller) goes before the window it sits in.
    m_view.reset();
    m_window.reset();
}

LMTableEditView *GridHarness::grid() const
{
    return m_container->activeGrid();
}
