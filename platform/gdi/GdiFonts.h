// Inside the drawing layer: fonts resolved to faces, glyphs with coverage, and text metrics. One lock guards the
// font engine, since FreeType faces are not shared between threads.
#pragma once

#include "platform/gdi/WinText.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace gdi {

struct Glyph {
    int Advance = 0;
    int Left = 0; // from the pen position to the bitmap's left column
    int Top = 0;  // from the cell top to the bitmap's first row
    int Width = 0;
    int Height = 0;
    std::vector<std::uint8_t> Coverage; // Width x Height, 0..255
};

struct FaceEntry;

class FontInstance {
public:
    explicit FontInstance(const LOGFONTW& lf);
    const LOGFONTW& Log() const { return FLog; }
    const TEXTMETRICW& Metrics() const { return FMetrics; }
    // Glyph of a code point (control characters have no glyph and no width).
    const Glyph& GlyphOf(char32_t cp);
    int UnderlineOffset() const { return FUnderlineOffset; } // rows below the cell top
    int StrikeOffset() const { return FStrikeOffset; }
    int LineThickness() const { return FLineThickness; }
    bool Fixed() const { return FFixed; }

private:
    LOGFONTW FLog;
    TEXTMETRICW FMetrics;
    bool FFixed = false;
    int FCell = 16;
    FaceEntry* FPrimary = nullptr;
    long FEm26 = 0; // em size in 1/64 pixel
    bool FBold = false, FItalic = false, FMono = false;
    int FUnderlineOffset = 0, FStrikeOffset = 0, FLineThickness = 1;
    std::unordered_map<char32_t, Glyph> FGlyphs;
    void Render(char32_t cp, Glyph& g);
};

std::mutex& FontLock();
// The instance for a logical font (cached; call with FontLock held).
FontInstance& InstanceFor(const LOGFONTW& lf);

// Decodes UTF-16 into code points; each code point keeps the index of its first unit.
struct CodePoint {
    char32_t Cp;
    int Index;
};
std::vector<CodePoint> Decode(const char16_t* s, int n);

} // namespace gdi
