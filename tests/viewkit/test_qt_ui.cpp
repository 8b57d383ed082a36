// QtUi's open panel: document packages (folders matching its filter) and delimited files are chosen in one panel,
// and a folder where the panel allows one.
#include "QtUi.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class TestQtUi : public QObject {
    Q_OBJECT

private slots:
    void openPanelTakesPackagesAndFiles_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("doubleClick");
        QTest::addColumn<bool>("chosen");
        QTest::addColumn<bool>("folders"); // a file or a folder may be chosen
        QTest::newRow("package, Open button") << "Books.orvix" << false << true << false;
        QTest::newRow("package, double-click") << "Books.orvix" << true << true << false;
        QTest::newRow("delimited file") << "books.csv" << false << true << false;
        QTest::newRow("plain folder is entered, not chosen") << "Plain" << false << false << false;
        QTest::newRow("folder chosen where folders may be") << "Plain" << false << true << true;
        QTest::newRow("file chosen where folders may be") << "books.csv" << false << true << true;
    }
    void openPanelTakesPackagesAndFiles()
    {
        QFETCH(QString, target);
        QFETCH(bool, doubleClick);
        QFETCH(bool, chosen);
        QFETCH(bool, folders);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("Books.orvix/Contents"));
        QVERIFY(QDir(dir.path()).mkpath("Plain"));
        QFile csv(dir.filePath("books.csv"));
        QVERIFY(csv.open(QIODevice::WriteOnly));
        csv.write("Title\nDune\n");
        csv.close();
        const QString path = dir.filePath(target);

        bool stayedOpen = false;
        QTimer::singleShot(0, this, [&] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            if (doubleClick) {
                emit dialog->directoryEntered(path);
            } else {
                dialog->selectFile(path);
                QMetaObject::invokeMethod(dialog, "accept");
            }
            stayedOpen = dialog->isVisible();
            if (stayedOpen)
                dialog->reject();
        });
        QtUi ui;
        FilePanelOptions options;
        options.directory = dir.path();
        options.nameFilters = {"Documents (*.orvix *.csv *.tsv)"};
        options.chooseFilesOrDirectories = folders;
        const QStringList result = ui.runOpenPanel(options);
        QCOMPARE(result, chosen ? QStringList{path} : QStringList{});
        QCOMPARE(stayedOpen, !chosen);
    }
};

QTEST_MAIN(TestQtUi)
#include "test_qt_ui.moc"
