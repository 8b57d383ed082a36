// LMFormDesignController: the "Form Design" view's controller: ties a canvas to the document's forms array.
#pragma once

#include "Alert.h"
#include "FDCanvas.h"
#include "FDCanvasEditor.h"
#include "ItemKind.h"
#include "LMViewController.h"
#include "ViewKind.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>
#include <optional>

class LMDocumentNavigator;
class LMIdentifiedView;
class MyDocument;
class OXDatabase;
class QAction;
class QButtonGroup;
class QWidget;
class FDFormDesignWidget;

class LMFormDesignController : public QObject, public LMViewController {
    Q_OBJECT
public:
    // The table pop-up's "None".
    static inline const QString kNoTable = QStringLiteral("None");

    // `name` empty starts an unnamed form, which the name-and-table sheet names. The navigator (may be null)
    // relabels the tab, reloads the source list and opens the overview and scripts.
    LMFormDesignController(const QString &name, MyDocument *document, QWidget *window,
                           LMDocumentNavigator *navigator = nullptr);
    ~LMFormDesignController() override;

    // generateFormWithWindow:name: — see FDFormGenerator.
    static bool generateFormWithWindow(MyDocument *document, const QString &table, const QString &name);

    // --- View protocol.
    QString identifier() const override { return ViewKinds::identifier(ViewKind::FormDesign); }
    LMIdentifiedView *view() override;
    void cleanUp() override;
    void refresh() override;
    void itemDidRename(ItemKind kind, const QString &oldName, const QString &newName) override;
    void itemDidDelete(ItemKind kind, const QString &name) override;

    // --- Toolbar ("Form Design Toolbar"): the view modes and the canvas's editing actions.
    static inline const QString kModes = QStringLiteral("Modes");
    bool providesToolbar() const override { return true; }
    QStringList toolbarAllowedItemIdentifiers() const override;
    QStringList toolbarDefaultItemIdentifiers() const override { return toolbarAllowedItemIdentifiers(); }
    QAction *toolbarItem(const QString &itemIdentifier, bool willBeInserted) override;
    // Runs a toolbar item as its button does; false for an unknown or disabled item.
    bool runToolbarItem(const QString &itemIdentifier);
    // Enables the items that fit the selection and the content table; checks Grid and Snap as the canvas is.
    void updateToolbarItems();
    // "Table Design", "Table Data" and "Form Data" open this form's counterpart; "Form Design" stays.
    void switchToMode(const QString &mode);

    FDCanvas *canvas() const { return m_canvas.get(); }
    FDCanvasEditor *editor() const { return m_editor.get(); }
    MyDocument *document() const { return m_document; }
    OXDatabase *database() const;
    QString name() const { return m_canvas->name(); }
    bool isNewForm() const { return m_newForm; }

    // The name-and-table sheet: the document's tables with "None" first, and the answer. A refused name (empty,
    // or another form's) beeps and answers false: the sheet stays. A new form is added to the document; an
    // existing one is renamed.
    QStringList tableChoices() const;
    bool closeAskForName(const QString &name, const QString &table, bool generate);

    bool hasValidContentTable() const;
    void deleteMe();
    // Add Action: the script to show (made or extended here), and whether it still needs a name.
    struct ScriptToShow {
        QString name;
        bool askForName = false;
    };
    std::optional<ScriptToShow> addAction();

    // Writes the canvas into the document's form (marks the document changed); what cleanUp and saving do.
    void storeForm();

signals:
    // The form's name changed (the name bar and the tab label follow).
    void nameChanged(const QString &name);

private:
    void loadForm();
    void markChanged();
    void putIntoDocument(const QString &storedName);
    void reloadSourceList(ItemKind kind);

    MyDocument *m_document = nullptr;
    QPointer<QWidget> m_window;
    LMDocumentNavigator *m_navigator = nullptr;
    std::unique_ptr<FDCanvas> m_canvas;
    std::unique_ptr<FDCanvasEditor> m_editor;
    QPointer<LMIdentifiedView> m_view;
    QPointer<FDFormDesignWidget> m_widget;
    QPointer<QButtonGroup> m_modeButtons;
    QHash<QString, QAction *> m_toolbarActions;
    bool m_toolbarFollowsCanvas = false;
    QString m_loadName;
    bool m_newForm = false;
    bool m_deleted = false;
};
