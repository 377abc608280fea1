#include "DescribeGraph.h"
#include "GraphSettings.h"
#include "PlotGeometry.h"
#include "RecordingSurface.h"
#include "RuntimeError.h"
#include "StageVariables.h"

#include "CompareNear.h"
#include "DefaultLocale.h"
#include "ErrorOf.h"
#include "WorkedStage.h"

#include <QLocale>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <optional>

namespace tb {
// Lets QCOMPARE show a colour, or that no line was found.
char* toString(const std::optional<Color>& c)
{
    return c ? QTest::toString(
                   QStringLiteral("rgb(%1, %2, %3)").arg(c->red).arg(c->green).arg(c->blue))
             : QTest::toString(QStringLiteral("no such line"));
}
char* toString(const Color& c)
{
    return toString(std::optional<Color>(c));
}
} // namespace tb

using namespace tb;
using Kind = RecordingSurface::Kind;
using Part = RecordingSurface::Part;
using tb::test::workedStage;

namespace {

// The colours the graph must use, written out rather than taken from the code.
const Color Black{0, 0, 0};
const Color White{255, 255, 255};
const Color Grey{136, 136, 136};
const Color Red{255, 0, 0};
const Color Green{0, 255, 0};
const Color Blue{0, 0, 255};

GraphSettings exampleSettings()
{
    return {0, 360, 7, 5, -200, 200, 5, 4};
}

GraphPicture describe(float width, float height, const GraphSettings& settings)
{
    return describeGraph(settings, workedStage(), QSizeF(width, height), FixedMeasure());
}

RecordingSurface recorded(float width, float height, const GraphSettings& settings,
                          Part part = Part::All)
{
    return RecordingSurface(describe(width, height, settings), part);
}

// The colour of the first line drawn from (x1, y1) to (x2, y2), if any.
std::optional<Color> lineColor(const RecordingSurface& s, float x1, float y1, float x2, float y2)
{
    for (const auto& op : s.ofKind(Kind::Line))
        if (op.x1 == x1 && op.y1 == y1 && op.x2 == x2 && op.y2 == y2)
            return op.color;
    return std::nullopt;
}

// The tick loop as written in its definition: every lattice point visited,
// column by column, its five tests in order, the colour set before each mark.
RecordingSurface ticksVisitingEveryPoint(const GraphSettings& settings, float width, float height)
{
    RecordingSurface s;
    const PlotGeometry g = makePlotGeometry(width, height, settings);
    const double unit = g.tickUnit;
    const auto labeled = [](double index, int minor) {
        return std::fmod(index, static_cast<double>(minor)) == 0.0;
    };
    const auto mark = [&s](Color c, double x1, double y1, double x2, double y2) {
        s.setForeColor(c);
        s.line(static_cast<float>(x1), static_cast<float>(y1), static_cast<float>(x2),
               static_cast<float>(y2));
    };
    for (double i = 0; i <= g.xTickSteps; ++i) {
        const double x = g.plotLeft + i * g.xTickSpacing;
        const double columnTick = labeled(i, settings.xMinorTicks) ? 2 * unit : unit;
        const bool innerColumn = 0 < i && i < g.xTickSteps;
        for (double j = 0; j <= g.yTickSteps; ++j) {
            const double y = j * g.yTickSpacing;
            const double rowTick = labeled(j, settings.yMinorTicks) ? 2 * unit : unit;
            const bool innerRow = 0 < j && j < g.yTickSteps;
            if (j == 0 && innerColumn) {
                mark(White, x, 0, x, columnTick);
            } else if (j == g.yTickSteps && innerColumn) {
                mark(White, x, g.plotBottom, x, g.plotBottom - columnTick);
            } else if (i == 0 && innerRow) {
                mark(White, g.plotLeft, y, g.plotLeft + rowTick, y);
            } else if (i == g.xTickSteps && innerRow) {
                mark(White, g.graphWidth, y, g.graphWidth - rowTick, y);
            } else if (innerColumn && innerRow) {
                if (labeled(j, settings.yMinorTicks))
                    mark(Grey, x - unit, y, x + unit, y);
                if (labeled(i, settings.xMinorTicks))
                    mark(Grey, x, y - unit, x, y + unit);
            }
        }
    }
    return s;
}

// Where two recordings first part, or nothing when they are the same.
QString firstDifference(const RecordingSurface& actual, const RecordingSurface& expected)
{
    const auto& a = actual.ops();
    const auto& e = expected.ops();
    const auto describe = [](const RecordingSurface::Op& op) {
        return QStringLiteral("kind %1 rgb(%2, %3, %4) (%5, %6)-(%7, %8)")
            .arg(static_cast<int>(op.kind))
            .arg(op.color.red)
            .arg(op.color.green)
            .arg(op.color.blue)
            .arg(op.x1)
            .arg(op.y1)
            .arg(op.x2)
            .arg(op.y2);
    };
    for (std::size_t k = 0; k < std::min(a.size(), e.size()); ++k)
        if (a[k].kind != e[k].kind || a[k].color != e[k].color || a[k].x1 != e[k].x1 ||
            a[k].y1 != e[k].y1 || a[k].x2 != e[k].x2 || a[k].y2 != e[k].y2)
            return QStringLiteral("operation %1: %2, expected %3")
                .arg(k)
                .arg(describe(a[k]), describe(e[k]));
    if (a.size() != e.size())
        return QStringLiteral("%1 operations, expected %2").arg(a.size()).arg(e.size());
    return {};
}

int countLines(const RecordingSurface& s, Color c)
{
    int n = 0;
    for (const auto& op : s.ofKind(Kind::Line))
        n += op.color == c ? 1 : 0;
    return n;
}

} // namespace

class TestGraph : public QObject {
    Q_OBJECT

private slots:
    void geometry_data()
    {
        QTest::addColumn<float>("width");
        QTest::addColumn<float>("height");
        QTest::addColumn<int>("plotLeft");
        QTest::addColumn<int>("plotBottom");
        QTest::addColumn<int>("tickUnit");
        QTest::addColumn<int>("plotWidth");
        QTest::newRow("553x297") << 553.0f << 297.0f << 43 << 258 << 1 << 510;
        QTest::newRow("800x400") << 800.0f << 400.0f << 62 << 347 << 2 << 738;
        QTest::newRow("200 px: no tick length") << 200.0f << 100.0f << 16 << 87 << 0 << 184;
        QTest::newRow("201 px: tick length 1") << 201.0f << 100.0f << 16 << 87 << 1 << 185;
    }

    void geometry()
    {
        QFETCH(float, width);
        QFETCH(float, height);
        QFETCH(int, plotLeft);
        QFETCH(int, plotBottom);
        QFETCH(int, tickUnit);
        QFETCH(int, plotWidth);
        const PlotGeometry g = makePlotGeometry(width, height, exampleSettings());
        QCOMPARE(g.plotLeft, plotLeft);
        QCOMPARE(g.plotBottom, plotBottom);
        QCOMPARE(g.tickUnit, tickUnit);
        QCOMPARE(g.graphWidth - g.plotLeft, plotWidth);
    }

    void pixelMapping()
    {
        const PlotGeometry g = makePlotGeometry(553, 297, exampleSettings());
        QCOMPARE(pixelX(g, 180), 298);
        QCOMPARE(pixelX(g, 0), 43);
        QCOMPARE(pixelX(g, 360), 553);
        QCOMPARE(pixelY(g, -200), 258);
        QCOMPARE(pixelY(g, 200), 0);
        // Reversed axes mirror the mapping.
        const PlotGeometry r = makePlotGeometry(553, 297, {360, 0, 7, 5, 10, -10, 5, 4});
        QCOMPARE(pixelX(r, 0), 553);
        QCOMPARE(pixelX(r, 180), 298);
        QCOMPARE(pixelY(r, 10), 258);
        QCOMPARE(pixelY(r, -10), 0);
    }

    void legend()
    {
        const RecordingSurface s = recorded(553, 297, exampleSettings(), Part::Legend);
        const auto lines = s.ofKind(Kind::Line);
        const auto prints = s.ofKind(Kind::Print);
        QCOMPARE(lines.size(), 3u);
        QCOMPARE(prints.size(), 3u);
        const Color colours[] = {Red, Green, Blue};
        const float rows[] = {26, 52, 78};
        const char* texts[] = {"Load Voltage (Volts)", "V1 Cathode Current (mA)",
                               "V2 Cathode Current (mA)"};
        for (int r = 0; r < 3; ++r) {
            QCOMPARE(lineColor(s, 319, rows[r], 353, rows[r]), colours[r]);
            QCOMPARE(prints[r].text, QString::fromLatin1(texts[r]));
            QCOMPARE(prints[r].color, White);
            QCOMPARE(prints[r].x1, 363.0f);
            QCOMPARE(prints[r].y1, rows[r] - 7);
        }
    }

    void ticksExample()
    {
        const GraphSettings settings = exampleSettings();
        const PlotGeometry g = makePlotGeometry(553, 297, settings);
        QCOMPARE(g.xTickSteps, 30);
        QCOMPARE(g.xTickSpacing, 17.0);
        QCOMPARE(g.yTickSpacing, 16.125);
        const RecordingSurface s = recorded(553, 297, settings, Part::Lattice);
        QCOMPARE(lineColor(s, 128, 0, 128, 2), White);           // labeled column 5
        QCOMPARE(lineColor(s, 60, 0, 60, 1), White);             // minor column 1
        QCOMPARE(lineColor(s, 128, 258, 128, 256), White);       // bottom edge
        QCOMPARE(lineColor(s, 43, 64.5f, 45, 64.5f), White);     // labeled row 4
        QCOMPARE(lineColor(s, 553, 193.5f, 551, 193.5f), White); // right edge
        QCOMPARE(lineColor(s, 43, 16.125f, 44, 16.125f), White); // minor row 1
        // A labeled row crossing a labeled column makes a small grey cross.
        QCOMPARE(lineColor(s, 127, 129, 129, 129), Grey);
        QCOMPARE(lineColor(s, 128, 128, 128, 130), Grey);
        // Corners get no tick.
        int atCorners = 0;
        for (const auto& op : s.ofKind(Kind::Line))
            atCorners += (op.x1 == 43 || op.x1 == 553) && (op.y1 == 0 || op.y1 == 258) ? 1 : 0;
        QCOMPARE(atCorners, 0);
    }

    void tickCounts_data()
    {
        QTest::addColumn<GraphSettings>("settings");
        QTest::addColumn<int>("white");
        QTest::addColumn<int>("grey");
        // white: 2 x (xTickSteps - 1) + 2 x (yTickSteps - 1); grey: interior labeled rows
        // times interior columns plus interior labeled columns times interior rows.
        QTest::newRow("example") << GraphSettings{0, 360, 7, 5, -200, 200, 5, 4} << 88 << 162;
        QTest::newRow("all labeled") << GraphSettings{0, 360, 3, 1, -1, 1, 3, 1} << 4 << 2;
        QTest::newRow("no labeled interior") << GraphSettings{0, 360, 2, 3, -1, 1, 2, 3} << 8 << 0;
        QTest::newRow("both counts negative")
            << GraphSettings{0, 360, -1, -5, -1, 1, 5, 4} << 48 << 42;
        QTest::newRow("negative X steps") << GraphSettings{0, 360, 0, 5, -1, 1, 5, 4} << 0 << 0;
        QTest::newRow("negative Y steps") << GraphSettings{0, 360, 5, 4, -1, 1, -2, 3} << 0 << 0;
    }

    void tickCounts()
    {
        QFETCH(GraphSettings, settings);
        QFETCH(int, white);
        QFETCH(int, grey);
        const RecordingSurface s = recorded(553, 297, settings, Part::Lattice);
        QCOMPARE(countLines(s, White), white);
        QCOMPARE(countLines(s, Grey), grey);
    }

    void ticksInLoopOrder_data()
    {
        QTest::addColumn<GraphSettings>("settings");
        QTest::addColumn<float>("width");
        QTest::newRow("example") << exampleSettings() << 553.0f;
        QTest::newRow("every column and row labeled")
            << GraphSettings{0, 360, 31, 1, -1, 1, 21, 1} << 800.0f;
        QTest::newRow("dense columns") << GraphSettings{0, 360, 3000, 1, -1, 1, 7, 5} << 1824.0f;
        QTest::newRow("dense rows") << GraphSettings{0, 360, 2, 5, -1, 1, 3000, 1} << 1824.0f;
        QTest::newRow("every 11th column and 13th row labeled")
            << GraphSettings{0, 360, 13, 11, -1, 1, 12, 13} << 1824.0f;
        QTest::newRow("one row inside") << GraphSettings{0, 360, 7, 5, -1, 1, 3, 1} << 553.0f;
        QTest::newRow("no row inside") << GraphSettings{0, 360, 7, 5, -1, 1, 2, 1} << 553.0f;
        QTest::newRow("no tick length") << GraphSettings{0, 360, 7, 5, -1, 1, 5, 4} << 200.0f;
        QTest::newRow("reversed axes") << GraphSettings{360, 0, 7, 5, 1, -1, 5, 4} << 553.0f;
        QTest::newRow("negative counts") << GraphSettings{0, 360, -1, -5, -1, 1, 5, 4} << 553.0f;
    }

    void ticksInLoopOrder()
    {
        QFETCH(GraphSettings, settings);
        QFETCH(float, width);
        const float height = 297.0f;
        const RecordingSurface s = recorded(width, height, settings, Part::Lattice);
        const RecordingSurface expected = ticksVisitingEveryPoint(settings, width, height);
        QCOMPARE_GT(expected.ops().size(), 0u);
        QCOMPARE(firstDifference(s, expected), QString());
    }

    void labelsExample()
    {
        const RecordingSurface s = recorded(553, 297, exampleSettings(), Part::Labels);
        const auto prints = s.ofKind(Kind::Print);
        QCOMPARE(prints.size(), 5u + 7u + 1u);

        // Untrimmed, 11 characters (77 px), ending at the axis, centred 6 px above the row.
        const char* yTexts[] = {"-200.0     ", "-100.0     ", " 0.000     ", " 100.0     ",
                                " 200.0     "};
        const float yTops[] = {252, 187.5f, 123, 58.5f, 0};
        for (int k = 0; k < 5; ++k) {
            QCOMPARE(prints[k].text, QString::fromLatin1(yTexts[k]));
            QCOMPARE(prints[k].x1, 43.0f - 77.0f);
            QCOMPARE(prints[k].y1, yTops[k]);
        }
        // Trimmed, 35 px wide, centred on 43 + 85 k, the last one ending 6 px before 553.
        const char* xTexts[] = {"0.000", "60.00", "120.0", "180.0", "240.0", "300.0", "360.0"};
        for (int k = 0; k < 7; ++k) {
            const auto& p = prints[5 + k];
            QCOMPARE(p.text, QString::fromLatin1(xTexts[k]));
            QCOMPARE(p.y1, 259.0f);
            QCOMPARE(p.color, White);
            if (k < 6)
                TB_COMPARE_NEAR(p.x1 + 17.5, 43.0 + 85.0 * k, 0.5);
        }
        QCOMPARE(prints[11].x1 + 35.0f, 547.0f);
        QCOMPARE(prints[12].text, QStringLiteral("Phase Angle (Degrees)"));
        QCOMPARE(prints[12].x1, 224.5f);
        TB_COMPARE_NEAR(prints[12].y1, 273.7113, 1e-3);
    }

    void reversedAxesAreMirrored()
    {
        const RecordingSurface s = recorded(553, 297, {360, 0, 7, 5, 200, -200, 5, 4});
        const auto prints = s.ofKind(Kind::Print);               // 3 legend texts come first
        QCOMPARE(prints[3].text, QStringLiteral(" 200.0     ")); // yAxisMin, at the bottom
        QCOMPARE(prints[3].y1, 252.0f);
        QCOMPARE(prints[8].text, QStringLiteral("360.0")); // xAxisMin, at the left
        QCOMPARE(prints[8].x1, 26.0f);
        QCOMPARE(prints[14].text, QStringLiteral("0.000"));
        QCOMPARE_GT(countLines(s, Red), 3); // traces besides the legend line
    }

    void yLabelsRoundTripThroughText()
    {
        // 100.44999999999999 is 100.45 at 15 digits, which rounds up; and a locale
        // comma must not cut the 0.5 of the next case down to 0.
        const test::DefaultLocale german(QLocale(QLocale::German, QLocale::Germany));
        const GraphSettings tie{0, 360, 7, 5, -100, 300.9, 3, 1};
        const GraphSettings half{0, 360, 7, 5, 0, 1, 3, 1};
        const auto tiePrints = recorded(553, 297, tie, Part::Labels).ofKind(Kind::Print);
        const auto halfPrints = recorded(553, 297, half, Part::Labels).ofKind(Kind::Print);
        QCOMPARE(tiePrints[1].text, QStringLiteral(" 100.5     "));
        QCOMPARE(halfPrints[1].text, QStringLiteral(" 500.0e-3  "));
    }

    void traceSampleCount_data()
    {
        QTest::addColumn<double>("xMin");
        QTest::addColumn<double>("xMax");
        QTest::newRow("forward") << 0.0 << 360.0;
        QTest::newRow("reversed") << 360.0 << 0.0;
    }

    void traceSampleCount()
    {
        // About 10 px per sample and every value inside: each sample but the one on
        // the right edge draws a segment, so 3000 or 2999 samples give 2999 segments.
        QFETCH(double, xMin);
        QFETCH(double, xMax);
        const GraphSettings settings{xMin, xMax, 7, 5, -1000, 1000, 5, 4};
        const PlotGeometry g = makePlotGeometry(32767, 1000, settings);
        const RecordingSurface s = recorded(32767, 1000, settings, Part::Traces);
        for (Color c : {Red, Green, Blue}) {
            QCOMPARE(countLines(s, c), 2999);
            float lastX = -1;
            for (const auto& op : s.ofKind(Kind::Line)) {
                if (op.color != c)
                    continue;
                QCOMPARE(op.x1, lastX < 0 ? g.plotLeft : lastX); // drawn left to right
                QCOMPARE_GT(op.x2, op.x1);
                QCOMPARE_LT(op.x2, g.graphWidth);
                lastX = op.x2;
            }
        }
    }

    void traceClipping_data()
    {
        QTest::addColumn<double>("yMin");
        QTest::addColumn<double>("yMax");
        QTest::addColumn<bool>("blueDrawn");
        QTest::newRow("voltage beyond the range") << -150.0 << 150.0 << true;
        QTest::newRow("no negative values") << 0.0 << 300.0 << false;
    }

    void traceClipping()
    {
        QFETCH(double, yMin);
        QFETCH(double, yMax);
        QFETCH(bool, blueDrawn);
        const GraphSettings settings{0, 360, 7, 5, yMin, yMax, 5, 4};
        const RecordingSurface s = recorded(553, 297, settings, Part::Traces);
        bool reentersFromOutside = false;
        for (const auto& op : s.ofKind(Kind::Line)) {
            QCOMPARE_GT(op.x2, 43);
            QCOMPARE_LT(op.x2, 553);
            QCOMPARE_GT(op.y2, 0);
            QCOMPARE_LT(op.y2, 258);
            reentersFromOutside |= op.y1 <= 0 || op.y1 >= 258;
        }
        QVERIFY(reentersFromOutside); // the load voltage peaks at 240 V
        QCOMPARE(countLines(s, Blue) > 0, blueDrawn);
        QCOMPARE_GT(countLines(s, Green), 0);
    }

    void stalledAngleEndsSweep()
    {
        // 1e20 + 1e5 / 3000 == 1e20: the angle cannot advance, the pass must still end.
        const RecordingSurface s = recorded(553, 297, {1e20, 1e20 + 1e5, 7, 5, -200, 200, 5, 4});
        QCOMPARE(s.ops().back().text, QStringLiteral("Phase Angle (Degrees)"));
        // The one sample maps onto the Y axis: only the legend's coloured lines remain.
        QCOMPARE(countLines(s, Red) + countLines(s, Green) + countLines(s, Blue), 3);
    }

    void errors_data()
    {
        QTest::addColumn<GraphSettings>("settings");
        QTest::addColumn<ErrorKind>("kind");
        QTest::newRow("equal X limits")
            << GraphSettings{90, 90, 7, 5, -200, 200, 5, 4} << ErrorKind::DivisionByZero;
        QTest::newRow("equal Y limits")
            << GraphSettings{0, 360, 7, 5, 5, 5, 5, 4} << ErrorKind::DivisionByZero;
        QTest::newRow("one labeled X tick")
            << GraphSettings{0, 360, 1, 5, -200, 200, 5, 4} << ErrorKind::DivisionByZero;
        QTest::newRow("no minor Y ticks")
            << GraphSettings{0, 360, 7, 5, -200, 200, 5, 0} << ErrorKind::DivisionByZero;
        QTest::newRow("X product 32767")
            << GraphSettings{0, 360, 2, 32767, -200, 200, 5, 4} << ErrorKind::Overflow;
        QTest::newRow("Y product 32768")
            << GraphSettings{0, 360, 7, 5, -200, 200, 3, 16384} << ErrorKind::Overflow;
    }

    void errors()
    {
        QFETCH(GraphSettings, settings);
        QFETCH(ErrorKind, kind);
        const GraphPicture picture = describe(553, 297, settings);
        QCOMPARE(test::errorOf([&] { std::rethrow_exception(picture.error); }), kind);
        const RecordingSurface recording(picture);
        const auto& ops = recording.ops();
        QCOMPARE(ops.size(), 1u); // cleared to black: nothing more
        QCOMPARE(ops[0].kind, Kind::Clear);
        QCOMPARE(ops[0].color, Black);
    }

    void passOrder()
    {
        enum Pass { Traces, Frame, Legend, Ticks, YLabels, XLabels, Title };
        const RecordingSurface s = recorded(553, 297, exampleSettings());
        const auto passOf = [](const RecordingSurface::Op& op) {
            if (op.kind == Kind::Print) {
                if (op.text.contains(QLatin1String("Current")) ||
                    op.text.startsWith(QLatin1String("Load")))
                    return Legend;
                if (op.text.startsWith(QLatin1String("Phase")))
                    return Title;
                return op.y1 == 259 ? XLabels : YLabels;
            }
            if (op.color == Grey)
                return Ticks;
            if (op.color == White) {
                const bool frame = (op.x1 == op.x2 && (op.x1 == 43 || op.x1 == 553) &&
                                    std::abs(op.y1 - op.y2) == 258) ||
                                   (op.y1 == op.y2 && std::abs(op.x1 - op.x2) == 510);
                return frame ? Frame : Ticks;
            }
            return op.x1 == 319 && op.x2 == 353 ? Legend : Traces;
        };
        int seen[Title + 1] = {};
        int last = Traces;
        bool clearedBeforeDrawing = false;
        for (const auto& op : s.ops()) {
            clearedBeforeDrawing |= op.kind == Kind::Clear;
            if (op.kind != Kind::Line && op.kind != Kind::Print)
                continue;
            QVERIFY(clearedBeforeDrawing);
            const int pass = passOf(op);
            QCOMPARE_GE(pass, last); // passes in order
            last = pass;
            ++seen[pass];
        }
        QCOMPARE(seen[Frame], 4);
        QCOMPARE(seen[Legend], 6);
        QCOMPARE(seen[YLabels], 5);
        QCOMPARE(seen[XLabels], 7);
        QCOMPARE(seen[Title], 1);
        QCOMPARE_GT(seen[Traces], 0);
        QCOMPARE_GT(seen[Ticks], 0);
    }
};

QTEST_GUILESS_MAIN(TestGraph)
#include "tst_graph.moc"
