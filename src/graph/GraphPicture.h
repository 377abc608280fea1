#pragma once

#include "Color.h"
#include "Lattice.h"
#include "PlotGeometry.h"

#include <QPointF>
#include <QSizeF>
#include <QString>

#include <cstdint>
#include <exception>
#include <optional>
#include <vector>

namespace tb {

// What one press draws, in the order it is drawn: the black ground, the
// three traces, the white frame, the legend, the tick lattice, the labels
// and the title. Coordinates are the view's logical pixels, origin top left.
// A run-time error stops the description where the drawing stops: what comes
// after it is absent, and error holds it.
struct GraphPicture {
    // One sample of a trace: its exact place and the whole pixel the screen
    // draws it at. The segment from the sample before is drawn when this one
    // lies inside the plot area and on another pixel.
    struct Point {
        QPointF exact;
        std::int32_t x = 0;
        std::int32_t y = 0;
        bool inside = false;
        bool drawn = false;
    };
    // The first point is where the trace starts, at the plot's left edge.
    struct Trace {
        Color color;
        std::vector<Point> points;
    };
    // A text whose top-left corner stands at position.
    struct Text {
        QString text;
        QPointF position;
        Color color = colors::White;
    };
    struct LegendRow {
        Color color;
        std::int16_t lineStart = 0;
        std::int16_t lineEnd = 0;
        std::int16_t y = 0;
        Text text;
    };

    QSizeF size;
    double textAscent = 0.0;
    std::optional<PlotGeometry> geometry; // nothing but the ground without it
    std::vector<Trace> traces;
    bool frame = false;
    std::vector<LegendRow> legend;
    std::optional<Lattice> lattice;
    std::vector<Text> labels; // the Y labels, then the X labels, then the title
    std::exception_ptr error;
};

} // namespace tb
