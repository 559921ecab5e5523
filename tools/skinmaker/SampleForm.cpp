#include "tools/skinmaker/SampleForm.h"

#include <algorithm>

#include "platform/base/SysUtils.h"
#include "skin/core/bsUtils.h"

namespace skinmaker {
namespace {

constexpr int FormW = 400, FormH = 360;
// The sheet behind the forms: a neutral grey, so light and dark skins and their corner shapes both show.
constexpr TColor SheetColour = 0x9A9A9A;

class TSample {
public:
    explicit TSample(TbsSkinData& AD) : D(AD) {
        B = std::make_unique<TBitmap>();
        B->SetPixelFormat(pf24bit);
        B->SetSize(FormW, FormH);
        Cv = B->Canvas();
    }

    std::unique_ptr<TBitmap> Draw() {
        Frame();
        CaptionBar();
        const int CL = D.ClRect.Left, CT = D.ClRect.Top, CW = FormW - D.ClRect.Left - (FormW - ClientRight());
        int Y = MenuBar(CL, CT, CW) + 8;
        Y = Buttons(CL + 8, Y) + 10;
        Tabs(CL + 8, Y, CW - 16, ClientBottom() - Y - 30);
        StatusBar(CL, ClientBottom() - 22, CW);
        return std::move(B);
    }

private:
    int ClientRight() const { return FormW - (D.FPicture->Width() - D.ClRect.Right); }
    int ClientBottom() const { return FormH - (D.FPicture->Height() - D.ClRect.Bottom); }
    TBitmap* Pic(int Index) {
        return Index >= 0 && Index < int(D.FActivePictures.size()) ? D.FActivePictures[std::size_t(Index)].get()
                                                                   : nullptr;
    }
    template <class T> T* Ctrl(const String& Name) {
        const int I = D.GetControlIndex(Name);
        return I < 0 ? nullptr : dynamic_cast<T*>(D.CtrlList[std::size_t(I)].get());
    }
    template <class T> T* Obj(const String& Name) {
        const int I = D.GetIndex(Name);
        return I < 0 ? nullptr : dynamic_cast<T*>(D.ObjectList[std::size_t(I)].get());
    }

    // A nine-part face at W x H, drawn at (X, Y).
    void Nine(TBitmap* Src, const TRect& Face, const TPoint& LT, const TPoint& RT, const TPoint& LB, const TPoint& RB,
              const TRect& Cl, bool Stretch, TbsStretchType Type, int X, int Y, int W, int H) {
        if (!Src || Face.Width() <= 0)
            return;
        TBitmap Part;
        Part.SetPixelFormat(pf24bit);
        const int DW = W - Face.Width(), DH = H - Face.Height();
        DrawNinePartSkinImage(LT, RT, LB, RB, Cl, LT, {RT.X + DW, RT.Y}, {LB.X, LB.Y + DH}, {RB.X + DW, RB.Y + DH},
                              {Cl.Left, Cl.Top, Cl.Right + DW, Cl.Bottom + DH}, &Part, Src, Face, W, H, true, true,
                              true, true, true, Stretch, Type);
        Cv->Draw(X, Y, &Part);
    }
    void Nine(TbsDataSkinCustomControl* R, const TRect& Face, int X, int Y, int W, int H) {
        if (R)
            Nine(Pic(R->PictureIndex), Face, R->LTPoint, R->RTPoint, R->LBPoint, R->RBPoint, R->ClRect,
                 R->StretchEffect, R->StretchType, X, Y, W, H);
    }
    void StripH(TBitmap* Src, const TRect& Face, int L, int R, int X, int Y, int W) {
        if (!Src || Face.Width() <= 0)
            return;
        TBitmap Part;
        Part.SetPixelFormat(pf24bit);
        DrawSkinStripH(L, R, &Part, Src, Face, W, Face.Height(), true);
        Cv->Draw(X, Y, &Part);
    }
    void StripV(TBitmap* Src, const TRect& Face, int T, int Bt, int X, int Y, int H) {
        if (!Src || Face.Width() <= 0)
            return;
        TBitmap Part;
        Part.SetPixelFormat(pf24bit);
        DrawSkinStripV(T, Bt, &Part, Src, Face, Face.Width(), H, true);
        Cv->Draw(X, Y, &Part);
    }
    void Copy(TBitmap* Src, const TRect& R, int X, int Y) {
        if (Src && R.Width() > 0)
            Cv->CopyRect({X, Y, X + R.Width(), Y + R.Height()}, Src->Canvas(), R);
    }
    void Text(const TRect& R, const String& S, const String& Font, int Height, TColor Colour, TFontStyles Style = {},
              bool Centre = true) {
        DrawText(Cv, R, S, Font, Height, Colour, Style, Centre);
    }

    void Frame() {
        TBitmap* F = D.FPicture.get();
        Nine(F, {0, 0, F->Width(), F->Height()}, D.LTPoint, D.RTPoint, D.LBPoint, D.RBPoint, D.ClRect, D.StretchEffect,
             D.StretchType, 0, 0, FormW, FormH);
        // The corners outside the mask show the sheet.
        const int DW = FormW - F->Width(), DH = FormH - F->Height();
        for (int Y = 0; Y < FormH; ++Y)
            for (int X = 0; X < FormW; ++X) {
                const int MX = X < D.LTPoint.X ? X : X >= FormW - (F->Width() - D.RTPoint.X) ? X - DW : D.LTPoint.X;
                const int MY = Y < D.LTPoint.Y ? Y : Y >= FormH - (F->Height() - D.LBPoint.Y) ? Y - DH : D.LTPoint.Y;
                if ((D.FMask->Canvas()->Pixels(MX, MY) & 0xFFFFFF) != 0)
                    Cv->SetPixels(X, Y, SheetColour);
            }
    }

    // Caption buttons along the caption from the right, the system menu on the left, the title beside it.
    void CaptionBar() {
        const int DW = FormW - D.FPicture->Width();
        const TRect Row{D.CaptionRect.Left, D.CaptionRect.Top, D.CaptionRect.Right + DW, D.CaptionRect.Bottom};
        int X = Row.Right;
        for (const char16_t* Name : {u"closebutton", u"maxbutton", u"minbutton", u"rollupbutton"}) {
            auto* Btn = Obj<TbsDataSkinStdButton>(Name);
            if (!Btn)
                continue;
            X -= Btn->SkinRect.Width();
            Copy(Pic(Btn->ActivePictureIndex), String(Name) == u"minbutton" ? Btn->ActiveSkinRect : Btn->SkinRect, X,
                 Row.Top);
            X -= D.ButtonsOffset;
        }
        int TextLeft = Row.Left;
        if (auto* Sys = Obj<TbsDataSkinStdButton>(u"sysmenubutton")) {
            const int H = Sys->SkinRect.Height();
            Copy(Pic(Sys->ActivePictureIndex), Sys->SkinRect, Row.Left, Row.Top + Row.Height() / 2 - H / 2);
            TextLeft += Sys->SkinRect.Width() + 4;
        }
        if (auto* Cap = Obj<TbsDataSkinCaption>(u"caption")) {
            const TRect R{TextLeft, Cap->SkinRect.Top + Cap->TextRct.Top, X, Cap->SkinRect.Top + Cap->TextRct.Bottom};
            if (Cap->Shadow)
                Text({R.Left + 1, R.Top + 1, R.Right + 1, R.Bottom + 1}, u"Quorvane 视频转换", Cap->FontName,
                     Cap->FontHeight, Cap->ActiveShadowColor, Cap->FontStyle, false);
            Text(R, u"Quorvane 视频转换", Cap->FontName, Cap->FontHeight, Cap->ActiveFontColor, Cap->FontStyle, false);
        }
    }

    // The menu bar with its second item hot; returns the bar's bottom.
    int MenuBar(int X, int Y, int W) {
        auto* Bar = Ctrl<TbsDataSkinMainMenuBar>(u"mainmenubar");
        auto* Item = Obj<TbsDataSkinMainMenuBarItem>(u"mainmenubaritem");
        if (!Bar || !Item)
            return Y;
        StripH(Pic(Bar->PictureIndex), Bar->SkinRect, 4, 4, X, Y, W);
        int IX = X + Bar->ItemsRect.Left;
        int Index = 0;
        for (const char16_t* Caption : {u"文件", u"编辑", u"动作", u"功能", u"帮助"}) {
            Cv->Font()->SetName(Item->FontName);
            Cv->Font()->SetHeight(Item->FontHeight);
            const int IW = Cv->TextWidth(Caption) + Item->ItemLO + Item->ItemRO + 8;
            const bool Hot = Index++ == 1;
            const int IY = Y + Bar->ItemsRect.Top;
            if (Hot)
                StripH(Pic(Item->ActivePictureIndex), Item->ActiveSkinRect, Item->ItemLO, Item->ItemRO, IX, IY, IW);
            Text({IX, IY, IX + IW, IY + Item->SkinRect.Height()}, Caption, Item->FontName, Item->FontHeight,
                 Hot ? Item->ActiveFontColor : Item->FontColor, Item->FontStyle);
            IX += IW;
        }
        return Y + Bar->SkinRect.Height();
    }

    // Push buttons in their normal, hot, pressed and disabled looks; returns their bottom.
    int Buttons(int X, int Y) {
        auto* B = Ctrl<TbsDataSkinButtonControl>(u"button");
        if (!B)
            return Y;
        const int H = std::max(25, B->SkinRect.Height());
        const struct {
            TRect Face;
            TColor Colour;
            const char16_t* Caption;
        } States[] = {{B->SkinRect, B->FontColor, u"开始"},
                      {B->ActiveSkinRect, B->ActiveFontColor, u"添加"},
                      {B->DownSkinRect, B->DownFontColor, u"停止"},
                      {B->DisabledSkinRect, B->DisabledFontColor, u"暂停"}};
        for (const auto& S : States) {
            Nine(B, S.Face, X, Y, 80, H);
            Text({X, Y, X + 80, Y + H}, S.Caption, B->FontName, B->FontHeight, S.Colour, B->FontStyle);
            X += 88;
        }
        return Y + H;
    }

    void Tabs(int X, int Y, int W, int H) {
        auto* T = Ctrl<TbsDataSkinTabControl>(u"tab");
        if (!T)
            return;
        TBitmap* P = Pic(T->PictureIndex);
        const int TH = T->TabRect.Height();
        Nine(P, T->SkinRect, T->LTPoint, T->RTPoint, T->LBPoint, T->RBPoint, T->ClRect, T->StretchEffect,
             T->StretchType, X, Y + TH - 1, W, H - TH + 1);
        StripH(P, T->TabsBGRect, 0, 0, X, Y, W);
        int TX = X + 2;
        for (auto [Face, Colour, Caption] : {std::tuple{T->ActiveTabRect, T->ActiveFontColor, u"常规设置"},
                                             std::tuple{T->MouseInTabRect, T->MouseInFontColor, u"高级"},
                                             std::tuple{T->TabRect, T->FontColor, u"音频"}}) {
            const int TW = 78;
            StripH(P, Face, T->TabLeftOffset, T->TabRightOffset, TX, Y, TW);
            Text({TX, Y + 1, TX + TW, Y + TH}, Caption, T->FontName, T->FontHeight, Colour, T->FontStyle);
            TX += TW;
        }
        Page(X + 10, Y + TH + 8, W - 20, H - TH - 16);
    }

    // The page: check and radio boxes, a combo box, a slider, and a list view beside a scroll bar.
    void Page(int X, int Y, int W, int H) {
        int CY = Y;
        for (const char16_t* Name : {u"checkbox", u"radiobox"}) {
            auto* C = Ctrl<TbsDataSkinCheckRadioControl>(Name);
            if (!C)
                continue;
            const bool Radio = String(Name) == u"radiobox";
            const struct {
                TRect Face, Mark;
                TColor Colour;
                const char16_t* Caption;
            } Boxes[] = {
                {C->SkinRect, C->CheckImageRect, C->FontColor, Radio ? u"覆盖" : u"预览"},
                {C->ActiveSkinRect, C->ActiveUnCheckImageRect, C->ActiveFontColor, Radio ? u"改名" : u"多线程"}};
            int CX = X;
            for (const auto& Bx : Boxes) {
                Nine(C, Bx.Face, CX, CY, 100, C->SkinRect.Height());
                const TRect& A = C->CheckImageArea;
                Copy(Pic(C->PictureIndex), Bx.Mark, CX + A.Left, CY + A.Top + (A.Height() - Bx.Mark.Height()) / 2);
                Text({CX + C->TextArea.Left, CY, CX + 100, CY + C->SkinRect.Height()}, Bx.Caption, C->FontName,
                     C->FontHeight, Bx.Colour, C->FontStyle, false);
                CX += 104;
            }
            CY += C->SkinRect.Height() + 4;
        }
        if (auto* Combo = Ctrl<TbsDataSkinComboBox>(u"combobox")) {
            Nine(Combo, Combo->SkinRect, X, CY + 4, 150, Combo->SkinRect.Height());
            Text({X + 6, CY + 4, X + 130, CY + 4 + Combo->SkinRect.Height()}, u"MP4 视频", Combo->FontName,
                 Combo->FontHeight, Combo->FontColor, Combo->FontStyle, false);
        }
        if (auto* S = Ctrl<TbsDataSkinSlider>(u"slider")) {
            const int SX = X + 168, SY = CY + 14;
            StripH(Pic(S->PictureIndex), S->HRulerRect, S->EdgeSize, S->EdgeSize, SX, SY - S->HRulerRect.Height() / 2,
                   W - 170);
            // The thumb's normal state: the left half of its two.
            const TRect Th{S->HThumbRect.Left, S->HThumbRect.Top, S->HThumbRect.Left + S->HThumbRect.Width() / 2,
                           S->HThumbRect.Bottom};
            Copy(Pic(S->PictureIndex), Th, SX + (W - 170) * 2 / 5, SY - Th.Height() / 2);
        }
        CY += 34;
        auto* L = Ctrl<TbsDataSkinListView>(u"listview");
        auto* Head = Ctrl<TbsDataSkinButtonControl>(u"resizetoolbutton");
        auto* V = Ctrl<TbsDataSkinScrollBarControl>(u"vscrollbar");
        if (!L || !Head || !V)
            return;
        // The job list: a report view on the record's colour, its header sections drawn from the header record,
        // the chosen row in the selection colours of the list view.
        const int LH = std::max(40, Y + H - CY), LW = W - V->SkinRect.Width();
        Cv->Brush()->SetColor(L->BGColor);
        Cv->FillRect({X, CY, X + LW, CY + LH});
        const int HH = Head->SkinRect.Height(), Split = LW * 3 / 5;
        for (auto [SX, SW, Caption] :
             {std::tuple{X, Split, u"输入 → 输出"}, std::tuple{X + Split, LW - Split, u"进度"}}) {
            Nine(Head, Head->SkinRect, SX, CY, SW, HH);
            Text({SX + 5, CY, SX + SW, CY + HH}, Caption, L->FontName, L->FontHeight, Head->FontColor, {}, false);
        }
        constexpr int RowH = 17;
        int RY = CY + HH;
        int Row = 0;
        for (auto [Item, Done] :
             {std::pair{u"clip01.avi → clip01.mp4", u"100%"}, std::pair{u"movie.mkv → movie.mp4", u"45%"},
              std::pair{u"song.wav → song.mp3", u""}}) {
            if (RY + RowH > CY + LH)
                break;
            TColor Ink = L->FontColor;
            if (Row++ == 1) {
                Cv->Brush()->SetColor(clHighlight);
                Cv->FillRect({X, RY, X + LW, RY + RowH});
                Ink = clHighlightText;
            }
            Text({X + 6, RY, X + Split, RY + RowH}, Item, L->FontName, L->FontHeight, Ink, L->FontStyle, false);
            Text({X + Split + 6, RY, X + LW, RY + RowH}, Done, L->FontName, L->FontHeight, Ink, L->FontStyle, false);
            RY += RowH;
        }
        Nine(V, V->SkinRect, X + LW, CY, V->SkinRect.Width(), LH);
        const int Track = LH - V->UpButtonRect.Height() - (V->SkinRect.Height() - V->DownButtonRect.Top);
        StripV(Pic(V->PictureIndex), V->ThumbRect, V->ThumbOffset1, V->ThumbOffset2, X + LW,
               CY + V->UpButtonRect.Height() + 2, std::max(V->ThumbMinSize, Track / 2));
    }

    void StatusBar(int X, int Y, int W) {
        auto* S = Ctrl<TbsDataSkinPanelControl>(u"statusbar");
        if (!S)
            return;
        Nine(S, S->SkinRect, X, Y, W, 22);
        Text({X + 8, Y, X + W, Y + 22}, u"就绪: 3 个文件", S->FontName, S->FontHeight, S->FontColor, S->FontStyle,
             false);
    }

    TbsSkinData& D;
    std::unique_ptr<TBitmap> B;
    TCanvas* Cv;
};

} // namespace

void DrawText(TCanvas* C, const TRect& R, const String& S, const String& Font, int Height, TColor Colour,
              TFontStyles Style, bool Centre) {
    C->Brush()->SetStyle(bsClear);
    C->Font()->SetName(Font);
    C->Font()->SetHeight(Height);
    C->Font()->SetColor(Colour);
    C->Font()->SetStyle(Style);
    const int TW = C->TextWidth(S), TH = C->TextHeight(S);
    C->TextOut(Centre ? R.Left + (R.Width() - TW) / 2 : R.Left, R.Top + (R.Height() - TH) / 2, S);
    C->Brush()->SetStyle(bsSolid);
}

void SavePng(TBitmap& B, int W, int H, const String& FileName) {
    std::vector<std::uint32_t> Pixels;
    Pixels.reserve(std::size_t(W) * H);
    for (int Y = 0; Y < H; ++Y) {
        const auto* Row = static_cast<const std::uint8_t*>(B.ScanLine(Y));
        for (int X = 0; X < W; ++X)
            Pixels.push_back(0xFF000000u | (std::uint32_t(Row[X * 3 + 2]) << 16) |
                             (std::uint32_t(Row[X * 3 + 1]) << 8) | Row[X * 3]);
    }
    TPngImage Png;
    Png.SetPixels(W, H, Pixels.data(), false);
    Png.SaveToFile(FileName);
}

std::unique_ptr<TBitmap> DrawSampleForm(TbsSkinData& D) {
    return TSample(D).Draw();
}

void WriteSideBySide(const std::vector<std::pair<String, std::unique_ptr<TBitmap>>>& Forms, const String& FileName) {
    constexpr int Columns = 3, Gap = 16, Label = 26;
    const int Rows = (int(Forms.size()) + Columns - 1) / Columns;
    const int W = Gap + Columns * (FormW + Gap), H = Gap + Rows * (Label + FormH + Gap);
    TBitmap Sheet;
    Sheet.SetPixelFormat(pf24bit);
    Sheet.SetSize(W, H);
    TCanvas* C = Sheet.Canvas();
    C->Brush()->SetColor(SheetColour);
    C->FillRect({0, 0, W, H});
    for (std::size_t I = 0; I < Forms.size(); ++I) {
        const int X = Gap + int(I % Columns) * (FormW + Gap), Y = Gap + int(I / Columns) * (Label + FormH + Gap);
        C->Brush()->SetStyle(bsClear);
        C->Font()->SetName(u"Tahoma");
        C->Font()->SetHeight(16);
        C->Font()->SetStyle(TFontStyles{fsBold});
        C->Font()->SetColor(clBlack);
        C->TextOut(X, Y + 2, Forms[I].first);
        C->Brush()->SetStyle(bsSolid);
        C->Draw(X, Y + Label, Forms[I].second.get());
    }
    SavePng(Sheet, W, H, FileName);
}

} // namespace skinmaker
