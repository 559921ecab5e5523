#include "skin/controls/TbsSkinBevel.h"

#include "skin/controls/TbsSkinControl.h"

TbsSkinBevel::TbsSkinBevel(TComponent* AOwner) : TBevel(AOwner) {}

void TbsSkinBevel::SetSkinData(TbsSkinData* Value) {
    ReferToSkinData(this, FSD, Value);
    ChangeSkinData();
}

void TbsSkinBevel::Notification(TComponent* AComponent, TOperation Operation) {
    TBevel::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FSD)
        FSD = nullptr;
}

void TbsSkinBevel::SetDividerMode(bool Value) {
    FDividerMode = Value;
    Repaint();
}

void TbsSkinBevel::ChangeSkinData() {
    FIndex = !FSD || FSD->Empty ? -1 : FSD->GetControlIndex(FSkinDataName);
    if (FIndex == -1) {
        LightColor = clBtnHighlight;
        DarkColor = clBtnShadow;
    } else if (auto* R = dynamic_cast<TbsDataSkinBevel*>(FSD->CtrlList[std::size_t(FIndex)].get())) {
        LightColor = R->LightColor;
        DarkColor = R->DarkColor;
    }
    Repaint();
}

void TbsSkinBevel::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (TbsToolBarParent* Bar = ToolBarOf(this); Bar && Bar->AdjustControls()) {
        const TRect R = Bar->GetSkinClientRect();
        ATop = R.Top + (R.Bottom - R.Top) / 2 - AHeight / 2;
    }
    TBevel::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TbsSkinBevel::Paint() {
    TCanvas* C = Canvas();
    C->Pen()->SetWidth(1);
    const bool Lowered = Style() == bsLowered;
    TColor Color1 = Lowered ? DarkColor : LightColor;
    TColor Color2 = Lowered ? LightColor : DarkColor;
    const int W = Width();
    const int H = Height();
    // Top and left edges in the first colour, bottom and right in the second.
    auto Outline = [C](const TRect& R, TColor First, TColor Second) {
        C->Pen()->SetColor(First);
        C->Polyline({{R.Left, R.Bottom}, {R.Left, R.Top}, {R.Right, R.Top}});
        C->Pen()->SetColor(Second);
        C->Polyline({{R.Right, R.Top}, {R.Right, R.Bottom}, {R.Left, R.Bottom}});
    };
    auto Line = [C](TColor Color, int X1, int Y1, int X2, int Y2) {
        C->Pen()->SetColor(Color);
        C->MoveTo(X1, Y1);
        C->LineTo(X2, Y2);
    };
    if (FDividerMode) {
        switch (Shape()) {
        case bsTopLine:
        case bsBottomLine:
            Outline(Rect(2, H / 2 - 1, W - 2, H / 2), Color1, Color2);
            break;
        case bsBox:
        case bsFrame:
        case bsLeftLine:
        case bsRightLine:
            Outline(Rect(W / 2 - 1, 2, W / 2, H - 2), Color1, Color2);
            break;
        case bsSpacer:
            break;
        }
        return;
    }
    switch (Shape()) {
    case bsBox:
        Outline(Rect(0, 0, W - 1, H - 1), Color1, Color2);
        break;
    case bsFrame: {
        const TColor First = Color1;
        Outline(Rect(1, 1, W - 1, H - 1), Color2, Color2);
        Outline(Rect(0, 0, W - 2, H - 2), First, First);
        break;
    }
    case bsTopLine:
        Line(Color1, 0, 0, W, 0);
        Line(Color2, 0, 1, W, 1);
        break;
    case bsBottomLine:
        Line(Color1, 0, H - 2, W, H - 2);
        Line(Color2, 0, H - 1, W, H - 1);
        break;
    case bsLeftLine:
        Line(Color1, 0, 0, 0, H);
        Line(Color2, 1, 0, 1, H);
        break;
    case bsRightLine:
        Line(Color1, W - 2, 0, W - 2, H);
        Line(Color2, W - 1, 0, W - 1, H);
        break;
    case bsSpacer:
        break;
    }
}
