// Tests of colour styles: RGBA text, style entries, style files and folders, the pane's operations and presets.
#include "ArchivedColor.h"
#include "OXSyntaxHighlighterController.h"
#include "OXSyntaxPrefController.h"
#include "OXSyntaxPrefPane.h"
#include "Preferences.h"
#include "TestEnvironment.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTableWidget>
#include <QtTest>

namespace {
bool near(double a, double b)
{
    return qAbs(a - b) < 0.0005;
}
} // namespace

class TestSyntaxStyles : public QObject {
    Q_OBJECT
    TestEnvironment env;

    static QString userFile(const QString &name)
    {
        return QDir(OXSyntaxPrefController::appSupportDir()).filePath(name);
    }

private slots:
    void initTestCase() { QVERIFY(OXSyntaxPrefController::appSupportDir().startsWith(env.tempPath())); }
    void cleanupTestCase() { QDir(OXSyntaxPrefController::appSupportDir()).removeRecursively(); }
    void init()
    {
        env.ui().reset();
        QDir(OXSyntaxPrefController::appSupportDir()).removeRecursively();
        QVERIFY(OXSyntaxPrefController::setStyleNamed("Cupertino"));
        OXSyntaxPrefController().setHasChangedColors(false);
    }

    void rgbaText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<double>>("rgba");
        QTest::newRow("colour") << "0.250000 0.500000 0.750000 1.000000" << QList<double>{0.25, 0.5, 0.75, 1};
        QTest::newRow("black is kept apart") << "0 0 0 1" << QList<double>{0.001, 0.001, 0.001, 1};
        QTest::newRow("missing values count as 0") << "0.5" << QList<double>{0.5, 0, 0, 0};
        QTest::newRow("missing blue and alpha of black") << "0 0" << QList<double>{0.001, 0.001, 0.001, 0};
        QTest::newRow("unreadable") << "red" << QList<double>{0.001, 0.001, 0.001, 0};
        QTest::newRow("empty") << "" << QList<double>{0.001, 0.001, 0.001, 0};
    }

    void rgbaText()
    {
        QFETCH(QString, text);
        QFETCH(QList<double>, rgba);
        const QColor c = OXSyntaxPrefController::rgbaStringToColor(text);
        QVERIFY2(near(c.redF(), rgba[0]) && near(c.greenF(), rgba[1]) && near(c.blueF(), rgba[2]) &&
                     near(c.alphaF(), rgba[3]),
                 qPrintable(OXSyntaxPrefController::colorToRgbaString(c)));
    }

    void rgbaRoundTrip()
    {
        const QColor colour = QColor::fromRgbF(0.2f, 0.4f, 0.6f, 0.8f);
        const QString text = OXSyntaxPrefController::colorToRgbaString(colour);
        QVERIFY(QRegularExpression("^\\d\\.\\d{6} \\d\\.\\d{6} \\d\\.\\d{6} \\d\\.\\d{6}$").match(text).hasMatch());
        const QColor back = OXSyntaxPrefController::rgbaStringToColor(text);
        QVERIFY(near(back.redF(), 0.2) && near(back.greenF(), 0.4) && near(back.blueF(), 0.6) &&
                near(back.alphaF(), 0.8));
        // A black foreground stored in a style reads back as 0.001 grey.
        OXSyntaxPrefController pane;
        pane.setColor(Qt::black, "Keywords", true);
        const QColor stored = OXSyntaxPrefController::colorForTitle("Keywords", true);
        QVERIFY(near(stored.redF(), 0.001) && near(stored.greenF(), 0.001) && near(stored.blueF(), 0.001));
    }

    void colourFallbacks()
    {
        QVariantMap style;
        QCOMPARE(OXSyntaxPrefController::colorForTitle(style, "Keywords", false), QColor::fromRgbF(1, 1, 1, 0));
        QVERIFY(near(OXSyntaxPrefController::colorForTitle(style, "Keywords", true).redF(), 0.001));
        style.insert("OXSyntax Keywords", QVariantMap{{"FG", "0.5 0.5 0.5 1"}, {"BG", ""}});
        QVERIFY(near(OXSyntaxPrefController::colorForTitle(style, "Keywords", true).redF(), 0.5));
        QCOMPARE(OXSyntaxPrefController::colorForTitle(style, "Keywords", false).alphaF(), 0.0);
    }

    void entriesChangeAndMarkTheStyleChanged()
    {
        OXSyntaxPrefController pane;
        QSignalSpy refresh(&pane, &OXSyntaxPrefController::refreshTable);
        pane.setTextAttribute("Italic", true, "Numbers");
        QVERIFY(pane.textAttribute("Italic", "Numbers"));
        QVERIFY(OXSyntaxPrefController::hasChangedColors());
        QCOMPARE(refresh.count(), 1);
        // Inverting turns every title's colours over, missing ones from their fallbacks.
        OXSyntaxPrefController::setCurrentStyle({{"OXSyntax Keywords", QVariantMap{{"FG", "0.2 0.3 0.4 1"}}}});
        pane.invert();
        const QColor fg = OXSyntaxPrefController::colorForTitle("Keywords", true);
        QVERIFY(near(fg.redF(), 0.8) && near(fg.greenF(), 0.7) && near(fg.blueF(), 0.6));
        QVERIFY(near(OXSyntaxPrefController::colorForTitle("Numbers", true).redF(), 0.999));
        QCOMPARE(OXSyntaxPrefController::currentStyle().size(), OXSyntaxPrefController::colourTitles().size());
        pane.hue(120);
        const QColor turned = OXSyntaxPrefController::colorForTitle("Keywords", true);
        QVERIFY(qAbs(turned.hsvHue() - (fg.hsvHue() + 120) % 360) <= 1);
    }

    void styleNamesAndPaths()
    {
        QVERIFY(OXSyntaxPrefController::createDirectories());
        QCOMPARE(OXSyntaxPrefController::styleNames().mid(0, 2), QStringList({"Blank", "Cupertino"}));
        QVERIFY(OXSyntaxPrefController::writeStyleFile({{"OXSyntax Keywords", QVariantMap{{"Bold", true}}}},
                                                       userFile("Mine")));
        QVERIFY(OXSyntaxPrefController::writeStyleFile({{"a", "b"}}, userFile(".hidden")));
        QVERIFY(OXSyntaxPrefController::writeStyleFile({{"OXSyntax Keywords", QVariantMap{}}}, userFile("Cupertino")));
        const QStringList names = OXSyntaxPrefController::styleNames();
        QCOMPARE(names, QStringList({"Blank", "Cupertino", "Cupertino", "Mine"}));
        // The user's file wins over the resource of the same name.
        QCOMPARE(OXSyntaxPrefController::pathOfStyleNamed("Cupertino"), userFile("Cupertino"));
        QCOMPARE(OXSyntaxPrefController::pathOfStyleNamed("Nothing"), QString());
        QCOMPARE(OXSyntaxPrefController::pathOfStyleNamed("../Styles/Blank"), QString());
        QVERIFY(OXSyntaxPrefController::setStyleNamed("Mine"));
        QCOMPARE(Preferences::instance().stringValue("OXSyntaxThemeTitle"), QStringLiteral("Mine"));
        QVERIFY(OXSyntaxPrefController::currentStyle().value("OXSyntax Keywords").toMap().value("Bold").toBool());
        // Unlisted names, hidden files and empty dictionaries are not applied.
        QVERIFY(!OXSyntaxPrefController::setStyleNamed(".hidden"));
        QVERIFY(OXSyntaxPrefController::writeStyleFile({}, userFile("Empty")));
        QVERIFY(!OXSyntaxPrefController::setStyleNamed("Empty"));
        QFile broken(userFile("Broken"));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("not a plist");
        broken.close();
        QVERIFY(!OXSyntaxPrefController::setStyleNamed("Broken"));
        QCOMPARE(Preferences::instance().stringValue("OXSyntaxThemeTitle"), QStringLiteral("Mine"));
    }

    void offeringToSaveChanges_data()
    {
        QTest::addColumn<bool>("allowCancel");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("goesOn");
        QTest::addColumn<bool>("stillChanged");
        QTest::newRow("save under a name") << true << "Save"
                                           << "Saved" << false << false;
        QTest::newRow("save without a name") << true << "Save"
                                             << "" << true << true;
        QTest::newRow("don't save") << false << "Don't Save"
                                    << "" << true << false;
        QTest::newRow("cancel") << true << "Cancel"
                                << "" << false << true;
    }

    void offeringToSaveChanges()
    {
        QFETCH(bool, allowCancel);
        QFETCH(QString, button);
        QFETCH(QString, name);
        QFETCH(bool, goesOn);
        QFETCH(bool, stillChanged);
        OXSyntaxPrefController pane;
        pane.setColor(Qt::blue, "Numbers", true);
        env.ui().answer(button);
        if (button == QLatin1String("Save"))
            env.ui().answerTextInput(name);
        QCOMPARE(pane.forkCurrentStyle(allowCancel), goesOn);
        QCOMPARE(env.ui().alerts().size(), 1);
        const Alert &alert = env.ui().alerts().first().alert;
        QCOMPARE(alert.messageText, QStringLiteral("Do you want to save the changes you made to the style?"));
        QCOMPARE(alert.informativeText, QStringLiteral("Your changes will be lost if you don't save them."));
        QCOMPARE(alert.buttons,
                 allowCancel ? QStringList({"Save", "Cancel", "Don't Save"}) : QStringList({"Save", "Don't Save"}));
        QCOMPARE(OXSyntaxPrefController::hasChangedColors(), stillChanged);
        if (!name.isEmpty()) {
            const QVariantMap saved = OXSyntaxPrefController::readStyleFile(userFile(name));
            QCOMPARE(saved, OXSyntaxPrefController::currentStyle());
        }
        // Without changes nothing is asked.
        pane.setHasChangedColors(false);
        QVERIFY(pane.forkCurrentStyle(true));
        QCOMPARE(env.ui().alerts().size(), 1);
    }

    void onOffSwitchAndImport()
    {
        OXSyntaxPrefController pane;
        // Switching off with changes: a cancel keeps the style; saving stores it but does not switch.
        pane.setColor(Qt::red, "Strings", true);
        env.ui().answer("Cancel");
        QVERIFY(!pane.enableButton(false));
        QCOMPARE(Preferences::instance().stringValue("OXSyntaxThemeTitle"), QStringLiteral("Cupertino"));
        env.ui().answer("Save");
        env.ui().answerTextInput(QStringLiteral("../Kept"));
        QVERIFY(!pane.enableButton(false));
        QVERIFY(QFile::exists(userFile("-Kept")));
        QVERIFY(pane.enableButton(false));
        QCOMPARE(Preferences::instance().stringValue("OXSyntaxThemeTitle"), QStringLiteral("Blank"));
        QVERIFY(!OXSyntaxPrefController::isColouringOn());
        QVERIFY(pane.enableButton(true));
        QCOMPARE(Preferences::instance().stringValue("OXSyntaxThemeTitle"), QStringLiteral("Cupertino"));

        // Import copies the file and applies it; a name that exists is refused with an alert.
        const QString source = env.path("Night");
        QVERIFY(
            OXSyntaxPrefController::writeStyleFile({{"OXSyntax Background", QVariantMap{{"FG", "0 0 0 1"}}}}, source));
        env.ui().answerOpenPanel({source});
        pane.importExport(true);
        QCOMPARE(Preferences::instance().stringValue("OXSyntaxThemeTitle"), QStringLiteral("Night"));
        QVERIFY(QFile::exists(userFile("Night")));
        QVERIFY(!pane.importStyle(source));
        QCOMPARE(env.ui().lastAlert()->messageText, QStringLiteral("Style Already Exists"));
        QCOMPARE(env.ui().lastAlert()->informativeText, QStringLiteral("A style with name 'Night' already exists"));
        // Export writes the current style.
        env.ui().answerSavePanel(env.path("out"));
        pane.importExport(false);
        QCOMPARE(OXSyntaxPrefController::readStyleFile(env.path("out")), OXSyntaxPrefController::currentStyle());
        // The menu applies the chosen style.
        pane.themeMenuButton("Cupertino");
        QCOMPARE(Preferences::instance().stringValue("OXSyntaxThemeTitle"), QStringLiteral("Cupertino"));
    }

    void paneShowsAndChangesTheStyle()
    {
        OXSyntaxPrefPane pane;
        QTableWidget *table = pane.table();
        QCOMPARE(table->rowCount(), 10);
        QCOMPARE(table->item(3, 0)->text(), QStringLiteral("Keywords"));
        QVERIFY(table->item(3, 0)->font().bold()); // the default style's keywords are bold
        auto *bold = qobject_cast<QCheckBox *>(table->cellWidget(4, 2));
        QVERIFY(bold && !bold->isChecked());
        bold->setChecked(true);
        QVERIFY(pane.controller()->textAttribute("Bold", "Numbers"));
        QVERIFY(OXSyntaxPrefController::hasChangedColors());
        QVERIFY(pane.table()->item(4, 0)->font().bold());
        // Switching colouring off offers to save the change first; "Don't Save" goes on to "Blank".
        env.ui().answer("Don't Save");
        auto *enabled = pane.findChild<QCheckBox *>();
        QVERIFY(enabled && enabled->isChecked());
        enabled->setChecked(false);
        QCOMPARE(Preferences::instance().stringValue("OXSyntaxThemeTitle"), QStringLiteral("Blank"));
        QCOMPARE(pane.findChild<QComboBox *>()->currentText(), QStringLiteral("Blank"));
    }

    void presetsAndEditorDefaults()
    {
        const auto colour = [](const char *key) {
            return ArchivedColor::unarchive(Preferences::instance().value(QString::fromLatin1(key)).toByteArray());
        };
        QVERIFY(OXSyntaxHighlighterController::setHighlightingStyle("TextMate"));
        QVERIFY(near(colour("LMForm_Color_Keywords")->blueF(), 0.984));
        QVERIFY(OXSyntaxHighlighterController::setHighlightingStyle("Xcode"));
        QVERIFY(near(colour("LMForm_Color_Keywords")->redF(), 0.467));
        QVERIFY(near(colour("LMForm_Color_Comments")->greenF(), 0.443));
        QVERIFY(!OXSyntaxHighlighterController::setHighlightingStyle("Solarized"));
        QVERIFY(near(colour("LMForm_Color_Keywords")->redF(), 0.467));
        // Missing colours and style are filled in at start; the font stands in unless the user chose one.
        Preferences::instance().removeValue("LMForm_Color_Keywords");
        Preferences::instance().removeValue("OXSyntaxHighlighting");
        OXSyntaxHighlighterController::registerEditorDefaults();
        QVERIFY(colour("LMForm_Color_Keywords").has_value());
        QCOMPARE(Preferences::instance().stringValue("OXSyntaxThemeTitle"), QStringLiteral("Cupertino"));
        QVERIFY(!OXSyntaxPrefController::currentStyle().isEmpty());
        QCOMPARE(Preferences::instance().stringValue("LMForm_Font_Name"), QStringLiteral("DejaVu Sans Mono"));
    }
};

QTEST_MAIN(TestSyntaxStyles)
#include "test_syntax_styles.moc"
