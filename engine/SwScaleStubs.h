// Entry points of the picture scaling and pixel-format conversion library, bound at run time.
// Engine code calls them as av::name(...); see "Engine bindings" in DEVELOPERS.md.
#pragma once

#include "engine/MyUtils.h"

extern "C" {
#include <libswscale/swscale.h>
}

// Every name is required and bound in this order; the version function comes first so that a
// library of another major version is refused before anything else is looked up.
#define QV_SWSCALE_FUNCTIONS(X)                                                                                        \
    X(swscale_version)                                                                                                 \
    X(sws_get_class)                                                                                                   \
    X(sws_alloc_context)                                                                                               \
    X(sws_init_context)                                                                                                \
    X(sws_getContext)                                                                                                  \
    X(sws_getCachedContext)                                                                                            \
    X(sws_freeContext)                                                                                                 \
    X(sws_scale)                                                                                                       \
    X(sws_scale_frame)                                                                                                 \
    X(sws_isSupportedInput)                                                                                            \
    X(sws_isSupportedOutput)                                                                                           \
    X(sws_getDefaultFilter)                                                                                            \
    X(sws_freeFilter)                                                                                                  \
    X(sws_getCoefficients)                                                                                             \
    X(sws_setColorspaceDetails)

namespace av {
QV_SWSCALE_FUNCTIONS(QV_DECLARE_CELL)
} // namespace av

// Binds every cell from the loaded module (raising the loader's error text for a missing name) and
// clears them again.
void SwScaleFixup(const String& LibFileName, void* Handle);
void SwScaleUnfix();
