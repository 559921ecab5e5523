// Entry points of the codec library (codecs, packets, bitstream filters, parsers, FFT), bound at run time.
// Engine code calls them as av::name(...); see "Engine bindings" in DEVELOPERS.md.
#pragma once

#include "engine/MyUtils.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavcodec/avfft.h>
#include <libavcodec/bsf.h>
}

// Every name is required and bound in this order; the version function comes first so that a
// library of another major version is refused before anything else is looked up.
#define QV_AVCODEC_FUNCTIONS(X)                                                                                        \
    X(avcodec_version)                                                                                                 \
    X(avcodec_get_class)                                                                                               \
    X(av_codec_iterate)                                                                                                \
    X(av_codec_is_encoder)                                                                                             \
    X(av_codec_is_decoder)                                                                                             \
    X(avcodec_find_decoder)                                                                                            \
    X(avcodec_find_decoder_by_name)                                                                                    \
    X(avcodec_find_encoder)                                                                                            \
    X(avcodec_find_encoder_by_name)                                                                                    \
    X(avcodec_get_name)                                                                                                \
    X(avcodec_get_type)                                                                                                \
    X(avcodec_descriptor_get)                                                                                          \
    X(avcodec_descriptor_get_by_name)                                                                                  \
    X(avcodec_descriptor_next)                                                                                         \
    X(av_get_profile_name)                                                                                             \
    X(avcodec_profile_name)                                                                                            \
    X(avcodec_alloc_context3)                                                                                          \
    X(avcodec_free_context)                                                                                            \
    X(avcodec_open2)                                                                                                   \
    X(avcodec_close)                                                                                                   \
    X(avcodec_parameters_alloc)                                                                                        \
    X(avcodec_parameters_free)                                                                                         \
    X(avcodec_parameters_copy)                                                                                         \
    X(avcodec_parameters_from_context)                                                                                 \
    X(avcodec_parameters_to_context)                                                                                   \
    X(avcodec_send_packet)                                                                                             \
    X(avcodec_receive_frame)                                                                                           \
    X(avcodec_send_frame)                                                                                              \
    X(avcodec_receive_packet)                                                                                          \
    X(avcodec_flush_buffers)                                                                                           \
    X(avcodec_decode_subtitle2)                                                                                        \
    X(avcodec_encode_subtitle)                                                                                         \
    X(avsubtitle_free)                                                                                                 \
    X(avcodec_default_get_buffer2)                                                                                     \
    X(avcodec_align_dimensions2)                                                                                       \
    X(avcodec_string)                                                                                                  \
    X(avcodec_fill_audio_frame)                                                                                        \
    X(avcodec_pix_fmt_to_codec_tag)                                                                                    \
    X(avcodec_find_best_pix_fmt_of_list)                                                                               \
    X(av_get_bits_per_sample)                                                                                          \
    X(av_get_exact_bits_per_sample)                                                                                    \
    X(av_get_audio_frame_duration)                                                                                     \
    X(av_get_audio_frame_duration2)                                                                                    \
    X(av_fast_padded_malloc)                                                                                           \
    X(av_fast_padded_mallocz)                                                                                          \
    X(av_packet_alloc)                                                                                                 \
    X(av_packet_free)                                                                                                  \
    X(av_packet_clone)                                                                                                 \
    X(av_packet_ref)                                                                                                   \
    X(av_packet_unref)                                                                                                 \
    X(av_packet_move_ref)                                                                                              \
    X(av_packet_copy_props)                                                                                            \
    X(av_packet_make_refcounted)                                                                                       \
    X(av_packet_make_writable)                                                                                         \
    X(av_packet_rescale_ts)                                                                                            \
    X(av_packet_from_data)                                                                                             \
    X(av_new_packet)                                                                                                   \
    X(av_shrink_packet)                                                                                                \
    X(av_grow_packet)                                                                                                  \
    X(av_packet_get_side_data)                                                                                         \
    X(av_packet_new_side_data)                                                                                         \
    X(av_packet_add_side_data)                                                                                         \
    X(av_packet_side_data_name)                                                                                        \
    X(av_bsf_get_by_name)                                                                                              \
    X(av_bsf_iterate)                                                                                                  \
    X(av_bsf_get_class)                                                                                                \
    X(av_bsf_alloc)                                                                                                    \
    X(av_bsf_init)                                                                                                     \
    X(av_bsf_send_packet)                                                                                              \
    X(av_bsf_receive_packet)                                                                                           \
    X(av_bsf_flush)                                                                                                    \
    X(av_bsf_free)                                                                                                     \
    X(av_bsf_list_parse_str)                                                                                           \
    X(av_parser_iterate)                                                                                               \
    X(av_parser_init)                                                                                                  \
    X(av_parser_parse2)                                                                                                \
    X(av_parser_close)                                                                                                 \
    X(av_rdft_init)                                                                                                    \
    X(av_rdft_calc)                                                                                                    \
    X(av_rdft_end)

namespace av {
QV_AVCODEC_FUNCTIONS(QV_DECLARE_CELL)
} // namespace av

// Binds every cell from the loaded module (raising the loader's error text for a missing name) and
// clears them again.
void AVCodecFixup(const String& LibFileName, void* Handle);
void AVCodecUnfix();
