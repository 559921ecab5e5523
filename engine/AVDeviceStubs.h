// Entry points of the device library, bound at run time.
// Engine code calls them as av::name(...); see "Engine bindings" in DEVELOPERS.md.
#pragma once

#include "engine/MyUtils.h"

extern "C" {
#include <libavdevice/avdevice.h>
}

// Every name is required and bound in this order; the version function comes first so that a
// library of another major version is refused before anything else is looked up.
#define QV_AVDEVICE_FUNCTIONS(X)                                                                                       \
    X(avdevice_version)                                                                                                \
    X(avdevice_register_all)

namespace av {
QV_AVDEVICE_FUNCTIONS(QV_DECLARE_CELL)
} // namespace av

// Binds every cell from the loaded module (raising the loader's error text for a missing name) and
// clears them again.
void AVDeviceFixup(const String& LibFileName, void* Handle);
void AVDeviceUnfix();
