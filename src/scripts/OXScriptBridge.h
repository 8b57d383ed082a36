// OXScriptBridge: the host side of window.OrvixController; every xw function a script can call.
#pragma once

#include <QJSValue>
#include <QObject>
#include <QString>

#include "Value.h"

#include <optional>

class OXJavascriptRunController;
class OXDatabase;
class MyDocument;
class QJSEngine;

// Scripts never see this object: install() builds a frozen plain object of wrapper functions that call into
// it through a closure, so QObject members (deleteLater, objectName, signals) stay out of reach.
// The functions are called on the script's thread: script values are read and made there, and everything that
// touches the document, its database, windows, dialogs or preferences runs on the host thread through host().
class OXScriptBridge : public QObject {
    Q_OBJECT
public:
    OXScriptBridge(OXJavascriptRunController &controller, QJSEngine &engine);

    // Sets window.OrvixController to the wrapper object.
    void install();
    // The script-side names, as the wrappers are built from them.
    static QStringList functionNames();

    // Dialogs, console and application.
    Q_INVOKABLE void xwAlert__(const QJSValue &title, const QJSValue &message);
    Q_INVOKABLE QJSValue xwChoiceAlert_____(const QJSValue &title, const QJSValue &message, const QJSValue &first,
                                            const QJSValue &second, const QJSValue &third);
    Q_INVOKABLE void xwLog_(const QJSValue &text);
    Q_INVOKABLE void xwPrint_(const QJSValue &text);
    Q_INVOKABLE void xwQuit();
    Q_INVOKABLE void xwHide();
    Q_INVOKABLE void xwHideOthers();
    Q_INVOKABLE void xwBringToFront();
    Q_INVOKABLE void xwClose_(const QJSValue &save);
    Q_INVOKABLE void xwSave();
    Q_INVOKABLE void xwMinimize();
    Q_INVOKABLE void xwDeminimize();
    Q_INVOKABLE void xwZoom();
    Q_INVOKABLE QJSValue xwOrvixVersion();

    // Preferences.
    Q_INVOKABLE QJSValue xwSetPreference__(const QJSValue &key, const QJSValue &value);
    Q_INVOKABLE QJSValue xwGetPreference_(const QJSValue &key);

    // Data.
    Q_INVOKABLE QJSValue xwTableNames();
    Q_INVOKABLE QJSValue xwFieldNamesForTable_(const QJSValue &table);
    Q_INVOKABLE QJSValue xwRowCountForTable_(const QJSValue &table);
    Q_INVOKABLE QJSValue xwTypeForTableField__(const QJSValue &table, const QJSValue &field);
    Q_INVOKABLE QJSValue xwDatatypeForTable_field_(const QJSValue &table, const QJSValue &field);
    Q_INVOKABLE QJSValue xwIndexOfID__(const QJSValue &table, const QJSValue &id);
    Q_INVOKABLE QJSValue xwIDAtIndex__(const QJSValue &table, const QJSValue &index);
    Q_INVOKABLE QJSValue xwDataValuesArray__(const QJSValue &table, const QJSValue &field);
    Q_INVOKABLE QJSValue xwDataValue___(const QJSValue &table, const QJSValue &field, const QJSValue &id);
    Q_INVOKABLE void xwSetDataValue____(const QJSValue &table, const QJSValue &field, const QJSValue &id,
                                        const QJSValue &value);
    Q_INVOKABLE void xwAddRowAtEnd_(const QJSValue &table);
    Q_INVOKABLE void xwRemoveRowWithID__(const QJSValue &table, const QJSValue &id);

    // Reports and scripts.
    Q_INVOKABLE QJSValue xwEvaluateFormula__(const QJSValue &ignored, const QJSValue &text);
    Q_INVOKABLE void xwRunScript_(const QJSValue &name);
    // Prints the report's evaluated text with its page setup, through the print panel.
    Q_INVOKABLE void xwPrintReport_(const QJSValue &name);

    // Form functions: they act on the form that started the run.
    Q_INVOKABLE QJSValue xwFormName();
    Q_INVOKABLE QJSValue xwFormContentTable();
    Q_INVOKABLE QJSValue xwFormCurrentRowid();
    Q_INVOKABLE QJSValue xwFormCurrentLastEditedField();
    Q_INVOKABLE void xwFormSetGlobal__(const QJSValue &name, const QJSValue &value);
    Q_INVOKABLE QJSValue xwFormGetGlobal_(const QJSValue &name);
    Q_INVOKABLE QJSValue xwFormControlValue_(const QJSValue &control);
    Q_INVOKABLE void xwFormSetControlValue__(const QJSValue &control, const QJSValue &value);
    Q_INVOKABLE QJSValue xwFormGetControlAttribute__(const QJSValue &control, const QJSValue &attribute);
    Q_INVOKABLE void xwFormSetControlAttribute___(const QJSValue &control, const QJSValue &attribute,
                                                  const QJSValue &value);
    Q_INVOKABLE QJSValue xwFormCurrentValueForField_(const QJSValue &field);
    Q_INVOKABLE void xwFormCurrentSetValueForField__(const QJSValue &field, const QJSValue &value);

private:
    // Runs `work` on the host thread and answers its result.
    template <class Work> auto host(Work &&work) -> decltype(work());
    // Host thread only.
    MyDocument *document() const;
    OXDatabase *database() const;
    QWidget *window() const;
    bool hasTable(const QString &table) const;
    // An id argument as text: integral numbers as integers, text as given, `missing` when absent.
    QString idText(const QJSValue &id, const QString &missing) const;
    QJSValue null() const { return QJSValue(QJSValue::NullValue); }
    // The design of the form that started the run; null without one (host thread).
    Value formDesign() const;
    // A value of the host as the script sees it; null for nullopt.
    QJSValue scriptValue(const std::optional<Value> &value) const;

    OXJavascriptRunController &m_controller;
    QJSEngine &m_engine;
};
