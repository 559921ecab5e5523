#include "skin/controls/TbsSkinLinkLabel.h"

#include "platform/gdi/WinText.h"
#include "platform/shell/ShellLauncher.h"
#include "skin/core/bsBlur.h"

TbsSkinLinkLabel::TbsSkinLinkLabel(TComponent* AOwner) : TCustomLabel(AOwner), FDefaultFont(std::make_unique<TFont>()) {
    SetTransparent(true);
    FDefaultFont->SetName(u"Arial");
    FDefaultFont->SetHeight(14);
    FDefaultFont->SetStyle({fsUnderline});
    Font()->Assign(FDefaultFont.get());
    SetCursor(crHandPoint);
}

TbsSkinLinkLabel::~TbsSkinLinkLabel() = default;

void TbsSkinLinkLabel::SetSkinData(TbsSkinData* Value) {
    if (FSD && FSD != Value)
        FSD->RemoveFreeNotification(this);
    FSD = Value;
    if (Value) {
        Value->FreeNotification(this);
        ChangeSkinData();
    }
}

void TbsSkinLinkLabel::SetUseUnderLine(bool Value) {
    if (FUseUnderLine == Value)
        return;
    FUseUnderLine = Value;
    Invalidate();
}

void TbsSkinLinkLabel::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomLabel::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FSD)
        FSD = nullptr;
}

void TbsSkinLinkLabel::ChangeSkinData() {
    GetSkinData();
    Invalidate();
}

// A record of another kind leaves the colours copied from the last one that matched.
void TbsSkinLinkLabel::GetSkinData() {
    FIndex = !FSD || FSD->Empty ? -1 : FSD->GetControlIndex(FSkinDataName);
    if (FIndex == -1)
        return;
    if (auto* R = dynamic_cast<TbsDataSkinStdLabelControl*>(FSD->CtrlList.at(std::size_t(FIndex)).get())) {
        FontName = R->FontName;
        FontColor = R->FontColor;
        FontStyle = R->FontStyle;
        FontHeight = R->FontHeight;
        ActiveFontColor = R->ActiveFontColor;
    }
}

TFontCharset TbsSkinLinkLabel::TextCharset() const {
    if (FSD && FSD->ResourceStrData())
        return FSD->ResourceStrData()->CharSet();
    return FDefaultFont->Charset();
}

void TbsSkinLinkLabel::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
        TCustomLabel::Dispatch(Message);
        if (!ComponentState().Contains(csDesigning)) {
            FMouseIn = Message.Msg == CM_MOUSEENTER;
            Invalidate();
        }
        return;
    }
    TCustomLabel::Dispatch(Message);
}

void TbsSkinLinkLabel::Click() {
    std::weak_ptr<char> Alive = AliveToken();
    TCustomLabel::Click();
    if (Alive.expired() || FURL.empty())
        return;
    // Like the shell's own opener, the outcome is not reported back to the user.
    String Error;
    ShellLauncher().Open(FURL, String(), Error);
}

void TbsSkinLinkLabel::DoDrawText(TRect& Rect, UINT Flags) {
    GetSkinData();
    String Text = Caption();
    if (Flags & DT_CALCRECT) {
        if (Text.empty())
            Text = u" ";
        else if (ShowAccelChar() && Text == u"&")
            Text += u" ";
    }
    if (!ShowAccelChar())
        Flags |= DT_NOPREFIX;
    Flags = DrawTextBiDiModeFlags(Flags);
    TRect R = Rect;
    if (FGlowEffect) {
        R.Top += FGlowSize;
        R.Bottom += FGlowSize;
    }
    TCanvas* C = Canvas();
    TFont* F = C->Font();
    if (FIndex == -1) {
        F->Assign(FUseSkinFont ? FDefaultFont.get() : Font());
        F->SetCharset(TextCharset());
        if (FMouseIn)
            F->SetColor(FDefaultActiveFontColor);
        F->SetStyle(F->Style() + fsUnderline);
    } else {
        F->Assign(Font());
        if (FUseSkinFont) {
            F->SetName(FontName);
            F->SetStyle(FontStyle);
            F->SetHeight(FontHeight);
        }
        F->SetStyle(FUseUnderLine ? F->Style() + fsUnderline : F->Style() - fsUnderline);
        F->SetCharset(TextCharset());
        F->SetColor(FMouseIn && !FGlowEffect ? ActiveFontColor : FontColor);
    }
    const TColor GlowColor = FIndex == -1 ? FDefaultActiveFontColor : ActiveFontColor;
    C->Brush()->SetStyle(bsClear);
    if (Flags & DT_CALCRECT) {
        RECT M = R;
        DrawTextW(C->Handle(), Text.c_str(), int(Text.size()), &M, Flags);
        Rect = M;
        return;
    }
    if (Enabled()) {
        F->SetStyle(FUseUnderLine ? F->Style() + fsUnderline : F->Style() - fsUnderline);
        if (FMouseIn && FGlowEffect) {
            DrawOutlineGlowText(C, R, Text, FGlowSize, GlowColor, 0, Flags);
        } else {
            RECT D = R;
            DrawTextW(C->Handle(), Text.c_str(), int(Text.size()), &D, Flags);
        }
        return;
    }
    const bool Skinned = FIndex != -1;
    RECT Light = {R.Left + 1, R.Top + 1, R.Right + 1, R.Bottom + 1};
    F->SetColor(Skinned ? FSD->SkinColors()->FcBtnHighLight : clBtnHighlight);
    DrawTextW(C->Handle(), Text.c_str(), int(Text.size()), &Light, Flags);
    RECT Dark = R;
    F->SetColor(Skinned ? FSD->SkinColors()->FcBtnShadow : clBtnShadow);
    DrawTextW(C->Handle(), Text.c_str(), int(Text.size()), &Dark, Flags);
}
