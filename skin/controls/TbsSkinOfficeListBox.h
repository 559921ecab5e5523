// The office list: a skinned list of rich rows (an optional image, a bold title line and a wrapped
// description), some of them group headers or disabled rows. The list lays its rows out itself, scrolls
// them by pixels with a skinned vertical bar of its own and draws them from the skin's "listbox" record or
// in a default look. The popup variant serves as the office combo box's drop-down.
#pragma once

#include <functional>
#include <memory>

#include "platform/gdi/ImgList.h"
#include "skin/controls/TbsSkinControl.h"
#include "skin/controls/TbsSkinScrollBar.h"

class TbsSkinOfficeListBox;

// What the popup list needs of the combo box that owns it: the layered look, its fade-in, and the end of the
// press the fade interrupts. The office combo box answers it.
class TbsOfficeDropDownOwner {
public:
    virtual ~TbsOfficeDropDownOwner() = default;
    virtual bool DropDownAlphaBlend() const = 0;
    virtual bool DropDownAlphaBlendAnimation() const = 0;
    virtual BYTE DropDownAlphaBlendValue() const = 0;
    virtual void DropDownFadeStarts() = 0;
};

// Owner drawing of a (non-header) row: the canvas, the row and its text area.
using TbsDrawSkinOfficeItemEvent = std::function<void(TCanvas* Cnvs, int Index, TRect& TextRct)>;

class TbsSkinOfficeItem : public TCollectionItem {
public:
    explicit TbsSkinOfficeItem(TCollection* Collection);

    void Assign(TPersistent* Source) override;

    int ImageIndex() const { return FImageIndex; }
    virtual void SetImageIndex(int Value);
    const String& Title() const { return FTitle; }
    virtual void SetTitle(const String& Value);
    const String& Caption() const { return FCaption; }
    virtual void SetCaption(const String& Value);
    void* Data() const { return FData; }
    virtual void SetData(void* Value);
    bool Enabled() const { return FEnabled; }
    virtual void SetEnabled(bool Value);
    bool Header() const { return FHeader; }
    virtual void SetHeader(bool Value);

    // Fired when the row becomes the selected row through the list's ItemIndex.
    TNotifyEvent OnClick;

    int FImageIndex = -1;
    String FTitle;
    String FCaption;
    bool FEnabled = true;
    void* FData = nullptr;
    bool FHeader = false;
    // Set by the layout: the row in client coordinates (scroll offset applied) and whether it shows.
    TRect ItemRect;
    bool IsVisible = false;
    // The row is the highlighted one.
    bool Active = false;
};

class TbsSkinOfficeItems : public TCollection {
public:
    explicit TbsSkinOfficeItems(TbsSkinOfficeListBox* AListBox);

    TbsSkinOfficeItem* Add();
    TbsSkinOfficeItem* Insert(int Index);
    void Delete(int Index);
    void Clear();
    // The row at Index; an index outside the rows raises the list-index error.
    TbsSkinOfficeItem* Items(int Index) const { return static_cast<TbsSkinOfficeItem*>(TCollection::Items(Index)); }

    TPersistent* GetOwner() const override;

    TbsSkinOfficeListBox* OfficeListBox = nullptr;

protected:
    void Update(TCollectionItem* Item) override;
};

class TbsSkinOfficeListBox : public TbsSkinCustomControl {
    QV_CLASS_NAME(TbsSkinOfficeListBox)
public:
    explicit TbsSkinOfficeListBox(TComponent* AOwner);
    ~TbsSkinOfficeListBox() override;

    TbsSkinOfficeItems* Items() const { return FItems.get(); }
    void SetItems(TbsSkinOfficeItems* Value);
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    bool ShowItemTitles() const { return FShowItemTitles; }
    void SetShowItemTitles(bool Value);
    int ItemHeight() const { return FItemHeight; }
    // Values below 1 are refused: the page keys divide by it.
    void SetItemHeight(int Value);
    int HeaderHeight() const { return FHeaderHeight; }
    void SetHeaderHeight(int Value);
    bool ShowLines() const { return FShowLines; }
    void SetShowLines(bool Value);
    bool MouseMoveChangeIndex() const { return FMouseMoveChangeIndex; }
    void SetMouseMoveChangeIndex(bool Value) { FMouseMoveChangeIndex = Value; }
    int ItemIndex() const { return FItemIndex; }
    // Marks, scrolls to and announces the row. An index past the rows raises the list-index error before
    // anything changes; a negative one clears the marks.
    void SetItemIndex(int Value);
    // The same without events (the mouse's highlight).
    void SetActiveItem(int Index);

    // The first enabled row (headers included) whose rectangle holds the point, or -1.
    int ItemAtPos(int X, int Y);
    void FindUp();
    void FindDown();
    void FindPageUp();
    void FindPageDown();
    // The height that shows AItemCount rows.
    int CalcHeight(int AItemCount);

    void CalcItemRects();
    void ScrollToItem(int Index);
    void Scroll(int AScrollOffset);
    void GetScrollInfo(int& AMin, int& AMax, int& APage, int& APosition);
    void UpdateScrollInfo();
    void AdjustScrollBar();
    void ShowScrollbar();
    void HideScrollBar();

    void DrawItem(int Index, TCanvas* Cnvs);

    void ChangeSkinData() override;
    void WndProc(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;

    // The vertical bar while the rows overflow, else null.
    TbsSkinScrollBar* ScrollBar = nullptr;
    TRect ItemsRect() const { return FItemsRect; }
    int ScrollOffset() const { return FScrollOffset; }

    TbsDrawSkinOfficeItemEvent OnDrawItem;
    TNotifyEvent OnItemClick;

    bool FMouseMoveChangeIndex = false;
    TColor FDisabledFontColor = 0;
    bool FShowLines = false;
    bool FClicksDisabled = false;
    bool FMouseDown = false;
    int FMouseActive = -1;
    int FMax = 0;
    int FRealMax = 0;
    TRect FItemsRect;
    int FScrollOffset = 0;
    std::unique_ptr<TbsSkinOfficeItems> FItems;
    TCustomImageList* FImages = nullptr;
    bool FShowItemTitles = true;
    int FItemHeight = 30;
    int FHeaderHeight = 20;
    int FOldHeight = -1;
    int FItemIndex = -1;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void CreateControlDefaultImage(TBitmap* B) override;
    void CreateControlSkinImage(TBitmap* B) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(Word& Key, TShiftState Shift) override;

    void WMSize(TMessage& Message);
    void WMMouseWheel(TMessage& Message);

private:
    void SBChange(TObject* Sender);
    bool Selectable(int Index) const;
    int PageSize() const;
    // Marks the rows; true when one matched.
    bool MarkActive(int Index);
    void DrawRows(TBitmap* B);
    void DefaultDrawItem(int Index, TCanvas* Cnvs);
    void SkinDrawItem(int Index, TCanvas* Cnvs);
    void SkinDrawHeaderItem(int Index, TCanvas* Cnvs);
    // The title, image and caption of a row in T (the default row's steps); Skinned draws the caption with
    // expanded tabs.
    void DrawItemContent(TCanvas* Cnvs, TbsSkinOfficeItem* Item, TRect T, bool Skinned);
    void SetSkinCharset(TFont* F) const;
};

// The office list as a popup window that never takes activation; shown by the office combo box, which
// may make it layered and fade it in.
class TbsPopupOfficeListBox : public TbsSkinOfficeListBox {
    QV_CLASS_NAME(TbsPopupOfficeListBox)
public:
    explicit TbsPopupOfficeListBox(TComponent* AOwner);

    // Shows the window at Origin (screen coordinates) without activating it.
    void Show(TPoint Origin);
    void Hide();

    void Dispatch(TMessage& Message) override;

    bool FOldAlphaBlend = false;
    BYTE FOldAlphaBlendValue = 0;
    // The alpha steps of the last fade-in.
    int FadeSteps = 0;

protected:
    void CreateParams(TCreateParams& Params) override;
};
