// Tests of the value rules of the form-only controls: text view, radio group, segments, pop-up, progress.
#include "DesignFixture.h"
#include "FDControlKinds.h"
#include "FDControlWidgets.h"
#include "HVFormPopUpButton.h"
#include "HVFormProgressIndicator.h"
#include "HVFormRadioButtonMatrix.h"
#include "HVFormSegmentedControl.h"
#include "HVFormTextViewScrollView.h"
#include "TestEnvironment.h"

#include <QtTest>

class TestFormValueControls : public QObject {
    Q_OBJECT
private slots:
    void textView();
    void radioGroup_data();
    void radioGroup();
    void segments_data();
    void segments();
    void popUpTitles();
    void progress();
    void everyKindHasAWidget();

private:
    TestEnvironment m_env;
};

void TestFormValueControls::textView()
{
    HVFormTextViewScrollView view;
    view.setObjectValue(Value("two\nlines"));
    QCOMPARE(view.objectValue(), Value("two\nlines"));
    view.setObjectValue(Value());
    QCOMPARE(view.objectValue(), Value(""));
}

void TestFormValueControls::radioGroup_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<Value>("set");
    QTest::addColumn<Value>("read");
    QTest::newRow("a title") << QStringList{"A", "B"} << Value("B") << Value("B");
    QTest::newRow("last of equal titles") << QStringList{"A", "B", "A"} << Value("A") << Value("A");
    QTest::newRow("unknown title chooses none") << QStringList{"A", "B"} << Value("C") << Value("");
    QTest::newRow("no rows") << QStringList{} << Value("A") << Value("");
}

void TestFormValueControls::radioGroup()
{
    QFETCH(QStringList, options);
    QFETCH(Value, set);
    QFETCH(Value, read);
    HVFormRadioButtonMatrix radio;
    radio.setOptions(options);
    radio.setObjectValue(Value("B"));
    radio.setObjectValue(set);
    QCOMPARE(radio.objectValue(), read);
}

void TestFormValueControls::segments_data()
{
    QTest::addColumn<QStringList>("labels");
    QTest::addColumn<Value>("set");
    QTest::addColumn<Value>("read");
    QTest::newRow("number in range") << QStringList{"x", "y", "z"} << Value(2) << Value(2);
    QTest::newRow("number out of range keeps") << QStringList{"x", "y"} << Value(5) << Value(0);
    QTest::newRow("negative keeps") << QStringList{"x", "y"} << Value(-1) << Value(0);
    QTest::newRow("label") << QStringList{"x", "y", "y"} << Value("y") << Value("y");
    QTest::newRow("unknown label keeps") << QStringList{"x", "y"} << Value("q") << Value("x");
    QTest::newRow("no labels") << QStringList{} << Value("") << Value("");
}

void TestFormValueControls::segments()
{
    QFETCH(QStringList, labels);
    QFETCH(Value, set);
    QFETCH(Value, read);
    HVFormSegmentedControl segmented;
    segmented.setLabels(labels);
    QCOMPARE(segmented.labels().size(), qMax<qsizetype>(1, labels.size()));
    segmented.setSelectedSegment(0);
    segmented.setObjectValue(set);
    QCOMPARE(segmented.objectValue(), read);
}

void TestFormValueControls::popUpTitles()
{
    HVFormPopUpButton popUp;
    popUp.setItemTitles({"a", "b"});
    popUp.setItemTitles({"c"});
    QCOMPARE(popUp.count(), 1);
    popUp.setObjectValue(Value("c"));
    QCOMPARE(popUp.objectValue(), Value("c"));
}

void TestFormValueControls::progress()
{
    HVFormProgressIndicator bar;
    bar.setMaxValue(50);
    bar.setObjectValue(Value(25.0));
    QCOMPARE(bar.objectValue(), Value(25.0));
    QCOMPARE(bar.value(), bar.maximum() / 2);
    bar.setIndeterminate(true);
    QCOMPARE(bar.objectValue(), Value(false));
    bar.setObjectValue(Value(true));
    QCOMPARE(bar.objectValue(), Value(true));
    QCOMPARE(bar.maximum(), 0);
    bar.setObjectValue(Value(0));
    QCOMPARE(bar.objectValue(), Value(false));
}

void TestFormValueControls::everyKindHasAWidget()
{
    QWidget parent;
    for (const FDControlKind &kind : FDControlKinds::paletteKinds()) {
        QWidget *widget = FDControlWidgets::createWidget(FDControlKinds::makeControl(kind.title), &parent);
        QVERIFY(widget);
        QCOMPARE(widget->parentWidget(), &parent);
    }
    QVERIFY(qobject_cast<HVFormRadioButtonMatrix *>(
        FDControlWidgets::createWidget(FDControlKinds::makeControl("Radio Group"), &parent)));
}

QTEST_MAIN(TestFormValueControls)
#include "test_form_value_controls.moc"
