#include "DescribeGraph.h"
#include "FontMeasure.h"
#include "GraphPicture.h"
#include "GraphSettings.h"
#include "GraphView.h"
#include "MainWindow.h"
#include "SettingsFile.h"
#include "StageVariables.h"
#include "Sweep.h"
#include "VectorState.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <utility>
#include <vector>

namespace {

// The picture box's size in a maximised window on a 1920 x 1080 screen, and
// on a 3840 x 2160 screen at a device pixel ratio of 2: the same logical
// size, there with four times the device pixels.
constexpr int BoxWidth = 1824;
constexpr int BoxHeight = 518;

// The stage of the first-run example.
tb::StageVariables firstRunStage()
{
    tb::StageVariables v;
    v.supplyVolts = 400;
    v.ebkVolts = 60;
    v.loadOhms = 4000;
    v.driveRmsVolts = 200;
    v.idleAmps = tb::idleAmpsFromMilliamps(50);
    v.gridPeakVolts = tb::gridPeakVoltsFromRms(v.driveRmsVolts);
    return v;
}

// Puts the window on the screen of the benchmark's ratio (its argument).
bool placeOnScreen(QWidget& window, benchmark::State& state)
{
    for (QScreen* screen : QGuiApplication::screens())
        if (screen->devicePixelRatio() == static_cast<qreal>(state.range(0))) {
            window.setScreen(screen);
            // A window shown elsewhere would move to the screen it lies on.
            window.move(screen->geometry().topLeft());
            return true;
        }
    state.SkipWithError("no screen at this device pixel ratio (QT_QPA_PLATFORM set elsewhere?)");
    return false;
}

// Whether the widget really draws at the benchmark's ratio: a figure for the
// wrong ratio is never reported.
bool atRatio(const QWidget& widget, benchmark::State& state)
{
    if (widget.devicePixelRatioF() == static_cast<qreal>(state.range(0)))
        return true;
    state.SkipWithError("the window is not at this device pixel ratio on this platform");
    return false;
}

// The window shown on the benchmark's screen and laid out, its box then
// given the benchmark's size: what a press repaints is then on screen.
bool showLaidOut(tb::MainWindow& window, benchmark::State& state)
{
    if (!placeOnScreen(window, state))
        return false;
    window.show();
    auto* box = window.findChild<QWidget*>(QStringLiteral("graphView"));
    const QSize designSize = box->size();
    QElapsedTimer waited;
    waited.start();
    while (box->size() == designSize && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    if (box->size() == designSize) {
        state.SkipWithError("the window was not laid out within 5 s");
        return false;
    }
    box->resize(BoxWidth, BoxHeight);
    QCoreApplication::processEvents();
    return atRatio(*box, state);
}

// A press as the user sees it: "Calculate" clicked, then the event loop
// repaints what changed and the window reaches the screen.
void press(QPushButton& calculate)
{
    calculate.click();
    QCoreApplication::processEvents();
}

// One whole press of "Calculate" on the first-run example: reading the
// fields, the sweep, the results, the drawing pass into the box's image and
// the repaint of what changed.
void BM_CalculatePress(benchmark::State& state)
{
    QTemporaryDir dir;
    tb::MainWindow window{tb::SettingsFile(dir.filePath(QStringLiteral("Tubebridge.dat")))};
    if (!showLaidOut(window, state))
        return;
    auto* calculate = window.findChild<QPushButton*>(QStringLiteral("calculateButton"));
    for (auto _ : state)
        press(*calculate);
}
BENCHMARK(BM_CalculatePress)->ArgName("ratio")->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// The same labeled and minor tick counts on both axes.
void setTickCounts(tb::MainWindow& window, std::int64_t labeled, std::int64_t minor)
{
    for (const auto& [name, count] : {std::pair{"field10", labeled}, std::pair{"field11", minor},
                                      std::pair{"field14", labeled}, std::pair{"field15", minor}})
        window.findChild<QLineEdit*>(QLatin1String(name))->setText(QString::number(count));
}

// A press whose tick lattice is as dense as the fields allow: 182 labeled
// and 181 minor ticks on both axes (32 761 intervals, 11.9 million marks),
// and 32 767 labeled and 1 minor (every interior point both marks, 2.15
// billion of them, and 32 767 labels on each axis).
void BM_CalculatePressLattice(benchmark::State& state)
{
    QTemporaryDir dir;
    tb::MainWindow window{tb::SettingsFile(dir.filePath(QStringLiteral("Tubebridge.dat")))};
    if (!showLaidOut(window, state))
        return;
    setTickCounts(window, state.range(1), state.range(2));
    auto* calculate = window.findChild<QPushButton*>(QStringLiteral("calculateButton"));
    for (auto _ : state)
        press(*calculate);
}
BENCHMARK(BM_CalculatePressLattice)
    ->ArgNames({"ratio", "labeled", "minor"})
    ->Args({1, 182, 181})
    ->Args({2, 182, 181})
    ->Args({1, 32767, 1})
    ->Args({2, 32767, 1})
    ->Unit(benchmark::kMillisecond);

// The graph of a press as a file, the format in the second argument (0 PNG,
// 1 SVG, 2 PDF): the worked example (labeled 7, minor 5) or the densest
// lattice (32 767 labeled, 1 minor, both axes). Goal: under a second.
void BM_GraphFile(benchmark::State& state)
{
    QTemporaryDir dir;
    tb::MainWindow window{tb::SettingsFile(dir.filePath(QStringLiteral("Tubebridge.dat")))};
    if (!showLaidOut(window, state))
        return;
    setTickCounts(window, state.range(2), state.range(2) == 7 ? 5 : 1);
    press(*window.findChild<QPushButton*>(QStringLiteral("calculateButton")));
    auto* view = window.findChild<tb::GraphView*>(QStringLiteral("graphView"));
    const auto format = static_cast<tb::GraphView::Format>(state.range(1));
    qsizetype bytes = 0;
    for (auto _ : state)
        bytes = view->fileBytes(format).size();
    state.counters["MB"] = static_cast<double>(bytes) / (1024 * 1024);
}
BENCHMARK(BM_GraphFile)
    ->ArgNames({"ratio", "format", "labeled"})
    ->ArgsProduct({{1, 2}, {0, 1, 2}, {7, 32767}})
    ->Unit(benchmark::kMillisecond);

// A box that only shows an image, 1:1, as the picture box does.
class ImageView : public QWidget {
public:
    QImage image;

protected:
    void paintEvent(QPaintEvent* /*event*/) override
    {
        QPainter painter(this);
        painter.drawImage(QPointF(0, 0), image);
    }
};

// What the first-run example's drawing puts on the box, in the box's device
// pixels: lines with their colours, and texts with their baselines.
struct Recorded {
    struct Line {
        QColor color;
        QLineF line;
    };
    struct Text {
        QPointF baseline;
        QString text;
    };
    std::vector<Line> lines;
    std::vector<Text> texts;
};

Recorded record(const tb::GraphPicture& picture, qreal ratio)
{
    Recorded out;
    const qreal offset = qRound(ratio) > 1 ? qRound(ratio) / 2.0 : 0.0;
    const auto line = [&](tb::Color c, float x1, float y1, float x2, float y2) {
        const auto device = [&](float v) { return v * ratio + offset; };
        out.lines.push_back({QColor(c.red, c.green, c.blue),
                             QLineF(device(x1), device(y1), device(x2), device(y2))});
    };
    for (std::size_t i = 1; i < picture.traces.front().points.size(); ++i)
        for (const tb::GraphPicture::Trace& trace : picture.traces)
            if (trace.points[i].drawn)
                line(trace.color, trace.points[i - 1].x, trace.points[i - 1].y, trace.points[i].x,
                     trace.points[i].y);
    const tb::PlotGeometry& g = *picture.geometry;
    line(tb::colors::White, g.plotLeft, 0, g.plotLeft, g.plotBottom);
    line(tb::colors::White, g.plotLeft, g.plotBottom, g.graphWidth, g.plotBottom);
    line(tb::colors::White, g.graphWidth, g.plotBottom, g.graphWidth, 0);
    line(tb::colors::White, g.graphWidth, 0, g.plotLeft, 0);
    for (const tb::GraphPicture::LegendRow& row : picture.legend) {
        line(row.color, row.lineStart, row.y, row.lineEnd, row.y);
        out.texts.push_back({row.text.position + QPointF(0, picture.textAscent), row.text.text});
    }
    const tb::Lattice& lattice = *picture.lattice;
    for (int i = 0; i < lattice.columns; ++i)
        tb::forEachMark(lattice, tb::latticeColumn(lattice, i),
                        [&](const tb::LatticeMark& m) { line(m.color, m.x1, m.y1, m.x2, m.y2); });
    for (const tb::GraphPicture::Text& label : picture.labels)
        out.texts.push_back({label.position + QPointF(0, picture.textAscent), label.text});
    return out;
}

// The least work for a press's output: the 3600 sines of the sweep and the
// 9000 of the traces (each waveform call takes one), one erase, the same line
// segments in the same order with one pen per colour, the same texts, and one
// copy to the screen. Built from the pass's own geometry, recorded once.
void BM_CalculateFloor(benchmark::State& state)
{
    QTemporaryDir dir;
    tb::MainWindow window{tb::SettingsFile(dir.filePath(QStringLiteral("Tubebridge.dat")))};
    if (!showLaidOut(window, state))
        return;
    ImageView view;
    if (!placeOnScreen(view, state))
        return;
    view.resize(BoxWidth, BoxHeight);
    view.show();
    if (!atRatio(view, state))
        return;
    const qreal ratio = view.devicePixelRatioF();
    view.image = QImage(qCeil(BoxWidth * ratio), qCeil(BoxHeight * ratio), QImage::Format_RGB32);
    view.image.setDevicePixelRatio(ratio);

    const tb::GraphSettings settings{0, 360, 7, 5, -300, 300, 7, 5};
    const tb::StageVariables stage = firstRunStage();
    const QFont boxFont = window.findChild<QWidget*>(QStringLiteral("graphView"))->font();
    const tb::FontMeasure measure(boxFont, window.font(), &view.image);
    const Recorded pass =
        record(tb::describeGraph(settings, stage, QSizeF(BoxWidth, BoxHeight), measure), ratio);

    const int width = qRound(ratio) > 1 ? qRound(ratio) : 0;
    std::vector<std::pair<QColor, QPen>> pens;
    const auto penFor = [&pens, width](const QColor& color) -> const QPen& {
        for (const auto& known : pens)
            if (known.first == color)
                return known.second;
        QPen pen(color, width);
        pen.setCapStyle(Qt::SquareCap);
        return pens.emplace_back(color, pen).second;
    };
    const double traceStep = (settings.xAxisMax - settings.xAxisMin) / 3000;
    std::vector<QLineF> sameColor;
    for (auto _ : state) {
        tb::clearVectorState();
        double sines = 0.0;
        for (int k = 0; k < tb::SweepSamples; ++k)
            sines += std::sin(k * tb::AngleStep * tb::Pi / 180.0);
        for (int k = 1; k <= 3000; ++k)
            for (int trace = 0; trace < 3; ++trace)
                sines += std::sin((settings.xAxisMin + k * traceStep) * tb::Pi / 180.0);
        benchmark::DoNotOptimize(sines);

        QPainter painter(&view.image);
        painter.setRenderHint(QPainter::TextAntialiasing, true);
        painter.setFont(boxFont);
        painter.fillRect(view.image.rect(), Qt::black);
        painter.setWorldTransform(QTransform::fromScale(1 / ratio, 1 / ratio));
        for (std::size_t k = 0; k < pass.lines.size();) {
            const QColor color = pass.lines[k].color;
            sameColor.clear();
            for (; k < pass.lines.size() && pass.lines[k].color == color; ++k)
                sameColor.push_back(pass.lines[k].line);
            painter.setPen(penFor(color));
            painter.drawLines(sameColor.data(), static_cast<int>(sameColor.size()));
        }
        painter.setWorldTransform(QTransform());
        painter.setPen(penFor(Qt::white));
        for (const Recorded::Text& text : pass.texts)
            painter.drawText(text.baseline, text.text);
        painter.end();
        view.update();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_CalculateFloor)->ArgName("ratio")->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// The drawing pass alone, on the same box in a window never shown.
void BM_DrawGraph(benchmark::State& state)
{
    QWidget window;
    if (!placeOnScreen(window, state))
        return;
    auto* box = new tb::GraphView(&window); // the window owns it
    box->resize(BoxWidth, BoxHeight);
    if (!atRatio(*box, state))
        return;
    const tb::StageVariables v = firstRunStage();
    const tb::GraphSettings g{0, 360, 7, 5, -300, 300, 7, 5};
    for (auto _ : state)
        box->draw(g, v, box->font());
}
BENCHMARK(BM_DrawGraph)->ArgName("ratio")->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

} // namespace
