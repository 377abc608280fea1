#include "Form1.h"
#include "PictureBox.h"
#include "QtDrawingSurface.h"
#include "SettingsFile.h"
#include "graph/DrawGraph.h"
#include "graph/GraphSettings.h"
#include "model/StageVariables.h"

#include <QPushButton>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// The picture box's size on a maximised 1920 x 1080 screen.
constexpr int BoxWidth = 1824;
constexpr int BoxHeight = 518;

// One whole press of "Calculate" on the first-run example: reading the
// fields, the sweep, the results and the drawing pass into the box's image.
void BM_CalculatePress(benchmark::State& state)
{
    QTemporaryDir dir;
    tb::Form1 form{tb::SettingsFile(dir.filePath(QStringLiteral("Tubebridge.dat")))};
    form.findChild<QWidget*>(QStringLiteral("PGraph"))->resize(BoxWidth, BoxHeight);
    auto* calculate = form.findChild<QPushButton*>(QStringLiteral("Command1"));
    for (auto _ : state)
        calculate->click();
}
BENCHMARK(BM_CalculatePress)->Unit(benchmark::kMillisecond);

// The drawing pass alone, on the same box.
void BM_DrawGraph(benchmark::State& state)
{
    tb::PictureBox box;
    box.resize(BoxWidth, BoxHeight);
    tb::StageVariables v;
    v.SupplyVolts = 400;
    v.EbkVolts = 60;
    v.LoadOhms = 4000;
    v.DriveRmsVolts = 200;
    v.IdleAmps = tb::idleAmpsFromMilliamps(50);
    v.GridPeakVolts = tb::gridPeakVoltsFromRms(v.DriveRmsVolts);
    const tb::GraphSettings g{0, 360, 7, 5, -300, 300, 7, 5};
    for (auto _ : state) {
        tb::QtDrawingSurface surface = box.beginPass(box.font());
        tb::DrawGraph(surface, g, v);
    }
}
BENCHMARK(BM_DrawGraph)->Unit(benchmark::kMillisecond);

} // namespace
