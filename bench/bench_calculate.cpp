#include "Form1.h"
#include "PictureBox.h"
#include "QtDrawingSurface.h"
#include "SettingsFile.h"
#include "graph/DrawGraph.h"
#include "graph/GraphSettings.h"
#include "model/StageVariables.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <utility>

namespace {

// The picture box's size in a maximised window on a 1920 x 1080 screen, and
// on a 3840 x 2160 screen at a device pixel ratio of 2: the same logical
// size, there with four times the device pixels.
constexpr int BoxWidth = 1824;
constexpr int BoxHeight = 518;

// Puts the window on the screen of the benchmark's ratio (its argument).
bool placeOnScreen(QWidget& window, benchmark::State& state)
{
    for (QScreen* screen : QGuiApplication::screens())
        if (screen->devicePixelRatio() == static_cast<qreal>(state.range(0))) {
            window.setScreen(screen);
            return true;
        }
    state.SkipWithError("no screen at this device pixel ratio (QT_QPA_PLATFORM set elsewhere?)");
    return false;
}

// One whole press of "Calculate" on the first-run example: reading the
// fields, the sweep, the results and the drawing pass into the box's image.
void BM_CalculatePress(benchmark::State& state)
{
    QTemporaryDir dir;
    tb::Form1 form{tb::SettingsFile(dir.filePath(QStringLiteral("Tubebridge.dat")))};
    if (!placeOnScreen(form, state))
        return;
    form.findChild<QWidget*>(QStringLiteral("PGraph"))->resize(BoxWidth, BoxHeight);
    auto* calculate = form.findChild<QPushButton*>(QStringLiteral("Command1"));
    for (auto _ : state)
        calculate->click();
}
BENCHMARK(BM_CalculatePress)->ArgName("ratio")->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// A press whose tick lattice is as dense as the fields allow: 182 labeled
// and 181 minor ticks on both axes (32 761 intervals, 11.9 million marks),
// and 32 767 labeled and 1 minor (every interior point both marks, 2.15
// billion of them).
void BM_CalculatePressLattice(benchmark::State& state)
{
    QTemporaryDir dir;
    tb::Form1 form{tb::SettingsFile(dir.filePath(QStringLiteral("Tubebridge.dat")))};
    if (!placeOnScreen(form, state))
        return;
    form.findChild<QWidget*>(QStringLiteral("PGraph"))->resize(BoxWidth, BoxHeight);
    const QString labeled = QString::number(state.range(1));
    const QString minor = QString::number(state.range(2));
    for (const auto& [name, text] : {std::pair{"Text1_10", labeled}, std::pair{"Text1_11", minor},
                                     std::pair{"Text1_14", labeled}, std::pair{"Text1_15", minor}})
        form.findChild<QLineEdit*>(QLatin1String(name))->setText(text);
    auto* calculate = form.findChild<QPushButton*>(QStringLiteral("Command1"));
    for (auto _ : state)
        calculate->click();
}
BENCHMARK(BM_CalculatePressLattice)
    ->ArgNames({"ratio", "labeled", "minor"})
    ->Args({1, 182, 181})
    ->Args({2, 182, 181})
    ->Args({1, 32767, 1})
    ->Args({2, 32767, 1})
    ->Unit(benchmark::kMillisecond);

// The drawing pass alone, on the same box in a window never shown.
void BM_DrawGraph(benchmark::State& state)
{
    QWidget window;
    if (!placeOnScreen(window, state))
        return;
    auto* box = new tb::PictureBox(&window); // the window owns it
    box->resize(BoxWidth, BoxHeight);
    tb::StageVariables v;
    v.SupplyVolts = 400;
    v.EbkVolts = 60;
    v.LoadOhms = 4000;
    v.DriveRmsVolts = 200;
    v.IdleAmps = tb::idleAmpsFromMilliamps(50);
    v.GridPeakVolts = tb::gridPeakVoltsFromRms(v.DriveRmsVolts);
    const tb::GraphSettings g{0, 360, 7, 5, -300, 300, 7, 5};
    for (auto _ : state) {
        tb::QtDrawingSurface surface = box->beginPass(box->font());
        tb::DrawGraph(surface, g, v);
    }
}
BENCHMARK(BM_DrawGraph)->ArgName("ratio")->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

} // namespace
