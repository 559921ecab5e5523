#include "skin/core/bsPngImageList.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "platform/base/SysUtils.h"

// ---- TbsPngImage ----

void TbsPngImage::Assign(TPersistent* Source) {
    TPngImage::Assign(Source);
    if (auto* P = dynamic_cast<TbsPngImage*>(Source)) {
        FColorType = P->FColorType;
        FBitTransparent = P->FBitTransparent;
    } else if (dynamic_cast<TGraphic*>(Source)) {
        FColorType = HasAlpha() ? 6 : 2;
        FBitTransparent = false;
    }
}

void TbsPngImage::LoadFromStream(TStream* Stream) {
    TMemoryStream Bytes;
    Bytes.CopyFrom(Stream, Stream->Size() - Stream->Position());
    const auto* D = static_cast<const Byte*>(Bytes.Memory());
    const std::int64_t N = Bytes.Size();
    auto Be32 = [&](std::int64_t At) {
        return (std::uint32_t(D[At]) << 24) | (std::uint32_t(D[At + 1]) << 16) | (std::uint32_t(D[At + 2]) << 8) |
               D[At + 3];
    };
    int ColorType = 6;
    bool Bit = false;
    // Walk the chunks for the header's colour type and the kind of tRNS; the decoder checks the rest.
    for (std::int64_t At = 8; At + 8 <= N;) {
        const std::uint32_t Length = Be32(At);
        if (Length > std::uint64_t(N - At - 8))
            break;
        const Byte* Type = D + At + 4;
        const Byte* Data = D + At + 8;
        if (std::memcmp(Type, "IHDR", 4) == 0 && Length >= 10)
            ColorType = Data[9];
        else if (std::memcmp(Type, "tRNS", 4) == 0) {
            Bit = true;
            if (ColorType == 3)
                for (std::uint32_t I = 0; I < Length; ++I)
                    Bit = Bit && (Data[I] == 0 || Data[I] == 255);
        } else if (std::memcmp(Type, "IDAT", 4) == 0)
            break;
        At += 12 + std::int64_t(Length);
    }
    Bytes.SetPosition(0);
    TPngImage::LoadFromStream(&Bytes);
    FColorType = ColorType;
    FBitTransparent = Bit;
}

// ---- items ----

TbsPngImageItem::TbsPngImageItem(TCollection* Collection) : TCollectionItem(Collection) {
    FName = Format(u"PngImage%d", {Index()});
    if (TbsPngImageList* List = ImageList())
        InsertPlaceholderImage(List, Index());
}

TbsPngImageItem::~TbsPngImageItem() {
    TbsPngImageList* List = ImageList();
    if (List && Index() >= 0 && Index() < List->Count())
        DeletePlaceholderImage(List, Index());
}

TbsPngImageList* TbsPngImageItem::ImageList() const {
    auto* Items = dynamic_cast<TbsPngImageItems*>(Collection());
    return Items ? Items->PngImageList() : nullptr;
}

void TbsPngImageItem::Assign(TPersistent* Source) {
    if (auto* Item = dynamic_cast<TbsPngImageItem*>(Source)) {
        FPngImage->Assign(Item->FPngImage.get());
        FName = Item->FName;
        return;
    }
    TCollectionItem::Assign(Source);
}

String TbsPngImageItem::DisplayName() const {
    return FName.empty() ? TCollectionItem::DisplayName() : FName;
}

void TbsPngImageItem::SetPngImage(TbsPngImage* Value) {
    FPngImage->Assign(Value);
    Changed(true);
}

TbsPngImageItems::TbsPngImageItems(TbsPngImageList* APNGImageList)
    : TCollection(ItemClassOf<TbsPngImageItem>()), FPngImageList(APNGImageList) {}

TPersistent* TbsPngImageItems::GetOwner() const {
    return FPngImageList;
}

// ---- the list ----

TbsPngImageList::TbsPngImageList(TComponent* AOwner)
    : TCustomImageList(AOwner), FPngImages(std::make_unique<TbsPngImageItems>(this)) {}

TbsPngImageList::~TbsPngImageList() {
    FPngImages.reset();
}

void TbsPngImageList::SetPngWidth(int Value) {
    if (Value == Width())
        return;
    SetWidth(Value);
    if (!ComponentState().Contains(csLoading))
        FPngImages->Clear();
}

void TbsPngImageList::SetPngHeight(int Value) {
    if (Value == Height())
        return;
    SetHeight(Value);
    if (!ComponentState().Contains(csLoading))
        FPngImages->Clear();
}

void TbsPngImageList::DoDraw(int Index, TCanvas* Canvas, int X, int Y, TDrawingStyle Style, bool Enabled) {
    TbsPngImageItem* Item = FPngImages->Items(Index);
    DrawPngImage(Item->PngImage(), Canvas, TRect{X, Y, X + Width(), Y + Height()}, Enabled);
}

void InsertPlaceholderImage(TCustomImageList* List, int Index) {
    TBitmap Placeholder;
    Placeholder.SetMonochrome(true);
    Placeholder.SetSize(List->Width(), List->Height());
    List->Insert(Index, &Placeholder, nullptr);
}

void DeletePlaceholderImage(TCustomImageList* List, int Index) {
    List->Delete(Index);
}

void DrawPngImage(TbsPngImage* PNG, TCanvas* Canvas, const TRect& Rect, bool Enabled) {
    if (!PNG || PNG->Empty())
        return;
    if (Enabled) {
        Canvas->StretchDraw(Rect, PNG);
        return;
    }
    TbsPngImage Copy;
    Copy.Assign(PNG);
    SetPngAlphaLevel(&Copy, 127);
    Canvas->StretchDraw(Rect, &Copy);
}

void SetPngAlphaLevel(TbsPngImage* PNG, Byte Level) {
    if (!PNG || PNG->Empty())
        return;
    switch (PNG->ColorType()) {
    case 0:
    case 3:
        MakePngAlpha(PNG, Level, PNG->BitTransparent());
        return;
    default:
        // A colour picture without alpha gets an opaque alpha channel first.
        if (!PNG->HasAlpha())
            PNG->CreateAlpha();
        break;
    }
    // A single transparent colour stays clear: the decoder already gave its pixels alpha 0, which the scaling
    // keeps at 0.
    for (int Y = 0; Y < PNG->Height(); ++Y) {
        Byte* A = PNG->AlphaScanline(Y);
        for (int X = 0; X < PNG->Width(); ++X)
            A[X] = Byte(std::nearbyint(A[X] / 256.0 * (Level + 1)));
    }
}

void MakePngAlpha(TbsPngImage* PNG, Byte Level, bool BitTransparent) {
    if (!PNG || PNG->Empty())
        return;
    std::vector<std::uint32_t> Pixels = PNG->Pixels();
    for (std::uint32_t& P : Pixels) {
        const bool Clear = BitTransparent && (P >> 24) == 0;
        P = (P & 0x00FFFFFF) | (std::uint32_t(Clear ? 0 : Level) << 24);
    }
    PNG->SetPixels(PNG->Width(), PNG->Height(), Pixels.data(), true);
    PNG->SetHeaderInfo(6, false);
}
