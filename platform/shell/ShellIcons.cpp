#include "platform/shell/ShellIcons.h"

#include "platform/base/SysUtils.h"
#include "platform/gdi/Graphics.h"
#include "platform/gdi/ImgList.h"
#include "platform/shell/ShellInternal.h"

#include <memory>
#include <vector>

namespace {

const char16_t* const IconNames[siCount] = {u"file",          u"folder",        u"folder-open", u"desktop",
                                            u"computer",      u"home",          u"drive-fixed", u"drive-removable",
                                            u"drive-optical", u"drive-network", u"video",       u"audio",
                                            u"picture"};

constexpr TColor MaskColor = TColor(0xFF00FF);
constexpr TColor Outline = TColor(0x404040);
constexpr TColor Paper = TColor(0xFFFFFF);
constexpr TColor FolderYellow = TColor(0x4CC8F0); // BGR: a warm yellow
constexpr TColor FolderDark = TColor(0x1E90C8);
constexpr TColor ScreenBlue = TColor(0xC07830);
constexpr TColor Grey = TColor(0xC0C0C0);
constexpr TColor DarkGrey = TColor(0x808080);
constexpr TColor Green = TColor(0x30A030);
constexpr TColor Red = TColor(0x3030D0);

// Draws in a 16-unit design grid scaled to the list's size.
struct TPainter {
    TCanvas* C;
    int K;
    void Box(int L, int T, int R, int B, TColor Fill, TColor Line = Outline) {
        C->Brush()->SetColor(Fill);
        C->Pen()->SetColor(Line);
        C->Rectangle(L * K, T * K, R * K, B * K);
    }
    void Poly(std::vector<TPoint> P, TColor Fill) {
        for (TPoint& Pt : P)
            Pt = TPoint(Pt.X * K, Pt.Y * K);
        C->Brush()->SetColor(Fill);
        C->Pen()->SetColor(Outline);
        C->Polygon(P);
    }
    void Round(int L, int T, int R, int B, TColor Fill) {
        C->Brush()->SetColor(Fill);
        C->Pen()->SetColor(Outline);
        C->Ellipse(L * K, T * K, R * K, B * K);
    }
};

void DrawPage(TPainter& P) {
    P.Poly({{3, 1}, {10, 1}, {13, 4}, {13, 15}, {3, 15}}, Paper);
    P.Poly({{10, 1}, {10, 4}, {13, 4}}, Grey);
}

void DrawFolder(TPainter& P, bool Open) {
    P.Poly({{1, 3}, {6, 3}, {7, 5}, {15, 5}, {15, 14}, {1, 14}}, FolderDark);
    if (Open)
        P.Poly({{3, 7}, {16, 7}, {14, 14}, {1, 14}}, FolderYellow);
    else
        P.Box(1, 6, 15, 14, FolderYellow);
}

void DrawScreen(TPainter& P) {
    P.Box(1, 2, 15, 11, Grey);
    P.Box(2, 3, 14, 10, ScreenBlue);
    P.Box(6, 11, 10, 13, DarkGrey);
    P.Box(4, 13, 12, 15, Grey);
}

void DrawDrive(TPainter& P, TColor Light) {
    P.Box(1, 5, 15, 12, Grey);
    P.Box(3, 9, 5, 11, Light, Light);
    P.Box(7, 9, 13, 10, DarkGrey, DarkGrey);
}

void DrawIcon(int Icon, TPainter& P) {
    switch (Icon) {
    case siFile:
        DrawPage(P);
        break;
    case siFolder:
    case siFolderOpen:
        DrawFolder(P, Icon == siFolderOpen);
        break;
    case siDesktop:
        DrawScreen(P);
        P.Box(3, 4, 6, 6, Paper, Paper);
        break;
    case siComputer:
        DrawScreen(P);
        break;
    case siHome:
        P.Poly({{8, 1}, {15, 8}, {13, 8}, {13, 15}, {3, 15}, {3, 8}, {1, 8}}, FolderYellow);
        P.Box(7, 10, 10, 15, FolderDark);
        break;
    case siDriveFixed:
        DrawDrive(P, Green);
        break;
    case siDriveRemovable:
        P.Box(4, 1, 12, 5, DarkGrey);
        DrawDrive(P, Green);
        break;
    case siDriveOptical:
        P.Round(1, 1, 15, 15, Grey);
        P.Round(6, 6, 10, 10, MaskColor);
        break;
    case siDriveNetwork:
        DrawDrive(P, Green);
        P.Box(7, 12, 9, 14, DarkGrey);
        P.Box(3, 14, 13, 15, DarkGrey);
        break;
    case siVideo:
        DrawPage(P);
        P.Box(4, 6, 12, 13, Outline);
        P.Poly({{7, 7}, {10, 9}, {7, 11}}, Paper);
        break;
    case siAudio:
        DrawPage(P);
        P.Round(4, 10, 8, 14, Outline);
        P.Box(7, 5, 8, 12, Outline);
        P.Box(7, 5, 11, 6, Outline);
        break;
    case siPicture:
        DrawPage(P);
        P.Box(4, 6, 12, 13, ScreenBlue);
        P.Poly({{4, 13}, {7, 9}, {9, 11}, {10, 10}, {12, 13}}, Green);
        P.Round(9, 7, 11, 9, Red);
        break;
    }
}

std::unique_ptr<TImageList> MakeList(int Size) {
    auto List = std::make_unique<TImageList>(nullptr);
    List->SetSize(Size, Size);
    for (int I = 0; I < siCount; ++I) {
        TBitmap Bitmap(Size, Size);
        TCanvas* C = Bitmap.Canvas();
        C->Brush()->SetColor(MaskColor);
        C->FillRect(TRect(0, 0, Size, Size));
        TPainter P{C, Size / 16};
        DrawIcon(I, P);
        List->AddMasked(&Bitmap, MaskColor);
    }
    return List;
}

bool HasExtension(const String& Ext, std::initializer_list<const char16_t*> List) {
    for (const char16_t* E : List)
        if (Ext == E)
            return true;
    return false;
}

} // namespace

TCustomImageList* ShellImageList(bool Large) {
    static std::unique_ptr<TImageList> Small, Big;
    std::unique_ptr<TImageList>& L = Large ? Big : Small;
    if (!L)
        L = MakeList(Large ? 32 : 16);
    return L.get();
}

int ShellIconIndexByName(const String& Name) {
    for (int I = 0; I < siCount; ++I)
        if (Name == IconNames[I])
            return I;
    return -1;
}

int ShellFileIconIndex(const String& FileName) {
    const String Ext = AnsiLowerCase(ExtractFileExt(FileName));
    if (HasExtension(Ext, {u".mp4", u".avi", u".mkv", u".mov", u".wmv", u".flv", u".mpg", u".mpeg", u".m4v", u".3gp",
                           u".webm", u".ts", u".vob", u".rm", u".rmvb", u".asf", u".ogv", u".m2ts"}))
        return siVideo;
    if (HasExtension(Ext, {u".mp3", u".wav", u".aac", u".ogg", u".oga", u".flac", u".wma", u".m4a", u".amr", u".ac3",
                           u".mp2", u".ape", u".opus"}))
        return siAudio;
    if (HasExtension(Ext, {u".jpg", u".jpeg", u".png", u".bmp", u".gif", u".tif", u".tiff", u".webp", u".ico"}))
        return siPicture;
    return siFile;
}

namespace shellns {

int IconIndexOf(const TResolvedItem& Item, bool Open) {
    switch (Item.Kind) {
    case 0:
        return siDesktop;
    case SHID_HOME:
        return siHome;
    case SHID_COMPUTER:
        return siComputer;
    case SHID_DRIVE: {
        TShellDrive D;
        const TShellDriveKind Kind = FindShellDrive(Item.Path, D) ? D.Kind : dkFixed;
        static const int Icons[] = {siDriveFixed, siDriveRemovable, siDriveOptical, siDriveNetwork};
        return Icons[Kind];
    }
    }
    if (AttributesOf(Item, false) & SFGAO_FOLDER)
        return Open ? siFolderOpen : siFolder;
    return ShellFileIconIndex(UTF8ToString(Item.Name));
}

} // namespace shellns

DWORD_PTR SHGetFileInfoW(const void* pszPath, DWORD, SHFILEINFOW* psfi, UINT, UINT uFlags) {
    TCustomImageList* List = ShellImageList(!(uFlags & SHGFI_SMALLICON));
    if (!(uFlags & SHGFI_SYSICONINDEX))
        return 0;
    if (psfi && pszPath) {
        shellns::TResolvedItem Item;
        bool Found = false;
        if (uFlags & SHGFI_PIDL)
            Found = shellns::ResolveAbsolute(static_cast<LPCITEMIDLIST>(pszPath), Item);
        else {
            std::shared_ptr<IShellFolder> Desktop;
            SHGetDesktopFolder(Desktop);
            LPITEMIDLIST L = nullptr;
            if (SUCCEEDED(
                    Desktop->ParseDisplayName(nullptr, static_cast<const char16_t*>(pszPath), nullptr, &L, nullptr)))
                Found = shellns::ResolveAbsolute(L, Item);
            SHFree(L);
        }
        psfi->iIcon = Found ? shellns::IconIndexOf(Item, (uFlags & SHGFI_OPENICON) != 0) : siFile;
    }
    return DWORD_PTR(List->Handle());
}
