#include "FaultFlags.h"

#include <cfenv>

namespace tb {

#if (defined(__GNUC__) || defined(__clang__)) && defined(FE_INVALID) && defined(FE_DIVBYZERO) &&   \
    defined(FE_OVERFLOW)

namespace {
constexpr int Faults = FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW;
}

bool faultFlagsAvailable() noexcept
{
    return true;
}

void clearFaultFlags() noexcept
{
    std::feclearexcept(Faults);
}

bool faultFlagsRaised() noexcept
{
    return std::fetestexcept(Faults) != 0;
}

#else

bool faultFlagsAvailable() noexcept
{
    return false;
}

void clearFaultFlags() noexcept {}

bool faultFlagsRaised() noexcept
{
    return true;
}

#endif

} // namespace tb
