// OXSyntaxPrefPane: the preference pane of colour styles, a thin view over OXSyntaxPrefController.
#pragma once

#include <QWidget>

class OXSyntaxPrefController;
class QCheckBox;
class QComboBox;
class QSlider;
class QTableWidget;

class OXSyntaxPrefPane : public QWidget {
    Q_OBJECT
public:
    explicit OXSyntaxPrefPane(QWidget *parent = nullptr);
    OXSyntaxPrefController *controller() const { return m_controller; }
    QTableWidget *table() const { return m_table; }

    // Rebuilds the rows, the style menu and the switch from the current style.
    void refreshTable();

private:
    void chooseColour(const QString &title);

    OXSyntaxPrefController *m_controller = nullptr;
    QCheckBox *m_enabled = nullptr;
    QComboBox *m_styles = nullptr;
    QSlider *m_hue = nullptr;
    QTableWidget *m_table = nullptr;
    int m_hueApplied = 0;
    bool m_refreshing = false;
};
