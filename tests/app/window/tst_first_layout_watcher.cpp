#include "FirstLayoutWatcher.h"

#include "EventOrder.h"

#include <QTest>
#include <QWidget>
#include <QWindow>

class TestFirstLayoutWatcher : public QObject {
    Q_OBJECT

private slots:
    void dueOnceForTheSizeTheDesktopGives_data();
    void dueOnceForTheSizeTheDesktopGives();
    void notDueBeforeTheWindowIsOnScreen();
};

// Desktops maximise a window as they map it or a moment later, give it a
// tile, or leave it at its design size.
void TestFirstLayoutWatcher::dueOnceForTheSizeTheDesktopGives_data()
{
    QTest::addColumn<QString>("desktop");
    QTest::addColumn<bool>("maximised");
    QTest::newRow("maximises it as it maps it") << "maximises at once" << true;
    QTest::newRow("maximises it a moment later") << "maximises later" << true;
    QTest::newRow("gives it a tile") << "tiles" << false;
    QTest::newRow("leaves it") << "nothing" << false;
}

void TestFirstLayoutWatcher::dueOnceForTheSizeTheDesktopGives()
{
    QFETCH(QString, desktop);
    const QSize design(804, 573);
    const QSize tile(1000, 700);
    QWidget window;
    window.resize(design);
    tb::FirstLayoutWatcher watcher(&window, design);
    QList<QSize> dueAt;
    connect(&watcher, &tb::FirstLayoutWatcher::layoutDue, this,
            [&] { dueAt << window.windowHandle()->size(); });

    if (desktop == QLatin1String("maximises at once"))
        window.setWindowState(Qt::WindowMaximized);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    if (desktop == QLatin1String("maximises later"))
        window.setWindowState(Qt::WindowMaximized);
    else if (desktop == QLatin1String("tiles"))
        window.resize(tile);
    QTRY_COMPARE(dueAt.size(), 1);
    // Not again for a later report of the desktop's, nor when the settle
    // time that report would start has run out.
    const QSize later(700, 500);
    window.setWindowState(Qt::WindowNoState);
    window.resize(later);
    QTRY_COMPARE(window.windowHandle()->size(), later);
    QVERIFY(tb::test::handleTimersDueWithin(tb::FirstLayoutWatcher::SettleMs));
    QCOMPARE(dueAt.size(), 1);
    QVERIFY(watcher.isDue());

    QFETCH(bool, maximised);
    if (maximised)
        QCOMPARE_NE(dueAt.first(), design); // the screen's size, whatever it is
    else
        QCOMPARE(dueAt.first(), desktop == QLatin1String("tiles") ? tile : design);
}

void TestFirstLayoutWatcher::notDueBeforeTheWindowIsOnScreen()
{
    QWidget window;
    tb::FirstLayoutWatcher watcher(&window, window.size());
    QVERIFY(tb::test::handleTimersDueWithin(tb::FirstLayoutWatcher::SettleMs));
    QVERIFY(!watcher.isDue());
    window.show();
    QTRY_VERIFY(watcher.isDue());
}

QTEST_MAIN(TestFirstLayoutWatcher)
#include "tst_first_layout_watcher.moc"
