// LMDataPanelClient, LMDataPanelDelegate: what the shared data panel asks of the view that shows the focused cell.
#pragma once

#include "Alert.h"
#include "Value.h"

#include <QString>
#include <optional>

class OXDatabase;
class QWidget;

// The grid path. A record grid (LMTableEditView) implements this and drives the panel:
//   - whenever its focused cell changes:
//       LMDataPanel::sharedManager()->startEditingForDatasource(this, fieldName, row);
//   - when the focused cell is cleared (setToNA):
//       panel->complete(); panel->startEditingForDatasource(this, QString(), -1);
//   - the container's "Data" item: panel->toggle(), then point the panel at the focused cell again;
//   - when the container is cleaned up: panel->complete(); panel->documentDidBecomeInvalid().
// The panel keeps a plain pointer to its current client; the destructor below makes the panel
// forget a client that goes away, so a destroyed grid is never written to.
class LMDataPanelClient {
public:
    LMDataPanelClient() = default;
    LMDataPanelClient(const LMDataPanelClient &) = delete;
    LMDataPanelClient &operator=(const LMDataPanelClient &) = delete;
    virtual ~LMDataPanelClient(); // defined in LMDataPanel.cpp

    // The connection of the grid's document (the panel wraps its write in a transaction on it).
    virtual OXDatabase *database() const = 0;
    // The name of the table the grid shows.
    virtual QString pureName() const = 0;

    // The stored native value of one cell: objectValueForTableColumn with no table view, for the grid
    // column whose identifier is `field` (media through a single-row SELECT and dbToNative).
    // A null Value means the cell holds no value.
    virtual Value storedValueForColumn(const QString &field, int row) = 0;

    // Writes one cell as setObjectValue with the grid's table view does (conversion, the "write nothing
    // when equal" rule, validation, UPDATE, marking the document changed, reloading its rows).
    // A refused value is shown by the grid itself as its usual sheet on the document window; the alert
    // is also returned so the panel knows nothing was written. nullopt when written or left unchanged.
    virtual std::optional<Alert> setValueForColumn(const Value &value, const QString &field, int row) = 0;

    // Whether the grid has a live table view to reload after a write.
    virtual bool hasTableView() const { return true; }
    // Reloads the grid's table view after the panel wrote into it.
    virtual void reloadTableView() = 0;
};

// The form path. Form data entry calls
//   LMDataPanel::sharedManager()->startEditingForTable(table, field, rowid, database, this);
// whenever its focused control changes. The panel reads and writes the record itself through the
// connection and tells the delegate to reload after every write.
class LMDataPanelDelegate {
public:
    LMDataPanelDelegate() = default;
    LMDataPanelDelegate(const LMDataPanelDelegate &) = delete;
    LMDataPanelDelegate &operator=(const LMDataPanelDelegate &) = delete;
    virtual ~LMDataPanelDelegate(); // defined in LMDataPanel.cpp; the panel forgets the delegate

    // Shows the stored values again after the panel wrote one (also after a refusal).
    virtual void reloadData() = 0;
    // The window on which the panel shows a refused value's alert as a sheet; null for none.
    virtual QWidget *dataPanelWindow() const { return nullptr; }
};
