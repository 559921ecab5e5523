// Decoded pictures to 24-bit bitmaps: the conversion state one probe or player keeps, and the routines
// over it (part of the engine's FFmpeg-facing utilities).
#pragma once

#include <memory>

#include "engine/AVProbeTypes.h"
#include "platform/gdi/Graphics.h"

extern "C" {
#include <libswscale/swscale.h>
}

struct TRGBConvertContext {
    AVPixelFormat RGBPixFmt = AV_PIX_FMT_BGR24; // the byte order of a 24-bit bitmap's rows
    TPixelFormat BMPPixFmt = pf24bit;
    std::unique_ptr<TBitmap> Bitmap; // created on first use
    uint8_t* RGBBuf = nullptr;       // the libraries' allocation
    int RGBBufSize = 0;
    TAVPicture RGBPicture;                     // the converted picture over RGBBuf
    const TAVPicture* RGBPictureRef = nullptr; // the picture whose rows are copied: the source or RGBPicture
    SwsContext* toRGB_convert_ctx = nullptr;   // reused while the parameters match
    SwsContext* fromRGB_convert_ctx = nullptr; // filled by its users, freed here
};

// Frees the bitmap, the buffer and both scalers and returns the context to its first state.
void ResetRGBConvertContext(TRGBConvertContext& AContext);
TBitmap* NewRGBBitmap(int AWidth, int AHeight, TPixelFormat APixelFormat);
// Copies the picture into AContext.Bitmap, converting it to BGR rows first unless it already has
// exactly the bitmap's layout; False when no scaler can be made for it.
bool PictureToBitmap(TRGBConvertContext& AContext, const TAVPicture* APicture, int APixFmt, int AWidth, int AHeight);
