// Entry points of the filter-graph library with its buffer source and sink, bound at run time.
// Engine code calls them as av::name(...); see "Engine bindings" in DEVELOPERS.md.
#pragma once

#include "engine/MyUtils.h"

extern "C" {
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
}

// Every name is required and bound in this order; the version function comes first so that a
// library of another major version is refused before anything else is looked up.
#define QV_AVFILTER_FUNCTIONS(X)                                                                                       \
    X(avfilter_version)                                                                                                \
    X(avfilter_get_class)                                                                                              \
    X(av_filter_iterate)                                                                                               \
    X(avfilter_get_by_name)                                                                                            \
    X(avfilter_pad_get_name)                                                                                           \
    X(avfilter_pad_get_type)                                                                                           \
    X(avfilter_filter_pad_count)                                                                                       \
    X(avfilter_graph_alloc)                                                                                            \
    X(avfilter_graph_free)                                                                                             \
    X(avfilter_graph_alloc_filter)                                                                                     \
    X(avfilter_graph_create_filter)                                                                                    \
    X(avfilter_graph_get_filter)                                                                                       \
    X(avfilter_init_str)                                                                                               \
    X(avfilter_init_dict)                                                                                              \
    X(avfilter_free)                                                                                                   \
    X(avfilter_link)                                                                                                   \
    X(avfilter_inout_alloc)                                                                                            \
    X(avfilter_inout_free)                                                                                             \
    X(avfilter_graph_parse_ptr)                                                                                        \
    X(avfilter_graph_parse2)                                                                                           \
    X(avfilter_graph_config)                                                                                           \
    X(avfilter_graph_dump)                                                                                             \
    X(avfilter_graph_send_command)                                                                                     \
    X(av_buffersrc_parameters_alloc)                                                                                   \
    X(av_buffersrc_parameters_set)                                                                                     \
    X(av_buffersrc_add_frame)                                                                                          \
    X(av_buffersrc_add_frame_flags)                                                                                    \
    X(av_buffersrc_write_frame)                                                                                        \
    X(av_buffersrc_get_nb_failed_requests)                                                                             \
    X(av_buffersrc_close)                                                                                              \
    X(av_buffersink_get_frame)                                                                                         \
    X(av_buffersink_get_frame_flags)                                                                                   \
    X(av_buffersink_get_samples)                                                                                       \
    X(av_buffersink_set_frame_size)                                                                                    \
    X(av_buffersink_get_type)                                                                                          \
    X(av_buffersink_get_time_base)                                                                                     \
    X(av_buffersink_get_format)                                                                                        \
    X(av_buffersink_get_frame_rate)                                                                                    \
    X(av_buffersink_get_w)                                                                                             \
    X(av_buffersink_get_h)                                                                                             \
    X(av_buffersink_get_sample_aspect_ratio)                                                                           \
    X(av_buffersink_get_sample_rate)                                                                                   \
    X(av_buffersink_get_ch_layout)

namespace av {
QV_AVFILTER_FUNCTIONS(QV_DECLARE_CELL)
} // namespace av

// Binds every cell from the loaded module (raising the loader's error text for a missing name) and
// clears them again.
void AVFilterFixup(const String& LibFileName, void* Handle);
void AVFilterUnfix();
