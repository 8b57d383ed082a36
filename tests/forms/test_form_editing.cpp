// Tests of the designer's operations on the model: z-order, alignment, locking, resizing, naming, paste and undo.
#include "DesignFixture.h"
#include "FDCanvas.h"
#include "FDCanvasEditor.h"
#include "FDControlKinds.h"
#include "FDControlNaming.h"
#include "FDKeys.h"
#include "FDResizeRule.h"
#include "FDSpringsStruts.h"
#include "TestEnvironment.h"

#include <QUndoStack>
#include <QtTest>

using namespace FDKeys;

namespace {
// A canvas with controls named A, B, C, ... back to front, each at its own place.
struct Fixture {
    FDCanvas canvas;
    QUndoStack stack;
    FDCanvasEditor editor{&canvas, &stack};

    explicit Fixture(int count)
    {
        for (int i = 0; i < count; ++i) {
            FDControlPtr c = FDControl::fdcontrolFromControl(FDControlKinds::makeControl("Text Field"), &canvas);
            Value info = c->info();
            info.set(kScriptBridgeName, QString(QChar('A' + i)));
            c->setFrameExcludingLabel(QRectF(100 + 10 * i, 20 + 40 * i, 158, 30));
            canvas.addControl(c);
        }
    }
    FDControlPtr named(const QString &name) const { return canvas.controlNamed(name); }
    void select(const QString &names)
    {
        FDControlList list;
        for (QChar c : names)
            list.append(named(QString(c)));
        canvas.selectControls(list);
    }
    QString order() const
    {
        QString s;
        for (const FDControlPtr &c : canvas.controls())
            s += c->scriptBridgeName();
        return s;
    }
};
} // namespace

class TestFormEditing : public QObject {
    Q_OBJECT
private slots:
    void zOrder_data();
    void zOrder();
    void alignment_data();
    void alignment();
    void alignmentWithoutSelectionBeeps();
    void lockUnlock();
    void resizeRule_data();
    void resizeRule();
    void labelKeepsControlStill();
    void naming();
    void untitledNames();
    void renameInActionPane_data();
    void renameInActionPane();
    void pasteOffsetsAndIdentity();
    void undoAddRemoveAndFrames();
    void movingSkipsLockedAndNudges();
    void springsAndStruts_data();
    void springsAndStruts();

private:
    TestEnvironment m_env;
};

void TestFormEditing::zOrder_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("order");
    QTest::newRow("front") << "bringToFront"
                           << "BA"
                           << "CDAB";
    QTest::newRow("back keeps relative order") << "sendToBack"
                                               << "DB"
                                               << "BDAC";
    QTest::newRow("forwards") << "bringForwards"
                              << "A"
                              << "BACD";
    QTest::newRow("forwards at top") << "bringForwards"
                                     << "D"
                                     << "ABCD";
    QTest::newRow("forwards two") << "bringForwards"
                                  << "AC"
                                  << "BADC";
    QTest::newRow("backwards") << "sendBackwards"
                               << "C"
                               << "ACBD";
    QTest::newRow("backwards at back") << "sendBackwards"
                                       << "A"
                                       << "ABCD";
    QTest::newRow("backwards two") << "sendBackwards"
                                   << "BD"
                                   << "BADC";
}

void TestFormEditing::zOrder()
{
    QFETCH(QString, operation);
    QFETCH(QString, selected);
    QFETCH(QString, order);
    Fixture f(4);
    f.select(selected);
    if (operation == "bringToFront")
        f.canvas.bringToFront();
    else if (operation == "sendToBack")
        f.canvas.sendToBack();
    else if (operation == "bringForwards")
        f.canvas.bringForwards();
    else
        f.canvas.sendBackwards();
    QCOMPARE(f.order(), order);
    // The stored "Controls" follow the same order.
    const Value entries = f.canvas.dictionary().value(kControls);
    QString stored;
    for (int i = 0; i < entries.size(); ++i)
        stored += entries.at(i).value(kInfo).value(kScriptBridgeName).toString();
    QCOMPARE(stored, order);
}

void TestFormEditing::alignment_data()
{
    QTest::addColumn<QString>("edge");
    QTest::addColumn<QRectF>("moved"); // B's frame excluding label after aligning B to A
    // A: (100, 20, 158, 30); B: (110, 60, 158, 30) but made wider first: (110, 60, 200, 50).
    QTest::newRow("left") << "left" << QRectF(100, 60, 200, 50);
    QTest::newRow("right") << "right" << QRectF(58, 60, 200, 50);
    QTest::newRow("top") << "top" << QRectF(110, 20, 200, 50);
    QTest::newRow("bottom") << "bottom" << QRectF(110, 0, 200, 50);
}

void TestFormEditing::alignment()
{
    QFETCH(QString, edge);
    QFETCH(QRectF, moved);
    Fixture f(2);
    f.named("B")->setFrameExcludingLabel(QRectF(110, 60, 200, 50));
    f.select("AB");
    QVERIFY(f.editor.align(edge));
    QCOMPARE(f.named("B")->frameExcludingLabel(), moved);
    QCOMPARE(f.named("A")->frameExcludingLabel(), QRectF(100, 20, 158, 30));
    f.stack.undo();
    QCOMPARE(f.named("B")->frameExcludingLabel(), QRectF(110, 60, 200, 50));
}

void TestFormEditing::alignmentWithoutSelectionBeeps()
{
    Fixture f(2);
    QVERIFY(!f.canvas.alignLeft());
    QCOMPARE(m_env.ui().beeps(), 1);
    f.select("B");
    QVERIFY(f.canvas.alignLeft());
    QCOMPARE(f.named("B")->frameExcludingLabel(), QRectF(110, 60, 158, 30));
    QCOMPARE(m_env.ui().beeps(), 1);
}

void TestFormEditing::lockUnlock()
{
    Fixture f(3);
    f.named("A")->setLocked(true);
    f.select("AB");
    f.canvas.lockUnlock();
    QVERIFY(f.named("A")->isLocked() && f.named("B")->isLocked());
    f.canvas.lockUnlock();
    QVERIFY(!f.named("A")->isLocked() && !f.named("B")->isLocked());
    QVERIFY(!f.named("C")->isLocked());
}

void TestFormEditing::resizeRule_data()
{
    QTest::addColumn<int>("handle");
    QTest::addColumn<QPointF>("delta");
    QTest::addColumn<bool>("alt");
    QTest::addColumn<bool>("shift");
    QTest::addColumn<QRectF>("frame"); // null: refused
    // Wrapper (0, 0, 100, 40) with a 40-point label: the control area is 56 wide.
    using R = FDResizeRule::Handle;
    QTest::newRow("bottom-right") << int(R::BottomRight) << QPointF(10, 5) << false << false << QRectF(0, 0, 110, 45);
    QTest::newRow("top-left") << int(R::TopLeft) << QPointF(10, 5) << false << false << QRectF(10, 5, 90, 35);
    QTest::newRow("right, alt") << int(R::Right) << QPointF(10, 0) << true << false << QRectF(-10, 0, 120, 40);
    QTest::newRow("top, alt") << int(R::Top) << QPointF(0, -5) << true << false << QRectF(0, -5, 100, 50);
    QTest::newRow("bottom, shift") << int(R::Bottom) << QPointF(0, 20) << false << true << QRectF(0, 0, 150, 60);
    QTest::newRow("top-left, shift") << int(R::TopLeft) << QPointF(0, -20) << false << true
                                     << QRectF(-100, -40, 200, 80);
    QTest::newRow("control 7 wide") << int(R::Right) << QPointF(-49, 0) << false << false << QRectF(0, 0, 51, 40);
    QTest::newRow("control 6 wide") << int(R::Right) << QPointF(-50, 0) << false << false << QRectF();
    QTest::newRow("7 high") << int(R::Bottom) << QPointF(0, -33) << false << false << QRectF(0, 0, 100, 7);
    QTest::newRow("6 high") << int(R::Bottom) << QPointF(0, -34) << false << false << QRectF();
}

void TestFormEditing::resizeRule()
{
    QFETCH(int, handle);
    QFETCH(QPointF, delta);
    QFETCH(bool, alt);
    QFETCH(bool, shift);
    QFETCH(QRectF, frame);
    const std::optional<QRectF> got = FDResizeRule::resizedFrame(QRectF(0, 0, 100, 40), 40, handle, delta, alt, shift);
    QCOMPARE(got.has_value(), !frame.isNull());
    if (got)
        QCOMPARE(*got, frame);
}

void TestFormEditing::labelKeepsControlStill()
{
    Fixture f(1);
    const FDControlPtr a = f.named("A");
    const QRectF control = a->frameExcludingLabel();
    a->labelTextChanged("A much longer label text:");
    QCOMPARE(a->frameExcludingLabel(), control);
    QCOMPARE(a->info().value(kLabelText).toString(), QString("A much longer label text:"));
    QCOMPARE(a->frame().width(), control.width() + a->labelWidth() + 4);
}

void TestFormEditing::naming()
{
    FDCanvas canvas;
    auto make = [&] {
        FDControlPtr c = FDControl::fdcontrolFromControl(FDControlKinds::makeControl("Text Field"), &canvas);
        canvas.addControl(c);
        return c;
    };
    FDControlPtr price = make();
    Value info = price->info();
    info.remove(kScriptBridgeName);
    price->labelTextChanged("Price:");
    QCOMPARE(price->scriptBridgeName(), QString("Price"));
    FDControlPtr net = make();
    net->info().remove(kScriptBridgeName);
    net->labelTextChanged("Price: net");
    QCOMPARE(net->scriptBridgeName(), QString("Price: net"));
    // A named control keeps its name, untitled ones too.
    FDControlPtr other = make();
    QCOMPARE(other->scriptBridgeName(), QString("untitled1"));
    other->labelTextChanged("Cost:");
    QCOMPARE(other->scriptBridgeName(), QString("untitled1"));
    // A name another control has is not given.
    FDControlPtr twin = make();
    twin->info().remove(kScriptBridgeName);
    twin->labelTextChanged("Price:");
    QCOMPARE(twin->scriptBridgeName(), QString());
}

void TestFormEditing::untitledNames()
{
    FDCanvas canvas;
    FDControlPtr first = FDControl::fdcontrolFromControl(FDControlKinds::makeControl("Label"), &canvas);
    canvas.addControl(first);
    QCOMPARE(first->scriptBridgeName(), QString("untitled1"));
    FDControlPtr second = FDControl::fdcontrolFromControl(FDControlKinds::makeControl("Label"), &canvas);
    QCOMPARE(second->scriptBridgeName(), QString("untitled2"));
}

void TestFormEditing::renameInActionPane_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("result");
    QTest::newRow("valid") << "total_2$" << true << "total_2$";
    QTest::newRow("same ignoring case") << "a" << true << "a";
    QTest::newRow("empty") << "" << true << "";
    QTest::newRow("digit first") << "2nd" << false << "A";
    QTest::newRow("blank inside") << "my name" << false << "A";
    QTest::newRow("non-ASCII") << "nümber" << false << "A";
    QTest::newRow("other's name, other case") << "b" << false << "A";
}

void TestFormEditing::renameInActionPane()
{
    QFETCH(QString, name);
    QFETCH(bool, accepted);
    QFETCH(QString, result);
    Fixture f(2);
    const FDControlPtr a = f.named("A");
    f.select("A");
    const int beeps = m_env.ui().beeps();
    QCOMPARE(FDControlNaming::controlName(&f.canvas, name), accepted);
    QCOMPARE(a->scriptBridgeName(), result);
    QCOMPARE(m_env.ui().beeps(), beeps + (accepted ? 0 : 1));
}

void TestFormEditing::pasteOffsetsAndIdentity()
{
    Fixture f(2);
    f.select("A");
    const FDControlPtr a = f.named("A");
    const QByteArray payload = f.editor.copyPayload();
    QVERIFY(!payload.isEmpty());

    // Pasted next to a control that is still there: moved by (10, 10), a new identity and name.
    const FDControlList pasted = f.editor.pastePayload(payload);
    QCOMPARE(pasted.size(), 1);
    QCOMPARE(pasted.first()->frameExcludingLabel(), a->frameExcludingLabel().translated(10, 10));
    QVERIFY(pasted.first()->uuid() != a->uuid());
    QCOMPARE(pasted.first()->scriptBridgeName(), QString("untitled1"));
    QCOMPARE(pasted.first()->info().value(kLabelText), a->info().value(kLabelText));
    QCOMPARE(f.canvas.selection(), pasted);
    QCOMPARE(f.canvas.controls().last(), pasted.first());

    // Cut and paste moves the control: it keeps its identity and name, so links to it still hold.
    const QString uuid = a->uuid();
    f.select("A");
    const QByteArray cut = f.editor.copyPayload();
    f.editor.deleteSelection();
    QVERIFY(!f.canvas.controlWithUUID(uuid));
    const FDControlList moved = f.editor.pastePayload(cut);
    QCOMPARE(moved.first()->uuid(), uuid);
    QCOMPARE(moved.first()->scriptBridgeName(), QString("A"));

    QVERIFY(f.editor.pastePayload("junk").isEmpty());
}

void TestFormEditing::undoAddRemoveAndFrames()
{
    Fixture f(2);
    const FDControlPtr added = f.editor.addControlOfKind("Check Box", QPointF(5, 5));
    QCOMPARE(f.canvas.controls().size(), 3);
    f.stack.undo();
    QCOMPARE(f.canvas.controls().size(), 2);
    f.stack.redo();
    QCOMPARE(f.canvas.controls().last(), added);

    f.select("A");
    f.editor.deleteSelection();
    QCOMPARE(f.order(), QString("Buntitled1"));
    f.stack.undo();
    QCOMPARE(f.order(), QString("ABuntitled1"));

    f.select("B");
    const QRectF before = f.named("B")->frame();
    f.editor.beginResize(f.named("B"));
    QVERIFY(f.editor.resizeBy(FDResizeRule::BottomRight, QPointF(20, 10), false, false));
    f.editor.endResize();
    QCOMPARE(f.named("B")->frame(), before.adjusted(0, 0, 20, 10));
    f.stack.undo();
    QCOMPARE(f.named("B")->frame(), before);
    f.stack.redo();
    QCOMPARE(f.named("B")->frame(), before.adjusted(0, 0, 20, 10));

    // Closing the designer takes its steps off the document's stack.
    f.editor.removeUndoActions();
    QCOMPARE(f.stack.count(), 0);
}

void TestFormEditing::movingSkipsLockedAndNudges()
{
    Fixture f(2);
    f.canvas.setSnapToGrid(false);
    f.named("B")->setLocked(true);
    f.select("AB");
    const QRectF a = f.named("A")->frame(), b = f.named("B")->frame();
    f.editor.beginMove();
    f.editor.moveSelectionBy(QPointF(3, 4));
    f.editor.moveSelectionBy(QPointF(7, 9));
    f.editor.endMove();
    QCOMPARE(f.named("A")->frame(), a.translated(7, 9));
    QCOMPARE(f.named("B")->frame(), b);
    QCOMPARE(f.stack.count(), 1);
    f.stack.undo();
    QCOMPARE(f.named("A")->frame(), a);

    f.editor.nudge(1, 0, false);
    QCOMPARE(f.named("A")->frame(), a.translated(1, 0));
    f.canvas.setMinorLineSpacing(12);
    f.editor.nudge(0, -1, true);
    QCOMPARE(f.named("A")->frame(), a.translated(1, -12));

    // With snapping on, the control's own corner lands on the grid.
    f.canvas.setSnapToGrid(true);
    f.editor.beginMove();
    f.editor.moveSelectionBy(QPointF(4, 4));
    f.editor.endMove();
    const QRectF control = f.named("A")->controlFrame();
    QCOMPARE(std::fmod(control.x(), 12.0), 0.0);
    QCOMPARE(std::fmod(control.y(), 12.0), 0.0);
}

void TestFormEditing::springsAndStruts_data()
{
    QTest::addColumn<int>("mask");
    QTest::addColumn<QRectF>("frame");
    // A control at (10, 10, 100, 20) in a 200 × 100 container that grows to 300 × 150.
    QTest::newRow("fixed to top-left (36)") << 36 << QRectF(10, 10, 100, 20);
    QTest::newRow("follows the size (18)") << 18 << QRectF(10, 10, 200, 70);
    QTest::newRow("left margin") << 1 << QRectF(110, 10, 100, 20);
    QTest::newRow("width and right margin") << 6 << QRectF(10, 10, 152.63157894736841, 20);
    QTest::newRow("nothing flexible") << 0 << QRectF(10, 10, 100, 20);
}

void TestFormEditing::springsAndStruts()
{
    QFETCH(int, mask);
    QFETCH(QRectF, frame);
    const QRectF got = FDSpringsStruts::resizedFrame(QRectF(10, 10, 100, 20), mask, QSizeF(200, 100), QSizeF(300, 150));
    QCOMPARE(got, frame);
}

QTEST_MAIN(TestFormEditing)
#include "test_form_editing.moc"
