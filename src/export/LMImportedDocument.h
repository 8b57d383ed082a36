// LMImportedDocument: opening a ".csv" or ".tsv" file as a document: a new untitled document with the import
// sheet started on its window, the file preset.
#pragma once

#include "LMImportController.h"

#include <QString>
#include <functional>
#include <memory>

class LMDocumentNavigator;
class MyDocument;
class QWidget;

class LMImportedDocument {
public:
    // What the shell hands back for the new document: its window (for the sheet) and its navigator (to open
    // the imported table there; may be null).
    struct Window {
        QWidget *window = nullptr;
        LMDocumentNavigator *navigator = nullptr;
    };
    using WindowFactory = std::function<Window(std::unique_ptr<MyDocument> document)>;

    // "Comma Separated" ("com.tandrel.csv"), "Tab Separated" ("com.tandrel.tsv") or "Microsoft Excel"
    // ("com.tandrel.excel"): the types that open through this class rather than as a package.
    static bool isImportedType(const QString &type);
    // The imported type of a file by its extension ("csv", "tsv", "xls"); empty for any other file.
    static QString typeForPath(const QString &path);
    // Whether the file can be imported: spreadsheets are not (the type is known so they are not opened as
    // packages, but nothing in them is read).
    static bool canImport(const QString &path);

    // Makes the new document, lets `makeWindow` give it its window, and runs the import sheet there with
    // `path` preset. The window stays open whatever the sheet's outcome. False with `error` set when no
    // document could be made or the file is not one that can be imported (no window is made then).
    static bool open(const QString &path, const WindowFactory &makeWindow, QString *error = nullptr);
};
