// TreeViews: the tree view in the classic look.
//
// TCustomTreeView carries the platform's tree-view control inside it: rows for the nodes whose parents
// are all expanded, indentation with lines and +/- buttons, images, selection, expanding and collapsing
// with their vetoes, the keyboard, label editing in place, and scroll state by the platform's
// conventions (vertical in rows: range 0 .. visible rows - 1 with a page of the rows that fit whole;
// horizontal in pixels: range 0 .. widest row with a page of the client width; a range of 0 .. 0 while
// everything fits). TVM_GETCOUNT, TVM_GETVISIBLECOUNT, TVM_SETIMAGELIST, WM_VSCROLL and WM_HSCROLL are
// answered as the platform answers them. TTreeNodes owns the nodes; every change goes through it.
#pragma once

#include "platform/gdi/ImgList.h"
#include "platform/ui/Controls.h"

#include <functional>
#include <memory>
#include <vector>

constexpr UINT TV_FIRST = 0x1100;
constexpr UINT TVM_GETCOUNT = TV_FIRST + 5;
constexpr UINT TVM_GETINDENT = TV_FIRST + 6;
constexpr UINT TVM_SETINDENT = TV_FIRST + 7;
constexpr UINT TVM_GETIMAGELIST = TV_FIRST + 8;
constexpr UINT TVM_SETIMAGELIST = TV_FIRST + 9;
constexpr UINT TVM_GETVISIBLECOUNT = TV_FIRST + 16;
constexpr WPARAM TVSIL_NORMAL = 0;
constexpr WPARAM TVSIL_STATE = 2;

class TCustomTreeView;
class TTreeNodes;

enum THitTest {
    htAbove,
    htBelow,
    htNowhere,
    htOnItem,
    htOnButton,
    htOnIcon,
    htOnIndent,
    htOnLabel,
    htOnRight,
    htOnStateIcon,
    htToLeft,
    htToRight
};
using THitTests = TSet<THitTest, 12>;

// ---------------------------------------------------------------------------------------------
// TTreeNode

class TTreeNode : public TPersistent {
public:
    TTreeNode(TTreeNodes* AOwner, TTreeNode* AParent);
    ~TTreeNode() override;

    TTreeNodes* Owner() const { return FOwner; }
    TCustomTreeView* TreeView() const;
    const String& Text() const { return FText; }
    void SetText(const String& Value);
    void* Data() const { return FData; }
    void SetData(void* Value) { FData = Value; }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    int SelectedIndex() const { return FSelectedIndex; }
    void SetSelectedIndex(int Value);
    // Set: the node shows a button even without child nodes (filled when it expands); cleared: no
    // button whatever it holds. Adding a child shows the button again.
    bool HasChildren() const { return FHasChildrenSet ? FHasChildren : !FChildren.empty(); }
    void SetHasChildren(bool Value);

    TTreeNode* Parent() const { return FParent; }
    int Level() const;
    int Count() const { return int(FChildren.size()); }
    TTreeNode* Item(int Index) const;
    // Place among its siblings.
    int Index() const;
    int AbsoluteIndex() const;
    TTreeNode* GetFirstChild() const { return FChildren.empty() ? nullptr : FChildren.front(); }
    TTreeNode* GetLastChild() const { return FChildren.empty() ? nullptr : FChildren.back(); }
    // Tree order: first child, else next sibling, else the next sibling of the nearest ancestor.
    TTreeNode* GetNext() const;
    TTreeNode* GetPrev() const;
    TTreeNode* getNextSibling() const;
    TTreeNode* getPrevSibling() const;
    TTreeNode* GetNextVisible() const;
    TTreeNode* GetPrevVisible() const;
    bool HasAsParent(const TTreeNode* Value) const;

    bool Expanded() const { return FExpanded; }
    void SetExpanded(bool Value);
    void Expand(bool Recurse);
    void Collapse(bool Recurse);
    // Every ancestor is expanded (the node has a row).
    bool IsVisible() const;
    // The row (TextOnly: the label) in client coordinates; empty without a row.
    TRect DisplayRect(bool TextOnly) const;
    bool Selected() const;
    void SetSelected(bool Value);
    bool Focused() const { return Selected(); }
    // Expands the ancestors and scrolls the row into view.
    void MakeVisible();
    bool EditText();
    void EndEdit(bool Cancel);
    void Delete();
    void DeleteChildren();
    void AlphaSort();
    void CustomSort(const std::function<int(TTreeNode* Node1, TTreeNode* Node2)>& Compare);

private:
    friend class TTreeNodes;
    friend class TCustomTreeView;
    TTreeNodes* FOwner;
    TTreeNode* FParent;
    std::vector<TTreeNode*> FChildren;
    String FText;
    void* FData = nullptr;
    int FImageIndex = -1;
    int FSelectedIndex = -1;
    bool FHasChildren = false;
    bool FHasChildrenSet = false;
    bool FExpanded = false;
    bool FDeleting = false;
};

// ---------------------------------------------------------------------------------------------
// TTreeNodes

class TTreeNodes : public TPersistent {
public:
    explicit TTreeNodes(TCustomTreeView* AOwner) : FOwner(AOwner) {}
    ~TTreeNodes() override;

    TCustomTreeView* Owner() const { return FOwner; }
    // Every node, in tree order.
    int Count() const;
    TTreeNode* Item(int Index) const;
    TTreeNode* GetFirstNode() const { return FRoots.empty() ? nullptr : FRoots.front(); }

    // After the last sibling of Sibling (at the top level without one).
    TTreeNode* Add(TTreeNode* Sibling, const String& S) { return AddObject(Sibling, S, nullptr); }
    TTreeNode* AddObject(TTreeNode* Sibling, const String& S, void* Ptr);
    // Before the first sibling of Sibling.
    TTreeNode* AddFirst(TTreeNode* Sibling, const String& S) { return AddObjectFirst(Sibling, S, nullptr); }
    TTreeNode* AddObjectFirst(TTreeNode* Sibling, const String& S, void* Ptr);
    // The last (first) child of Parent, a top-level node without one.
    TTreeNode* AddChild(TTreeNode* Parent, const String& S) { return AddChildObject(Parent, S, nullptr); }
    TTreeNode* AddChildObject(TTreeNode* Parent, const String& S, void* Ptr);
    TTreeNode* AddChildFirst(TTreeNode* Parent, const String& S) { return AddChildObjectFirst(Parent, S, nullptr); }
    TTreeNode* AddChildObjectFirst(TTreeNode* Parent, const String& S, void* Ptr);
    // Just before Sibling (the last top-level node without one).
    TTreeNode* Insert(TTreeNode* Sibling, const String& S) { return InsertObject(Sibling, S, nullptr); }
    TTreeNode* InsertObject(TTreeNode* Sibling, const String& S, void* Ptr);
    void Delete(TTreeNode* Node);
    void Clear();
    // While updating the view neither repaints nor recomputes its scroll state.
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

private:
    friend class TTreeNode;
    friend class TCustomTreeView;
    TTreeNode* InsertAt(TTreeNode* Parent, int Index, const String& S, void* Ptr);
    std::vector<TTreeNode*>& SiblingsOf(TTreeNode* Parent) { return Parent ? Parent->FChildren : FRoots; }
    void FreeNode(TTreeNode* Node);

    TCustomTreeView* FOwner;
    std::vector<TTreeNode*> FRoots;
    int FUpdateCount = 0;
};

// ---------------------------------------------------------------------------------------------
// TCustomTreeView

using TTVExpandingEvent = std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowExpansion)>;
using TTVCollapsingEvent = std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowCollapse)>;
using TTVChangingEvent = std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowChange)>;
using TTVChangedEvent = std::function<void(TObject* Sender, TTreeNode* Node)>;
using TTVExpandedEvent = std::function<void(TObject* Sender, TTreeNode* Node)>;
using TTVEditingEvent = std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowEdit)>;
using TTVEditedEvent = std::function<void(TObject* Sender, TTreeNode* Node, String& S)>;

class TTreeEditor;

class TCustomTreeView : public TWinControl {
    QV_CLASS_NAME(TCustomTreeView)
public:
    explicit TCustomTreeView(TComponent* AOwner);
    ~TCustomTreeView() override;

    TTreeNodes* Items() const { return FNodes.get(); }
    TTreeNode* Selected() const { return FSelected; }
    // Asks CanChange (OnChanging), then selects, makes the node visible and runs Change (OnChange), as a
    // selection by the user does.
    void SetSelected(TTreeNode* Value);
    // The node in the top row.
    TTreeNode* TopItem();
    void SetTopItem(TTreeNode* Value);
    bool ShowRoot() const { return FShowRoot; }
    void SetShowRoot(bool Value);
    bool ShowLines() const { return FShowLines; }
    void SetShowLines(bool Value);
    bool ShowButtons() const { return FShowButtons; }
    void SetShowButtons(bool Value);
    int Indent() const { return FIndent; }
    void SetIndent(int Value);
    // A right press selects the node under it.
    bool RightClickSelect() const { return FRightClickSelect; }
    void SetRightClickSelect(bool Value) { FRightClickSelect = Value; }
    // The selection shows only while the view has the focus.
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value) { FReadOnly = Value; }
    bool AutoExpand() const { return FAutoExpand; }
    void SetAutoExpand(bool Value) { FAutoExpand = Value; }
    int ChangeDelay() const { return FChangeDelay; }
    void SetChangeDelay(int Value) { FChangeDelay = Value; }
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    TCustomImageList* StateImages() const { return FStateImages; }
    void SetStateImages(TCustomImageList* Value);
    // Height of a row: the font's and the image list's, whichever is taller.
    int ItemHeight();

    TTreeNode* GetNodeAt(int X, int Y);
    THitTests GetHitTestInfoAt(int X, int Y);
    void FullExpand();
    void FullCollapse();
    bool IsEditing() const { return FEditor != nullptr; }
    // The state of a bar (0 horizontal, 1 vertical) as the view keeps it.
    struct TScrollState {
        int Min = 0, Max = 0, Page = 0, Pos = 0;
        friend bool operator==(const TScrollState&, const TScrollState&) = default;
    };
    TScrollState ScrollState(int Bar);
    // The inline label editor while editing, else null.
    TWinControl* EditControl() const;

    TTVExpandingEvent OnExpanding;
    TTVExpandedEvent OnExpanded;
    TTVCollapsingEvent OnCollapsing;
    TTVExpandedEvent OnCollapsed;
    TTVChangingEvent OnChanging;
    TTVChangedEvent OnChange;
    TTVExpandedEvent OnDeletion;
    TTVEditingEvent OnEditing;
    TTVEditedEvent OnEdited;
    TTVExpandedEvent OnGetImageIndex;
    TTVExpandedEvent OnGetSelectedIndex;

    void PaintWindow(HDC DC) override;
    void Dispatch(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;

protected:
    virtual bool CanExpand(TTreeNode* Node);
    virtual void Expand(TTreeNode* Node);
    virtual bool CanCollapse(TTreeNode* Node);
    virtual void Collapse(TTreeNode* Node);
    virtual bool CanChange(TTreeNode* Node);
    virtual void Change(TTreeNode* Node);
    // A node is being deleted (OnDeletion).
    virtual void Delete(TTreeNode* Node);
    virtual bool CanEdit(TTreeNode* Node);
    // The editing ended with Text entered: OnEdited may change it, then it becomes the node's text.
    virtual void Edit(TTreeNode* Node, const String& Text);
    virtual void GetImageIndex(TTreeNode* Node);
    virtual void GetSelectedIndex(TTreeNode* Node);
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // Typing selects the next shown node whose text begins with what was typed.
    void KeyPress(Char& Key) override;

private:
    friend class TTreeNode;
    friend class TTreeNodes;
    friend class TTreeEditor;
    // The native tree's own procedure (run from DefaultHandler); true when it took the message.
    bool NativeWndProc(TMessage& Message);
    void WMSize(TMessage& Message);
    void WMButtonDown(TMessage& Message);
    void WMLButtonUp();
    bool TvSetIndent(TMessage& Message);
    bool TvImageList(TMessage& Message);
    bool TvVScroll(TMessage& Message);
    bool TvHScroll(TMessage& Message);
    bool TvMouseWheel(TMessage& Message);
    void TreeChanged();
    void NodeRemoving(TTreeNode* Node);
    bool ExpandNode(TTreeNode* Node);
    bool CollapseNode(TTreeNode* Node);
    void ToggleNode(TTreeNode* Node);
    // Selection as the user makes it; false when CanChange refused.
    bool SelectNode(TTreeNode* Node);
    void MakeNodeVisible(TTreeNode* Node);
    const std::vector<TTreeNode*>& Rows();
    int RowOf(const TTreeNode* Node);
    int PageRows();
    int NodeLeft(const TTreeNode* Node);
    int LabelWidth(const TTreeNode* Node);
    TRect LabelRect(const TTreeNode* Node);
    TRect NodeDisplayRect(const TTreeNode* Node, bool TextOnly);
    void SetTopRow(int Row);
    void SetHorzPos(int Pos);
    int ContentWidth();
    // The scroll state of both bars, kept by the platform's conventions.
    void UpdateScrollState();
    void SettleScrollState();
    void ScrollBarState(int Bar, int Max, int Page, int Pos);
    void KeyNavigate(WPARAM Key);
    bool BeginEdit(TTreeNode* Node);
    void FinishEdit(bool Cancel);
    void PaintNode(HDC DC, TTreeNode* Node, int Y);
    static void EditTimerProc(HWND, UINT, UINT_PTR Id, DWORD);

    std::unique_ptr<TTreeNodes> FNodes;
    TTreeNode* FSelected = nullptr;
    std::vector<TTreeNode*> FRows;
    bool FRowsValid = false;
    int FTopRow = 0;
    int FHorzPos = 0;
    bool FShowRoot = true;
    bool FShowLines = true;
    bool FShowButtons = true;
    int FIndent = 19;
    bool FRightClickSelect = false;
    bool FHideSelection = true;
    bool FReadOnly = false;
    bool FAutoExpand = false;
    int FChangeDelay = 0;
    TCustomImageList* FImages = nullptr;
    TCustomImageList* FStateImages = nullptr;
    TCustomImageList* FNativeImages = nullptr;
    TCustomImageList* FNativeStateImages = nullptr;
    TTreeEditor* FEditor = nullptr;
    TTreeNode* FEditNode = nullptr;
    TTreeNode* FPressedLabel = nullptr;
    UINT_PTR FEditTimer = 0;
    TTypeAhead FTypeAhead;
    bool FUpdatingScroll = false;
    bool FScrollAgain = false;
    // The bars' last state: Min, Max, Page, Pos for SB_HORZ (0) and SB_VERT (1).
    int FBars[2][4] = {};
};

class TTreeView : public TCustomTreeView {
    QV_CLASS_NAME(TTreeView)
public:
    using TCustomTreeView::TCustomTreeView;
};
