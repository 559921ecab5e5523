// Faces composed from skin pictures: nine-part images, strips, border strips and regions from masks.
#include <algorithm>
#include <cstring>

#include "skin/core/bsUtils.h"

namespace {

HDC DCOf(TBitmap* B) {
    return B->Canvas()->Handle();
}

// A piece of Source onto Dest: a copy when the sizes agree, nearest-neighbour stretching otherwise. Pieces of no
// size, or turned inside out by a target smaller than its corners, draw nothing rather than a mirror image.
void Put(TBitmap* Dest, const TRect& D, TBitmap* Source, const TRect& S) {
    if (D.Width() <= 0 || D.Height() <= 0 || S.Width() <= 0 || S.Height() <= 0)
        return;
    StretchBlt(DCOf(Dest), D.Left, D.Top, D.Width(), D.Height(), DCOf(Source), S.Left, S.Top, S.Width(), S.Height(),
               SRCCOPY);
}

// Tiles of the piece S (its width m) from x = Start over Length pixels, rows Top..Bottom of Dest; the last tile is
// cut at the span's end, taking less of the piece's far end.
void TileH(TBitmap* Dest, int Start, int Length, int Top, int Bottom, TBitmap* Source, const TRect& S) {
    const int M = S.Width();
    if (M <= 0)
        return;
    const int K = Length / M;
    if (K < 0)
        return;
    for (int I = 0; I <= K; ++I) {
        const int X = Start + I * M;
        const int W = std::min(M, Start + Length - X);
        if (W > 0)
            Put(Dest, TRect{X, Top, X + W, Bottom}, Source, TRect{S.Left, S.Top, S.Left + W, S.Bottom});
    }
}

void TileV(TBitmap* Dest, int Start, int Length, int Left, int Right, TBitmap* Source, const TRect& S) {
    const int M = S.Height();
    if (M <= 0)
        return;
    const int K = Length / M;
    if (K < 0)
        return;
    for (int I = 0; I <= K; ++I) {
        const int Y = Start + I * M;
        const int H = std::min(M, Start + Length - Y);
        if (H > 0)
            Put(Dest, TRect{Left, Y, Right, Y + H}, Source, TRect{S.Left, S.Top, S.Right, S.Top + H});
    }
}

// Tiles of the piece S in both directions from the top-left of Area, cut at its right and bottom.
void TileArea(TBitmap* Dest, const TRect& Area, TBitmap* Source, const TRect& S) {
    const int CW = S.Width(), CH = S.Height();
    if (CW <= 0 || CH <= 0 || Area.Width() < 0 || Area.Height() < 0)
        return;
    for (int Row = 0; Row <= Area.Height() / CH; ++Row) {
        const int Y = Area.Top + Row * CH;
        const int H = std::min(CH, Area.Bottom - Y);
        if (H <= 0)
            continue;
        for (int Col = 0; Col <= Area.Width() / CW; ++Col) {
            const int X = Area.Left + Col * CW;
            const int W = std::min(CW, Area.Right - X);
            if (W > 0)
                Put(Dest, TRect{X, Y, X + W, Y + H}, Source, TRect{S.Left, S.Top, S.Left + W, S.Top + H});
        }
    }
}

void DrawClientArea(TBitmap* Dest, TBitmap* Source, const TRect& Piece, const TRect& Area, bool StretchEffect,
                    TbsStretchType StretchType) {
    if (!StretchEffect) {
        TileArea(Dest, Area, Source, Piece);
        return;
    }
    if (Area.Width() <= 0 || Area.Height() <= 0)
        return;
    const int PW = Piece.Width(), PH = Piece.Height();
    switch (StretchType) {
    case bsstFull:
        Put(Dest, Area, Source, Piece);
        break;
    case bsstHorz:
    case bsstVert: {
        if (PW <= 0 || PH <= 0)
            return;
        HDC DC = DCOf(Dest);
        const int Saved = SaveDC(DC);
        IntersectClipRect(DC, Area.Left, Area.Top, Area.Right, Area.Bottom);
        if (StretchType == bsstHorz)
            for (int I = 0; I <= Area.Width() / PW; ++I)
                Put(Dest, TRect{Area.Left + I * PW, Area.Top, Area.Left + (I + 1) * PW, Area.Bottom}, Source, Piece);
        else
            for (int I = 0; I <= Area.Height() / PH; ++I)
                Put(Dest, TRect{Area.Left, Area.Top + I * PH, Area.Right, Area.Top + (I + 1) * PH}, Source, Piece);
        RestoreDC(DC, Saved);
        break;
    }
    }
}

void NinePart(const TPoint& LTPt, const TPoint& RTPt, const TPoint& LBPt, const TPoint& RBPt, const TRect& ClRect,
              const TPoint& NewLTPoint, const TPoint& NewRTPoint, const TPoint& NewLBPoint, const TPoint& NewRBPoint,
              const TRect& NewClRect, TBitmap* Dest, TBitmap* Source, const TRect& SkinRect, int Width, int Height,
              bool DrawClient, bool LeftStretch, bool TopStretch, bool RightStretch, bool BottomStretch,
              bool StretchEffect, TbsStretchType StretchType, bool OpenRight) {
    Dest->SetSize(Width, Height);
    if (RBPt.X == LTPt.X || RBPt.Y == LTPt.Y || !Source || Source->Empty() || Dest->Empty())
        return;
    const int SL = SkinRect.Left, ST = SkinRect.Top, SR = SkinRect.Right, SB = SkinRect.Bottom;

    // Top and bottom edges; the open form runs them to the right end of the target.
    const int TopEnd = OpenRight ? Width : NewRTPoint.X;
    const int BottomEnd = OpenRight ? Width : NewRBPoint.X;
    const TRect TopPiece{SL + LTPt.X, ST, SL + RTPt.X, ST + ClRect.Top};
    if (TopStretch)
        Put(Dest, TRect{NewLTPoint.X, 0, TopEnd, NewClRect.Top}, Source, TopPiece);
    else
        TileH(Dest, NewLTPoint.X, TopEnd - NewLTPoint.X, 0, NewClRect.Top, Source, TopPiece);
    const TRect BottomPiece{SL + LBPt.X, ST + ClRect.Bottom, SL + RBPt.X, SB};
    if (BottomStretch)
        Put(Dest, TRect{NewLBPoint.X, NewClRect.Bottom, BottomEnd, Height}, Source, BottomPiece);
    else
        TileH(Dest, NewLBPoint.X, BottomEnd - NewLBPoint.X, NewClRect.Bottom, Height, Source, BottomPiece);

    const TRect LeftPiece{SL, ST + LTPt.Y, SL + ClRect.Left, ST + LBPt.Y};
    if (LeftStretch)
        Put(Dest, TRect{0, NewLTPoint.Y, NewClRect.Left, NewLBPoint.Y}, Source, LeftPiece);
    else
        TileV(Dest, NewLTPoint.Y, NewLBPoint.Y - NewLTPoint.Y, 0, NewClRect.Left, Source, LeftPiece);
    if (!OpenRight) {
        const TRect RightPiece{SL + ClRect.Right, ST + RTPt.Y, SR, ST + RBPt.Y};
        if (RightStretch)
            Put(Dest, TRect{NewClRect.Right, NewRTPoint.Y, Width, NewRBPoint.Y}, Source, RightPiece);
        else
            TileV(Dest, NewRTPoint.Y, NewRBPoint.Y - NewRTPoint.Y, NewClRect.Right, Width, Source, RightPiece);
    }

    // Corners, two pieces each.
    Put(Dest, TRect{0, 0, NewLTPoint.X, NewClRect.Top}, Source, TRect{SL, ST, SL + LTPt.X, ST + ClRect.Top});
    Put(Dest, TRect{0, NewClRect.Top, NewClRect.Left, NewLTPoint.Y}, Source,
        TRect{SL, ST + ClRect.Top, SL + ClRect.Left, ST + LTPt.Y});
    if (!OpenRight) {
        Put(Dest, TRect{NewRTPoint.X, 0, Width, NewClRect.Top}, Source, TRect{SL + RTPt.X, ST, SR, ST + ClRect.Top});
        Put(Dest, TRect{NewClRect.Right, NewClRect.Top, Width, NewRTPoint.Y}, Source,
            TRect{SL + ClRect.Right, ST + ClRect.Top, SR, ST + RTPt.Y});
    }
    Put(Dest, TRect{0, NewLBPoint.Y, NewClRect.Left, Height}, Source, TRect{SL, ST + LBPt.Y, SL + ClRect.Left, SB});
    Put(Dest, TRect{NewClRect.Left, NewClRect.Bottom, NewLBPoint.X, Height}, Source,
        TRect{SL + ClRect.Left, ST + ClRect.Bottom, SL + LBPt.X, SB});
    if (!OpenRight) {
        Put(Dest, TRect{NewRBPoint.X, NewClRect.Bottom, Width, Height}, Source,
            TRect{SL + RBPt.X, ST + ClRect.Bottom, SR, SB});
        Put(Dest, TRect{NewClRect.Right, NewRBPoint.Y, Width, NewClRect.Bottom}, Source,
            TRect{SL + ClRect.Right, ST + RBPt.Y, SR, ST + ClRect.Bottom});
    }

    if (DrawClient) {
        const TRect Piece{SL + ClRect.Left, ST + ClRect.Top, SL + ClRect.Right, ST + ClRect.Bottom};
        TRect Area = NewClRect;
        if (OpenRight)
            Area.Right = Width;
        DrawClientArea(Dest, Source, Piece, Area, StretchEffect, StretchType);
    }
}

} // namespace

void DrawNinePartSkinImage(const TPoint& LTPt, const TPoint& RTPt, const TPoint& LBPt, const TPoint& RBPt,
                           const TRect& ClRect, const TPoint& NewLTPoint, const TPoint& NewRTPoint,
                           const TPoint& NewLBPoint, const TPoint& NewRBPoint, const TRect& NewClRect, TBitmap* Dest,
                           TBitmap* Source, const TRect& SkinRect, int Width, int Height, bool DrawClient,
                           bool LeftStretch, bool TopStretch, bool RightStretch, bool BottomStretch, bool StretchEffect,
                           TbsStretchType StretchType) {
    NinePart(LTPt, RTPt, LBPt, RBPt, ClRect, NewLTPoint, NewRTPoint, NewLBPoint, NewRBPoint, NewClRect, Dest, Source,
             SkinRect, Width, Height, DrawClient, LeftStretch, TopStretch, RightStretch, BottomStretch, StretchEffect,
             StretchType, false);
}

void DrawNinePartSkinImageAlt(const TPoint& LTPt, const TPoint& RTPt, const TPoint& LBPt, const TPoint& RBPt,
                              const TRect& ClRect, const TPoint& NewLTPoint, const TPoint& NewRTPoint,
                              const TPoint& NewLBPoint, const TPoint& NewRBPoint, const TRect& NewClRect, TBitmap* Dest,
                              TBitmap* Source, const TRect& SkinRect, int Width, int Height, bool DrawClient,
                              bool LeftStretch, bool TopStretch, bool RightStretch, bool BottomStretch,
                              bool StretchEffect, TbsStretchType StretchType) {
    NinePart(LTPt, RTPt, LBPt, RBPt, ClRect, NewLTPoint, NewRTPoint, NewLBPoint, NewRBPoint, NewClRect, Dest, Source,
             SkinRect, Width, Height, DrawClient, LeftStretch, TopStretch, RightStretch, BottomStretch, StretchEffect,
             StretchType, false);
}

void DrawNinePartSkinImageOpenRight(const TPoint& LTPt, const TPoint& RTPt, const TPoint& LBPt, const TPoint& RBPt,
                                    const TRect& ClRect, const TPoint& NewLTPoint, const TPoint& NewRTPoint,
                                    const TPoint& NewLBPoint, const TPoint& NewRBPoint, const TRect& NewClRect,
                                    TBitmap* Dest, TBitmap* Source, const TRect& SkinRect, int Width, int Height,
                                    bool DrawClient, bool LeftStretch, bool TopStretch, bool RightStretch,
                                    bool BottomStretch, bool StretchEffect, TbsStretchType StretchType) {
    NinePart(LTPt, RTPt, LBPt, RBPt, ClRect, NewLTPoint, NewRTPoint, NewLBPoint, NewRBPoint, NewClRect, Dest, Source,
             SkinRect, Width, Height, DrawClient, LeftStretch, TopStretch, RightStretch, BottomStretch, StretchEffect,
             StretchType, true);
}

void DrawNinePartSkinImageByClientRect(TBitmap* Dest, TBitmap* Source, const TRect& SkinRect, const TRect& ClRect,
                                       bool DrawClient) {
    const TRect NewClRect{ClRect.Left, ClRect.Top, ClRect.Right + Dest->Width() - SkinRect.Width(),
                          ClRect.Bottom + Dest->Height() - SkinRect.Height()};
    NinePart(TPoint{ClRect.Left, ClRect.Top}, TPoint{ClRect.Right, ClRect.Top}, TPoint{ClRect.Left, ClRect.Bottom},
             TPoint{ClRect.Right, ClRect.Bottom}, ClRect, TPoint{NewClRect.Left, NewClRect.Top},
             TPoint{NewClRect.Right, NewClRect.Top}, TPoint{NewClRect.Left, NewClRect.Bottom},
             TPoint{NewClRect.Right, NewClRect.Bottom}, NewClRect, Dest, Source, SkinRect, Dest->Width(),
             Dest->Height(), DrawClient, true, true, true, true, true, bsstFull, false);
}

// ---- strips ----

namespace {

enum class TStripEnds { Both, LeftOnly, None };

void StripH(int LeftWidth, int RightWidth, TBitmap* Dest, TBitmap* Source, const TRect& SR, int Width, bool Stretch,
            TStripEnds Ends) {
    const int H = SR.Height();
    Dest->SetSize(Width, H);
    if (!Source || Source->Empty() || Dest->Empty())
        return;
    if (Ends != TStripEnds::None && LeftWidth != 0)
        Put(Dest, TRect{0, 0, LeftWidth, H}, Source, TRect{SR.Left, SR.Top, SR.Left + LeftWidth, SR.Bottom});
    if (Ends == TStripEnds::Both && RightWidth != 0)
        Put(Dest, TRect{Width - RightWidth, 0, Width, H}, Source,
            TRect{SR.Right - RightWidth, SR.Top, SR.Right, SR.Bottom});
    int M = SR.Width() - LeftWidth - RightWidth;
    if (M == 0)
        M = 1;
    const TRect Middle{SR.Left + LeftWidth, SR.Top, SR.Left + LeftWidth + M, SR.Bottom};
    int From = LeftWidth, To = Width - RightWidth;
    if (Ends == TStripEnds::LeftOnly)
        To = Width;
    else if (Ends == TStripEnds::None)
        From = 0, To = Width;
    if (Stretch)
        Put(Dest, TRect{From, 0, To, H}, Source, Middle);
    else
        TileH(Dest, From, To - From, 0, H, Source, Middle);
}

} // namespace

void DrawSkinStripH(int LeftWidth, int RightWidth, TBitmap* Dest, TBitmap* Source, const TRect& SourceRect, int Width,
                    int Height, bool Stretch) {
    StripH(LeftWidth, RightWidth, Dest, Source, SourceRect, Width, Stretch, TStripEnds::Both);
}

void DrawSkinStripHOpenRight(int LeftWidth, int RightWidth, TBitmap* Dest, TBitmap* Source, const TRect& SourceRect,
                             int Width, int Height, bool Stretch) {
    StripH(LeftWidth, RightWidth, Dest, Source, SourceRect, Width, Stretch, TStripEnds::LeftOnly);
}

void DrawSkinStripHMiddle(int LeftWidth, int RightWidth, TBitmap* Dest, TBitmap* Source, const TRect& SourceRect,
                          int Width, int Height, bool Stretch) {
    StripH(LeftWidth, RightWidth, Dest, Source, SourceRect, Width, Stretch, TStripEnds::None);
}

void DrawSkinStripV(int TopHeight, int BottomHeight, TBitmap* Dest, TBitmap* Source, const TRect& SR, int Width,
                    int Height, bool Stretch) {
    const int W = SR.Width();
    Dest->SetSize(W, Height);
    if (!Source || Source->Empty() || Dest->Empty())
        return;
    if (TopHeight != 0)
        Put(Dest, TRect{0, 0, W, TopHeight}, Source, TRect{SR.Left, SR.Top, SR.Right, SR.Top + TopHeight});
    if (BottomHeight != 0)
        Put(Dest, TRect{0, Height - BottomHeight, W, Height}, Source,
            TRect{SR.Left, SR.Bottom - BottomHeight, SR.Right, SR.Bottom});
    const TRect Middle{SR.Left, SR.Top + TopHeight, SR.Right, SR.Bottom - BottomHeight};
    if (Stretch)
        Put(Dest, TRect{0, TopHeight, W, Height - BottomHeight}, Source, Middle);
    else
        TileV(Dest, TopHeight, Height - TopHeight - BottomHeight, 0, W, Source, Middle);
}

// ---- border strips ----

void CreateSkinBorderImages(const TPoint& LTPt, const TPoint& RTPt, const TPoint& LBPt, const TPoint& RBPt,
                            const TRect& ClRect, const TPoint& NewLTPoint, const TPoint& NewRTPoint,
                            const TPoint& NewLBPoint, const TPoint& NewRBPoint, const TRect& NewClRect,
                            TBitmap* LeftBmp, TBitmap* TopBmp, TBitmap* RightBmp, TBitmap* BottomBmp, TBitmap* Source,
                            const TRect& SkinRect, int Width, int Height, bool LeftStretch, bool TopStretch,
                            bool RightStretch, bool BottomStretch) {
    if (!Source || Source->Empty())
        return;
    const int SL = SkinRect.Left, ST = SkinRect.Top, SR = SkinRect.Right, SB = SkinRect.Bottom;
    const int W = Width, H = Height;

    // Top and bottom middles are tiled from the strip's left edge, under the left corner piece.
    const int TH = NewClRect.Top;
    if (W > 0 && TH > 0 && RTPt.X - LTPt.X > 0) {
        TopBmp->SetSize(W, TH);
        const TRect Middle{SL + LTPt.X, ST, SL + RTPt.X, ST + TH};
        if (TopStretch)
            Put(TopBmp, TRect{NewLTPoint.X, 0, NewRTPoint.X, TH}, Source, Middle);
        else
            TileH(TopBmp, 0, W, 0, TH, Source, Middle);
        Put(TopBmp, TRect{0, 0, NewLTPoint.X, TH}, Source, TRect{SL, ST, SL + LTPt.X, ST + TH});
        Put(TopBmp, TRect{NewRTPoint.X, 0, W, TH}, Source, TRect{SL + RTPt.X, ST, SR, ST + TH});
    }
    const int D = H - NewClRect.Bottom;
    if (W > 0 && D > 0 && RBPt.X - LBPt.X > 0) {
        BottomBmp->SetSize(W, D);
        const TRect Middle{SL + LBPt.X, SB - D, SL + RBPt.X, SB};
        if (BottomStretch)
            Put(BottomBmp, TRect{NewLBPoint.X, 0, NewRBPoint.X, D}, Source, Middle);
        else
            TileH(BottomBmp, 0, W, 0, D, Source, Middle);
        Put(BottomBmp, TRect{0, 0, NewLBPoint.X, D}, Source, TRect{SL, SB - D, SL + LBPt.X, SB});
        Put(BottomBmp, TRect{NewRBPoint.X, 0, W, D}, Source, TRect{SL + RBPt.X, SB - D, SR, SB});
    }

    const int S = H - BottomBmp->Height() - TopBmp->Height();
    // A side strip: its middle stretched or tiled, then the pieces between the frame and the corner points.
    auto Side = [&](TBitmap* Bmp, int StripWidth, int SrcLeft, int SrcRight, int FromY, int ToY, bool Stretch) {
        Bmp->SetSize(StripWidth, S);
        const TRect Middle{SrcLeft, ST + FromY, SrcRight, ST + ToY};
        if (Stretch)
            Put(Bmp, TRect{0, FromY - ClRect.Top, StripWidth, S + ToY - ClRect.Bottom}, Source, Middle);
        else
            TileV(Bmp, 0, S, 0, StripWidth, Source, Middle);
        if (FromY - ClRect.Top > 0)
            Put(Bmp, TRect{0, 0, StripWidth, FromY - ClRect.Top}, Source,
                TRect{SrcLeft, ST + ClRect.Top, SrcRight, ST + FromY});
        if (ClRect.Bottom - ToY > 0)
            Put(Bmp, TRect{0, S - (ClRect.Bottom - ToY), StripWidth, S}, Source,
                TRect{SrcLeft, ST + ToY, SrcRight, ST + ClRect.Bottom});
    };
    if (NewClRect.Left > 0 && S > 0 && LBPt.Y - LTPt.Y > 0)
        Side(LeftBmp, NewClRect.Left, SL, SL + NewClRect.Left, LTPt.Y, LBPt.Y, LeftStretch);
    const int R = W - NewClRect.Right;
    if (R >= 1 && S >= 1 && RBPt.Y - RTPt.Y >= 1)
        Side(RightBmp, R, SL + ClRect.Right, SR, RTPt.Y, RBPt.Y, RightStretch);
}

void CreateSkinBorderMasks(const TPoint& LTPt, const TPoint& RTPt, const TPoint& LBPt, const TPoint& RBPt,
                           const TRect& ClRect, const TPoint& NewLTPoint, const TPoint& NewRTPoint,
                           const TPoint& NewLBPoint, const TPoint& NewRBPoint, const TRect& NewClRect, TBitmap* Mask,
                           TBitmap* TopBmp, TBitmap* LeftBmp, TBitmap* RightBmp, TBitmap* BottomBmp, int Width,
                           int Height) {
    if (!Mask || Mask->Empty())
        return;
    const int MW = Mask->Width(), MH = Mask->Height(), W = Width;
    auto Fresh = [](TBitmap* B, int AWidth, int AHeight) {
        // Strips start white (outside) so that what no piece covers stays out of the region.
        B->SetSize(0, 0);
        B->SetSize(std::max(AWidth, 0), std::max(AHeight, 0));
        return !B->Empty();
    };
    if (Fresh(TopBmp, W, ClRect.Top)) {
        TileH(TopBmp, NewLTPoint.X, NewRTPoint.X - NewLTPoint.X, 0, ClRect.Top, Mask,
              TRect{LTPt.X, 0, RTPt.X, ClRect.Top});
        Put(TopBmp, TRect{0, 0, LTPt.X, ClRect.Top}, Mask, TRect{0, 0, LTPt.X, ClRect.Top});
        Put(TopBmp, TRect{NewRTPoint.X, 0, W, ClRect.Top}, Mask, TRect{RTPt.X, 0, MW, ClRect.Top});
    }
    const int BH = MH - ClRect.Bottom;
    if (Fresh(BottomBmp, W, BH)) {
        TileH(BottomBmp, NewLBPoint.X, NewRBPoint.X - NewLBPoint.X, 0, BH, Mask,
              TRect{LBPt.X, ClRect.Bottom, RBPt.X, MH});
        Put(BottomBmp, TRect{0, 0, LBPt.X, BH}, Mask, TRect{0, ClRect.Bottom, LBPt.X, MH});
        Put(BottomBmp, TRect{NewRBPoint.X, 0, W, BH}, Mask, TRect{RBPt.X, ClRect.Bottom, MW, MH});
    }
    const int S = NewClRect.Height();
    auto Side = [&](TBitmap* Bmp, int SrcLeft, int SrcRight, int FromY, int ToY) {
        const int SW = SrcRight - SrcLeft;
        if (!Fresh(Bmp, SW, S))
            return;
        TileV(Bmp, 0, S, 0, SW, Mask, TRect{SrcLeft, FromY, SrcRight, ToY});
        if (FromY - ClRect.Top > 0)
            Put(Bmp, TRect{0, 0, SW, FromY - ClRect.Top}, Mask, TRect{SrcLeft, ClRect.Top, SrcRight, FromY});
        if (ClRect.Bottom - ToY > 0)
            Put(Bmp, TRect{0, S - (ClRect.Bottom - ToY), SW, S}, Mask, TRect{SrcLeft, ToY, SrcRight, ClRect.Bottom});
    };
    Side(LeftBmp, 0, ClRect.Left, LTPt.Y, LBPt.Y);
    Side(RightBmp, ClRect.Right, MW, RTPt.Y, RBPt.Y);
}

// ---- regions from masks ----

TbsFBitmap::TbsFBitmap(HBITMAP HBmp) {
    BITMAP Info;
    if (GetObject(HBmp, sizeof Info, &Info) == 0 || Info.bmWidth <= 0 || Info.bmHeight == 0)
        return;
    Width = Info.bmWidth;
    Height = Info.bmHeight < 0 ? -Info.bmHeight : Info.bmHeight;
    Gap = Width % 4;
    RowInc = Width * 3 + Gap;
    Size = RowInc * Height;
    bmHeader.biSize = 40;
    bmHeader.biWidth = Width;
    bmHeader.biHeight = -Height;
    bmHeader.biPlanes = 1;
    bmHeader.biBitCount = 24;
    bmHeader.biCompression = BI_RGB;
    bmInfo.bmiHeader = bmHeader;
    void* P = nullptr;
    Handle = CreateDIBSection(nullptr, &bmInfo, DIB_RGB_COLORS, &P, nullptr, 0);
    if (!Handle)
        return;
    Bits = static_cast<BYTE*>(P);
    BITMAPINFO Query = bmInfo;
    GetDIBits(GetScreenDC(), HBmp, 0, UINT(Height), Bits, &Query, DIB_RGB_COLORS);
    Pixels.resize(std::size_t(Height));
    for (int I = 0; I < Height; ++I)
        Pixels[std::size_t(I)] = Bits + std::ptrdiff_t(I) * RowInc;
    hDC = CreateCompatibleDC(nullptr);
    FOldBitmap = SelectObject(hDC, Handle);
}

TbsFBitmap::~TbsFBitmap() {
    if (hDC) {
        SelectObject(hDC, FOldBitmap);
        DeleteDC(hDC);
    }
    if (Handle)
        DeleteObject(Handle);
}

int RegionDataFromMask(TBitmap* Mask, int X, int Y, std::vector<BYTE>& Data) {
    Data.clear();
    if (!Mask || Mask->Empty())
        return 0;
    TbsFBitmap Bmp(Mask->Handle());
    if (!Bmp.Bits)
        return 0;
    // The run list grows with the mask: any number of black runs fits.
    std::vector<RECT> Runs;
    for (int Row = 0; Row < Bmp.Height; ++Row) {
        const BYTE* P = Bmp.Pixels[std::size_t(Row)];
        int C = 0;
        while (C < Bmp.Width) {
            auto Inside = [&](int Col) { return P[Col * 3] == 0 && P[Col * 3 + 1] == 0 && P[Col * 3 + 2] == 0; };
            if (!Inside(C)) {
                ++C;
                continue;
            }
            int E = C;
            while (E < Bmp.Width && Inside(E))
                ++E;
            Runs.push_back(RECT{C + X, Row + Y, E + X, Row + Y + 1});
            C = E;
        }
    }
    RGNDATAHEADER Header;
    Header.dwSize = 32;
    Header.iType = RDH_RECTANGLES;
    Header.nCount = DWORD(Runs.size());
    Header.nRgnSize = 0;
    Header.rcBound = RECT{X, Y, X + Bmp.Width, Y + Bmp.Height};
    static_assert(sizeof(RGNDATAHEADER) == 32 && sizeof(RECT) == 16);
    Data.assign(32 + 16 * Runs.size(), 0);
    std::memcpy(Data.data(), &Header, 32);
    if (!Runs.empty())
        std::memcpy(Data.data() + 32, Runs.data(), 16 * Runs.size());
    return int(Data.size());
}

namespace {
HRGN RegionFromData(const std::vector<BYTE>& Data) {
    if (Data.empty())
        return nullptr;
    return ExtCreateRegion(nullptr, DWORD(Data.size()), reinterpret_cast<const RGNDATA*>(Data.data()));
}
} // namespace

void CreateRegionFromMask(HRGN& Rgn, TBitmap* Mask) {
    std::vector<BYTE> Data;
    RegionDataFromMask(Mask, 0, 0, Data);
    Rgn = RegionFromData(Data);
}

void CreateSkinRegion(HRGN& Rgn, const TPoint& LTPt, const TPoint& RTPt, const TPoint& LBPt, const TPoint& RBPt,
                      const TRect& ClRect, const TPoint& NewLTPoint, const TPoint& NewRTPoint, const TPoint& NewLBPoint,
                      const TPoint& NewRBPoint, const TRect& NewClRect, TBitmap* Mask, int Width, int Height) {
    Rgn = nullptr;
    if (NewRTPoint.X < NewLTPoint.X || NewLBPoint.Y < NewLTPoint.Y)
        return;
    TBitmap Top, Left, Right, Bottom;
    CreateSkinBorderMasks(LTPt, RTPt, LBPt, RBPt, ClRect, NewLTPoint, NewRTPoint, NewLBPoint, NewRBPoint, NewClRect,
                          Mask, &Top, &Left, &Right, &Bottom, Width, Height);
    auto StripRegion = [](TBitmap* Strip, int X, int Y) -> HRGN {
        std::vector<BYTE> Data;
        RegionDataFromMask(Strip, X, Y, Data);
        return RegionFromData(Data);
    };
    HRGN Parts[4] = {StripRegion(&Top, 0, 0), StripRegion(&Bottom, 0, NewClRect.Bottom),
                     StripRegion(&Left, 0, NewClRect.Top), StripRegion(&Right, NewClRect.Right, NewClRect.Top)};
    Rgn = IsNullRect(NewClRect) ? CreateRectRgn(0, 0, 0, 0)
                                : CreateRectRgn(NewClRect.Left, NewClRect.Top, NewClRect.Right, NewClRect.Bottom);
    for (HRGN Part : Parts)
        if (Part) {
            CombineRgn(Rgn, Rgn, Part, RGN_OR);
            DeleteObject(Part);
        }
}
