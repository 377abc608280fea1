#include "RecentDesigns.h"
#include "WindowHarness.h"

#include "TestFiles.h"

#include <QAction>
#include <QFileDialog>
#include <QTest>
#include <QTimer>

using namespace tb::test;

class TestDesignMenus : public QObject {
    Q_OBJECT

private slots:
    void saveThenSaveDesignAs();
    void closingAChangedDesignAsks_data();
    void closingAChangedDesignAsks();
    void recentDesignsNewestFirstAndEight();
    void openingAnOpenDesignShowsItsWindow();
};

void TestDesignMenus::saveThenSaveDesignAs()
{
    const QByteArray settings = lines(sixteen("s"));
    WindowHarness h(&settings);
    QVERIFY(h.showAndActivate());
    const auto trigger = [&h](const char* name) {
        h.window().findChild<QAction*>(name)->trigger();
    };
    h.type(0, "new");
    trigger("saveAction"); // the settings file, and the window stays
    const QByteArray saved = lines(QList<QByteArray>{"new"} + sixteen("s").mid(1));
    QCOMPARE(h.settingsBytes(), saved);
    QVERIFY(h.window().isVisible());

    const QString design = QFileInfo(h.settingsPath()).dir().filePath("kept");
    QTimer::singleShot(0, [design] { // the name typed without its suffix
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        dialog->selectFile(design);
        static_cast<QDialog*>(dialog)->accept();
    });
    trigger("saveDesignAsAction");
    QCOMPARE(h.window().windowTitle(), QString("kept.tubebridge[*] - Tubebridge"));
    QVERIFY(!h.window().isWindowModified());
    h.type(1, "changed");
    QVERIFY(h.window().isWindowModified());
    h.clickEnd();
    QVERIFY(!h.window().isVisible());
    QCOMPARE(readFile(design + ".tubebridge"),
             lines(QList<QByteArray>{"new", "changed"} + sixteen("s").mid(2)));
    QCOMPARE(h.settingsBytes(), saved);
}

void TestDesignMenus::closingAChangedDesignAsks_data()
{
    QTest::addColumn<bool>("design");
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::addColumn<QByteArray>("field0"); // in the file after the answer
    QTest::addColumn<bool>("open");
    QTest::newRow("save") << true << QMessageBox::Save << QByteArray("typed") << false;
    QTest::newRow("discard") << true << QMessageBox::Discard << QByteArray("d0") << false;
    QTest::newRow("cancel") << true << QMessageBox::Cancel << QByteArray("d0") << true;
    QTest::newRow("no design: nothing asked")
        << false << QMessageBox::NoButton << QByteArray("d0") << false;
}

void TestDesignMenus::closingAChangedDesignAsks()
{
    QFETCH(bool, design);
    QFETCH(QMessageBox::StandardButton, answer);
    const QTemporaryDir dir;
    const QString path = dir.filePath(design ? "a.tubebridge" : "Tubebridge.dat");
    QVERIFY(tb::test::writeFile(path, lines(sixteen("d"))));
    WindowHarness h(design ? tb::SettingsFile::forDesign(path) : tb::SettingsFile(path));
    QVERIFY(h.showAndActivate());
    h.type(0, "typed");
    QCOMPARE(h.window().close(), !design);
    if (design) {
        auto* question = h.window().findChild<QMessageBox*>("closeQuestion");
        QCOMPARE(question->text(), QString("Save changes to a.tubebridge?"));
        QTest::mouseClick(question->button(answer), Qt::LeftButton);
    }
    QTEST(h.window().isVisible(), "open");
    QTEST(readFile(path).left(readFile(path).indexOf('\r')), "field0");
}

void TestDesignMenus::recentDesignsNewestFirstAndEight()
{
    const QTemporaryDir dir;
    const QString list = tb::recentDesignsFile(dir.filePath("Tubebridge.dat"));
    for (const char* name : {"1", "2", "3", "4", "5", "6", "7", "8", "9", "3"})
        tb::noteRecentDesign(list, dir.filePath(name));
    QCOMPARE(tb::readRecentDesigns(list).join(' ').remove(dir.path() + '/'),
             QString("3 9 8 7 6 5 4 2"));
}

// Two windows on one file would each save over the other's changes.
void TestDesignMenus::openingAnOpenDesignShowsItsWindow()
{
    const QTemporaryDir dir;
    const QString path = dir.filePath("a.tubebridge");
    QVERIFY(tb::test::writeFile(path, lines(sixteen("d"))));
    WindowHarness h(tb::SettingsFile::forDesign(path));
    QVERIFY(h.showAndActivate());
    QTimer::singleShot(0, [path] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        dialog->selectFile(path);
        static_cast<QDialog*>(dialog)->accept();
    });
    h.window().findChild<QAction*>("openDesignAction")->trigger();
    const QWidgetList windows = QApplication::topLevelWidgets();
    QCOMPARE(std::count_if(
                 windows.begin(), windows.end(),
                 [](const QWidget* w) { return w->isVisible() && w->inherits("QMainWindow"); }),
             1);
}

QTEST_MAIN(TestDesignMenus)
#include "tst_design_menus.moc"
