#include "platform/ui/TreeViews.h"

#include "platform/ui/Edits.h"
#include "platform/ui/Forms.h"
#include "platform/ui/StdGlyphs.h"

#include <algorithm>
#include <map>

namespace {

constexpr int LabelPadding = 2; // room left and right of a label's text
constexpr int ImageGap = 1;     // between image and label
constexpr int ButtonSize = 9;
constexpr int HorzLine = 5; // pixels per horizontal scroll step

TSize MeasureText(TFont* Font, const String& Text) {
    HDC DC = CreateCompatibleDC(GetScreenDC());
    HGDIOBJ Old = SelectObject(DC, Font->Handle());
    SIZE S{0, 0};
    String Probe = Text.empty() ? String(u"Wy") : Text;
    GetTextExtentPoint32W(DC, Probe.c_str(), int(Probe.size()), &S);
    SelectObject(DC, Old);
    DeleteDC(DC);
    if (Text.empty())
        S.cx = 0;
    return TSize{S.cx, S.cy};
}

std::map<UINT_PTR, TCustomTreeView*>& EditTimers() {
    static std::map<UINT_PTR, TCustomTreeView*> Timers;
    return Timers;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TTreeEditor: the label editor in place, an edit whose whole text starts selected: Enter or leaving it
// keeps the text, Escape drops it.

class TTreeEditor : public TEdit {
public:
    TTreeEditor(TCustomTreeView* ATree, const String& AText) : TEdit(nullptr), FTree(ATree) {
        SetBorderStyle(bsNone);
        SetText(AText);
    }
    String EditText() const { return Text(); }

    void Dispatch(TMessage& M) override {
        switch (M.Msg) {
        case WM_GETDLGCODE:
            // Enter and Escape end the editing instead of reaching the form's buttons.
            TEdit::Dispatch(M);
            M.Result |= DLGC_WANTALLKEYS;
            return;
        case WM_KEYDOWN:
            if ((M.WParam == VK_RETURN || M.WParam == VK_ESCAPE) && FTree) {
                FTree->FinishEdit(M.WParam == VK_ESCAPE);
                return;
            }
            break;
        case WM_KILLFOCUS:
            TEdit::Dispatch(M);
            if (FTree && FTree->FEditor == this)
                FTree->FinishEdit(false);
            return;
        case CM_RELEASE:
            delete this;
            return;
        }
        TEdit::Dispatch(M);
    }

private:
    friend class TCustomTreeView;
    TCustomTreeView* FTree;
};

// ---------------------------------------------------------------------------------------------
// TTreeNode

TTreeNode::TTreeNode(TTreeNodes* AOwner, TTreeNode* AParent) : FOwner(AOwner), FParent(AParent) {}

TTreeNode::~TTreeNode() = default;

TCustomTreeView* TTreeNode::TreeView() const {
    return FOwner->Owner();
}

void TTreeNode::SetText(const String& Value) {
    FText = Value;
    TreeView()->TreeChanged();
}

void TTreeNode::SetImageIndex(int Value) {
    FImageIndex = Value;
    TreeView()->Invalidate();
}

void TTreeNode::SetSelectedIndex(int Value) {
    FSelectedIndex = Value;
    TreeView()->Invalidate();
}

void TTreeNode::SetHasChildren(bool Value) {
    FHasChildren = Value;
    FHasChildrenSet = true;
    TreeView()->TreeChanged();
}

int TTreeNode::Level() const {
    int L = 0;
    for (TTreeNode* P = FParent; P; P = P->FParent)
        ++L;
    return L;
}

TTreeNode* TTreeNode::Item(int Index) const {
    if (Index < 0 || Index >= Count())
        throw EListError(Format(u"List index out of bounds (%d)", {Index}));
    return FChildren[std::size_t(Index)];
}

int TTreeNode::Index() const {
    auto& Siblings = FOwner->SiblingsOf(FParent);
    return int(std::find(Siblings.begin(), Siblings.end(), this) - Siblings.begin());
}

int TTreeNode::AbsoluteIndex() const {
    int I = 0;
    for (const TTreeNode* N = GetPrev(); N; N = N->GetPrev())
        ++I;
    return I;
}

TTreeNode* TTreeNode::getNextSibling() const {
    auto& Siblings = FOwner->SiblingsOf(FParent);
    int I = Index() + 1;
    return I < int(Siblings.size()) ? Siblings[std::size_t(I)] : nullptr;
}

TTreeNode* TTreeNode::getPrevSibling() const {
    auto& Siblings = FOwner->SiblingsOf(FParent);
    int I = Index() - 1;
    return I >= 0 ? Siblings[std::size_t(I)] : nullptr;
}

TTreeNode* TTreeNode::GetNext() const {
    if (!FChildren.empty())
        return FChildren.front();
    for (const TTreeNode* N = this; N; N = N->FParent)
        if (TTreeNode* S = N->getNextSibling())
            return S;
    return nullptr;
}

TTreeNode* TTreeNode::GetPrev() const {
    TTreeNode* S = getPrevSibling();
    if (!S)
        return FParent;
    while (!S->FChildren.empty())
        S = S->FChildren.back();
    return S;
}

TTreeNode* TTreeNode::GetNextVisible() const {
    if (!IsVisible())
        return nullptr;
    if (FExpanded && !FChildren.empty())
        return FChildren.front();
    for (const TTreeNode* N = this; N; N = N->FParent)
        if (TTreeNode* S = N->getNextSibling())
            return S;
    return nullptr;
}

TTreeNode* TTreeNode::GetPrevVisible() const {
    if (!IsVisible())
        return nullptr;
    TTreeNode* S = getPrevSibling();
    if (!S)
        return FParent;
    while (S->FExpanded && !S->FChildren.empty())
        S = S->FChildren.back();
    return S;
}

bool TTreeNode::HasAsParent(const TTreeNode* Value) const {
    for (TTreeNode* P = FParent; P; P = P->FParent)
        if (P == Value)
            return true;
    return false;
}

void TTreeNode::SetExpanded(bool Value) {
    if (Value)
        TreeView()->ExpandNode(this);
    else
        TreeView()->CollapseNode(this);
}

void TTreeNode::Expand(bool Recurse) {
    SetExpanded(true);
    if (Recurse)
        for (std::size_t I = 0; I < FChildren.size(); ++I)
            FChildren[I]->Expand(true);
}

void TTreeNode::Collapse(bool Recurse) {
    if (Recurse)
        for (TTreeNode* C : FChildren)
            C->Collapse(true);
    SetExpanded(false);
}

bool TTreeNode::IsVisible() const {
    for (TTreeNode* P = FParent; P; P = P->FParent)
        if (!P->FExpanded)
            return false;
    return true;
}

TRect TTreeNode::DisplayRect(bool TextOnly) const {
    return TreeView()->NodeDisplayRect(this, TextOnly);
}

bool TTreeNode::Selected() const {
    return TreeView()->FSelected == this;
}

void TTreeNode::SetSelected(bool Value) {
    if (Value)
        TreeView()->SetSelected(this);
    else if (Selected())
        TreeView()->SetSelected(nullptr);
}

void TTreeNode::MakeVisible() {
    TreeView()->MakeNodeVisible(this);
}

bool TTreeNode::EditText() {
    return TreeView()->BeginEdit(this);
}

void TTreeNode::EndEdit(bool Cancel) {
    if (TreeView()->FEditNode == this)
        TreeView()->FinishEdit(Cancel);
}

void TTreeNode::Delete() {
    FOwner->Delete(this);
}

void TTreeNode::DeleteChildren() {
    FOwner->BeginUpdate();
    while (!FChildren.empty())
        FOwner->Delete(FChildren.back());
    FOwner->EndUpdate();
}

void TTreeNode::AlphaSort() {
    CustomSort([](TTreeNode* A, TTreeNode* B) { return AnsiCompareText(A->Text(), B->Text()); });
}

void TTreeNode::CustomSort(const std::function<int(TTreeNode* Node1, TTreeNode* Node2)>& Compare) {
    std::stable_sort(FChildren.begin(), FChildren.end(), [&](TTreeNode* A, TTreeNode* B) { return Compare(A, B) < 0; });
    TreeView()->TreeChanged();
}

// ---------------------------------------------------------------------------------------------
// TTreeNodes

TTreeNodes::~TTreeNodes() {
    for (TTreeNode* N : FRoots)
        FreeNode(N);
    FRoots.clear();
}

void TTreeNodes::FreeNode(TTreeNode* Node) {
    for (TTreeNode* C : Node->FChildren)
        FreeNode(C);
    delete Node;
}

int TTreeNodes::Count() const {
    int N = 0;
    for (TTreeNode* Node = GetFirstNode(); Node; Node = Node->GetNext())
        ++N;
    return N;
}

TTreeNode* TTreeNodes::Item(int Index) const {
    TTreeNode* Node = GetFirstNode();
    for (int I = 0; Node && I < Index; ++I)
        Node = Node->GetNext();
    if (Index < 0 || !Node)
        throw EListError(Format(u"List index out of bounds (%d)", {Index}));
    return Node;
}

TTreeNode* TTreeNodes::InsertAt(TTreeNode* Parent, int Index, const String& S, void* Ptr) {
    auto* Node = new TTreeNode(this, Parent);
    Node->FText = S;
    Node->FData = Ptr;
    auto& Siblings = SiblingsOf(Parent);
    Siblings.insert(Siblings.begin() + std::clamp(Index, 0, int(Siblings.size())), Node);
    // A parent that was told it had no children shows its button again.
    if (Parent)
        Parent->FHasChildrenSet = false;
    FOwner->TreeChanged();
    return Node;
}

TTreeNode* TTreeNodes::AddObject(TTreeNode* Sibling, const String& S, void* Ptr) {
    TTreeNode* Parent = Sibling ? Sibling->FParent : nullptr;
    return InsertAt(Parent, int(SiblingsOf(Parent).size()), S, Ptr);
}

TTreeNode* TTreeNodes::AddObjectFirst(TTreeNode* Sibling, const String& S, void* Ptr) {
    return InsertAt(Sibling ? Sibling->FParent : nullptr, 0, S, Ptr);
}

TTreeNode* TTreeNodes::AddChildObject(TTreeNode* Parent, const String& S, void* Ptr) {
    return InsertAt(Parent, int(SiblingsOf(Parent).size()), S, Ptr);
}

TTreeNode* TTreeNodes::AddChildObjectFirst(TTreeNode* Parent, const String& S, void* Ptr) {
    return InsertAt(Parent, 0, S, Ptr);
}

TTreeNode* TTreeNodes::InsertObject(TTreeNode* Sibling, const String& S, void* Ptr) {
    if (!Sibling)
        return AddObject(nullptr, S, Ptr);
    return InsertAt(Sibling->FParent, Sibling->Index(), S, Ptr);
}

void TTreeNodes::Delete(TTreeNode* Node) {
    if (!Node || Node->FDeleting)
        return;
    FOwner->NodeRemoving(Node);
    Node->FDeleting = true;
    // Children go first, each announced to OnDeletion.
    BeginUpdate();
    while (!Node->FChildren.empty())
        Delete(Node->FChildren.back());
    FOwner->Delete(Node);
    auto& Siblings = SiblingsOf(Node->FParent);
    Siblings.erase(std::find(Siblings.begin(), Siblings.end(), Node));
    delete Node;
    EndUpdate();
}

void TTreeNodes::Clear() {
    BeginUpdate();
    while (!FRoots.empty())
        Delete(FRoots.back());
    EndUpdate();
}

void TTreeNodes::BeginUpdate() {
    ++FUpdateCount;
}

void TTreeNodes::EndUpdate() {
    if (FUpdateCount > 0 && --FUpdateCount == 0)
        FOwner->TreeChanged();
}

// ---------------------------------------------------------------------------------------------
// TCustomTreeView

TCustomTreeView::TCustomTreeView(TComponent* AOwner) : TWinControl(AOwner) {
    FNodes = std::make_unique<TTreeNodes>(this);
    FControlStyle -= csSetCaption;
    SetTabStop(true);
    // A window's own colour, not its parent's.
    SetParentColor(false);
    SetColor(clWindow);
    SetBounds(0, 0, 121, 97);
}

TCustomTreeView::~TCustomTreeView() {
    if (FEditTimer) {
        KillTimer(nullptr, FEditTimer);
        EditTimers().erase(FEditTimer);
    }
    if (FEditor) {
        FEditor->FTree = nullptr;
        delete FEditor;
        FEditor = nullptr;
    }
    // Nodes go without events.
    FSelected = nullptr;
    FNodes.reset();
}

void TCustomTreeView::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    AddFrameStyle(Params);
}

void TCustomTreeView::Notification(TComponent* AComponent, TOperation Operation) {
    TWinControl::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FImages)
        SetImages(nullptr);
    if (AComponent == FStateImages)
        SetStateImages(nullptr);
    if (AComponent == FNativeImages)
        FNativeImages = nullptr;
    if (AComponent == FNativeStateImages)
        FNativeStateImages = nullptr;
}

void TCustomTreeView::SetImages(TCustomImageList* Value) {
    if (FImages)
        FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (FImages)
        FImages->FreeNotification(this);
    Perform(TVM_SETIMAGELIST, TVSIL_NORMAL, LPARAM(Value ? Value->Handle() : nullptr));
}

void TCustomTreeView::SetStateImages(TCustomImageList* Value) {
    if (FStateImages)
        FStateImages->RemoveFreeNotification(this);
    FStateImages = Value;
    if (FStateImages)
        FStateImages->FreeNotification(this);
    Perform(TVM_SETIMAGELIST, TVSIL_STATE, LPARAM(Value ? Value->Handle() : nullptr));
}

void TCustomTreeView::SetShowRoot(bool Value) {
    FShowRoot = Value;
    TreeChanged();
}

void TCustomTreeView::SetShowLines(bool Value) {
    FShowLines = Value;
    Invalidate();
}

void TCustomTreeView::SetShowButtons(bool Value) {
    FShowButtons = Value;
    TreeChanged();
}

void TCustomTreeView::SetIndent(int Value) {
    Perform(TVM_SETINDENT, WPARAM(Value), 0);
}

void TCustomTreeView::SetHideSelection(bool Value) {
    FHideSelection = Value;
    Invalidate();
}

int TCustomTreeView::ItemHeight() {
    int H = MeasureText(Font(), String()).cy + 3;
    if (FNativeImages)
        H = std::max(H, FNativeImages->Height());
    if (FNativeStateImages)
        H = std::max(H, FNativeStateImages->Height());
    return H;
}

TWinControl* TCustomTreeView::EditControl() const {
    return FEditor;
}

// ---- events ----

bool TCustomTreeView::CanExpand(TTreeNode* Node) {
    bool Allow = true;
    if (OnExpanding)
        OnExpanding(this, Node, Allow);
    return Allow;
}

void TCustomTreeView::Expand(TTreeNode* Node) {
    if (OnExpanded)
        OnExpanded(this, Node);
}

bool TCustomTreeView::CanCollapse(TTreeNode* Node) {
    bool Allow = true;
    if (OnCollapsing)
        OnCollapsing(this, Node, Allow);
    return Allow;
}

void TCustomTreeView::Collapse(TTreeNode* Node) {
    if (OnCollapsed)
        OnCollapsed(this, Node);
}

bool TCustomTreeView::CanChange(TTreeNode* Node) {
    bool Allow = true;
    if (OnChanging)
        OnChanging(this, Node, Allow);
    return Allow;
}

void TCustomTreeView::Change(TTreeNode* Node) {
    if (OnChange)
        OnChange(this, Node);
}

void TCustomTreeView::Delete(TTreeNode* Node) {
    if (OnDeletion)
        OnDeletion(this, Node);
}

bool TCustomTreeView::CanEdit(TTreeNode* Node) {
    bool Allow = true;
    if (OnEditing)
        OnEditing(this, Node, Allow);
    return Allow;
}

void TCustomTreeView::Edit(TTreeNode* Node, const String& Text) {
    String S = Text;
    if (OnEdited)
        OnEdited(this, Node, S);
    Node->SetText(S);
}

void TCustomTreeView::GetImageIndex(TTreeNode* Node) {
    if (OnGetImageIndex)
        OnGetImageIndex(this, Node);
}

void TCustomTreeView::GetSelectedIndex(TTreeNode* Node) {
    if (OnGetSelectedIndex)
        OnGetSelectedIndex(this, Node);
}

// ---- structure ----

void TCustomTreeView::TreeChanged() {
    FRowsValid = false;
    if (FNodes && FNodes->UpdateCount() > 0)
        return;
    UpdateScrollState();
    Invalidate();
}

void TCustomTreeView::NodeRemoving(TTreeNode* Node) {
    if (FEditNode && (FEditNode == Node || FEditNode->HasAsParent(Node)))
        FinishEdit(true);
    if (FPressedLabel && (FPressedLabel == Node || FPressedLabel->HasAsParent(Node)))
        FPressedLabel = nullptr;
    if (!FSelected || (FSelected != Node && !FSelected->HasAsParent(Node)))
        return;
    // The selection moves to the next sibling, else the previous one, else the parent.
    TTreeNode* Next = Node->getNextSibling();
    if (!Next)
        Next = Node->getPrevSibling();
    if (!Next)
        Next = Node->Parent();
    FSelected = Next;
    FRowsValid = false;
    Change(Next);
}

const std::vector<TTreeNode*>& TCustomTreeView::Rows() {
    if (FRowsValid)
        return FRows;
    FRows.clear();
    for (TTreeNode* N = FNodes->GetFirstNode(); N; N = N->GetNextVisible())
        FRows.push_back(N);
    FRowsValid = true;
    return FRows;
}

int TCustomTreeView::RowOf(const TTreeNode* Node) {
    const auto& R = Rows();
    auto It = std::find(R.begin(), R.end(), Node);
    return It == R.end() ? -1 : int(It - R.begin());
}

int TCustomTreeView::PageRows() {
    return std::max(0, ClientHeight() / std::max(1, ItemHeight()));
}

int TCustomTreeView::NodeLeft(const TTreeNode* Node) {
    int Depth = Node->Level() + ((FShowRoot && (FShowLines || FShowButtons)) ? 1 : 0);
    return Depth * FIndent - FHorzPos;
}

int TCustomTreeView::LabelWidth(const TTreeNode* Node) {
    return MeasureText(Font(), Node->Text()).cx + 2 * LabelPadding;
}

TRect TCustomTreeView::LabelRect(const TTreeNode* Node) {
    int Row = RowOf(Node);
    if (Row < 0)
        return TRect();
    int H = ItemHeight();
    int Y = (Row - FTopRow) * H;
    int X = NodeLeft(Node);
    if (FNativeStateImages)
        X += FNativeStateImages->Width();
    if (FNativeImages)
        X += FNativeImages->Width() + ImageGap;
    return Rect(X, Y, X + LabelWidth(Node), Y + H);
}

TRect TCustomTreeView::NodeDisplayRect(const TTreeNode* Node, bool TextOnly) {
    TRect R = LabelRect(Node);
    if (IsRectEmpty(R) || TextOnly)
        return R;
    return Rect(0, R.Top, ClientWidth(), R.Bottom);
}

int TCustomTreeView::ContentWidth() {
    int W = 0;
    int Saved = FHorzPos;
    FHorzPos = 0;
    for (TTreeNode* N : Rows())
        W = std::max(W, LabelRect(N).Right);
    FHorzPos = Saved;
    return W;
}

TTreeNode* TCustomTreeView::TopItem() {
    const auto& R = Rows();
    return FTopRow < int(R.size()) ? R[std::size_t(FTopRow)] : nullptr;
}

void TCustomTreeView::SetTopItem(TTreeNode* Value) {
    if (!Value)
        return;
    for (TTreeNode* P = Value->Parent(); P; P = P->Parent())
        if (!P->FExpanded)
            return;
    SetTopRow(RowOf(Value));
}

void TCustomTreeView::SetTopRow(int Row) {
    // The last page stays full: no empty rows below the last node.
    int MaxTop = std::max(0, int(Rows().size()) - PageRows());
    Row = std::clamp(Row, 0, MaxTop);
    if (Row == FTopRow)
        return;
    FTopRow = Row;
    UpdateScrollState();
    Invalidate();
}

void TCustomTreeView::SetHorzPos(int Pos) {
    int Max = std::max(0, ContentWidth() - ClientWidth());
    Pos = std::clamp(Pos, 0, Max);
    if (Pos == FHorzPos)
        return;
    FHorzPos = Pos;
    UpdateScrollState();
    Invalidate();
}

void TCustomTreeView::CreateWnd() {
    TWinControl::CreateWnd();
    UpdateScrollState();
}

void TCustomTreeView::UpdateScrollState() {
    if (FNodes && FNodes->UpdateCount() > 0)
        return;
    // A bar that comes or goes changes the client size, which asks again: the state is settled in a
    // few rounds here instead of recursively.
    if (FUpdatingScroll) {
        FScrollAgain = true;
        return;
    }
    FUpdatingScroll = true;
    for (int Round = 0; Round < 3; ++Round) {
        FScrollAgain = false;
        SettleScrollState();
        if (!FScrollAgain)
            break;
    }
    FUpdatingScroll = false;
}

void TCustomTreeView::SettleScrollState() {
    int RowCount = int(Rows().size());
    int Page = PageRows();
    int MaxTop = std::max(0, RowCount - Page);
    if (FTopRow > MaxTop)
        FTopRow = MaxTop;
    if (RowCount > Page)
        ScrollBarState(1, RowCount - 1, Page, FTopRow);
    else
        ScrollBarState(1, 0, 0, 0);
    int Width = ContentWidth(), Client = ClientWidth();
    if (FHorzPos > std::max(0, Width - Client))
        FHorzPos = std::max(0, Width - Client);
    if (Width > Client)
        ScrollBarState(0, Width, Client, FHorzPos);
    else
        ScrollBarState(0, 0, 0, 0);
}

void TCustomTreeView::ScrollBarState(int Bar, int Max, int Page, int Pos) {
    int* B = FBars[Bar];
    B[0] = 0;
    B[1] = Max;
    B[2] = Page;
    B[3] = Pos;
    // The window keeps the state: its bars show it, and whoever reads the bars finds it there.
    if (!FHandle)
        return;
    SCROLLINFO Info;
    Info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    Info.nMin = 0;
    Info.nMax = Max;
    Info.nPage = UINT(Page);
    Info.nPos = Pos;
    SetScrollInfo(FHandle, Bar == 0 ? SB_HORZ : SB_VERT, &Info, TRUE);
}

TCustomTreeView::TScrollState TCustomTreeView::ScrollState(int Bar) {
    Rows();
    UpdateScrollState();
    if (FHandle) {
        SCROLLINFO Info;
        Info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        if (GetScrollInfo(FHandle, Bar == 0 ? SB_HORZ : SB_VERT, &Info))
            return TScrollState{Info.nMin, Info.nMax, int(Info.nPage), Info.nPos};
        return TScrollState{};
    }
    const int* B = FBars[Bar == 0 ? 0 : 1];
    return TScrollState{B[0], B[1], B[2], B[3]};
}

void TCustomTreeView::MakeNodeVisible(TTreeNode* Node) {
    if (!Node)
        return;
    for (TTreeNode* P = Node->Parent(); P; P = P->Parent())
        if (!P->FExpanded)
            ExpandNode(P);
    int Row = RowOf(Node);
    if (Row < 0)
        return;
    int Page = std::max(1, PageRows());
    if (Row < FTopRow)
        SetTopRow(Row);
    else if (Row >= FTopRow + Page)
        SetTopRow(Row - Page + 1);
}

// ---- expanding, collapsing, selecting ----

bool TCustomTreeView::ExpandNode(TTreeNode* Node) {
    if (!Node || Node->FExpanded || !Node->HasChildren())
        return false;
    std::weak_ptr<char> Alive = AliveToken();
    if (!CanExpand(Node) || Alive.expired())
        return false;
    Node->FExpanded = true;
    TreeChanged();
    Expand(Node);
    return true;
}

bool TCustomTreeView::CollapseNode(TTreeNode* Node) {
    if (!Node || !Node->FExpanded)
        return false;
    std::weak_ptr<char> Alive = AliveToken();
    if (!CanCollapse(Node) || Alive.expired())
        return false;
    Node->FExpanded = false;
    FRowsValid = false;
    // A selection inside what closes moves up to the node.
    if (FSelected && FSelected->HasAsParent(Node))
        SelectNode(Node);
    TreeChanged();
    Collapse(Node);
    return true;
}

void TCustomTreeView::ToggleNode(TTreeNode* Node) {
    if (Node->FExpanded)
        CollapseNode(Node);
    else
        ExpandNode(Node);
}

bool TCustomTreeView::SelectNode(TTreeNode* Node) {
    if (Node == FSelected) {
        MakeNodeVisible(Node);
        return true;
    }
    std::weak_ptr<char> Alive = AliveToken();
    if (!CanChange(Node) || Alive.expired())
        return false;
    FSelected = Node;
    MakeNodeVisible(Node);
    if (FAutoExpand && Node)
        ExpandNode(Node);
    Invalidate();
    Change(Node);
    return true;
}

void TCustomTreeView::SetSelected(TTreeNode* Value) {
    SelectNode(Value);
}

void TCustomTreeView::FullExpand() {
    FNodes->BeginUpdate();
    for (TTreeNode* N = FNodes->GetFirstNode(); N; N = N->getNextSibling())
        N->Expand(true);
    FNodes->EndUpdate();
}

void TCustomTreeView::FullCollapse() {
    FNodes->BeginUpdate();
    for (TTreeNode* N = FNodes->GetFirstNode(); N; N = N->getNextSibling())
        N->Collapse(true);
    FNodes->EndUpdate();
}

// ---- hit testing ----

THitTests TCustomTreeView::GetHitTestInfoAt(int X, int Y) {
    THitTests Result;
    TRect Client = ClientRect();
    if (Y < 0)
        Result += htAbove;
    else if (Y >= Client.Bottom)
        Result += htBelow;
    if (X < 0)
        Result += htToLeft;
    else if (X >= Client.Right)
        Result += htToRight;
    if (!Result.Empty())
        return Result;
    int H = ItemHeight();
    int Row = FTopRow + Y / H;
    const auto& R = Rows();
    if (Row >= int(R.size()))
        return THitTests{htNowhere};
    TTreeNode* Node = R[std::size_t(Row)];
    TRect Label = LabelRect(Node);
    int Left = NodeLeft(Node);
    if (X >= Label.Right)
        return THitTests{htOnRight};
    if (X >= Label.Left)
        return THitTests{htOnItem, htOnLabel};
    int ImageLeft = Left + (FNativeStateImages ? FNativeStateImages->Width() : 0);
    if (FNativeImages && X >= ImageLeft)
        return THitTests{htOnItem, htOnIcon};
    if (FNativeStateImages && X >= Left)
        return THitTests{htOnItem, htOnStateIcon};
    // The button sits in the middle of the indentation cell just left of the node.
    bool HasButton = FShowButtons && Node->HasChildren() && (FShowRoot || Node->Level() > 0);
    int Centre = Left - FIndent / 2;
    if (HasButton && X >= Centre - ButtonSize / 2 && X <= Centre + ButtonSize / 2)
        return THitTests{htOnButton};
    return THitTests{htOnIndent};
}

TTreeNode* TCustomTreeView::GetNodeAt(int X, int Y) {
    THitTests Hit = GetHitTestInfoAt(X, Y);
    if (!(Hit.Contains(htOnItem) || Hit.Contains(htOnButton) || Hit.Contains(htOnIndent) || Hit.Contains(htOnRight)))
        return nullptr;
    int Row = FTopRow + Y / ItemHeight();
    const auto& R = Rows();
    return Row < int(R.size()) ? R[std::size_t(Row)] : nullptr;
}

// ---- label editing ----

bool TCustomTreeView::BeginEdit(TTreeNode* Node) {
    if (!Node || FReadOnly)
        return false;
    if (FEditor)
        FinishEdit(false);
    std::weak_ptr<char> Alive = AliveToken();
    if (!CanEdit(Node) || Alive.expired())
        return false;
    MakeNodeVisible(Node);
    TRect R = LabelRect(Node);
    FEditNode = Node;
    FEditor = new TTreeEditor(this, Node->Text());
    FEditor->Font()->Assign(Font());
    FEditor->SetBounds(R.Left, R.Top, std::max(R.Width() + 20, 40), R.Height());
    FEditor->SetParent(this);
    FEditor->SelectAll();
    if (HandleAllocated() && Showing())
        FEditor->SetFocus();
    return true;
}

void TCustomTreeView::FinishEdit(bool Cancel) {
    TTreeEditor* Editor = FEditor;
    TTreeNode* Node = FEditNode;
    if (!Editor)
        return;
    FEditor = nullptr;
    FEditNode = nullptr;
    String Text = Editor->EditText();
    bool HadFocus = Editor->HandleAllocated() && Editor->Focused();
    Editor->FTree = nullptr;
    Editor->SetVisible(false);
    // The editor may be inside its own key handler: it goes once that returns.
    if (Editor->HandleAllocated())
        PostMessageW(Editor->Handle(), CM_RELEASE, 0, 0);
    else
        delete Editor;
    if (HadFocus && CanFocus())
        SetFocus();
    if (!Cancel && Node)
        Edit(Node, Text);
    Invalidate();
}

void TCustomTreeView::EditTimerProc(HWND, UINT, UINT_PTR Id, DWORD) {
    KillTimer(nullptr, Id);
    auto It = EditTimers().find(Id);
    if (It == EditTimers().end())
        return;
    TCustomTreeView* Tree = It->second;
    EditTimers().erase(It);
    Tree->FEditTimer = 0;
    TTreeNode* Node = Tree->FPressedLabel;
    Tree->FPressedLabel = nullptr;
    if (Node && Node == Tree->FSelected)
        Tree->BeginEdit(Node);
}

// ---- keyboard ----

void TCustomTreeView::KeyNavigate(WPARAM Key) {
    const auto& R = Rows();
    if (R.empty())
        return;
    TTreeNode* Sel = FSelected;
    int Row = Sel ? RowOf(Sel) : -1;
    int Page = std::max(1, PageRows() - 1);
    TTreeNode* Target = nullptr;
    switch (Key) {
    case VK_UP:
        Target = Row <= 0 ? R.front() : R[std::size_t(Row - 1)];
        break;
    case VK_DOWN:
        Target = Row < 0 ? R.front() : R[std::size_t(std::min(Row + 1, int(R.size()) - 1))];
        break;
    case VK_HOME:
        Target = R.front();
        break;
    case VK_END:
        Target = R.back();
        break;
    case VK_PRIOR:
        Target = R[std::size_t(std::max(0, Row - Page))];
        break;
    case VK_NEXT:
        Target = R[std::size_t(std::min(int(R.size()) - 1, std::max(0, Row) + Page))];
        break;
    case VK_LEFT:
        if (!Sel)
            return;
        if (Sel->FExpanded && Sel->HasChildren())
            CollapseNode(Sel);
        else
            Target = Sel->Parent();
        break;
    case VK_BACK:
        if (Sel)
            Target = Sel->Parent();
        break;
    case VK_RIGHT:
        if (!Sel || !Sel->HasChildren())
            return;
        if (!Sel->FExpanded)
            ExpandNode(Sel);
        else
            Target = Sel->GetFirstChild();
        break;
    case VK_ADD:
        if (Sel)
            ExpandNode(Sel);
        return;
    case VK_SUBTRACT:
        if (Sel)
            CollapseNode(Sel);
        return;
    case VK_MULTIPLY:
        if (Sel) {
            FNodes->BeginUpdate();
            Sel->Expand(true);
            FNodes->EndUpdate();
        }
        return;
    case VK_F2:
        if (Sel)
            BeginEdit(Sel);
        return;
    default:
        return;
    }
    if (Target)
        SelectNode(Target);
}

void TCustomTreeView::KeyPress(Char& Key) {
    TWinControl::KeyPress(Key);
    const auto& R = Rows();
    if (Key < 0x20 || R.empty() || IsEditing())
        return;
    TTypeAhead::TSearch Search = FTypeAhead.Add(Key);
    String Prefix = AnsiUpperCase(Search.Prefix);
    int N = int(R.size());
    int Row = FSelected ? RowOf(FSelected) : -1;
    int Start = Row < 0 ? 0 : Search.FromCurrent ? Row : Row + 1;
    for (int K = 0; K < N; ++K) {
        TTreeNode* Node = R[std::size_t((Start + K) % N)];
        if (AnsiUpperCase(Node->Text()).compare(0, Prefix.size(), Prefix) == 0) {
            SelectNode(Node);
            return;
        }
    }
}

// ---- messages ----

void TCustomTreeView::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
        return;
    case WM_SIZE:
        WMSize(Message);
        return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        Invalidate();
        break;
    case CM_FONTCHANGED:
        TreeChanged();
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
        WMButtonDown(Message);
        return;
    case WM_LBUTTONUP:
        WMLButtonUp();
        break;
    }
    TWinControl::Dispatch(Message);
}

void TCustomTreeView::WMSize(TMessage& Message) {
    TWinControl::Dispatch(Message);
    UpdateScrollState();
    Invalidate();
}

// The native control acts first: OnMouseDown finds the node already selected or expanded.
void TCustomTreeView::WMButtonDown(TMessage& Message) {
    std::weak_ptr<char> Alive = AliveToken();
    if (FEditor)
        FinishEdit(false);
    if (Alive.expired())
        return;
    int X = GET_X_LPARAM(Message.LParam), Y = GET_Y_LPARAM(Message.LParam);
    THitTests Hit = GetHitTestInfoAt(X, Y);
    TTreeNode* Node = GetNodeAt(X, Y);
    if (Message.Msg == WM_RBUTTONDOWN || Message.Msg == WM_RBUTTONDBLCLK) {
        if (FRightClickSelect && Node && Hit.Contains(htOnItem))
            SelectNode(Node);
    } else if (Node && Hit.Contains(htOnButton)) {
        ToggleNode(Node);
    } else if (Node && Hit.Contains(htOnItem)) {
        bool WasSelected = Node == FSelected;
        if (Message.Msg == WM_LBUTTONDBLCLK) {
            if (FEditTimer) {
                KillTimer(nullptr, FEditTimer);
                EditTimers().erase(FEditTimer);
                FEditTimer = 0;
            }
            FPressedLabel = nullptr;
            ToggleNode(Node);
        } else if (SelectNode(Node) && WasSelected && Hit.Contains(htOnLabel) && !FReadOnly)
            FPressedLabel = Node;
    }
    if (Alive.expired())
        return;
    TWinControl::Dispatch(Message);
}

// A press on the label of the node already selected edits it, unless a double click follows.
void TCustomTreeView::WMLButtonUp() {
    if (FPressedLabel && !FEditTimer) {
        FEditTimer = SetTimer(nullptr, 0, GetDoubleClickTime(), &EditTimerProc);
        EditTimers()[FEditTimer] = this;
    }
}

void TCustomTreeView::DefaultHandler(TMessage& Message) {
    if (!NativeWndProc(Message))
        TWinControl::DefaultHandler(Message);
}

bool TCustomTreeView::NativeWndProc(TMessage& Message) {
    switch (Message.Msg) {
    case TVM_GETCOUNT:
        Message.Result = FNodes->Count();
        return true;
    case TVM_GETVISIBLECOUNT:
        Message.Result = PageRows();
        return true;
    case TVM_GETINDENT:
        Message.Result = FIndent;
        return true;
    case TVM_SETINDENT:
        return TvSetIndent(Message);
    case TVM_GETIMAGELIST:
    case TVM_SETIMAGELIST:
        return TvImageList(Message);
    case WM_VSCROLL:
        return TvVScroll(Message);
    case WM_HSCROLL:
        return TvHScroll(Message);
    case WM_MOUSEWHEEL:
        return TvMouseWheel(Message);
    case WM_KEYDOWN:
        KeyNavigate(Message.WParam);
        return true;
    }
    return false;
}

bool TCustomTreeView::TvSetIndent(TMessage& Message) {
    FIndent = std::max(0, int(Message.WParam));
    TreeChanged();
    return true;
}

bool TCustomTreeView::TvImageList(TMessage& Message) {
    TCustomImageList*& Slot = Message.WParam == TVSIL_STATE ? FNativeStateImages : FNativeImages;
    Message.Result = LRESULT(Slot ? Slot->Handle() : nullptr);
    if (Message.Msg == TVM_SETIMAGELIST) {
        if (Slot && Slot != FImages && Slot != FStateImages)
            Slot->RemoveFreeNotification(this);
        Slot = reinterpret_cast<TCustomImageList*>(Message.LParam);
        if (Slot)
            Slot->FreeNotification(this);
        TreeChanged();
    }
    return true;
}

bool TCustomTreeView::TvVScroll(TMessage& Message) {
    int Page = std::max(1, PageRows());
    switch (LOWORD(Message.WParam)) {
    case SB_LINEUP:
        SetTopRow(FTopRow - 1);
        break;
    case SB_LINEDOWN:
        SetTopRow(FTopRow + 1);
        break;
    case SB_PAGEUP:
        SetTopRow(FTopRow - Page);
        break;
    case SB_PAGEDOWN:
        SetTopRow(FTopRow + Page);
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        SetTopRow(HIWORD(Message.WParam));
        break;
    case SB_TOP:
        SetTopRow(0);
        break;
    case SB_BOTTOM:
        SetTopRow(int(Rows().size()));
        break;
    }
    return true;
}

bool TCustomTreeView::TvHScroll(TMessage& Message) {
    switch (LOWORD(Message.WParam)) {
    case SB_LINELEFT:
        SetHorzPos(FHorzPos - HorzLine);
        break;
    case SB_LINERIGHT:
        SetHorzPos(FHorzPos + HorzLine);
        break;
    case SB_PAGELEFT:
        SetHorzPos(FHorzPos - ClientWidth());
        break;
    case SB_PAGERIGHT:
        SetHorzPos(FHorzPos + ClientWidth());
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        SetHorzPos(HIWORD(Message.WParam));
        break;
    case SB_LEFT:
        SetHorzPos(0);
        break;
    case SB_RIGHT:
        SetHorzPos(ContentWidth());
        break;
    }
    return true;
}

bool TCustomTreeView::TvMouseWheel(TMessage& Message) {
    int Lines = -GET_WHEEL_DELTA_WPARAM(Message.WParam) / WHEEL_DELTA * 3;
    SetTopRow(FTopRow + Lines);
    Message.Result = 0;
    return true;
}

// ---- painting ----

void TCustomTreeView::PaintWindow(HDC DC) {
    RECT Client = ClientRect();
    FillColor(DC, Client, Color());
    const auto& R = Rows();
    int H = ItemHeight();
    HGDIOBJ OldFont = SelectObject(DC, Font()->Handle());
    SetBkMode(DC, TRANSPARENT);
    for (int Row = FTopRow, Y = 0; Row < int(R.size()) && Y < Client.Bottom; ++Row, Y += H)
        PaintNode(DC, R[std::size_t(Row)], Y);
    SelectObject(DC, OldFont);
}

void TCustomTreeView::PaintNode(HDC DC, TTreeNode* Node, int Y) {
    int H = ItemHeight();
    int Left = NodeLeft(Node);
    int Mid = Y + H / 2;
    COLORREF LineColor = ColorToRGB(clBtnShadow);
    // Dotted lines: on the pixels whose coordinates add up to an even number, so joins line up.
    auto HLine = [&](int X1, int X2, int LY) {
        for (int X = X1; X < X2; ++X)
            if (((X + LY) & 1) == 0)
                SetPixel(DC, X, LY, LineColor);
    };
    auto VLine = [&](int LX, int Y1, int Y2) {
        for (int LY = Y1; LY < Y2; ++LY)
            if (((LX + LY) & 1) == 0)
                SetPixel(DC, LX, LY, LineColor);
    };
    bool Rooted = FShowRoot || Node->Level() > 0;
    if (FShowLines && Rooted) {
        int Centre = Left - FIndent / 2;
        HLine(Centre, Left, Mid);
        bool First = !Node->Parent() && Node == FNodes->GetFirstNode();
        VLine(Centre, First ? Mid : Y, Node->getNextSibling() ? Y + H : Mid + 1);
        // The lines of ancestors that have siblings still to come pass through this row.
        int X = Centre;
        for (TTreeNode* P = Node->Parent(); P; P = P->Parent()) {
            X -= FIndent;
            if (P->getNextSibling() && (FShowRoot || P->Level() > 0))
                VLine(X, Y, Y + H);
        }
    }
    if (FShowButtons && Rooted && Node->HasChildren()) {
        int Centre = Left - FIndent / 2;
        RECT Box{Centre - ButtonSize / 2, Mid - ButtonSize / 2, Centre + ButtonSize / 2 + 1, Mid + ButtonSize / 2 + 1};
        FillColor(DC, Box, clWindow);
        HBRUSH Frame = CreateSolidBrush(ColorToRGB(clBtnShadow));
        FrameRect(DC, &Box, Frame);
        DeleteObject(Frame);
        FillColor(DC, RECT{Centre - 2, Mid, Centre + 3, Mid + 1}, clWindowText);
        if (!Node->FExpanded)
            FillColor(DC, RECT{Centre, Mid - 2, Centre + 1, Mid + 3}, clWindowText);
    }
    int X = Left;
    if (FNativeStateImages) {
        X += FNativeStateImages->Width();
    }
    bool IsSelected = Node == FSelected;
    if (FNativeImages) {
        GetImageIndex(Node);
        if (IsSelected)
            GetSelectedIndex(Node);
        int Index = IsSelected && Node->FSelectedIndex >= 0 ? Node->FSelectedIndex : Node->FImageIndex;
        if (Index >= 0 && Index < FNativeImages->Count())
            ImageList_Draw(FNativeImages->Handle(), Index, DC, X, Y + (H - FNativeImages->Height()) / 2,
                           ILD_TRANSPARENT);
        X += FNativeImages->Width() + ImageGap;
    }
    RECT Label{X, Y, X + LabelWidth(Node), Y + H};
    bool HasFocus = HandleAllocated() && GetFocus() == FHandle;
    TColor TextColor = Enabled() ? Font()->Color() : TColor(clGrayText);
    if (IsSelected && Node != FEditNode && (HasFocus || !FHideSelection)) {
        FillColor(DC, Label, HasFocus ? clHighlight : clBtnFace);
        if (HasFocus)
            TextColor = clHighlightText;
        else if (Enabled())
            TextColor = InactiveSelectionTextColor(TextColor);
    }
    if (Node != FEditNode) {
        SetTextColor(DC, ColorToRGB(TextColor));
        RECT T{Label.Left + LabelPadding, Label.Top, Label.Right, Label.Bottom};
        DrawTextW(DC, Node->Text().c_str(), int(Node->Text().size()), &T, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
    if (IsSelected && HasFocus)
        ::DrawFocusRect(DC, &Label);
}
