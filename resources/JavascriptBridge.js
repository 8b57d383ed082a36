// JavascriptBridge.js: script-side helpers loaded ahead of every Orvix script.
var Tools = {
    ShowAlert: function(message) { window.OrvixController.xwAlert__("", message); },
    Alert: function(title, message) { window.OrvixController.xwAlert__(title, message); },
    Choose: function(title, message, first, second, third) {
        return window.OrvixController.xwChoiceAlert_____(title, message, first, second, third);
    },
    Log: function(message) { window.OrvixController.xwLog_(message); },
    Print: function(text) { window.OrvixController.xwPrint_(text); },
    SetPreference: function(key, value) { return window.OrvixController.xwSetPreference__(key, value); },
    GetPreference: function(key) { return window.OrvixController.xwGetPreference_(key); },
    RunScript: function(name) { window.OrvixController.xwRunScript_(name); }
};
var Data = {
    TableNames: function() { return window.OrvixController.xwTableNames(); },
    FieldNames: function(table) { return window.OrvixController.xwFieldNamesForTable_(table); },
    RowCount: function(table) { return window.OrvixController.xwRowCountForTable_(table); },
    Type: function(table, field) { return window.OrvixController.xwTypeForTableField__(table, field); },
    Value: function(table, field, id) { return window.OrvixController.xwDataValue___(table, field, id); },
    Values: function(table, field) { return window.OrvixController.xwDataValuesArray__(table, field); },
    SetValue: function(table, field, id, value) { window.OrvixController.xwSetDataValue____(table, field, id, value); },
    AddRow: function(table) { window.OrvixController.xwAddRowAtEnd_(table); },
    RemoveRow: function(table, id) { window.OrvixController.xwRemoveRowWithID__(table, id); },
    IDAtIndex: function(table, index) { return window.OrvixController.xwIDAtIndex__(table, index); },
    IndexOfID: function(table, id) { return window.OrvixController.xwIndexOfID__(table, id); }
};
var Document = {
    Save: function() { window.OrvixController.xwSave(); },
    Close: function(save) { window.OrvixController.xwClose_(save); },
    Version: function() { return window.OrvixController.xwOrvixVersion(); }
};
var Form = {
    Name: function() { return window.OrvixController.xwFormName(); },
    ContentTable: function() { return window.OrvixController.xwFormContentTable(); },
    SetGlobal: function(name, value) { window.OrvixController.xwFormSetGlobal__(name, value); },
    GetGlobal: function(name) { return window.OrvixController.xwFormGetGlobal_(name); },
    CurrentRowID: function() { return window.OrvixController.xwFormCurrentRowid(); },
    LastEditedField: function() { return window.OrvixController.xwFormCurrentLastEditedField(); },
    FieldValue: function(field) { return window.OrvixController.xwFormCurrentValueForField_(field); },
    SetFieldValue: function(field, value) { window.OrvixController.xwFormCurrentSetValueForField__(field, value); },
    ControlNamed: function(name) {
        return {
            name: name,
            value: function() { return window.OrvixController.xwFormControlValue_(name); },
            setValue: function(value) { window.OrvixController.xwFormSetControlValue__(name, value); },
            attribute: function(key) { return window.OrvixController.xwFormGetControlAttribute__(name, key); },
            setAttribute: function(key, value) {
                window.OrvixController.xwFormSetControlAttribute___(name, key, value);
            }
        };
    }
};
var Orvix = {
    Version: function() { return window.OrvixController.xwOrvixVersion(); },
    EvaluateFormula: function(formula) { return window.OrvixController.xwEvaluateFormula__(null, formula); },
    PrintReport: function(name) { window.OrvixController.xwPrintReport_(name); },
    Quit: function() { window.OrvixController.xwQuit(); },
    Hide: function() { window.OrvixController.xwHide(); },
    HideOthers: function() { window.OrvixController.xwHideOthers(); },
    BringToFront: function() { window.OrvixController.xwBringToFront(); },
    Minimize: function() { window.OrvixController.xwMinimize(); },
    Deminimize: function() { window.OrvixController.xwDeminimize(); },
    Zoom: function() { window.OrvixController.xwZoom(); }
};
