#include "engine/FFConverterOptions.h"

// The declarations carry the reset values, so a fresh record is a reset one.
void InitInputOptions(TInputOptions& AOptions) {
    AOptions = TInputOptions{};
}

void InitOutputOptions(TOutputOptions& AOptions) {
    AOptions = TOutputOptions{};
}
