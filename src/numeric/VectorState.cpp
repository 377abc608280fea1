#include "VectorState.h"

namespace tb {

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))

namespace {

// Asked once: the instruction faults on a processor (or an operating system)
// without AVX, and the build must not assume it.
bool avxAvailable() noexcept
{
    static const bool available = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx") != 0;
    }();
    return available;
}

} // namespace

void clearVectorState() noexcept
{
    if (avxAvailable())
        __asm__ volatile("vzeroupper");
}

#else

void clearVectorState() noexcept {}

#endif

} // namespace tb
