#include "FontFit.h"
#include "WindowHarness.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>

namespace {

// Screens of many shapes, in device pixels, at many scale factors; the
// window's client area is the screen less a title bar of 19 device pixels,
// and the form is that less the menu bar.
// whole: every text stood whole there before texts were fitted (on Linux,
// or only there), so the common size must stay the layout's own.
enum Whole { No, Yes, OnLinux };
struct Screen {
    int width;
    int height;
    double scale;
    Whole whole;
};
constexpr Screen Screens[] = {
    {1920, 1080, 1, Yes},   {1366, 768, 1, Yes},     {3440, 1440, 1, Yes},   {5120, 1440, 1, Yes},
    {800, 600, 1, OnLinux}, {1024, 600, 1, Yes},     {2560, 1440, 2, Yes},   {2880, 1800, 2, Yes},
    {3840, 2160, 2, Yes},   {2560, 1440, 3, Yes},    {3840, 2160, 3, Yes},   {3840, 2160, 1.5, Yes},
    {2256, 1504, 1.5, Yes}, {1920, 1080, 1.75, Yes}, {1280, 1024, 1, No},    {2560, 2048, 2, No},
    {1600, 1200, 1.25, No}, {1024, 768, 1, No},      {1080, 1920, 1, No},    {1200, 1920, 1, No},
    {1440, 2560, 1.5, No},  {2160, 3840, 2, No},     {1280, 1024, 1.25, No}, {1080, 1920, 3, No},
};
constexpr double Scales[] = {1, 1.25, 1.5, 1.75, 2, 3};
// Client areas too small for any text, where the layout's size is 0 or 1
// point: everything takes 1 point.
constexpr QSize TinyClients[] = {{1, 1}, {2, 2}, {7, 3}, {34, 34}, {35, 35}, {105, 70}};

// The offscreen platform with one screen at each scale factor, from a file
// in the current folder: the platform's options are separated by colons, so
// the path of a file on a Windows drive ("C:/...") cannot stand there.
void useScreens(const QString& configFile)
{
    QStringList screens;
    QStringList factors;
    for (const double scale : Scales) {
        screens << QStringLiteral(R"({"name": "at %1", "x": %2, "y": 0, "width": 8000,)"
                                  R"( "height": 8000, "logicalDpi": 96, "dpr": 1})")
                       .arg(scale)
                       .arg(factors.size() * 8000);
        factors << QString::number(scale);
    }
    QFile config(configFile);
    if (config.open(QIODevice::WriteOnly))
        config.write(("{\"screens\": [" + screens.join(QLatin1Char(',')) + "]}").toUtf8());
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + configFile.toUtf8());
    qputenv("QT_SCREEN_SCALE_FACTORS", factors.join(QLatin1Char(';')).toUtf8());
}

} // namespace

class TestTextFit : public QObject {
    Q_OBJECT

private slots:
    void everyTextStandsWhole_data();
    void everyTextStandsWhole();
};

void TestTextFit::everyTextStandsWhole_data()
{
    QTest::addColumn<int>("screen");
    QTest::addColumn<QSize>("client");
    for (int i = 0; i < int(std::size(Screens)); ++i) {
        const Screen& s = Screens[i];
        QTest::addRow("%dx%d at %g", s.width, s.height, s.scale)
            << i
            << QSize(int(std::lround(s.width / s.scale)),
                     int(std::lround((s.height - 19) / s.scale)));
    }
    for (const QSize client : TinyClients)
        QTest::addRow("client %dx%d", client.width(), client.height()) << -1 << client;
}

void TestTextFit::everyTextStandsWhole()
{
    QFETCH(int, screen);
    QFETCH(QSize, client);
    const bool tiny = screen < 0;
    const Screen& s = tiny ? Screen{client.width(), client.height(), 1, No} : Screens[screen];
    const auto scale = std::find(std::begin(Scales), std::end(Scales), s.scale) - Scales;
    QScreen* atScale = QGuiApplication::screens().at(scale);
    WindowHarness h;
    h.window().setWindowState(Qt::WindowNoState);
    h.window().setScreen(atScale);
    h.window().move(atScale->geometry().topLeft());
    h.window().resize(client);
    QVERIFY(h.showAndLayOut());
    QCOMPARE(h.window().devicePixelRatioF(), s.scale);
    QCOMPARE(h.window().size(), client);

    // The form is what the menu bar leaves of the client area, if anything.
    const int formHeight = std::max(0, client.height() - h.window().menuBar()->height());
    if (formHeight > 0)
        QTRY_COMPARE(h.window().centralWidget()->size(), QSize(client.width(), formHeight));
    // F = floor(H / 70 + 0.5), 1 at the least.
    const int layoutPoints = std::max(1, int(std::floor(formHeight / 70.0 + 0.5)));
    QList<QWidget*> texts{h.button("calculateButton"), h.button("endButton")};
    for (QLabel* label :
         h.window().centralWidget()->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly))
        texts << label;
    const int points = texts.first()->font().pointSize();
#ifdef Q_OS_WIN
    // Under Wine, "Clipping" measures wider at 8 points than on Linux, beyond
    // its room on that screen.
    const bool whole = s.whole == Yes;
#else
    const bool whole = s.whole != No;
#endif
    if (whole || tiny)
        QCOMPARE(points, layoutPoints);
    QVERIFY(points >= 1 && points <= layoutPoints);

    QStringList cut;
    QStringList wouldBeCut;
    QStringList otherSize;
    for (const QWidget* w : texts) {
        if (!tb::textFitsAt(*w, points))
            cut << w->objectName();
        if (!tb::textFitsAt(*w, points + 1))
            wouldBeCut << w->objectName();
        if (w->font().pointSize() != points)
            otherSize << w->objectName();
    }
    for (int i = 0; i < 16; ++i)
        if (h.field(i)->font().pointSize() != points)
            otherSize << h.field(i)->objectName();
    QCOMPARE(otherSize.join(QStringLiteral(", ")), QString());
    if (tiny)
        return; // no room for any text
    QCOMPARE(cut.join(QStringLiteral(", ")), QString());
    // Never smaller than needed: one point up, something would be cut.
    if (points < layoutPoints)
        QVERIFY2(!wouldBeCut.isEmpty(), qPrintable(QString::number(points + 1)));

    // As drawn: no caption's ink reaches its left edge, where a cut text
    // would touch it.
    QStringList touching;
    for (int i = 0; i <= 16; ++i) {
        QLabel* caption = h.caption(i);
        const QImage image = caption->grab().toImage();
        const QRgb ground = caption->palette().color(QPalette::Window).rgb();
        for (int y = 0; y < image.height(); ++y)
            if (image.pixel(0, y) != ground) {
                touching << caption->text();
                break;
            }
    }
    QCOMPARE(touching.join(QStringLiteral(", ")), QString());
}

int main(int argc, char** argv)
{
    const QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    useScreens(QStringLiteral("screens.json"));
    QApplication app(argc, argv);
    TestTextFit test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_text_fit.moc"
