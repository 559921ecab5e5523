/* A frame-hook plug-in for the engine's tests: it counts its calls, remembers what it was given,
   and with the argument "black" paints the luma plane black. StubFrameHookState lets a test read
   the counters of the copy the engine loaded. */
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

typedef struct {
    uint8_t* data[4];
    int linesize[4];
} Picture;

typedef struct {
    int Configures, Processes, Releases;
    int LastArgc;
    char LastArg1[64];
    int PixFmt, Width, Height;
    int64_t FirstPts, LastPts;
} HookState;

typedef struct {
    int Black;
} HookContext;

static HookState State;

HookState* StubFrameHookState(void) {
    return &State;
}

int Configure(void** ctxp, int argc, char* argv[]) {
    ++State.Configures;
    State.LastArgc = argc;
    State.LastArg1[0] = 0;
    if (argc > 1)
        strncpy(State.LastArg1, argv[1], sizeof State.LastArg1 - 1);
    if (argc > 1 && strcmp(argv[1], "refuse") == 0)
        return -1;
    HookContext* Ctx = calloc(1, sizeof *Ctx);
    Ctx->Black = argc > 1 && strcmp(argv[1], "black") == 0;
    *ctxp = Ctx;
    return 0;
}

void Process(void* ctx, Picture* pict, int pix_fmt, int width, int height, int64_t pts) {
    if (State.Processes++ == 0)
        State.FirstPts = pts;
    State.LastPts = pts;
    State.PixFmt = pix_fmt;
    State.Width = width;
    State.Height = height;
    HookContext* Ctx = ctx;
    if (Ctx && Ctx->Black)
        for (int Y = 0; Y < height; ++Y)
            memset(pict->data[0] + Y * pict->linesize[0], 16, width);
}

void Release(void* ctx) {
    ++State.Releases;
    free(ctx);
}
