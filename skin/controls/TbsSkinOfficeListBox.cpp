#include "skin/controls/TbsSkinOfficeListBox.h"

#include <algorithm>

#include "platform/gdi/WinGdi.h"
#include "platform/ui/Forms.h"
#include "skin/core/TbsDataSkinControl.h"
#include "skin/core/TbsSkinData.h"

namespace {

bool PtIn(const TRect& R, int X, int Y) {
    return X >= R.Left && X < R.Right && Y >= R.Top && Y < R.Bottom;
}

TRect Shrunk(const TRect& R, int D) {
    return Rect(R.Left + D, R.Top + D, R.Right - D, R.Bottom - D);
}

template <class T> T* RecordOf(TbsSkinData* SD, const String& Name) {
    if (!SD || SD->Empty)
        return nullptr;
    const int I = SD->GetControlIndex(Name);
    return I < 0 ? nullptr : dynamic_cast<T*>(SD->CtrlList.at(std::size_t(I)).get());
}

TBitmap* ActivePicture(TbsSkinData* SD, int Index) {
    if (!SD || Index < 0 || Index >= int(SD->FActivePictures.size()))
        return nullptr;
    return SD->FActivePictures[std::size_t(Index)].get();
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TbsSkinOfficeItem

// Joins the collection only once its own fields exist: joining repaints the list, which reads them.
TbsSkinOfficeItem::TbsSkinOfficeItem(TCollection* Collection) : TCollectionItem(nullptr) {
    SetCollection(Collection);
    if (auto* Items = dynamic_cast<TbsSkinOfficeItems*>(Collection); Items && Items->OfficeListBox)
        Active = Index() == Items->OfficeListBox->ItemIndex();
}

void TbsSkinOfficeItem::Assign(TPersistent* Source) {
    if (auto* S = dynamic_cast<TbsSkinOfficeItem*>(Source)) {
        FImageIndex = S->FImageIndex;
        FCaption = S->FCaption;
        FTitle = S->FTitle;
        FEnabled = S->FEnabled;
        FHeader = S->FHeader;
        Changed(false);
        return;
    }
    TCollectionItem::Assign(Source);
}

void TbsSkinOfficeItem::SetImageIndex(int Value) {
    FImageIndex = Value;
    Changed(false);
}

void TbsSkinOfficeItem::SetTitle(const String& Value) {
    FTitle = Value;
    Changed(false);
}

void TbsSkinOfficeItem::SetCaption(const String& Value) {
    FCaption = Value;
    Changed(false);
}

void TbsSkinOfficeItem::SetData(void* Value) {
    FData = Value;
}

void TbsSkinOfficeItem::SetEnabled(bool Value) {
    FEnabled = Value;
    Changed(false);
}

void TbsSkinOfficeItem::SetHeader(bool Value) {
    FHeader = Value;
    Changed(false);
}

// ---------------------------------------------------------------------------------------------
// TbsSkinOfficeItems

TbsSkinOfficeItems::TbsSkinOfficeItems(TbsSkinOfficeListBox* AListBox)
    : TCollection(ItemClassOf<TbsSkinOfficeItem>()), OfficeListBox(AListBox) {}

TPersistent* TbsSkinOfficeItems::GetOwner() const {
    return OfficeListBox;
}

void TbsSkinOfficeItems::Update(TCollectionItem*) {
    if (!OfficeListBox)
        return;
    OfficeListBox->Repaint();
    OfficeListBox->UpdateScrollInfo();
}

TbsSkinOfficeItem* TbsSkinOfficeItems::Add() {
    auto* Item = static_cast<TbsSkinOfficeItem*>(TCollection::Add());
    if (OfficeListBox)
        OfficeListBox->Repaint();
    return Item;
}

TbsSkinOfficeItem* TbsSkinOfficeItems::Insert(int Index) {
    auto* Item = static_cast<TbsSkinOfficeItem*>(TCollection::Insert(Index));
    if (OfficeListBox)
        OfficeListBox->Repaint();
    return Item;
}

void TbsSkinOfficeItems::Delete(int Index) {
    TCollection::Delete(Index);
    if (OfficeListBox)
        OfficeListBox->Repaint();
}

void TbsSkinOfficeItems::Clear() {
    TCollection::Clear();
    if (OfficeListBox)
        OfficeListBox->Repaint();
}

// ---------------------------------------------------------------------------------------------
// TbsSkinOfficeListBox

TbsSkinOfficeListBox::TbsSkinOfficeListBox(TComponent* AOwner)
    : TbsSkinCustomControl(AOwner), FItems(std::make_unique<TbsSkinOfficeItems>(this)) {
    FControlStyle += csOpaque;
    FSkinDataName = u"listbox";
    SetBounds(Left(), Top(), 150, 150);
}

TbsSkinOfficeListBox::~TbsSkinOfficeListBox() {
    // Rows going away must not reach a list that is half destroyed.
    FItems->OfficeListBox = nullptr;
}

void TbsSkinOfficeListBox::SetItems(TbsSkinOfficeItems* Value) {
    FItems->Assign(Value);
    Repaint();
    UpdateScrollInfo();
}

void TbsSkinOfficeListBox::SetImages(TCustomImageList* Value) {
    FImages = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TbsSkinOfficeListBox::SetShowItemTitles(bool Value) {
    if (FShowItemTitles == Value)
        return;
    FShowItemTitles = Value;
    Repaint();
}

void TbsSkinOfficeListBox::SetItemHeight(int Value) {
    if (Value < 1 || FItemHeight == Value)
        return;
    FItemHeight = Value;
    Repaint();
}

void TbsSkinOfficeListBox::SetHeaderHeight(int Value) {
    if (Value < 1 || FHeaderHeight == Value)
        return;
    FHeaderHeight = Value;
    Repaint();
}

void TbsSkinOfficeListBox::SetShowLines(bool Value) {
    if (FShowLines == Value)
        return;
    FShowLines = Value;
    Repaint();
}

void TbsSkinOfficeListBox::Notification(TComponent* AComponent, TOperation Operation) {
    TbsSkinCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages)
        FImages = nullptr;
}

bool TbsSkinOfficeListBox::MarkActive(int Index) {
    bool Found = false;
    for (int I = 0; I < FItems->Count(); ++I) {
        FItems->Items(I)->Active = I == Index;
        Found = Found || I == Index;
    }
    return Found;
}

void TbsSkinOfficeListBox::SetItemIndex(int Value) {
    // Checked before anything is stored, so the list keeps a valid index when the caller's is wrong.
    if (Value >= 0)
        FItems->Items(Value);
    FItemIndex = Value;
    if (Value < 0) {
        MarkActive(-1);
        Repaint();
        return;
    }
    const bool Found = MarkActive(Value);
    Repaint();
    ScrollToItem(Value);
    if (!Found || Designing())
        return;
    std::weak_ptr<char> Alive = AliveToken();
    TbsSkinOfficeItem* Item = FItems->Items(Value);
    if (Item->OnClick)
        Item->OnClick(this);
    if (!Alive.expired() && OnItemClick)
        OnItemClick(this);
}

void TbsSkinOfficeListBox::SetActiveItem(int Index) {
    FItemIndex = Index;
    MarkActive(Index);
    Repaint();
    ScrollToItem(Index);
}

// ---------------------------------------------------------------------------------------------
// Layout and scrolling

void TbsSkinOfficeListBox::CalcItemRects() {
    FRealMax = 0;
    GetSkinData();
    if (FIndex != -1) {
        int W = Width();
        int H = Height();
        CalcSize(W, H);
        FItemsRect = ResizeMode == 0 ? ClRect : NewClRect;
    } else {
        FItemsRect = Rect(2, 2, Width() - 2, Height() - 2);
    }
    if (ScrollBar)
        FItemsRect.Right -= ScrollBar->Width();
    int Y = FItemsRect.Top;
    const int RowWidth = FItemsRect.Right - FItemsRect.Left;
    for (int I = 0; I < FItems->Count(); ++I) {
        TbsSkinOfficeItem* Item = FItems->Items(I);
        const int H = Item->FHeader ? FHeaderHeight : FItemHeight;
        Item->ItemRect = Rect(FItemsRect.Left, Y - FScrollOffset, FItemsRect.Left + RowWidth, Y + H - FScrollOffset);
        Y += H;
        const TRect& R = Item->ItemRect;
        Item->IsVisible = PtIn(FItemsRect, R.Left + 1, R.Top) || PtIn(FItemsRect, R.Right - 1, R.Bottom) ||
                          (R.Top <= FItemsRect.Top && R.Bottom >= FItemsRect.Bottom);
        if (Item->IsVisible)
            FRealMax = R.Bottom;
    }
    FMax = Y;
}

void TbsSkinOfficeListBox::GetScrollInfo(int& AMin, int& AMax, int& APage, int& APosition) {
    CalcItemRects();
    AMin = 0;
    AMax = FMax - FItemsRect.Top;
    APage = FItemsRect.Bottom - FItemsRect.Top;
    if (AMax <= APage) {
        AMax = 0;
        APage = 0;
    }
    APosition = FScrollOffset;
}

void TbsSkinOfficeListBox::UpdateScrollInfo() {
    int Min = 0, Max = 0, Page = 0, Pos = 0;
    GetScrollInfo(Min, Max, Page, Pos);
    if (Max != 0) {
        if (!ScrollBar)
            ShowScrollbar();
        ScrollBar->SetRange(0, Max, Pos, Page);
        ScrollBar->SetLargeChange(Page);
    } else if (ScrollBar) {
        HideScrollBar();
    }
}

void TbsSkinOfficeListBox::ShowScrollbar() {
    if (ScrollBar)
        return;
    ScrollBar = new TbsSkinScrollBar(this);
    ScrollBar->SetVisible(false);
    ScrollBar->SetParent(this);
    ScrollBar->SetDefaultHeight(0);
    ScrollBar->SetDefaultWidth(19);
    ScrollBar->SetSmallChange(FItemHeight);
    ScrollBar->SetLargeChange(FItemHeight);
    ScrollBar->SetSkinDataName(u"vscrollbar");
    ScrollBar->SetKind(sbVertical);
    ScrollBar->SetSkinData(FSD);
    ScrollBar->OnChange = [this](TObject* Sender) { SBChange(Sender); };
    AdjustScrollBar();
    ScrollBar->SetVisible(true);
    Repaint();
}

void TbsSkinOfficeListBox::AdjustScrollBar() {
    if (!ScrollBar)
        return;
    TRect R = Rect(2, 2, Width() - 2, Height() - 2);
    if (FIndex != -1) {
        int W = Width();
        int H = Height();
        CalcSize(W, H);
        R = ResizeMode == 0 ? ClRect : NewClRect;
    }
    ScrollBar->SetBounds(R.Right - ScrollBar->Width(), R.Top, ScrollBar->Width(), R.Bottom - R.Top);
}

void TbsSkinOfficeListBox::HideScrollBar() {
    if (!ScrollBar)
        return;
    TbsSkinScrollBar* Bar = ScrollBar;
    ScrollBar = nullptr;
    Bar->SetVisible(false);
    delete Bar;
    Repaint();
}

void TbsSkinOfficeListBox::SBChange(TObject*) {
    if (ScrollBar)
        Scroll(ScrollBar->Position());
}

void TbsSkinOfficeListBox::Scroll(int AScrollOffset) {
    FScrollOffset = AScrollOffset;
    Repaint();
    UpdateScrollInfo();
}

void TbsSkinOfficeListBox::ScrollToItem(int Index) {
    CalcItemRects();
    // A stale index (the rows were cleared under it) scrolls nowhere.
    if (Index >= 0 && Index < FItems->Count()) {
        const TRect Shown = FItems->Items(Index)->ItemRect;
        TRect R = Shown;
        R.Top += FScrollOffset;
        R.Bottom += FScrollOffset;
        if (Shown.Top <= FItemsRect.Top) {
            if (Index == 1 && FItems->Items(0)->FHeader)
                FScrollOffset = 0; // the group's header stays in view
            else
                FScrollOffset = R.Top - FItemsRect.Top;
            CalcItemRects();
            Invalidate();
        } else if (Shown.Bottom >= FItemsRect.Bottom) {
            FScrollOffset = R.Bottom + FItemsRect.Top - Height() + 1;
            CalcItemRects();
            Invalidate();
        }
    }
    UpdateScrollInfo();
}

int TbsSkinOfficeListBox::CalcHeight(int AItemCount) {
    const int Rows = std::min(AItemCount, FItems->Count());
    GetSkinData();
    if (FIndex == -1)
        return Rows * FItemHeight + 5;
    int W = Width();
    int H = Height();
    CalcSize(W, H);
    const TRect Client = ResizeMode == 0 ? ClRect : NewClRect;
    return Rows * FItemHeight + Height() - (Client.Bottom - Client.Top) + 1;
}

int TbsSkinOfficeListBox::ItemAtPos(int X, int Y) {
    CalcItemRects();
    for (int I = 0; I < FItems->Count(); ++I) {
        TbsSkinOfficeItem* Item = FItems->Items(I);
        if (PtIn(Item->ItemRect, X, Y) && Item->FEnabled)
            return I;
    }
    return -1;
}

// ---------------------------------------------------------------------------------------------
// Keys

bool TbsSkinOfficeListBox::Selectable(int Index) const {
    TbsSkinOfficeItem* Item = FItems->Items(Index);
    return !Item->FHeader && Item->FEnabled;
}

int TbsSkinOfficeListBox::PageSize() const {
    return std::max(1, (FItemsRect.Bottom - FItemsRect.Top) / FItemHeight);
}

void TbsSkinOfficeListBox::FindUp() {
    if (FItemIndex < 1)
        return;
    // A stale index past the rows starts from the last row.
    for (int I = std::min(FItemIndex - 1, FItems->Count() - 1); I >= 0; --I)
        if (Selectable(I)) {
            SetItemIndex(I);
            return;
        }
}

void TbsSkinOfficeListBox::FindDown() {
    const int Start = FItemIndex < 0 ? 0 : FItemIndex + 1;
    for (int I = Start; I < FItems->Count(); ++I)
        if (Selectable(I)) {
            SetItemIndex(I);
            return;
        }
}

void TbsSkinOfficeListBox::FindPageUp() {
    if (FItemIndex < 1 || FItems->Count() == 0)
        return;
    CalcItemRects();
    const int S = std::min(FItemIndex - 1, FItems->Count() - 1);
    int Candidate = -1;
    bool HeaderPassed = false;
    for (int I = S; I >= std::max(S - PageSize(), 0); --I) {
        if (FItems->Items(I)->FHeader)
            HeaderPassed = true;
        if (!Selectable(I))
            continue;
        Candidate = I;
        if (HeaderPassed)
            break;
    }
    if (Candidate != -1)
        SetItemIndex(Candidate);
}

void TbsSkinOfficeListBox::FindPageDown() {
    const int S = FItemIndex < 0 ? 0 : FItemIndex + 1;
    if (S > FItems->Count() - 1)
        return;
    CalcItemRects();
    int Candidate = -1;
    bool HeaderPassed = false;
    for (int I = S; I <= std::min(S + PageSize(), FItems->Count() - 1); ++I) {
        if (FItems->Items(I)->FHeader)
            HeaderPassed = true;
        if (!Selectable(I))
            continue;
        Candidate = I;
        if (HeaderPassed)
            break;
    }
    if (Candidate != -1)
        SetItemIndex(Candidate);
}

void TbsSkinOfficeListBox::KeyDown(Word& Key, TShiftState Shift) {
    TbsSkinCustomControl::KeyDown(Key, Shift);
    switch (Key) {
    case VK_NEXT:
        FindPageDown();
        break;
    case VK_PRIOR:
        FindPageUp();
        break;
    case VK_UP:
    case VK_LEFT:
        FindUp();
        break;
    case VK_DOWN:
    case VK_RIGHT:
        FindDown();
        break;
    }
}

// ---------------------------------------------------------------------------------------------
// Mouse

void TbsSkinOfficeListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TbsSkinCustomControl::MouseDown(Button, Shift, X, Y);
    const int I = ItemAtPos(X, Y);
    if (I != -1 && !FItems->Items(I)->FHeader && Button == mbLeft) {
        SetActiveItem(I);
        FMouseDown = true;
        FMouseActive = I;
    }
}

void TbsSkinOfficeListBox::MouseMove(TShiftState Shift, int X, int Y) {
    TbsSkinCustomControl::MouseMove(Shift, X, Y);
    const int I = ItemAtPos(X, Y);
    if (I != -1 && !FItems->Items(I)->FHeader && (FMouseDown || FMouseMoveChangeIndex) && I != FMouseActive) {
        SetActiveItem(I);
        FMouseActive = I;
    }
}

void TbsSkinOfficeListBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    std::weak_ptr<char> Alive = AliveToken();
    TbsSkinCustomControl::MouseUp(Button, Shift, X, Y);
    if (Alive.expired())
        return;
    FMouseDown = false;
    const int I = ItemAtPos(X, Y);
    if (I != -1 && !FItems->Items(I)->FHeader && Button == mbLeft)
        SetItemIndex(I);
}

// ---------------------------------------------------------------------------------------------
// Messages

void TbsSkinOfficeListBox::WndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (!Focused() && !Designing()) {
            FClicksDisabled = true;
            if (CanFocus())
                SetFocus();
            FClicksDisabled = false;
            if (!Focused())
                return;
        }
        break;
    case CN_COMMAND:
        if (FClicksDisabled)
            return;
        break;
    }
    TbsSkinCustomControl::WndProc(Message);
}

void TbsSkinOfficeListBox::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_SIZE:
        WMSize(Message);
        return;
    case WM_MOUSEWHEEL:
        WMMouseWheel(Message);
        return;
    case CM_FOCUSCHANGED:
        TbsSkinCustomControl::Dispatch(Message);
        Repaint();
        return;
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTARROWS;
        return;
    }
    TbsSkinCustomControl::Dispatch(Message);
}

void TbsSkinOfficeListBox::WMSize(TMessage& Message) {
    TbsSkinCustomControl::Dispatch(Message);
    if (FOldHeight != -1 && FOldHeight != Height()) {
        CalcItemRects();
        // A grown list pulls its rows down rather than leaving space under them.
        if (FItemsRect.Bottom >= FRealMax && FScrollOffset > 0) {
            FScrollOffset = std::max(0, FScrollOffset - (FItemsRect.Bottom - FRealMax));
            CalcItemRects();
            Invalidate();
        }
    }
    AdjustScrollBar();
    UpdateScrollInfo();
    FOldHeight = Height();
}

void TbsSkinOfficeListBox::WMMouseWheel(TMessage& Message) {
    TbsSkinCustomControl::Dispatch(Message);
    if (!ScrollBar)
        return;
    const short Delta = short(HIWORD(Message.WParam));
    if (Delta < 0)
        ScrollBar->SetPosition(ScrollBar->Position() + ScrollBar->SmallChange());
    else
        ScrollBar->SetPosition(ScrollBar->Position() - ScrollBar->SmallChange());
}

void TbsSkinOfficeListBox::ChangeSkinData() {
    TbsSkinCustomControl::ChangeSkinData();
    if (FSD && !FSD->Empty) {
        if (auto* Edit = RecordOf<TbsDataSkinEditControl>(FSD, u"edit"))
            FDisabledFontColor = Edit->DisabledFontColor;
        else
            FDisabledFontColor = FSD->SkinColors()->FcBtnShadow;
    }
    if (ScrollBar) {
        ScrollBar->SetSkinData(FSD);
        AdjustScrollBar();
    }
    CalcItemRects();
    Repaint();
}

// ---------------------------------------------------------------------------------------------
// Painting

void TbsSkinOfficeListBox::CreateControlDefaultImage(TBitmap* B) {
    TCanvas* C = B->Canvas();
    C->Brush()->SetStyle(bsSolid);
    C->Brush()->SetColor(clBtnShadow);
    C->FillRect(Rect(0, 0, B->Width(), B->Height()));
    C->Brush()->SetColor(clWindow);
    C->FillRect(Rect(1, 1, B->Width() - 1, B->Height() - 1));
    DrawRows(B);
}

void TbsSkinOfficeListBox::CreateControlSkinImage(TBitmap* B) {
    TbsSkinCustomControl::CreateControlSkinImage(B);
    DrawRows(B);
}

void TbsSkinOfficeListBox::DrawRows(TBitmap* B) {
    CalcItemRects();
    TCanvas* C = B->Canvas();
    const HDC DC = C->Handle();
    const int Saved = SaveDC(DC);
    IntersectClipRect(DC, FItemsRect.Left, FItemsRect.Top, FItemsRect.Right, FItemsRect.Bottom);
    for (int I = 0; I < FItems->Count(); ++I)
        if (FItems->Items(I)->IsVisible)
            DrawItem(I, C);
    RestoreDC(DC, Saved);
}

void TbsSkinOfficeListBox::DrawItem(int Index, TCanvas* Cnvs) {
    if (FIndex == -1)
        DefaultDrawItem(Index, Cnvs);
    else
        SkinDrawItem(Index, Cnvs);
}

void TbsSkinOfficeListBox::SetSkinCharset(TFont* F) const {
    if (FSD && FSD->ResourceStrData())
        F->SetCharset(FSD->ResourceStrData()->CharSet());
    else
        F->SetCharset(DefaultFont()->Charset());
}

void TbsSkinOfficeListBox::DrawItemContent(TCanvas* Cnvs, TbsSkinOfficeItem* Item, TRect T, bool Skinned) {
    if (!Item->FTitle.empty() && FShowItemTitles) {
        const TFontStyles Old = Cnvs->Font()->Style();
        Cnvs->Font()->SetStyle(Old + fsBold);
        TRect R = T;
        R.Bottom = T.Top + Cnvs->TextHeight(Item->FTitle);
        DrawWideText(Cnvs, Item->FTitle, R, 0);
        Cnvs->Font()->SetStyle(Old);
        T.Top = T.Top + Cnvs->TextHeight(Item->FTitle);
    }
    if (FImages && Item->FImageIndex >= 0 && Item->FImageIndex < FImages->Count()) {
        DrawImageAndTextLeft(Cnvs, T, 0, 2, blGlyphLeft, Item->FCaption, Item->FImageIndex, FImages, false,
                             Item->FEnabled, false, 0);
        return;
    }
    if (FShowItemTitles)
        T.Left += 10;
    const UINT Wrap = Skinned ? DT_EXPANDTABS | DT_WORDBREAK : DT_WORDBREAK;
    TRect M = Rect(0, 0, T.Right - T.Left, 0);
    DrawWideText(Cnvs, Item->FCaption, M, DT_CALCRECT | Wrap);
    const int H = M.Bottom - M.Top;
    const int Top = std::max(T.Top, T.Top + (T.Bottom - T.Top) / 2 - H / 2);
    TRect R = Rect(T.Left, Top, T.Left + (M.Right - M.Left), Top + H);
    DrawWideText(Cnvs, Item->FCaption, R, Wrap);
}

void TbsSkinOfficeListBox::DefaultDrawItem(int Index, TCanvas* Cnvs) {
    TbsSkinOfficeItem* Item = FItems->Items(Index);
    const TRect IR = Item->ItemRect;
    TColor Back = clWindow;
    TColor Text = Item->FEnabled ? clWindowText : TColor(RGB(128, 128, 128));
    if (Item->FHeader) {
        Back = clBtnShadow;
        Text = clBtnHighlight;
    } else if (Item->Active) {
        Back = clHighlight;
        Text = clHighlightText;
    }
    Cnvs->Font()->Assign(DefaultFont());
    Cnvs->Font()->SetColor(Text);
    const HDC DC = Cnvs->Handle();
    const int Saved = SaveDC(DC);
    IntersectClipRect(DC, IR.Left, IR.Top, IR.Right, IR.Bottom);
    Cnvs->Brush()->SetStyle(bsSolid);
    Cnvs->Brush()->SetColor(Back);
    Cnvs->FillRect(IR);
    Cnvs->Brush()->SetStyle(bsClear);
    TRect T = Shrunk(IR, 2);
    if (Item->FHeader) {
        DrawWideText(Cnvs, Item->FCaption, T, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    } else {
        if (OnDrawItem) {
            TRect Full = IR;
            OnDrawItem(Cnvs, Index, Full);
        } else {
            DrawItemContent(Cnvs, Item, T, false);
        }
        if (FShowLines) {
            const TColor OldPen = Cnvs->Pen()->Color();
            Cnvs->Pen()->SetColor(clBtnFace);
            Cnvs->MoveTo(IR.Left, IR.Bottom - 1);
            Cnvs->LineTo(IR.Right, IR.Bottom - 1);
            Cnvs->Pen()->SetColor(OldPen);
        }
    }
    if (Item->Active && Focused())
        Cnvs->DrawFocusRect(IR);
    RestoreDC(DC, Saved);
}

void TbsSkinOfficeListBox::SkinDrawItem(int Index, TCanvas* Cnvs) {
    TbsSkinOfficeItem* Item = FItems->Items(Index);
    if (Item->FHeader) {
        SkinDrawHeaderItem(Index, Cnvs);
        return;
    }
    auto* Rec = RecordOf<TbsDataSkinListBox>(FSD, u"listbox");
    if (!Rec)
        return;
    // The row faces are the "listbox" record's, so they come from its own picture whatever record draws
    // the list's frame.
    TBitmap* RowPicture = ActivePicture(FSD, Rec->PictureIndex);
    const TRect IR = Item->ItemRect;
    if (Rec->FontColor == FDisabledFontColor && FDisabledFontColor == 0)
        FDisabledFontColor = TColor(RGB(128, 128, 128));
    auto SetFont = [&](TFont* F, TColor Color) {
        if (FUseSkinFont) {
            F->SetName(Rec->FontName);
            F->SetHeight(Rec->FontHeight);
            F->SetStyle(Rec->FontStyle);
        } else {
            F->Assign(DefaultFont());
        }
        F->SetColor(Color);
        SetSkinCharset(F);
    };
    TColor Color = FDisabledFontColor;
    if (Item->FEnabled)
        Color = FSkinDataName == u"listbox" || FSkinDataName == u"memo" ? Rec->FontColor : FSD->SkinColors()->FcBtnText;

    if (Item->Active && Item->FEnabled) {
        const int W = IR.Right - IR.Left;
        const int H = IR.Bottom - IR.Top;
        if (W < 1 || H < 1)
            return;
        TBitmap Row(W, H);
        const bool HasFocus = Focused();
        if (RowPicture)
            DrawNinePartSkinImageByClientRect(&Row, RowPicture, HasFocus ? Rec->FocusItemRect : Rec->ActiveItemRect,
                                              Rec->ItemTextRect, true);
        TCanvas* RC = Row.Canvas();
        SetFont(RC->Font(), HasFocus ? Rec->FocusFontColor : Rec->ActiveFontColor);
        RC->Brush()->SetStyle(bsClear);
        TRect T = Rect(2, 2, W - 2, H - 2);
        if (OnDrawItem)
            OnDrawItem(RC, Index, T);
        else
            DrawItemContent(RC, Item, T, true);
        Cnvs->Draw(IR.Left, IR.Top, &Row);
        return;
    }
    const HDC DC = Cnvs->Handle();
    const int Saved = SaveDC(DC);
    IntersectClipRect(DC, IR.Left, IR.Top, IR.Right, IR.Bottom);
    SetFont(Cnvs->Font(), Color);
    Cnvs->Brush()->SetStyle(bsClear);
    TRect T = Shrunk(IR, 2);
    if (OnDrawItem)
        OnDrawItem(Cnvs, Index, T);
    else
        DrawItemContent(Cnvs, Item, T, true);
    if (FShowLines) {
        const TColor OldPen = Cnvs->Pen()->Color();
        Cnvs->Pen()->SetColor(FSD->SkinColors()->FcBtnShadow);
        Cnvs->MoveTo(IR.Left, IR.Bottom - 1);
        Cnvs->LineTo(IR.Right, IR.Bottom - 1);
        Cnvs->Pen()->SetColor(OldPen);
    }
    RestoreDC(DC, Saved);
}

void TbsSkinOfficeListBox::SkinDrawHeaderItem(int Index, TCanvas* Cnvs) {
    auto* Rec = RecordOf<TbsDataSkinLabelControl>(FSD, u"menuheader");
    if (!Rec)
        Rec = RecordOf<TbsDataSkinLabelControl>(FSD, u"label");
    if (!Rec)
        return;
    TbsSkinOfficeItem* Item = FItems->Items(Index);
    const TRect IR = Item->ItemRect;
    const int W = IR.Right - IR.Left;
    const int H = IR.Bottom - IR.Top;
    if (W < 1 || H < 1)
        return;
    TBitmap B(W, H);
    if (TBitmap* P = ActivePicture(FSD, Rec->PictureIndex))
        DrawNinePartSkinImageByClientRect(&B, P, Rec->SkinRect, Rec->ClRect, true);
    TCanvas* C = B.Canvas();
    C->Font()->SetName(Rec->FontName);
    C->Font()->SetColor(Rec->FontColor);
    C->Font()->SetHeight(Rec->FontHeight);
    C->Font()->SetStyle(Rec->FontStyle);
    SetSkinCharset(C->Font());
    C->Brush()->SetStyle(bsClear);
    TRect T = Rect(1, 1, W - 1, H - 1);
    DrawWideText(C, Item->FCaption, T, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    Cnvs->Draw(IR.Left, IR.Top, &B);
}

// ---------------------------------------------------------------------------------------------
// TbsPopupOfficeListBox

TbsPopupOfficeListBox::TbsPopupOfficeListBox(TComponent* AOwner) : TbsSkinOfficeListBox(AOwner) {
    FControlStyle += csAcceptsControls;
    FControlStyle += csNoDesignVisible;
    FControlStyle += csReplicatable;
    SetVisible(false);
}

void TbsPopupOfficeListBox::CreateParams(TCreateParams& Params) {
    TbsSkinOfficeListBox::CreateParams(Params);
    Params.Style = WS_POPUP | WS_CLIPCHILDREN;
    Params.ExStyle = WS_EX_TOOLWINDOW;
    Params.WindowClass.style = CS_SAVEBITS;
    if (IsWindowsXPOrLater())
        Params.WindowClass.style |= CS_DROPSHADOW;
    // Owned by the window of the control that opens it, so it goes with that window's form.
    if (auto* Opener = dynamic_cast<TWinControl*>(Owner()); Opener && Opener->HandleAllocated())
        Params.WndParent = GetAncestor(Opener->Handle(), GA_ROOT);
}

void TbsPopupOfficeListBox::Dispatch(TMessage& Message) {
    if (Message.Msg == WM_MOUSEACTIVATE) {
        Message.Result = MA_NOACTIVATE;
        return;
    }
    TbsSkinOfficeListBox::Dispatch(Message);
}

void TbsPopupOfficeListBox::Show(TPoint Origin) {
    auto* Opener = dynamic_cast<TbsOfficeDropDownOwner*>(Owner());
    const bool Layered = IsWindows2000OrLater() && Opener;
    if (Layered) {
        const bool Blend = Opener->DropDownAlphaBlend();
        const HWND Wnd = Handle();
        bool Fresh = false;
        if (Blend && !FOldAlphaBlend) {
            SetWindowLongPtrW(Wnd, GWL_EXSTYLE, GetWindowLongPtrW(Wnd, GWL_EXSTYLE) | WS_EX_LAYERED);
            Fresh = true;
        } else if (!Blend && FOldAlphaBlend) {
            SetWindowLongPtrW(Wnd, GWL_EXSTYLE, GetWindowLongPtrW(Wnd, GWL_EXSTYLE) & ~LONG_PTR(WS_EX_LAYERED));
        }
        FOldAlphaBlend = Blend;
        // Every fade starts from nothing, also after a fade that reached another value; a window that has just
        // become layered gets its alpha even when the remembered value matches.
        if (Blend && Opener->DropDownAlphaBlendAnimation()) {
            SetLayeredWindowAlpha(Wnd, 0);
            FOldAlphaBlendValue = 0;
        } else if (Blend && (Fresh || FOldAlphaBlendValue != Opener->DropDownAlphaBlendValue())) {
            FOldAlphaBlendValue = Opener->DropDownAlphaBlendValue();
            SetLayeredWindowAlpha(Wnd, FOldAlphaBlendValue);
        }
    }
    SetWindowPos(Handle(), HWND_TOP, Origin.X, Origin.Y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    SetVisible(true);
    FadeSteps = 0;
    if (!Layered || !Opener->DropDownAlphaBlend() || !Opener->DropDownAlphaBlendAnimation())
        return;
    // Pending messages run once before the fade; any of them may free the combo box and this list with it.
    std::weak_ptr<char> Alive = AliveToken();
    if (Application)
        Application->ProcessMessages();
    if (Alive.expired())
        return;
    Opener->DropDownFadeStarts();
    const int Target = Opener->DropDownAlphaBlendValue();
    const int Step = std::max(1, Target / 15);
    int Alpha = 0;
    DWORD Last = 0;
    Update();
    while (Alpha < Target) {
        const DWORD Now = GetTickCount();
        if (Now - Last > 5) {
            Last = Now;
            Alpha = std::min(Target, Alpha + Step);
            SetLayeredWindowAlpha(Handle(), BYTE(Alpha));
            ++FadeSteps;
        }
    }
}

void TbsPopupOfficeListBox::Hide() {
    if (HandleAllocated())
        SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
    SetVisible(false);
}
