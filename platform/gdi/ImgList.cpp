#include "platform/gdi/ImgList.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <set>

namespace {

// Live lists, so that a handle can be checked before use; lists made by ImageList_Create are owned here.
struct LiveLists {
    std::mutex Lock;
    std::set<TCustomImageList*> All;
    std::set<TCustomImageList*> Owned;
};

LiveLists& Lists() {
    static LiveLists* L = new LiveLists;
    return *L;
}

TCustomImageList* ListOf(HIMAGELIST h) {
    auto* P = reinterpret_cast<TCustomImageList*>(h);
    auto& L = Lists();
    std::lock_guard<std::mutex> G(L.Lock);
    return L.All.count(P) ? P : nullptr;
}

// A bitmap handle in a TBitmap for the duration of a call.
struct BorrowedBitmap {
    TBitmap B;
    explicit BorrowedBitmap(HBITMAP h) {
        BITMAP Bm;
        if (!h || !GetObject(h, sizeof Bm, &Bm))
            return;
        int Height = Bm.bmHeight < 0 ? -Bm.bmHeight : Bm.bmHeight;
        B.SetPixelFormat(pf32bit);
        B.SetSize(Bm.bmWidth, Height);
        HDC Src = CreateCompatibleDC(nullptr);
        HGDIOBJ Old = SelectObject(Src, h);
        BitBlt(B.Canvas()->Handle(), 0, 0, Bm.bmWidth, Height, Src, 0, 0, SRCCOPY);
        SelectObject(Src, Old);
        DeleteDC(Src);
    }
};

TColor ToTColor(COLORREF c) {
    return c == CLR_NONE ? clNone : TColor(c & 0xFFFFFF);
}
COLORREF ToColorRef(TColor c) {
    return c == clNone ? CLR_NONE : ColorToRGB(c);
}

} // namespace

TCustomImageList::TCustomImageList(TComponent* AOwner) : TComponent(AOwner) {
    std::lock_guard<std::mutex> G(Lists().Lock);
    Lists().All.insert(this);
}

TCustomImageList::TCustomImageList(TComponent* AOwner, int AWidth, int AHeight) : TCustomImageList(AOwner) {
    SetSize(AWidth, AHeight);
}

TCustomImageList::~TCustomImageList() {
    for (TChangeLink* Link : FLinks)
        Link->FSender = nullptr;
    std::lock_guard<std::mutex> G(Lists().Lock);
    Lists().All.erase(this);
    Lists().Owned.erase(this);
}

void TCustomImageList::Assign(TPersistent* Source) {
    if (auto* L = dynamic_cast<TCustomImageList*>(Source)) {
        FWidth = L->FWidth;
        FHeight = L->FHeight;
        FBkColor = L->FBkColor;
        FBlendColor = L->FBlendColor;
        FDrawingStyle = L->FDrawingStyle;
        FMasked = L->FMasked;
        FImages = L->FImages;
        Change();
        return;
    }
    TComponent::Assign(Source);
}

void TCustomImageList::Change() {
    // A link's handler may register or unregister links: go through a copy, asking each still there.
    for (TChangeLink* Link : std::vector<TChangeLink*>(FLinks))
        if (std::find(FLinks.begin(), FLinks.end(), Link) != FLinks.end() && Link->OnChange)
            Link->OnChange(this);
    if (OnChange)
        OnChange(this);
}

void TCustomImageList::RegisterChanges(TChangeLink* Link) {
    if (!Link || Link->FSender == this)
        return;
    if (Link->FSender)
        Link->FSender->UnRegisterChanges(Link);
    Link->FSender = this;
    FLinks.push_back(Link);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* Link) {
    auto It = std::find(FLinks.begin(), FLinks.end(), Link);
    if (It == FLinks.end())
        return;
    FLinks.erase(It);
    Link->FSender = nullptr;
}

TChangeLink::~TChangeLink() {
    if (FSender)
        FSender->UnRegisterChanges(this);
}

void TCustomImageList::SetSize(int AWidth, int AHeight) {
    if (AWidth <= 0 || AHeight <= 0 || AWidth > 4096 || AHeight > 4096)
        throw EInvalidOperation(u"Invalid image size");
    if (AWidth == FWidth && AHeight == FHeight)
        return;
    FWidth = AWidth;
    FHeight = AHeight;
    FImages.clear();
    Change();
}

void TCustomImageList::SetBkColor(TColor Value) {
    if (Value != FBkColor) {
        FBkColor = Value;
        Change();
    }
}

void TCustomImageList::CheckIndex(int Index) const {
    if (Index < 0 || Index >= Count())
        throw EInvalidOperation(u"Invalid ImageList Index");
}

std::vector<std::vector<std::uint32_t>> TCustomImageList::Cut(TBitmap* Image, TBitmap* Mask, bool UseColor,
                                                              TColor MaskColor) {
    std::vector<std::vector<std::uint32_t>> Out;
    if (!Image || Image->Empty())
        return Out;
    TBitmap Px;
    Px.Assign(Image);
    Px.SetPixelFormat(pf32bit);
    bool HasAlpha = Image->PixelFormat() == pf32bit && Image->AlphaFormat() != afIgnored;
    TBitmap mask;
    if (Mask && !Mask->Empty()) {
        mask.Assign(Mask);
        mask.SetPixelFormat(pf32bit);
    }
    COLORREF Key = UseColor ? ColorToRGB(MaskColor) : 0;
    std::uint32_t KeyPixel = ((Key & 0xFF) << 16) | (Key & 0xFF00) | ((Key >> 16) & 0xFF);
    int Pieces = std::max(1, Image->Width() / FWidth);
    for (int K = 0; K < Pieces; ++K) {
        std::vector<std::uint32_t> Img(std::size_t(FWidth) * FHeight, 0);
        for (int Y = 0; Y < FHeight && Y < Px.Height(); ++Y) {
            auto* Row = static_cast<std::uint32_t*>(Px.ScanLine(Y));
            auto* Mrow = mask.Empty() || Y >= mask.Height() ? nullptr : static_cast<std::uint32_t*>(mask.ScanLine(Y));
            for (int X = 0; X < FWidth; ++X) {
                int Sx = K * FWidth + X;
                if (Sx >= Px.Width())
                    break;
                std::uint32_t V = Row[Sx];
                bool Clear;
                if (HasAlpha)
                    Clear = false;
                else if (UseColor)
                    Clear = (V & 0xFFFFFF) == KeyPixel;
                else
                    Clear = Mrow && Sx < mask.Width() && (Mrow[Sx] & 0xFFFFFF) != 0;
                if (!HasAlpha)
                    V = (V & 0xFFFFFF) | (Clear ? 0 : 0xFF000000u);
                Img[std::size_t(Y) * FWidth + X] = V;
            }
        }
        Out.push_back(std::move(Img));
    }
    return Out;
}

int TCustomImageList::Add(TBitmap* Image, TBitmap* Mask) {
    int First = Count();
    auto Imgs = Cut(Image, Mask, false, clNone);
    FImages.insert(FImages.end(), Imgs.begin(), Imgs.end());
    Change();
    return Imgs.empty() ? -1 : First;
}

int TCustomImageList::AddMasked(TBitmap* Image, TColor MaskColor) {
    int First = Count();
    auto Imgs = Cut(Image, nullptr, true, MaskColor);
    FImages.insert(FImages.end(), Imgs.begin(), Imgs.end());
    Change();
    return Imgs.empty() ? -1 : First;
}

int TCustomImageList::AddIcon(TIcon* Image) {
    if (!Image || Image->Empty())
        return -1;
    std::vector<std::uint32_t> Px;
    GetIconPixels(Image->Handle(), Px);
    // Scaled to the list's size by nearest neighbour.
    std::vector<std::uint32_t> Img(std::size_t(FWidth) * FHeight);
    int W = Image->Width(), H = Image->Height();
    for (int Y = 0; Y < FHeight; ++Y)
        for (int X = 0; X < FWidth; ++X)
            Img[std::size_t(Y) * FWidth + X] =
                Px[std::size_t((2 * Y + 1) * H / (2 * FHeight)) * W + (2 * X + 1) * W / (2 * FWidth)];
    FImages.push_back(std::move(Img));
    Change();
    return Count() - 1;
}

void TCustomImageList::Insert(int Index, TBitmap* Image, TBitmap* Mask) {
    if (Index < 0 || Index > Count())
        throw EInvalidOperation(u"Invalid ImageList Index");
    auto Imgs = Cut(Image, Mask, false, clNone);
    FImages.insert(FImages.begin() + Index, Imgs.begin(), Imgs.end());
    Change();
}

void TCustomImageList::InsertMasked(int Index, TBitmap* Image, TColor MaskColor) {
    if (Index < 0 || Index > Count())
        throw EInvalidOperation(u"Invalid ImageList Index");
    auto Imgs = Cut(Image, nullptr, true, MaskColor);
    FImages.insert(FImages.begin() + Index, Imgs.begin(), Imgs.end());
    Change();
}

void TCustomImageList::Replace(int Index, TBitmap* Image, TBitmap* Mask) {
    CheckIndex(Index);
    auto Imgs = Cut(Image, Mask, false, clNone);
    if (Imgs.empty())
        throw EInvalidOperation(u"Unable to Replace Image");
    FImages[std::size_t(Index)] = Imgs[0];
    Change();
}

void TCustomImageList::Delete(int Index) {
    if (Index == -1) {
        Clear();
        return;
    }
    CheckIndex(Index);
    FImages.erase(FImages.begin() + Index);
    Change();
}

void TCustomImageList::Clear() {
    FImages.clear();
    Change();
}

void TCustomImageList::Move(int CurIndex, int NewIndex) {
    CheckIndex(CurIndex);
    CheckIndex(NewIndex);
    auto Img = std::move(FImages[std::size_t(CurIndex)]);
    FImages.erase(FImages.begin() + CurIndex);
    FImages.insert(FImages.begin() + NewIndex, std::move(Img));
    Change();
}

const std::vector<std::uint32_t>& TCustomImageList::ImagePixels(int Index) const {
    CheckIndex(Index);
    return FImages[std::size_t(Index)];
}

void TCustomImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled) {
    Draw(Canvas, X, Y, Index, FDrawingStyle, itImage, Enabled);
}

void TCustomImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, TDrawingStyle ADrawingStyle, TImageType,
                            bool Enabled) {
    if (!Canvas || Index < 0 || Index >= Count())
        return;
    DoDraw(Index, Canvas, X, Y, ADrawingStyle, Enabled);
}

void TCustomImageList::DoDraw(int Index, TCanvas* Canvas, int X, int Y, TDrawingStyle Style, bool Enabled) {
    const auto& Src = FImages[std::size_t(Index)];
    if (FBkColor != clNone && Style != dsTransparent) {
        Canvas->Brush()->SetColor(FBkColor);
        Canvas->FillRect(Bounds(X, Y, FWidth, FHeight));
    }
    if (Enabled) {
        HICON Icon = CreateIconFromPixels(FWidth, FHeight, Src.data());
        DrawIconEx(Canvas->Handle(), X, Y, Icon, FWidth, FHeight, 0, nullptr, DI_NORMAL);
        DestroyIcon(Icon);
        return;
    }
    // Greyed: the shape embossed in the button colours.
    auto Shape = [&](COLORREF c) {
        std::vector<std::uint32_t> Px(Src.size(), 0);
        std::uint32_t Pixel = ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
        for (std::size_t I = 0; I < Src.size(); ++I) {
            std::uint32_t V = Src[I];
            int Lum = (int((V >> 16) & 255) * 30 + int((V >> 8) & 255) * 59 + int(V & 255) * 11) / 100;
            if ((V >> 24) >= 128 && Lum < 192)
                Px[I] = 0xFF000000u | Pixel;
        }
        return Px;
    };
    for (int Pass = 0; Pass < 2; ++Pass) {
        auto Px = Shape(ColorToRGB(Pass == 0 ? clBtnHighlight : clBtnShadow));
        HICON Icon = CreateIconFromPixels(FWidth, FHeight, Px.data());
        DrawIconEx(Canvas->Handle(), X + (Pass == 0), Y + (Pass == 0), Icon, FWidth, FHeight, 0, nullptr, DI_NORMAL);
        DestroyIcon(Icon);
    }
}

void TCustomImageList::GetBitmap(int Index, TBitmap* Image) {
    CheckIndex(Index);
    if (!Image)
        return;
    Image->SetSize(0, 0);
    Image->SetPixelFormat(pf32bit);
    Image->SetSize(FWidth, FHeight);
    Image->Canvas()->Brush()->SetColor(FBkColor == clNone ? clWhite : FBkColor);
    Image->Canvas()->FillRect(Rect(0, 0, FWidth, FHeight));
    DoDraw(Index, Image->Canvas(), 0, 0, dsTransparent, true);
}

void TCustomImageList::DrawOn(HDC DC, int X, int Y, int Index, bool Transparent, COLORREF Background) {
    if (Index < 0 || Index >= Count())
        return;
    TCanvas C;
    C.SetHandle(DC);
    SaveDC(DC);
    TColor Saved = FBkColor;
    FBkColor = Transparent ? clNone : ToTColor(Background);
    DoDraw(Index, &C, X, Y, dsNormal, true);
    FBkColor = Saved;
    C.SetHandle(nullptr);
    RestoreDC(DC, -1);
}

HIMAGELIST ImageList_Create(int cx, int cy, UINT, int, int) {
    if (cx <= 0 || cy <= 0)
        return nullptr;
    auto* L = new TImageList(nullptr, cx, cy);
    std::lock_guard<std::mutex> G(Lists().Lock);
    Lists().Owned.insert(L);
    return L->Handle();
}

BOOL ImageList_Destroy(HIMAGELIST himl) {
    TCustomImageList* L = ListOf(himl);
    if (!L)
        return false;
    {
        std::lock_guard<std::mutex> G(Lists().Lock);
        if (!Lists().Owned.count(L))
            return false;
    }
    delete L;
    return true;
}

int ImageList_GetImageCount(HIMAGELIST himl) {
    TCustomImageList* L = ListOf(himl);
    return L ? L->Count() : 0;
}

BOOL ImageList_GetIconSize(HIMAGELIST himl, int* cx, int* cy) {
    TCustomImageList* L = ListOf(himl);
    if (!L)
        return false;
    if (cx)
        *cx = L->Width();
    if (cy)
        *cy = L->Height();
    return true;
}

COLORREF ImageList_SetBkColor(HIMAGELIST himl, COLORREF clrBk) {
    TCustomImageList* L = ListOf(himl);
    if (!L)
        return CLR_NONE;
    COLORREF Old = ToColorRef(L->BkColor());
    L->SetBkColor(ToTColor(clrBk));
    return Old;
}

COLORREF ImageList_GetBkColor(HIMAGELIST himl) {
    TCustomImageList* L = ListOf(himl);
    return L ? ToColorRef(L->BkColor()) : CLR_NONE;
}

int ImageList_Add(HIMAGELIST himl, HBITMAP hbmImage, HBITMAP hbmMask) {
    TCustomImageList* L = ListOf(himl);
    if (!L || !hbmImage)
        return -1;
    BorrowedBitmap Image(hbmImage), mask(hbmMask);
    return L->Add(&Image.B, hbmMask ? &mask.B : nullptr);
}

int ImageList_AddMasked(HIMAGELIST himl, HBITMAP hbmImage, COLORREF crMask) {
    TCustomImageList* L = ListOf(himl);
    if (!L || !hbmImage)
        return -1;
    BorrowedBitmap Image(hbmImage);
    return L->AddMasked(&Image.B, ToTColor(crMask));
}

int ImageList_ReplaceIcon(HIMAGELIST himl, int i, HICON hicon) {
    TCustomImageList* L = ListOf(himl);
    if (!L || !hicon || i < -1 || i >= L->Count())
        return -1;
    TIcon Icon;
    Icon.SetHandle(CopyIcon(hicon));
    int Added = L->AddIcon(&Icon);
    if (i == -1 || Added < 0)
        return Added;
    L->Move(Added, i);
    L->Delete(i + 1);
    return i;
}

BOOL ImageList_Remove(HIMAGELIST himl, int i) {
    TCustomImageList* L = ListOf(himl);
    if (!L || i < -1 || i >= L->Count())
        return false;
    L->Delete(i);
    return true;
}

BOOL ImageList_Draw(HIMAGELIST himl, int i, HDC hdcDst, int x, int y, UINT fStyle) {
    return ImageList_DrawEx(himl, i, hdcDst, x, y, 0, 0, CLR_DEFAULT, CLR_DEFAULT, fStyle);
}

BOOL ImageList_DrawEx(HIMAGELIST himl, int i, HDC hdcDst, int x, int y, int, int, COLORREF rgbBk, COLORREF,
                      UINT fStyle) {
    TCustomImageList* L = ListOf(himl);
    if (!L || i < 0 || i >= L->Count() || !hdcDst)
        return false;
    COLORREF Bk = rgbBk == CLR_DEFAULT ? ToColorRef(L->BkColor()) : rgbBk;
    L->DrawOn(hdcDst, x, y, i, (fStyle & ILD_TRANSPARENT) || Bk == CLR_NONE, Bk);
    return true;
}
