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
    FontMeasure(const QFont& viewFont, const QFont& windowFont, QPaintDevice* device);

    [[nodiscard]] double width(const QString& text) const override;
    [[nodiscard]] double lineHeight() const override;
    [[nodiscard]] double ascent() const override;

private:
    QFontMetricsF m_view;
    QFontMetricsF m_window;
    mutable QHash<QString, double> m_widths;
};

} // namespace tb
