// LMIdentifiedView: identifier plus controller; the view owns the controller it adopts.
#include "LMIdentifiedView.h"

#include "LMViewController.h"

LMIdentifiedView::LMIdentifiedView(const QString &identifier, QWidget *parent)
    : QWidget(parent), m_identifier(identifier)
{
}

// The controller goes first, while the view's children still exist.
LMIdentifiedView::~LMIdentifiedView()
{
    m_ownedController.reset();
}

void LMIdentifiedView::adoptController(std::unique_ptr<LMViewController> controller)
{
    m_controller = controller.get();
    m_ownedController = std::move(controller);
}
