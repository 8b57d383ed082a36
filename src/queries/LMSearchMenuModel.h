// LMSearchMenuModel: what the quick-search results window shows and does: the ranked rows, the keyboard
// selection and the choice of a result. The window widget draws it.
#pragma once

#include "LMSearchResults.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <optional>

class MyDocument;

class LMSearchMenuModel : public QObject {
    Q_OBJECT
public:
    struct Row {
        QString kind;  // "Tables" … "Scripts"
        QString label; // the kind's label on the first row of a kind, else ""
        QString name;
    };
    struct Choice {
        QString kind;
        QString name;
    };
    enum class Command { Up, Down, Beginning, End, Return };

    explicit LMSearchMenuModel(MyDocument *document, QObject *parent = nullptr);

    // An empty text cancels pending work and empties the list. Otherwise the names are searched at once;
    // from the second character on the data, report and design passes follow on the next turn of the event
    // loop, so the list appears before the slower passes finish. A newer text cancels an older one's passes.
    void setSearchString(const QString &text);
    QString searchString() const { return m_text; }
    bool hasPendingWork() const { return m_pending; }
    // Runs the pending passes now (tests, and callers without an event loop).
    void finishPendingWork();

    const LMSearchResults &results() const { return m_results; }
    // Rebuilds the rows from the results: kinds in order, names ranked.
    void updateList();
    const QList<Row> &rows() const { return m_rows; }
    int resCount() const { return int(m_rows.size()); }

    int selectedRow() const { return m_selected; }
    void selectRow(int row);
    // Up, down, beginning and end move the selection; return chooses the selected row. False when the
    // command is not one of these (the field handles it).
    bool doCommandBySelector(Command command);
    // Chooses a row (click or return); answers what to open.
    std::optional<Choice> choose(int row);
    // The item the document should open for a kind and name: `switchToObject:type:`.
    std::optional<Choice> switchToObject(const QString &name, const QString &type) const;

signals:
    void listChanged();
    void itemChosen(const QString &kind, const QString &name);

private:
    void runDeepPasses(quint64 generation);

    QPointer<MyDocument> m_document;
    QString m_text;
    LMSearchResults m_results;
    QList<Row> m_rows;
    int m_selected = -1;
    quint64 m_generation = 0;
    bool m_pending = false;
};
