// The run's tables of the transcoder: one record per input file, input stream and output stream.
// Only the transcoder's own sources include this file.
#pragma once

#include "engine/AVCodecStubs.h"
#include "engine/AVFilterStubs.h"
#include "engine/AVUtilStubs.h"
#include "engine/FFmpeg.h"
#include "engine/SwResampleStubs.h"

extern "C" {
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
}

struct TAVInputFile {
    int eof_reached = 0;
    int ist_index = 0;
    int nb_streams = 0;
};

struct TAVInputStream {
    int file_index = 0;
    int index = 0;
    AVStream* st = nullptr;
    AVCodecContext* dec = nullptr;
    int discard = 1;
    int decoding_needed = 0;
    Int64 start = 0;
    Int64 next_pts = AV_NOPTS_VALUE;
    Int64 pts = 0;
    int is_start = 1;
    int showed_multi_packet_warning = 0;
    int is_past_recording_time = 0;
    int decoder_flushed = 0;
    float quality = 0;
    AVFrame* frame = nullptr;
    // Decoded audio as interleaved signed 16-bit samples at the decoder's rate and channels.
    SwrContext* to_s16 = nullptr;
    int s16_in_rate = 0, s16_in_fmt = -1, s16_in_channels = 0;
    std::vector<uint8_t> samples;
    ~TAVInputStream() {
        av::av_frame_free(&frame);
        av::swr_free(&to_s16);
        av::avcodec_free_context(&dec);
    }
};

struct TAVOutputStream {
    int file_index = 0;
    int index = 0;
    int source_index = 0;
    std::vector<int> join_sources; // join mode: the source in each input file
    AVStream* st = nullptr;
    AVCodecContext* enc = nullptr; // owned by the stream's setup record
    TOutputStreamSetup* setup = nullptr;
    int encoding_needed = 0;
    int frame_number = 0;
    TAVInputStream* sync_ist = nullptr;
    Int64 sync_opts = 0;
    // Video: the filter graph and the input it was made for.
    AVFilterGraph* graph = nullptr;
    AVFilterContext* src = nullptr;
    AVFilterContext* sink = nullptr;
    int resample_width = 0, resample_height = 0, resample_pix_fmt = -1;
    int original_width = 0, original_height = 0;
    int video_crop = 0;
    int topBand = 0, bottomBand = 0, leftBand = 0, rightBand = 0;
    int original_topBand = 0, original_bottomBand = 0, original_leftBand = 0, original_rightBand = 0;
    AVFrame* filtered = nullptr;
    // Audio.
    int audio_resample = 0;
    SwrContext* resample = nullptr;
    int resample_in_rate = 0, resample_in_channels = 0;
    AVAudioFifo* fifo = nullptr;
    AVFrame* aframe = nullptr;
    FILE* logfile = nullptr;
    AVBSFContext* bsf = nullptr;
    AVPacket* pkt = nullptr;
    int show_fps = 1;
    float quality = 0;
    int pict_type = 0;
    // The squared error per plane of the last coded picture, when the encoder computes PSNR.
    Int64 error[4] = {};
    bool opened = false;
    bool flushed = false;
    ~TAVOutputStream() {
        av::avfilter_graph_free(&graph);
        av::av_frame_free(&filtered);
        av::swr_free(&resample);
        if (fifo)
            av::av_audio_fifo_free(fifo);
        av::av_frame_free(&aframe);
        if (logfile)
            fclose(logfile);
        av::av_bsf_free(&bsf);
        av::av_packet_free(&pkt);
    }
};

// Everything one run of Transcode makes: created at its start and freed at its end, so nothing of a
// finished run stays in the transcoder.
struct TTranscodeRun {
    int nb_ofiles = 0; // the output files the run writes (one in join mode)
    std::vector<TAVInputFile> file_table;
    std::vector<std::unique_ptr<TAVInputStream>> ist_table;
    std::vector<std::unique_ptr<TAVOutputStream>> ost_table;
    std::vector<bool> header_written; // per output file
    bool trailers_written = false;
    // The read loop: inputs that said "again" since the last packet, and the file read last.
    std::vector<bool> no_packet;
    int no_packet_count = 0;
    int current_file = -1;
    Int64 last_report_time = 0;
    int qp_histogram[52] = {};
    int hook_frame_number = 0;
    std::vector<uint8_t> hook_buf;     // the custom hook's picture
    std::vector<uint8_t> subtitle_out; // an encoded subtitle
    // Join mode: the input being read, and whether its decoders are being drained.
    int join_current = 0;
    bool join_flushing = false;
};
