#include "FontMeasure.h"

namespace tb {

FontMeasure::FontMeasure(const QFont& viewFont, const QFont& windowFont, QPaintDevice* device)
    : m_view(viewFont, device)
    , m_window(windowFont, device)
{
}

double FontMeasure::width(const QString& text) const
{
    const auto known = m_widths.constFind(text);
    if (known != m_widths.constEnd())
        return *known;
    return *m_widths.insert(text, m_view.horizontalAdvance(text));
}

double FontMeasure::lineHeight() const
{
    return m_window.height();
}

double FontMeasure::ascent() const
{
    return m_view.ascent();
}

} // namespace tb
