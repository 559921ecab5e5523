// Tabs: the tab control and the page control in the classic look.
//
// TCustomTabControl carries the platform's tab control inside it: the tab items, their rectangles on any
// of the four sides (single line, scrolled by its first visible tab, or wrapped into rows with the
// selected row next to the page), the display rectangle (TCM_ADJUSTRECT), hit testing, selection by a
// press or the keyboard with TCN_SELCHANGING and TCN_SELCHANGE sent to the parent window, and the
// classic painting. The class library's side over it (Tabs, TabIndex, OnChanging, OnChange, OnDrawTab)
// talks to it through the TCM_ messages, so a descendant that reshapes a message's answer in its
// WndProc reshapes it for the class library too. Single-line tabs that do not fit scroll through
// WM_HSCROLL (SB_THUMBPOSITION with the first visible tab, or line steps); the control shows no arrows
// of its own, so the owner that wants arrows draws them.
// TPageControl shows one TTabSheet at a time, in the display rectangle; a sheet whose TabVisible is off
// has no tab.
#pragma once

#include "platform/gdi/ImgList.h"
#include "platform/ui/Controls.h"

#include <functional>
#include <memory>
#include <vector>

// Messages and records of the platform's tab control.
constexpr UINT TCM_FIRST = 0x1300;
constexpr UINT TCM_GETIMAGELIST = TCM_FIRST + 2;
constexpr UINT TCM_SETIMAGELIST = TCM_FIRST + 3;
constexpr UINT TCM_GETITEMCOUNT = TCM_FIRST + 4;
constexpr UINT TCM_DELETEITEM = TCM_FIRST + 8;
constexpr UINT TCM_DELETEALLITEMS = TCM_FIRST + 9;
constexpr UINT TCM_GETITEMRECT = TCM_FIRST + 10;
constexpr UINT TCM_GETCURSEL = TCM_FIRST + 11;
constexpr UINT TCM_SETCURSEL = TCM_FIRST + 12;
constexpr UINT TCM_HITTEST = TCM_FIRST + 13;
constexpr UINT TCM_ADJUSTRECT = TCM_FIRST + 40;
constexpr UINT TCM_SETITEMSIZE = TCM_FIRST + 41;
constexpr UINT TCM_GETROWCOUNT = TCM_FIRST + 44;
constexpr UINT TCM_GETITEMW = TCM_FIRST + 60;
constexpr UINT TCM_SETITEMW = TCM_FIRST + 61;
constexpr UINT TCM_INSERTITEMW = TCM_FIRST + 62;

constexpr UINT TCN_FIRST = UINT(-550);
constexpr UINT TCN_KEYDOWN = TCN_FIRST;
constexpr UINT TCN_SELCHANGE = TCN_FIRST - 1;
constexpr UINT TCN_SELCHANGING = TCN_FIRST - 2;

constexpr UINT TCIF_TEXT = 0x1;
constexpr UINT TCIF_IMAGE = 0x2;
constexpr UINT TCIF_PARAM = 0x8;

constexpr UINT TCHT_NOWHERE = 0x1;
constexpr UINT TCHT_ONITEMICON = 0x2;
constexpr UINT TCHT_ONITEMLABEL = 0x4;
constexpr UINT TCHT_ONITEM = TCHT_ONITEMICON | TCHT_ONITEMLABEL;

struct TCITEMW {
    UINT mask = 0;
    DWORD dwState = 0;
    DWORD dwStateMask = 0;
    WCHAR* pszText = nullptr;
    int cchTextMax = 0;
    int iImage = -1;
    LPARAM lParam = 0;
};

struct TCHITTESTINFO {
    POINT pt;
    UINT flags = 0;
};

enum TTabPosition { tpTop, tpBottom, tpLeft, tpRight };
enum TTabStyle { tsTabs, tsButtons, tsFlatButtons };

class TCustomTabControl;
using TTabChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;
using TDrawTabEvent = std::function<void(TCustomTabControl* Control, int TabIndex, const TRect& Rect, bool Active)>;
using TTabGetImageEvent = std::function<void(TObject* Sender, int TabIndex, int& ImageIndex)>;

// ---------------------------------------------------------------------------------------------
// TCustomTabControl

class TCustomTabControl : public TWinControl {
    QV_CLASS_NAME(TCustomTabControl)
public:
    explicit TCustomTabControl(TComponent* AOwner);
    ~TCustomTabControl() override;

    // The selected tab, -1 for none. Setting it from code runs neither OnChanging nor OnChange.
    int TabIndex();
    void SetTabIndex(int Value);
    TTabPosition TabPosition() const { return FTabPosition; }
    // Tabs on the left or right always wrap into rows, as the platform's vertical tabs do.
    void SetTabPosition(TTabPosition Value);
    bool MultiLine() const { return FMultiLine; }
    void SetMultiLine(bool Value);
    bool RaggedRight() const { return FRaggedRight; }
    void SetRaggedRight(bool Value);
    bool ScrollOpposite() const { return FScrollOpposite; }
    void SetScrollOpposite(bool Value) { FScrollOpposite = Value; }
    bool HotTrack() const { return FHotTrack; }
    void SetHotTrack(bool Value);
    bool OwnerDraw() const { return FOwnerDraw; }
    void SetOwnerDraw(bool Value);
    TTabStyle Style() const { return FStyle; }
    void SetStyle(TTabStyle Value);
    // 0: from the caption (and image); otherwise every tab has this size along and across the strip.
    int TabWidth() const { return FTabWidth; }
    void SetTabWidth(int Value);
    int TabHeight() const { return FTabHeight; }
    void SetTabHeight(int Value);
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);

    // Where pages go: the client rectangle less the tabs and the frame (TCM_ADJUSTRECT).
    TRect DisplayRect();
    // The rectangle of visible tab Index (TCM_GETITEMRECT); empty outside the tabs.
    TRect TabRect(int Index);
    int IndexOfTabAt(int X, int Y);
    int RowCount();
    // The first tab shown of single-line tabs; tabs before it lie left of (or above) the strip.
    int FirstVisibleTab() const { return FFirstVisible; }
    // Scrolls single-line tabs by Delta tabs (negative: back).
    void ScrollTabs(int Delta);

    TNotifyEvent OnChange;
    TTabChangingEvent OnChanging;
    TDrawTabEvent OnDrawTab;
    TTabGetImageEvent OnGetImageIndex;

    TCanvas* Canvas() const { return FCanvas.get(); }
    void PaintWindow(HDC DC) override;
    void Dispatch(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;

protected:
    // OnChanging: false keeps the selected tab.
    virtual bool CanChange();
    virtual void Change();
    // Owner drawing: OnDrawTab on the control's Canvas.
    virtual void DrawTab(int TabIndex, const TRect& Rect, bool Active);
    // The image of tab TabIndex: the tab's index, changed by OnGetImageIndex.
    virtual int GetImageIndex(int TabIndex);
    void AdjustClientRect(TRect& Rect) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // The tabs were added, removed or changed size: the tab items' images follow, the children move.
    virtual void TabsChanged();
    // The class library's list of tab captions (TTabControl publishes it).
    TStrings* Tabs() const { return FTabs.get(); }
    void UpdateTabImages();

private:
    friend class TTabStrings;
    struct TTabItem {
        String Text;
        int Image = -1;
        LPARAM Param = 0;
        TRect Rect;
    };
    // The native tab control's own procedure (run from DefaultHandler); true when it took the message.
    bool NativeWndProc(TMessage& Message);
    void CNNotify(TMessage& Message);
    void WMLButtonDown(TMessage& Message);
    void CMMouseLeave();
    void CMDialogKey(TMessage& Message);
    bool TcInsertItem(TMessage& Message);
    bool TcSetGetItem(TMessage& Message);
    bool TcDeleteItem(TMessage& Message);
    bool TcDeleteAllItems(TMessage& Message);
    bool TcSetCurSel(TMessage& Message);
    bool TcGetItemRect(TMessage& Message);
    bool TcHitTest(TMessage& Message);
    bool TcAdjustRect(TMessage& Message);
    bool TcSetItemSize(TMessage& Message);
    bool TcGetRowCount(TMessage& Message);
    bool TcImageList(TMessage& Message);
    bool TcHScroll(TMessage& Message);
    bool TcKeyDown(TMessage& Message);
    bool TcMouseMove(TMessage& Message);
    void Layout();
    void LayoutChanged();
    bool Vertical() const { return FTabPosition == tpLeft || FTabPosition == tpRight; }
    int ItemExtent();
    int ItemLength(const TTabItem& Item);
    int StripSize();
    int MaxFirstVisible();
    void MakeVisible(int Index);
    int HitTest(POINT P, UINT* Flags);
    // Selects Index as the user does: TCN_SELCHANGING (a non-zero answer keeps the old one), then
    // TCN_SELCHANGE.
    void UserSelect(int Index);
    LRESULT Notify(UINT Code);
    void PaintTab(HDC DC, int Index, bool Selected);
    void ImagesChanged(TObject* Sender);

    std::unique_ptr<TStrings> FTabs;
    std::unique_ptr<TControlCanvas> FCanvas;
    std::vector<TTabItem> FItems;
    int FCurSel = -1;
    int FFirstVisible = 0;
    int FItemWidth = 0;
    int FItemHeight = 0;
    int FRows = 1;
    int FHot = -1;
    bool FLayoutValid = false;
    int FLayoutWidth = -1;
    int FLayoutHeight = -1;
    TCustomImageList* FNativeImages = nullptr;

    TTabPosition FTabPosition = tpTop;
    bool FMultiLine = false;
    bool FRaggedRight = false;
    bool FScrollOpposite = false;
    bool FHotTrack = false;
    bool FOwnerDraw = false;
    TTabStyle FStyle = tsTabs;
    int FTabWidth = 0;
    int FTabHeight = 0;
    TCustomImageList* FImages = nullptr;
    TChangeLink FImageChangeLink;
};

// ---------------------------------------------------------------------------------------------
// TTabControl: tabs over one client area, captions in Tabs.

class TTabControl : public TCustomTabControl {
    QV_CLASS_NAME(TTabControl)
public:
    using TCustomTabControl::Tabs;
    using TCustomTabControl::TCustomTabControl;
};

// ---------------------------------------------------------------------------------------------
// TTabSheet, TPageControl

class TPageControl;

class TTabSheet : public TWinControl {
    QV_CLASS_NAME(TTabSheet)
public:
    explicit TTabSheet(TComponent* AOwner);
    ~TTabSheet() override;

    TPageControl* PageControl() const { return FPageControl; }
    void SetPageControl(TPageControl* Value);
    // The place among all pages of its page control; -1 without one.
    int PageIndex() const;
    void SetPageIndex(int Value);
    // The place among the visible tabs; -1 while the tab is hidden.
    int TabIndex() const;
    bool TabVisible() const { return FTabVisible; }
    void SetTabVisible(bool Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);

    TNotifyEvent OnShow;
    TNotifyEvent OnHide;

    void Dispatch(TMessage& Message) override;

private:
    friend class TPageControl;
    void CMTextChanged();
    void CMVisibleChanged(TMessage& Message);

    TPageControl* FPageControl = nullptr;
    bool FTabVisible = true;
    int FImageIndex = 0;
};

class TPageControl : public TCustomTabControl {
    QV_CLASS_NAME(TPageControl)
public:
    explicit TPageControl(TComponent* AOwner);
    ~TPageControl() override;

    int PageCount() const { return int(FPages.size()); }
    TTabSheet* Pages(int Index) const { return FPages.at(std::size_t(Index)); }
    TTabSheet* ActivePage() const { return FActivePage; }
    // Shows that page alone and selects its tab; from code neither OnChanging nor OnChange runs.
    void SetActivePage(TTabSheet* Page);
    int ActivePageIndex() const;
    void SetActivePageIndex(int Value);
    // The page after (or before) CurPage, wrapping round; with CheckTabVisible only pages with a tab.
    TTabSheet* FindNextPage(TTabSheet* CurPage, bool GoForward, bool CheckTabVisible);
    // Moves to the next page as the user does (OnChanging may refuse, then OnChange).
    void SelectNextPage(bool GoForward, bool CheckTabVisible = true);

protected:
    bool CanChange() override;
    void Change() override;
    int GetImageIndex(int TabIndex) override;

private:
    friend class TTabSheet;
    void InsertPage(TTabSheet* Page);
    void RemovePage(TTabSheet* Page);
    void MovePage(TTabSheet* Page, int NewIndex);
    // The tab items again from the pages with a visible tab; the active page's tab stays selected.
    void UpdateTabs();
    void ShowPage(TTabSheet* Page);

    std::vector<TTabSheet*> FPages;
    TTabSheet* FActivePage = nullptr;
    bool FUpdatingTabs = false;
};
