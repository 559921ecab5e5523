// Unit FrameHook: frame-hook plug-ins. A plug-in is a shared library exporting "Process" and,
// optionally, "Configure" and "Release" (C calling convention); a task keeps a chain of them and
// passes every decoded video picture through the chain before it is encoded.
#pragma once

#include <cstdint>

// The picture a plug-in sees: four plane pointers and four line sizes, as the libraries lay a
// decoded picture out.
struct TFrameHookPicture {
    uint8_t* data[4];
    int linesize[4];
};

extern "C" {
using TFrameHookConfigureFn = int (*)(void** ctxp, int argc, char* argv[]);
using TFrameHookProcessFn = void (*)(void* ctx, TFrameHookPicture* pict, int pix_fmt, int width, int height,
                                     int64_t pts);
using TFrameHookReleaseFn = void (*)(void* ctx);
}

struct TFrameHookEntry;
using PFrameHookEntry = TFrameHookEntry*;

struct TFrameHookEntry {
    PFrameHookEntry next;
    TFrameHookConfigureFn Configure;
    TFrameHookProcessFn Process;
    TFrameHookReleaseFn Release;
    void* ctx;
};

// Loads argv[0] (once per process) and appends a hook configured with the arguments to the chain:
// 0, or -2 (no argument, no "Process", arguments without "Configure"), -1 (library not loadable),
// -12 (no memory), -22 (Configure refused). Failures are logged at the error level.
int FrameHookAdd(PFrameHookEntry& AFirst, int AArgc, char* AArgv[]);
// Runs every hook of the chain on the picture, in chain order; the picture changes in place.
void FrameHookProcess(PFrameHookEntry AFirst, TFrameHookPicture* APicture, int APixFmt, int AWidth, int AHeight,
                      int64_t APTS);
// Releases and frees every hook of the chain; the libraries stay loaded.
void FrameHookRelease(PFrameHookEntry& AFirst);
