// LMRecordEditor: what a record container asks of each editor in its tabs (a record grid or a form editor).
#pragma once

class QWidget;

class LMRecordEditor {
public:
    virtual ~LMRecordEditor() = default;

    // The widget the container shows in the editor's tab; the editor owns it.
    virtual QWidget *editorWidget() const = 0;

    // The container's toolbar items, sent to the editor of the selected tab.
    virtual void addRecord() = 0;
    virtual void deleteRecord() = 0;
    virtual void insertRecord() = 0;
    virtual void uninsertRecord() = 0;
    virtual void toggleDataPanel() = 0;
    virtual void toggleQueryFilter() = 0;

    // The editor's tab was selected (again): show current data.
    virtual void editorSelected() = 0;
    // The window asked the view to refresh.
    virtual void refreshEditor() = 0;
    // Commit pending edits before the view goes or the document saves.
    virtual void commitEditor() {}

    // False when the editor has nothing to edit (a form without a valid content table): no item is enabled.
    virtual bool canEditRecords() const { return true; }
    // Whether a record is selected and shown, so that "Delete Record" and "Uninsert Record" apply.
    virtual bool showsRecord() const = 0;
};
