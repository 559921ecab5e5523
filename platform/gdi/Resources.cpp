#include "platform/gdi/Resources.h"

#include "platform/gdi/GdiInternal.h"
#include "platform/gdi/Graphics.h"

#include <cstring>
#include <map>
#include <mutex>

const HINSTANCE HInstance = reinterpret_cast<HINSTANCE>(std::uintptr_t(0x400000));

namespace {

struct Entry {
    const std::uint8_t* Data;
    std::size_t Size;
};

struct Registry {
    std::mutex Lock;
    std::map<String, Entry> Items;
};

Registry& Reg() {
    static Registry* R = new Registry; // filled by registrations that run before main
    return *R;
}

String KeyOf(LPCWSTR name) {
    if (IS_INTRESOURCE(name))
        return u"#" + IntToStr(std::int64_t(reinterpret_cast<std::uintptr_t>(name)));
    return UpperCase(String(name));
}

bool StartsWith(const std::uint8_t* d, std::size_t n, const char* sig, std::size_t k) {
    return n >= k && std::memcmp(d, sig, k) == 0;
}

// The system icons, drawn here: a picture on magenta, magenta becoming transparent.
HICON DrawSystemIcon(std::uintptr_t id) {
    TBitmap B;
    B.SetPixelFormat(pf32bit);
    B.SetSize(32, 32);
    TCanvas* C = B.Canvas();
    C->Brush()->SetColor(clFuchsia);
    C->FillRect(Rect(0, 0, 32, 32));
    C->Pen()->SetColor(clBlack);
    String Mark;
    TColor Ink = clWhite;
    switch (id) {
    case 32513: // hand (error): red disc
        C->Brush()->SetColor(TColor(0x0000C8));
        C->Ellipse(2, 2, 30, 30);
        C->Pen()->SetColor(clWhite);
        C->Pen()->SetWidth(3);
        C->MoveTo(10, 10);
        C->LineTo(22, 22);
        C->MoveTo(22, 10);
        C->LineTo(10, 22);
        break;
    case 32514: // question: blue disc with "?"
        C->Brush()->SetColor(TColor(0xC05000));
        C->Ellipse(2, 2, 30, 30);
        Mark = u"?";
        break;
    case 32515: { // exclamation: yellow triangle with "!"
        C->Brush()->SetColor(TColor(0x00D0FF));
        C->Polygon({{16, 2}, {30, 28}, {2, 28}});
        Mark = u"!";
        Ink = clBlack;
        break;
    }
    case 32516: // asterisk (information): blue disc with "i"
        C->Brush()->SetColor(TColor(0xC05000));
        C->Ellipse(2, 2, 30, 30);
        Mark = u"i";
        break;
    default: // application: a window frame
        C->Brush()->SetColor(clWhite);
        C->Rectangle(3, 5, 29, 27);
        C->Brush()->SetColor(TColor(0x6A240A));
        C->FillRect(Rect(4, 6, 28, 11));
        break;
    }
    if (!Mark.empty()) {
        C->Brush()->SetStyle(bsClear);
        C->Font()->SetName(u"Arial");
        C->Font()->SetHeight(-20);
        C->Font()->SetStyle(TFontStyles{fsBold});
        C->Font()->SetColor(Ink);
        TSize S = C->TextExtent(Mark);
        C->TextOut(16 - S.cx / 2, (id == 32515 ? 19 : 16) - S.cy / 2, Mark);
    }
    std::vector<std::uint32_t> Px(32 * 32);
    for (int Y = 0; Y < 32; ++Y) {
        auto* Row = static_cast<std::uint32_t*>(B.ScanLine(Y));
        for (int X = 0; X < 32; ++X) {
            std::uint32_t V = Row[X] & 0xFFFFFF;
            Px[std::size_t(Y) * 32 + X] = V == 0xFF00FF ? 0 : (0xFF000000u | V);
        }
    }
    HICON H = CreateIconFromPixels(32, 32, Px.data());
    if (auto O = gdi::FindObject(H))
        O->Stock = true; // shared: DestroyIcon leaves it alone
    return H;
}

} // namespace

void RegisterResource(const String& Name, const std::uint8_t* Data, std::size_t Size) {
    auto& R = Reg();
    std::lock_guard<std::mutex> G(R.Lock);
    R.Items[UpperCase(Name)] = {Data, Size};
}

bool FindResourceData(LPCWSTR Name, const std::uint8_t*& Data, std::size_t& Size) {
    if (!Name)
        return false;
    auto& R = Reg();
    std::lock_guard<std::mutex> G(R.Lock);
    auto It = R.Items.find(KeyOf(Name));
    if (It == R.Items.end())
        return false;
    Data = It->second.Data;
    Size = It->second.Size;
    return true;
}

TResourceStream::TResourceStream(HINSTANCE, const String& ResName, LPCWSTR) {
    const std::uint8_t* D = nullptr;
    std::size_t N = 0;
    if (!FindResourceData(ResName.c_str(), D, N))
        throw EResNotFound(Format(u"Resource %s not found", {ResName}));
    FData.assign(D, D + N);
}

std::int64_t TResourceStream::Write(const void*, std::int64_t) {
    throw EStreamError(u"Can't write to a read-only resource stream");
}

namespace {

// The picture of a resource by its file signature (BMP, PNG or icon); nullptr when missing or not valid.
std::unique_ptr<TGraphic> LoadResourceGraphic(LPCWSTR name) {
    const std::uint8_t* D = nullptr;
    std::size_t N = 0;
    if (!FindResourceData(name, D, N))
        return nullptr;
    std::unique_ptr<TGraphic> G;
    if (StartsWith(D, N, "BM", 2))
        G = std::make_unique<TBitmap>();
    else if (StartsWith(D, N, "\x89PNG", 4))
        G = std::make_unique<TPngImage>();
    else if (StartsWith(D, N, "\0\0\1\0", 4))
        G = std::make_unique<TIcon>();
    else
        return nullptr;
    try {
        TMemoryStream S;
        S.WriteBuffer(D, std::int64_t(N));
        S.SetPosition(0);
        G->LoadFromStream(&S);
    } catch (const Exception&) {
        return nullptr;
    }
    return G;
}

} // namespace

HBITMAP LoadBitmapW(HINSTANCE, LPCWSTR name) {
    auto G = LoadResourceGraphic(name);
    if (auto* B = dynamic_cast<TBitmap*>(G.get()))
        return B->ReleaseHandle();
    if (auto* P = dynamic_cast<TPngImage*>(G.get())) {
        TBitmap B;
        B.Assign(P);
        return B.ReleaseHandle();
    }
    return nullptr;
}

HICON LoadIconW(HINSTANCE hInstance, LPCWSTR name) {
    if (!hInstance && IS_INTRESOURCE(name)) {
        auto Id = reinterpret_cast<std::uintptr_t>(name);
        if (Id < 32512 || Id > 32516)
            return nullptr;
        static std::mutex M;
        static HICON Icons[5] = {};
        std::lock_guard<std::mutex> G(M);
        HICON& Slot = Icons[Id - 32512];
        if (!Slot)
            Slot = DrawSystemIcon(Id);
        return Slot;
    }
    auto G = LoadResourceGraphic(name);
    if (auto* P = dynamic_cast<TPngImage*>(G.get())) {
        auto Px = P->Pixels();
        return CreateIconFromPixels(P->Width(), P->Height(), Px.data());
    }
    if (auto* I = dynamic_cast<TIcon*>(G.get()))
        return I->ReleaseHandle();
    return nullptr;
}
