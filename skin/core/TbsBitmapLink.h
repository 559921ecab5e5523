// A named rectangle of a skin bitmap: one piece of a larger skin picture that can be stored, checked for
// see-through pixels and drawn.
#pragma once

#include "platform/base/Classes.h"
#include "platform/gdi/Graphics.h"
#include "skin/core/TbsBitmap.h"

class TbsBitmapLink : public TPersistent {
public:
    // From another link: image, rectangle, name and the three flags.
    void Assign(TPersistent* Source) override;
    // The name as stream text, then the rectangle as four 32-bit integers.
    void SaveToStream(TStream* Stream);
    // Reads name and rectangle; the image and the flags stay.
    void LoadFromStream(TStream* Stream);
    // Which parts of the piece hold see-through pixels: with a zero margin, Masked tells whether any does;
    // otherwise corners (MaskedAngles), edge bands (MaskedBorder) and centre (Masked) are told apart.
    void CheckingMasked();
    void CheckingMasked(const TRect& Margin);
    void Draw(TCanvas* Canvas, int X, int Y);
    void Draw(TbsBitmap& Bitmap, int X, int Y);

    // True when there is an image and the rectangle has an area.
    bool Assigned() const;

    const String& Name() const { return FName; }
    void SetName(const String& Value) { FName = Value; }
    int Left() const { return FRect.Left; }
    void SetLeft(int Value) { FRect.Left = Value; }
    int Top() const { return FRect.Top; }
    void SetTop(int Value) { FRect.Top = Value; }
    int Right() const { return FRect.Right; }
    void SetRight(int Value) { FRect.Right = Value; }
    int Bottom() const { return FRect.Bottom; }
    void SetBottom(int Value) { FRect.Bottom = Value; }
    TbsBitmap* Image() const { return FImage; }
    void SetImage(TbsBitmap* Value) { FImage = Value; }
    const TRect& Rect() const { return FRect; }
    void SetRect(const TRect& Value) { FRect = Value; }
    bool Masked() const { return FMasked; }
    void SetMasked(bool Value) { FMasked = Value; }
    bool MaskedBorder() const { return FMaskedBorder; }
    void SetMaskedBorder(bool Value) { FMaskedBorder = Value; }
    bool MaskedAngles() const { return FMaskedAngles; }
    void SetMaskedAngles(bool Value) { FMaskedAngles = Value; }

private:
    TbsColor PixelAt(int X, int Y) const;

    TbsBitmap* FImage = nullptr; // not owned
    TRect FRect;
    String FName;
    bool FMaskedBorder = false;
    bool FMaskedAngles = false;
    bool FMasked = false;
};

// A new link into Image: its name, the rectangle given or read from text ("Left, Top, Right, Bottom").
std::unique_ptr<TbsBitmapLink> GetBitmapLink(TbsBitmap& Image, const TRect& Rect);
std::unique_ptr<TbsBitmapLink> GetBitmapLink(TbsBitmap& Image, const String& Rect);
