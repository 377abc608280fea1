#pragma once

#include "SettingsFile.h"

#include <array>

namespace tb {

// The window's fields by what they hold, in the order of the field table:
// the required data, the calculated values, the graph scales, then the
// clipping indicator.
enum class Field {
    SupplyVoltage,
    EbkSaturation,
    LoadImpedance,
    DriveRms,
    IdlingCurrent,
    PlateDissipation,
    LoadPower,
    SupplyCurrent,
    XAxisMin,
    XAxisMax,
    XLabeledTicks,
    XMinorTicks,
    YAxisMin,
    YAxisMax,
    YLabeledTicks,
    YMinorTicks,
    ClippingIndicator,
};

[[nodiscard]] constexpr int indexOf(Field field) noexcept
{
    return static_cast<int>(field);
}

// Every field, the clipping indicator included.
inline constexpr int FieldCount = indexOf(Field::ClippingIndicator) + 1;
// The fields the settings file keeps: all but the clipping indicator.
inline constexpr int PersistedFieldCount = SettingsFile::FieldCount;
static_assert(PersistedFieldCount == indexOf(Field::ClippingIndicator));

// Selecting a field selects this many characters from its start.
inline constexpr int SelectionLength = 99;

// The calculated values, in the order a press writes them.
inline constexpr std::array<Field, 3> ResultFields{Field::PlateDissipation, Field::LoadPower,
                                                   Field::SupplyCurrent};

// The order the keyboard's focus walks the fields in: the required data, the
// graph scales, the calculated values, then the indicator.
inline constexpr std::array<Field, FieldCount> TabOrder{
    Field::SupplyVoltage,    Field::EbkSaturation,    Field::LoadImpedance, Field::DriveRms,
    Field::IdlingCurrent,    Field::XAxisMin,         Field::XAxisMax,      Field::XLabeledTicks,
    Field::XMinorTicks,      Field::YAxisMin,         Field::YAxisMax,      Field::YLabeledTicks,
    Field::YMinorTicks,      Field::PlateDissipation, Field::LoadPower,     Field::SupplyCurrent,
    Field::ClippingIndicator};

} // namespace tb
