// LMImportedDocument: the document types of delimited files and their hand-over to the import sheet.
#include "LMImportedDocument.h"

#include "MyDocument.h"

#include <QFileInfo>

bool LMImportedDocument::isImportedType(const QString &type)
{
    static const QStringList types = {QStringLiteral("Comma Separated"), QStringLiteral("com.tandrel.csv"),
                                      QStringLiteral("Tab Separated"),   QStringLiteral("com.tandrel.tsv"),
                                      QStringLiteral("Microsoft Excel"), QStringLiteral("com.tandrel.excel")};
    return types.contains(type);
}

QString LMImportedDocument::typeForPath(const QString &path)
{
    const QString extension = QFileInfo(path).suffix().toLower();
    if (extension == QLatin1String("csv"))
        return QStringLiteral("Comma Separated");
    if (extension == QLatin1String("tsv"))
        return QStringLiteral("Tab Separated");
    if (extension == QLatin1String("xls"))
        return QStringLiteral("Microsoft Excel");
    return QString();
}

bool LMImportedDocument::canImport(const QString &path)
{
    const QString type = typeForPath(path);
    return type == QLatin1String("Comma Separated") || type == QLatin1String("Tab Separated");
}

bool LMImportedDocument::open(const QString &path, const WindowFactory &makeWindow, QString *error)
{
    if (!canImport(path)) {
        if (error)
            *error = QStringLiteral("\"%1\" cannot be imported: only comma-separated (.csv) and tab-separated (.tsv) "
                                    "files can be.")
                         .arg(QFileInfo(path).fileName());
        return false;
    }
    std::unique_ptr<MyDocument> document = MyDocument::createNew(error);
    if (!document)
        return false;
    MyDocument *raw = document.get();
    const Window window = makeWindow(std::move(document));
    LMImportController::runSheet(raw, window.window, path, window.navigator);
    return true;
}
