// LMFormDataContainer: the "Form Data" view of a form: the record container with the main form editor and the
// nested editors of related records, one tab each.
#pragma once

#include "LMRecordContainer.h"

#include <memory>

class LMFormDataController;
class MyDocument;

class LMFormDataContainer : public LMRecordContainer {
    Q_OBJECT
public:
    LMFormDataContainer(MyDocument *document, const QString &formName, QWidget *window,
                        LMDocumentNavigator *navigator = nullptr);
    ~LMFormDataContainer() override;

    LMFormDataController *mainEditor() const { return editorAt(0); }
    LMFormDataController *editorAt(int index) const;
    LMFormDataController *activeController() const;
    // Appends a nested editor in a tab labelled with the relationship field's name and selects it.
    void addEditor(std::unique_ptr<LMFormDataController> editor, const QString &label);

    // LMViewController
    void itemDidRename(ItemKind kind, const QString &oldName, const QString &newName) override;
    void itemDidDelete(ItemKind kind, const QString &name) override;
    void switchToMode(const QString &mode) override;

private:
    MyDocument *m_document;
    QString m_formName;
};
