// LMTableDesignUndo: one recorded step of the table design editor on the document's undo stack.
#pragma once

#include "LMTableDesignView.h"

#include <QPointer>
#include <QUndoCommand>

class QUndoStack;

class LMTableDesignUndoCommand : public QUndoCommand {
public:
    // `before` is the editor's state before the step; the step itself has already been made.
    LMTableDesignUndoCommand(LMTableDesignView *editor, LMTableDesignSnapshot before, const QString &text);

    void undo() override;
    void redo() override;
    int id() const override { return 0x4c4d5444; } // never merged, but identifies the editor's steps

    const LMTableDesignView *editor() const { return m_editor.data(); }
    // Cuts the step off its editor: it does nothing any more and the stack drops it when it is reached.
    void detach();

    // Detaches every step of `editor` on `stack`, and empties the stack when nothing else is left on it.
    static void removeStepsOf(const LMTableDesignView *editor, QUndoStack *stack);

private:
    QPointer<LMTableDesignView> m_editor;
    LMTableDesignSnapshot m_state; // what the next undo or redo restores
    bool m_pushed = false;
};
