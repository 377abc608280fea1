#include "MainWindow.h"

#include "Accessibility.h"
#include "Announcement.h"
#include "Calculation.h"
#include "CommandLine.h"
#include "ControlLayout.h"
#include "Controls.h"
#include "DesignGeometry.h"
#include "ExceptionText.h"
#include "FieldEdit.h"
#include "FirstLayoutWatcher.h"
#include "FontFit.h"
#include "GraphView.h"
#include "RecentDesigns.h"
#include "SettingsMessages.h"
#include "VectorState.h"
#include "WindowMessages.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QLayout>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>
#include <QWindow>

#include <algorithm>

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

QString designName(const SettingsFile& file)
{
    return QFileInfo(file.path()).fileName();
}

// The platform's keys for a command, or the given one where it has none
// (Windows has none for Save As or Quit, nor has a desktop Qt knows nothing of).
QList<QKeySequence> keysFor(QKeySequence::StandardKey key, const QKeySequence& otherwise)
{
    QList<QKeySequence> keys = QKeySequence::keyBindings(key);
    if (keys.isEmpty())
        keys << otherwise;
    return keys;
}

QAction* addMenuAction(QMenu* menu, const QString& text, const QList<QKeySequence>& keys,
                       const QString& name)
{
    QAction* action = menu->addAction(text);
    action->setObjectName(name);
    action->setShortcuts(keys);
    return action;
}

// The local files among what is dragged; empty when something else is.
QStringList localFiles(const QMimeData& data)
{
    QStringList files;
    for (const QUrl& url : data.urls())
        if (url.isLocalFile())
            files << url.toLocalFile();
    return files;
}

// Where the file dialogs start: the window's design's folder, else the
// user's documents.
QString startFolder(const SettingsFile& file)
{
    if (file.role() == SettingsFile::Role::Design)
        return QFileInfo(file.path()).absolutePath();
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

QString aboutText()
{
    return QStringLiteral("Tubebridge %1\n\n"
                          "A design calculator for a push-pull vacuum-tube output stage.\n\n"
                          "Released under the MIT License.\n"
                          "Running on Qt %2.")
        .arg(QStringLiteral(TUBEBRIDGE_VERSION), QString::fromLatin1(qVersion()));
}

} // namespace

MainWindow::MainWindow(SettingsFile settings, QWidget* parent)
    : QMainWindow(parent)
    , m_settings(std::move(settings))
    , m_recentList(recentDesignsFile(m_settings.role() == SettingsFile::Role::Settings
                                         ? m_settings.path()
                                         : SettingsFile::forThisProgram().path()))
{
    showFileInTitle();
    m_form = new QWidget(this);
    m_form->setObjectName(QStringLiteral("form"));
    setCentralWidget(m_form);
    // Any size the desktop gives: the menu bar is cut rather than the window
    // kept larger than its screen.
    layout()->setSizeConstraint(QLayout::SetNoConstraint);
    createControls();
    createMenus();
    setTabOrder();
    // The form at its design size under the menu bar.
    const QSize designSize = windowDesign().client;
    resize(designSize.width(), designSize.height() + menuBarHeight(designSize.width()));
    m_messages = new WindowMessages(this);
    m_firstLayout = new FirstLayoutWatcher(this, size());
    connect(m_firstLayout, &FirstLayoutWatcher::layoutDue, this, &MainWindow::onLayoutDue);
    setWindowState(windowState() | Qt::WindowMaximized);
    loadSettings();
    markSaved();
    for (int i = 0; i < PersistedFieldCount; ++i) {
        connect(m_fields[static_cast<std::size_t>(i)], &QLineEdit::textChanged, this,
                &MainWindow::onFieldsEdited);
        // A field takes dropped text; a dropped file is a design to open.
        m_fields[static_cast<std::size_t>(i)]->installEventFilter(this);
    }
    setAcceptDrops(true);
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
        const FieldRow row = createFieldRow(m_form, i, font);
        m_fields[static_cast<std::size_t>(i)] = row.field;
        m_captions[static_cast<std::size_t>(i)] = row.caption;
    }
    // Its colour alone tells nothing to a person who cannot see it: its name
    // says its state after its caption.
    m_clippingState = clippingWords(ClippingState::NotCalculatedYet);
    setName(*field(Field::ClippingIndicator),
            captionWithState(caption(Field::ClippingIndicator)->text(), m_clippingState));

    const WindowDesign design = windowDesign();
    m_requiredHeading = createLabel(m_form, design.requiredHeading, font, Qt::AlignLeft,
                                    QStringLiteral("requiredHeading"));
    m_calculatedHeading = createLabel(m_form, design.calculatedHeading, font, Qt::AlignLeft,
                                      QStringLiteral("calculatedHeading"));
    m_scalesHeading = createLabel(m_form, design.scalesHeading, font, Qt::AlignLeft,
                                  QStringLiteral("scalesHeading"));
    m_note = createLabel(m_form, design.note, font, Qt::AlignLeft, QStringLiteral("note"));
    m_calculateButton =
        createButton(m_form, design.calculateButton, QStringLiteral("calculateButton"));
    m_endButton = createButton(m_form, design.endButton, QStringLiteral("endButton"));
    connect(m_calculateButton, &QPushButton::clicked, this, &MainWindow::onCalculateClicked);
    connect(m_endButton, &QPushButton::clicked, this, &MainWindow::onEndClicked);

    m_graphView = new GraphView(m_form);
    m_graphView->setObjectName(QStringLiteral("graphView"));
    m_graphView->setAccessibleName(QStringLiteral("Graph"));
    m_graphView->setGeometry(design.graphView);
    connect(m_graphView, &GraphView::graphSaved, this, &MainWindow::onGraphSaved);
    connect(m_graphView, &GraphView::graphNotSaved, this, &MainWindow::onGraphNotSaved);
    connect(m_graphView, &GraphView::graphNotPrinted, this, &MainWindow::onGraphNotPrinted);

    m_announcement = new Announcement(this);
    m_announcement->setObjectName(QStringLiteral("announcement"));
}

void MainWindow::createMenus()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("fileMenu"));
    connect(addMenuAction(file, QStringLiteral("&Open Design..."),
                          QKeySequence::keyBindings(QKeySequence::Open),
                          QStringLiteral("openDesignAction")),
            &QAction::triggered, this, &MainWindow::onOpenDesignTriggered);
    connect(addMenuAction(file, QStringLiteral("&Save"),
                          QKeySequence::keyBindings(QKeySequence::Save),
                          QStringLiteral("saveAction")),
            &QAction::triggered, this, &MainWindow::onSaveTriggered);
    connect(
        addMenuAction(file, QStringLiteral("Save Design &As..."),
                      keysFor(QKeySequence::SaveAs, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)),
                      QStringLiteral("saveDesignAsAction")),
        &QAction::triggered, this, &MainWindow::onSaveDesignAsTriggered);
    m_recentMenu = file->addMenu(QStringLiteral("&Recent Designs"));
    m_recentMenu->setObjectName(QStringLiteral("recentDesignsMenu"));
    connect(m_recentMenu, &QMenu::aboutToShow, this, &MainWindow::onRecentMenuAboutToShow);
    file->addSeparator();
    connect(addMenuAction(file, QStringLiteral("&End"),
                          keysFor(QKeySequence::Quit, QKeySequence(Qt::CTRL | Qt::Key_Q)),
                          QStringLiteral("endAction")),
            &QAction::triggered, this, &MainWindow::onEndClicked);

    // The graph's own actions, as its context menu has them.
    QMenu* graph = menuBar()->addMenu(QStringLiteral("&Graph"));
    graph->setObjectName(QStringLiteral("graphMenu"));
    for (const char* name : {"copyGraphAction", "saveGraphAction", "printGraphAction"})
        graph->addAction(m_graphView->findChild<QAction*>(QLatin1String(name)));

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("helpMenu"));
    connect(
        addMenuAction(help, QStringLiteral("&About Tubebridge"), {}, QStringLiteral("aboutAction")),
        &QAction::triggered, this, &MainWindow::onAboutTriggered);
}

int MainWindow::menuBarHeight(int width) const
{
    const QMenuBar* bar = menuBar();
    if (bar->isNativeMenuBar() || bar->isHidden())
        return 0;
    const int height = bar->heightForWidth(width);
    return height >= 0 ? height : bar->sizeHint().height();
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
    // The form is what the menu bar leaves of it.
    const QSize client = windowHandle() != nullptr ? windowHandle()->size() : size();
    const int formHeight = std::max(0, client.height() - menuBarHeight(client.width()));
    const ControlLayout layout = computeLayout(client.width(), formHeight);

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
            if (saveFieldsTo(m_settings)) {
                markSaved();
                close();
            }
        },
        forFile(m_settings,
                "The settings were not saved. Your fields are kept and the program stays open.",
                "The design was not saved. Your fields are kept and the program stays open."));
}

bool MainWindow::saveFieldsTo(const SettingsFile& file, const QString& again)
{
    const AtomicWriteResult saved = file.save(persistedTexts());
    if (saved.ok())
        return true;
    m_messages->showSettingsProblem(
        forFile(file, "The settings could not be saved.", "The design could not be saved."),
        saveFailureMessage(saved, file.path(), file.role(), again));
    return false;
}

void MainWindow::markSaved()
{
    m_savedTexts = persistedTexts();
    setWindowModified(false);
}

void MainWindow::onFieldsEdited()
{
    setWindowModified(m_settings.role() == SettingsFile::Role::Design &&
                      persistedTexts() != m_savedTexts);
}

// A design names itself in the title bar, marked while its fields differ
// from its file; the settings file leaves it blank, and a screen reader
// still names the program.
void MainWindow::showFileInTitle()
{
    if (m_settings.role() == SettingsFile::Role::Design) {
        setWindowTitle(designName(m_settings) + QStringLiteral("[*] - Tubebridge"));
        setAccessibleName(designName(m_settings) + QStringLiteral(" - Tubebridge"));
    } else {
        setWindowTitle(QStringLiteral(" "));
        setAccessibleName(QStringLiteral("Tubebridge"));
    }
}

void MainWindow::onSaveTriggered()
{
    guarded(
        [this] {
            if (!saveFieldsTo(m_settings, QStringLiteral("save again")))
                return;
            markSaved();
            if (m_settings.role() == SettingsFile::Role::Design)
                noteRecentDesign(m_recentList, m_settings.path());
            m_announcement->announce(forFile(m_settings, "Settings saved", "Design saved"));
        },
        forFile(m_settings, "The settings were not saved. Your fields are kept.",
                "The design was not saved. Your fields are kept."));
}

void MainWindow::onSaveDesignAsTriggered()
{
    QFileDialog dialog(this, QStringLiteral("Save Design As"), startFolder(m_settings),
                       QStringLiteral("Tubebridge designs (*.tubebridge)"));
    dialog.setObjectName(QStringLiteral("saveDesignDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (m_settings.role() == SettingsFile::Role::Design)
        dialog.selectFile(designName(m_settings));
    QString path;
    while (path.isEmpty()) {
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return;
        path = designPathFor(dialog.selectedFiles().constFirst());
    }
    const SettingsFile design = SettingsFile::forDesign(path);
    guarded(
        [this, &design] {
            if (!saveFieldsTo(design, QStringLiteral("save again")))
                return;
            m_settings = design;
            showFileInTitle();
            markSaved();
            noteRecentDesign(m_recentList, m_settings.path());
            m_announcement->announce(QStringLiteral("Design saved as %1").arg(designName(design)));
        },
        QStringLiteral("The design was not saved. Your fields are kept."));
}

// Every dialog (Qt's own, GTK's, the portal, Windows') asks before replacing
// the file of the name it was given; where the suffix is added here, the
// question about that file is asked here. Empty: choose again.
QString MainWindow::designPathFor(const QString& chosen)
{
    const QString suffix = QStringLiteral(".tubebridge");
    if (chosen.endsWith(suffix, Qt::CaseInsensitive))
        return chosen;
    const QString path = chosen + suffix;
    if (!QFileInfo::exists(path))
        return path;
    return replaceConfirmed(this, QStringLiteral("Save Design As"), path) ? path : QString();
}

void MainWindow::onOpenDesignTriggered()
{
    const QString path = QFileDialog::getOpenFileName(
        this, QStringLiteral("Open Design"), startFolder(m_settings),
        QStringLiteral("Tubebridge designs (*.tubebridge);;All files (*)"));
    if (!path.isEmpty())
        openDesign(path);
}

// In a window of its own, as from the command line; this one stays as it is.
void MainWindow::openDesign(const QString& path)
{
    const QString problem = designFileProblem(path);
    if (!problem.isEmpty()) {
        m_messages->showSettingsProblem(QStringLiteral("The design could not be opened."), problem);
        return;
    }
    // A design open in a window already is shown there: two windows on one
    // file would each save over the other's changes.
    const SettingsFile design = SettingsFile::forDesign(path);
    for (QWidget* shown : QApplication::topLevelWidgets())
        if (auto* open = qobject_cast<MainWindow*>(shown);
            open != nullptr && open->isVisible() &&
            open->m_settings.role() == SettingsFile::Role::Design &&
            samePath(open->m_settings.path(), design.path())) {
            open->raise();
            open->activateWindow();
            return;
        }
    auto* window = new MainWindow(design);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->m_recentList = m_recentList;
    window->show();
    noteRecentDesign(m_recentList, window->m_settings.path());
}

void MainWindow::onRecentMenuAboutToShow()
{
    m_recentMenu->clear();
    const QStringList designs = readRecentDesigns(m_recentList);
    int number = 0;
    for (const QString& path : designs) {
        ++number;
        QString shown = QDir::toNativeSeparators(path);
        shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* action = m_recentMenu->addAction(QStringLiteral("&%1 %2").arg(number).arg(shown));
        // One that is gone stays in its place, greyed.
        action->setEnabled(QFileInfo(path).isFile());
        connect(action, &QAction::triggered, this, [this, path] { openDesign(path); });
    }
    if (designs.isEmpty())
        m_recentMenu->addAction(QStringLiteral("No recent designs"))->setEnabled(false);
}

void MainWindow::onAboutTriggered()
{
    auto* box = new QMessageBox(QMessageBox::Information, QStringLiteral("About Tubebridge"),
                                aboutText(), QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("aboutBox"));
    box->setTextFormat(Qt::PlainText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (!isWindowModified()) {
        // Its messages go with it, also while other windows stay open.
        for (QMessageBox* box : findChildren<QMessageBox*>())
            box->close();
        event->accept();
        return;
    }
    event->ignore();
    askToSaveChanges();
}

// Not modal, as the window's messages are not: the window stays open until
// an answer closes it.
void MainWindow::askToSaveChanges()
{
    if (auto* open = findChild<QMessageBox*>(QStringLiteral("closeQuestion"))) {
        open->raise();
        open->activateWindow();
        return;
    }
    auto* box =
        new QMessageBox(QMessageBox::Question, QStringLiteral("Tubebridge"),
                        QStringLiteral("Save changes to %1?").arg(designName(m_settings)),
                        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
    box->setObjectName(QStringLiteral("closeQuestion"));
    box->setTextFormat(Qt::PlainText);
    box->setDefaultButton(QMessageBox::Save);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    connect(box, &QMessageBox::finished, this, [this, box] {
        switch (box->standardButton(box->clickedButton())) {
        case QMessageBox::Save:
            onEndClicked();
            break;
        case QMessageBox::Discard:
            markSaved();
            close();
            break;
        default:
            break;
        }
    });
    box->show();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (!localFiles(*event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event)
{
    openDroppedDesigns(*event->mimeData());
    event->acceptProposedAction();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop: {
        auto* drag = static_cast<QDropEvent*>(event);
        if (localFiles(*drag->mimeData()).isEmpty())
            break;
        drag->acceptProposedAction();
        if (event->type() == QEvent::Drop)
            openDroppedDesigns(*drag->mimeData());
        return true;
    }
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::openDroppedDesigns(const QMimeData& data)
{
    // After the drop has ended: a new window, or a message, while the
    // source still waits for the answer would be in its way.
    const QStringList files = localFiles(data);
    QTimer::singleShot(0, this, [this, files] {
        for (const QString& path : files)
            openDesign(path);
    });
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

void MainWindow::onGraphNotPrinted(const QString& file, const QString& cause)
{
    QString detail;
    if (file.isEmpty())
        detail = QStringLiteral("The printer could not be opened. Check that it is connected and "
                                "ready, then print again.");
    else if (cause.isEmpty())
        detail = QStringLiteral("The file %1 could not be written: its folder may not exist, or "
                                "you may not write to it. Choose another file, then print again.")
                     .arg(QDir::toNativeSeparators(file));
    else
        detail = cause + QStringLiteral("\n\nAny file that was at %1 is as it was before. Choose "
                                        "another file, or print again when that is done.")
                             .arg(QDir::toNativeSeparators(file));
    m_messages->showGraphProblem(QStringLiteral("The graph could not be printed."), detail);
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
