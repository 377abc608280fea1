#include "DesignGeometry.h"

#include "Fields.h"

#include <QFont>

#include <array>

namespace tb {

namespace {

constexpr int UnitsPerPixel = 15;

[[nodiscard]] QRect designRect(int left, int top, int width, int height)
{
    return {left / UnitsPerPixel, top / UnitsPerPixel, width / UnitsPerPixel,
            height / UnitsPerPixel};
}

// In layout units: the caption, the field's left and top, the caption's left
// and width. The field and its caption share their top.
struct DesignRow {
    const char* caption;
    int fieldLeft;
    int fieldTop;
    int captionLeft;
    int captionWidth;
};

constexpr std::array<DesignRow, FieldCount> DesignRows{{
    {"Power Supply Voltage (volts)", 5400, 360, 1800, 3495},
    {"Ebk Saturation (Volts)", 5400, 720, 360, 4935},
    {"Load Impedance (ohms)", 5400, 1080, 2520, 2775},
    {"RMS g-to-g Drive (volts)", 5400, 1440, 240, 5055},
    {"Idling Current, Each Tube (mA)", 5400, 1800, 840, 4455},
    {"Plate Dissipation, Each Tube", 5400, 2400, 120, 5175},
    {"True Load Power (Watts)", 5400, 2760, 480, 4815},
    {"mA, Each Power Supply", 5400, 3120, 480, 4815},
    {"X Axis Minimum Value", 16080, 360, 11160, 4815},
    {"X Axis Maximum Value", 16080, 720, 11160, 4815},
    {"Labeled X-axis Tick Marks", 16080, 1080, 11160, 4815},
    {"Minor X-axis Tick Marks", 16080, 1440, 11160, 4815},
    {"Y Axis Minimum Value", 16080, 1800, 11160, 4815},
    {"Y Axis Maximum Value", 16080, 2160, 11160, 4815},
    {"Labeled Y-axis Tick Marks", 16080, 2520, 11160, 4815},
    {"Minor Y-axis Tick Marks", 16080, 2880, 11160, 4815},
    {"Clipping", 10080, 2760, 8640, 1335},
}};

constexpr int FieldWidth = 2655;
constexpr int IndicatorWidth = 495;
constexpr int FieldHeight = 285;
constexpr int CaptionHeight = 255;

} // namespace

WindowDesign windowDesign()
{
    return {
        designRect(0, 0, 12060, 8595).size(),
        {"Required Data.", designRect(5400, 0, 4095, 255)},
        {"Calculated Values", designRect(5400, 2160, 2655, 255)},
        {"Graph Scales and Markings.", designRect(15360, 120, 3375, 255)},
        {"Note:  Calculated Values do not have to be filled in, although they may be.",
         designRect(960, 3720, 9615, 255)},
        {"Calculate", designRect(8880, 600, 1935, 735)},
        {"End", designRect(8880, 1680, 1935, 735)},
        designRect(2760, 4800, 8295, 4455),
    };
}

FieldDesign fieldDesign(int index)
{
    const DesignRow& row = DesignRows.at(static_cast<std::size_t>(index));
    const bool indicator = index == indexOf(Field::ClippingIndicator);
    return {row.caption,
            designRect(row.fieldLeft, row.fieldTop, indicator ? IndicatorWidth : FieldWidth,
                       FieldHeight),
            designRect(row.captionLeft, row.fieldTop, row.captionWidth, CaptionHeight)};
}

QFont designFont()
{
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSizeF(9.75);
    font.setWeight(QFont::Normal);
    return font;
}

} // namespace tb
