// Entry points of the container library (demuxing, muxing, I/O contexts), bound at run time.
// Engine code calls them as av::name(...); see "Engine bindings" in DEVELOPERS.md.
#pragma once

#include "engine/MyUtils.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavformat/avio.h>
}

// Every name is required and bound in this order; the version function comes first so that a
// library of another major version is refused before anything else is looked up.
#define QV_AVFORMAT_FUNCTIONS(X)                                                                                       \
    X(avformat_version)                                                                                                \
    X(avformat_get_class)                                                                                              \
    X(avformat_network_init)                                                                                           \
    X(avformat_network_deinit)                                                                                         \
    X(av_demuxer_iterate)                                                                                              \
    X(av_muxer_iterate)                                                                                                \
    X(av_find_input_format)                                                                                            \
    X(av_guess_format)                                                                                                 \
    X(av_guess_codec)                                                                                                  \
    X(av_probe_input_format)                                                                                           \
    X(avformat_alloc_context)                                                                                          \
    X(avformat_free_context)                                                                                           \
    X(avformat_open_input)                                                                                             \
    X(avformat_close_input)                                                                                            \
    X(avformat_find_stream_info)                                                                                       \
    X(av_find_best_stream)                                                                                             \
    X(av_find_program_from_stream)                                                                                     \
    X(avformat_match_stream_specifier)                                                                                 \
    X(av_read_frame)                                                                                                   \
    X(av_seek_frame)                                                                                                   \
    X(avformat_seek_file)                                                                                              \
    X(avformat_flush)                                                                                                  \
    X(av_read_play)                                                                                                    \
    X(av_read_pause)                                                                                                   \
    X(av_guess_frame_rate)                                                                                             \
    X(av_guess_sample_aspect_ratio)                                                                                    \
    X(avformat_alloc_output_context2)                                                                                  \
    X(avformat_new_stream)                                                                                             \
    X(av_new_program)                                                                                                  \
    X(av_program_add_stream_index)                                                                                     \
    X(avformat_query_codec)                                                                                            \
    X(avformat_init_output)                                                                                            \
    X(avformat_write_header)                                                                                           \
    X(av_write_frame)                                                                                                  \
    X(av_interleaved_write_frame)                                                                                      \
    X(av_write_trailer)                                                                                                \
    X(av_codec_get_id)                                                                                                 \
    X(av_codec_get_tag)                                                                                                \
    X(av_codec_get_tag2)                                                                                               \
    X(avformat_get_riff_video_tags)                                                                                    \
    X(avformat_get_riff_audio_tags)                                                                                    \
    X(av_dump_format)                                                                                                  \
    X(av_pkt_dump_log2)                                                                                                \
    X(av_filename_number_test)                                                                                         \
    X(av_get_frame_filename2)                                                                                          \
    X(av_sdp_create)                                                                                                   \
    X(av_url_split)                                                                                                    \
    X(av_stream_get_side_data)                                                                                         \
    X(av_stream_new_side_data)                                                                                         \
    X(avio_alloc_context)                                                                                              \
    X(avio_context_free)                                                                                               \
    X(avio_open)                                                                                                       \
    X(avio_open2)                                                                                                      \
    X(avio_close)                                                                                                      \
    X(avio_closep)                                                                                                     \
    X(avio_read)                                                                                                       \
    X(avio_read_partial)                                                                                               \
    X(avio_write)                                                                                                      \
    X(avio_w8)                                                                                                         \
    X(avio_r8)                                                                                                         \
    X(avio_put_str)                                                                                                    \
    X(avio_printf)                                                                                                     \
    X(avio_seek)                                                                                                       \
    X(avio_skip)                                                                                                       \
    X(avio_size)                                                                                                       \
    X(avio_feof)                                                                                                       \
    X(avio_flush)                                                                                                      \
    X(avio_check)                                                                                                      \
    X(avio_find_protocol_name)                                                                                         \
    X(avio_enum_protocols)                                                                                             \
    X(avio_open_dyn_buf)                                                                                               \
    X(avio_close_dyn_buf)

namespace av {
QV_AVFORMAT_FUNCTIONS(QV_DECLARE_CELL)
} // namespace av

// Binds every cell from the loaded module (raising the loader's error text for a missing name) and
// clears them again.
void AVFormatFixup(const String& LibFileName, void* Handle);
void AVFormatUnfix();
