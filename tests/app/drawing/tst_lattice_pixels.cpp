// The fast drawing of the tick lattice against a plain drawing, mark by mark,
// pixel for pixel, at device pixel ratios 1, 1.5 and 2, and what it rests on:
// which pixels Qt sets for a line.
#include "Axes.h"
#include "DrawGraph.h"
#include "GraphSettings.h"
#include "LinePixels.h"
#include "PlotGeometry.h"
#include "QtDrawingSurface.h"
#include "StageVariables.h"

#include "WorkedStage.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QTest>

#include <cmath>
#include <random>

namespace {

// Every call straight to a QPainter, each mark its own line: how the box was
// drawn before runs of marks were drawn at once. The reference. Like the
// picture box, it draws with the box's top-left corner at device pixel
// (border, border) of the image.
class PlainSurface final : public tb::DrawingSurface {
public:
    PlainSurface(QImage& image, int border, QSizeF outer, const QFont& boxFont,
                 const QFont& windowFont)
        : m_image(image)
        , m_outer(outer)
        , m_boxFont(boxFont)
        , m_boxMetrics(boxFont, &image)
        , m_windowMetrics(windowFont, &image)
        , m_ratio(image.devicePixelRatio())
        , m_width(std::max(1, qRound(m_ratio)))
        , m_offset((m_width == 1 ? 0.0 : m_width / 2.0) + border)
        , m_toText(QTransform::fromTranslate(border / m_ratio, border / m_ratio))
    {
        m_painter.begin(&m_image);
        m_painter.setRenderHint(QPainter::Antialiasing, false);
        m_painter.setRenderHint(QPainter::TextAntialiasing, true);
        m_painter.setFont(boxFont);
        m_painter.setWorldTransform(QTransform::fromScale(1 / m_ratio, 1 / m_ratio));
        m_painter.setPen(Qt::NoPen);
        setForeColor(tb::colors::White);
    }

    void setBackColor(tb::Color c) override { m_back = QColor(c.red, c.green, c.blue); }
    void setForeColor(tb::Color c) override
    {
        const QColor color(c.red, c.green, c.blue);
        if (m_painter.pen().style() != Qt::NoPen && color == m_painter.pen().color())
            return; // the same pen: no pixel would change, and Qt takes its time
        QPen pen(color, m_width == 1 ? 0 : m_width);
        pen.setCapStyle(Qt::SquareCap);
        m_painter.setPen(pen);
    }
    void clear() override { m_painter.fillRect(m_image.rect(), m_back); }
    [[nodiscard]] float outerWidth() const override { return float(m_outer.width()); }
    [[nodiscard]] float outerHeight() const override { return float(m_outer.height()); }
    void line(float x1, float y1, float x2, float y2) override
    {
        const auto device = [this](float v) { return v * m_ratio + m_offset; };
        m_painter.drawLine(QLineF(device(x1), device(y1), device(x2), device(y2)));
    }
    void setTextPosition(float x, float y) override { m_text = QPointF(x, y); }
    [[nodiscard]] double textWidth(const QString& t) const override
    {
        return m_boxMetrics.horizontalAdvance(t);
    }
    [[nodiscard]] double textHeight(const QString&) const override
    {
        return m_windowMetrics.height();
    }
    void print(const QString& t) override
    {
        const QTransform lines = m_painter.worldTransform();
        m_painter.setWorldTransform(m_toText);
        m_painter.drawText(m_text + QPointF(0, m_boxMetrics.ascent()), t);
        m_painter.setWorldTransform(lines);
    }

private:
    QImage& m_image;
    QSizeF m_outer;
    QPainter m_painter;
    QFont m_boxFont;
    QFontMetricsF m_boxMetrics;
    QFontMetricsF m_windowMetrics;
    QColor m_back = Qt::black;
    QPointF m_text;
    qreal m_ratio;
    int m_width;
    qreal m_offset;
    QTransform m_toText;
};

// The first pixel where two images differ, and how many do; empty when none.
QString difference(const QImage& actual, const QImage& expected)
{
    if (actual.size() != expected.size())
        return QStringLiteral("size %1 x %2, expected %3 x %4")
            .arg(actual.width())
            .arg(actual.height())
            .arg(expected.width())
            .arg(expected.height());
    int count = 0;
    QString first;
    for (int y = 0; y < actual.height(); ++y) {
        const auto* a = reinterpret_cast<const QRgb*>(actual.constScanLine(y));
        const auto* e = reinterpret_cast<const QRgb*>(expected.constScanLine(y));
        for (int x = 0; x < actual.width(); ++x)
            if (qRed(a[x]) != qRed(e[x]) || qGreen(a[x]) != qGreen(e[x]) ||
                qBlue(a[x]) != qBlue(e[x])) {
                if (count++ == 0)
                    first = QStringLiteral("(%1, %2) is %3, expected %4")
                                .arg(x)
                                .arg(y)
                                .arg(a[x] & 0xffffff, 6, 16, QLatin1Char('0'))
                                .arg(e[x] & 0xffffff, 6, 16, QLatin1Char('0'));
            }
    }
    return count == 0 ? QString() : QStringLiteral("%1; %2 pixels differ").arg(first).arg(count);
}

// A black image of a logical size with a border above and to the left.
QImage blackImage(QSize logical, qreal ratio, int border = 0)
{
    QImage image(qCeil(logical.width() * ratio) + border, qCeil(logical.height() * ratio) + border,
                 QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::black);
    return image;
}

// The border the picture box gives its image above and to the left, in
// device pixels, and what the box shows of the image.
int borderAt(qreal ratio)
{
    return tb::QtDrawingSurface::deviceBorder(ratio);
}

QImage shown(const QImage& image, qreal ratio)
{
    const int border = borderAt(ratio);
    return image.copy(border, border, image.width() - border, image.height() - border);
}

// What the box shows of a drawing on the surface under test, made as the
// picture box makes it, and of the same drawing on the plain surface.
template <typename Draw>
QImage drawnFast(QSize box, qreal ratio, Draw draw)
{
    QImage image = blackImage(box, ratio, borderAt(ratio));
    {
        tb::QtDrawingSurface fast({box, QFont(), [] {}}, image, borderAt(ratio), QFont());
        draw(fast);
    }
    return shown(image, ratio);
}

template <typename Draw>
QImage drawnPlain(QSize box, qreal ratio, Draw draw)
{
    QImage image = blackImage(box, ratio, borderAt(ratio));
    {
        PlainSurface plain(image, borderAt(ratio), box, QFont(), QFont());
        draw(plain);
    }
    return shown(image, ratio);
}

} // namespace

class TestLatticePixels : public QObject {
    Q_OBJECT

private slots:
    void linePixelsAsQtDrawsThem_data();
    void linePixelsAsQtDrawsThem();
    void ticksAsMarkByMark_data();
    void ticksAsMarkByMark();
    void passAsMarkByMark_data();
    void passAsMarkByMark();
};

void TestLatticePixels::linePixelsAsQtDrawsThem_data()
{
    QTest::addColumn<qreal>("ratio");
    QTest::newRow("ratio 1") << 1.0;
    QTest::newRow("ratio 1.5") << 1.5;
    QTest::newRow("ratio 2") << 2.0;
    QTest::newRow("ratio 3") << 3.0;
}

// What LinePixels learns from short strips against what Qt sets when it
// draws the line on a whole image: short horizontal and vertical lines and
// dots at random places, many at quarter and eighth pixels where rounding
// decides, some partly or far off the image. Lines shorter than a pixel
// (not dots), and lines along the top or left edge, are not modelled.
void TestLatticePixels::linePixelsAsQtDrawsThem()
{
    QFETCH(qreal, ratio);
    const QSize logical(60, 48);
    const int penWidth = std::max(1, qRound(ratio));
    const qreal offset = penWidth == 1 ? 0.0 : penWidth / 2.0;
    QPen pen(Qt::white, penWidth == 1 ? 0 : penWidth);
    pen.setCapStyle(Qt::SquareCap);
    const QTransform toDevice = QTransform::fromScale(1 / ratio, 1 / ratio);
    tb::LinePixels learned(blackImage(logical, ratio).size(), ratio, pen, toDevice);
    std::mt19937 random(7);
    std::uniform_real_distribution<float> place(-4.0f, 64.0f);
    std::uniform_int_distribution<int> length(0, 12);
    for (int n = 0; n < 4000; ++n) {
        QImage image = blackImage(logical, ratio);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setWorldTransform(toDevice);
        painter.setPen(pen);
        float x = place(random);
        float y = place(random);
        if (n % 3 == 0) {
            x = std::round(x * 8) / 8;
            y = std::round(y * 8) / 8;
        }
        if (n % 97 == 0)
            (n % 2 == 0 ? x : y) = n % 3 == 0 ? -3e9f : 3e9f;
        const float half = length(random) * (n % 5 == 0 ? 0.37f : 1.0f);
        const bool across = n % 2 == 0;
        const auto device = [&](float v) { return v * ratio + offset; };
        const QLineF line(device(across ? x - half : x), device(across ? y : y - half),
                          device(across ? x + half : x), device(across ? y : y + half));
        painter.drawLine(line);
        painter.end();

        QRect drawn;
        for (int row = 0; row < image.height(); ++row)
            for (int column = 0; column < image.width(); ++column)
                if ((image.pixel(column, row) & 0xffffff) != 0)
                    drawn |= QRect(column, row, 1, 1);
        const std::optional<tb::LinePixels::Span> columns = learned.columnsOf(line);
        const std::optional<tb::LinePixels::Span> rows = learned.rowsOf(line);
        const qreal deviceLength = std::abs(line.dx()) + std::abs(line.dy());
        const qreal band = tb::LinePixels::EdgeBand;
        const bool alongEdge = (line.y1() == line.y2() && line.y1() < band) ||
                               (line.x1() == line.x2() && line.x1() < band);
        if ((deviceLength > 0 && deviceLength < 1) || alongEdge) {
            QVERIFY2(!columns || !rows, qPrintable(QStringLiteral("line %1, %2 to %3, %4 modelled")
                                                       .arg(line.x1())
                                                       .arg(line.y1())
                                                       .arg(line.x2())
                                                       .arg(line.y2())));
            continue;
        }
        QVERIFY(learned.faithful());
        QVERIFY(columns && rows);
        const QRect modelled = tb::LinePixels::rect(*columns, *rows);
        QVERIFY2(modelled == drawn || (modelled.isEmpty() && drawn.isEmpty()),
                 qPrintable(QStringLiteral("line %1, %2 to %3, %4: pixels %5, %6 to %7, %8, "
                                           "expected %9, %10 to %11, %12")
                                .arg(line.x1())
                                .arg(line.y1())
                                .arg(line.x2())
                                .arg(line.y2())
                                .arg(modelled.left())
                                .arg(modelled.top())
                                .arg(modelled.right())
                                .arg(modelled.bottom())
                                .arg(drawn.left())
                                .arg(drawn.top())
                                .arg(drawn.right())
                                .arg(drawn.bottom())));
    }
}

void TestLatticePixels::ticksAsMarkByMark_data()
{
    QTest::addColumn<qreal>("ratio");
    QTest::addColumn<QSize>("box");
    QTest::addColumn<tb::GraphSettings>("settings");
    const QSize maximised(1824, 518);
    for (const qreal ratio : {1.0, 1.5, 2.0}) {
        const auto row = [ratio](const char* name) {
            return &QTest::addRow("%s, ratio %g", name, ratio);
        };
        *row("7/5 and 7/5") << ratio << maximised << tb::GraphSettings{0, 360, 7, 5, -1, 1, 7, 5};
        // Every lattice point both marks, three columns and rows to a pixel.
        *row("1500/1, narrow box")
            << ratio << QSize(600, 300) << tb::GraphSettings{0, 360, 1500, 1, -1, 1, 1500, 1};
        // Nothing labeled inside: dense minor ticks on the edges only.
        *row("2/3000") << ratio << maximised << tb::GraphSettings{0, 360, 2, 3000, -1, 1, 2, 3000};
        // Labeled rows 2.5 pixels apart across 32 761 columns.
        *row("182/181") << ratio << maximised
                        << tb::GraphSettings{0, 360, 182, 181, -1, 1, 182, 181};
        *row("dense rows, few columns")
            << ratio << maximised << tb::GraphSettings{0, 360, 7, 5, -1, 1, 1000, 2};
        *row("dense columns, few rows")
            << ratio << maximised << tb::GraphSettings{0, 360, 1000, 3, -1, 1, 7, 5};
        // A tick unit of 1, and of 0: dots.
        *row("201 pixels") << ratio << QSize(201, 150)
                           << tb::GraphSettings{0, 360, 60, 7, -1, 1, 30, 7};
        *row("200 pixels") << ratio << QSize(200, 150)
                           << tb::GraphSettings{0, 360, 60, 7, -1, 1, 30, 7};
    }
}

void TestLatticePixels::ticksAsMarkByMark()
{
    QFETCH(qreal, ratio);
    QFETCH(QSize, box);
    QFETCH(tb::GraphSettings, settings);
    const tb::PlotGeometry g = tb::makePlotGeometry(box.width(), box.height(), settings);
    const auto ticks = [&](tb::DrawingSurface& surface) {
        surface.setBackColor(tb::colors::Black);
        surface.clear();
        tb::drawTicks(surface, settings, g);
    };
    const QImage fast = drawnFast(box, ratio, ticks);
    QCOMPARE(fast.devicePixelRatio(), ratio);
    QCOMPARE(difference(fast, drawnPlain(box, ratio, ticks)), QString());
}

void TestLatticePixels::passAsMarkByMark_data()
{
    QTest::addColumn<qreal>("ratio");
    QTest::addColumn<tb::GraphSettings>("settings");
    for (const qreal ratio : {1.0, 1.5, 2.0}) {
        QTest::addRow("worked example, ratio %g", ratio)
            << ratio << tb::GraphSettings{0, 360, 7, 5, -300, 300, 7, 5};
        QTest::addRow("traces under a dense lattice, ratio %g", ratio)
            << ratio << tb::GraphSettings{0, 360, 100, 3, -300, 300, 40, 3};
    }
}

// The whole pass: traces, frame, legend, lattice and labels.
void TestLatticePixels::passAsMarkByMark()
{
    QFETCH(qreal, ratio);
    QFETCH(tb::GraphSettings, settings);
    const QSize box(950, 336);
    const auto pass = [&](tb::DrawingSurface& surface) {
        tb::drawGraph(surface, settings, tb::test::workedStage());
    };
    QCOMPARE(difference(drawnFast(box, ratio, pass), drawnPlain(box, ratio, pass)), QString());
}

QTEST_MAIN(TestLatticePixels)
#include "tst_lattice_pixels.moc"
