#include "skin/controls/TbsSkinStdLabel.h"

#include "platform/gdi/WinText.h"
#include "skin/controls/TbsSkinControl.h"

namespace {

UINT AlignmentFlag(TAlignment A) {
    return A == taRightJustify ? DT_RIGHT : A == taCenter ? DT_CENTER : DT_LEFT;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TbsSkinStdLabel

TbsSkinStdLabel::TbsSkinStdLabel(TComponent* AOwner) : TCustomLabel(AOwner) {
    SetTransparent(true);
}

void TbsSkinStdLabel::SetEllipsType(TbsEllipsType Value) {
    if (Value == FEllipsType)
        return;
    FEllipsType = Value;
    Invalidate();
}

void TbsSkinStdLabel::SetSkinData(TbsSkinData* Value) {
    ReferToSkinData(this, FSD, Value);
    if (Value)
        ChangeSkinData();
}

void TbsSkinStdLabel::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomLabel::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FSD)
        FSD = nullptr;
}

void TbsSkinStdLabel::ChangeSkinData() {
    GetSkinData();
    if (TControl::AutoSize())
        AdjustBounds();
    Repaint();
}

UINT TbsSkinStdLabel::EllipsFlag() const {
    return FEllipsType == bsetEndEllips ? DT_END_ELLIPSIS : FEllipsType == bsetPathEllips ? DT_PATH_ELLIPSIS : 0;
}

void TbsSkinStdLabel::DrawOn(TCanvas* C, const String& Text, TRect& R, UINT Flags) {
    GetSkinData();
    String Shown = Text;
    if ((Flags & DT_CALCRECT) && (Shown.empty() || (ShowAccelChar() && Shown == u"&")))
        Shown += u" ";
    UINT F = Flags | EllipsFlag();
    if (!ShowAccelChar())
        F |= DT_NOPREFIX;
    ApplyTextFont(C, Font());
    DrawLabelText(C, Shown, R, F, Enabled(), FEllipsType != bsetNone);
}

void TbsSkinStdLabel::DoDrawText(TRect& Rect, UINT Flags) {
    DrawOn(Canvas(), Caption(), Rect, Flags);
}

// Measured in the font the label draws in.
bool TbsSkinStdLabel::CanAutoSize(int& NewWidth, int& NewHeight) {
    TBitmap B(1, 1);
    TRect R = Rect(0, 0, WordWrap() ? NewWidth : 0, 0);
    DrawOn(B.Canvas(), Caption(), R,
           DT_EXPANDTABS | DT_CALCRECT | (WordWrap() ? DT_WORDBREAK : 0) | AlignmentFlag(Alignment()));
    // An aligned label keeps the side its alignment stretches: a label on the left of a bar is as high as the bar,
    // so its layout can centre the text.
    const TAlign A = Align();
    if (!WordWrap() && A != alTop && A != alBottom && A != alClient)
        NewWidth = R.Right - R.Left;
    if (A != alLeft && A != alRight && A != alClient)
        NewHeight = R.Bottom - R.Top;
    return true;
}

void TbsSkinStdLabel::PaintSkinTo(TCanvas* C, int X, int Y, const String& AText) {
    TRect R = ClientRect();
    if (!Transparent()) {
        C->Brush()->SetColor(Color());
        C->Brush()->SetStyle(bsSolid);
        C->FillRect(Rect(R.Left + X, R.Top + Y, R.Right + X, R.Bottom + Y));
    }
    C->Brush()->SetStyle(bsClear);
    const UINT F = (WordWrap() ? DT_WORDBREAK : 0) | DT_EXPANDTABS | AlignmentFlag(Alignment());
    if (Layout() != tlTop) {
        TRect Measure = R;
        DrawOn(C, AText, Measure, F | DT_CALCRECT);
        const int Spare = Height() - Measure.Bottom;
        R.Top += Layout() == tlBottom ? Spare : Spare / 2;
        R.Bottom += Layout() == tlBottom ? Spare : Spare / 2;
    }
    R = Rect(R.Left + X, R.Top + Y, R.Right + X, R.Bottom + Y);
    DrawOn(C, AText, R, F);
}

// ---------------------------------------------------------------------------------------------
// TbsSkinTextLabel

TbsSkinTextLabel::TbsSkinTextLabel(TComponent* AOwner)
    : TGraphicControl(AOwner), FLines(std::make_unique<TStringList>()) {
    SetControlStyle(ControlStyle() - csOpaque + csReplicatable);
    SetBounds(Left(), Top(), 65, 65);
    FLines->OnChange = [this](TObject*) {
        if (FAutoSize)
            AdjustBounds();
        Invalidate();
    };
}

TbsSkinTextLabel::~TbsSkinTextLabel() {
    FLines->OnChange = nullptr;
}

void TbsSkinTextLabel::SetLines(TStrings* Value) {
    FLines->Assign(Value);
    Repaint();
}

void TbsSkinTextLabel::SetAlignment(TAlignment Value) {
    if (Value == FAlignment)
        return;
    FAlignment = Value;
    Invalidate();
}

void TbsSkinTextLabel::SetAutoSize(bool Value) {
    if (Value == FAutoSize)
        return;
    FAutoSize = Value;
    AdjustBounds();
}

void TbsSkinTextLabel::SetLayout(TTextLayout Value) {
    if (Value == FLayout)
        return;
    FLayout = Value;
    Invalidate();
}

void TbsSkinTextLabel::SetWordWrap(bool Value) {
    if (Value == FWordWrap)
        return;
    FWordWrap = Value;
    AdjustBounds();
    Invalidate();
}

void TbsSkinTextLabel::SetSkinData(TbsSkinData* Value) {
    ReferToSkinData(this, FSD, Value);
    if (Value)
        ChangeSkinData();
}

void TbsSkinTextLabel::Notification(TComponent* AComponent, TOperation Operation) {
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FSD)
        FSD = nullptr;
}

void TbsSkinTextLabel::ChangeSkinData() {
    GetSkinData();
    if (FAutoSize)
        AdjustBounds();
    Repaint();
}

void TbsSkinTextLabel::Loaded() {
    TGraphicControl::Loaded();
    AdjustBounds();
}

String TbsSkinTextLabel::GetLabelText() const {
    String Text;
    for (int I = 0; I < FLines->Count(); ++I)
        Text += FLines->Strings(I) + u"\r\n";
    return Text;
}

UINT TbsSkinTextLabel::TextFlags() const {
    return DT_EXPANDTABS | (FWordWrap ? DT_WORDBREAK : 0) | AlignmentFlag(FAlignment);
}

void TbsSkinTextLabel::AdjustBounds() {
    if (ComponentState().Contains(csReading) || ComponentState().Contains(csLoading) || !FAutoSize)
        return;
    GetSkinData();
    TBitmap B(1, 1);
    TCanvas* C = B.Canvas();
    ApplyTextFont(C, Font());
    TRect R = ClientRect();
    const String Text = GetLabelText();
    DrawLabelText(C, Text, R, DT_EXPANDTABS | DT_CALCRECT | (FWordWrap ? DT_WORDBREAK : 0), true, false);
    // The last line break adds an empty line that is not shown.
    const int NewHeight = R.Bottom - C->TextHeight(u"A");
    const int NewWidth = R.Right;
    int X = Left();
    if (FAlignment == taRightJustify)
        X += Width() - NewWidth;
    SetBounds(X, Top(), NewWidth, NewHeight);
}

void TbsSkinTextLabel::Paint() {
    GetSkinData();
    TCanvas* C = Canvas();
    ApplyTextFont(C, Font());
    C->Brush()->SetStyle(bsClear);
    TRect R = ClientRect();
    const UINT F = TextFlags();
    const String Text = GetLabelText();
    if (FLayout != tlTop) {
        TRect Measure = R;
        DrawLabelText(C, Text, Measure, F | DT_CALCRECT, true, false);
        Measure.Bottom -= C->TextHeight(u"A");
        const int Spare = Height() - Measure.Bottom;
        const int Down = FLayout == tlBottom ? Spare : Spare / 2;
        R.Top += Down;
        R.Bottom += Down;
    }
    DrawLabelText(C, Text, R, F, Enabled(), false);
}

void TbsSkinTextLabel::Dispatch(TMessage& Message) {
    if (Message.Msg == CM_FONTCHANGED) {
        TGraphicControl::Dispatch(Message);
        AdjustBounds();
        Invalidate();
        return;
    }
    TGraphicControl::Dispatch(Message);
}
