// The player's video filter graph: the decoder's pictures, the user's filters, planar YUV 4:2:0 out.
#pragma once

#include "platform/base/System.h"

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/rational.h>
}

struct AVFilterContext;
struct AVFilterGraph;

struct TVideoFilter {
    AVFilterGraph* Graph = nullptr;
    AVFilterContext* Src = nullptr;
    AVFilterContext* Sink = nullptr;
    int Width = 0, Height = 0, Format = -1;

    ~TVideoFilter();

    // Builds the graph for pictures like AFrame: the buffer source, the user's filters (AFilters,
    // between "in" and "out"), and a sink that takes planar YUV 4:2:0 only.
    bool Build(const AVFrame* AFrame, AVRational ATimeBase, const String& AFilters, int ASwsFlags);
};
