#include "LaidOutWindow.h"

#include <QTest>

// Run at a device pixel ratio of 2 (QT_SCALE_FACTOR=2): logical pixel (x, y)
// of the laid-out example covers device pixels 2x to 2x + 1, 2y to 2y + 1.
class TestGraphViewRatio2 : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_window.show());
        m_window.h.clickCalculate();
    }
    void deviceSize()
    {
        QCOMPARE(m_window.box().image().size(), QSize(1900, 672));
        QCOMPARE(m_window.box().image().devicePixelRatio(), 2.0);
    }
    void linesCoverTheirDevicePixels_data();
    void linesCoverTheirDevicePixels();
    void textFinerThanTwoByTwoBlocks();

private:
    LaidOutWindow m_window;
};

void TestGraphViewRatio2::linesCoverTheirDevicePixels_data()
{
    QTest::addColumn<QRect>("logical");
    QTest::addColumn<QRgb>("colour");
    QTest::newRow("Y axis") << QRect(74, 0, 1, 293) << qRgb(255, 255, 255);
    QTest::newRow("X axis") << QRect(74, 292, 876, 1) << qRgb(255, 255, 255);
    QTest::newRow("top edge") << QRect(74, 0, 876, 1) << qRgb(255, 255, 255);
    QTest::newRow("left of the Y axis") << QRect(73, 99, 1, 7) << qRgb(0, 0, 0);
    QTest::newRow("right of the Y axis") << QRect(75, 99, 1, 7) << qRgb(0, 0, 0);
    // Column 5 (x = 74 + 5 x 29.2) crosses row 15 (y = 15 x 9.7333): marks
    // reaching tickUnit to each side.
    QTest::newRow("grid mark across") << QRect(218, 146, 5, 1) << qRgb(136, 136, 136);
    QTest::newRow("grid mark down") << QRect(220, 144, 1, 5) << qRgb(136, 136, 136);
    QTest::newRow("legend line") << QRect(548, 30, 59, 1) << qRgb(255, 0, 0);
}

void TestGraphViewRatio2::linesCoverTheirDevicePixels()
{
    QFETCH(QRect, logical);
    QFETCH(QRgb, colour);
    const QImage& image = m_window.box().image();
    QString offColour; // the first device pixel of another colour
    for (int y = 2 * logical.top(); y < 2 * (logical.bottom() + 1) && offColour.isEmpty(); ++y)
        for (int x = 2 * logical.left(); x < 2 * (logical.right() + 1); ++x)
            if (image.pixel(x, y) != colour && offColour.isEmpty())
                offColour =
                    QStringLiteral("(%1, %2) %3").arg(x).arg(y).arg(image.pixel(x, y), 0, 16);
    QCOMPARE(offColour, QString());
}

void TestGraphViewRatio2::textFinerThanTwoByTwoBlocks()
{
    // A ratio-1 drawing enlarged has every aligned 2 x 2 block in one colour;
    // the legend's first text (from x = 616, y = 23) has finer edges.
    const QImage& image = m_window.box().image();
    int mixedBlocks = 0;
    for (int y = 46; y < 74; y += 2)
        for (int x = 1232; x < 1480; x += 2) {
            const QRgb c = image.pixel(x, y);
            mixedBlocks += image.pixel(x + 1, y) != c || image.pixel(x, y + 1) != c ||
                           image.pixel(x + 1, y + 1) != c;
        }
    QVERIFY2(mixedBlocks > 0, "the legend text is made of 2 x 2 blocks");
}

QTEST_MAIN(TestGraphViewRatio2)
#include "tst_graph_view_ratio2.moc"
