#include "engine/FFPlayerFilters.h"

#include <cstdio>

#include "engine/AVFilterStubs.h"
#include "engine/AVUtilStubs.h"

TVideoFilter::~TVideoFilter() {
    av::avfilter_graph_free(&Graph);
}

bool TVideoFilter::Build(const AVFrame* AFrame, AVRational ATimeBase, const String& AFilters, int ASwsFlags) {
    av::avfilter_graph_free(&Graph);
    Graph = av::avfilter_graph_alloc();
    if (!Graph)
        return false;
    char Opts[32];
    std::snprintf(Opts, sizeof(Opts), "flags=%d", ASwsFlags);
    Graph->scale_sws_opts = av::av_strdup(Opts);
    AVRational Sar = AFrame->sample_aspect_ratio;
    if (Sar.num <= 0 || Sar.den <= 0)
        Sar = {0, 1};
    char Args[256];
    std::snprintf(Args, sizeof(Args), "video_size=%dx%d:pix_fmt=%d:time_base=%d/%d:pixel_aspect=%d/%d", AFrame->width,
                  AFrame->height, AFrame->format, ATimeBase.num, ATimeBase.den, Sar.num, Sar.den);
    if (av::avfilter_graph_create_filter(&Src, av::avfilter_get_by_name("buffer"), "src", Args, nullptr, Graph) < 0)
        return false;
    if (av::avfilter_graph_create_filter(&Sink, av::avfilter_get_by_name("buffersink"), "out", nullptr, nullptr,
                                         Graph) < 0)
        return false;
    const AVPixelFormat Formats[] = {AV_PIX_FMT_YUV420P};
    if (av::av_opt_set_bin(Sink, "pix_fmts", reinterpret_cast<const uint8_t*>(Formats), sizeof(Formats),
                           AV_OPT_SEARCH_CHILDREN) < 0)
        return false;
    if (!AFilters.empty()) {
        AVFilterInOut* Outputs = av::avfilter_inout_alloc();
        AVFilterInOut* Inputs = av::avfilter_inout_alloc();
        if (!Outputs || !Inputs) {
            av::avfilter_inout_free(&Outputs);
            av::avfilter_inout_free(&Inputs);
            return false;
        }
        Outputs->name = av::av_strdup("in");
        Outputs->filter_ctx = Src;
        Inputs->name = av::av_strdup("out");
        Inputs->filter_ctx = Sink;
        int Ret = av::avfilter_graph_parse_ptr(Graph, UTF8Encode(AFilters).c_str(), &Inputs, &Outputs, nullptr);
        av::avfilter_inout_free(&Outputs);
        av::avfilter_inout_free(&Inputs);
        if (Ret < 0)
            return false;
    } else if (av::avfilter_link(Src, 0, Sink, 0) < 0)
        return false;
    if (av::avfilter_graph_config(Graph, nullptr) < 0)
        return false;
    Width = AFrame->width;
    Height = AFrame->height;
    Format = AFrame->format;
    return true;
}
