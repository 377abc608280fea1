#pragma once

#include "TextMeasure.h"

#include <QFontMetricsF>
#include <QHash>
#include <QString>

class QFont;
class QPaintDevice;

namespace tb {

// Texts measured as the view shows them: its font and the window's on the
// device the graph is drawn on. Widths are kept by text, as a dense axis
// repeats its labels many times.
class FontMeasure final : public TextMeasure {
public:
    FontMeasure(const QFont& viewFont, const QFont& windowFont, QPaintDevice* device)
        : m_view(viewFont, device)
        , m_window(windowFont, device)
    {
    }

    [[nodiscard]] double width(const QString& text) const override
    {
        const auto known = m_widths.constFind(text);
        if (known != m_widths.constEnd())
            return *known;
        return *m_widths.insert(text, m_view.horizontalAdvance(text));
    }
    [[nodiscard]] double lineHeight() const override { return m_window.height(); }
    [[nodiscard]] double ascent() const override { return m_view.ascent(); }

private:
    QFontMetricsF m_view;
    QFontMetricsF m_window;
    mutable QHash<QString, double> m_widths;
};

} // namespace tb
