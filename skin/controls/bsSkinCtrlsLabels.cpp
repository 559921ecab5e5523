#include "skin/controls/bsSkinCtrlsLabels.h"

#include "platform/gdi/WinText.h"

TbsLabelSkin::TbsLabelSkin() : FDefaultFont(std::make_unique<TFont>()) {}

TbsLabelSkin::~TbsLabelSkin() = default;

void TbsLabelSkin::GetSkinData() {
    FIndex = !FSD || FSD->Empty ? -1 : FSD->GetControlIndex(FSkinDataName);
    if (FIndex == -1)
        return;
    if (auto* R = dynamic_cast<TbsDataSkinStdLabelControl*>(FSD->CtrlList[std::size_t(FIndex)].get())) {
        FontName = R->FontName;
        FontColor = R->FontColor;
        FontStyle = R->FontStyle;
        FontHeight = R->FontHeight;
    }
}

void TbsLabelSkin::ApplyTextFont(TCanvas* C, TFont* ControlFont) const {
    if (FIndex == -1) {
        C->Font()->Assign(FUseSkinFont ? FDefaultFont.get() : ControlFont);
    } else {
        C->Font()->Assign(ControlFont);
        if (FUseSkinFont) {
            C->Font()->SetName(FontName);
            C->Font()->SetStyle(FontStyle);
            C->Font()->SetHeight(FontHeight);
        }
        C->Font()->SetColor(FUseSkinColor ? FontColor : ControlFont->Color());
    }
    if (FSD && FSD->ResourceStrData())
        C->Font()->SetCharset(FSD->ResourceStrData()->CharSet());
    else
        C->Font()->SetCharset(FDefaultFont->Charset());
}

void TbsLabelSkin::DrawLabelText(TCanvas* C, const String& Text, TRect& R, UINT F, bool Enabled, bool Ex) const {
    auto Draw = [&](TRect& Where) {
        if (Ex) {
            String Copy = Text;
            DrawTextExW(C->Handle(), Copy.data(), int(Copy.size()), &Where, F, nullptr);
        } else {
            DrawTextW(C->Handle(), Text.c_str(), int(Text.size()), &Where, F);
        }
    };
    C->Brush()->SetStyle(bsClear);
    if (Enabled || (F & DT_CALCRECT)) {
        Draw(R);
        return;
    }
    const bool Skinned = FIndex != -1;
    TRect Moved = Rect(R.Left + 1, R.Top + 1, R.Right + 1, R.Bottom + 1);
    C->Font()->SetColor(Skinned ? FSD->SkinColors()->FcBtnHighLight : clBtnHighlight);
    Draw(Moved);
    C->Font()->SetColor(Skinned ? FSD->SkinColors()->FcBtnShadow : clBtnShadow);
    Draw(R);
}
