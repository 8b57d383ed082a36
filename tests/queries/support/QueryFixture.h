// QueryFixture: a document with one table of every datatype and a few rows, for tests of the query filter.
#pragma once

#include "DesignFixture.h"

#include "MyDocument.h"
#include "Value.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <initializer_list>
#include <memory>
#include <utility>

namespace QueryFixture {
using DesignFixture::Entries;
using DesignFixture::field;
using DesignFixture::newDocument;
// Table "People": id, Name (Text), Kind (Options), Path (File Path), Age (Number), Born (Date), Member (Yes/No),
// Tags (List), Photo (Image), Clip (Audio), Film (Video), Doc (Attachment), Friends (Relationship).
Value peopleDesign();
// Table "Pets": id, Name (Text).
Value petsDesign();

// Inserts a row of People from native values by field name; returns its id ("" on failure).
QString addPerson(MyDocument &document, const QList<std::pair<QString, Value>> &values);
// The ids of the rows of `table` that `where` (a clause without WHERE; empty: all) selects, in id order;
// {"error: …"} when the statement failed.
QStringList idsWhere(MyDocument &document, const QString &table, const QString &where);

// A condition dictionary as the filter stores it.
Value condition(const QString &table, const QString &field, const QString &datatype, const QString &op,
                const Value &operand = Value());

// A view host that records broadcasts, so tests see what the document relays to the window.
class RecordingHost : public DocumentViewHost {
public:
    struct Rename {
        QString type, oldName, newName; // type: the kind's broadcast word
        const void *sender;
    };
    QList<Rename> renames;
    int sourceListReloads = 0;

    void cleanUpAllViews() override {}
    void broadcastRename(ItemKind kind, const QString &oldName, const QString &newName, const void *sender) override
    {
        renames.append({ItemKinds::type(kind), oldName, newName, sender});
    }
    void broadcastDelete(ItemKind, const QString &) override {}
    QStringList openTabIdentifiers() const override { return {}; }
    void refreshAllViews() override {}
    void reloadSourceList() override { ++sourceListReloads; }
};
} // namespace QueryFixture
