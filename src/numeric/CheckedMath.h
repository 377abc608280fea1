#pragma once

#include "RuntimeError.h"

#include <cmath>

// Floating-point steps that report their own faults. Operands are always
// finite (every earlier step was checked), so a non-finite result can only
// come from an overflow; a zero divisor is reported before dividing.
namespace tb {

[[nodiscard]] inline double checkedResult(double r)
{
    if (!std::isfinite(r)) [[unlikely]]
        raiseError(std::isnan(r) ? ErrorKind::InvalidOperation : ErrorKind::Overflow);
    return r;
}

[[nodiscard]] inline double checkedAdd(double a, double b)
{
    return checkedResult(a + b);
}
[[nodiscard]] inline double checkedSub(double a, double b)
{
    return checkedResult(a - b);
}
[[nodiscard]] inline double checkedMul(double a, double b)
{
    return checkedResult(a * b);
}

[[nodiscard]] inline double checkedDiv(double a, double b)
{
    if (b == 0.0) [[unlikely]]
        raiseError(ErrorKind::DivisionByZero);
    return checkedResult(a / b);
}

// Steps written once for both ways of running them: each checked on its own,
// or plain, with their faults left to the processor's flags (FaultFlags.h).
enum class Checking { EachStep, FlagsOnly };

template <Checking C>
[[nodiscard]] double stepAdd(double a, double b)
{
    if constexpr (C == Checking::EachStep)
        return checkedAdd(a, b);
    else
        return a + b;
}
template <Checking C>
[[nodiscard]] double stepSub(double a, double b)
{
    if constexpr (C == Checking::EachStep)
        return checkedSub(a, b);
    else
        return a - b;
}
template <Checking C>
[[nodiscard]] double stepMul(double a, double b)
{
    if constexpr (C == Checking::EachStep)
        return checkedMul(a, b);
    else
        return a * b;
}
template <Checking C>
[[nodiscard]] double stepDiv(double a, double b)
{
    if constexpr (C == Checking::EachStep)
        return checkedDiv(a, b);
    else
        return a / b;
}

} // namespace tb
