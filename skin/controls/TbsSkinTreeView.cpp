#include "skin/controls/TbsSkinTreeView.h"

#include <cstdlib>

#include "platform/win/WinExtras.h"
#include "skin/controls/TbsSkinListView.h"
#include "skin/controls/bsSkinCtrlsViews.h"
#include "skin/core/TbsSkinData.h"

TbsSkinCustomTreeView::TbsSkinCustomTreeView(TComponent* AOwner)
    : TCustomTreeView(AOwner), FDefaultFont(CreateSkinDefaultFont()) {}

void TbsSkinCustomTreeView::SetSkinData(TbsSkinData* Value) {
    StoreViewSkinData(*this, Value);
}

void TbsSkinCustomTreeView::SetDefaultFont(TFont* Value) {
    FDefaultFont->Assign(Value);
    if (FIndex == -1)
        Font()->Assign(Value);
}

void TbsSkinCustomTreeView::SetDefaultColor(TColor Value) {
    FDefaultColor = Value;
    if (FIndex == -1)
        SetColor(Value);
}

void TbsSkinCustomTreeView::SetVScrollBar(TbsSkinScrollBar* Value) {
    AttachViewBar(*this, FVScrollBar, Value, [this](TObject*) {
        if (FVScrollBar)
            ScrollTo(SB_VERT, FVScrollBar->Position());
    });
}

void TbsSkinCustomTreeView::SetHScrollBar(TbsSkinScrollBar* Value) {
    AttachViewBar(*this, FHScrollBar, Value, [this](TObject*) {
        if (FHScrollBar)
            ScrollTo(SB_HORZ, FHScrollBar->Position());
    });
}

// The scroll message carries 16 bits of position: a larger one is reached by pages and lines from where the
// view stands, so the view always ends on the bar's full position.
void TbsSkinCustomTreeView::ScrollTo(int Bar, int Position) {
    if (!HandleAllocated())
        return;
    const UINT Msg = Bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL;
    if (Position >= 0 && Position <= 0xFFFF) {
        SendMessageW(FHandle, Msg, MAKEWPARAM(SB_THUMBPOSITION, Position), 0);
        return;
    }
    SCROLLINFO Info{};
    Info.fMask = SIF_PAGE | SIF_POS;
    for (int Guard = 0; Guard < 1 << 20; ++Guard) {
        GetScrollInfo(FHandle, Bar, &Info);
        const int Delta = Position - Info.nPos;
        if (Delta == 0)
            break;
        const bool Page = std::abs(Delta) >= int(Info.nPage) && Info.nPage > 0;
        const WPARAM Code = Delta > 0 ? (Page ? SB_PAGEDOWN : SB_LINEDOWN) : (Page ? SB_PAGEUP : SB_LINEUP);
        SendMessageW(FHandle, Msg, Code, 0);
        SCROLLINFO After{};
        After.fMask = SIF_POS;
        GetScrollInfo(FHandle, Bar, &After);
        if (After.nPos == Info.nPos)
            break; // the view cannot go further
    }
}

void TbsSkinCustomTreeView::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomTreeView::Notification(AComponent, Operation);
    if (Operation == opRemove)
        ForgetViewPart(*this, AComponent);
}

void TbsSkinCustomTreeView::Loaded() {
    TCustomTreeView::Loaded();
    ChangeSkinData();
}

void TbsSkinCustomTreeView::CreateParams(TCreateParams& Params) {
    TCustomTreeView::CreateParams(Params);
    Params.Style &= ~(WS_HSCROLL | WS_VSCROLL);
}

void TbsSkinCustomTreeView::Change(TTreeNode* Node) {
    TCustomTreeView::Change(Node);
    UpDateScrollBars();
}

void TbsSkinCustomTreeView::ChangeSkinData() {
    if (ComponentState().Contains(csLoading))
        return;
    FIndex =
        ApplyViewSkin<TbsDataSkinTreeView>(this, FSD, FSkinDataName, FUseSkinFont, FDefaultFont.get(), FDefaultColor);
    if (Images())
        Images()->SetBkColor(Color());
    if (StateImages())
        StateImages()->SetBkColor(Color());
    UpDateScrollBars();
}

void TbsSkinCustomTreeView::UpDateScrollBars() {
    if (ComponentState().Contains(csLoading) || FInCheckScrollBars || !HandleAllocated())
        return;
    bool Changed = false;
    int Min = 0, Max = 0;
    if (FVScrollBar) {
        GetScrollRange(FHandle, SB_VERT, &Min, &Max);
        const int Pos = GetScrollPos(FHandle, SB_VERT);
        const int Shown = int(SendMessageW(FHandle, TVM_GETVISIBLECOUNT, 0, 0));
        const int Count = int(SendMessageW(FHandle, TVM_GETCOUNT, 0, 0));
        FInCheckScrollBars = true;
        Changed |= ShowViewBar(FVScrollBar, Max > 0 && Max >= Shown && Max < Count, Visible());
        FInCheckScrollBars = false;
        if (FVScrollBar->Visible())
            FVScrollBar->SetRange(Min, Max, Pos, Shown);
    }
    if (FHScrollBar) {
        GetScrollRange(FHandle, SB_HORZ, &Min, &Max);
        const int Pos = GetScrollPos(FHandle, SB_HORZ);
        FInCheckScrollBars = true;
        Changed |= ShowViewBar(FHScrollBar, Max > Width(), Visible());
        FInCheckScrollBars = false;
        if (FHScrollBar->Visible())
            FHScrollBar->SetRange(Min, Max, Pos, Width());
    }
    SyncBoth(FVScrollBar, FHScrollBar);
    if (Changed && Align() != alNone && Parent()) {
        FInCheckScrollBars = true;
        Parent()->Realign();
        FInCheckScrollBars = false;
    }
}

void TbsSkinCustomTreeView::WndProc(TMessage& Message) {
    TCustomTreeView::WndProc(Message);
    switch (Message.Msg) {
    case WM_SIZE:
    case WM_PAINT:
        if (!FInCheckScrollBars)
            UpDateScrollBars();
        break;
    case WM_KEYDOWN:
    case WM_LBUTTONUP:
        UpDateScrollBars();
        break;
    }
}

void TbsSkinCustomTreeView::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_NCCALCSIZE:
    case WM_NCPAINT:
        // No frame and no native bars: the client area is the whole window.
        Message.Result = 0;
        return;
    case CM_VISIBLECHANGED:
        TCustomTreeView::Dispatch(Message);
        if (FVScrollBar)
            FVScrollBar->SetVisible(Visible());
        if (FHScrollBar)
            FHScrollBar->SetVisible(Visible());
        return;
    case CM_BSCHECK:
        Message.Result = BSCHECK_ANSWER;
        return;
    }
    TCustomTreeView::Dispatch(Message);
}
