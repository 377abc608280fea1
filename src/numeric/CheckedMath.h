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
        raise(std::isnan(r) ? ErrorKind::InvalidOperation : ErrorKind::Overflow);
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
        raise(ErrorKind::DivisionByZero);
    return checkedResult(a / b);
}

[[nodiscard]] inline double checkedSqrt(double a)
{
    if (a < 0.0) [[unlikely]]
        raise(ErrorKind::InvalidOperation);
    return std::sqrt(a);
}

} // namespace tb
