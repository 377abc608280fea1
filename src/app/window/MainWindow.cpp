#include "MainWindow.h"

#include "Accessibility.h"
#include "Announcement.h"
#include "Color.h"
#include "ControlLayout.h"
#include "DrawGraph.h"
#include "ExceptionText.h"
#include "FieldEdit.h"
#include "FirstLayoutWatcher.h"
#include "FontFit.h"
#include "GraphSettings.h"
#include "LenientParse.h"
#include "NumberText.h"
#include "GraphView.h"
#include "QtDrawingSurface.h"
#include "Rounding.h"
#include "SettingsMessages.h"
#include "Sweep.h"
#include "VectorState.h"

#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <limits>

namespace tb {

namespace {

// Design-time geometry is in layout units of 1/1440 inch, 15 to the pixel.
constexpr int UnitsPerPixel = 15;

QRect designRect(int left, int top, int width, int height)
{
    return {left / UnitsPerPixel, top / UnitsPerPixel, width / UnitsPerPixel,
            height / UnitsPerPixel};
}

struct FieldDesign {
    const char* caption;
    int fieldLeft;
    int fieldTop;
    int captionLeft;
    int captionWidth;
};

constexpr std::array<FieldDesign, Form1::FieldCount> FieldTable{{
    {"Power Supply Voltage (volts)", 5400, 360, 1800, 3495},
    {"Ebk Saturation (Volts)", 5400, 720, 360, 4935},
    {"Load Impedance (ohms)", 5400, 1080, 2520, 2775},
    {"RMS g-to-g Drive (volts)", 5400, 1440, 240, 5055},
    {"Idling Current, Each Tube (mA)", 5400, 1800, 840, 4455},
    {"Plate Dissipation, Each Tube", 5400, 2400, 120, 5175},
    {"True Load Power (Watts)", 5400, 2760, 480, 4815},
    {"mA, Each Power Supply", 5400, 3120, 480, 4815},
    {"X Axis Minimum Value", 16080, 360, 11160, 4815},
    {"X Axis Maximum Value", 16080, 720, 11160, 4815},
    {"Labeled X-axis Tick Marks", 16080, 1080, 11160, 4815},
    {"Minor X-axis Tick Marks", 16080, 1440, 11160, 4815},
    {"Y Axis Minimum Value", 16080, 1800, 11160, 4815},
    {"Y Axis Maximum Value", 16080, 2160, 11160, 4815},
    {"Labeled Y-axis Tick Marks", 16080, 2520, 11160, 4815},
    {"Minor Y-axis Tick Marks", 16080, 2880, 11160, 4815},
    {"Clipping", 10080, 2760, 8640, 1335},
}};

// The clipping indicator's states in words, for those who cannot see its colour.
constexpr const char* NotCalculatedYet = "Not calculated yet";
constexpr const char* NoClipping = "No clipping";
constexpr const char* Clipping = "Clipping";

constexpr int FieldWidth = 2655;
constexpr int IndicatorWidth = 495;
constexpr int FieldHeight = 285;
constexpr int CaptionHeight = 255;

// Focus walks the required data, the graph scales, the calculated values,
// then the indicator and the buttons.
constexpr std::array<int, Form1::FieldCount> TabOrder{0,  1,  2,  3,  4, 8, 9, 10, 11,
                                                      12, 13, 14, 15, 5, 6, 7, 16};

QFont designFont()
{
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSizeF(9.75);
    font.setWeight(QFont::Normal);
    return font;
}

QLabel* makeLabel(QWidget* parent, const QString& text, const QRect& rect, const QFont& font,
                  Qt::Alignment align, const QString& name)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setFont(font);
    label->setAlignment(align | Qt::AlignTop);
    label->setGeometry(rect);
    return label;
}

QPushButton* makeButton(QWidget* parent, const QString& text, const QRect& rect,
                        const QString& name)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setGeometry(rect);
    // Enter and Esc in a field press neither button.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

QString decimalSeparator()
{
    return QLocale().decimalPoint();
}

// What a screen reader says of the graph, for a person who cannot see it.
QString graphDescription(const GraphSettings& g)
{
    const auto text = [](double value) {
        return QString::fromStdString(numberToText(value, decimalSeparator().toStdString()));
    };
    return QStringLiteral(
               "Load voltage, V1 and V2 cathode currents from %1 to %2 degrees, %3 to %4")
        .arg(text(g.xAxisMin), text(g.xAxisMax), text(g.yAxisMin), text(g.yAxisMax));
}

} // namespace

Form1::Form1(SettingsFile settings, QWidget* parent)
    : QWidget(parent)
    , m_settings(std::move(settings))
{
    setWindowTitle(QStringLiteral(" "));
    // The title bar shows nothing; a screen reader still names the program.
    setAccessibleName(QStringLiteral("Tubebridge"));
    m_designSize = designRect(0, 0, 12060, 8595).size();
    resize(m_designSize);
    createControls();
    setTabOrder();
    Form_Load();
    Text1[0]->setFocus();
}

void Form1::createControls()
{
    const QFont font = designFont();
    for (int i = 0; i < FieldCount; ++i) {
        const FieldDesign& d = FieldTable[static_cast<std::size_t>(i)];
        const int width = i == IndicatorField ? IndicatorWidth : FieldWidth;
        auto* field =
            new FieldEdit(i == IndicatorField ? QString() : QStringLiteral("Text1"), this);
        field->setObjectName(QStringLiteral("Text1_%1").arg(i));
        field->setFont(font);
        field->setMaxLength(std::numeric_limits<int>::max());
        field->setGeometry(designRect(d.fieldLeft, d.fieldTop, width, FieldHeight));
        Text1[static_cast<std::size_t>(i)] = field;
        Label1[static_cast<std::size_t>(i)] =
            makeLabel(this, QString::fromLatin1(d.caption),
                      designRect(d.captionLeft, d.fieldTop, d.captionWidth, CaptionHeight), font,
                      Qt::AlignRight, QStringLiteral("Label1_%1").arg(i));
        if (i == IndicatorField)
            continue;
        // A screen reader names each field by its caption.
        Label1[static_cast<std::size_t>(i)]->setBuddy(field);
        field->setAccessibleName(QString::fromLatin1(d.caption));
    }
    // Its colour alone tells nothing to a person who cannot see it: its name
    // says its state after its caption. It has no label, which a screen
    // reader would read in place of the name.
    m_clippingState = QString::fromLatin1(NotCalculatedYet);
    setName(*Text1[IndicatorField],
            captionWithState(Label1[IndicatorField]->text(), m_clippingState));
    Label2 = makeLabel(this, QStringLiteral("Required Data."), designRect(5400, 0, 4095, 255), font,
                       Qt::AlignLeft, QStringLiteral("Label2"));
    Label3 = makeLabel(this, QStringLiteral("Calculated Values"), designRect(5400, 2160, 2655, 255),
                       font, Qt::AlignLeft, QStringLiteral("Label3"));
    Label4 =
        makeLabel(this, QStringLiteral("Graph Scales and Markings."),
                  designRect(15360, 120, 3375, 255), font, Qt::AlignLeft, QStringLiteral("Label4"));
    Label5 = makeLabel(
        this,
        QStringLiteral(
            "Note:  Calculated Values do not have to be filled in, although they may be."),
        designRect(960, 3720, 9615, 255), font, Qt::AlignLeft, QStringLiteral("Label5"));

    Command1 = makeButton(this, QStringLiteral("Calculate"), designRect(8880, 600, 1935, 735),
                          QStringLiteral("Command1"));
    Command2 = makeButton(this, QStringLiteral("End"), designRect(8880, 1680, 1935, 735),
                          QStringLiteral("Command2"));
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);

    PGraph = new PictureBox(this);
    PGraph->setObjectName(QStringLiteral("PGraph"));
    PGraph->setAccessibleName(QStringLiteral("Graph"));
    PGraph->setGeometry(designRect(2760, 4800, 8295, 4455));

    m_announcement = new Announcement(this);
    m_announcement->setObjectName(QStringLiteral("Announcement"));

    // Runs until the first layout; every change of the window's size starts
    // it again, so that it elapses once the size has settled.
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->setInterval(FirstLayoutSettleMs);
    connect(Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
    Timer1->start();
}

void Form1::setTabOrder()
{
    QWidget* previous = Text1[static_cast<std::size_t>(TabOrder[0])];
    auto chain = [&previous](QWidget* next) {
        QWidget::setTabOrder(previous, next);
        previous = next;
    };
    for (std::size_t k = 1; k < TabOrder.size(); ++k)
        chain(Text1[static_cast<std::size_t>(TabOrder[k])]);
    chain(Command1);
    chain(Command2);
    chain(PGraph);
}

void Form1::Form_Load()
{
    setWindowState(windowState() | Qt::WindowMaximized);

    const SettingsFile::LoadResult loaded = m_settings.load();
    QStringList fields;
    switch (loaded.status) {
    case SettingsFile::LoadStatus::Loaded:
        fields = loaded.fields;
        break;
    case SettingsFile::LoadStatus::Missing:
        fields = SettingsFile::firstRunFields();
        break;
    case SettingsFile::LoadStatus::Unreadable:
        m_loadProblem = loaded;
        break;
    }
    for (int i = 0; i < SettingsFile::FieldCount; ++i)
        Text1[static_cast<std::size_t>(i)]->setText(i < fields.size() ? fields[i] : QString());
}

template <typename Handler>
void Form1::guarded(Handler&& handler, const QString& consequence)
{
    try {
        handler();
    } catch (...) {
        reportError(exceptionText(std::current_exception()), consequence);
    }
}

// The desktop's reports on the window reach its platform window, not the
// widget: the maximised state comes from there, with the size that goes with it.
void Form1::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!m_laidOut && windowHandle() != nullptr)
        windowHandle()->installEventFilter(this);
}

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == windowHandle() && !m_laidOut) {
        switch (event->type()) {
        case QEvent::Expose:
        case QEvent::Resize:
        case QEvent::WindowStateChange:
            considerFirstLayout();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// Laid out before the window paints, where the maximised size is known at
// once; otherwise when the size has stood still for a moment.
void Form1::considerFirstLayout()
{
    const QWindow* window = windowHandle();
    const WindowReport report{window->isExposed(),
                              window->windowStates().testFlag(Qt::WindowMaximized), window->size()};
    if (maximisedSizeArrived(report, m_designSize))
        layOutOnce();
    else
        Timer1->start();
}

void Form1::Timer1_Timer()
{
    if (windowHandle() == nullptr || !windowHandle()->isExposed()) {
        Timer1->start();
        return;
    }
    layOutOnce();
}

void Form1::layOutOnce()
{
    if (m_laidOut)
        return;
    m_laidOut = true;
    Timer1->stop();
    windowHandle()->removeEventFilter(this);
    guarded([this] { ArrangeControls(); },
            QStringLiteral("The window could not be laid out. Your fields are as you left them."));
    // Once the window has painted its new arrangement and the events of that
    // moment are handled. Reading the icon's PNG makes Qt load every
    // image-format plugin it has, which would hold up the first frame; the
    // desktop shows the icon a moment later.
    QTimer::singleShot(0, this, [this] {
        setWindowIcon(QIcon(QStringLiteral(":/org.tubebridge.Tubebridge.png")));
        guarded([this] { showLoadProblem(); },
                QStringLiteral("The settings file could not be read. The fields start empty."));
    });
}

// Only once the window is mapped and laid out can a window manager keep the
// message centred on it and above it.
void Form1::showLoadProblem()
{
    if (!m_loadProblem)
        return;
    showSettingsMessage(QStringLiteral("The settings file could not be read."),
                        loadFailureMessage(*m_loadProblem, m_settings.path()));
    m_loadProblem.reset();
}

void Form1::ArrangeControls()
{
    // The platform window has the client size first; the widget follows.
    const QSize client = windowHandle() != nullptr ? windowHandle()->size() : size();
    const ControlLayout layout = arrangeControls(client.width(), client.height());

    const auto place = [](QWidget* w, const LayoutRect& r) {
        w->setGeometry(static_cast<int>(std::lround(r.left)), static_cast<int>(std::lround(r.top)),
                       static_cast<int>(std::lround(r.width)),
                       static_cast<int>(std::lround(r.height)));
    };
    place(Label2, layout.requiredHeading);
    place(Label3, layout.calculatedHeading);
    place(Label4, layout.scalesHeading);
    place(Label5, layout.note);
    place(PGraph, layout.graph);
    for (std::size_t i = 0; i < ControlLayout::RowCount; ++i) {
        place(Text1[i], layout.fields[i]);
        place(Label1[i], layout.captions[i]);
        Text1[i]->setSelection(0, 99);
    }
    place(Text1[IndicatorField], layout.indicator);
    place(Label1[IndicatorField], layout.indicatorCaption);
    place(Command1, layout.calculate);
    place(Command2, layout.end);

    // One size for every label, field and button: F, unless a text would be
    // cut at F in its control.
    QList<QWidget*> texts{Label2, Label3, Label4, Label5, Command1, Command2};
    for (QLabel* caption : Label1)
        texts.append(caption);
    const int points = fittingPointSize(static_cast<int>(layout.FontSize), texts);
    const auto setFontSize = [points](QWidget* w) {
        QFont f = w->font();
        f.setPointSize(points);
        w->setFont(f);
    };
    for (QWidget* w : texts)
        setFontSize(w);
    for (std::size_t i = 0; i < ControlLayout::RowCount; ++i)
        setFontSize(Text1[i]);
}

void Form1::Command2_Click()
{
    guarded(
        [this] {
            const AtomicWriteResult saved = m_settings.save(persistedFields());
            if (saved.ok()) {
                close();
                return;
            }
            showSettingsMessage(QStringLiteral("The settings could not be saved."),
                                saveFailureMessage(saved, m_settings.path()));
        },
        QStringLiteral("The settings were not saved. Your fields are kept and the program "
                       "stays open."));
}

QStringList Form1::persistedFields() const
{
    QStringList fields;
    for (int i = 0; i < SettingsFile::FieldCount; ++i)
        fields.append(Text1[static_cast<std::size_t>(i)]->text());
    return fields;
}

void Form1::showSettingsMessage(const QString& text, const QString& detail)
{
    openMessage(new QMessageBox(QMessageBox::Warning, QStringLiteral("Tubebridge"), text,
                                QMessageBox::Ok, this),
                QStringLiteral("SettingsMessage"), detail);
}

// Not modal: a click on the window gives the window the keyboard, and some
// desktops (all on Wayland) let no program hand it back to a modal message,
// which would leave the window deaf until the message itself is clicked.
// Transient for the window, so that the desktop keeps it above the window;
// centred on the window's client area where the desktop lets a program place
// its windows, since the toolkit's own placement guesses the frame of a
// maximised window wrongly.
void Form1::openMessage(QMessageBox* box, const QString& name, const QString& detail)
{
    if (m_message)
        m_message->close();
    m_message = box;
    box->setObjectName(name);
    box->setInformativeText(detail);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
    QRect placed = box->geometry();
    placed.moveCenter(geometry().center());
    box->setGeometry(placed);
}

void Form1::Command1_Click()
{
    guarded([this] { calculate(); },
            QStringLiteral("The calculation stopped here. Your fields are as you left them."));
}

// Each step takes effect as it runs, so an error leaves exactly the steps
// before it done: nothing is rolled back and nothing after it happens.
void Form1::calculate()
{
    m_stage.supplyVolts = fieldNumber(0);
    m_stage.ebkVolts = fieldNumber(1);
    m_stage.loadOhms = fieldNumber(2);
    m_stage.driveRmsVolts = fieldNumber(3);
    m_stage.idleAmps = idleAmpsFromMilliamps(fieldNumber(4));

    GraphSettings graph;
    graph.xAxisMin = fieldNumber(8);
    graph.xAxisMax = fieldNumber(9);
    graph.xLabeledTicks = toInt16(fieldNumber(10));
    graph.xMinorTicks = toInt16(fieldNumber(11));
    graph.yAxisMin = fieldNumber(12);
    graph.yAxisMax = fieldNumber(13);
    graph.yLabeledTicks = toInt16(fieldNumber(14));
    graph.yMinorTicks = toInt16(fieldNumber(15));

    setIndicator(colors::Green);
    m_stage.gridPeakVolts = gridPeakVoltsFromRms(m_stage.driveRmsVolts);
    // Qt's code just run leaves the vector registers in a state that would
    // make every sine of the sweep several times slower.
    clearVectorState();
    const OperatingPoint point = sweepCycle(m_stage, [this] { setIndicator(colors::Red); });
    writeResult(5, point.plateDissipationWatts);
    writeResult(6, point.loadPowerWatts);
    writeResult(7, point.supplyMilliamps);

    // The old drawing goes; the new one is described once it stands.
    setDescription(*PGraph, QString());
    {
        QtDrawingSurface surface = PGraph->beginPass(font());
        drawGraph(surface, graph, m_stage);
    }
    setDescription(*PGraph, graphDescription(graph));
    selectFieldsAndFocus();
    announceOutcome();
}

double Form1::fieldNumber(int index) const
{
    return parseNumber(Text1[static_cast<std::size_t>(index)]->text().toStdString());
}

void Form1::writeResult(int index, double value)
{
    const QString text = QString::fromStdString(
        numberToText(roundToDecimals(value, 3), decimalSeparator().toStdString()));
    FieldEdit* field = Text1[static_cast<std::size_t>(index)];
    // The text it holds, set by the program and not edited since: setting it
    // again would change nothing but repaint the field (and the window under it).
    if (field->text() == text && !field->isModified() && !field->isUndoAvailable())
        return;
    field->setText(text);
}

void Form1::setIndicator(Color color)
{
    Text1[IndicatorField]->setBackground(QColor(color.red, color.green, color.blue));
    m_clippingState = QString::fromLatin1(color == colors::Red ? Clipping : NoClipping);
    setName(*Text1[IndicatorField],
            captionWithState(Label1[IndicatorField]->text(), m_clippingState));
}

void Form1::selectFieldsAndFocus()
{
    for (int k = 0; k < IndicatorField; ++k) {
        FieldEdit* field = Text1[static_cast<std::size_t>(k)];
        // What selecting leaves: the first 99 characters (none of an empty
        // field) with the cursor after them. A field already so would only
        // be repainted, and the window under it.
        const int end = std::min(99, static_cast<int>(field->text().size()));
        if (field->selectionStart() == (end > 0 ? 0 : -1) && field->selectionLength() == end &&
            field->cursorPosition() == end)
            continue;
        field->setSelection(0, 99);
    }
    Text1[0]->setFocus();
}

// The results and the clipping state in words, heard once per press while
// the focus stays on field 0.
void Form1::announceOutcome()
{
    QList<CaptionedValue> results;
    for (const int i : {5, 6, 7})
        results.append({Label1[static_cast<std::size_t>(i)]->text(),
                        Text1[static_cast<std::size_t>(i)]->text()});
    m_announcement->announce(outcomeSentence(results, m_clippingState));
}

void Form1::reportError(const QString& name, const QString& consequence)
{
    openMessage(new QMessageBox(QMessageBox::Critical, QStringLiteral("Tubebridge"), name,
                                QMessageBox::Ok, this),
                QStringLiteral("RuntimeErrorMessage"), consequence);
}

} // namespace tb
