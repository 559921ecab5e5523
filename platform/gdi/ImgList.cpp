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
    static LiveLists* l = new LiveLists;
    return *l;
}

TCustomImageList* ListOf(HIMAGELIST h) {
    auto* p = reinterpret_cast<TCustomImageList*>(h);
    auto& l = Lists();
    std::lock_guard<std::mutex> g(l.Lock);
    return l.All.count(p) ? p : nullptr;
}

// A bitmap handle in a TBitmap for the duration of a call.
struct BorrowedBitmap {
    TBitmap B;
    explicit BorrowedBitmap(HBITMAP h) {
        BITMAP bm;
        if (!h || !GetObject(h, sizeof bm, &bm))
            return;
        int height = bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight;
        B.SetPixelFormat(pf32bit);
        B.SetSize(bm.bmWidth, height);
        HDC src = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(src, h);
        BitBlt(B.Canvas()->Handle(), 0, 0, bm.bmWidth, height, src, 0, 0, SRCCOPY);
        SelectObject(src, old);
        DeleteDC(src);
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
    std::lock_guard<std::mutex> g(Lists().Lock);
    Lists().All.insert(this);
}

TCustomImageList::TCustomImageList(TComponent* AOwner, int AWidth, int AHeight) : TCustomImageList(AOwner) {
    SetSize(AWidth, AHeight);
}

TCustomImageList::~TCustomImageList() {
    for (TChangeLink* Link : FLinks)
        Link->FSender = nullptr;
    std::lock_guard<std::mutex> g(Lists().Lock);
    Lists().All.erase(this);
    Lists().Owned.erase(this);
}

void TCustomImageList::Assign(TPersistent* Source) {
    if (auto* l = dynamic_cast<TCustomImageList*>(Source)) {
        FWidth = l->FWidth;
        FHeight = l->FHeight;
        FBkColor = l->FBkColor;
        FBlendColor = l->FBlendColor;
        FDrawingStyle = l->FDrawingStyle;
        FMasked = l->FMasked;
        FImages = l->FImages;
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
    std::vector<std::vector<std::uint32_t>> out;
    if (!Image || Image->Empty())
        return out;
    TBitmap px;
    px.Assign(Image);
    px.SetPixelFormat(pf32bit);
    bool hasAlpha = Image->PixelFormat() == pf32bit && Image->AlphaFormat() != afIgnored;
    TBitmap mask;
    if (Mask && !Mask->Empty()) {
        mask.Assign(Mask);
        mask.SetPixelFormat(pf32bit);
    }
    COLORREF key = UseColor ? ColorToRGB(MaskColor) : 0;
    std::uint32_t keyPixel = ((key & 0xFF) << 16) | (key & 0xFF00) | ((key >> 16) & 0xFF);
    int pieces = std::max(1, Image->Width() / FWidth);
    for (int k = 0; k < pieces; ++k) {
        std::vector<std::uint32_t> img(std::size_t(FWidth) * FHeight, 0);
        for (int y = 0; y < FHeight && y < px.Height(); ++y) {
            auto* row = static_cast<std::uint32_t*>(px.ScanLine(y));
            auto* mrow = mask.Empty() || y >= mask.Height() ? nullptr : static_cast<std::uint32_t*>(mask.ScanLine(y));
            for (int x = 0; x < FWidth; ++x) {
                int sx = k * FWidth + x;
                if (sx >= px.Width())
                    break;
                std::uint32_t v = row[sx];
                bool clear;
                if (hasAlpha)
                    clear = false;
                else if (UseColor)
                    clear = (v & 0xFFFFFF) == keyPixel;
                else
                    clear = mrow && sx < mask.Width() && (mrow[sx] & 0xFFFFFF) != 0;
                if (!hasAlpha)
                    v = (v & 0xFFFFFF) | (clear ? 0 : 0xFF000000u);
                img[std::size_t(y) * FWidth + x] = v;
            }
        }
        out.push_back(std::move(img));
    }
    return out;
}

int TCustomImageList::Add(TBitmap* Image, TBitmap* Mask) {
    int first = Count();
    auto imgs = Cut(Image, Mask, false, clNone);
    FImages.insert(FImages.end(), imgs.begin(), imgs.end());
    Change();
    return imgs.empty() ? -1 : first;
}

int TCustomImageList::AddMasked(TBitmap* Image, TColor MaskColor) {
    int first = Count();
    auto imgs = Cut(Image, nullptr, true, MaskColor);
    FImages.insert(FImages.end(), imgs.begin(), imgs.end());
    Change();
    return imgs.empty() ? -1 : first;
}

int TCustomImageList::AddIcon(TIcon* Image) {
    if (!Image || Image->Empty())
        return -1;
    std::vector<std::uint32_t> px;
    GetIconPixels(Image->Handle(), px);
    // Scaled to the list's size by nearest neighbour.
    std::vector<std::uint32_t> img(std::size_t(FWidth) * FHeight);
    int w = Image->Width(), h = Image->Height();
    for (int y = 0; y < FHeight; ++y)
        for (int x = 0; x < FWidth; ++x)
            img[std::size_t(y) * FWidth + x] =
                px[std::size_t((2 * y + 1) * h / (2 * FHeight)) * w + (2 * x + 1) * w / (2 * FWidth)];
    FImages.push_back(std::move(img));
    Change();
    return Count() - 1;
}

void TCustomImageList::Insert(int Index, TBitmap* Image, TBitmap* Mask) {
    if (Index < 0 || Index > Count())
        throw EInvalidOperation(u"Invalid ImageList Index");
    auto imgs = Cut(Image, Mask, false, clNone);
    FImages.insert(FImages.begin() + Index, imgs.begin(), imgs.end());
    Change();
}

void TCustomImageList::InsertMasked(int Index, TBitmap* Image, TColor MaskColor) {
    if (Index < 0 || Index > Count())
        throw EInvalidOperation(u"Invalid ImageList Index");
    auto imgs = Cut(Image, nullptr, true, MaskColor);
    FImages.insert(FImages.begin() + Index, imgs.begin(), imgs.end());
    Change();
}

void TCustomImageList::Replace(int Index, TBitmap* Image, TBitmap* Mask) {
    CheckIndex(Index);
    auto imgs = Cut(Image, Mask, false, clNone);
    if (imgs.empty())
        throw EInvalidOperation(u"Unable to Replace Image");
    FImages[std::size_t(Index)] = imgs[0];
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
    auto img = std::move(FImages[std::size_t(CurIndex)]);
    FImages.erase(FImages.begin() + CurIndex);
    FImages.insert(FImages.begin() + NewIndex, std::move(img));
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
    const auto& src = FImages[std::size_t(Index)];
    if (FBkColor != clNone && Style != dsTransparent) {
        Canvas->Brush()->SetColor(FBkColor);
        Canvas->FillRect(Bounds(X, Y, FWidth, FHeight));
    }
    if (Enabled) {
        HICON icon = CreateIconFromPixels(FWidth, FHeight, src.data());
        DrawIconEx(Canvas->Handle(), X, Y, icon, FWidth, FHeight, 0, nullptr, DI_NORMAL);
        DestroyIcon(icon);
        return;
    }
    // Greyed: the shape embossed in the button colours.
    auto shape = [&](COLORREF c) {
        std::vector<std::uint32_t> px(src.size(), 0);
        std::uint32_t pixel = ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
        for (std::size_t i = 0; i < src.size(); ++i) {
            std::uint32_t v = src[i];
            int lum = (int((v >> 16) & 255) * 30 + int((v >> 8) & 255) * 59 + int(v & 255) * 11) / 100;
            if ((v >> 24) >= 128 && lum < 192)
                px[i] = 0xFF000000u | pixel;
        }
        return px;
    };
    for (int pass = 0; pass < 2; ++pass) {
        auto px = shape(ColorToRGB(pass == 0 ? clBtnHighlight : clBtnShadow));
        HICON icon = CreateIconFromPixels(FWidth, FHeight, px.data());
        DrawIconEx(Canvas->Handle(), X + (pass == 0), Y + (pass == 0), icon, FWidth, FHeight, 0, nullptr, DI_NORMAL);
        DestroyIcon(icon);
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
    TCanvas c;
    c.SetHandle(DC);
    SaveDC(DC);
    TColor saved = FBkColor;
    FBkColor = Transparent ? clNone : ToTColor(Background);
    DoDraw(Index, &c, X, Y, dsNormal, true);
    FBkColor = saved;
    c.SetHandle(nullptr);
    RestoreDC(DC, -1);
}

HIMAGELIST ImageList_Create(int cx, int cy, UINT, int, int) {
    if (cx <= 0 || cy <= 0)
        return nullptr;
    auto* l = new TImageList(nullptr, cx, cy);
    std::lock_guard<std::mutex> g(Lists().Lock);
    Lists().Owned.insert(l);
    return l->Handle();
}

BOOL ImageList_Destroy(HIMAGELIST himl) {
    TCustomImageList* l = ListOf(himl);
    if (!l)
        return false;
    {
        std::lock_guard<std::mutex> g(Lists().Lock);
        if (!Lists().Owned.count(l))
            return false;
    }
    delete l;
    return true;
}

int ImageList_GetImageCount(HIMAGELIST himl) {
    TCustomImageList* l = ListOf(himl);
    return l ? l->Count() : 0;
}

BOOL ImageList_GetIconSize(HIMAGELIST himl, int* cx, int* cy) {
    TCustomImageList* l = ListOf(himl);
    if (!l)
        return false;
    if (cx)
        *cx = l->Width();
    if (cy)
        *cy = l->Height();
    return true;
}

COLORREF ImageList_SetBkColor(HIMAGELIST himl, COLORREF clrBk) {
    TCustomImageList* l = ListOf(himl);
    if (!l)
        return CLR_NONE;
    COLORREF old = ToColorRef(l->BkColor());
    l->SetBkColor(ToTColor(clrBk));
    return old;
}

COLORREF ImageList_GetBkColor(HIMAGELIST himl) {
    TCustomImageList* l = ListOf(himl);
    return l ? ToColorRef(l->BkColor()) : CLR_NONE;
}

int ImageList_Add(HIMAGELIST himl, HBITMAP hbmImage, HBITMAP hbmMask) {
    TCustomImageList* l = ListOf(himl);
    if (!l || !hbmImage)
        return -1;
    BorrowedBitmap image(hbmImage), mask(hbmMask);
    return l->Add(&image.B, hbmMask ? &mask.B : nullptr);
}

int ImageList_AddMasked(HIMAGELIST himl, HBITMAP hbmImage, COLORREF crMask) {
    TCustomImageList* l = ListOf(himl);
    if (!l || !hbmImage)
        return -1;
    BorrowedBitmap image(hbmImage);
    return l->AddMasked(&image.B, ToTColor(crMask));
}

int ImageList_ReplaceIcon(HIMAGELIST himl, int i, HICON hicon) {
    TCustomImageList* l = ListOf(himl);
    if (!l || !hicon || i < -1 || i >= l->Count())
        return -1;
    TIcon icon;
    icon.SetHandle(CopyIcon(hicon));
    int added = l->AddIcon(&icon);
    if (i == -1 || added < 0)
        return added;
    l->Move(added, i);
    l->Delete(i + 1);
    return i;
}

BOOL ImageList_Remove(HIMAGELIST himl, int i) {
    TCustomImageList* l = ListOf(himl);
    if (!l || i < -1 || i >= l->Count())
        return false;
    l->Delete(i);
    return true;
}

BOOL ImageList_Draw(HIMAGELIST himl, int i, HDC hdcDst, int x, int y, UINT fStyle) {
    return ImageList_DrawEx(himl, i, hdcDst, x, y, 0, 0, CLR_DEFAULT, CLR_DEFAULT, fStyle);
}

BOOL ImageList_DrawEx(HIMAGELIST himl, int i, HDC hdcDst, int x, int y, int, int, COLORREF rgbBk, COLORREF,
                      UINT fStyle) {
    TCustomImageList* l = ListOf(himl);
    if (!l || i < 0 || i >= l->Count() || !hdcDst)
        return false;
    COLORREF bk = rgbBk == CLR_DEFAULT ? ToColorRef(l->BkColor()) : rgbBk;
    l->DrawOn(hdcDst, x, y, i, (fStyle & ILD_TRANSPARENT) || bk == CLR_NONE, bk);
    return true;
}
