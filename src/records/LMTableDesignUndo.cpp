// LMTableDesignUndo: undo and redo swap the editor's state with the one the step holds.
#include "LMTableDesignUndo.h"

#include <QUndoStack>

LMTableDesignUndoCommand::LMTableDesignUndoCommand(LMTableDesignView *editor, LMTableDesignSnapshot before,
                                                   const QString &text)
    : m_editor(editor), m_state(std::move(before))
{
    setText(text);
}

void LMTableDesignUndoCommand::undo()
{
    if (!m_editor)
        return;
    // The current state is kept first so that redo can bring it back.
    LMTableDesignSnapshot current = m_editor->snapshot();
    m_editor->restore(m_state);
    m_state = std::move(current);
}

void LMTableDesignUndoCommand::redo()
{
    // QUndoStack::push redoes the step; the editor has already made it.
    if (!m_pushed) {
        m_pushed = true;
        return;
    }
    undo();
}

void LMTableDesignUndoCommand::detach()
{
    m_editor = nullptr;
    setObsolete(true);
}

void LMTableDesignUndoCommand::removeStepsOf(const LMTableDesignView *editor, QUndoStack *stack)
{
    if (!stack)
        return;
    bool onlyDetachedLeft = true;
    for (int i = 0; i < stack->count(); ++i) {
        // const_cast: QUndoStack hands out its commands only as const.
        auto *step = dynamic_cast<LMTableDesignUndoCommand *>(const_cast<QUndoCommand *>(stack->command(i)));
        if (step && (step->editor() == editor || !step->editor()))
            step->detach();
        else
            onlyDetachedLeft = false;
    }
    if (onlyDetachedLeft)
        stack->clear();
}
