// LMImportSheet: the import sheet's widgets over LMImportController (file, table name, column table, progress).
#pragma once

#include "LMImportController.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;

class LMImportSheet : public QDialog {
    Q_OBJECT
public:
    LMImportSheet(MyDocument *document, QWidget *parent = nullptr);

    LMImportController &controller() { return m_controller; }
    // Takes a file as the open panel would, showing why it cannot be imported.
    void setFile(const QString &path);
    // chooseFile: the open panel, restricted to .csv and .tsv files.
    void chooseFile();
    // import: true when the table was made (the sheet is then accepted).
    bool import();
    QString importedTable() const { return m_imported; }

    QLineEdit *tableNameField() const { return m_tableName; }
    QPushButton *importButton() const { return m_importButton; }
    QTableWidget *columnTable() const { return m_columns; }
    QCheckBox *firstRecordHoldsNamesCheckBox() const { return m_holdsNames; }
    QString tableNameImage() const { return m_controller.tableNameImage(); }

private:
    void reloadColumns();
    void updateTableNameState();
    void columnCellChanged(int row, int column);

    LMImportController m_controller;
    QLabel *m_fileLabel = nullptr;
    QLineEdit *m_tableName = nullptr;
    QLabel *m_nameImage = nullptr;
    QTableWidget *m_columns = nullptr;
    QCheckBox *m_holdsNames = nullptr;
    QProgressBar *m_progress = nullptr;
    QPushButton *m_importButton = nullptr;
    QString m_imported;
    bool m_reloading = false;
};
