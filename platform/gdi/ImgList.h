// ImgList: the class library's image lists.
//
// Public names: TCustomImageList, TImageList, TDrawingStyle, TImageType; the platform's image-list functions on
// HIMAGELIST (ImageList_Create, ImageList_Destroy, ImageList_Add, ImageList_AddMasked, ImageList_AddIcon,
// ImageList_ReplaceIcon, ImageList_Remove, ImageList_GetImageCount, ImageList_GetIconSize, ImageList_SetBkColor,
// ImageList_GetBkColor, ImageList_Draw, ImageList_DrawEx), which also work on the Handle of a TCustomImageList. Images
// are kept as 32-bit pictures with straight alpha (a mask or a mask colour turns pixels transparent). Draw paints an
// image enabled, or greyed: the image's shape (opaque pixels darker than light grey) once in clBtnHighlight one pixel
// down and right, then in clBtnShadow. Changing Width or Height clears the list.
#pragma once

#include "platform/gdi/Graphics.h"

#include <vector>

enum TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };
enum TImageType { itImage, itMask };

struct HIMAGELIST__;
using HIMAGELIST = HIMAGELIST__*;

class TCustomImageList;

// A control's ear on an image list: the list calls OnChange of every link registered with it whenever
// its images or their size change, so that controls showing them can lay out again.
class TChangeLink {
public:
    ~TChangeLink();
    TCustomImageList* Sender() const { return FSender; }
    TNotifyEvent OnChange;

private:
    friend class TCustomImageList;
    TCustomImageList* FSender = nullptr;
};

class TCustomImageList : public TComponent {
public:
    explicit TCustomImageList(TComponent* AOwner);
    TCustomImageList(TComponent* AOwner, int AWidth, int AHeight);
    ~TCustomImageList() override;
    // The list as the platform's image-list handle (valid while the list lives).
    HIMAGELIST Handle() const { return reinterpret_cast<HIMAGELIST>(const_cast<TCustomImageList*>(this)); }

    void Assign(TPersistent* Source) override;
    int Width() const { return FWidth; }
    void SetWidth(int Value) { SetSize(Value, FHeight); }
    int Height() const { return FHeight; }
    void SetHeight(int Value) { SetSize(FWidth, Value); }
    void SetSize(int AWidth, int AHeight);
    int Count() const { return int(FImages.size()); }
    TColor BkColor() const { return FBkColor; }
    void SetBkColor(TColor Value);
    TColor BlendColor() const { return FBlendColor; }
    void SetBlendColor(TColor Value) { FBlendColor = Value; }
    TDrawingStyle DrawingStyle() const { return FDrawingStyle; }
    void SetDrawingStyle(TDrawingStyle Value) { FDrawingStyle = Value; }
    bool Masked() const { return FMasked; }
    void SetMasked(bool Value) { FMasked = Value; }

    // Image is cut into Width-wide pieces, one image each; Mask (monochrome, optional) marks transparent
    // pixels white. Returns the index of the first image added.
    int Add(TBitmap* Image, TBitmap* Mask);
    int AddMasked(TBitmap* Image, TColor MaskColor);
    int AddIcon(TIcon* Image);
    void Insert(int Index, TBitmap* Image, TBitmap* Mask);
    void InsertMasked(int Index, TBitmap* Image, TColor MaskColor);
    void Replace(int Index, TBitmap* Image, TBitmap* Mask);
    // EInvalidOperation "Invalid ImageList Index" outside 0..Count-1; -1 clears.
    void Delete(int Index);
    void Clear();
    void Move(int CurIndex, int NewIndex);
    void Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled = true);
    void Draw(TCanvas* Canvas, int X, int Y, int Index, TDrawingStyle ADrawingStyle, TImageType AImageType,
              bool Enabled = true);
    // The image as a 32-bit bitmap of the list's size over BkColor (white for clNone).
    void GetBitmap(int Index, TBitmap* Image);
    // Straight-alpha pixels of image Index.
    const std::vector<std::uint32_t>& ImagePixels(int Index) const;

    TNotifyEvent OnChange;
    void RegisterChanges(TChangeLink* Link);
    void UnRegisterChanges(TChangeLink* Link);

    // Used by ImageList_DrawEx.
    void DrawOn(HDC DC, int X, int Y, int Index, bool Transparent, COLORREF Background);

protected:
    virtual void DoDraw(int Index, TCanvas* Canvas, int X, int Y, TDrawingStyle Style, bool Enabled = true);
    virtual void Change();

private:
    std::vector<std::vector<std::uint32_t>> Cut(TBitmap* Image, TBitmap* Mask, bool UseColor, TColor MaskColor);
    void CheckIndex(int Index) const;
    int FWidth = 16;
    int FHeight = 16;
    TColor FBkColor = clNone;
    TColor FBlendColor = clNone;
    TDrawingStyle FDrawingStyle = dsNormal;
    bool FMasked = true;
    std::vector<std::vector<std::uint32_t>> FImages;
    std::vector<TChangeLink*> FLinks;
};

class TImageList : public TCustomImageList {
public:
    using TCustomImageList::TCustomImageList;
};

constexpr UINT ILC_MASK = 0x1, ILC_COLOR = 0x0, ILC_COLOR4 = 0x4, ILC_COLOR8 = 0x8, ILC_COLOR16 = 0x10,
               ILC_COLOR24 = 0x18, ILC_COLOR32 = 0x20;
constexpr UINT ILD_NORMAL = 0x0, ILD_TRANSPARENT = 0x1, ILD_MASK = 0x10, ILD_IMAGE = 0x20;
constexpr COLORREF CLR_NONE = 0xFFFFFFFF, CLR_DEFAULT = 0xFF000000;

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int cInitial, int cGrow);
// Frees a list made by ImageList_Create; false for any other handle.
BOOL ImageList_Destroy(HIMAGELIST himl);
int ImageList_GetImageCount(HIMAGELIST himl);
BOOL ImageList_GetIconSize(HIMAGELIST himl, int* cx, int* cy);
COLORREF ImageList_SetBkColor(HIMAGELIST himl, COLORREF clrBk);
COLORREF ImageList_GetBkColor(HIMAGELIST himl);
int ImageList_Add(HIMAGELIST himl, HBITMAP hbmImage, HBITMAP hbmMask);
int ImageList_AddMasked(HIMAGELIST himl, HBITMAP hbmImage, COLORREF crMask);
// i = -1 appends; returns the index or -1.
int ImageList_ReplaceIcon(HIMAGELIST himl, int i, HICON hicon);
inline int ImageList_AddIcon(HIMAGELIST himl, HICON hicon) {
    return ImageList_ReplaceIcon(himl, -1, hicon);
}
// i = -1 removes all.
BOOL ImageList_Remove(HIMAGELIST himl, int i);
BOOL ImageList_Draw(HIMAGELIST himl, int i, HDC hdcDst, int x, int y, UINT fStyle);
// rgbBk: CLR_NONE draws no background, CLR_DEFAULT the list's background colour; dx, dy are not used.
BOOL ImageList_DrawEx(HIMAGELIST himl, int i, HDC hdcDst, int x, int y, int dx, int dy, COLORREF rgbBk, COLORREF rgbFg,
                      UINT fStyle);
