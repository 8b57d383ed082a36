// DataPanelFixture: a small document with one field of every datatype, and a grid and a form that the data panel
// edits through its client and delegate interfaces.
#pragma once

#include "LMDataPanelClient.h"
#include "Value.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class MyDocument;
class OXDatabase;

namespace DataPanelFixture {
inline const QString kTable = QStringLiteral("Things");

// A document whose table "Things" has the fields Title (Text, not null), Code (Text, regex "^[a-z]+$"),
// When (Date), Picture (Image), Sound (Audio), Clip (Video), Tags (List), File (Attachment), Where (File Path),
// Count (Number), Done (Yes/No), Kind (Options), Links (Relationship), and `rows` empty records.
std::unique_ptr<MyDocument> newDocument(int rows, QString *error = nullptr);
// The stored text of one cell; a null string when the cell is NULL or the row does not exist.
QString cellText(MyDocument &document, const QString &column, const QString &id);
// Writes a native value as the grid would; false when it was refused.
bool store(MyDocument &document, const Value &value, const QString &column, const QString &id);
} // namespace DataPanelFixture

// A record grid over "Things": row index i is the i-th record by id. Writes go through insertNativeValue and a
// refusal is shown through the Ui as the grid's sheet.
class DataPanelFakeGrid : public LMDataPanelClient {
public:
    struct Write {
        QString field;
        int row;
        Value value;
        bool inTransaction;
    };

    explicit DataPanelFakeGrid(MyDocument &document);

    OXDatabase *database() const override;
    QString pureName() const override { return DataPanelFixture::kTable; }
    Value storedValueForColumn(const QString &field, int row) override;
    std::optional<Alert> setValueForColumn(const Value &value, const QString &field, int row) override;
    void reloadTableView() override;

    QString idForRow(int row) const { return m_ids.value(row); }

    QList<Write> writes;
    int reads = 0;
    int reloads = 0;
    // Run inside a write and inside a reload, to drive the panel re-entrantly.
    std::function<void()> duringWrite;
    std::function<void()> duringReload;

private:
    MyDocument &m_document;
    QStringList m_ids;
};

// A form view that only counts the reloads the panel asks for.
class DataPanelFakeForm : public LMDataPanelDelegate {
public:
    void reloadData() override;
    int reloads = 0;
    std::function<void()> duringReload;
};
