// Owning pointers for the FFmpeg objects that tests create directly.
#pragma once

#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

namespace qvtest {

struct CodecContextFree {
    void operator()(AVCodecContext* C) const { avcodec_free_context(&C); }
};
struct FrameFree {
    void operator()(AVFrame* F) const { av_frame_free(&F); }
};
struct PacketFree {
    void operator()(AVPacket* P) const { av_packet_free(&P); }
};
struct SwsFree {
    void operator()(SwsContext* S) const { sws_freeContext(S); }
};
struct SwrFree {
    void operator()(SwrContext* S) const { swr_free(&S); }
};
struct InputFree {
    void operator()(AVFormatContext* C) const { avformat_close_input(&C); }
};

using CodecContextPtr = std::unique_ptr<AVCodecContext, CodecContextFree>;
using FramePtr = std::unique_ptr<AVFrame, FrameFree>;
using PacketPtr = std::unique_ptr<AVPacket, PacketFree>;
using SwsPtr = std::unique_ptr<SwsContext, SwsFree>;
using SwrPtr = std::unique_ptr<SwrContext, SwrFree>;
using InputPtr = std::unique_ptr<AVFormatContext, InputFree>;

} // namespace qvtest
