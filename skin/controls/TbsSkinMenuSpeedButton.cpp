#include "skin/controls/TbsSkinMenuSpeedButton.h"

namespace {

bool IsToolButtonName(const String& N) {
    return N == u"toolbutton" || N == u"bigtoolbutton";
}

bool IsResizeButtonName(const String& N) {
    return N == u"resizebutton" || N == u"resizetoolbutton";
}

} // namespace

TbsSkinMenuSpeedButton::TbsSkinMenuSpeedButton(TComponent* AOwner) : TbsSkinSpeedButton(AOwner) {
    FSkinDataName = u"toolmenubutton";
    FArrowType = 0;
}

void TbsSkinMenuSpeedButton::SetNewStyle(bool Value) {
    FNewStyle = Value;
    if (Value)
        FSkinDataName = u"resizetoolbutton";
}

void TbsSkinMenuSpeedButton::SetTrackPosition(TbsTrackPosition Value) {
    FTrackPosition = Value;
    Repaint();
}

void TbsSkinMenuSpeedButton::SetTrackButtonMode(bool Value) {
    FTrackButtonMode = Value;
    if (FIndex == -1)
        Repaint();
}

void TbsSkinMenuSpeedButton::SetSkinPopupMenu(TPopupMenu* Value) {
    FSkinPopupMenu = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TbsSkinMenuSpeedButton::SetSkinImagesMenu(TbsCustomImagesMenu* Value) {
    FSkinImagesMenu = Value;
    if (Value) {
        Value->FreeNotification(this);
        Value->FOnInternalChange = [this](TObject*) { Repaint(); };
    }
    Repaint();
}

void TbsSkinMenuSpeedButton::Notification(TComponent* AComponent, TOperation Operation) {
    TbsSkinSpeedButton::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FSkinPopupMenu)
        FSkinPopupMenu = nullptr;
}

void TbsSkinMenuSpeedButton::GetSkinData() {
    TbsSkinSpeedButton::GetSkinData();
    if (FIndex == -1)
        return;
    if (auto* R = dynamic_cast<TbsDataSkinMenuButtonControl*>(FSD->CtrlList[std::size_t(FIndex)].get()))
        TrackButtonRect = R->TrackButtonRect;
}

// ---------------------------------------------------------------------------------------------
// Track part and menus

bool TbsSkinMenuSpeedButton::HasOwnRecord() const {
    return FIndex != -1 && !IsToolButtonName(FSkinDataName) && !IsResizeButtonName(FSkinDataName);
}

TRect TbsSkinMenuSpeedButton::StripRect() const {
    if (FNewStyle && FTrackPosition == bstpBottom)
        return Rect(0, Height() - TrackSize, Width(), Height());
    return Rect(Width() - TrackSize, 0, Width(), Height());
}

TRect TbsSkinMenuSpeedButton::TrackRect() const {
    if (!HasOwnRecord())
        return StripRect();
    TRect T = TrackButtonRect;
    if (ResizeMode == 2) {
        T.Left += Width() - GetRectWidth(SkinRect);
        T.Right += Width() - GetRectWidth(SkinRect);
    } else if (ResizeMode == 3) {
        T.Top += Height() - GetRectHeight(SkinRect);
        T.Bottom += Height() - GetRectHeight(SkinRect);
    }
    return T;
}

bool TbsSkinMenuSpeedButton::HitsMenu(int X, int Y) const {
    if (!FSkinPopupMenu && !FSkinImagesMenu)
        return false;
    if (!FTrackButtonMode)
        return true;
    return PtInRectInclusive(TrackRect(), TPoint{X, Y});
}

void TbsSkinMenuSpeedButton::OpenMenus() {
    const TPoint P = const_cast<TbsSkinMenuSpeedButton*>(this)->ClientToScreen(TPoint{0, 0});
    const TRect R = Rect(P.X, P.Y, P.X + Width(), P.Y + Height());
    std::weak_ptr<char> Alive = AliveToken();
    if (FSkinPopupMenu) {
        if (OnShowTrackMenu)
            OnShowTrackMenu(this);
        if (Alive.expired() || !FSkinPopupMenu)
            return;
        PopupMenuService()->PopupFromRect2(FSkinPopupMenu, this, R, false);
    }
    if (FSkinImagesMenu && !Alive.expired()) {
        if (OnShowTrackMenu)
            OnShowTrackMenu(this);
        if (Alive.expired() || !FSkinImagesMenu)
            return;
        FSkinImagesMenu->FOnInternalMenuClose = [this](TObject*) { ImagesMenuClosed(); };
        FSkinImagesMenu->PopupFromRect(R);
    }
}

void TbsSkinMenuSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft) {
        FMenuTracked = HitsMenu(X, Y);
        FMouseIn = true;
        if (FMenuTracked) {
            if (!FDown)
                SetDown(true);
            OpenMenus();
            return;
        }
    }
    TbsSkinSpeedButton::MouseDown(Button, Shift, X, Y);
}

void TbsSkinMenuSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (!FMenuTracked)
        TbsSkinSpeedButton::MouseUp(Button, Shift, X, Y);
}

void TbsSkinMenuSpeedButton::WMPopupMenuClosed(TMessage&) {
    FMenuTracked = false;
    FDown = false;
    FMouseIn = false;
    if (OnHideTrackMenu)
        OnHideTrackMenu(this);
    Repaint();
}

void TbsSkinMenuSpeedButton::ImagesMenuClosed() {
    FMenuTracked = false;
    FDown = false;
    if (OnHideTrackMenu)
        OnHideTrackMenu(this);
    FMouseIn = false;
    Repaint();
}

void TbsSkinMenuSpeedButton::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_POPUPMENUCLOSED:
        WMPopupMenuClosed(Message);
        return;
    }
    TbsSkinSpeedButton::Dispatch(Message);
}

void TbsSkinMenuSpeedButton::CMMouseEnter(TMessage& Message) {
    if (Designing())
        return;
    if (FMenuTracked) {
        FMouseIn = true;
        return;
    }
    TbsSkinSpeedButton::CMMouseEnter(Message);
}

void TbsSkinMenuSpeedButton::CMMouseLeave(TMessage& Message) {
    if (Designing())
        return;
    if (FMenuTracked) {
        FMouseIn = false;
        return;
    }
    TbsSkinSpeedButton::CMMouseLeave(Message);
}

// ---------------------------------------------------------------------------------------------
// Painting

TRect TbsSkinMenuSpeedButton::ContentRect(const TRect& Client) const {
    TRect R = Client;
    if (FNewStyle && FTrackPosition == bstpBottom)
        R.Bottom -= TrackSize;
    else
        R.Right -= TrackSize;
    return R;
}

void TbsSkinMenuSpeedButton::DrawMarker(TCanvas* Canvas, TRect R, bool Pressed, bool Active, TColor Color) {
    if (FDrawStandardArrow) {
        DrawArrowImage(Canvas, R, Color, FArrowType);
    } else if (FIndex != -1 && !IsNullRect(MenuMarkerRect)) {
        DrawMenuMarker(Canvas, R, Active, Pressed || FMenuTracked, false);
    } else {
        DrawDropDownArrowImage(Canvas, R, FMenuTracked ? DownFontColor : Color);
    }
}

void TbsSkinMenuSpeedButton::DrawFaceContent(TBitmap* B, bool AActive, bool ADown, const TRect& TextR) {
    SetFaceFont(B->Canvas(), AActive, ADown);
    PaintContent(B->Canvas(), TextR, AActive, ADown, TextR,
                 Content(AActive && ADown, AActive || ADown, GlyphNumber(ADown, AActive, Enabled(), NumGlyphs())));
}

// Main part and track part as two faces (or one face over the whole button without a track mode).
void TbsSkinMenuSpeedButton::DrawTwoPartFace(TBitmap* B, const TRect& Main, const TRect& Track, bool NinePart) {
    auto Face = [&](const TRect& Source, const TRect& Dest) {
        if (IsNullRect(Source) || !Picture || GetRectWidth(Dest) <= 0 || GetRectHeight(Dest) <= 0)
            return;
        TBitmap Part(GetRectWidth(Dest), GetRectHeight(Dest));
        if (NinePart && ResizeMode == 1) {
            const int DW = GetRectWidth(Dest) - GetRectWidth(SkinRect);
            const int DH = GetRectHeight(Dest) - GetRectHeight(SkinRect);
            DrawNinePartSkinImage(LTPt, RTPt, LBPt, RBPt, ClRect, LTPt, {RTPt.X + DW, RTPt.Y}, {LBPt.X, LBPt.Y + DH},
                                  {RBPt.X + DW, RBPt.Y + DH},
                                  Rect(ClRect.Left, ClRect.Top, ClRect.Right + DW, ClRect.Bottom + DH), &Part, Picture,
                                  Source, Part.Width(), Part.Height(), true, LeftStretch, TopStretch, RightStretch,
                                  BottomStretch, StretchEffect, StretchType);
        } else {
            DrawNinePartSkinImageByClientRect(&Part, Picture, Source, ClRect, true);
        }
        B->Canvas()->Draw(Dest.Left, Dest.Top, &Part);
    };
    const TRect Strip = StripRect();
    if (!FTrackButtonMode) {
        Face(Main, Rect(0, 0, Width(), Height()));
        return;
    }
    Face(Main, ContentRect(Rect(0, 0, Width(), Height())));
    Face(Track, Strip);
}

// A nine-part face of another record of the skin, its corner points and client moved to the target's size.
void TbsSkinMenuSpeedButton::DrawRecordFace(TBitmap* B, TbsDataSkinButtonControl* Rec, bool Active, bool Down,
                                            const TRect& Dest) {
    if (!Rec || GetRectWidth(Dest) <= 0 || GetRectHeight(Dest) <= 0)
        return;
    TBitmap* Source = Rec->PictureIndex >= 0 && Rec->PictureIndex < int(FSD->FActivePictures.size())
                          ? FSD->FActivePictures[std::size_t(Rec->PictureIndex)].get()
                          : nullptr;
    if (!Source)
        return;
    const TRect Normal = Rec->SkinRect;
    const TRect Hot = IsNullRect(Rec->ActiveSkinRect) ? Normal : Rec->ActiveSkinRect;
    const TRect Pressed = IsNullRect(Rec->DownSkinRect) ? Hot : Rec->DownSkinRect;
    const TRect Face = Down ? Pressed : Active ? Hot : Normal;
    const int DW = GetRectWidth(Dest) - GetRectWidth(Normal);
    const int DH = GetRectHeight(Dest) - GetRectHeight(Normal);
    TBitmap Part(GetRectWidth(Dest), GetRectHeight(Dest));
    DrawNinePartSkinImage(Rec->LTPoint, Rec->RTPoint, Rec->LBPoint, Rec->RBPoint, Rec->ClRect, Rec->LTPoint,
                          {Rec->RTPoint.X + DW, Rec->RTPoint.Y}, {Rec->LBPoint.X, Rec->LBPoint.Y + DH},
                          {Rec->RBPoint.X + DW, Rec->RBPoint.Y + DH},
                          Rect(Rec->ClRect.Left, Rec->ClRect.Top, Rec->ClRect.Right + DW, Rec->ClRect.Bottom + DH),
                          &Part, Source, Face, Part.Width(), Part.Height(), true, Rec->LeftStretch, Rec->TopStretch,
                          Rec->RightStretch, Rec->BottomStretch, Rec->StretchEffect, Rec->StretchType);
    B->Canvas()->Draw(Dest.Left, Dest.Top, &Part);
}

// The new style: the resize button's faces, and while hot in track mode a face of its own for the strip.
void TbsSkinMenuSpeedButton::DrawNewStyleFaces(TBitmap* B, bool AActive, bool Pressed) {
    auto Find = [this](const char16_t* Name) -> TbsDataSkinButtonControl* {
        const int I = FSD->GetControlIndex(Name);
        return I < 0 ? nullptr : dynamic_cast<TbsDataSkinButtonControl*>(FSD->CtrlList[std::size_t(I)].get());
    };
    TbsDataSkinButtonControl* Main = Find(u"resizetoolbutton");
    if (!Main)
        Main = Find(u"resizebutton");
    if (!Main)
        return;
    const TRect All = Rect(0, 0, Width(), Height());
    const bool MainDown = Pressed && !FMenuTracked;
    if (!(AActive && FTrackButtonMode)) {
        DrawRecordFace(B, Main, AActive, MainDown, All);
        return;
    }
    TbsDataSkinButtonControl* Track = Find(FTrackPosition == bstpBottom ? u"htracktoolbutton" : u"vtracktoolbutton");
    if (Track) {
        DrawRecordFace(B, Main, AActive, MainDown, All);
        DrawRecordFace(B, Track, AActive, FMenuTracked, StripRect());
    } else {
        DrawRecordFace(B, Main, AActive, MainDown, ContentRect(All));
        DrawRecordFace(B, Main, AActive, FMenuTracked, StripRect());
    }
}

void TbsSkinMenuSpeedButton::CreateButtonImage(TBitmap* B, const TRect& R, bool AActive, bool ADown) {
    const bool Pressed = AActive && ADown;
    const TRect Active = IsNullRect(ActiveSkinRect) ? SkinRect : ActiveSkinRect;
    const TRect DownFace = IsNullRect(DownSkinRect) ? Active : DownSkinRect;
    const TRect Client = Rect(0, 0, Width(), Height());
    const TColor MarkerColor = FaceFontColor(AActive, ADown, FDefaultFont->Color());

    if (HasOwnRecord()) {
        if (FMenuTracked && FTrackButtonMode && !IsNullRect(TrackButtonRect) && !IsNullRect(DownSkinRect)) {
            TbsSkinSpeedButton::CreateButtonImage(B, Active, true, false);
            const TRect T = TrackRect();
            const TRect Src =
                Rect(DownSkinRect.Left + TrackButtonRect.Left, DownSkinRect.Top + TrackButtonRect.Top,
                     DownSkinRect.Left + TrackButtonRect.Right, DownSkinRect.Top + TrackButtonRect.Bottom);
            if (Picture)
                B->Canvas()->CopyRect(T, Picture->Canvas(), Src);
        } else {
            TbsSkinSpeedButton::CreateButtonImage(B, R, AActive, ADown);
        }
        // The marker in the track part, or right of the content.
        TRect M = IsNullRect(TrackButtonRect) ? Rect(NewClRect.Right, 0, Width(), Height()) : TrackRect();
        if (Pressed || FMenuTracked)
            M = Rect(M.Left + 1, M.Top + 1, M.Right + 1, M.Bottom + 1);
        if (GetRectWidth(M) > 0)
            DrawMarker(B->Canvas(), M, Pressed, AActive, MarkerColor);
        return;
    }

    if (FNewStyle && FSkinDataName == u"resizetoolbutton") {
        DrawNewStyleFaces(B, AActive, Pressed);
        DrawFaceContent(B, AActive, ADown, ContentRect(Client));
        TRect M = StripRect();
        if (Pressed && (!FTrackButtonMode || FMenuTracked))
            M = Rect(M.Left + 1, M.Top + 1, M.Right + 1, M.Bottom + 1);
        DrawMarker(B->Canvas(), M, Pressed, AActive, MarkerColor);
        return;
    }

    // Tool-button and resize looks: the faces by state, then content and marker.
    const bool Flat = this->Flat();
    TRect MainFace, TrackFace;
    if (FMenuTracked && FTrackButtonMode) {
        MainFace = Active;
        TrackFace = DownFace;
    } else if (Pressed || FMenuTracked) {
        MainFace = TrackFace = DownFace;
    } else if (AActive) {
        MainFace = TrackFace = Active;
    } else if (!Flat) {
        MainFace = TrackFace = SkinRect;
    }
    if (!Flat || !IsNullRect(MainFace))
        DrawTwoPartFace(B, MainFace, TrackFace, IsResizeButtonName(FSkinDataName));
    DrawFaceContent(B, AActive, ADown, ContentRect(Client));
    TRect M = StripRect();
    if (Pressed || FMenuTracked) {
        if (FNewStyle && FTrackPosition == bstpBottom)
            M = Rect(M.Left + 1, M.Top + 1, M.Right + 1, M.Bottom + 1);
        else
            M = Rect(Width() - 13, M.Top + 2, Width() - 13 + TrackSize, M.Bottom + 2);
    }
    DrawMarker(B->Canvas(), M, Pressed, AActive, MarkerColor);
}

void TbsSkinMenuSpeedButton::CreateControlDefaultImage(TBitmap* B) {
    const bool Pressed = PressedLook();
    auto Colours = [&](bool P, bool A, TColor& Frame, TColor& Fill) {
        if (P) {
            Frame = clNavy;
            Fill = TColor(RGB(0x85, 0x93, 0xB5));
        } else if (A) {
            Frame = clNavy;
            Fill = TColor(RGB(0xB6, 0xBD, 0xD2));
        } else {
            Frame = Flat() ? clBtnFace : clBtnShadow;
            Fill = clBtnFace;
        }
    };
    TCanvas* C = B->Canvas();
    TColor Frame, Fill;
    if (FTrackButtonMode) {
        const bool MainPressed = Pressed && !FMenuTracked;
        Colours(MainPressed, FMouseIn || FMenuTracked, Frame, Fill);
        DrawDefaultFrame(C, ContentRect(Rect(0, 0, Width(), Height())), Frame, Fill);
        Colours(FMenuTracked || MainPressed, FMouseIn, Frame, Fill);
        DrawDefaultFrame(C, StripRect(), Frame, Fill);
    } else {
        Colours(Pressed || FMenuTracked, FMouseIn, Frame, Fill);
        DrawDefaultFrame(C, Rect(0, 0, Width(), Height()), Frame, Fill);
    }
    C->Font()->Assign(FDefaultFont.get());
    if (!Enabled())
        C->Font()->SetColor(clBtnShadow);
    const TRect Client = Rect(0, 0, Width(), Height());
    PaintContent(C, Client, FMouseIn, FDown, ContentRect(Client),
                 Content(Pressed, FMouseIn || FDown, GlyphNumber(FDown, FMouseIn, Enabled(), NumGlyphs())));
    TRect M = StripRect();
    if (Pressed || FMenuTracked)
        M = Rect(Width() - 13, M.Top + 2, Width() - 13 + TrackSize, M.Bottom + 2);
    DrawDropDownArrowImage(C, M, clBtnText);
}

void TbsSkinMenuSpeedButton::Paint() {
    GetSkinData();
    if (FMouseIn || FDown || FMenuTracked || !Transparent()) {
        TbsSkinSpeedButton::Paint();
        return;
    }
    // Idle and transparent: content and marker straight onto the parent's background.
    const TRect Client = Rect(0, 0, Width(), Height());
    const TRect ContentR = HasOwnRecord() ? NewClRect : ContentRect(Client);
    PaintContentOnly(ContentR);
    TRect M = HasOwnRecord() ? Rect(ContentR.Right, 0, Width(), Height()) : StripRect();
    if (FIndex != -1 && !IsNullRect(MenuMarkerFlatRect)) {
        if (ResizeMode != 1)
            M.Left -= 2;
        DrawMenuMarker(Canvas(), M, false, false, true);
    } else if (FIndex == -1) {
        DrawDropDownArrowImage(Canvas(), M, clBtnText);
    } else {
        if (ResizeMode != 1)
            M.Left -= 2;
        DrawDropDownArrowImage(Canvas(), M, FSD->SkinColors()->FcBtnText);
    }
}
