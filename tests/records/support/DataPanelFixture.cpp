// DataPanelFixture: the document, the fake grid and the fake form of the data panel tests.
#include "DataPanelFixture.h"
#include "DesignVocabulary.h"

#include "DesignFixture.h"

#include "MyDocument.h"
#include "OXDatabase.h"
#include "QLiteCursor.h"
#include "QLiteRow.h"
#include "Ui.h"

namespace DataPanelFixture {
using DesignFixture::field;
using DesignFixture::idField;

namespace {
using DesignVocabulary::isNullLike;
} // namespace

std::unique_ptr<MyDocument> newDocument(int rows, QString *error)
{
    QString message;
    std::unique_ptr<MyDocument> document = MyDocument::createNew(&message);
    if (!document) {
        if (error)
            *error = QStringLiteral("createNew failed: ") + message;
        return nullptr;
    }
    Value fields = Value::array({idField()});
    fields.append(field(QStringLiteral("Title"), QStringLiteral("Text"), {{QStringLiteral("Not Null"), Value(true)}}));
    fields.append(
        field(QStringLiteral("Code"), QStringLiteral("Text"), {{QStringLiteral("Regex"), Value("^[a-z]+$")}}));
    fields.append(field(QStringLiteral("When"), QStringLiteral("Date")));
    fields.append(field(QStringLiteral("Picture"), QStringLiteral("Image")));
    fields.append(field(QStringLiteral("Sound"), QStringLiteral("Audio")));
    fields.append(field(QStringLiteral("Clip"), QStringLiteral("Video")));
    fields.append(field(QStringLiteral("Tags"), QStringLiteral("List")));
    fields.append(field(QStringLiteral("File"), QStringLiteral("Attachment")));
    fields.append(field(QStringLiteral("Where"), QStringLiteral("File Path")));
    fields.append(field(QStringLiteral("Count"), QStringLiteral("Number")));
    fields.append(field(QStringLiteral("Done"), QStringLiteral("Yes/No")));
    fields.append(field(QStringLiteral("Kind"), QStringLiteral("Options"),
                        {{QStringLiteral("Options"), Value::array({Value("a"), Value("b")})}}));
    fields.append(field(QStringLiteral("Links"), QStringLiteral("Relationship")));
    const Value design = Value::dict({{QStringLiteral("Name"), Value(kTable)}, {QStringLiteral("Fields"), fields}});
    OXDatabase *db = document->database();
    if (!db->createTableFromDesign(design) || db->lastErrorID() != 0) {
        if (error)
            *error = QStringLiteral("createTableFromDesign failed: ") + db->lastError();
        return nullptr;
    }
    db->createTableDesign(design);
    for (int i = 0; i < rows; ++i) {
        db->performQuery(QStringLiteral("INSERT INTO `%1` (`Title`) VALUES ('row %2')").arg(kTable).arg(i));
        if (db->lastErrorID() != 0) {
            if (error)
                *error = QStringLiteral("INSERT failed: ") + db->lastError();
            return nullptr;
        }
    }
    document->setChanged(false);
    return document;
}

QString cellText(MyDocument &document, const QString &column, const QString &id)
{
    const std::shared_ptr<QLiteCursor> cursor = document.database()->executeQuery(
        QStringLiteral("SELECT `%1` FROM `%2` WHERE id='%3'").arg(column, kTable, id));
    if (!cursor || cursor->rowCount() == 0)
        return QString();
    const QString text = cursor->rowAtIndex(0)->stringForColumn(kTable + QLatin1Char('.') + column);
    return text == QLatin1String("<null>") ? QString() : text;
}

bool store(MyDocument &document, const Value &value, const QString &column, const QString &id)
{
    return !document.database()->insertNativeValue(value, kTable, column, id);
}
} // namespace DataPanelFixture

DataPanelFakeGrid::DataPanelFakeGrid(MyDocument &document) : m_document(document)
{
    const std::shared_ptr<QLiteCursor> cursor = document.database()->executeQuery(
        QStringLiteral("SELECT id FROM `%1` ORDER BY id").arg(DataPanelFixture::kTable));
    for (quint32 i = 0; cursor && i < cursor->rowCount(); ++i)
        m_ids.append(cursor->rowAtIndex(i)->stringForColumn(DataPanelFixture::kTable + QStringLiteral(".id")));
}

OXDatabase *DataPanelFakeGrid::database() const
{
    return m_document.database();
}

Value DataPanelFakeGrid::storedValueForColumn(const QString &field, int row)
{
    ++reads;
    const QString text = DataPanelFixture::cellText(m_document, field, idForRow(row));
    if (DataPanelFixture::isNullLike(text))
        return Value();
    return database()->dbToNativeForTable(text, DataPanelFixture::kTable, field);
}

std::optional<Alert> DataPanelFakeGrid::setValueForColumn(const Value &value, const QString &field, int row)
{
    writes.append({field, row, value, database()->isTransactionActive()});
    if (duringWrite)
        duringWrite();
    std::optional<Alert> alert = database()->insertNativeValue(value, DataPanelFixture::kTable, field, idForRow(row));
    if (alert)
        Ui::instance().runAlert(*alert, nullptr);
    return alert;
}

void DataPanelFakeGrid::reloadTableView()
{
    ++reloads;
    if (duringReload)
        duringReload();
}

void DataPanelFakeForm::reloadData()
{
    ++reloads;
    if (duringReload)
        duringReload();
}
