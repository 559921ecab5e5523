// Button faces, focus rectangles, parent backgrounds, text helpers and the small marks of skinned controls.
#include <vector>

#include "skin/core/bsUtils.h"

#include "platform/ui/Forms.h"

// ---- layout ----

void CalcImageAndTextLayout(TbsButtonLayout Layout, const TRect& R, int GlyphWidth, int GlyphHeight, int TextWidth,
                            int TextHeight, int Spacing, int Margin, int& TextLeft, int& TextTop, int& GlyphLeft,
                            int& GlyphTop) {
    if (GlyphWidth == 0)
        Spacing = 0;
    const int W = R.Right - R.Left, H = R.Bottom - R.Top;
    const int CX = R.Left + W / 2, CY = R.Top + H / 2;
    const int GX0 = CX - GlyphWidth / 2, GY0 = CY - GlyphHeight / 2;
    const int TX0 = CX - TextWidth / 2, TY0 = CY - TextHeight / 2;
    const int HW = (GlyphWidth + TextWidth + Spacing) / 2, HH = (TextHeight + GlyphHeight + Spacing) / 2;
    const bool Centred = Margin == -1;
    switch (Layout) {
    case blGlyphLeft:
        GlyphTop = GY0;
        TextTop = TY0;
        GlyphLeft = Centred ? CX - HW : R.Left + Margin;
        TextLeft = Centred ? CX + HW - TextWidth : R.Left + Margin + GlyphWidth + Spacing;
        break;
    case blGlyphRight:
        GlyphTop = GY0;
        TextTop = TY0;
        if (Centred) {
            TextLeft = CX - HW;
            GlyphLeft = CX + HW - GlyphWidth;
        } else {
            GlyphLeft = R.Right - GlyphWidth - Margin;
            TextLeft = GlyphLeft - Spacing - TextWidth;
        }
        break;
    case blGlyphTop:
        GlyphLeft = GX0;
        TextLeft = TX0;
        GlyphTop = Centred ? CY - HH : R.Top + Margin;
        TextTop = Centred ? CY + HH - TextHeight : GlyphTop + GlyphHeight + Spacing;
        break;
    case blGlyphBottom:
        GlyphLeft = GX0;
        TextLeft = TX0;
        if (Centred) {
            TextTop = CY - HH;
            GlyphTop = CY + HH - GlyphHeight;
        } else {
            GlyphTop = R.Bottom - GlyphHeight - Margin;
            TextTop = GlyphTop - Spacing - TextHeight;
        }
        break;
    }
}

namespace {

void Line(TCanvas* Canvas, int X1, int Y1, int X2, int Y2) {
    Canvas->MoveTo(X1, Y1);
    Canvas->LineTo(X2, Y2);
}

// The caption's size as the face lays it out: word-wrapped in R less the room the image takes.
void MeasureCaption(TCanvas* Canvas, const String& Text, const TRect& R, TbsButtonLayout Layout, int ImageWidth,
                    int ImageHeight, int& TextWidth, int& TextHeight) {
    TextWidth = TextHeight = 0;
    if (Text.empty())
        return;
    TRect M{0, 0, R.Right - R.Left, R.Bottom - R.Top};
    if (Layout == blGlyphLeft || Layout == blGlyphRight)
        M.Right -= ImageWidth;
    else
        M.Bottom -= ImageHeight;
    DrawTextW(Canvas->Handle(), Text.c_str(), int(Text.size()), &M, DT_CALCRECT | DT_EXPANDTABS | DT_WORDBREAK);
    TextWidth = M.Right - M.Left;
    TextHeight = M.Bottom - M.Top;
}

// What the three face routines share: layout, caption, image, colour marker. DrawImage draws the image at its
// place; MarkerWidth is how wide the marker lines under the image run.
template <class DrawImageFn>
void DrawFace(TCanvas* Canvas, const TRect& R, int Margin, int Spacing, TbsButtonLayout Layout, const String& Text,
              int ImageWidth, int ImageHeight, int MarkerWidth, bool Pressed, bool Centre, bool DrawColorMarker,
              TColor ColorMarkerValue, const TRect& EmptyMarker, DrawImageFn DrawImage) {
    int TW, TH;
    MeasureCaption(Canvas, Text, R, Layout, ImageWidth, ImageHeight, TW, TH);
    Canvas->Brush()->SetStyle(bsClear);
    int TL, TT, GL, GT;
    CalcImageAndTextLayout(Layout, R, ImageWidth, ImageHeight, TW, TH, Spacing, Margin, TL, TT, GL, GT);
    if (Pressed) {
        ++TL, ++TT, ++GL, ++GT;
    }
    TRect TextR{TL, TT, TL + TW + 2, TT + TH};
    if (!Text.empty())
        DrawTextW(Canvas->Handle(), Text.c_str(), int(Text.size()), &TextR,
                  DT_EXPANDTABS | DT_WORDBREAK | DT_VCENTER | (Centre ? DT_CENTER : 0));
    const bool HasImage = ImageWidth > 0 && ImageHeight > 0;
    if (HasImage)
        DrawImage(GL, GT);
    if (!DrawColorMarker)
        return;
    Canvas->Pen()->SetColor(ColorMarkerValue);
    if (HasImage) {
        for (int D = -2; D <= 0; ++D)
            Line(Canvas, GL, GT + ImageHeight + D, GL + MarkerWidth, GT + ImageHeight + D);
    } else if (!Text.empty()) {
        for (int D = -1; D <= 1; ++D)
            Line(Canvas, TextR.Left, TextR.Bottom + D, TextR.Right, TextR.Bottom + D);
    } else {
        Canvas->Brush()->SetStyle(bsSolid);
        Canvas->Brush()->SetColor(ColorMarkerValue);
        Canvas->FillRect(EmptyMarker);
    }
}

void DrawListFace(TCanvas* Canvas, const TRect& R, int Margin, int Spacing, TbsButtonLayout Layout, const String& Text,
                  int ImageIndex, TCustomImageList* Images, bool Pressed, bool Enabled, bool DrawColorMarker,
                  TColor ColorMarkerValue, bool Centre) {
    const bool HasImage = Images && ImageIndex >= 0 && ImageIndex < Images->Count();
    const int IW = HasImage ? Images->Width() : 0, IH = HasImage ? Images->Height() : 0;
    DrawFace(Canvas, R, Margin, Spacing, Layout, Text, IW, IH, IW, Pressed, Centre, DrawColorMarker, ColorMarkerValue,
             TRect{R.Left + 4, R.Top + 4, R.Right - 2, R.Bottom - 4},
             [&](int X, int Y) { Images->Draw(Canvas, X, Y, ImageIndex, Enabled); });
}

} // namespace

void DrawImageAndText(TCanvas* Canvas, const TRect& R, int Margin, int Spacing, TbsButtonLayout Layout,
                      const String& Text, int ImageIndex, TCustomImageList* Images, bool Pressed, bool Enabled,
                      bool DrawColorMarker, TColor ColorMarkerValue) {
    DrawListFace(Canvas, R, Margin, Spacing, Layout, Text, ImageIndex, Images, Pressed, Enabled, DrawColorMarker,
                 ColorMarkerValue, true);
}

void DrawImageAndTextLeft(TCanvas* Canvas, const TRect& R, int Margin, int Spacing, TbsButtonLayout Layout,
                          const String& Text, int ImageIndex, TCustomImageList* Images, bool Pressed, bool Enabled,
                          bool DrawColorMarker, TColor ColorMarkerValue) {
    DrawListFace(Canvas, R, Margin, Spacing, Layout, Text, ImageIndex, Images, Pressed, Enabled, DrawColorMarker,
                 ColorMarkerValue, false);
}

void DrawGlyphAndText(TCanvas* Canvas, const TRect& R, int Margin, int Spacing, TbsButtonLayout Layout,
                      const String& Text, TBitmap* Glyph, TbsNumGlyphs NumGlyphs, int GlyphNum, bool Pressed,
                      bool DrawColorMarker, TColor ColorMarkerValue) {
    const bool HasGlyph = Glyph && !Glyph->Empty() && NumGlyphs > 0;
    const int GW = HasGlyph ? Glyph->Width() / NumGlyphs : 0, GH = HasGlyph ? Glyph->Height() : 0;
    const TRect EmptyMarker = Pressed ? TRect{R.Left + 4, R.Top + 5, R.Right - 2, R.Bottom - 3}
                                      : TRect{R.Left + 4, R.Top + 4, R.Right - 2, R.Bottom - 4};
    DrawFace(Canvas, R, Margin, Spacing, Layout, Text, GW, GH, HasGlyph ? Glyph->Width() : 0, Pressed, true,
             DrawColorMarker, ColorMarkerValue, EmptyMarker,
             [&](int X, int Y) { DrawGlyphFromStrip(Canvas, X, Y, GlyphNum, NumGlyphs, Glyph); });
}

void DrawGlyphFromStrip(TCanvas* Canvas, int X, int Y, int GlyphNum, TbsNumGlyphs NumGlyphs, TBitmap* Glyph) {
    if (!Glyph || Glyph->Empty() || NumGlyphs <= 0)
        return;
    const int W = Glyph->Width() / NumGlyphs, H = Glyph->Height();
    if (W <= 0)
        return;
    TBitmap Frame;
    Frame.SetSize(W, H);
    Frame.Canvas()->CopyRect(TRect{0, 0, W, H}, Glyph->Canvas(), TRect{W * (GlyphNum - 1), 0, W * GlyphNum, H});
    Frame.SetTransparent(true);
    Canvas->Draw(X, Y, &Frame);
}

// ---- focus rectangle ----

void DrawSkinFocusRect(TCanvas* Canvas, const TRect& R) {
    const int L = R.Left, T = R.Top, Ri = R.Right - 1, B = R.Bottom - 1;
    if (Ri < L || B < T)
        return;
    // The closed path, each corner once: top, right, bottom back, left back up.
    std::vector<TPoint> Path;
    for (int X = L; X <= Ri; ++X)
        Path.push_back({X, T});
    for (int Y = T + 1; Y <= B; ++Y)
        Path.push_back({Ri, Y});
    if (B > T)
        for (int X = Ri - 1; X >= L; --X)
            Path.push_back({X, B});
    if (Ri > L)
        for (int Y = B - 1; Y > T; --Y)
            Path.push_back({L, Y});
    const TColor Color = Canvas->Font()->Color();
    bool SetIt = !((Ri - L) % 2 == 0 && (B - T) % 2 == 0);
    for (const TPoint& P : Path) {
        if (SetIt)
            Canvas->SetPixels(P.X, P.Y, Color);
        SetIt = !SetIt;
    }
}

// ---- parent backgrounds ----

namespace {

void PaintBehind(TControl* Control, int DX, int DY, TCanvas* Canvas) {
    if (!Control || !Control->Parent())
        return;
    TWinControl* Parent = Control->Parent();
    Parent->SetControlState(Parent->ControlState() + TControlState{csPaintCopy});
    HDC DC = Canvas->Handle();
    POINT Origin;
    GetViewportOrgEx(DC, &Origin);
    int Saved = SaveDC(DC);
    SetViewportOrgEx(DC, Origin.X - Control->Left() - DX, Origin.Y - Control->Top() - DY, nullptr);
    const TRect Client = Parent->ClientRect();
    IntersectClipRect(DC, 0, 0, Client.Right - Client.Left, Client.Bottom - Client.Top);
    Parent->Perform(WM_ERASEBKGND, WPARAM(DC), 0);
    // A form's face is its background; other windowed parents paint themselves into the DC as well.
    if (!dynamic_cast<TCustomForm*>(Parent))
        Parent->PaintWindow(DC);
    RestoreDC(DC, Saved);

    const TRect Bounds = Control->BoundsRect();
    for (int I = 0; I < Parent->ControlCount(); ++I) {
        TControl* Sibling = Parent->Controls(I);
        if (Sibling == Control)
            break;
        if (dynamic_cast<TWinControl*>(Sibling) || !Sibling->Visible())
            continue;
        const TRect SB = Sibling->BoundsRect();
        TRect Overlap;
        if (!IntersectRect(&Overlap, &SB, &Bounds))
            continue;
        Sibling->SetControlState(Sibling->ControlState() + TControlState{csPaintCopy});
        Saved = SaveDC(DC);
        SetViewportOrgEx(DC, Origin.X + Sibling->Left() - Control->Left() - DX,
                         Origin.Y + Sibling->Top() - Control->Top() - DY, nullptr);
        IntersectClipRect(DC, 0, 0, Sibling->Width(), Sibling->Height());
        Sibling->Perform(WM_PAINT, WPARAM(DC), 0);
        RestoreDC(DC, Saved);
        Sibling->SetControlState(Sibling->ControlState() - TControlState{csPaintCopy});
    }
    Parent->SetControlState(Parent->ControlState() - TControlState{csPaintCopy});
}

} // namespace

void PaintParentBackground(TControl* Control, TCanvas* Canvas) {
    PaintBehind(Control, 0, 0, Canvas);
}

void PaintParentBackgroundRect(TControl* Control, const TRect& R, TCanvas* Canvas) {
    PaintBehind(Control, R.Left, R.Top, Canvas);
}

// ---- text ----

namespace {
TRect Measure(TCanvas* Canvas, const String& Text) {
    TRect R{0, 0, 0, 0};
    DrawTextW(Canvas->Handle(), Text.c_str(), int(Text.size()), &R, DT_CALCRECT);
    return R;
}

template <class MeasureFn> void Fit(String& Text, int Width, MeasureFn Width_) {
    if (Width_(Text) <= Width)
        return;
    String Rest = Text;
    while (!Rest.empty()) {
        Rest.pop_back();
        if (Width_(Rest + u"...") <= Width)
            break;
    }
    Text = Rest + u"...";
}
} // namespace

int GetWideTextWidth(TCanvas* Canvas, const String& Text) {
    return Measure(Canvas, Text).Right;
}

int GetWideTextHeight(TCanvas* Canvas, const String& Text) {
    return Measure(Canvas, Text).Bottom;
}

void FitWideTextToWidth(TCanvas* Canvas, String& Text, int Width) {
    Fit(Text, Width, [&](const String& S) { return GetWideTextWidth(Canvas, S); });
}

void FitTextToWidth(TCanvas* Canvas, String& Text, int Width) {
    Fit(Text, Width, [&](const String& S) { return Canvas->TextWidth(S); });
}

int DrawWideText(TCanvas* Canvas, const String& Text, TRect& R, UINT Format) {
    return DrawTextW(Canvas->Handle(), Text.c_str(), int(Text.size()), &R, Format);
}

void DrawTextVCentered(TCanvas* Canvas, const String& Text, const TRect& R) {
    if (Text.empty())
        return;
    TRect Box = R;
    DrawTextW(Canvas->Handle(), Text.c_str(), int(Text.size()), &Box, DT_SINGLELINE | DT_VCENTER);
}

void TextOutVCentered(TCanvas* Canvas, const String& Text, const TRect& R) {
    TextOutVCenteredOffset(Canvas, Text, R, 0);
}

void TextOutVCenteredOffset(TCanvas* Canvas, const String& Text, const TRect& R, int Offset) {
    if (Text.empty())
        return;
    Canvas->TextOut(R.Left + Offset + 2, R.Top + (R.Bottom - R.Top) / 2 - Canvas->TextHeight(Text) / 2, Text);
}

// ---- marks ----

void DrawDropDownArrowImage(TCanvas* Canvas, const TRect& R, TColor Color) {
    const int CX = R.Left + (R.Right - R.Left) / 2, CY = R.Top + (R.Bottom - R.Top) / 2;
    Canvas->Pen()->SetColor(Color);
    Line(Canvas, CX - 2, CY, CX + 3, CY);
    Line(Canvas, CX - 1, CY + 1, CX + 2, CY + 1);
    Line(Canvas, CX, CY + 2, CX + 1, CY + 2);
}

void DrawArrowImage(TCanvas* Canvas, const TRect& R, TColor Color, int Code) {
    const int CX = R.Left + (R.Right - R.Left) / 2, CY = R.Top + (R.Bottom - R.Top) / 2;
    Canvas->Pen()->SetColor(Color);
    for (int I = 0; I <= 3; ++I) {
        const int N = 3 - I; // right and down run from the wide end
        switch (Code) {
        case 1:
            Line(Canvas, CX - 2 + I, CY - I, CX - 2 + I, CY + I + 1);
            break;
        case 2:
            Line(Canvas, CX + 2 - N, CY - N, CX + 2 - N, CY + N + 1);
            break;
        case 3:
            Line(Canvas, CX - I, CY - 2 + I, CX + I + 1, CY - 2 + I);
            break;
        case 4:
            Line(Canvas, CX - N, CY + 2 - N, CX + N + 1, CY + 2 - N);
            break;
        default:
            return;
        }
    }
}

void DrawRadioImage(TCanvas* Canvas, int X, int Y, TColor Color) {
    Canvas->Pen()->SetColor(Color);
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(Color);
    Canvas->Rectangle(X, Y, X + 6, Y + 6);
}

void DrawCheckImage(TCanvas* Canvas, int X, int Y, TColor Color) {
    Canvas->Pen()->SetColor(Color);
    for (int I = 0; I <= 2; ++I)
        Canvas->Polyline({TPoint{X, Y + 5 - I}, TPoint{X + 2, Y + 7 - I}, TPoint{X + 7, Y + 2 - I}});
}

namespace {
void Hollow(TCanvas* Canvas, int X1, int Y1, int X2, int Y2) {
    const TBrushStyle Old = Canvas->Brush()->Style();
    Canvas->Brush()->SetStyle(bsClear);
    Canvas->Rectangle(X1, Y1, X2, Y2);
    Canvas->Brush()->SetStyle(Old);
}
} // namespace

void DrawCloseImage(TCanvas* Canvas, int X, int Y, TColor Color) {
    Canvas->Pen()->SetColor(Color);
    Line(Canvas, X + 1, Y + 1, X + 9, Y + 9);
    Line(Canvas, X + 9, Y + 1, X + 1, Y + 9);
    Line(Canvas, X + 2, Y + 1, X + 10, Y + 9);
    Line(Canvas, X + 8, Y + 1, X, Y + 9);
}

void DrawSysMenuImage(TCanvas* Canvas, int X, int Y, TColor Color) {
    Canvas->Pen()->SetColor(Color);
    Hollow(Canvas, X + 1, Y + 3, X + 9, Y + 6);
}

void DrawMinimizeImage(TCanvas* Canvas, int X, int Y, TColor Color) {
    Canvas->Pen()->SetColor(Color);
    Line(Canvas, X + 1, Y + 8, X + 9, Y + 8);
    Line(Canvas, X + 1, Y + 9, X + 9, Y + 9);
}

void DrawMaximizeImage(TCanvas* Canvas, int X, int Y, TColor Color) {
    Canvas->Pen()->SetColor(Color);
    Hollow(Canvas, X, Y, X + 11, Y + 10);
    Hollow(Canvas, X, Y, X + 11, Y + 2);
}

void DrawRestoreImage(TCanvas* Canvas, int X, int Y, TColor Color) {
    Canvas->Pen()->SetColor(Color);
    Hollow(Canvas, X + 2, Y, X + 10, Y + 6);
    Hollow(Canvas, X + 2, Y, X + 10, Y + 2);
    Hollow(Canvas, X, Y + 4, X + 7, Y + 10);
    Hollow(Canvas, X, Y + 4, X + 7, Y + 6);
}

void DrawRollDownImage(TCanvas* Canvas, int X, int Y, TColor Color) {
    Canvas->Pen()->SetColor(Color);
    for (int I = 0; I <= 4; ++I)
        Line(Canvas, X + 1 + I, Y + 2 + I, X + 9 - I, Y + 2 + I);
}

void DrawRollUpImage(TCanvas* Canvas, int X, int Y, TColor Color) {
    Canvas->Pen()->SetColor(Color);
    for (int I = 0; I <= 4; ++I)
        Line(Canvas, X + 1 + I, Y + 6 - I, X + 9 - I, Y + 6 - I);
}

void DrawMinimizeToTrayImage(TCanvas* Canvas, int X, int Y, TColor Color) {
    Canvas->Pen()->SetColor(Color);
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(Color);
    Canvas->Rectangle(X + 2, Y + 2, X + 7, Y + 7);
}
