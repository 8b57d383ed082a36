// LMTableOptionsPane: the options of the selected field, one inspector per datatype, editing the field
// dictionary in place (the editor's private copy, committed with the rest of the design).
#pragma once

#include "DesignVocabulary.h"
#include "Value.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

class LMTableDesignView;
class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QFormLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QStackedWidget;

class LMTableOptionsPane : public QWidget {
    Q_OBJECT
public:
    explicit LMTableOptionsPane(LMTableDesignView *editor, QWidget *parent = nullptr);

    // Shows `field` (a null value: "No Selection"); `mapIndex` is its row in the editor.
    void setDictionary(const Value &field, int mapIndex);
    Value dictionary() const { return m_field; }
    int mapIndex() const { return m_mapIndex; }
    // "No Selection", "Cannot edit ID", or the datatype whose inspector is shown.
    QString shownInspector() const { return m_shown; }
    // The keys whose controls the shown inspector offers, in display order.
    QStringList visibleKeys() const;

    // --- Options fields.
    void optionsAddButton();
    void optionsRemoveButton();
    void selectOption(int index);
    // Editing the text of one entry of the option list.
    void setOptionTitle(int index, const QString &title);
    QStringList optionTitles() const;
    // The "Default Value" menu as it stands, and its selected entry (-1 for none).
    QStringList defaultMenuTitles() const;
    int defaultMenuIndex() const;
    void optionsDefaultMenu(int index);

    // --- Date fields: the default date in seconds since the reference date.
    void dateDefaultField(double secondsSinceReferenceDate);
    double shownDefaultDate() const;

    // --- Number fields.
    void formatterMenu(const QString &title);
    void formatterField(const QString &pattern);
    QString formatFieldText() const;
    QString formatMenuTitle() const;
    void setBound(bool upper, const QString &op, const QString &bound);
    QComboBox *boundOperatorBox(bool upper) const { return upper ? m_upperOperator : m_lowerOperator; }

    // --- Every field.
    void humanKey(bool checked);
    void setFlag(const QString &key, bool on);
    void setText(const QString &key, const QString &text);

private:
    struct Row {
        QString key;
        QWidget *widget = nullptr;
        QList<Datatype> types; // empty: every datatype but Relationship
    };

    void buildInspector(QWidget *page);
    void addRow(const QString &key, const QString &label, QWidget *widget, const QList<Datatype> &types = {});
    QLineEdit *textControl(const QString &key);
    QCheckBox *flagControl(const QString &key, const QString &title);
    void loadField();
    void loadOptions();
    void loadDate();
    void loadNumber();
    void rebuildDefaultMenu();
    Value optionsArray(bool create);
    bool rowApplies(const Row &row, Datatype type) const;

    LMTableDesignView *m_editor;
    Value m_field;
    int m_mapIndex = -1;
    QString m_shown;
    bool m_loading = false;

    QStackedWidget *m_stack = nullptr;
    QLabel *m_message = nullptr;
    QFormLayout *m_form = nullptr;
    QList<Row> m_rows;
    QHash<QString, QLineEdit *> m_texts;
    QHash<QString, QCheckBox *> m_flags;
    QListWidget *m_options = nullptr;
    QComboBox *m_defaultMenu = nullptr;
    QDateTimeEdit *m_dateDefault = nullptr;
    QComboBox *m_formatMenu = nullptr;
    QLineEdit *m_formatField = nullptr;
    QComboBox *m_lowerOperator = nullptr;
    QComboBox *m_upperOperator = nullptr;
    QComboBox *m_dateFormat = nullptr;
    QComboBox *m_timeFormat = nullptr;
};
