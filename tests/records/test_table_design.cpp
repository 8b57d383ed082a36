// Tests of the table design editor's rules: field names, datatype changes and their confirmations, adding
// and removing fields, undo and redo through the document's undo stack.
#include "LMTableDesignFieldModel.h"
#include "LMTableDesignOptionsPane.h"
#include "LMTableDesignRules.h"
#include "LMTableDesignView.h"
#include "MyDocument.h"
#include "OXDatabase.h"
#include "TestEnvironment.h"
#include "support/TableDesignFixture.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTableView>
#include <QUndoStack>
#include <QtTest>

using namespace TableDesignFixture;

namespace {
const QString kUnsuitable = QStringLiteral("Field names may only contain letters, numbers, spaces, underscores and "
                                           "hyphens. Empty names will be ignored. Please choose another.");
const QString kDuplicate = QStringLiteral("This name is already in use by another field. Please choose another.");

Value orders()
{
    return table("Orders", {field("Total", "Number"), field("Price", "Number"), field("Photo", "Image"),
                            field("Note", "Text"), field("Link", "Relationship")});
}
} // namespace

class TestTableDesign : public QObject {
    Q_OBJECT
private slots:
    void init();
    void opensWithTheStoredDesign();
    void popUpIndexes();
    void fieldNames_data();
    void fieldNames();
    void idRowRefusesEveryEdit();
    void datatypeChanges_data();
    void datatypeChanges();
    void datatypeOfNoneAndPrimaryKey();
    void addField();
    void removeField();
    void undoAndRedoRestoreEveryPart();
    void undoTakesTheColumnOffColumnsToClear();
    void closingRemovesTheUndoSteps();
    void untitledNames();
    void gridForwardsToTheEditor();
    void editingInTheGrid();

private:
    TestEnvironment m_env;
    std::unique_ptr<MyDocument> m_document;
};

void TestTableDesign::init()
{
    m_env.ui().reset();
    QString error;
    m_document = newDocument({orders()}, &error);
    QVERIFY2(m_document, qPrintable(error));
}

void TestTableDesign::opensWithTheStoredDesign()
{
    Editor e = open(*m_document, "Orders");
    QCOMPARE(e->identifier(), QString("Table Design"));
    QVERIFY(!e->isNewTable());
    QCOMPARE(e->numberOfRowsInTableView(), 6);
    const QStringList names{"id", "Total", "Price", "Photo", "Note", "Link"};
    QCOMPARE(e->columnMapLeft(), names);
    QCOMPARE(e->columnMapRight(), names);
    // Private copies: editing them leaves the document's design alone until a commit.
    QVERIFY(e->schema() == m_document->tableNamed("Orders").value("Fields"));
    QVERIFY(!e->schema().at(1).isSameContainer(m_document->tableNamed("Orders").value("Fields").at(1)));
    QCOMPARE(e->objectValueForTableColumn("Name", 1), Value("Total"));
    QCOMPARE(e->objectValueForTableColumn("Type", 1), Value(2));
    QCOMPARE(e->objectValueForTableColumn("Type", 0), Value(0));
}

void TestTableDesign::popUpIndexes()
{
    const QStringList expected{"Primary Key", "Text", "Number",  "Date",       "Yes/No",    "Image",       "Audio",
                               "Video",       "List", "Options", "Attachment", "File Path", "Relationship"};
    for (int i = 0; i < expected.size(); ++i) {
        QCOMPARE(LMTableDesignView::numberToType(i), expected.at(i));
        QCOMPARE(LMTableDesignView::typeToNumber(expected.at(i)), i);
    }
    QVERIFY(LMTableDesignView::numberToType(13).isNull());
    QVERIFY(LMTableDesignView::numberToType(-1).isNull());
    QCOMPARE(LMTableDesignView::typeToNumber("Memo"), -1);
}

void TestTableDesign::fieldNames_data()
{
    QTest::addColumn<QString>("entered");
    QTest::addColumn<QString>("message"); // empty: accepted
    QTest::addColumn<QString>("informative");

    QTest::newRow("exact current name") << "Total"
                                        << ""
                                        << "";
    QTest::newRow("own name in other case") << "total"
                                            << "Name Already Exists" << kDuplicate;
    QTest::newRow("other field") << "Price"
                                 << "Name Already Exists" << kDuplicate;
    QTest::newRow("other field, other case") << "pRICE"
                                             << "Name Already Exists" << kDuplicate;
    QTest::newRow("the id field") << "ID"
                                  << "Name Already Exists" << kDuplicate;
    QTest::newRow("slash") << "Net/Gross"
                           << "Unsuitable Characters" << kUnsuitable;
    QTest::newRow("accented") << "Tot\u00e4l"
                              << "Unsuitable Characters" << kUnsuitable;
    QTest::newRow("newline at end") << "Sum\n"
                                    << "Unsuitable Characters" << kUnsuitable;
    QTest::newRow("allowed characters") << "Sum 2_net-x"
                                        << ""
                                        << "";
    QTest::newRow("empty") << ""
                           << ""
                           << "";
}

void TestTableDesign::fieldNames()
{
    QFETCH(QString, entered);
    QFETCH(QString, message);
    QFETCH(QString, informative);
    Editor e = open(*m_document, "Orders");
    const int stepsBefore = m_document->undoStack()->count();

    e->setObjectValue(Value(entered), "Name", 1);

    if (message.isEmpty()) {
        QCOMPARE(m_env.ui().alerts().size(), 0);
        QCOMPARE(m_env.ui().beeps(), 0);
        QCOMPARE(e->fieldAt(1).value("Name"), Value(entered));
        QCOMPARE(e->columnMapLeft().at(1), entered);
        // The old column name stays on the right, so the commit renames the column.
        QCOMPARE(e->columnMapRight().at(1), QString("Total"));
        QCOMPARE(e->objectValueForTableColumn("Name", 1), entered.isEmpty() ? Value() : Value(entered));
        QCOMPARE(m_document->undoStack()->count(), stepsBefore + (entered == "Total" ? 0 : 1));
    } else {
        QCOMPARE(m_env.ui().beeps(), 1);
        QCOMPARE(m_env.ui().alerts().size(), 1);
        QCOMPARE(m_env.ui().lastAlert()->messageText, message);
        QCOMPARE(m_env.ui().lastAlert()->informativeText, informative);
        QCOMPARE(m_env.ui().lastAlert()->buttons, QStringList{"OK"});
        QCOMPARE(e->fieldAt(1).value("Name"), Value("Total"));
        QCOMPARE(e->columnMapLeft().at(1), QString("Total"));
        QCOMPARE(m_document->undoStack()->count(), stepsBefore);
    }
}

void TestTableDesign::idRowRefusesEveryEdit()
{
    Editor e = open(*m_document, "Orders");
    const Value before = e->schema().deepCopy();
    QVERIFY(!e->shouldEditTableColumn("Name", 0));
    QVERIFY(!e->shouldEditTableColumn("Type", 0));
    QVERIFY(e->shouldEditTableColumn("Name", 1));

    e->setObjectValue(Value("key"), "Name", 0);
    e->setObjectValue(Value(1), "Type", 0);
    e->tableViewSelectionDidChange(0);
    e->removeRowButtonPressed();

    QCOMPARE(m_env.ui().beeps(), 3);
    QCOMPARE(m_env.ui().alerts().size(), 0);
    QCOMPARE(e->schema(), before);
    QCOMPARE(m_document->undoStack()->count(), 0);
}

void TestTableDesign::datatypeChanges_data()
{
    QTest::addColumn<QString>("fieldName"); // "" : a field added in this editor
    QTest::addColumn<QString>("fromType");
    QTest::addColumn<QString>("toType");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("question"); // empty: no question
    QTest::addColumn<bool>("changed");
    QTest::addColumn<bool>("cleared");

    const QString deletes = "Changing the datatype will DELETE all data in the column.";
    const QString nonReversible = "This action is non-reversible.";
    QTest::newRow("Image to Text, confirmed") << "Photo"
                                              << "Image"
                                              << "Text"
                                              << "Change Datatype" << deletes << true << true;
    QTest::newRow("Image to Text, cancelled") << "Photo"
                                              << "Image"
                                              << "Text"
                                              << "Cancel" << deletes << false << false;
    QTest::newRow("Text to Relationship") << "Note"
                                          << "Text"
                                          << "Relationship"
                                          << "Change Datatype" << deletes << true << true;
    QTest::newRow("Image to Relationship") << "Photo"
                                           << "Image"
                                           << "Relationship"
                                           << "Change Datatype" << deletes << true << true;
    QTest::newRow("Text to Image, changed") << "Note"
                                            << "Text"
                                            << "Image"
                                            << "Change" << nonReversible << true << false;
    QTest::newRow("Text to Image, kept") << "Note"
                                         << "Text"
                                         << "Image"
                                         << "Don't Change" << nonReversible << false << false;
    QTest::newRow("Relationship to Text") << "Link"
                                          << "Relationship"
                                          << "Text"
                                          << "Change" << nonReversible << true << false;
    QTest::newRow("Number to Attachment") << "Total"
                                          << "Number"
                                          << "Attachment"
                                          << "Change" << nonReversible << true << false;
    QTest::newRow("Text to Number") << "Note"
                                    << "Text"
                                    << "Number"
                                    << ""
                                    << "" << true << false;
    QTest::newRow("Number to Date") << "Total"
                                    << "Number"
                                    << "Date"
                                    << ""
                                    << "" << true << false;
    QTest::newRow("new field, Image to Text") << ""
                                              << "Image"
                                              << "Text"
                                              << ""
                                              << "" << true << false;
    QTest::newRow("new field, Text to Relationship") << ""
                                                     << "Text"
                                                     << "Relationship"
                                                     << ""
                                                     << "" << true << false;
}

void TestTableDesign::datatypeChanges()
{
    QFETCH(QString, fieldName);
    QFETCH(QString, fromType);
    QFETCH(QString, toType);
    QFETCH(QString, answer);
    QFETCH(QString, question);
    QFETCH(bool, changed);
    QFETCH(bool, cleared);
    Editor e = open(*m_document, "Orders");
    int row = rowOf(*e.editor, fieldName);
    if (fieldName.isEmpty()) {
        e->addRowButtonPressed();
        row = e->numberOfRowsInTableView() - 1;
        e->setObjectValue(Value(LMTableDesignView::typeToNumber(fromType)), "Type", row);
    }
    QCOMPARE(e->fieldAt(row).value("Type"), Value(fromType));
    m_env.ui().reset();
    const int stepsBefore = m_document->undoStack()->count();
    if (!answer.isEmpty())
        m_env.ui().answer(answer);

    e->setObjectValue(Value(LMTableDesignView::typeToNumber(toType)), "Type", row);

    if (question.isEmpty()) {
        QCOMPARE(m_env.ui().alerts().size(), 0);
    } else {
        QCOMPARE(m_env.ui().alerts().size(), 1);
        const Alert &shown = m_env.ui().alerts().first().alert;
        QCOMPARE(shown.messageText, question);
        if (question.startsWith("Changing")) {
            QCOMPARE(shown.informativeText, QString("Are you sure you want to delete all data in the column?"));
            QCOMPARE(shown.buttons, (QStringList{"Cancel", "Change Datatype"}));
            QCOMPARE(m_env.ui().beeps(), 1);
        } else {
            QCOMPARE(shown.informativeText, QString("You will not be able to change the datatype back."));
            QCOMPARE(shown.buttons, (QStringList{"Change", "Don't Change"}));
        }
    }
    QCOMPARE(e->fieldAt(row).value("Type"), Value(changed ? toType : fromType));
    QCOMPARE(e->columnsToClear(), cleared ? QStringList{fieldName} : QStringList());
    QCOMPARE(m_document->undoStack()->count(), stepsBefore + (changed ? 1 : 0));
    // Nothing reaches the stored design before a commit.
    QCOMPARE(m_document->database()->typeForTable("Orders", fieldName.isEmpty() ? "Note" : fieldName),
             fieldName.isEmpty() ? QString("Text") : fromType);
}

void TestTableDesign::datatypeOfNoneAndPrimaryKey()
{
    Editor e = open(*m_document, "Orders");
    const int row = rowOf(*e.editor, "Note");
    e->setObjectValue(Value(0), "Type", row);
    QCOMPARE(m_env.ui().beeps(), 1);
    QCOMPARE(e->fieldAt(row).value("Type"), Value("Text"));

    e->setObjectValue(Value(), "Type", row);
    QCOMPARE(e->fieldAt(row).value("Type"), Value(""));
    QCOMPARE(e->objectValueForTableColumn("Type", row), Value());
}

void TestTableDesign::addField()
{
    Editor e = open(*m_document, "Orders");
    QSignalSpy editing(e.editor, &LMTableDesignView::nameEditingRequested);
    e->addRowButtonPressed();

    const int row = e->numberOfRowsInTableView() - 1;
    QCOMPARE(row, 6);
    const Value expected = Value::dict({{"Name", Value("")},
                                        {"Type", Value("Text")},
                                        {"Primary Key", Value(false)},
                                        {"Unique", Value(false)},
                                        {"Not Null", Value(false)},
                                        {"Default", Value("")},
                                        {"Check", Value("")},
                                        {"Regex", Value("")},
                                        {"Format", Value("")},
                                        {"Yes Value", Value("Yes")},
                                        {"No Value", Value("No")}});
    QCOMPARE(e->fieldAt(row), expected);
    QCOMPARE(e->columnMapLeft().last(), QString(""));
    QCOMPARE(e->columnMapRight().last(), QString(""));
    QCOMPARE(e->selectedRow(), row);
    QCOMPARE(editing.size(), 1);
    QCOMPARE(editing.first().first().toInt(), row);
    QCOMPARE(e->objectValueForTableColumn("Name", row), Value());
    QCOMPARE(m_document->undoStack()->count(), 1);
}

void TestTableDesign::removeField()
{
    Editor e = open(*m_document, "Orders");
    const int row = rowOf(*e.editor, "Price");
    e->tableViewSelectionDidChange(row);

    m_env.ui().answer("Cancel");
    e->removeRowButtonPressed();
    QCOMPARE(m_env.ui().alerts().size(), 1);
    const Alert &shown = m_env.ui().alerts().first().alert;
    QCOMPARE(shown.messageText, QString("Are you sure you want to delete the field and all its data?"));
    QCOMPARE(shown.informativeText,
             QString("All the data in that field will be deleted. This action is not undoable."));
    QCOMPARE(shown.buttons, (QStringList{"Delete", "Cancel"}));
    QCOMPARE(rowOf(*e.editor, "Price"), row);

    m_env.ui().answer("Delete");
    e->removeRowButtonPressed();
    QCOMPARE(rowOf(*e.editor, "Price"), -1);
    QCOMPARE(e->columnMapLeft(), (QStringList{"id", "Total", "Photo", "Note", "Link"}));
    QCOMPARE(e->columnMapRight(), (QStringList{"id", "Total", "Photo", "Note", "Link"}));
    QCOMPARE(e->numberOfRowsInTableView(), 5);
    QCOMPARE(e->selectedRow(), row);
    QCOMPARE(m_document->undoStack()->count(), 0);

    // With nothing selected there is nothing to remove.
    e->tableViewSelectionDidChange(-1);
    m_env.ui().reset();
    e->removeRowButtonPressed();
    QCOMPARE(m_env.ui().beeps(), 1);
    QCOMPARE(m_env.ui().alerts().size(), 0);
}

void TestTableDesign::undoAndRedoRestoreEveryPart()
{
    Editor e = open(*m_document, "Orders");
    QUndoStack *stack = m_document->undoStack();
    const LMTableDesignSnapshot opened = e->snapshot();

    e->tableViewSelectionDidChange(1);
    e->setObjectValue(Value("Sum"), "Name", 1);
    const LMTableDesignSnapshot renamed = e->snapshot();
    e->addRowButtonPressed();
    e->setObjectValue(Value("Extra"), "Name", 6);
    const LMTableDesignSnapshot added = e->snapshot();
    QCOMPARE(stack->count(), 3);

    stack->undo(); // the new field's name
    QCOMPARE(e->fieldAt(6).value("Name"), Value(""));
    QCOMPARE(e->columnMapLeft().at(6), QString(""));
    QCOMPARE(e->selectedRow(), 6);
    stack->undo(); // the added field
    QCOMPARE(e->numberOfRowsInTableView(), 6);
    QCOMPARE(e->schema(), renamed.schema);
    QCOMPARE(e->columnMapLeft(), renamed.left);
    QCOMPARE(e->selectedRow(), 1);
    stack->undo(); // the rename
    QCOMPARE(e->schema(), opened.schema);
    QCOMPARE(e->columnMapLeft(), opened.left);
    QCOMPARE(e->columnMapRight(), opened.right);
    QCOMPARE(e->selectedRow(), 1); // the selection when the step was recorded
    QVERIFY(!stack->canUndo());

    stack->redo();
    stack->redo();
    stack->redo();
    QCOMPARE(e->schema(), added.schema);
    QCOMPARE(e->columnMapLeft(), added.left);
    QCOMPARE(e->columnMapRight(), added.right);
    QCOMPARE(e->selectedRow(), 6);
    // The options pane shows the restored field, not a dictionary that is no longer in the schema.
    QVERIFY(e->fieldAt(6).isSameContainer(e->schema().at(6)));
}

void TestTableDesign::undoTakesTheColumnOffColumnsToClear()
{
    Editor e = open(*m_document, "Orders");
    const int row = rowOf(*e.editor, "Photo");
    e->tableViewSelectionDidChange(row);
    m_env.ui().answer("Change Datatype");
    e->setObjectValue(Value(LMTableDesignView::typeToNumber("Text")), "Type", row);
    QCOMPARE(e->columnsToClear(), QStringList{"Photo"});

    m_document->undoStack()->undo();
    QCOMPARE(e->columnsToClear(), QStringList());
    QCOMPARE(e->fieldAt(row).value("Type"), Value("Image"));

    m_document->undoStack()->redo();
    QCOMPARE(e->columnsToClear(), QStringList{"Photo"});
    QCOMPARE(e->fieldAt(row).value("Type"), Value("Text"));
    QCOMPARE(m_env.ui().alerts().size(), 1); // redo does not ask again
}

void TestTableDesign::closingRemovesTheUndoSteps()
{
    Editor e = open(*m_document, "Orders");
    e->setObjectValue(Value("Sum"), "Name", 1);
    e->setObjectValue(Value("Cost"), "Name", 2);
    QCOMPARE(m_document->undoStack()->count(), 2);
    e->cleanUp();
    QCOMPARE(m_document->undoStack()->count(), 0);
    QVERIFY(!m_document->undoStack()->canUndo());
    // After the close the editor records again from its committed state.
    e->setObjectValue(Value("Amount"), "Name", 1);
    QCOMPARE(m_document->undoStack()->count(), 1);
    m_document->undoStack()->undo();
    QCOMPARE(e->fieldAt(1).value("Name"), Value("Sum"));

    // Another editor's steps on the shared stack outlive this editor's close.
    QUndoStack *stack = m_document->undoStack();
    stack->clear();
    Editor other = open(*m_document, "Orders");
    other->setObjectValue(Value("Remark"), "Name", 4);
    e->setObjectValue(Value("Amount"), "Name", 1);
    e->cleanUp();
    stack->undo(); // the closed editor's step is dropped without touching anything
    QCOMPARE(e->fieldAt(1).value("Name"), Value("Amount"));
    QCOMPARE(other->fieldAt(4).value("Name"), Value("Remark"));
    stack->undo();
    QCOMPARE(other->fieldAt(4).value("Name"), Value("Note"));
}

void TestTableDesign::untitledNames()
{
    QCOMPARE(LMTableDesignRules::untitledTableName({}), QString("untitled 1"));
    QCOMPARE(LMTableDesignRules::untitledTableName({"untitled 1", "untitled 3"}), QString("untitled 2"));
    // Exact comparison: other spellings do not take the name.
    QCOMPARE(LMTableDesignRules::untitledTableName({"Untitled 1", "untitled 01"}), QString("untitled 1"));
    QStringList all;
    for (int n = 1; n < 999999; ++n)
        all << QStringLiteral("untitled %1").arg(n);
    QVERIFY(LMTableDesignRules::untitledTableName(all).isNull());
}

void TestTableDesign::gridForwardsToTheEditor()
{
    Editor e = open(*m_document, "Orders");
    QAbstractItemModel *model = e->fieldGrid()->model();
    QCOMPARE(model->rowCount(), 6);
    QCOMPARE(model->columnCount(), 2);
    const int note = rowOf(*e.editor, "Note");
    QCOMPARE(model->index(note, LMTableDesignFieldModel::TypeColumn).data().toString(), QString("Text"));
    QCOMPARE(model->index(note, LMTableDesignFieldModel::TypeColumn).data(Qt::EditRole).toInt(), 1);
    QCOMPARE(model->index(0, LMTableDesignFieldModel::TypeColumn).data().toString(), QString("Primary Key"));
    QVERIFY(!(model->flags(model->index(0, 0)) & Qt::ItemIsEditable));
    QVERIFY(model->flags(model->index(note, 0)) & Qt::ItemIsEditable);
    // The id row is greyed.
    QVERIFY(model->index(0, 0).data(Qt::ForegroundRole).isValid());
    QVERIFY(!model->index(note, 0).data(Qt::ForegroundRole).isValid());

    // The datatype pop-up lists every datatype at its index, "Primary Key" shown but not selectable.
    QStyleOptionViewItem option;
    QWidget *editor =
        e->fieldGrid()
            ->itemDelegateForColumn(LMTableDesignFieldModel::TypeColumn)
            ->createEditor(e->fieldGrid()->viewport(), option, model->index(note, LMTableDesignFieldModel::TypeColumn));
    auto *box = qobject_cast<QComboBox *>(editor);
    QVERIFY(box);
    QCOMPARE(box->count(), 13);
    QCOMPARE(box->itemText(12), QString("Relationship"));
    auto *items = qobject_cast<QStandardItemModel *>(box->model());
    QVERIFY(items && !items->item(0)->isEnabled() && items->item(1)->isEnabled());
    delete editor;

    m_env.ui().answer("Don't Change");
    QVERIFY(model->setData(model->index(note, LMTableDesignFieldModel::TypeColumn), 5, Qt::EditRole));
    QCOMPARE(m_env.ui().lastAlert()->messageText, QString("This action is non-reversible."));
    QCOMPARE(e->fieldAt(note).value("Type"), Value("Text"));
    model->setData(model->index(note, LMTableDesignFieldModel::NameColumn), "Remark", Qt::EditRole);
    QCOMPARE(model->index(note, LMTableDesignFieldModel::NameColumn).data().toString(), QString("Remark"));
    QCOMPARE(e->columnMapLeft().at(note), QString("Remark"));

    // Adding a field selects its row in the grid.
    e->addRowButtonPressed();
    QCOMPARE(model->rowCount(), 7);
    QCOMPARE(e->fieldGrid()->selectionModel()->currentIndex().row(), 6);
    e->fieldGrid()->selectRow(2);
    QCOMPARE(e->selectedRow(), 2);
    QCOMPARE(e->optionsPane()->mapIndex(), 2);
}

void TestTableDesign::editingInTheGrid()
{
    Editor e = open(*m_document, "Orders");
    e.view->resize(800, 500);
    e.view->show();
    QVERIFY(QTest::qWaitForWindowExposed(e.view.get()));
    QTableView *grid = e->fieldGrid();
    const int note = rowOf(*e.editor, "Note");
    const auto typeName = [&](const QString &text, int row) {
        grid->setCurrentIndex(grid->model()->index(row, LMTableDesignFieldModel::NameColumn));
        grid->edit(grid->currentIndex());
        auto *line = grid->viewport()->findChild<QLineEdit *>();
        QVERIFY(line);
        line->selectAll();
        QTest::keyClicks(line, text);
        QTest::keyClick(line, Qt::Key_Return);
        // The grid commits a Return from its event queue.
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };

    typeName("Remark", note);
    QCOMPARE(e->fieldAt(note).value("Name"), Value("Remark"));
    QCOMPARE(m_env.ui().alerts().size(), 0);

    // A refused name leaves the field as it was and the grid usable.
    typeName("Bad/Name", note);
    QCOMPARE(m_env.ui().alerts().size(), 1);
    QCOMPARE(e->fieldAt(note).value("Name"), Value("Remark"));
    QCOMPARE(grid->model()->index(note, 0).data().toString(), QString("Remark"));

    // The new field's name is edited right away.
    e->addRowButtonPressed();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    auto *line = grid->viewport()->findChild<QLineEdit *>();
    QVERIFY(line && line->isVisible());
    QTest::keyClicks(line, "Added");
    QTest::keyClick(line, Qt::Key_Return);
    QCoreApplication::processEvents();
    QCOMPARE(e->fieldAt(6).value("Name"), Value("Added"));
    QCOMPARE(m_document->undoStack()->count(), 3);
}

QTEST_MAIN(TestTableDesign)
#include "test_table_design.moc"
