#include "engine/RGBConvertContext.h"

#include <algorithm>
#include <cstring>

#include "engine/AVUtilStubs.h"
#include "engine/SwScaleStubs.h"

void ResetRGBConvertContext(TRGBConvertContext& AContext) {
    AContext.Bitmap.reset();
    if (AContext.RGBBuf)
        av::av_free(AContext.RGBBuf);
    AContext.RGBBuf = nullptr;
    if (AContext.toRGB_convert_ctx)
        av::sws_freeContext(AContext.toRGB_convert_ctx);
    AContext.toRGB_convert_ctx = nullptr;
    if (AContext.fromRGB_convert_ctx)
        av::sws_freeContext(AContext.fromRGB_convert_ctx);
    AContext.fromRGB_convert_ctx = nullptr;
    AContext.RGBPixFmt = AV_PIX_FMT_BGR24;
    AContext.BMPPixFmt = pf24bit;
    AContext.RGBBufSize = 0;
    AContext.RGBPicture = TAVPicture();
    AContext.RGBPictureRef = nullptr;
}

TBitmap* NewRGBBitmap(int AWidth, int AHeight, TPixelFormat APixelFormat) {
    auto* Bitmap = new TBitmap();
    Bitmap->SetPixelFormat(APixelFormat);
    Bitmap->SetSize(AWidth, AHeight);
    Bitmap->Canvas()->Brush()->SetStyle(bsClear);
    return Bitmap;
}

bool PictureToBitmap(TRGBConvertContext& AContext, const TAVPicture* APicture, int APixFmt, int AWidth, int AHeight) {
    if (!APicture || AWidth <= 0 || AHeight <= 0)
        return false;
    if (!AContext.Bitmap)
        AContext.Bitmap.reset(NewRGBBitmap(AWidth, AHeight, AContext.BMPPixFmt));
    AContext.Bitmap->SetSize(AWidth, AHeight);

    const int RowSize = (AWidth * 24 + 31) / 32 * 4;
    bool Convert =
        APixFmt != AContext.RGBPixFmt || AWidth % 2 != 0 || AHeight % 2 != 0 || APicture->linesize[0] != RowSize;
    if (Convert) {
        int Size = av::av_image_get_buffer_size(AContext.RGBPixFmt, AWidth, AHeight, 1);
        if (Size <= 0)
            return false;
        if (!AContext.RGBBuf || AContext.RGBBufSize < Size) {
            av::av_free(AContext.RGBBuf);
            AContext.RGBBuf = static_cast<uint8_t*>(av::av_malloc(size_t(Size)));
            if (!AContext.RGBBuf) {
                AContext.RGBBufSize = 0;
                return false;
            }
            AContext.RGBBufSize = Size;
        }
        av::av_image_fill_arrays(AContext.RGBPicture.data, AContext.RGBPicture.linesize, AContext.RGBBuf,
                                 AContext.RGBPixFmt, AWidth, AHeight, 1);
        AContext.toRGB_convert_ctx =
            av::sws_getCachedContext(AContext.toRGB_convert_ctx, AWidth, AHeight, AVPixelFormat(APixFmt), AWidth,
                                     AHeight, AContext.RGBPixFmt, SWS_BICUBIC, nullptr, nullptr, nullptr);
        if (!AContext.toRGB_convert_ctx)
            return false;
        av::sws_scale(AContext.toRGB_convert_ctx, APicture->data, APicture->linesize, 0, AHeight,
                      AContext.RGBPicture.data, AContext.RGBPicture.linesize);
        AContext.RGBPictureRef = &AContext.RGBPicture;
    } else
        AContext.RGBPictureRef = APicture;

    const uint8_t* Source = AContext.RGBPictureRef->data[0];
    const int SourceLine = AContext.RGBPictureRef->linesize[0];
    const size_t Bytes = size_t(std::min(SourceLine, RowSize));
    for (int Row = 0; Row < AHeight; ++Row, Source += SourceLine)
        std::memcpy(AContext.Bitmap->ScanLine(Row), Source, Bytes);
    return true;
}
