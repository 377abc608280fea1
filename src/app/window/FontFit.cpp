#include "FontFit.h"

#include <QAbstractButton>
#include <QFontMetricsF>
#include <QLabel>
#include <QStyle>
#include <QStyleOptionButton>

#include <algorithm>
#include <cmath>

namespace tb {

namespace {

// Logical pixels a text may take in the control, less two device pixels.
[[nodiscard]] double roomFor(const QWidget& control)
{
    double room = control.contentsRect().width();
    if (const auto* button = qobject_cast<const QAbstractButton*>(&control)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        const QStyle* style = button->style();
        room = style->subElementRect(QStyle::SE_PushButtonContents, &option, button).width() -
               style->pixelMetric(QStyle::PM_ButtonMargin, &option, button);
    }
    return room - 2.0 / control.devicePixelRatioF();
}

[[nodiscard]] QString textOf(const QWidget& control)
{
    if (const auto* label = qobject_cast<const QLabel*>(&control))
        return label->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(&control))
        return button->text();
    return {};
}

// The width the text covers: its advance, or its ink where a glyph reaches
// beyond the advance.
[[nodiscard]] double textWidth(const QWidget& control, int points)
{
    QFont font = control.font();
    font.setPointSize(points);
    const QFontMetricsF metrics(font, &control);
    const QString text = textOf(control);
    const QRectF ink = metrics.boundingRect(text);
    return std::max(metrics.horizontalAdvance(text), ink.right()) - std::min(0.0, ink.left());
}

} // namespace

bool textFitsAt(const QWidget& control, int points)
{
    return textWidth(control, points) <= roomFor(control);
}

int fittingPointSize(int layoutPoints, const QList<QWidget*>& controls)
{
    const int largest = std::max(layoutPoints, 1);
    // Texts grow about in proportion to the size: the tightest one at the
    // largest size gives a first guess, then the size steps to the largest
    // at which every text fits.
    bool allFitLargest = true;
    double scale = 1.0;
    for (const QWidget* c : controls) {
        const double width = textWidth(*c, largest);
        const double room = roomFor(*c);
        allFitLargest = allFitLargest && width <= room;
        if (width > 0.0)
            scale = std::min(scale, room / width);
    }
    // At 1 point nothing smaller is left to try, whatever fits.
    if (allFitLargest || largest == 1)
        return largest;
    const auto allFit = [&controls](int points) {
        return std::all_of(controls.begin(), controls.end(),
                           [points](const QWidget* c) { return textFitsAt(*c, points); });
    };
    int points = std::clamp(static_cast<int>(std::floor(largest * scale)), 1, largest - 1);
    while (points > 1 && !allFit(points))
        --points;
    while (points + 1 < largest && allFit(points + 1))
        ++points;
    return points;
}

void setPointSize(const QList<QWidget*>& controls, int points)
{
    for (QWidget* control : controls) {
        QFont font = control->font();
        font.setPointSize(points);
        control->setFont(font);
    }
}

} // namespace tb
