#include "MainWindow.h"

#include "Accessibility.h"
#include "Announcement.h"
#include "Calculation.h"
#include "ControlLayout.h"
#include "Controls.h"
#include "DesignGeometry.h"
#include "ExceptionText.h"
#include "FieldEdit.h"
#include "FirstLayoutWatcher.h"
#include "FontFit.h"
#include "GraphView.h"
#include "SettingsMessages.h"
#include "VectorState.h"
#include "WindowMessages.h"

#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

namespace tb {

namespace {

QString decimalSeparator()
{
    return QLocale().decimalPoint();
}

// What the window calls the file the fields live in: the settings file, or
// the design the user named.
QString forFile(const SettingsFile& file, const char* settings, const char* design)
{
    return QString::fromLatin1(file.role() == SettingsFile::Role::Design ? design : settings);
}

// A design names itself in the title bar; the settings file leaves it blank.
QString titleFor(const SettingsFile& file)
{
    return file.role() == SettingsFile::Role::Design
               ? QFileInfo(file.path()).fileName() + QStringLiteral(" - Tubebridge")
               : QStringLiteral(" ");
}

} // namespace

MainWindow::MainWindow(SettingsFile settings, QWidget* parent)
    : QWidget(parent)
    , m_settings(std::move(settings))
{
    setWindowTitle(titleFor(m_settings));
    // A blank title bar shows nothing; a screen reader still names the program.
    setAccessibleName(m_settings.role() == SettingsFile::Role::Design
                          ? windowTitle()
                          : QStringLiteral("Tubebridge"));
    const QSize designSize = windowDesign().client;
    resize(designSize);
    createControls();
    setTabOrder();
    m_messages = new WindowMessages(this);
    m_firstLayout = new FirstLayoutWatcher(this, designSize);
    connect(m_firstLayout, &FirstLayoutWatcher::layoutDue, this, &MainWindow::onLayoutDue);
    setWindowState(windowState() | Qt::WindowMaximized);
    loadSettings();
    field(Field::SupplyVoltage)->setFocus();
}

bool MainWindow::isLaidOut() const noexcept
{
    return m_firstLayout->isDue();
}

FieldEdit* MainWindow::field(Field which) const
{
    return m_fields.at(static_cast<std::size_t>(indexOf(which)));
}

QLabel* MainWindow::caption(Field which) const
{
    return m_captions.at(static_cast<std::size_t>(indexOf(which)));
}

void MainWindow::createControls()
{
    const QFont font = designFont();
    for (int i = 0; i < FieldCount; ++i) {
        const FieldRow row = createFieldRow(this, i, font);
        m_fields[static_cast<std::size_t>(i)] = row.field;
        m_captions[static_cast<std::size_t>(i)] = row.caption;
    }
    // Its colour alone tells nothing to a person who cannot see it: its name
    // says its state after its caption.
    m_clippingState = clippingWords(ClippingState::NotCalculatedYet);
    setName(*field(Field::ClippingIndicator),
            captionWithState(caption(Field::ClippingIndicator)->text(), m_clippingState));

    const WindowDesign design = windowDesign();
    m_requiredHeading = createLabel(this, design.requiredHeading, font, Qt::AlignLeft,
                                    QStringLiteral("requiredHeading"));
    m_calculatedHeading = createLabel(this, design.calculatedHeading, font, Qt::AlignLeft,
                                      QStringLiteral("calculatedHeading"));
    m_scalesHeading = createLabel(this, design.scalesHeading, font, Qt::AlignLeft,
                                  QStringLiteral("scalesHeading"));
    m_note = createLabel(this, design.note, font, Qt::AlignLeft, QStringLiteral("note"));
    m_calculateButton =
        createButton(this, design.calculateButton, QStringLiteral("calculateButton"));
    m_endButton = createButton(this, design.endButton, QStringLiteral("endButton"));
    connect(m_calculateButton, &QPushButton::clicked, this, &MainWindow::onCalculateClicked);
    connect(m_endButton, &QPushButton::clicked, this, &MainWindow::onEndClicked);

    m_graphView = new GraphView(this);
    m_graphView->setObjectName(QStringLiteral("graphView"));
    m_graphView->setAccessibleName(QStringLiteral("Graph"));
    m_graphView->setGeometry(design.graphView);
    connect(m_graphView, &GraphView::graphSaved, this, &MainWindow::onGraphSaved);
    connect(m_graphView, &GraphView::graphNotSaved, this, &MainWindow::onGraphNotSaved);
    connect(m_graphView, &GraphView::graphNotPrinted, this, &MainWindow::onGraphNotPrinted);

    m_announcement = new Announcement(this);
    m_announcement->setObjectName(QStringLiteral("announcement"));
}

void MainWindow::setTabOrder()
{
    QWidget* previous = field(TabOrder[0]);
    auto chain = [&previous](QWidget* next) {
        QWidget::setTabOrder(previous, next);
        previous = next;
    };
    for (std::size_t k = 1; k < TabOrder.size(); ++k)
        chain(field(TabOrder[k]));
    chain(m_calculateButton);
    chain(m_endButton);
    chain(m_graphView);
}

void MainWindow::loadSettings()
{
    const SettingsFile::LoadResult loaded = m_settings.load();
    QStringList texts;
    switch (loaded.status) {
    case SettingsFile::LoadStatus::Loaded:
        texts = loaded.fields;
        break;
    case SettingsFile::LoadStatus::Missing:
        texts = SettingsFile::firstRunFields();
        break;
    case SettingsFile::LoadStatus::Unreadable:
        m_loadProblem = loaded;
        break;
    }
    for (int i = 0; i < PersistedFieldCount; ++i)
        m_fields[static_cast<std::size_t>(i)]->setText(texts.value(i));
}

template <typename Handler>
void MainWindow::guarded(Handler&& handler, const QString& consequence)
{
    try {
        handler();
    } catch (...) {
        m_messages->showRuntimeError(exceptionText(std::current_exception()), consequence);
    }
}

void MainWindow::onLayoutDue()
{
    guarded([this] { applyLayout(); },
            QStringLiteral("The window could not be laid out. Your fields are as you left them."));
    // Once the window has painted its new arrangement and the events of that
    // moment are handled. Reading the icon's PNG makes Qt load every
    // image-format plugin it has, which would hold up the first frame; the
    // desktop shows the icon a moment later.
    QTimer::singleShot(0, this, [this] {
        setWindowIcon(QIcon(QStringLiteral(":/org.tubebridge.Tubebridge.png")));
        guarded([this] { showLoadProblem(); },
                forFile(m_settings, "The settings file could not be read. The fields start empty.",
                        "The design file could not be read. The fields start empty."));
    });
}

// Only once the window is mapped and laid out can a window manager keep the
// message centred on it and above it.
void MainWindow::showLoadProblem()
{
    if (!m_loadProblem)
        return;
    m_messages->showSettingsProblem(forFile(m_settings, "The settings file could not be read.",
                                            "The design file could not be read."),
                                    loadFailureMessage(*m_loadProblem, m_settings.path()));
    m_loadProblem.reset();
}

void MainWindow::applyLayout()
{
    // The platform window has the client size first; the widget follows.
    const QSize client = windowHandle() != nullptr ? windowHandle()->size() : size();
    const ControlLayout layout = computeLayout(client.width(), client.height());

    m_requiredHeading->setGeometry(toRect(layout.requiredHeading));
    m_calculatedHeading->setGeometry(toRect(layout.calculatedHeading));
    m_scalesHeading->setGeometry(toRect(layout.scalesHeading));
    m_note->setGeometry(toRect(layout.note));
    m_graphView->setGeometry(toRect(layout.graph));
    for (std::size_t i = 0; i < layout.fields.size(); ++i) {
        m_fields[i]->setGeometry(toRect(layout.fields[i]));
        m_captions[i]->setGeometry(toRect(layout.captions[i]));
        m_fields[i]->setSelection(0, SelectionLength);
    }
    field(Field::ClippingIndicator)->setGeometry(toRect(layout.indicator));
    caption(Field::ClippingIndicator)->setGeometry(toRect(layout.indicatorCaption));
    m_calculateButton->setGeometry(toRect(layout.calculateButton));
    m_endButton->setGeometry(toRect(layout.endButton));

    // One size for every label, field and button: F, unless a text would be
    // cut at F in its control.
    QList<QWidget*> texts{m_requiredHeading, m_calculatedHeading, m_scalesHeading, m_note,
                          m_calculateButton, m_endButton};
    texts.append(QList<QWidget*>(m_captions.begin(), m_captions.end()));
    const int points = fittingPointSize(static_cast<int>(layout.fontPoints), texts);
    setPointSize(texts, points);
    setPointSize(QList<QWidget*>(m_fields.begin(), m_fields.begin() + PersistedFieldCount), points);
}

void MainWindow::onEndClicked()
{
    guarded(
        [this] {
            const AtomicWriteResult saved = m_settings.save(persistedTexts());
            if (saved.ok()) {
                close();
                return;
            }
            m_messages->showSettingsProblem(
                forFile(m_settings, "The settings could not be saved.",
                        "The design could not be saved."),
                saveFailureMessage(saved, m_settings.path(), m_settings.role()));
        },
        forFile(m_settings,
                "The settings were not saved. Your fields are kept and the program stays open.",
                "The design was not saved. Your fields are kept and the program stays open."));
}

QStringList MainWindow::persistedTexts() const
{
    QStringList texts;
    for (int i = 0; i < PersistedFieldCount; ++i)
        texts.append(m_fields[static_cast<std::size_t>(i)]->text());
    return texts;
}

void MainWindow::onCalculateClicked()
{
    guarded(
        [this] {
            // Qt's code just run leaves the vector registers in a state that
            // would make every sine of the sweep several times slower.
            clearVectorState();
            showOutcome(calculate(persistedTexts(), decimalSeparator()));
        },
        QStringLiteral("The calculation stopped here. Your fields are as you left them."));
}

// The steps the calculation took show as they would have had each taken
// effect as it ran: nothing after the one that stopped it.
void MainWindow::showOutcome(const CalculationOutcome& outcome)
{
    if (outcome.clipped)
        setIndicator(*outcome.clipped);
    if (outcome.error)
        std::rethrow_exception(outcome.error);
    const CalculationOutcome::Results& results = *outcome.results;
    for (std::size_t k = 0; k < ResultFields.size(); ++k)
        field(ResultFields[k])->setResult(results.texts[k]);

    // The old drawing goes; the new one is described once it stands.
    setDescription(*m_graphView, QString());
    m_graphView->draw(results.graph, results.stage, font());
    setDescription(*m_graphView, graphDescription(results.graph, decimalSeparator()));
    selectFieldsAndFocus();
    announceOutcome();
}

void MainWindow::onGraphSaved(const QString& path)
{
    m_announcement->announce(QStringLiteral("Graph saved to %1").arg(QFileInfo(path).fileName()));
}

void MainWindow::onGraphNotSaved(const QString& path, const QString& cause)
{
    m_messages->showGraphProblem(
        QStringLiteral("The graph could not be saved."),
        cause + QStringLiteral("\n\nAny file that was at %1 is as it was before, and the graph "
                               "stays in the window: save it again when that is done.")
                    .arg(QDir::toNativeSeparators(path)));
}

void MainWindow::onGraphNotPrinted(const QString& file)
{
    m_messages->showGraphProblem(
        QStringLiteral("The graph could not be printed."),
        file.isEmpty()
            ? QStringLiteral("The printer could not be opened. Check that it is connected and "
                             "ready, then print again.")
            : QStringLiteral("The file %1 could not be written: its folder may not exist, or "
                             "you may not write to it. Choose another file, then print again.")
                  .arg(QDir::toNativeSeparators(file)));
}

void MainWindow::setIndicator(bool clipped)
{
    // Qt::red and Qt::green are pure: #ff0000 and #00ff00.
    field(Field::ClippingIndicator)->setBackground(clipped ? Qt::red : Qt::green);
    m_clippingState = clippingWords(clipped ? ClippingState::Clipping : ClippingState::NoClipping);
    setName(*field(Field::ClippingIndicator),
            captionWithState(caption(Field::ClippingIndicator)->text(), m_clippingState));
}

void MainWindow::selectFieldsAndFocus()
{
    for (int k = 0; k < PersistedFieldCount; ++k)
        m_fields[static_cast<std::size_t>(k)]->selectFromStart(SelectionLength);
    field(Field::SupplyVoltage)->setFocus();
}

// The results and the clipping state in words, heard once per press while
// the focus stays on field 0.
void MainWindow::announceOutcome()
{
    QList<CaptionedValue> results;
    for (const Field result : ResultFields)
        results.append({caption(result)->text(), field(result)->text()});
    m_announcement->announce(outcomeSentence(results, m_clippingState));
}

} // namespace tb
