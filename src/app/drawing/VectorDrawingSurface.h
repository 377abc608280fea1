#pragma once

#include "DrawingSurface.h"

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QPointF>
#include <QSet>
#include <QSizeF>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <tuple>
#include <unordered_set>
#include <vector>

class QPainter;

namespace tb {

// Draws a pass as vectors on any painter (an SVG or PDF file, a printer), in
// the box's logical pixels: lines of one logical pixel's weight covering the
// same cells as on screen, texts as text in the box's font, measured as on
// screen so that every label stands where the screen shows it.
//
// The screen shows no more than its device pixels: a mark that would cover
// the same device pixels as one already drawn is left out, and where the
// marks of a lattice column stand closer than a device pixel they are drawn
// as the area they cover together. So a dense lattice of billions of marks
// makes a file of a few thousand shapes, while the marks of an ordinary
// lattice are each drawn as the line it is.
class VectorDrawingSurface final : public DrawingSurface {
public:
    struct Box {
        QSizeF size;            // outer, in logical pixels
        QFont font;             // the box's, as on screen
        QFontMetricsF metrics;  // the box's font as measured on screen
        QFontMetricsF window;   // the window's font, for text heights
        qreal devicePixelRatio; // of the screen the box is shown on
        qreal measuredDpi;      // the logical dots per inch the fonts were measured at
    };

    // The painter is active; its device is in logical pixels of the box, or
    // scaled to them by the painter's own transform.
    VectorDrawingSurface(QPainter& painter, Box box);

    void setBackColor(Color color) override;
    void setForeColor(Color color) override;
    void clear() override;

    [[nodiscard]] float outerWidth() const override;
    [[nodiscard]] float outerHeight() const override;

    void line(float x1, float y1, float x2, float y2) override;
    void setTextPosition(float x, float y) override;
    [[nodiscard]] double textWidth(const QString& text) const override;
    [[nodiscard]] double textHeight(const QString& text) const override;
    void print(const QString& text) override;

    void latticeColumn(const LatticeColumn& column) override;

private:
    // A run of lattice rows whose marks touch or overlap on screen: first
    // and last are the row positions, count how many distinct device rows.
    struct Run {
        double first = 0.0;
        double last = 0.0;
        int count = 0;
    };
    // The rows inside the lattice, as every column of a pass shares them.
    struct Rows {
        double lastRow = 0.0;
        double spacing = 0.0;
        std::int16_t minorTicks = 0;
        std::int16_t tickUnit = 0;
        std::vector<Run> labeled;     // horizontal grid marks
        std::vector<Run> all;         // vertical grid marks, each reaching tickUnit either way
        std::vector<Run> labeledEdge; // an edge's long ticks
        std::vector<Run> minorEdge;   // an edge's short ticks
    };
    using ColumnKey = std::tuple<bool, std::int64_t, bool, std::int64_t, std::int64_t, std::int64_t,
                                 std::int64_t>;

    [[nodiscard]] std::int64_t device(double v) const noexcept;
    [[nodiscard]] const Rows& rowsOf(const LatticeColumn& column);
    void drawLine(double x1, double y1, double x2, double y2);
    // Cells from (left, top) to (right, bottom), both included, as a block.
    void fillCells(double left, double top, double right, double bottom);
    void horizontalRuns(const std::vector<Run>& runs, double from, double to);
    void verticalRuns(const std::vector<Run>& runs, double x, std::int16_t reach);

    QPainter& m_painter;
    Box m_box;
    QFont m_font;
    QColor m_back = Qt::black;
    QColor m_fore = Qt::white;
    QPointF m_textPos;
    std::optional<Rows> m_rows;
    std::optional<ColumnKey> m_lastColumn;
    // What is drawn already: lines by colour and device pixels, texts by
    // colour, device pixel and text.
    struct LineKeyHash {
        std::size_t operator()(const std::array<std::int64_t, 5>& key) const noexcept;
    };
    std::unordered_set<std::array<std::int64_t, 5>, LineKeyHash> m_lines;
    QSet<QString> m_texts;
};

} // namespace tb
