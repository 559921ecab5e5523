#include "engine/VideoTarget.h"

#include "platform/win/VideoSurface.h"

static_assert(sizeof(DWORD) == sizeof(uint32_t));

bool TSurfaceVideoTarget::LockSurface(uint32_t*& ABits, int& APitchPixels, int& AWidth, int& AHeight) {
    TVideoSurface::TLockedPixels P;
    if (!FSurface || !FSurface->Lock(P))
        return false;
    ABits = reinterpret_cast<uint32_t*>(P.Bits);
    APitchPixels = P.Pitch;
    AWidth = P.Width;
    AHeight = P.Height;
    return true;
}

void TSurfaceVideoTarget::UnlockSurface(bool AInvalidate) {
    FSurface->Unlock();
    if (AInvalidate)
        FSurface->Invalidate();
}
