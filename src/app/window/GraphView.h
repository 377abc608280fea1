#pragma once

#include "FileSystem.h"

#include <QFont>
#include <QImage>
#include <QWidget>

#include <memory>

class QAction;
class QPageLayout;
class QPainter;
class QPrinter;

namespace tb {

struct GraphPicture;
struct GraphSettings;
struct StageVariables;

// The graph: it draws itself from what a press gives it, and keeps what it
// drew, so that the same drawing can be painted again as vectors for a file
// or a printer.
//
// Everything is drawn into an image it keeps at the screen's device pixel
// ratio, so the graph is sharp at any scale factor and survives being covered
// or minimised; painting only copies that image 1:1 onto the screen (and,
// while the view has the focus, the style's focus frame over it). Until the
// first drawing there is no image: the view shows its black ground, and start-up
// neither makes nor resizes one. The image has a border above and to the
// left, drawn on but never shown (Near an image's own top and left edge Qt can
// set a line's edge pixel or not on a rounding that depends on where the line
// runs along it; with the border, nothing drawn in the view lies there).
//
// Its context menu (the right button, the menu key, Shift+F10) and its keys
// while it has the focus (Copy, Ctrl+Shift+E, Print) copy, save and print the
// graph as the last press left it; before the first press they are disabled.
// The window's Graph menu holds the same actions.
class GraphView : public QWidget {
    Q_OBJECT

public:
    // Where a save finds its format: the file name's extension.
    enum class Format { Png, Svg, Pdf };

    explicit GraphView(QWidget* parent = nullptr);
    ~GraphView() override;

    [[nodiscard]] QSize sizeHint() const override;

    // Draws the graph of a press and keeps it. Raises the drawing's run-time
    // error, after the view shows what was drawn until then.
    // windowFont is the font the window measures text heights in.
    void draw(const GraphSettings& settings, const StageVariables& stage, const QFont& windowFont);
    // Whether a press has drawn (part of) a graph to take away.
    [[nodiscard]] bool hasGraph() const noexcept;

    // What the view shows, in the screen's device pixels: null before the
    // first drawing.
    [[nodiscard]] QImage image() const;
    // The graph as a file of the format: a PNG of the pixels shown with the
    // resolution that prints them at their size on screen, or the drawing
    // as SVG or PDF. Empty before the first drawing.
    [[nodiscard]] QByteArray fileBytes(Format format) const;
    // What a print did: printed, or why not (a cause to tell; empty where a
    // printer could not be opened).
    struct PrintOutcome {
        bool printed = false;
        QString cause;
    };
    // The drawing on a printer's page, as large as it allows. Printed to a
    // PDF file, the file is made whole first and replaced in one step, as a
    // save is.
    [[nodiscard]] PrintOutcome printOn(QPrinter& printer) const;
    // What a save did: nothing where the graph could not be made into the
    // format (made is false), else what the write gave.
    struct SaveOutcome {
        bool made = false;
        AtomicWriteResult written{};
    };
    // Replaces the file at path with the graph in one step, in the format
    // of path's extension (PNG where it has none it knows).
    [[nodiscard]] SaveOutcome saveTo(const QString& path) const;
    [[nodiscard]] static Format formatOf(const QString& path);
    // The image's border, in device pixels at the given ratio.
    [[nodiscard]] static int deviceBorder(qreal ratio);

public slots:
    void copyGraph();
    void saveGraphAs();
    void printGraph();

signals:
    // After "Save Graph As...": the file written, or why it was not.
    void graphSaved(const QString& path);
    void graphNotSaved(const QString& path, const QString& cause);
    // After "Print Graph...": the printer, or the file printed to, could not
    // be opened (that file, or empty for a printer).
    void graphNotPrinted(const QString& file, const QString& cause);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void openMenu(const QPoint& globalPos);
    // The drawing centred on a page of that layout, as large as it allows.
    void paintPage(QPainter& painter, const QPageLayout& layout, int resolution) const;
    // The name the save dialog gave, with the extension of its filter where
    // none was typed (empty when cancelled), and the name it asked about
    // before replacing a file.
    struct SaveDialogAnswer {
        QString path;
        QString askedAbout;
    };
    [[nodiscard]] SaveDialogAnswer askSavePath(const QString& name);
    // Gives the image the view's size and its border at its device pixel
    // ratio, keeping what is drawn.
    void fitImage();
    // The part of the image the view shows, in its device pixels.
    [[nodiscard]] QRect shownPart() const;

    // The fonts' dots per inch on the image: vector files size their texts
    // by it.
    [[nodiscard]] double fontDpi() const;

    QImage m_image;
    // What the last press drew, for the files and the printer.
    std::unique_ptr<const GraphPicture> m_picture;
    QAction* m_copyAction;
    QAction* m_saveAction;
    QAction* m_printAction;
    QString m_saveFolder;
};

} // namespace tb
