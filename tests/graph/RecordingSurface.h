#pragma once

#include "GraphPicture.h"
#include "TextMeasure.h"

#include <QString>

#include <vector>

namespace tb {

// A fixed character width and text height make label positions exactly
// predictable.
class FixedMeasure final : public TextMeasure {
public:
    static constexpr double CharWidth = 7.0;
    static constexpr double TextHeight = 12.0;
    [[nodiscard]] double width(const QString& text) const override
    {
        return CharWidth * static_cast<double>(text.size());
    }
    [[nodiscard]] double lineHeight() const override { return TextHeight; }
    [[nodiscard]] double ascent() const override { return 0.0; }
};

// A drawing as the screen takes it, operation by operation, or one of its
// parts; or built by hand, call by call.
class RecordingSurface {
public:
    enum class Kind { Clear, Line, Print };
    enum class Part { All, Traces, Legend, Lattice, Labels };

    struct Op {
        Kind kind{};
        Color color{};                        // the foreground colour of a line or text
        float x1 = 0, y1 = 0, x2 = 0, y2 = 0; // a line, or a text's position in x1, y1
        QString text{};
    };

    RecordingSurface() = default;
    explicit RecordingSurface(const GraphPicture& p, Part part = Part::All)
    {
        const auto wanted = [part](Part p) { return part == Part::All || part == p; };
        if (part == Part::All)
            m_ops.push_back({Kind::Clear, colors::Black});
        std::size_t samples = 0;
        for (const GraphPicture::Trace& t : p.traces)
            samples = std::max(samples, t.points.size());
        for (std::size_t i = 1; i < samples && wanted(Part::Traces); ++i)
            for (const GraphPicture::Trace& t : p.traces)
                if (i < t.points.size() && t.points[i].drawn)
                    line(t.color, float(t.points[i - 1].x), float(t.points[i - 1].y),
                         float(t.points[i].x), float(t.points[i].y));
        if (p.frame && part == Part::All) {
            const auto left = float(p.geometry->plotLeft);
            const auto right = float(p.geometry->graphWidth);
            const auto bottom = float(p.geometry->plotBottom);
            line(colors::White, left, 0, left, bottom);
            line(colors::White, left, bottom, right, bottom);
            line(colors::White, right, bottom, right, 0);
            line(colors::White, right, 0, left, 0);
        }
        for (const GraphPicture::LegendRow& row :
             wanted(Part::Legend) ? p.legend : decltype(p.legend){}) {
            line(row.color, row.lineStart, row.y, row.lineEnd, row.y);
            print(row.text);
        }
        for (int i = 0; p.lattice && wanted(Part::Lattice) && i < p.lattice->columns; ++i)
            forEachMark(*p.lattice, latticeColumn(*p.lattice, i),
                        [this](const LatticeMark& m) { line(m.color, m.x1, m.y1, m.x2, m.y2); });
        for (const GraphPicture::Text& label :
             wanted(Part::Labels) ? p.labels : decltype(p.labels){})
            print(label);
    }

    void setForeColor(Color c) { m_fore = c; }
    void line(float x1, float y1, float x2, float y2)
    {
        m_ops.push_back({Kind::Line, m_fore, x1, y1, x2, y2});
    }

    [[nodiscard]] const std::vector<Op>& ops() const { return m_ops; }
    [[nodiscard]] std::vector<Op> ofKind(Kind kind) const
    {
        std::vector<Op> out;
        for (const Op& op : m_ops)
            if (op.kind == kind)
                out.push_back(op);
        return out;
    }

private:
    void line(Color c, float x1, float y1, float x2, float y2)
    {
        m_ops.push_back({Kind::Line, c, x1, y1, x2, y2});
    }
    void print(const GraphPicture::Text& t)
    {
        m_ops.push_back(
            {Kind::Print, t.color, float(t.position.x()), float(t.position.y()), 0, 0, t.text});
    }

    Color m_fore{};
    std::vector<Op> m_ops;
};

} // namespace tb
