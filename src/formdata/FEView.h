// FEView: the form of a data-entry editor: live controls built from the stored form, the record shown in them,
// and each control's action (save the value, follow links, open related records, call the script hooks).
#pragma once

#include "OXFormScriptHost.h"
#include "Value.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QPointer>
#include <QSizeF>
#include <QString>
#include <QWidget>

class FEControl;
struct FEControlValue;
class LMFormDataController;
class OXDatabase;

class FEView : public QWidget, public OXFormScriptHost {
    Q_OBJECT
public:
    explicit FEView(QWidget *parent = nullptr);
    ~FEView() override;

    // The back reference ("formController") that reloads the editor and opens related records.
    void setController(LMFormDataController *controller) { m_controller = controller; }
    LMFormDataController *controller() const { return m_controller; }
    void setDatabase(OXDatabase *database) { m_database = database; }
    OXDatabase *database() const { return m_database; }

    // Builds the live controls from a form definition.
    void setDictionary(const Value &form);
    Value dictionary() const { return m_form; }
    QString contentTable() const;
    QList<FEControl *> controls() const { return m_controls; }
    FEControl *controlWithUUID(const QString &uuid) const;
    FEControl *controlNamed(const QString &name) const;
    QSizeF canvasSize() const { return m_canvasSize; }

    // Loads a record (its id as text); empty: no record, the view is disabled.
    void setRecordNumber(const QString &id);
    QString recordNumber() const { return m_recordNumber; }
    // The shown record's stored texts by "table.field"; null when none is shown.
    Value row() const { return m_row; }
    void setRow(const Value &row) { m_row = row; }
    QString lastFieldWritten() const { return m_lastField; }
    // Loads the shown record again.
    void reloadData() { setRecordNumber(m_recordNumber); }
    void refresh();
    // The form can show records: its content table is set, not empty and not "None".
    bool canBeEnabled() const;
    // Disabled: every control emptied and covered.
    void setEnabled(bool enabled);
    bool isCovered() const;
    void setToNA() { setRecordNumber(QString()); }

    // The action of every live control: hooks, links, the value saved or the related records opened.
    void controlAction(FEControl *sender);
    void forceAction(FEControl *sender) { controlAction(sender); }
    // The control's script hook `function` (null: the control's own function).
    bool sendMessageFromControl(FEControl *control, const QString &function);
    // The control's own script: started without waiting, so the window stays responsive and can stop it.
    void startControlScript(FEControl *control);

    // OXFormScriptHost: what the scripts of the form's controls see.
    QString currentRowid() const override { return m_recordNumber; }
    QString lastEditedField() const override { return m_lastField; }
    std::optional<Value> controlValue(const QString &name) const override;
    void setControlValue(const QString &name, const Value &value) override;
    std::optional<Value> controlAttribute(const QString &name, const QString &attribute) const override;
    void setControlAttribute(const QString &name, const QString &attribute, const Value &value) override;

signals:
    // A control gained the focus: the data panel follows its field.
    void focusedControlChanged(FEControl *control);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void clearControls();
    FEControl *buildControl(const Value &entry);
    void applyFieldSettings(FEControl *control);
    void linkKeyViews();
    void applyOutlets();
    void followLink(FEControl *sender);
    // Opens the related records of a relationship control; false when the field is not one.
    bool openRelationship(FEControl *sender);
    void layoutControls();
    // Whether the control's value is what the record already holds (leaving an unchanged control writes nothing).
    bool isUnchanged(const QString &field, const FEControlValue &value) const;

    QPointer<LMFormDataController> m_controller;
    OXDatabase *m_database = nullptr;
    Value m_form;
    QList<FEControl *> m_controls;
    QSizeF m_canvasSize{400, 400};
    QColor m_background;
    bool m_usesBackground = false;
    QString m_recordNumber;
    Value m_row;
    QString m_lastField;
    QHash<QString, QString> m_loadedTexts; // stored text of each bound field as loaded
    QWidget *m_cover = nullptr;
    bool m_enabled = false;
    bool m_inAction = false;
};
