#pragma once

namespace tb {

// The processor's sticky flags for the three faults every arithmetic step is
// checked for: invalid operation, division by zero and overflow. A run of
// unchecked steps between clearFaultFlags() and faultFlagsRaised() faulted
// somewhere when the flags are raised; a run without a fault leaves them
// clear. Only where the platform offers all three flags
// (faultFlagsAvailable); elsewhere raised always answers true, so that
// callers take their step-by-step path.
[[nodiscard]] bool faultFlagsAvailable() noexcept;
void clearFaultFlags() noexcept;
[[nodiscard]] bool faultFlagsRaised() noexcept;

// Pins a value at this point of the program: every step that produces it
// runs before, every step that uses it afterwards runs after, so no
// floating-point step moves across the flag calls around it.
template <typename T>
void pinFloatingPoint(T& value) noexcept
{
#if defined(__GNUC__) || defined(__clang__)
    __asm__ volatile("" : "+m"(value) : : "memory");
#else
    static_cast<void>(value);
#endif
}

} // namespace tb
