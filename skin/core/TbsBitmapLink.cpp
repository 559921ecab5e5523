#include "skin/core/TbsBitmapLink.h"

#include "skin/core/bsUtils.h"

namespace {

// The shadow colour 0x33333333 is drawn as it is, although its alpha is below 255.
bool SeeThrough(TbsColor C) {
    return C != 0x33333333u && (C == bsKeyColor || (C >> 24) < 255);
}

bool Inside(int X, int Y, int Left, int Top, int Right, int Bottom) {
    return X >= Left && X < Right && Y >= Top && Y < Bottom;
}

} // namespace

void TbsBitmapLink::Assign(TPersistent* Source) {
    if (auto* Link = dynamic_cast<TbsBitmapLink*>(Source)) {
        FImage = Link->FImage;
        FRect = Link->FRect;
        FName = Link->FName;
        FMasked = Link->FMasked;
        FMaskedBorder = Link->FMaskedBorder;
        FMaskedAngles = Link->FMaskedAngles;
        return;
    }
    TPersistent::Assign(Source);
}

void TbsBitmapLink::SaveToStream(TStream* Stream) {
    WriteStreamString(Stream, FName);
    const std::int32_t R[4] = {FRect.Left, FRect.Top, FRect.Right, FRect.Bottom};
    Stream->WriteBuffer(R, sizeof R);
}

void TbsBitmapLink::LoadFromStream(TStream* Stream) {
    String Name;
    ReadStreamString(Stream, Name);
    std::int32_t R[4];
    Stream->ReadBuffer(R, sizeof R);
    FName = Name;
    FRect = TRect{R[0], R[1], R[2], R[3]};
}

bool TbsBitmapLink::Assigned() const {
    return FImage && std::int64_t(FRect.Right - FRect.Left) * (FRect.Bottom - FRect.Top) > 0;
}

TbsColor TbsBitmapLink::PixelAt(int X, int Y) const {
    if (!FImage || FImage->Empty() || X < 0 || Y < 0 || X >= FImage->Width() || Y >= FImage->Height())
        return 0;
    return *FImage->GetPixelPtr(X, Y);
}

void TbsBitmapLink::CheckingMasked() {
    CheckingMasked(TRect{0, 0, 0, 0});
}

void TbsBitmapLink::CheckingMasked(const TRect& Margin) {
    FMasked = FMaskedBorder = FMaskedAngles = false;
    const bool ZeroMargin = Margin.Left == 0 && Margin.Top == 0 && Margin.Right == 0 && Margin.Bottom == 0;
    // The bands are measured on the piece itself, whatever its place in the bitmap.
    const int R = FRect.Right - FRect.Left, B = FRect.Bottom - FRect.Top;
    const int ML = Margin.Left, MT = Margin.Top, MR = Margin.Right, MB = Margin.Bottom;
    for (int Y = FRect.Top; Y < FRect.Bottom; ++Y)
        for (int X = FRect.Left; X < FRect.Right; ++X) {
            if (!SeeThrough(PixelAt(X, Y)))
                continue;
            if (ZeroMargin) {
                FMasked = true;
                return;
            }
            const int PX = X - FRect.Left, PY = Y - FRect.Top;
            if (Inside(PX, PY, 0, 0, ML, MT) || Inside(PX, PY, R - MR, 0, R, MT) ||
                Inside(PX, PY, R - MR, B - MB, R, B) || Inside(PX, PY, 0, B - MB, ML, B))
                FMaskedAngles = true;
            if (Inside(PX, PY, ML, 0, R - MR, MT) || Inside(PX, PY, ML, B - MB, R - MR, B) ||
                Inside(PX, PY, 0, MT, ML, B - MB) || Inside(PX, PY, R - MR, MT, R, B - MB))
                FMaskedBorder = true;
            if (Inside(PX, PY, ML, MT, R - MR, B - MB))
                FMasked = true;
        }
}

void TbsBitmapLink::Draw(TCanvas* Canvas, int X, int Y) {
    if (FImage && !FImage->Empty() && FRect.Right > FRect.Left && FRect.Bottom > FRect.Top)
        FImage->Draw(Canvas->Handle(), X, Y, FRect);
}

void TbsBitmapLink::Draw(TbsBitmap& Bitmap, int X, int Y) {
    if (FImage && !FImage->Empty() && FRect.Right > FRect.Left && FRect.Bottom > FRect.Top)
        FImage->Draw(Bitmap, X, Y, FRect);
}

std::unique_ptr<TbsBitmapLink> GetBitmapLink(TbsBitmap& Image, const TRect& Rect) {
    auto Link = std::make_unique<TbsBitmapLink>();
    Link->SetImage(&Image);
    Link->SetName(Image.Name());
    Link->SetRect(Rect);
    return Link;
}

std::unique_ptr<TbsBitmapLink> GetBitmapLink(TbsBitmap& Image, const String& Rect) {
    return GetBitmapLink(Image, StrToRect(Rect));
}
