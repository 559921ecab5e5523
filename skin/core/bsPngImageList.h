// An image list whose images are PNG pictures with alpha: the list's own storage holds blank placeholders so that
// its count and indexes match the PNG items, and drawing image i draws PNG item i.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/base/Classes.h"
#include "platform/gdi/Graphics.h"
#include "platform/gdi/ImgList.h"

// The PNG picture under the skin library's name. It also remembers what the file's header said (colour type and
// single-colour transparency), which the half-transparent drawing of disabled images depends on.
class TbsPngImage : public TPngImage {
public:
    void Assign(TPersistent* Source) override;
    void LoadFromStream(TStream* Stream) override;
    // The header's colour type: 0 grey, 2 colour, 3 palette, 4 grey with alpha, 6 colour with alpha.
    int ColorType() const { return FColorType; }
    // Transparency by one colour (or by palette entries that are fully clear or fully opaque).
    bool BitTransparent() const { return FBitTransparent; }
    void SetHeaderInfo(int AColorType, bool ABitTransparent) {
        FColorType = AColorType;
        FBitTransparent = ABitTransparent;
    }

private:
    int FColorType = 6;
    bool FBitTransparent = false;
};

class TbsPngImageList;

class TbsPngImageItem : public TCollectionItem {
public:
    // Named "PngImage<index>"; a placeholder is inserted at its index into the owning image list.
    explicit TbsPngImageItem(TCollection* Collection);
    ~TbsPngImageItem() override;
    void Assign(TPersistent* Source) override;
    String DisplayName() const override;

    const String& Name() const { return FName; }
    void SetName(const String& Value) { FName = Value; }
    TbsPngImage* PngImage() const { return FPngImage.get(); }
    // Takes a copy of Value.
    void SetPngImage(TbsPngImage* Value);

private:
    TbsPngImageList* ImageList() const;

    std::unique_ptr<TbsPngImage> FPngImage = std::make_unique<TbsPngImage>();
    String FName;
};

class TbsPngImageItems : public TCollection {
public:
    explicit TbsPngImageItems(TbsPngImageList* APNGImageList);
    TPersistent* GetOwner() const override;
    TbsPngImageItem* Items(int Index) const { return ItemsAs<TbsPngImageItem>(Index); }
    TbsPngImageList* PngImageList() const { return FPngImageList; }

private:
    TbsPngImageList* FPngImageList = nullptr; // the owner
};

class TbsPngImageList : public TCustomImageList {
    QV_CLASS_NAME(TbsPngImageList)
public:
    explicit TbsPngImageList(TComponent* AOwner);
    ~TbsPngImageList() override;

    TbsPngImageItems* PngImages() const { return FPngImages.get(); }
    void SetPngImages(TbsPngImageItems* Value) { FPngImages->Assign(Value); }
    int PngWidth() const { return Width(); }
    // A new size empties the list and, unless the list is being loaded, removes every PNG item.
    void SetPngWidth(int Value);
    int PngHeight() const { return Height(); }
    void SetPngHeight(int Value);

protected:
    // Draws PNG item Index into (X, Y, X + Width, Y + Height); Style is not used.
    void DoDraw(int Index, TCanvas* Canvas, int X, int Y, TDrawingStyle Style, bool Enabled = true) override;

private:
    std::unique_ptr<TbsPngImageItems> FPngImages;
};

void InsertPlaceholderImage(TCustomImageList* List, int Index);
void DeletePlaceholderImage(TCustomImageList* List, int Index);
// Enabled: the picture with its alpha; disabled: a copy at about half its opacity.
void DrawPngImage(TbsPngImage* PNG, TCanvas* Canvas, const TRect& Rect, bool Enabled);
void SetPngAlphaLevel(TbsPngImage* PNG, Byte Level);
// Grey and palette pictures become colour pictures of the uniform alpha Level (0 on their transparent colour).
void MakePngAlpha(TbsPngImage* PNG, Byte Level, bool BitTransparent);
