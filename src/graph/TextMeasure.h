#pragma once

class QString;

namespace tb {

// How the view measures its texts: widths in its own font, a line's height in
// the window's font (the labels are centred on it), and the ascent that puts
// a text's top at its position.
class TextMeasure {
public:
    virtual ~TextMeasure() = default;
    [[nodiscard]] virtual double width(const QString& text) const = 0;
    [[nodiscard]] virtual double lineHeight() const = 0;
    [[nodiscard]] virtual double ascent() const = 0;
};

} // namespace tb
