// The screen's shortcut for the tick lattice against every mark drawn, pixel
// for pixel, at device pixel ratios 1, 1.5 and 2.
#include "GraphSettings.h"
#include "Lattice.h"
#include "PlotGeometry.h"
#include "RasterLattice.h"

#include <QImage>
#include <QPainter>
#include <QTest>

namespace {

// The first pixel where two images differ, and how many do; empty when none.
QString difference(const QImage& actual, const QImage& expected)
{
    int count = 0;
    QString first;
    for (int y = 0; y < actual.height(); ++y)
        for (int x = 0; x < actual.width(); ++x)
            if (actual.pixel(x, y) != expected.pixel(x, y) && count++ == 0)
                first = QStringLiteral("(%1, %2) is %3, expected %4")
                            .arg(x)
                            .arg(y)
                            .arg(actual.pixel(x, y), 0, 16)
                            .arg(expected.pixel(x, y), 0, 16);
    return count == 0 ? QString() : QStringLiteral("%1; %2 pixels differ").arg(first).arg(count);
}

// As the graph view draws: on a black image with a border of 16 logical
// pixels above and to the left.
QImage drawn(QSize box, qreal ratio, const tb::Lattice& lattice, tb::LatticeDrawing drawing)
{
    const int border = qCeil(16 * ratio);
    QImage image(qCeil(box.width() * ratio) + border, qCeil(box.height() * ratio) + border,
                 QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::black);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    const tb::RasterMapping mapping(ratio, border);
    painter.setWorldTransform(mapping.toDevice);
    tb::paintLatticeOnImage(painter, lattice, mapping, drawing);
    return image;
}

} // namespace

class TestRasterLattice : public QObject {
    Q_OBJECT

private slots:
    void shortcutAsMarkByMark_data();
    void shortcutAsMarkByMark();
};

void TestRasterLattice::shortcutAsMarkByMark_data()
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
        // Long marks reaching past the top edge of the box.
        *row("wide box, dense rows")
            << ratio << QSize(8000, 200) << tb::GraphSettings{0, 360, 5, 5, -1, 1, 300, 1};
        // A tick unit of 1, and of 0: dots.
        *row("201 pixels") << ratio << QSize(201, 150)
                           << tb::GraphSettings{0, 360, 60, 7, -1, 1, 30, 7};
        *row("200 pixels") << ratio << QSize(200, 150)
                           << tb::GraphSettings{0, 360, 60, 7, -1, 1, 30, 7};
    }
}

void TestRasterLattice::shortcutAsMarkByMark()
{
    QFETCH(qreal, ratio);
    QFETCH(QSize, box);
    QFETCH(tb::GraphSettings, settings);
    const tb::Lattice lattice =
        tb::makeLattice(settings, tb::makePlotGeometry(box.width(), box.height(), settings));
    const QImage plain = drawn(box, ratio, lattice, tb::LatticeDrawing::Plain);
    QCOMPARE(difference(drawn(box, ratio, lattice, tb::LatticeDrawing::Shortcut), plain),
             QString());
}

QTEST_MAIN(TestRasterLattice)
#include "tst_raster_lattice.moc"
