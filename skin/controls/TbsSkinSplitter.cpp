#include "skin/controls/TbsSkinSplitter.h"

#include "skin/controls/TbsSkinControl.h"
#include "skin/core/bsUtils.h"

TbsSkinSplitter::TbsSkinSplitter(TComponent* AOwner) : TSplitter(AOwner) {
    SetControlStyle(ControlStyle() + csOpaque);
}

void TbsSkinSplitter::SetTransparent(bool Value) {
    FTransparent = Value;
    SetControlStyle(Value ? ControlStyle() - csOpaque : ControlStyle() + csOpaque);
    Repaint();
}

void TbsSkinSplitter::SetSkinData(TbsSkinData* Value) {
    ReferToSkinData(this, FSD, Value);
    ChangeSkinData();
}

void TbsSkinSplitter::Notification(TComponent* AComponent, TOperation Operation) {
    TSplitter::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FSD)
        FSD = nullptr;
}

void TbsSkinSplitter::GetSkinData() {
    FIndex = !FSD || FSD->Empty ? -1 : FSD->GetControlIndex(FSkinDataName);
    FSkinPicture = nullptr;
    if (FIndex == -1)
        return;
    auto* R = dynamic_cast<TbsDataSkinSplitterControl*>(FSD->CtrlList[std::size_t(FIndex)].get());
    if (!R)
        return;
    LTPt = R->LTPoint;
    RTPt = R->RTPoint;
    LBPt = R->LBPoint;
    SkinRect = R->SkinRect;
    StretchEffect = R->StretchEffect;
    if (R->PictureIndex >= 0 && R->PictureIndex < int(FSD->FActivePictures.size()))
        FSkinPicture = FSD->FActivePictures[std::size_t(R->PictureIndex)].get();
    GripperRect = R->GripperRect;
    GripperTransparent = R->GripperTransparent;
    GripperTransparentColor = R->GripperTransparentColor;
}

void TbsSkinSplitter::ChangeSkinData() {
    GetSkinData();
    const bool OwnSize = FIndex == -1 || FTransparent;
    if (Align() == alTop || Align() == alBottom)
        SetHeight(OwnSize ? FDefaultSize : GetRectHeight(SkinRect));
    else
        SetWidth(OwnSize ? FDefaultSize : GetRectWidth(SkinRect));
    Repaint();
}

void TbsSkinSplitter::Paint() {
    if (FTransparent || Width() < 1 || Height() < 1)
        return;
    GetSkinData();
    const TAlign A = Align();
    if (FIndex == -1 || A == alNone || A == alClient || A == alCustom || !FSkinPicture) {
        TSplitter::Paint();
        return;
    }
    TBitmap Strip;
    if (A == alTop || A == alBottom)
        DrawSkinStripH(LTPt.X, GetRectWidth(SkinRect) - RTPt.X, &Strip, FSkinPicture, SkinRect, Width(),
                       GetRectHeight(SkinRect), StretchEffect);
    else
        DrawSkinStripV(LTPt.Y, GetRectHeight(SkinRect) - LBPt.Y, &Strip, FSkinPicture, SkinRect, GetRectWidth(SkinRect),
                       Height(), StretchEffect);
    if (!IsNullRect(GripperRect)) {
        TBitmap Grip(GetRectWidth(GripperRect), GetRectHeight(GripperRect));
        Grip.Canvas()->CopyRect(Rect(0, 0, Grip.Width(), Grip.Height()), FSkinPicture->Canvas(), GripperRect);
        if (GripperTransparent) {
            Grip.SetTransparentMode(tmFixed);
            Grip.SetTransparentColor(GripperTransparentColor);
            Grip.SetTransparent(true);
        }
        Strip.Canvas()->Draw(Strip.Width() / 2 - Grip.Width() / 2, Strip.Height() / 2 - Grip.Height() / 2, &Grip);
    }
    Canvas()->Draw(0, 0, &Strip);
}
