#pragma once

#include <QRect>
#include <QSize>

class QFont;

namespace tb {

// The window as designed, before the first layout: each control's text and
// its place in pixels (the design's layout units of 1/1440 inch, 15 to the
// pixel).
struct DesignedText {
    const char* text;
    QRect place;
};

struct WindowDesign {
    QSize client;
    DesignedText requiredHeading;
    DesignedText calculatedHeading;
    DesignedText scalesHeading;
    DesignedText note;
    DesignedText calculateButton;
    DesignedText endButton;
    QRect graphView;
};

// A field and its caption: the caption's text and the two places.
struct FieldDesign {
    const char* caption;
    QRect field;
    QRect captionPlace;
};

[[nodiscard]] WindowDesign windowDesign();
[[nodiscard]] FieldDesign fieldDesign(int index);
// "Courier New" at 9.75 points, for every label and field.
[[nodiscard]] QFont designFont();

} // namespace tb
