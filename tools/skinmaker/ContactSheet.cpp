#include "tools/skinmaker/ContactSheet.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/base/SysUtils.h"
#include "skin/core/bsUtils.h"
#include "tools/skinmaker/SampleForm.h"

namespace skinmaker {
namespace {

constexpr int SheetW = 1400;

class TSheetWriter {
public:
    explicit TSheetWriter(TbsSkinData& AD) : D(AD) {
        FSheet.SetPixelFormat(pf24bit);
        FSheet.SetSize(SheetW, 4000);
        C()->Brush()->SetColor(D.SkinColors()->FcBtnFace);
        C()->FillRect(TRect{0, 0, SheetW, 4000});
    }
    TCanvas* C() { return FSheet.Canvas(); }
    TBitmap* Picture(int Index) {
        return Index >= 0 && Index < int(D.FActivePictures.size()) ? D.FActivePictures[std::size_t(Index)].get()
                                                                   : nullptr;
    }

    void Text(int X, int Y, const String& S, TColor Colour, int Height = 12, bool Bold = false,
              const String& Font = u"Tahoma") {
        C()->Brush()->SetStyle(bsClear);
        C()->Font()->SetName(Font);
        C()->Font()->SetHeight(Height);
        C()->Font()->SetColor(Colour);
        C()->Font()->SetStyle(Bold ? TFontStyles{fsBold} : TFontStyles{});
        C()->TextOut(X, Y, S);
        C()->Brush()->SetStyle(bsSolid);
    }
    // A row: the record's name on the left, then the pictures.
    void Row(const String& Name, int Height) {
        if (FY + Height + 8 > FSheet.Height())
            return;
        Text(8, FY + 2, Name, D.SkinColors()->FcBtnText, 11);
        FX = 170;
        FRowH = Height;
    }
    void EndRow() { FY += FRowH + 8; }
    void Put(TBitmap& B) {
        C()->Draw(FX, FY, &B);
        FX += B.Width() + 10;
    }
    void PutSource(TBitmap* Src, const TRect& R) {
        if (!Src || R.Width() <= 0 || R.Height() <= 0)
            return;
        C()->CopyRect(TRect{FX, FY, FX + R.Width(), FY + R.Height()}, Src->Canvas(), R);
        FX += R.Width() + 10;
    }

    // The nine-part face of a custom control record at a new size, with a caption in the client part.
    std::unique_ptr<TBitmap> NinePart(TbsDataSkinCustomControl& R, const TRect& Face, int W, int H) {
        auto B = std::make_unique<TBitmap>();
        B->SetPixelFormat(pf24bit);
        TBitmap* Src = Picture(R.PictureIndex);
        if (!Src)
            return B;
        const int DW = W - Face.Width(), DH = H - Face.Height();
        DrawNinePartSkinImage(
            R.LTPoint, R.RTPoint, R.LBPoint, R.RBPoint, R.ClRect, R.LTPoint, {R.RTPoint.X + DW, R.RTPoint.Y},
            {R.LBPoint.X, R.LBPoint.Y + DH}, {R.RBPoint.X + DW, R.RBPoint.Y + DH},
            {R.ClRect.Left, R.ClRect.Top, R.ClRect.Right + DW, R.ClRect.Bottom + DH}, B.get(), Src, Face, W, H, true,
            R.LeftStretch, R.TopStretch, R.RightStretch, R.BottomStretch, R.StretchEffect, R.StretchType);
        return B;
    }
    void Caption(TBitmap& B, const TRect& Area, const String& S, const String& Font, int Height, TColor Colour,
                 TFontStyles Style = {}) {
        DrawText(B.Canvas(), Area, S, Font, Height, Colour, Style);
    }

    template <class T> void Faces(T& R, std::initializer_list<std::pair<TRect, TColor>> States, const String& Label) {
        const int W = R.SkinRect.Width(), H = R.SkinRect.Height();
        for (auto Size : {std::pair{W + W / 2 + 16, H}, std::pair{W * 2 + 40, H + H / 2 + 4}}) {
            for (auto [Face, Colour] : States) {
                if (Face.Width() <= 0)
                    continue;
                auto B = NinePart(R, Face, Size.first, Size.second);
                if (!Label.empty())
                    Caption(*B, {0, 0, B->Width(), B->Height()}, Label, R.FontName, R.FontHeight, Colour, R.FontStyle);
                Put(*B);
            }
        }
    }

    void Controls() {
        for (auto& Record : D.CtrlList) {
            TbsDataSkinControl& Rec = *Record;
            const String& N = Rec.IDName;
            if (auto* B = dynamic_cast<TbsDataSkinButtonControl*>(&Rec)) {
                Row(N, std::max(B->SkinRect.Height() * 3 / 2 + 4, 24));
                Faces(*B,
                      {{B->SkinRect, B->FontColor},
                       {B->ActiveSkinRect, B->ActiveFontColor},
                       {B->DownSkinRect, B->DownFontColor},
                       {B->DisabledSkinRect, B->DisabledFontColor},
                       {B->FocusedSkinRect, B->FontColor}},
                      B->SkinRect.Width() >= 36 ? String(u"确定") : String());
                if (auto* MB = dynamic_cast<TbsDataSkinMenuButtonControl*>(B)) {
                    PutSource(Picture(0), MB->MenuMarkerRect);
                    PutSource(Picture(0), MB->MenuMarkerActiveRect);
                }
            } else if (auto* P = dynamic_cast<TbsDataSkinPanelControl*>(&Rec)) {
                Row(N, P->SkinRect.Height() * 3 / 2 + 4);
                const int W = P->SkinRect.Width(), H = P->SkinRect.Height();
                for (auto [Wd, Hd] : {std::pair{W * 2, H}, std::pair{W * 4, H * 3 / 2 + 4}}) {
                    auto Bm = NinePart(*P, P->SkinRect, Wd, Hd);
                    if (P->CaptionRect.Width() > 0)
                        Caption(*Bm,
                                {P->CaptionRect.Left, P->CaptionRect.Top, P->CaptionRect.Right + Wd - W,
                                 P->CaptionRect.Bottom},
                                u"转换参数", P->FontName, P->FontHeight, P->FontColor, P->FontStyle);
                    Put(*Bm);
                }
            } else if (auto* CR = dynamic_cast<TbsDataSkinCheckRadioControl*>(&Rec)) {
                Row(N, 30);
                for (const TRect& Img :
                     {CR->UnCheckImageRect, CR->CheckImageRect, CR->ActiveUnCheckImageRect, CR->ActiveCheckImageRect,
                      CR->UnEnabledUnCheckImageRect, CR->UnEnabledCheckImageRect, CR->GrayedCheckImageRect})
                    PutSource(Picture(0), Img);
                for (int Wd : {140, 200}) {
                    auto Bm = NinePart(*CR, CR->SkinRect, Wd, 24);
                    Bm->Canvas()->CopyRect({CR->CheckImageArea.Left, 5, CR->CheckImageArea.Left + 14, 19},
                                           Picture(0)->Canvas(), CR->CheckImageRect);
                    Caption(*Bm, {20, 0, Wd, 24}, u"自动打开输出文件夹", CR->FontName, CR->FontHeight, CR->FontColor);
                    Put(*Bm);
                }
            } else if (auto* U = dynamic_cast<TbsDataSkinUpDownControl*>(&Rec)) {
                // Drawn at the skin's size: its buttons are placed, not stretched.
                Row(N, U->SkinRect.Height());
                for (const TRect& R : {U->SkinRect, U->ActiveUpButtonRect, U->DownUpButtonRect, U->ActiveDownButtonRect,
                                       U->DownDownButtonRect})
                    PutSource(Picture(0), R);
            } else if (auto* Cu = dynamic_cast<TbsDataSkinCustomControl*>(&Rec)) {
                const int W = Cu->SkinRect.Width(), H = Cu->SkinRect.Height();
                const bool Tall = H > W * 2;
                // A scroll bar keeps its thickness and grows along its length only.
                const bool Bar = dynamic_cast<TbsDataSkinScrollBarControl*>(Cu) != nullptr;
                Row(N, Tall ? H * 2 + 10 : H * 3 / 2 + 4);
                TRect Second = Cu->SkinRect;
                if (auto* E = dynamic_cast<TbsDataSkinEditControl*>(Cu))
                    Second = E->ActiveSkinRect;
                if (auto* Co = dynamic_cast<TbsDataSkinComboBox*>(Cu))
                    Second = Co->ActiveSkinRect;
                for (const TRect& Face : {Cu->SkinRect, Second}) {
                    const std::vector<std::pair<int, int>> Sizes =
                        Tall  ? std::vector<std::pair<int, int>>{{W, H + H / 2}, {W, H * 2 + 10}}
                        : Bar ? std::vector<std::pair<int, int>>{{W + W / 2 + 16, H}, {W * 2 + 40, H}}
                              : std::vector<std::pair<int, int>>{{W + W / 2 + 16, H}, {W * 2 + 40, H + H / 2 + 4}};
                    for (auto [Wd, Hd] : Sizes) {
                        auto Bm = NinePart(*Cu, Face, Wd, Hd);
                        if (auto* L = dynamic_cast<TbsDataSkinLabelControl*>(Cu))
                            Caption(*Bm, {0, 0, Wd, Hd}, u"视频预览", L->FontName, L->FontHeight, L->FontColor,
                                    L->FontStyle);
                        if (auto* E = dynamic_cast<TbsDataSkinEditControl*>(Cu))
                            Caption(*Bm, {4, 0, Wd / 2, Hd}, u"D:\\视频", E->FontName, E->FontHeight, E->FontColor);
                        Put(*Bm);
                    }
                    if (Face == Second)
                        break;
                }
                if (auto* L = dynamic_cast<TbsDataSkinListBox*>(Cu)) {
                    PutSource(Picture(0), L->SItemRect);
                    PutSource(Picture(0), L->ActiveItemRect);
                    PutSource(Picture(0), L->FocusItemRect);
                }
                if (auto* S = dynamic_cast<TbsDataSkinScrollBarControl*>(Cu)) {
                    for (const TRect& R : {S->ActiveUpButtonRect, S->DownUpButtonRect, S->ThumbRect, S->ActiveThumbRect,
                                           S->DownThumbRect})
                        PutSource(Picture(0), R);
                }
            } else if (auto* T = dynamic_cast<TbsDataSkinTabControl*>(&Rec)) {
                Row(N, 80);
                for (auto [R, Label] : {std::pair{T->TabRect, u"常规设置"}, std::pair{T->ActiveTabRect, u"CPU设置"},
                                        std::pair{T->MouseInTabRect, u"高级"}}) {
                    for (int Wd : {70, 110}) {
                        auto Bm = std::make_unique<TBitmap>();
                        Bm->SetPixelFormat(pf24bit);
                        DrawSkinStripH(T->TabLeftOffset, T->TabRightOffset, Bm.get(), Picture(0), R, Wd, R.Height(),
                                       true);
                        Caption(*Bm, {0, 0, Wd, R.Height()}, Label, T->FontName, T->FontHeight,
                                R == T->ActiveTabRect ? T->ActiveFontColor : T->FontColor);
                        Put(*Bm);
                    }
                }
                PutSource(Picture(0), T->SkinRect);
            } else if (auto* S = dynamic_cast<TbsDataSkinSlider*>(&Rec)) {
                Row(N, 64);
                for (const TRect& R : {S->HRulerRect, S->HThumbRect, S->VRulerRect, S->VThumbRect})
                    PutSource(Picture(0), R);
            } else if (auto* MB = dynamic_cast<TbsDataSkinMainMenuBar*>(&Rec)) {
                Row(N, MB->SkinRect.Height());
                for (int Wd : {200, 400}) {
                    auto Bm = std::make_unique<TBitmap>();
                    Bm->SetPixelFormat(pf24bit);
                    DrawSkinStripH(4, 4, Bm.get(), Picture(0), MB->SkinRect, Wd, MB->SkinRect.Height(), true);
                    Put(*Bm);
                }
            } else {
                continue;
            }
            EndRow();
        }
    }

    void Objects() {
        for (auto& Record : D.ObjectList) {
            TbsDataSkinObject& O = *Record;
            if (auto* I = dynamic_cast<TbsDataSkinMenuItem*>(&O)) {
                Row(O.IDName, 22);
                for (auto [R, Colour] :
                     {std::pair{I->SkinRect, I->FontColor}, std::pair{I->ActiveSkinRect, I->ActiveFontColor}})
                    for (int Wd : {140, 220}) {
                        auto Bm = std::make_unique<TBitmap>();
                        Bm->SetPixelFormat(pf24bit);
                        DrawSkinStripH(I->ItemLO, I->ItemRO, Bm.get(), Picture(0), R, Wd, R.Height(), true);
                        Bm->Canvas()->CopyRect({8, 5, 20, 17}, Picture(0)->Canvas(),
                                               R == I->SkinRect ? I->CheckImageRect : I->ActiveCheckImageRect);
                        Caption(*Bm, {I->TextRct.Left, 0, Wd - 20, R.Height()}, u"添加一个文件", I->FontName,
                                I->FontHeight, Colour);
                        Put(*Bm);
                    }
                auto Bm = std::make_unique<TBitmap>();
                Bm->SetPixelFormat(pf24bit);
                DrawSkinStripH(I->DividerLO, I->DividerRO, Bm.get(), Picture(0), I->DividerRect, 140, 7, true);
                Put(*Bm);
            } else if (auto* MI = dynamic_cast<TbsDataSkinMainMenuItem*>(&O)) {
                Row(O.IDName, 22);
                for (auto [R, Colour] :
                     {std::pair{MI->SkinRect, MI->FontColor}, std::pair{MI->ActiveSkinRect, MI->ActiveFontColor},
                      std::pair{MI->DownRect, MI->DownFontColor}})
                    for (int Wd : {50, 80}) {
                        auto Bm = std::make_unique<TBitmap>();
                        Bm->SetPixelFormat(pf24bit);
                        DrawSkinStripH(MI->ItemLO, MI->ItemRO, Bm.get(), Picture(0), R, Wd, R.Height(), true);
                        Caption(*Bm, {0, 0, Wd, R.Height()}, u"文件", MI->FontName, MI->FontHeight, Colour);
                        Put(*Bm);
                    }
            } else if (auto* B = dynamic_cast<TbsDataSkinButton*>(&O)) {
                Row(O.IDName, B->SkinRect.Height());
                for (const TRect& R : {B->SkinRect, B->ActiveSkinRect, B->DownRect, B->DisableSkinRect})
                    PutSource(Picture(B->ActivePictureIndex), R);
                if (auto* S = dynamic_cast<TbsDataSkinStdButton*>(B))
                    for (const TRect& R : {S->RestoreRect, S->RestoreActiveRect, S->RestoreDownRect})
                        PutSource(Picture(B->ActivePictureIndex), R);
            } else {
                continue;
            }
            EndRow();
        }
    }

    // A whole window at a size: frame, caption with buttons, menu bar, a few controls.
    void Window(int W, int H) {
        TBitmap* F = D.FPicture.get();
        auto B = std::make_unique<TBitmap>();
        B->SetPixelFormat(pf24bit);
        const int DW = W - F->Width(), DH = H - F->Height();
        DrawNinePartSkinImage(D.LTPoint, D.RTPoint, D.LBPoint, D.RBPoint, D.ClRect, D.LTPoint,
                              {D.RTPoint.X + DW, D.RTPoint.Y}, {D.LBPoint.X, D.LBPoint.Y + DH},
                              {D.RBPoint.X + DW, D.RBPoint.Y + DH},
                              {D.ClRect.Left, D.ClRect.Top, D.ClRect.Right + DW, D.ClRect.Bottom + DH}, B.get(), F,
                              TRect{0, 0, F->Width(), F->Height()}, W, H, true, D.LeftStretch, D.TopStretch,
                              D.RightStretch, D.BottomStretch, D.StretchEffect, D.StretchType);
        // Corners outside the mask show the sheet.
        for (int Y = 0; Y < H; ++Y)
            for (int X = 0; X < W; ++X) {
                const int MX = X < D.LTPoint.X ? X : X >= W - (F->Width() - D.RTPoint.X) ? X - DW : D.LTPoint.X;
                const int MY = Y < D.LTPoint.Y ? Y : Y >= H - (F->Height() - D.LBPoint.Y) ? Y - DH : D.LTPoint.Y;
                if ((D.FMask->Canvas()->Pixels(MX, MY) & 0xFFFFFF) != 0)
                    B->Canvas()->SetPixels(X, Y, D.SkinColors()->FcBtnFace);
            }
        TCanvas* Cv = B->Canvas();
        int X = D.CaptionRect.Right + DW;
        for (const char16_t* Name : {u"closebutton", u"maxbutton", u"minbutton"}) {
            const int I = D.GetIndex(Name);
            if (I < 0)
                continue;
            auto* Btn = static_cast<TbsDataSkinButton*>(D.ObjectList[std::size_t(I)].get());
            const TRect R = Btn->SkinRect;
            X -= R.Width();
            Cv->CopyRect({X, D.CaptionRect.Top, X + R.Width(), D.CaptionRect.Top + R.Height()}, Picture(0)->Canvas(),
                         Name == String(u"closebutton") ? Btn->ActiveSkinRect : R);
            X -= D.ButtonsOffset;
        }
        if (const int I = D.GetIndex(u"sysmenubutton"); I >= 0) {
            const TRect R = D.ObjectList[std::size_t(I)]->SkinRect;
            Cv->CopyRect({D.CaptionRect.Left, 5, D.CaptionRect.Left + R.Width(), 5 + R.Height()}, Picture(0)->Canvas(),
                         R);
        }
        if (const int I = D.GetIndex(u"caption"); I >= 0) {
            auto* Cap = static_cast<TbsDataSkinCaption*>(D.ObjectList[std::size_t(I)].get());
            Cv->Brush()->SetStyle(bsClear);
            Cv->Font()->SetName(Cap->FontName);
            Cv->Font()->SetHeight(Cap->FontHeight);
            Cv->Font()->SetStyle(Cap->FontStyle);
            Cv->Font()->SetColor(Cap->ActiveShadowColor);
            Cv->TextOut(D.CaptionRect.Left + 25, 7, u"Quorvane 视频转换");
            Cv->Font()->SetColor(Cap->ActiveFontColor);
            Cv->TextOut(D.CaptionRect.Left + 24, 6, u"Quorvane 视频转换");
        }
        // The menu bar under the caption, then a button, an edit and a combo box on the client.
        const int CL = D.ClRect.Left, CT = D.ClRect.Top;
        if (const int I = D.GetControlIndex(u"mainmenubar"); I >= 0) {
            auto* MB = static_cast<TbsDataSkinMainMenuBar*>(D.CtrlList[std::size_t(I)].get());
            TBitmap Bar;
            Bar.SetPixelFormat(pf24bit);
            DrawSkinStripH(4, 4, &Bar, Picture(0), MB->SkinRect, W - 2 * CL, MB->SkinRect.Height(), true);
            Cv->Draw(CL, CT, &Bar);
            int IX = CL + 4;
            for (const char16_t* Item : {u"文件", u"编辑", u"动作", u"功能", u"帮助"}) {
                Cv->Font()->SetName(u"Tahoma");
                Cv->Font()->SetHeight(13);
                Cv->Font()->SetStyle({});
                Cv->Font()->SetColor(D.SkinColors()->FcBtnText);
                Cv->TextOut(IX + 8, CT + 5, Item);
                IX += 44;
            }
        }
        const auto Place = [&](const char16_t* Name, int PX, int PY, int PW, const String& Label) {
            const int I = D.GetControlIndex(Name);
            if (I < 0)
                return;
            auto* R = dynamic_cast<TbsDataSkinCustomControl*>(D.CtrlList[std::size_t(I)].get());
            if (!R)
                return;
            auto Bm = NinePart(*R, R->SkinRect, PW, R->SkinRect.Height());
            if (auto* Btn = dynamic_cast<TbsDataSkinButtonControl*>(R))
                Caption(*Bm, {0, 0, PW, Bm->Height()}, Label, Btn->FontName, Btn->FontHeight, Btn->FontColor);
            else if (!Label.empty())
                Caption(*Bm, {4, 0, PW - 20, Bm->Height()}, Label, u"Tahoma", 13, D.SkinColors()->FcWindowText);
            Cv->Draw(PX, PY, Bm.get());
        };
        Place(u"toolpanel", CL, CT + 24, W - 2 * CL, u"");
        Place(u"button", CL + 10, CT + 34, 80, u"开始");
        Place(u"button", CL + 100, CT + 34, 80, u"停止");
        Place(u"combobox", CL + 10, CT + 76, 160, u"MP4 视频");
        Place(u"edit", CL + 10, CT + 104, 160, u"");
        Place(u"vscrollbar", W - CL - 17, CT + 68, 17, u"");
        Put(*B);
    }

    void Frames() {
        Row(u"window", 300);
        Window(360, 220);
        Window(520, 300);
        EndRow();
        Row(u"popup, hint", 90);
        for (auto [Picture, Size] : {std::pair{D.PopupWindow->WindowPictureIndex, std::pair{160, 90}},
                                     std::pair{D.HintWindow->WindowPictureIndex, std::pair{140, 28}}}) {
            TBitmap* Src = this->Picture(Picture);
            if (!Src)
                continue;
            auto Frame = std::make_unique<TBitmap>();
            Frame->SetPixelFormat(pf24bit);
            Frame->SetSize(Size.first, Size.second);
            DrawNinePartSkinImageByClientRect(Frame.get(), Src, {0, 0, Src->Width(), Src->Height()},
                                              {6, 6, Src->Width() - 6, Src->Height() - 6}, true);
            Caption(*Frame, {0, 0, Size.first, Size.second}, u"打开快照目录", u"Tahoma", 13, D.SkinColors()->FcBtnText);
            Put(*Frame);
        }
        EndRow();
    }

    void Save(const String& FileName) { SavePng(FSheet, SheetW, std::min(FY + 8, FSheet.Height()), FileName); }

    TbsSkinData& D;
    TBitmap FSheet;
    int FX = 0;
    int FY = 8;
    int FRowH = 0;
};

} // namespace

void WriteContactSheet(TbsSkinData& D, const String& FileName) {
    TSheetWriter W(D);
    W.Text(8, 8, D.SkinName, D.SkinColors()->FcBtnText, 20, true);
    W.Row(u"", 30);
    W.EndRow();
    W.Frames();
    W.Controls();
    W.Objects();
    W.Save(FileName);
}

} // namespace skinmaker
