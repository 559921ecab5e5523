/* A frame-hook plug-in with only its "Process" export; it counts its calls and the ones that came
   without a context. */
#include <stdint.h>

static int Calls, CallsWithoutContext;

int StubProcessOnlyCalls(int* WithoutContext) {
    *WithoutContext = CallsWithoutContext;
    return Calls;
}

void Process(void* ctx, void* pict, int pix_fmt, int width, int height, int64_t pts) {
    (void)pict;
    (void)pix_fmt;
    (void)width;
    (void)height;
    (void)pts;
    ++Calls;
    if (!ctx)
        ++CallsWithoutContext;
}
