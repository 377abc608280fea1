#include "RecentDesigns.h"
#include "WindowHarness.h"

#include "TestFiles.h"

#include <QAction>
#include <QFileDialog>
#include <QTest>
#include <QTimer>

using tb::test::lines;
using tb::test::sixteen;

namespace {

// Answers the next modal file dialog with that name.
void answerDialog(const QString& path)
{
    QTimer::singleShot(0, [path] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        dialog->selectFile(path);
        static_cast<QDialog*>(dialog)->accept();
    });
}

void trigger(tb::MainWindow& window, const char* action)
{
    window.findChild<QAction*>(QLatin1String(action))->trigger();
}

} // namespace

class TestDesignMenus : public QObject {
    Q_OBJECT

private slots:
    void saveDesignAsKeepsTheWindowOnThatDesign();
    void closingAChangedDesignAsks_data();
    void closingAChangedDesignAsks();
    void recentDesignsNewestFirstAndEight();
};

void TestDesignMenus::saveDesignAsKeepsTheWindowOnThatDesign()
{
    const QByteArray settings = lines(sixteen("s"));
    WindowHarness h(&settings);
    QVERIFY(h.showAndActivate());
    h.type(0, "new");
    trigger(h.window(), "saveAction"); // the settings file, and the window stays
    QCOMPARE(h.settingsBytes(), lines(QList<QByteArray>{"new"} + sixteen("s").mid(1)));
    QVERIFY(h.window().isVisible());

    const QString design = QFileInfo(h.settingsPath()).dir().filePath("kept");
    answerDialog(design); // typed without its suffix
    trigger(h.window(), "saveDesignAsAction");
    QCOMPARE(h.window().windowTitle(), QString("kept.tubebridge[*] - Tubebridge"));
    QVERIFY(!h.window().isWindowModified());
    h.type(1, "changed");
    QVERIFY(h.window().isWindowModified());
    h.clickEnd();
    QVERIFY(!h.window().isVisible());
    QCOMPARE(tb::test::readFile(design + ".tubebridge"),
             lines(QList<QByteArray>{"new", "changed"} + sixteen("s").mid(2)));
    QCOMPARE(h.settingsBytes(), lines(QList<QByteArray>{"new"} + sixteen("s").mid(1)));
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
    const bool closed = h.window().close();
    QCOMPARE(closed, !design);
    if (design) {
        auto* question = h.window().findChild<QMessageBox*>("closeQuestion");
        QCOMPARE(question->text(), QString("Save changes to a.tubebridge?"));
        QTest::mouseClick(question->button(answer), Qt::LeftButton);
    }
    QTEST(h.window().isVisible(), "open");
    QTEST(tb::test::readFile(path).left(tb::test::readFile(path).indexOf('\r')), "field0");
}

// By the list file, as a later window reads it.
void TestDesignMenus::recentDesignsNewestFirstAndEight()
{
    const QTemporaryDir dir;
    const QString list = tb::recentDesignsFile(dir.filePath("Tubebridge.dat"));
    for (const char* name : {"1", "2", "3", "4", "5", "6", "7", "8", "9", "3"})
        tb::noteRecentDesign(list, dir.filePath(name));
    QStringList expected;
    for (const char* name : {"3", "9", "8", "7", "6", "5", "4", "2"})
        expected << dir.filePath(name);
    QCOMPARE(tb::readRecentDesigns(list), expected);
}

QTEST_MAIN(TestDesignMenus)
#include "tst_design_menus.moc"
