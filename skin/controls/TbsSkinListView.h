// The skinned list view: the class library's list view without frame or native bars, its colour and font from
// a list-view record, one or two external skinned scroll bars kept in step with its scroll state, and a column
// header that it paints itself from a button record. The main window's job list is one, in report view.
#pragma once

#include <functional>
#include <memory>

#include "platform/ui/ListViews.h"
#include "skin/controls/TbsSkinScrollBar.h"

// Draws a header section's content over its prepared face.
using TbsDrawHeaderSectionEvent = std::function<void(TCanvas* Cnvs, TListColumn* Column, bool Pressed, const TRect& R)>;

// Asks a tree view, list view, page control or tab sheet whether it is a skinned one (answer 12851).
constexpr UINT CM_BSCHECK = 0xB1C9;
constexpr LRESULT BSCHECK_ANSWER = 12851;
// Paints the hooked header into the device context of wParam.
constexpr UINT CM_BSDRAWHEADER = 0xB1C8;

class TbsSkinCustomListView : public TCustomListView {
    QV_CLASS_NAME(TbsSkinCustomListView)
public:
    explicit TbsSkinCustomListView(TComponent* AOwner);
    ~TbsSkinCustomListView() override;

    TbsSkinData* SkinData() const { return FSD; }
    void SetSkinData(TbsSkinData* Value);
    const String& SkinDataName() const { return FSkinDataName; }
    void SetSkinDataName(const String& Value) { FSkinDataName = Value; }
    const String& HeaderSkinDataName() const { return FHeaderSkinDataName; }
    void SetHeaderSkinDataName(const String& Value);
    TFont* DefaultFont() const { return FDefaultFont.get(); }
    void SetDefaultFont(TFont* Value);
    bool UseSkinFont() const { return FUseSkinFont; }
    void SetUseSkinFont(bool Value) { FUseSkinFont = Value; }
    TColor DefaultColor() const { return FDefaultColor; }
    void SetDefaultColor(TColor Value);
    TbsSkinScrollBar* VScrollBar() const { return FVScrollBar; }
    void SetVScrollBar(TbsSkinScrollBar* Value);
    TbsSkinScrollBar* HScrollBar() const { return FHScrollBar; }
    void SetHScrollBar(TbsSkinScrollBar* Value);
    HWND HookedHeader() const { return FHeaderHandle; }

    void ChangeSkinData();
    void UpDateScrollBars();
    // The rectangle of the section at display position I, in the header's coordinates.
    TRect GetSectionRect(int I);

    void Loaded() override;
    void WndProc(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;

    TbsDrawHeaderSectionEvent OnDrawHeaderSection;

    bool FDevDown = false;
    String FHeaderSkinDataName = u"resizetoolbutton";
    bool FInCheckScrollBars = false;
    bool FromSB = false;
    TbsSkinData* FSD = nullptr;
    String FSkinDataName = u"listview";
    int FIndex = -1;
    std::unique_ptr<TFont> FDefaultFont;
    bool FUseSkinFont = true;
    TColor FDefaultColor = clWindow;
    TbsSkinScrollBar* FVScrollBar = nullptr;
    TbsSkinScrollBar* FHScrollBar = nullptr;
    int FOldVScrollBarPos = 0;
    int FOldHScrollBarPos = 0;
    HWND FHeaderHandle = nullptr;
    WNDPROC FHeaderInstance = nullptr; // our link in the header's chain of procedures
    WNDPROC FDefHeaderProc = nullptr;  // the header's own procedure, under the link
    int FActiveSection = -1;
    bool FHeaderDown = false;
    int FHIndex = -1;
    TPoint HLTPt, HRTPt, HLBPt, HRBPt;
    TRect HSkinRect, HClRect;
    TBitmap* HPicture = nullptr;
    TColor HFontColor = 0, HActiveFontColor = 0, HDownFontColor = 0;
    TRect HActiveSkinRect, HDownSkinRect;
    bool HStretchEffect = false, HLeftStretch = false, HTopStretch = false, HRightStretch = false,
         HBottomStretch = false;
    TbsStretchType HStretchType = bsstFull;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Change(TListItem* Item, TItemChange AChange) override;

private:
    LRESULT HeaderWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
    void HookHeader(HWND Header);
    void UnhookHeader();
    void LoadHeaderSkin();
    void DrawHeader(HDC DC);
    void DrawHeaderRest(TCanvas* C, const TRect& Rest);
    void DrawHeaderSection(TCanvas* Canvas, TListColumn* Column, const TRect& R, bool Pressed);
    void DrawSectionContent(TCanvas* C, TListColumn* Column, int W, int H);
    void SyncBar(TbsSkinScrollBar* Bar, int Which, const std::function<bool(int Max)>& Show, int Page, int Small,
                 int Large, int& Remembered, bool& Changed);
    void SyncReport(bool& Changed);
    void SyncList(bool& Changed);
    void SyncIcons(bool& Changed);
    int Item0Height();
    void VScrollBarChange();
    void HScrollBarChange();
};

class TbsSkinListView : public TbsSkinCustomListView {
    QV_CLASS_NAME(TbsSkinListView)
public:
    using TbsSkinCustomListView::TbsSkinCustomListView;
};
