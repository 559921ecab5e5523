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
    static Registry* r = new Registry; // filled by registrations that run before main
    return *r;
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
    TBitmap b;
    b.SetPixelFormat(pf32bit);
    b.SetSize(32, 32);
    TCanvas* c = b.Canvas();
    c->Brush()->SetColor(clFuchsia);
    c->FillRect(Rect(0, 0, 32, 32));
    c->Pen()->SetColor(clBlack);
    String mark;
    TColor ink = clWhite;
    switch (id) {
    case 32513: // hand (error): red disc
        c->Brush()->SetColor(TColor(0x0000C8));
        c->Ellipse(2, 2, 30, 30);
        c->Pen()->SetColor(clWhite);
        c->Pen()->SetWidth(3);
        c->MoveTo(10, 10);
        c->LineTo(22, 22);
        c->MoveTo(22, 10);
        c->LineTo(10, 22);
        break;
    case 32514: // question: blue disc with "?"
        c->Brush()->SetColor(TColor(0xC05000));
        c->Ellipse(2, 2, 30, 30);
        mark = u"?";
        break;
    case 32515: { // exclamation: yellow triangle with "!"
        c->Brush()->SetColor(TColor(0x00D0FF));
        c->Polygon({{16, 2}, {30, 28}, {2, 28}});
        mark = u"!";
        ink = clBlack;
        break;
    }
    case 32516: // asterisk (information): blue disc with "i"
        c->Brush()->SetColor(TColor(0xC05000));
        c->Ellipse(2, 2, 30, 30);
        mark = u"i";
        break;
    default: // application: a window frame
        c->Brush()->SetColor(clWhite);
        c->Rectangle(3, 5, 29, 27);
        c->Brush()->SetColor(TColor(0x6A240A));
        c->FillRect(Rect(4, 6, 28, 11));
        break;
    }
    if (!mark.empty()) {
        c->Brush()->SetStyle(bsClear);
        c->Font()->SetName(u"Arial");
        c->Font()->SetHeight(-20);
        c->Font()->SetStyle(TFontStyles{fsBold});
        c->Font()->SetColor(ink);
        TSize s = c->TextExtent(mark);
        c->TextOut(16 - s.cx / 2, (id == 32515 ? 19 : 16) - s.cy / 2, mark);
    }
    std::vector<std::uint32_t> px(32 * 32);
    for (int y = 0; y < 32; ++y) {
        auto* row = static_cast<std::uint32_t*>(b.ScanLine(y));
        for (int x = 0; x < 32; ++x) {
            std::uint32_t v = row[x] & 0xFFFFFF;
            px[std::size_t(y) * 32 + x] = v == 0xFF00FF ? 0 : (0xFF000000u | v);
        }
    }
    HICON h = CreateIconFromPixels(32, 32, px.data());
    if (auto o = gdi::FindObject(h))
        o->Stock = true; // shared: DestroyIcon leaves it alone
    return h;
}

} // namespace

void RegisterResource(const String& Name, const std::uint8_t* Data, std::size_t Size) {
    auto& r = Reg();
    std::lock_guard<std::mutex> g(r.Lock);
    r.Items[UpperCase(Name)] = {Data, Size};
}

bool FindResourceData(LPCWSTR Name, const std::uint8_t*& Data, std::size_t& Size) {
    if (!Name)
        return false;
    auto& r = Reg();
    std::lock_guard<std::mutex> g(r.Lock);
    auto it = r.Items.find(KeyOf(Name));
    if (it == r.Items.end())
        return false;
    Data = it->second.Data;
    Size = it->second.Size;
    return true;
}

TResourceStream::TResourceStream(HINSTANCE, const String& ResName, LPCWSTR) {
    const std::uint8_t* d = nullptr;
    std::size_t n = 0;
    if (!FindResourceData(ResName.c_str(), d, n))
        throw EResNotFound(Format(u"Resource %s not found", {ResName}));
    FData.assign(d, d + n);
}

std::int64_t TResourceStream::Write(const void*, std::int64_t) {
    throw EStreamError(u"Can't write to a read-only resource stream");
}

namespace {

// The picture of a resource by its file signature (BMP, PNG or icon); nullptr when missing or not valid.
std::unique_ptr<TGraphic> LoadResourceGraphic(LPCWSTR name) {
    const std::uint8_t* d = nullptr;
    std::size_t n = 0;
    if (!FindResourceData(name, d, n))
        return nullptr;
    std::unique_ptr<TGraphic> g;
    if (StartsWith(d, n, "BM", 2))
        g = std::make_unique<TBitmap>();
    else if (StartsWith(d, n, "\x89PNG", 4))
        g = std::make_unique<TPngImage>();
    else if (StartsWith(d, n, "\0\0\1\0", 4))
        g = std::make_unique<TIcon>();
    else
        return nullptr;
    try {
        TMemoryStream s;
        s.WriteBuffer(d, std::int64_t(n));
        s.SetPosition(0);
        g->LoadFromStream(&s);
    } catch (const Exception&) {
        return nullptr;
    }
    return g;
}

} // namespace

HBITMAP LoadBitmapW(HINSTANCE, LPCWSTR name) {
    auto g = LoadResourceGraphic(name);
    if (auto* b = dynamic_cast<TBitmap*>(g.get()))
        return b->ReleaseHandle();
    if (auto* p = dynamic_cast<TPngImage*>(g.get())) {
        TBitmap b;
        b.Assign(p);
        return b.ReleaseHandle();
    }
    return nullptr;
}

HICON LoadIconW(HINSTANCE hInstance, LPCWSTR name) {
    if (!hInstance && IS_INTRESOURCE(name)) {
        auto id = reinterpret_cast<std::uintptr_t>(name);
        if (id < 32512 || id > 32516)
            return nullptr;
        static std::mutex m;
        static HICON icons[5] = {};
        std::lock_guard<std::mutex> g(m);
        HICON& slot = icons[id - 32512];
        if (!slot)
            slot = DrawSystemIcon(id);
        return slot;
    }
    auto g = LoadResourceGraphic(name);
    if (auto* p = dynamic_cast<TPngImage*>(g.get())) {
        auto px = p->Pixels();
        return CreateIconFromPixels(p->Width(), p->Height(), px.data());
    }
    if (auto* i = dynamic_cast<TIcon*>(g.get()))
        return i->ReleaseHandle();
    return nullptr;
}
