#include "GraphView.h"

#include "DescribeGraph.h"
#include "FontMeasure.h"
#include "GraphFiles.h"
#include "GraphPainter.h"
#include "GraphPicture.h"
#include "SettingsMessages.h"
#include "WindowMessages.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QImageWriter>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPaintEvent>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QResizeEvent>
#include <QStandardPaths>
#include <QStyleOptionFocusRect>

#include <algorithm>
#include <cmath>

namespace tb {

namespace {

constexpr double InchesPerMetre = 1 / 0.0254;

// Rounded up, so that the image covers the whole view at a fractional ratio.
QSize deviceSize(const QSize& logicalSize, qreal ratio)
{
    return {static_cast<int>(std::ceil(logicalSize.width() * ratio)),
            static_cast<int>(std::ceil(logicalSize.height() * ratio))};
}

QImage blackImage(const QSize& logicalSize, qreal ratio)
{
    const int border = GraphView::deviceBorder(ratio);
    QImage image(deviceSize(logicalSize, ratio) + QSize(border, border), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::black);
    return image;
}

QAction* addGraphAction(QWidget* view, const QString& text, const QList<QKeySequence>& keys,
                        const QString& name, Qt::ShortcutContext context)
{
    auto* action = new QAction(text, view);
    action->setObjectName(name);
    action->setShortcuts(keys);
    action->setShortcutContext(context);
    action->setEnabled(false);
    view->addAction(action);
    return action;
}

// The user's Pictures folder, or the home folder where there is none.
QString picturesFolder()
{
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return QFileInfo(pictures).isDir() ? pictures : QDir::homePath();
}

// The save dialog's filters, in the order offered, and the format each saves.
struct Filter {
    const char* text;
    GraphView::Format format;
    const char* extension;
};
constexpr Filter Filters[] = {
    {"PNG image (*.png)", GraphView::Format::Png, "png"},
    {"SVG drawing (*.svg)", GraphView::Format::Svg, "svg"},
    {"PDF document (*.pdf)", GraphView::Format::Pdf, "pdf"},
};

bool savesAFormat(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return std::any_of(std::begin(Filters), std::end(Filters), [&suffix](const Filter& filter) {
        return suffix == QLatin1String(filter.extension);
    });
}

const Filter& filterOf(GraphView::Format format)
{
    for (const Filter& filter : Filters)
        if (filter.format == format)
            return filter;
    return Filters[0];
}

} // namespace

GraphView::GraphView(QWidget* parent)
    : QWidget(parent)
    // Copy only while the graph has the focus: in a field, Ctrl+C copies its
    // text. Save and print are the graph's wherever the focus is in its window.
    , m_copyAction(addGraphAction(this, QStringLiteral("&Copy Graph"),
                                  QKeySequence::keyBindings(QKeySequence::Copy),
                                  QStringLiteral("copyGraphAction"), Qt::WidgetShortcut))
    // Save As is the design's: saving the graph is an export, Ctrl+Shift+E.
    , m_saveAction(addGraphAction(this, QStringLiteral("&Save Graph As..."),
                                  {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E)},
                                  QStringLiteral("saveGraphAction"), Qt::WindowShortcut))
    , m_printAction(addGraphAction(this, QStringLiteral("&Print Graph..."),
                                   QKeySequence::keyBindings(QKeySequence::Print),
                                   QStringLiteral("printGraphAction"), Qt::WindowShortcut))
    , m_saveFolder(picturesFolder())
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::TabFocus);
    connect(m_copyAction, &QAction::triggered, this, &GraphView::copyGraph);
    connect(m_saveAction, &QAction::triggered, this, &GraphView::saveGraphAs);
    connect(m_printAction, &QAction::triggered, this, &GraphView::printGraph);
}

GraphView::~GraphView() = default;

QSize GraphView::sizeHint() const
{
    return {553, 297};
}

void GraphView::draw(const GraphSettings& settings, const StageVariables& stage,
                     const QFont& windowFont)
{
    fitImage();
    const FontMeasure measure(font(), windowFont, &m_image);
    m_picture =
        std::make_unique<const GraphPicture>(describeGraph(settings, stage, size(), measure));
    for (QAction* action : {m_copyAction, m_saveAction, m_printAction})
        action->setEnabled(true);
    {
        QPainter painter(&m_image);
        paintGraph(painter, *m_picture, font(), fontDpi(),
                   deviceBorder(m_image.devicePixelRatio()));
    }
    update();
    if (m_picture->error)
        std::rethrow_exception(m_picture->error);
}

bool GraphView::hasGraph() const noexcept
{
    return m_picture != nullptr;
}

int GraphView::deviceBorder(qreal ratio)
{
    // 16 logical pixels, never less than 16 device pixels.
    return static_cast<int>(std::ceil(16 * std::max(ratio, 1.0)));
}

QImage GraphView::image() const
{
    return m_image.isNull() ? QImage() : m_image.copy(shownPart());
}

QRect GraphView::shownPart() const
{
    const qreal ratio = m_image.devicePixelRatio();
    const int border = deviceBorder(ratio);
    return {QPoint(border, border), m_image.size() - QSize(border, border)};
}

double GraphView::fontDpi() const
{
    return m_image.logicalDpiY();
}

QByteArray GraphView::fileBytes(Format format) const
{
    if (!m_picture)
        return {};
    switch (format) {
    case Format::Svg:
        return graphSvg(*m_picture, font(), fontDpi());
    case Format::Pdf:
        return graphPdf(*m_picture, font(), fontDpi());
    case Format::Png:
        break;
    }
    // Prints at the size it has on screen: the logical resolution times the
    // device pixels per logical pixel.
    QImage shown = image();
    const int dotsPerMetre = static_cast<int>(
        std::lround(m_image.logicalDpiX() * m_image.devicePixelRatio() * InchesPerMetre));
    shown.setDotsPerMeterX(dotsPerMetre);
    shown.setDotsPerMeterY(dotsPerMetre);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(shown))
        return {};
    return bytes;
}

GraphView::PrintOutcome GraphView::printOn(QPrinter& printer) const
{
    if (!m_picture)
        return {};
    const QString file = printer.outputFileName();
    if (file.isEmpty() || printer.outputFormat() != QPrinter::PdfFormat) {
        QPainter painter;
        if (!painter.begin(&printer))
            return {};
        paintPage(painter, printer.pageLayout(), printer.resolution());
        return {painter.end(), {}};
    }
    // A full disk would leave half a PDF written in place: made whole here
    // first, then put in place as a save is, or not at all.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setTitle(printer.docName());
        pdf.setResolution(printer.resolution());
        pdf.setPageLayout(printer.pageLayout());
        QPainter painter(&pdf);
        paintPage(painter, pdf.pageLayout(), pdf.resolution());
    }
    const AtomicWriteResult written = writeFileAtomically(file, bytes, MissingFolders::Refuse);
    return {written.ok(), written.ok() ? QString() : saveFailureCause(written, file)};
}

void GraphView::paintPage(QPainter& painter, const QPageLayout& layout, int resolution) const
{
    const QRectF page(QPointF(0, 0), layout.paintRectPixels(resolution).size());
    const QSizeF size = m_picture->size;
    const double scale = std::min(page.width() / size.width(), page.height() / size.height());
    painter.translate((page.width() - size.width() * scale) / 2,
                      (page.height() - size.height() * scale) / 2);
    painter.scale(scale, scale);
    paintGraph(painter, *m_picture, font(), fontDpi());
}

GraphView::Format GraphView::formatOf(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    for (const Filter& filter : Filters)
        if (suffix == QLatin1String(filter.extension))
            return filter.format;
    return Format::Png;
}

GraphView::SaveOutcome GraphView::saveTo(const QString& path) const
{
    const QByteArray bytes = fileBytes(formatOf(path));
    if (bytes.isEmpty())
        return {};
    // A folder that is not there is a mistake in the name, not one to make.
    return {true, writeFileAtomically(path, bytes, MissingFolders::Refuse)};
}

void GraphView::copyGraph()
{
    if (!m_picture)
        return;
    auto* data = new QMimeData;
    // The pixels as one PNG, made here: offered as an image, Qt encodes it
    // anew in every format it knows for whoever asks, and a clipboard
    // manager asking for them all outlasted Qt's wait on the way out (5 s
    // after End, on Debian 13).
    data->setData(QStringLiteral("image/png"), fileBytes(Format::Png));
#ifdef Q_OS_WIN
    // Windows programs paste a bitmap (CF_DIB), which only an image gives.
    QImage shown = image();
    shown.setDevicePixelRatio(1.0); // the device pixels, one for one
    data->setImageData(shown);
#endif
    data->setData(QStringLiteral("image/svg+xml"), fileBytes(Format::Svg));
    QApplication::clipboard()->setMimeData(data);
}

void GraphView::saveGraphAs()
{
    if (!m_picture)
        return;
    QString name = QDir(m_saveFolder).filePath(QStringLiteral("Tubebridge graph.png"));
    std::optional<QString> path;
    while (!path) {
        const SaveDialogAnswer answer = askSavePath(name);
        if (answer.path.isEmpty())
            return;
        // A platform's dialog may have asked about the name as typed, before
        // the filter's extension was added: the name to be written is asked
        // about here, as the dialog would have.
        if (answer.askedAbout != answer.path && QFileInfo::exists(answer.path) &&
            !replaceConfirmed(this, QStringLiteral("Save Graph As"), answer.path))
            name = answer.path;
        else
            path = answer.path;
    }
    m_saveFolder = QFileInfo(*path).absolutePath();
    const SaveOutcome saved = saveTo(*path);
    if (!saved.made)
        emit graphNotSaved(*path, QStringLiteral("The graph could not be made into a file of "
                                                 "that format, so nothing was written."));
    else if (saved.written.ok())
        emit graphSaved(*path);
    else
        emit graphNotSaved(*path, saveFailureCause(saved.written, *path));
}

GraphView::SaveDialogAnswer GraphView::askSavePath(const QString& name)
{
    QStringList filters;
    for (const Filter& filter : Filters)
        filters << QLatin1String(filter.text);
    QFileDialog dialog(this, QStringLiteral("Save Graph As"));
    dialog.setObjectName(QStringLiteral("saveGraphDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(filters);
    // A name typed without an extension takes the chosen filter's, and the
    // dialog asks before replacing the file of that name.
    const Filter& chosen = filterOf(GraphView::formatOf(name));
    dialog.selectNameFilter(QLatin1String(chosen.text));
    dialog.setDefaultSuffix(QLatin1String(chosen.extension));
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& text) {
        for (const Filter& filter : Filters)
            if (text == QLatin1String(filter.text))
                dialog.setDefaultSuffix(QLatin1String(filter.extension));
    });
    dialog.setDirectory(QFileInfo(name).absolutePath());
    dialog.selectFile(QFileInfo(name).fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    SaveDialogAnswer answer{dialog.selectedFiles().constFirst(), {}};
    // Qt's own dialog asked about the name with its extension; a platform's
    // dialog (one without Qt's widgets) about the name without it.
    if (dialog.findChild<QLineEdit*>() != nullptr) {
        answer.askedAbout = answer.path;
    } else {
        dialog.setDefaultSuffix(QString());
        answer.askedAbout = dialog.selectedFiles().value(0);
    }
    // Never one kind of file under another's name: x.jpg is saved as
    // x.jpg.png, and that name is asked about here.
    if (!savesAFormat(answer.path)) {
        answer.askedAbout = answer.path;
        for (const Filter& filter : Filters)
            if (dialog.selectedNameFilter() == QLatin1String(filter.text))
                answer.path += QLatin1Char('.') + QLatin1String(filter.extension);
    }
    return answer;
}

void GraphView::printGraph()
{
    if (!m_picture)
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Tubebridge graph"));
    QPrintDialog dialog(&printer, this);
    dialog.setObjectName(QStringLiteral("printDialog"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (const PrintOutcome outcome = printOn(printer); !outcome.printed)
        emit graphNotPrinted(printer.outputFileName(), outcome.cause);
}

void GraphView::openMenu(const QPoint& globalPos)
{
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("graphMenu"));
    menu.addActions({m_copyAction, m_saveAction, m_printAction});
    menu.exec(globalPos);
}

void GraphView::contextMenuEvent(QContextMenuEvent* event)
{
    openMenu(event->reason() == QContextMenuEvent::Mouse ? event->globalPos()
                                                         : mapToGlobal(rect().center()));
}

void GraphView::keyPressEvent(QKeyEvent* event)
{
    const bool shiftF10 = event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier;
    if (shiftF10 || event->key() == Qt::Key_Menu) {
        openMenu(mapToGlobal(rect().center()));
        return;
    }
    QWidget::keyPressEvent(event);
}

void GraphView::focusInEvent(QFocusEvent* event)
{
    update();
    QWidget::focusInEvent(event);
}

void GraphView::focusOutEvent(QFocusEvent* event)
{
    update();
    QWidget::focusOutEvent(event);
}

void GraphView::paintEvent(QPaintEvent* event)
{
    // The painter is clipped to the exposed region; at the screen's ratio the
    // image's pixels are the screen's pixels.
    QPainter painter(this);
    if (m_image.isNull())
        painter.fillRect(event->rect(), Qt::black); // nothing drawn yet
    else
        painter.drawImage(QPointF(0, 0), m_image, shownPart());
    // On screen only, never in what is taken away: the style's focus frame,
    // kept to the edge (some styles fill what they frame), and the
    // highlight's colour along it, which stands out on the black ground
    // where a style's own frame is faint.
    if (hasFocus()) {
        QStyleOptionFocusRect frame;
        frame.initFrom(this);
        frame.rect = rect();
        frame.backgroundColor = Qt::black;
        const int edge = std::max(2, style()->pixelMetric(QStyle::PM_FocusFrameHMargin));
        painter.setClipRegion(
            QRegion(rect()).subtracted(rect().adjusted(edge, edge, -edge, -edge)));
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &frame, &painter, this);
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
    }
}

void GraphView::resizeEvent(QResizeEvent* /*event*/)
{
    // Before the first drawing there is nothing to keep. A resize that arrives
    // while the graph is painted on the image waits for the next drawing.
    if (!m_image.isNull() && !m_image.paintingActive())
        fitImage();
}

void GraphView::fitImage()
{
    const qreal ratio = devicePixelRatioF();
    if (!m_image.isNull() && m_image.devicePixelRatio() == ratio &&
        shownPart().size() == deviceSize(size(), ratio))
        return;
    QImage fitted = blackImage(size(), ratio);
    if (!m_image.isNull()) {
        QPainter painter(&fitted);
        painter.drawImage(QPointF(0, 0), m_image);
    }
    m_image = std::move(fitted);
}

} // namespace tb
