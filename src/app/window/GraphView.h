#pragma once

#include "QtDrawingSurface.h"

#include <QImage>
#include <QWidget>

class QFont;

namespace tb {

// The graph's drawing surface on screen. Everything is drawn into an image it
// keeps at the screen's device pixel ratio, so the graph is sharp at any scale
// factor and survives being covered or minimised; painting only copies that
// image 1:1 onto the screen. Until the first pass there is no image: the box
// shows its black ground, and start-up neither makes nor resizes one.
// The image has the drawing surface's border above and to the left.
class GraphView : public QWidget {
    Q_OBJECT

public:
    explicit GraphView(QWidget* parent = nullptr);

    [[nodiscard]] QSize sizeHint() const override;

    // Starts a drawing pass on the kept image, first made or fitted to the
    // box's current size and device pixel ratio. The box is repainted when the
    // surface goes, also when the pass ends with a run-time error.
    // windowFont is the font the window measures text heights in.
    [[nodiscard]] QtDrawingSurface beginPass(const QFont& windowFont);
    // What the box shows of the image: null before the first pass.
    [[nodiscard]] QImage image() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Gives the image the box's size and its border at its device pixel
    // ratio, keeping what is drawn.
    void fitImage();
    // The part of the image the box shows, in its device pixels.
    [[nodiscard]] QRect shownPart() const;

    QImage m_image;
};

} // namespace tb
