// LMFormDesignToolbar: the "Form Design" view's toolbar items: modes, alignment, z-order, lock, grid and actions.
#include "FDCanvas.h"
#include "FDCanvasEditor.h"
#include "LMDocumentNavigator.h"
#include "LMFormDesignController.h"
#include "LMModeButtons.h"
#include "Ui.h"
#include "ViewKind.h"

#include <QAction>
#include <QButtonGroup>
#include <QHBoxLayout>
#include <QHash>
#include <QToolButton>
#include <QWidgetAction>

namespace {
const QString kAlignLeft = QStringLiteral("Align Left");
const QString kAlignRight = QStringLiteral("Align Right");
const QString kAlignTop = QStringLiteral("Align Top");
const QString kAlignBottom = QStringLiteral("Align Bottom");
const QString kFront = QStringLiteral("Bring to Front");
const QString kForwards = QStringLiteral("Bring Forward");
const QString kBackwards = QStringLiteral("Send Backward");
const QString kBack = QStringLiteral("Send to Back");
const QString kLock = QStringLiteral("Lock");
const QString kGrid = QStringLiteral("Show Grid");
const QString kSnap = QStringLiteral("Snap to Grid");
const QString kAddAction = QStringLiteral("Add Action");
const QString kAutoGenerate = QStringLiteral("Auto Generate");

// The short text shown under an item (the identifier is the tooltip).
QString labelOf(const QString &item)
{
    static const QHash<QString, QString> labels = {{kAlignLeft, QStringLiteral("Left")},
                                                   {kAlignRight, QStringLiteral("Right")},
                                                   {kAlignTop, QStringLiteral("Top")},
                                                   {kAlignBottom, QStringLiteral("Bottom")},
                                                   {kFront, QStringLiteral("Front")},
                                                   {kForwards, QStringLiteral("Forward")},
                                                   {kBackwards, QStringLiteral("Backward")},
                                                   {kBack, QStringLiteral("Back")},
                                                   {kGrid, QStringLiteral("Grid")},
                                                   {kSnap, QStringLiteral("Snap")},
                                                   {kAutoGenerate, QStringLiteral("Generate")}};
    return labels.value(item, item);
}

// Items that work on the selection.
const QStringList &selectionItems()
{
    static const QStringList items = {kAlignLeft, kAlignRight, kAlignTop, kAlignBottom, kFront,
                                      kForwards,  kBackwards,  kBack,     kLock};
    return items;
}
} // namespace

QStringList LMFormDesignController::toolbarAllowedItemIdentifiers() const
{
    return {kModes,     kAlignLeft, kAlignRight, kAlignTop, kAlignBottom, kFront,     kForwards,
            kBackwards, kBack,      kLock,       kGrid,     kSnap,        kAddAction, kAutoGenerate};
}

QAction *LMFormDesignController::toolbarItem(const QString &itemIdentifier, bool willBeInserted)
{
    Q_UNUSED(willBeInserted)
    if (QAction *existing = m_toolbarActions.value(itemIdentifier))
        return existing;
    if (!toolbarAllowedItemIdentifiers().contains(itemIdentifier))
        return nullptr;
    if (itemIdentifier == kModes) {
        const LMModeButtons modes = makeModeButtons(this, kModes, ViewKinds::modeButtonTitle(ViewKind::FormDesign),
                                                    [this](const QString &mode) { switchToMode(mode); });
        QWidgetAction *action = modes.action;
        m_modeButtons = modes.group;
        m_toolbarActions.insert(kModes, action);
        updateToolbarItems();
        return action;
    }
    auto *action = new QAction(labelOf(itemIdentifier), this);
    action->setObjectName(itemIdentifier);
    action->setToolTip(itemIdentifier);
    action->setCheckable(itemIdentifier == kGrid || itemIdentifier == kSnap);
    connect(action, &QAction::triggered, this, [this, itemIdentifier] { runToolbarItem(itemIdentifier); });
    m_toolbarActions.insert(itemIdentifier, action);
    if (!m_toolbarFollowsCanvas) {
        m_toolbarFollowsCanvas = true;
        // The items follow the selection and the canvas settings from the first one made.
        connect(m_canvas.get(), &FDCanvas::selectionChanged, this, &LMFormDesignController::updateToolbarItems);
        connect(m_canvas.get(), &FDCanvas::canvasPaneNeedsRefresh, this, &LMFormDesignController::updateToolbarItems);
        connect(m_canvas.get(), &FDCanvas::changed, this, &LMFormDesignController::updateToolbarItems);
    }
    updateToolbarItems();
    return action;
}

void LMFormDesignController::updateToolbarItems()
{
    const bool hasSelection = !m_canvas->selection().isEmpty();
    const bool validTable = hasValidContentTable();
    for (const QString &item : selectionItems())
        if (QAction *action = m_toolbarActions.value(item))
            action->setEnabled(hasSelection);
    if (QAction *action = m_toolbarActions.value(kAddAction))
        action->setEnabled(m_canvas->selection().size() == 1);
    if (QAction *action = m_toolbarActions.value(kAutoGenerate))
        action->setEnabled(validTable && m_canvas->controls().isEmpty());
    if (QAction *action = m_toolbarActions.value(kGrid))
        action->setChecked(m_canvas->showGrid());
    if (QAction *action = m_toolbarActions.value(kSnap))
        action->setChecked(m_canvas->snapToGrid());
    if (m_modeButtons) {
        for (QAbstractButton *button : m_modeButtons->buttons()) {
            const std::optional<ViewKind> kind = ViewKinds::fromModeButton(button->text());
            const bool tableMode = kind == ViewKind::TableDesign || kind == ViewKind::TableEdit;
            button->setEnabled(!tableMode || validTable);
            button->setChecked(kind == ViewKind::FormDesign);
        }
    }
}

bool LMFormDesignController::runToolbarItem(const QString &itemIdentifier)
{
    updateToolbarItems();
    if (QAction *action = m_toolbarActions.value(itemIdentifier); action && !action->isEnabled())
        return false;
    FDCanvas *canvas = m_canvas.get();
    FDCanvasEditor *editor = m_editor.get();
    if (itemIdentifier == kAlignLeft)
        editor->align(QStringLiteral("left"));
    else if (itemIdentifier == kAlignRight)
        editor->align(QStringLiteral("right"));
    else if (itemIdentifier == kAlignTop)
        editor->align(QStringLiteral("top"));
    else if (itemIdentifier == kAlignBottom)
        editor->align(QStringLiteral("bottom"));
    else if (itemIdentifier == kFront)
        canvas->bringToFront();
    else if (itemIdentifier == kForwards)
        canvas->bringForwards();
    else if (itemIdentifier == kBackwards)
        canvas->sendBackwards();
    else if (itemIdentifier == kBack)
        canvas->sendToBack();
    else if (itemIdentifier == kLock)
        canvas->lockUnlock();
    else if (itemIdentifier == kGrid)
        canvas->showHideGrid();
    else if (itemIdentifier == kSnap)
        canvas->toggleSnapToGrid();
    else if (itemIdentifier == kAddAction)
        return addAction().has_value();
    else if (itemIdentifier == kAutoGenerate) {
        if (!canvas->autoGenerate(database())) {
            Ui::instance().beep();
            return false;
        }
        editor->undoManager_addControls(canvas->controls());
    } else {
        return false;
    }
    emit editor->modelChanged();
    updateToolbarItems();
    return true;
}

void LMFormDesignController::switchToMode(const QString &mode)
{
    updateToolbarItems();
    const std::optional<ViewKind> kind = ViewKinds::fromModeButton(mode);
    if (kind == ViewKind::FormDesign || !m_navigator)
        return;
    const bool tableMode = kind == ViewKind::TableDesign || kind == ViewKind::TableEdit;
    if (tableMode && !hasValidContentTable()) {
        Ui::instance().beep();
        return;
    }
    // The form is stored first, so the counterpart sees it as it is now (and an unnamed form gets its name).
    cleanUp();
    if (kind == ViewKind::TableDesign)
        m_navigator->switchToTableDesignView(m_canvas->contentTable());
    else if (kind == ViewKind::TableEdit)
        m_navigator->switchToTableEditView(m_canvas->contentTable());
    else if (kind == ViewKind::FormData)
        m_navigator->switchToFormDataView(m_canvas->name());
}
