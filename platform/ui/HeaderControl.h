// HeaderControl: the platform's header window class ("SysHeader32") and the class library's THeaderControl.
//
// The header holds sections (caption, width, alignment, image, display order), paints them, answers the
// divider hit test and lets the user drag a divider (HDN_BEGINTRACK, HDN_TRACK, HDN_ENDTRACK to its
// parent, which may veto the drag or change the width on the way), drag a section to another place
// (HDS_DRAGDROP) or click a section (HDN_ITEMCLICK).
#pragma once

#include "platform/gdi/ImgList.h"
#include "platform/ui/Controls.h"

#include <functional>
#include <memory>
#include <vector>

// ---------------------------------------------------------------------------------------------
// The header window

constexpr UINT HDM_FIRST = 0x1200;
constexpr UINT HDM_GETITEMCOUNT = HDM_FIRST + 0;
constexpr UINT HDM_DELETEITEM = HDM_FIRST + 2;
constexpr UINT HDM_LAYOUT = HDM_FIRST + 5;
constexpr UINT HDM_HITTEST = HDM_FIRST + 6;
constexpr UINT HDM_GETITEMRECT = HDM_FIRST + 7;
constexpr UINT HDM_SETIMAGELIST = HDM_FIRST + 8;
constexpr UINT HDM_GETIMAGELIST = HDM_FIRST + 9;
constexpr UINT HDM_INSERTITEMW = HDM_FIRST + 10;
constexpr UINT HDM_GETITEMW = HDM_FIRST + 11;
constexpr UINT HDM_SETITEMW = HDM_FIRST + 12;
constexpr UINT HDM_ORDERTOINDEX = HDM_FIRST + 15;
constexpr UINT HDM_GETORDERARRAY = HDM_FIRST + 17;
constexpr UINT HDM_SETORDERARRAY = HDM_FIRST + 18;

constexpr UINT HDI_WIDTH = 0x0001;
constexpr UINT HDI_TEXT = 0x0002;
constexpr UINT HDI_FORMAT = 0x0004;
constexpr UINT HDI_LPARAM = 0x0008;
constexpr UINT HDI_IMAGE = 0x0020;
constexpr UINT HDI_ORDER = 0x0080;
constexpr int HDF_LEFT = 0x0000;
constexpr int HDF_RIGHT = 0x0001;
constexpr int HDF_CENTER = 0x0002;
constexpr int HDF_JUSTIFYMASK = 0x0003;
constexpr int HDF_IMAGE = 0x0800;
constexpr int HDF_STRING = 0x4000;

// The header's own style: sections can be dragged to another place.
constexpr DWORD HDS_DRAGDROP = 0x0040;

constexpr UINT HHT_NOWHERE = 0x0001;
constexpr UINT HHT_ONHEADER = 0x0002;
constexpr UINT HHT_ONDIVIDER = 0x0004;
constexpr UINT HHT_ONDIVOPEN = 0x0008;
constexpr UINT HHT_TORIGHT = 0x0400;

constexpr UINT HDN_FIRST = UINT(-300);
constexpr UINT HDN_ITEMCHANGINGW = HDN_FIRST - 20;
constexpr UINT HDN_ITEMCHANGEDW = HDN_FIRST - 21;
constexpr UINT HDN_ITEMCLICKW = HDN_FIRST - 22;
constexpr UINT HDN_BEGINDRAG = HDN_FIRST - 10;
constexpr UINT HDN_ENDDRAG = HDN_FIRST - 11;
constexpr UINT HDN_DIVIDERDBLCLICKW = HDN_FIRST - 25;
constexpr UINT HDN_BEGINTRACKW = HDN_FIRST - 26;
constexpr UINT HDN_ENDTRACKW = HDN_FIRST - 27;
constexpr UINT HDN_TRACKW = HDN_FIRST - 28;

struct HDITEMW {
    UINT mask = 0;
    int cxy = 0;
    LPWSTR pszText = nullptr;
    HBITMAP hbm = nullptr;
    int cchTextMax = 0;
    int fmt = 0;
    LPARAM lParam = 0;
    int iImage = 0;
    int iOrder = 0;
};

struct HDHITTESTINFO {
    POINT pt;
    UINT flags = 0;
    int iItem = -1;
};

struct HDLAYOUT {
    RECT* prc = nullptr;
    WINDOWPOS* pwpos = nullptr;
};

// The header's notification: the section and, for the tracking ones, its width (pitem->cxy), which the
// parent may change during HDN_TRACKW; a non-zero answer to HDN_BEGINTRACKW or HDN_ITEMCHANGINGW vetoes.
// HDN_BEGINDRAG and HDN_ENDDRAG bracket a section's move (HDS_DRAGDROP); HDN_ENDDRAG carries the display
// position it is dropped at (pitem->iOrder), and a non-zero answer keeps the header's order as it was (the
// parent then orders the header itself, or not at all).
struct NMHEADERW {
    NMHDR hdr;
    int iItem = -1;
    int iButton = 0;
    HDITEMW* pitem = nullptr;
};

LRESULT HeaderWndProc(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
void RegisterHeaderClass();

// Inserts a section into a header window at Index, or sets the one there.
void PutHeaderSection(HWND Header, int Index, const String& Text, int Width, TAlignment Align, int Image, bool Insert);
// A section's maximum width as a limit: 0 sets none.
int SectionWidthLimit(int MaxWidth);

// ---------------------------------------------------------------------------------------------
// THeaderControl

class THeaderControl;

class THeaderSection {
public:
    explicit THeaderSection(THeaderControl* AOwner) : FOwner(AOwner) {}
    const String& Text() const { return FText; }
    void SetText(const String& Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    int MinWidth() const { return FMinWidth; }
    void SetMinWidth(int Value);
    int MaxWidth() const { return FMaxWidth; }
    void SetMaxWidth(int Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    int Index() const;
    // A width within MinWidth and MaxWidth (a MaxWidth of 0 sets no limit).
    int Limit(int AWidth) const;

private:
    friend class THeaderControl;
    THeaderControl* FOwner;
    String FText;
    int FWidth = 50;
    int FMinWidth = 0;
    int FMaxWidth = 10000;
    TAlignment FAlignment = taLeftJustify;
    int FImageIndex = -1;
};

enum TSectionTrackState { tsTrackBegin, tsTrackMove, tsTrackEnd };
using TSectionNotifyEvent = std::function<void(THeaderControl* HeaderControl, THeaderSection* Section)>;
using TSectionTrackEvent =
    std::function<void(THeaderControl* HeaderControl, THeaderSection* Section, int Width, TSectionTrackState State)>;

class THeaderControl : public TWinControl {
    QV_CLASS_NAME(THeaderControl)
public:
    explicit THeaderControl(TComponent* AOwner);
    ~THeaderControl() override;

    int SectionCount() const { return int(FSections.size()); }
    THeaderSection* Sections(int Index) const { return FSections.at(std::size_t(Index)).get(); }
    THeaderSection* AddSection(const String& Text, int Width);
    void DeleteSection(int Index);
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);

    TSectionNotifyEvent OnSectionClick;
    TSectionNotifyEvent OnSectionResize;
    TSectionTrackEvent OnSectionTrack;

    void Dispatch(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;
    // The native control's procedure (run from DefaultHandler); true when it took the message.
    bool NativeWndProc(TMessage& Message);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    friend class THeaderSection;
    void UpdateSection(int Index);
    void CNNotify(TMessage& Message);

    std::vector<std::unique_ptr<THeaderSection>> FSections;
    TCustomImageList* FImages = nullptr;
};
