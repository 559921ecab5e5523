// ImgList: the class library's image lists.
//
// Public names: TCustomImageList, TImageList, TDrawingStyle, TImageType. Images are kept as 32-bit pictures with
// straight alpha (a mask or a mask colour turns pixels transparent). Draw paints an image enabled, or greyed: the
// image's shape (opaque pixels darker than light grey) once in clBtnHighlight one pixel down and right, then in
// clBtnShadow. Changing Width or Height clears the list.
#pragma once

#include "platform/gdi/Graphics.h"

#include <vector>

enum TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };
enum TImageType { itImage, itMask };

class TCustomImageList : public TComponent {
public:
    explicit TCustomImageList(TComponent* AOwner);
    TCustomImageList(TComponent* AOwner, int AWidth, int AHeight);

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
};

class TImageList : public TCustomImageList {
public:
    using TCustomImageList::TCustomImageList;
};
