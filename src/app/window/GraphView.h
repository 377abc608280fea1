#pragma once

#include "FileSystem.h"
#include "GraphSettings.h"
#include "StageVariables.h"

#include <QFont>
#include <QImage>
#include <QWidget>

#include <optional>

class QAction;
class QPainter;
class QPrinter;

namespace tb {

class QtDrawingSurface;
struct GraphVectorPass;

// The graph: it draws itself from what a press gives it, and keeps that, so
// that the same pass can run again as vectors for a file or a printer.
//
// Everything is drawn into an image it keeps at the screen's device pixel
// ratio, so the graph is sharp at any scale factor and survives being covered
// or minimised; painting only copies that image 1:1 onto the screen (and,
// while the view has the focus, the style's focus frame over it). Until the
// first pass there is no image: the box shows its black ground, and start-up
// neither makes nor resizes one. The image has the drawing surface's border
// above and to the left.
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

    // Draws the graph of a press and keeps what it drew from. Raises the
    // pass's run-time error, after the box shows what was drawn until then.
    // windowFont is the font the window measures text heights in.
    void draw(const GraphSettings& settings, const StageVariables& stage, const QFont& windowFont);
    // Whether a press has drawn (part of) a graph to take away.
    [[nodiscard]] bool hasGraph() const noexcept;

    // What the box shows, in the screen's device pixels: null before the
    // first pass.
    [[nodiscard]] QImage image() const;
    // The graph as a file of the format: a PNG of the pixels shown with the
    // resolution that prints them at their size on screen, or the pass drawn
    // again as SVG or PDF. Empty before the first pass, or for SVG where the
    // build has none.
    [[nodiscard]] QByteArray fileBytes(Format format) const;
    // The pass drawn again on a printer's page, as large as it allows; false
    // when the printer (or its output file) could not be opened.
    [[nodiscard]] bool printOn(QPrinter& printer) const;
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
    // What the last press drew from, for a vector surface; only once a
    // press has drawn.
    [[nodiscard]] GraphVectorPass vectorPass() const;

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
    void graphNotPrinted(const QString& file);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // What the last press drew from, and in what box.
    struct Pass {
        GraphSettings settings;
        StageVariables stage;
        QFont windowFont;
        QSize size;
    };

    // Starts a drawing pass on the kept image, first made or fitted to the
    // box's current size and device pixel ratio. The box is repainted when
    // the surface goes, also when the pass ends with a run-time error.
    [[nodiscard]] QtDrawingSurface beginPass(const QFont& windowFont);
    void openMenu(const QPoint& globalPos);
    // The name the save dialog gave, with the extension of its filter where
    // none was typed (empty when cancelled), and the name it asked about
    // before replacing a file.
    struct SaveDialogAnswer {
        QString path;
        QString askedAbout;
    };
    [[nodiscard]] SaveDialogAnswer askSavePath(const QString& name);
    [[nodiscard]] bool replaceConfirmed(const QString& path);
    // Gives the image the box's size and its border at its device pixel
    // ratio, keeping what is drawn.
    void fitImage();
    // The part of the image the box shows, in its device pixels.
    [[nodiscard]] QRect shownPart() const;

    QImage m_image;
    std::optional<Pass> m_pass;
    QAction* m_copyAction;
    QAction* m_saveAction;
    QAction* m_printAction;
    QString m_saveFolder;
};

} // namespace tb
