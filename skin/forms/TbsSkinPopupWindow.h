// One level of an open skinned menu: a borderless top-most window that never takes the focus, showing the
// visible children of one menu item as rows, drawn from the skin's popup-window picture or in the default look.
// It sizes and places itself inside the work area, scrolls when it does not fit, follows the cursor with a
// timer, answers the keys the form feeds it and hands every row activation to its menu stack.
#pragma once

#include <memory>
#include <vector>

#include "platform/ui/Controls.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Menus.h"
#include "skin/core/bsSkinData.h"
#include "skin/forms/TbsSkinMenuItem.h"

class TbsSkinMenu;

class TbsSkinPopupWindow : public TCustomControl {
    QV_CLASS_NAME(TbsSkinPopupWindow)
public:
    // AData: the skin's popup-window record, or null for the default look.
    TbsSkinPopupWindow(TComponent* AOwner, TbsSkinMenu* AParentMenu, TbsDataSkinPopupWindow* AData);
    ~TbsSkinPopupWindow() override;

    void Show(const TRect& R, TMenuItem* AItem, int StartIndex, bool PopupByItem, bool PopupUp);
    void Show2(const TRect& R, TMenuItem* AItem, TMenuItem* AItem2, int StartIndex, bool PopupByItem, bool PopupUp);
    void Hide();
    void PaintMenu(HDC DC);
    void PopupKeyDown(int CharCode);
    void Dispatch(TMessage& Message) override;

    bool Skinned() const { return PW != nullptr; }
    int ItemCount() const { return int(ItemList.size()); }
    TbsSkinMenuItem* Items(int Index) const { return ItemList.at(std::size_t(Index)).get(); }
    // The level above this one releases its pressed row and the levels below close.
    void CloseSubLevels();
    // The window was closed by its menu and waits to be freed.
    bool Closed = false;

    TbsDataSkinMenuItem* DSMI = nullptr;
    int VisibleCount = 0;
    int VisibleStartIndex = 0;
    bool Scroll = false;
    bool Scroll2 = false;
    int ScrollCode = 0;
    TPoint NewLTPoint, NewRTPoint, NewLBPoint, NewRBPoint;
    TRect NewItemsRect;
    HRGN FRgn = nullptr;
    int ShowX = 0, ShowY = 0;
    int OMX = -1, OMY = -1;
    TCustomImageList* ImgL = nullptr;
    int GlyphWidth = 19;
    TBitmap* WindowPicture = nullptr;
    TBitmap* MaskPicture = nullptr;
    int OldActiveItem = -1;
    std::unique_ptr<TTimer> MouseTimer;
    std::unique_ptr<TTimer> MorphTimer;
    TbsSkinMenu* ParentMenu;
    TbsSkinData* SD = nullptr;
    TbsDataSkinPopupWindow* PW = nullptr;
    std::vector<std::unique_ptr<TbsSkinMenuItem>> ItemList;
    int ActiveItem = -1;
    std::unique_ptr<TBitmap> FPaintBuffer;

    bool CanScroll(int Code) const;
    void ScrollUp(bool Cycle);
    void ScrollDown(bool Cycle);
    void TrackMouse(int X, int Y);
    void MouseTimerTick();
    void MorphTimerTick();

protected:
    void CreateParams(TCreateParams& Params) override;

private:
    // The visible children of AItem from StartIndex (and of AItem2 after them) become rows.
    void CreateItems(TMenuItem* AItem, TMenuItem* AItem2, int StartIndex, bool Two);
    void SetupFont();
    int ItemHeight(const TbsSkinMenuItem* Item) const;
    int NormalItemHeight() const;
    void CalcSize(bool Two);
    void ArrangeItems();
    void SetMenuRegion();
    void CalcPopupPoint(const TRect& R, bool PopupByItem, bool PopupUp);
    void ShowWindowAt(bool Two, const TRect& R, TMenuItem* AItem, TMenuItem* AItem2, int StartIndex, bool PopupByItem,
                      bool PopupUp);
    void HighlightFirstItem();
    void CreateMenuImage(TBitmap& B, bool FillCentre);
    TRect MarkerRect(bool Upper) const;
    void DrawMarker(TCanvas* C, bool Upper);
    void DrawMarkerBackground(TCanvas* C, const TRect& R);
    int GetLastPageStartIndex() const;
    void StartScrollTimer();
    void StopScroll();
    void RedrawMarkers();
    bool IsPointOnItem(int X, int Y) const;
    int FindAccelItem(int CharCode) const;
    void SelectPriorItem();
    void SelectNextItem();
    void MouseUpAt(int X, int Y, TMouseButton Button);
    void ChangeActiveItem(int NewItem);
    void FadeIn(Byte Target);
};
