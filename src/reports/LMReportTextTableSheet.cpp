// LMReportTextTableSheet: the formula builder and a small dialog over it with a live sample of the table.
#include "LMReportTextTableSheet.h"

#include "MyDocument.h"
#include "OXDatabase.h"
#include "OXRecordReader.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace LMReportTextTableSheet {

namespace {
Prompt &installed()
{
    static Prompt prompt;
    return prompt;
}

bool usable(const QString &number)
{
    bool ok = false;
    const long long n = number.trimmed().toLongLong(&ok);
    return ok && n != 0;
}

QString colourOption(const QString &name, const QString &colour, const QString &defaultColour)
{
    return colour.compare(defaultColour, Qt::CaseInsensitive) == 0
               ? QStringLiteral(".:%1").arg(name)
               : QStringLiteral(".:%1(%2)").arg(name, colour.toLower());
}

std::optional<Settings> runDialog(MyDocument &document, QWidget *window);
} // namespace

std::optional<Settings> settingsForTable(MyDocument &document, const QString &table)
{
    OXDatabase *db = document.database();
    if (!db || !db->tablesList().contains(table))
        return std::nullopt;
    Settings settings;
    settings.table = table;
    settings.fields = db->allNamesForTable(table);
    for (int i = 0; i < settings.fields.size(); ++i)
        settings.shown << true;
    settings.first = QStringLiteral("1");
    settings.count = QString::number(OXRecordReader::allIds(*db, table).value_or(QStringList()).size());
    return settings;
}

QString formula(const Settings &s)
{
    QString text = QStringLiteral("@@%1.:asTable").arg(s.table);
    if (s.limit && usable(s.first) && usable(s.count))
        text +=
            QStringLiteral(".:limit(%1, %2)").arg(s.first.trimmed().toLongLong()).arg(s.count.trimmed().toLongLong());
    QStringList shown;
    for (int i = 0; i < s.fields.size(); ++i)
        if (s.shown.value(i, true))
            shown << s.fields.at(i);
    if (!shown.isEmpty() && shown.size() < s.fields.size())
        text += QStringLiteral(".:showOnly(%1)").arg(shown.join(QStringLiteral(", ")));
    if (s.header)
        text += colourOption(QStringLiteral("header"), s.headerColour, defaultHeaderColour);
    if (s.side)
        text += colourOption(QStringLiteral("side"), s.sideColour, defaultSideColour);
    if (s.dataColour.compare(defaultDataColour, Qt::CaseInsensitive) != 0)
        text += QStringLiteral(".:data(%1)").arg(s.dataColour.toLower());
    if (s.alternating)
        text += colourOption(QStringLiteral("alternating"), s.alternatingColour, defaultAlternatingColour);
    return text + QStringLiteral("@@");
}

QString sampleHtml(const Settings &s)
{
    QStringList columns;
    for (int i = 0; i < s.fields.size(); ++i)
        if (s.shown.value(i, true))
            columns << s.fields.at(i);
    if (columns.isEmpty())
        columns << QStringLiteral("Field");
    QString html = QStringLiteral("<table border='1' cellspacing='0' cellpadding='3'>");
    if (s.header) {
        html += QStringLiteral("<tr>");
        if (s.side)
            html += QStringLiteral("<th bgcolor='#%1'></th>").arg(s.headerColour);
        for (const QString &c : columns)
            html += QStringLiteral("<th bgcolor='#%1'>%2</th>").arg(s.headerColour, c.toHtmlEscaped());
        html += QStringLiteral("</tr>");
    }
    for (int row = 0; row < 3; ++row) {
        const QString colour = s.alternating && row % 2 == 1 ? s.alternatingColour : s.dataColour;
        html += QStringLiteral("<tr>");
        if (s.side)
            html += QStringLiteral("<td bgcolor='#%1'>%2</td>").arg(s.sideColour).arg(row + 1);
        for (int c = 0; c < columns.size(); ++c)
            html += QStringLiteral("<td bgcolor='#%1'>…</td>").arg(colour);
        html += QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}

void setPrompt(Prompt prompt)
{
    installed() = std::move(prompt);
}

std::optional<QString> run(MyDocument &document, QWidget *window)
{
    const std::optional<Settings> settings = installed() ? installed()(document, window) : runDialog(document, window);
    if (!settings || !document.database() || !document.database()->tablesList().contains(settings->table))
        return std::nullopt;
    return formula(*settings);
}

namespace {
std::optional<Settings> runDialog(MyDocument &document, QWidget *window)
{
    QDialog dialog(window);
    dialog.setWindowTitle(QStringLiteral("Insert Text Table"));
    dialog.setWindowModality(Qt::WindowModal);
    auto *layout = new QVBoxLayout(&dialog);
    auto *form = new QFormLayout;
    auto *table = new QLineEdit;
    table->setPlaceholderText(QStringLiteral("Table name"));
    form->addRow(QStringLiteral("Table:"), table);
    auto *fields = new QListWidget;
    form->addRow(QStringLiteral("Show:"), fields);
    auto *limit = new QCheckBox(QStringLiteral("Limit to records"));
    auto *first = new QLineEdit;
    auto *count = new QLineEdit;
    auto *limitRow = new QHBoxLayout;
    limitRow->addWidget(limit);
    limitRow->addWidget(first);
    limitRow->addWidget(count);
    form->addRow(limitRow);
    const QRegularExpression hex(QStringLiteral("^[0-9a-fA-F]{6}$"));
    auto colourRow = [&](const QString &label, QCheckBox *check, const QString &colour) {
        auto *edit = new QLineEdit(colour);
        edit->setMaxLength(6);
        auto *row = new QHBoxLayout;
        if (check)
            row->addWidget(check);
        row->addWidget(edit);
        form->addRow(label, row);
        return edit;
    };
    auto *header = new QCheckBox(QStringLiteral("Header row"));
    auto *side = new QCheckBox(QStringLiteral("Side column"));
    auto *alternating = new QCheckBox(QStringLiteral("Alternating rows"));
    QLineEdit *headerColour = colourRow(QStringLiteral("Header:"), header, defaultHeaderColour);
    QLineEdit *sideColour = colourRow(QStringLiteral("Side:"), side, defaultSideColour);
    QLineEdit *dataColour = colourRow(QStringLiteral("Data:"), nullptr, defaultDataColour);
    QLineEdit *alternatingColour = colourRow(QStringLiteral("Alternate:"), alternating, defaultAlternatingColour);
    layout->addLayout(form);
    auto *sample = new QTextBrowser;
    sample->setMaximumHeight(140);
    layout->addWidget(sample);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);

    Settings current;
    auto colourOf = [&](QLineEdit *edit, const QString &fallback) {
        return hex.match(edit->text()).hasMatch() ? edit->text().toLower() : fallback;
    };
    auto readBack = [&] {
        current.shown.clear();
        for (int i = 0; i < fields->count(); ++i)
            current.shown << (fields->item(i)->checkState() == Qt::Checked);
        current.limit = limit->isChecked();
        current.first = first->text();
        current.count = count->text();
        current.header = header->isChecked();
        current.headerColour = colourOf(headerColour, defaultHeaderColour);
        current.side = side->isChecked();
        current.sideColour = colourOf(sideColour, defaultSideColour);
        current.dataColour = colourOf(dataColour, defaultDataColour);
        current.alternating = alternating->isChecked();
        current.alternatingColour = colourOf(alternatingColour, defaultAlternatingColour);
        sample->setHtml(sampleHtml(current));
    };
    QObject::connect(table, &QLineEdit::textChanged, &dialog, [&] {
        fields->clear();
        const std::optional<Settings> chosen = settingsForTable(document, table->text());
        current = chosen.value_or(Settings());
        for (const QString &field : current.fields) {
            auto *item = new QListWidgetItem(field, fields);
            item->setCheckState(Qt::Checked);
        }
        first->setText(current.first);
        count->setText(current.count);
        readBack();
    });
    QObject::connect(fields, &QListWidget::itemChanged, &dialog, readBack);
    for (QCheckBox *box : {limit, header, side, alternating})
        QObject::connect(box, &QCheckBox::toggled, &dialog, readBack);
    for (QLineEdit *edit : {first, count, headerColour, sideColour, dataColour, alternatingColour})
        QObject::connect(edit, &QLineEdit::textChanged, &dialog, readBack);
    readBack();
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    readBack();
    return current;
}
} // namespace

} // namespace LMReportTextTableSheet
