#pragma once

#include "DrawingSurface.h"

#include <QString>

#include <vector>

namespace tb {

// Remembers every call; a fixed character width and text height make label
// positions exactly predictable.
class RecordingSurface : public DrawingSurface {
public:
    enum class Kind { BackColor, ForeColor, Clear, Line, Print };

    struct Op {
        Kind kind{};
        Color color{}; // the colour set, or the foreground colour of a line or text
        float x1 = 0, y1 = 0, x2 = 0, y2 = 0; // a line, or a text's position in x1, y1
        QString text{};
    };

    static constexpr double CharWidth = 7.0;
    static constexpr double TextHeight = 12.0;

    RecordingSurface(float width, float height)
        : m_width(width)
        , m_height(height)
    {
    }

    void setBackColor(Color c) override { m_ops.push_back({Kind::BackColor, c}); }
    void setForeColor(Color c) override { m_ops.push_back({Kind::ForeColor, m_fore = c}); }
    void clear() override { m_ops.push_back({Kind::Clear}); }
    [[nodiscard]] float outerWidth() const override { return m_width; }
    [[nodiscard]] float outerHeight() const override { return m_height; }
    void line(float x1, float y1, float x2, float y2) override
    {
        m_ops.push_back({Kind::Line, m_fore, x1, y1, x2, y2});
    }
    void setTextPosition(float x, float y) override
    {
        m_textX = x;
        m_textY = y;
    }
    [[nodiscard]] double textWidth(const QString& text) const override
    {
        return CharWidth * static_cast<double>(text.size());
    }
    [[nodiscard]] double textHeight(const QString&) const override { return TextHeight; }
    void print(const QString& text) override
    {
        m_ops.push_back({Kind::Print, m_fore, m_textX, m_textY, 0, 0, text});
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
    float m_width;
    float m_height;
    Color m_fore{};
    float m_textX = 0;
    float m_textY = 0;
    std::vector<Op> m_ops;
};

} // namespace tb
