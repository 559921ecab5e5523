#include "skin/core/bsUtils.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <mmintrin.h>
#endif

bool CPUHasMMX() {
#if defined(__x86_64__) || defined(__i386__)
    unsigned A = 0, B = 0, C = 0, D = 0;
    if (!__get_cpuid(1, &A, &B, &C, &D))
        return false;
    return ((A >> 8) & 0xF) >= 5 && (D & (1u << 23)) != 0;
#else
    return false;
#endif
}

void EmmsIfMMX() {
#if defined(__x86_64__) || defined(__i386__)
    static const bool HasMMX = CPUHasMMX();
    if (HasMMX)
        _mm_empty();
#endif
}

namespace {
bool TransparentBltBound = false;
}

bool HasTransparentBlt() { return TransparentBltBound; }

void SetHasTransparentBlt(bool Value) { TransparentBltBound = Value; }
