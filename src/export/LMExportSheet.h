// LMExportSheet: the export sheet's widgets over LMExportController (mode, source, format and option pop-ups).
#pragma once

#include "LMExportController.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QPushButton;
class QToolButton;
class QWidget;

class LMExportSheet : public QDialog {
    Q_OBJECT
public:
    LMExportSheet(MyDocument *document, QWidget *parent = nullptr);

    LMExportController &controller() { return m_controller; }
    void setMode(const QString &mode);
    bool selectSource(const QString &name);
    // The save panel, then the file; true when a file was written (the sheet is then accepted).
    bool exportFile();
    QString writtenPath() const { return m_written; }

    QComboBox *sourcePopUp() const { return m_source; }
    QComboBox *formatPopUp() const { return m_format; }
    QCheckBox *headerCheckBox() const { return m_header; }
    QCheckBox *valuesAsShownCheckBox() const { return m_asShown; }

private:
    void reloadPopUps();
    void updateOptionsVisibility();

    LMExportController m_controller;
    QToolButton *m_tableMode = nullptr;
    QToolButton *m_reportMode = nullptr;
    QComboBox *m_source = nullptr;
    QComboBox *m_format = nullptr;
    QWidget *m_sqlOptions = nullptr;
    QWidget *m_htmlOptions = nullptr;
    QWidget *m_delimitedOptions = nullptr;
    QComboBox *m_sqlTarget = nullptr;
    QComboBox *m_doctype = nullptr;
    QCheckBox *m_stylesheet = nullptr;
    QCheckBox *m_formatData = nullptr;
    QCheckBox *m_header = nullptr;
    QCheckBox *m_asShown = nullptr;
    QString m_written;
};
