// Process-wide entries of the skin library that depend on the machine.
#pragma once

// True when the processor reports MMX (CPUID function 1, family 5 or later, EDX bit 23).
bool CPUHasMMX();
// Leaves the vector state after the vector blend kernels; does nothing on machines without it.
void EmmsIfMMX();
// True once the platform's TransparentBlt entry has been bound at start-up.
bool HasTransparentBlt();
void SetHasTransparentBlt(bool Value);
