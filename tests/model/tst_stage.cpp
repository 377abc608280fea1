#include "NumberText.h"
#include "Rounding.h"
#include "RuntimeError.h"
#include "StageSample.h"
#include "StageVariables.h"
#include "Sweep.h"
#include "Waveforms.h"

#include "CompareNear.h"
#include "ErrorOf.h"

#include <QTest>

#include <cfloat>
#include <cmath>
#include <numbers>

using namespace tb;

namespace {

StageVariables stage(double supply, double ebk, double load, double driveRms, double idleMa)
{
    StageVariables v;
    v.supplyVolts = supply;
    v.ebkVolts = ebk;
    v.loadOhms = load;
    v.driveRmsVolts = driveRms;
    v.idleAmps = idleAmpsFromMilliamps(idleMa);
    v.gridPeakVolts = gridPeakVoltsFromRms(driveRms);
    return v;
}

// The text a calculated-value field shows.
QString fieldText(double value)
{
    return QString::fromStdString(numberToText(roundToDecimals(value, 3)));
}

struct SweepRun {
    OperatingPoint point;
    int clipReports = 0;
};

SweepRun sweep(const StageVariables& v)
{
    SweepRun run;
    run.point = sweepCycle(v, [&run] { ++run.clipReports; });
    return run;
}

} // namespace

using tb::test::errorOf;

class TestStage : public QObject {
    Q_OBJECT

private slots:
    void pi();
    void operatingPoints_data();
    void operatingPoints();
    void swingEqualToLimitIsNotClipping();
    void ebkAboveSupplyPinsBothSwings();
    void zeroLoadFaultsAtFirstSample();
    void overflowIsReported();
    void clipIsReportedBeforeALaterFault();
    void faultsAreNamedAsStepByStep_data();
    void faultsAreNamedAsStepByStep();
    void sweepEqualsStepByStep_data();
    void sweepEqualsStepByStep();

    void waveforms_data();
    void waveforms();
};

void TestStage::pi()
{
    QCOMPARE(Pi, std::numbers::pi);
}

void TestStage::operatingPoints_data()
{
    QTest::addColumn<double>("supply");
    QTest::addColumn<double>("ebk");
    QTest::addColumn<double>("load");
    QTest::addColumn<double>("drive");
    QTest::addColumn<double>("idleMa");
    QTest::addColumn<QString>("dissipation");
    QTest::addColumn<QString>("power");
    QTest::addColumn<QString>("supplyMa");
    QTest::addColumn<bool>("clipped");

    QTest::newRow("zero drive") << 400.0 << 50.0 << 8.0 << 0.0 << 100.0 << "40"
                                << "0"
                                << "100" << false;
    QTest::newRow("class AB, no clipping") << 400.0 << 60.0 << 4000.0 << 200.0 << 50.0 << "13.568"
                                           << "7.225"
                                           << "51.254" << false;
    QTest::newRow("overdriven") << 400.0 << 60.0 << 4000.0 << 300.0 << 50.0 << "9.921"
                                << "15.739"
                                << "57.865" << true;
    QTest::newRow("Ebk above supply") << 300.0 << 400.0 << 4000.0 << 200.0 << 50.0 << "15"
                                      << "0"
                                      << "50" << true;
    // A negative drive swings the other way round: the same cycle, shifted by
    // half a turn, so the same averages.
    QTest::newRow("overdriven, negative drive")
        << 400.0 << 60.0 << 4000.0 << -300.0 << 50.0 << "9.921"
        << "15.739"
        << "57.865" << true;
    // No headroom at all: a swing of 0 equals the limit of 0 and does not clip;
    // the plate sees the whole supply of 60 V at 50 mA.
    QTest::newRow("Ebk equal to supply, no drive") << 60.0 << 60.0 << 4000.0 << 0.0 << 50.0 << "3"
                                                   << "0"
                                                   << "50" << false;
}

void TestStage::operatingPoints()
{
    QFETCH(double, supply);
    QFETCH(double, ebk);
    QFETCH(double, load);
    QFETCH(double, drive);
    QFETCH(double, idleMa);
    const SweepRun run = sweep(stage(supply, ebk, load, drive, idleMa));
    QTEST(fieldText(run.point.plateDissipationWatts), "dissipation");
    QTEST(fieldText(run.point.loadPowerWatts), "power");
    QTEST(fieldText(run.point.supplyMilliamps), "supplyMa");
    QFETCH(bool, clipped);
    QCOMPARE(run.clipReports, clipped ? 1 : 0);
}

void TestStage::swingEqualToLimitIsNotClipping()
{
    StageVariables v = stage(0, 0, 4000, 0, 50);
    v.gridPeakVolts = 100.0;
    const double peakSwing = 100.0 * 0.85; // sin 90 degrees is exactly 1
    v.supplyVolts = 2.0 * peakSwing;       // so the swing limit is exactly the peak

    const StageSample atPeak = stageSampleAt(v, 90.0);
    QCOMPARE(atPeak.v1Swing, peakSwing);
    QCOMPARE(atPeak.v2Swing, -peakSwing);
    QCOMPARE(atPeak.clipped, false);
    QCOMPARE(sweep(v).clipReports, 0);

    v.supplyVolts = std::nextafter(v.supplyVolts, 0.0);
    QCOMPARE(stageSampleAt(v, 90.0).clipped, true);
    QCOMPARE(sweep(v).clipReports, 1);
}

void TestStage::ebkAboveSupplyPinsBothSwings()
{
    const StageVariables v = stage(300, 400, 4000, 200, 50);
    for (double angle : {0.0, 45.0, 90.0, 200.0, 270.0}) {
        const StageSample s = stageSampleAt(v, angle);
        QCOMPARE(s.v1Swing, 50.0);
        QCOMPARE(s.v2Swing, 50.0);
        QCOMPARE(s.clipped, true);
        QCOMPARE(loadVoltageAt(v, angle), 0.0);
    }
}

void TestStage::zeroLoadFaultsAtFirstSample()
{
    const StageVariables v = stage(400, 60, 0, 200, 50);
    int clipReports = 0;
    QCOMPARE(errorOf([&] { (void)sweepCycle(v, [&] { ++clipReports; }); }),
             ErrorKind::DivisionByZero);
    QCOMPARE(clipReports, 0);
    QCOMPARE(errorOf([&] { (void)stageSampleAt(v, 0.0); }), ErrorKind::DivisionByZero);
}

void TestStage::overflowIsReported()
{
    // An enormous idling current times an enormous supply voltage.
    QCOMPARE(errorOf([] { (void)sweep(stage(1e200, 0, 8, 0, 1e200)); }), ErrorKind::Overflow);
    // The supply headroom itself beyond the double range.
    QCOMPARE(errorOf([] { (void)stageSampleAt(stage(DBL_MAX, -DBL_MAX, 8, 1, 1), 0.0); }),
             ErrorKind::Overflow);
    QCOMPARE(errorOf([] { (void)gridPeakVoltsFromRms(DBL_MAX); }), ErrorKind::Overflow);
    QCOMPARE(errorOf([] { (void)v1CurrentAt(stage(400, 60, 4000, 200, 50), 1e308); }),
             ErrorKind::Overflow);
}

void TestStage::clipIsReportedBeforeALaterFault()
{
    // Ebk above the supply clips from the first sample; each sample's plate
    // dissipation is finite (1 A x 1e308 V) but their sum overflows later.
    const StageVariables v = stage(1e308, 1.5e308, 8, 0, 1000);
    int clipReports = 0;
    QCOMPARE(errorOf([&] { (void)sweepCycle(v, [&] { ++clipReports; }); }), ErrorKind::Overflow);
    QCOMPARE(clipReports, 1);
}

void TestStage::faultsAreNamedAsStepByStep_data()
{
    QTest::addColumn<StageVariables>("vars");
    QTest::addColumn<ErrorKind>("kind");
    QTest::addColumn<int>("clipReports");
    // 0 / 0 at the first sample is an invalid operation to the processor, but
    // the step divides by zero.
    QTest::newRow("no load") << stage(400, 60, 0, 200, 50) << ErrorKind::DivisionByZero << 0;
    // Every sample clips, but the first one faults before its clipping is reported.
    QTest::newRow("no load, Ebk above supply")
        << stage(300, 400, 0, 200, 50) << ErrorKind::DivisionByZero << 0;
    // The headroom overflows in every sample; afterwards nothing can show it.
    QTest::newRow("headroom") << stage(DBL_MAX, -DBL_MAX, 8, 1, 1) << ErrorKind::Overflow << 0;
    // Only the square of the load current, from the second sample on.
    QTest::newRow("load power") << stage(400, 60, 1e-300, 200, 50) << ErrorKind::Overflow << 0;
}

void TestStage::faultsAreNamedAsStepByStep()
{
    QFETCH(StageVariables, vars);
    QFETCH(int, clipReports);
    int reports = 0;
    QTEST(errorOf([&] { (void)sweepCycle(vars, [&] { ++reports; }); }), "kind");
    QCOMPARE(reports, clipReports);
}

void TestStage::sweepEqualsStepByStep_data()
{
    QTest::addColumn<StageVariables>("vars");
    QTest::newRow("class AB") << stage(400, 60, 4000, 200, 50);
    QTest::newRow("overdriven") << stage(400, 60, 4000, 300, 50);
    QTest::newRow("negative drive") << stage(400, 60, 4000, -300, 50);
    QTest::newRow("no idling current") << stage(400, 60, 8, 100, 0);
    QTest::newRow("negative idling current") << stage(400, 60, 8, 100, -3000);
    QTest::newRow("negative load") << stage(400, 60, -8, 100, 200);
    QTest::newRow("Ebk above supply") << stage(300, 400, 4000, 200, 50);
    QTest::newRow("tiny values") << stage(1e-300, 0, 1e-10, 1e-300, 1e-300);
    QTest::newRow("huge values") << stage(1e150, 2e149, 1e10, 1e150, 1e137);
}

// The sweep as written out in its definition: each sample step by step, the
// clipping reported at the first sample that clips.
void TestStage::sweepEqualsStepByStep()
{
    QFETCH(StageVariables, vars);
    double dissipation = 0.0;
    double loadPower = 0.0;
    double supplyAmps = 0.0;
    int firstClip = -1;
    for (int k = 0; k < 3600; ++k) {
        const StageSample s = stageSampleAt(vars, k * 0.1);
        if (s.clipped && firstClip < 0)
            firstClip = k;
        dissipation += s.v1Amps * s.v1PlateVolts;
        loadPower += s.loadAmps * s.loadAmps * vars.loadOhms;
        supplyAmps += s.v1Amps;
    }
    const SweepRun run = sweep(vars);
    QCOMPARE(run.point.plateDissipationWatts, dissipation / 3600);
    QCOMPARE(run.point.loadPowerWatts, loadPower / 3600);
    QCOMPARE(run.point.supplyMilliamps, supplyAmps / 3600 * 1000);
    QCOMPARE(run.clipReports, firstClip >= 0 ? 1 : 0);
}

void TestStage::waveforms_data()
{
    QTest::addColumn<double>("drive");
    QTest::addColumn<double>("idleMa");
    QTest::addColumn<double>("angle");
    QTest::addColumn<double>("loadVolts");
    QTest::addColumn<double>("v1Ma");
    QTest::addColumn<double>("v2Ma");
    // Supply 400, Ebk 60, load 4000: limit 170 V. Drive 300: peak swing 180.3 V,
    // at 30 degrees 0.85 x 212.132 x 0.5 = 90.156 V each side.
    QTest::newRow("300 V, 0") << 300.0 << 50.0 << 0.0 << 0.0 << 50.0 << -50.0;
    QTest::newRow("300 V, 30") << 300.0 << 50.0 << 30.0 << 180.3122292 << 95.0780573 << -4.9219427;
    QTest::newRow("300 V, 90") << 300.0 << 50.0 << 90.0 << 340.0 << 135.0 << 0.0;
    QTest::newRow("300 V, 270") << 300.0 << 50.0 << 270.0 << -340.0 << 0.0 << -135.0;
    QTest::newRow("300 V, -90") << 300.0 << 50.0 << -90.0 << -340.0 << 0.0 << -135.0;
    QTest::newRow("300 V, 450") << 300.0 << 50.0 << 450.0 << 340.0 << 135.0 << 0.0;
    // Drive 200: no limiting. At 30 degrees 60.104 V each side, a load current of
    // 30.052 mA, and both tubes conduct: 50 + 30.052 and -(50 - 30.052).
    QTest::newRow("200 V, 90") << 200.0 << 50.0 << 90.0 << 240.4163056 << 110.1040764 << 0.0;
    QTest::newRow("200 V, 30") << 200.0 << 50.0 << 30.0 << 120.2081528 << 80.0520382 << -19.9479618;
    // No idling current: each tube carries only its half of the cycle.
    QTest::newRow("idle 0, 90") << 200.0 << 0.0 << 90.0 << 240.4163056 << 60.1040764 << 0.0;
    QTest::newRow("idle 0, 270") << 200.0 << 0.0 << 270.0 << -240.4163056 << 0.0 << -60.1040764;
}

void TestStage::waveforms()
{
    QFETCH(double, drive);
    QFETCH(double, idleMa);
    QFETCH(double, angle);
    QFETCH(double, loadVolts);
    QFETCH(double, v1Ma);
    QFETCH(double, v2Ma);
    const StageVariables v = stage(400, 60, 4000, drive, idleMa);
    TB_COMPARE_NEAR(loadVoltageAt(v, angle), loadVolts, 1e-6);
    TB_COMPARE_NEAR(v1CurrentAt(v, angle), v1Ma, 1e-6);
    TB_COMPARE_NEAR(v2CurrentAt(v, angle), v2Ma, 1e-6);
}

QTEST_APPLESS_MAIN(TestStage)
#include "tst_stage.moc"
