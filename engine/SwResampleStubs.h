// Entry points of the audio resampling and sample-format conversion library, bound at run time.
// Engine code calls them as av::name(...); see "Engine bindings" in DEVELOPERS.md.
#pragma once

#include "engine/MyUtils.h"

extern "C" {
#include <libswresample/swresample.h>
}

// Every name is required and bound in this order; the version function comes first so that a
// library of another major version is refused before anything else is looked up.
#define QV_SWRESAMPLE_FUNCTIONS(X)                                                                                     \
    X(swresample_version)                                                                                              \
    X(swr_get_class)                                                                                                   \
    X(swr_alloc)                                                                                                       \
    X(swr_alloc_set_opts2)                                                                                             \
    X(swr_init)                                                                                                        \
    X(swr_is_initialized)                                                                                              \
    X(swr_close)                                                                                                       \
    X(swr_free)                                                                                                        \
    X(swr_convert)                                                                                                     \
    X(swr_convert_frame)                                                                                               \
    X(swr_config_frame)                                                                                                \
    X(swr_get_delay)                                                                                                   \
    X(swr_get_out_samples)                                                                                             \
    X(swr_next_pts)                                                                                                    \
    X(swr_set_compensation)                                                                                            \
    X(swr_set_channel_mapping)                                                                                         \
    X(swr_set_matrix)                                                                                                  \
    X(swr_drop_output)                                                                                                 \
    X(swr_inject_silence)

namespace av {
QV_SWRESAMPLE_FUNCTIONS(QV_DECLARE_CELL)
} // namespace av

// Binds every cell from the loaded module (raising the loader's error text for a missing name) and
// clears them again.
void SwResampleFixup(const String& LibFileName, void* Handle);
void SwResampleUnfix();
