// The body of the picture loaders' fuzz programs: load the bytes, then read the picture back as 32-bit pixels the
// way drawing does, so a loader that leaves an inconsistent picture behind is caught too.
#pragma once

#include "FuzzSupport.h"
#include "platform/gdi/Graphics.h"

namespace qvfuzz {

constexpr std::int64_t ReadBackPixels = 1 << 20;

template <typename TPicture> int LoadPicture(const std::uint8_t* Data, std::size_t Size) {
    TMemoryStream Stream;
    FillStream(Stream, Data, Size);
    Tolerate([&] {
        TPicture Picture;
        Picture.LoadFromStream(&Stream);
        // Large pictures are only loaded: drawing a copy costs time by their size, which says nothing of the
        // loader.
        if (Picture.Empty() || std::int64_t(Picture.Width()) * Picture.Height() > ReadBackPixels)
            return;
        TBitmap Pixels;
        Pixels.Assign(&Picture);
        Pixels.SetPixelFormat(pf32bit);
        volatile std::uint32_t Sink = 0;
        for (int Y = 0; Y < Pixels.Height(); ++Y)
            Sink = Sink + *static_cast<const std::uint32_t*>(Pixels.ScanLine(Y));
    });
    return 0;
}

} // namespace qvfuzz
