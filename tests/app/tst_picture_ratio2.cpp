#include "LaidOutForm.h"

#include <QTest>

// Run at a device pixel ratio of 2 (QT_SCALE_FACTOR=2). The geometry is that
// of the laid-out first-run example, in logical pixels; each covers the 2 x 2
// device pixels from (2x, 2y).
namespace {

const QRgb White = qRgb(255, 255, 255);
const QRgb Grey = qRgb(136, 136, 136);
const QRgb Red = qRgb(255, 0, 0);

// Empty when every device pixel of the logical rectangle has the colour,
// else the first that has not.
QString offColour(const QImage& image, const QRect& logical, QRgb colour)
{
    const QRect device(logical.topLeft() * 2, logical.size() * 2);
    for (int y = device.top(); y <= device.bottom(); ++y)
        for (int x = device.left(); x <= device.right(); ++x)
            if (image.pixel(x, y) != colour)
                return QStringLiteral("(%1, %2) is %3").arg(x).arg(y).arg(image.pixel(x, y), 8, 16);
    return {};
}

} // namespace

class TestPictureRatio2 : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void keptAtDeviceSize();
    void linesCoverTheirDevicePixels_data();
    void linesCoverTheirDevicePixels();
    void noBlendedLinePixels();
    void textAtDeviceResolution();

private:
    LaidOutForm m_form;
};

void TestPictureRatio2::initTestCase()
{
    QVERIFY(m_form.show());
    QCOMPARE(m_form.box().devicePixelRatioF(), 2.0);
    QCOMPARE(m_form.box().size(), QSize(950, 336));
    m_form.h.clickCalculate();
}

void TestPictureRatio2::keptAtDeviceSize()
{
    QCOMPARE(m_form.box().image().size(), QSize(1900, 672));
    QCOMPARE(m_form.box().image().devicePixelRatio(), 2.0);
}

void TestPictureRatio2::linesCoverTheirDevicePixels_data()
{
    QTest::addColumn<QRect>("logical");
    QTest::addColumn<QRgb>("colour");
    // A line covers the pixels from its start to its end point.
    QTest::newRow("Y axis") << QRect(74, 0, 1, 293) << White;
    QTest::newRow("X axis") << QRect(74, 292, 876, 1) << White;
    QTest::newRow("top edge") << QRect(74, 0, 876, 1) << White;
    // Column 5 (x = 74 + 5 x 29.2 = 220) meets row 15 (y = 15 x 9.7333 = 146):
    // a cross of marks reaching TickUnit to each side.
    QTest::newRow("grid mark across") << QRect(218, 146, 5, 1) << Grey;
    QTest::newRow("grid mark down") << QRect(220, 144, 1, 5) << Grey;
    QTest::newRow("legend line") << QRect(548, 30, 59, 1) << Red;
    // Top-edge tick of labeled column 5, 2 x TickUnit long, under the frame.
    QTest::newRow("labeled tick") << QRect(220, 0, 1, 5) << White;
}

void TestPictureRatio2::linesCoverTheirDevicePixels()
{
    QFETCH(QRect, logical);
    QFETCH(QRgb, colour);
    QCOMPARE(offColour(m_form.box().image(), logical, colour), QString());
}

void TestPictureRatio2::noBlendedLinePixels()
{
    // Inside the plot area, left of the legend texts, every pixel is the
    // ground, a trace, the frame, a tick or a grid mark: no colour in between.
    const QImage& image = m_form.box().image();
    const QList<QRgb> drawn{qRgb(0, 0, 0), White, Grey, Red, qRgb(0, 255, 0), qRgb(0, 0, 255)};
    int blended = 0;
    for (int y = 0; y <= 2 * 292 + 1; ++y)
        for (int x = 2 * 74; x < 2 * 610; ++x)
            blended += drawn.contains(image.pixel(x, y)) ? 0 : 1;
    QCOMPARE(blended, 0);
}

void TestPictureRatio2::textAtDeviceResolution()
{
    // An image drawn at a ratio of 1 and enlarged would have every aligned
    // 2 x 2 block of one colour. The legend's first text, from x = 616,
    // y = 23, is drawn with its finer edges.
    const QImage& image = m_form.box().image();
    int mixedBlocks = 0;
    for (int y = 2 * 23; y < 2 * 37; y += 2)
        for (int x = 2 * 616; x < 2 * 740; x += 2) {
            const QRgb c = image.pixel(x, y);
            if (image.pixel(x + 1, y) != c || image.pixel(x, y + 1) != c ||
                image.pixel(x + 1, y + 1) != c)
                ++mixedBlocks;
        }
    QVERIFY2(mixedBlocks > 0, "the legend text is an enlargement of ratio-1 pixels");
}

QTEST_MAIN(TestPictureRatio2)
#include "tst_picture_ratio2.moc"
