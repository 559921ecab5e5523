#include "skin/dialogs/bsFileCtrlGlyphs.h"

#include "platform/gdi/Resources.h"

#include <cstdint>
#include <cstring>
#include <map>
#include <vector>

namespace {

// One letter per pixel; '.' is the transparent olive of the bottom-left corner.
struct TPaletteEntry {
    char Key;
    std::uint8_t R, G, B;
};
const TPaletteEntry Palette[] = {
    {'.', 128, 128, 0},   {'K', 0, 0, 0},      {'W', 255, 255, 255}, {'L', 192, 192, 192},
    {'S', 128, 128, 128}, {'Y', 255, 224, 96}, {'D', 176, 128, 32},  {'B', 0, 0, 160},
    {'C', 96, 160, 224},  {'G', 0, 176, 0},    {'R', 208, 0, 0},
};

struct TGlyph {
    const char16_t* Name;
    std::vector<const char*> Rows;
};

const TGlyph Glyphs[] = {
    {u"BS_FLOPPY",
     {"................", ".KKKKKKKKKKKKKK.", ".KSKWWWWWWWWKSK.", ".KSKWWWWWWWWKSK.", ".KSKWSSSSSSWKSK.",
      ".KSKWWWWWWWWKSK.", ".KSKWSSSSSSWKSK.", ".KSKWWWWWWWWKSK.", ".KSSKKKKKKKKSSK.", ".KSSSSSSSSSSSSK.",
      ".KSSLLLLLLLLSSK.", ".KSSLKKLLLLLSSK.", ".KSSLKKLLLLLSSK.", ".KSSLLLLLLLLSSK.", "..KKKKKKKKKKKKK.",
      "................"}},
    {u"BS_HARD",
     {"................", "................", "................", "................", "................",
      "..KKKKKKKKKKKK..", ".KLLLLLLLLLLLLK.", ".KWWWWWWWWWWWLK.", ".KWLLLLLLLLLLSK.", ".KWLLLLLLLGGLSK.",
      ".KWLLLLLLLLLLSK.", ".KLSSSSSSSSSSSK.", "..KKKKKKKKKKKK..", "................", "................",
      "................"}},
    {u"BS_NETWORK",
     {"................", "..KKKKKKKKKKKK..", ".KLLLLLLLLLLLLK.", ".KWWWWWWWWWWWLK.", ".KWLLLLLLLLGGSK.",
      ".KLSSSSSSSSSSSK.", "..KKKKKKKKKKKK..", ".......KK.......", ".......KK.......", ".......KK.......",
      "..KKKKKKKKKKKK..", "..K..........K..", "KKKKK......KKKKK", "KSSSK......KSSSK", "KKKKK......KKKKK",
      "................"}},
    {u"BS_CDROM",
     {"................", ".....KKKKKK.....", "...KKWWWWLLKK...", "..KWWWWWLLLLLK..", ".KWWWWWWLLLLLLK.",
      ".KWWWWWKKLLLLLK.", "KWWWWWK..KLLLLLK", "KCCCCCK..KCCCCCK", "KCCCCCK..KCCCCCK", "KCCCCCCKKCCCCCCK",
      ".KCCCCCCCCCCCCK.", ".KCCCCCCCCCCCCK.", "..KCCCCCCCCCCK..", "...KKCCCCCCKK...", ".....KKKKKK.....",
      "................"}},
    {u"BS_RAM",
     {"................", ".KKKKKKKKKKKKKK.", ".KGGGGGGGGGGGGK.", ".KGKKGKKGKKGKKG.", ".KGKKGKKGKKGKKG.",
      ".KGGGGGGGGGGGGK.", ".KKKKKKKKKKKKKK.", "..D.D.D.D.D.D...", "..D.D.D.D.D.D...", "................",
      "................"}},
    {u"BS_CLOSEDFOLDER",
     {"................", "................", "..KKKKK.........", ".KYYYYYK........", ".KYYYYYYKKKKKKK.",
      ".KYYYYYYYYYYYYK.", ".KYWWWWWWWWWWYK.", ".KYWYYYYYYYYYYK.", ".KYWYYYYYYYYYYK.", ".KYWYYYYYYYYYYK.",
      ".KYWYYYYYYYYYYK.", ".KYYYYYYYYYYYDK.", ".KDDDDDDDDDDDDK.", "..KKKKKKKKKKKK..", "................"}},
    {u"BS_OPENFOLDER",
     {"................", "................", "..KKKKK.........", ".KYYYYYK........", ".KYYYYYYKKKKKK..",
      ".KYYYYYYYYYYYK..", ".KYYKKKKKKKKKKKK", ".KYKWWWWWWWWWWYK", ".KYKWYYYYYYYYYK.", ".KKWYYYYYYYYYK..",
      ".KKYYYYYYYYYYK..", ".KKYYYYYYYYYDK..", ".KDDDDDDDDDDK...", "..KKKKKKKKKK....", "................"}},
    {u"BS_CURRENTFOLDER",
     {"................", "................", "..KKKKK.........", ".KYYYYYK........", ".KYYYYYYKKKKKK..",
      ".KYYYYYYYYYYYK..", ".KYYKKKKKKKKKKKK", ".KYKWWWWWWWWWWYK", ".KYKWYYYYYYYYYK.", ".KKWYYYRRYYYYK..",
      ".KKYYYRRRRYYYK..", ".KKYYYYRRYYYDK..", ".KDDDDDDDDDDK...", "..KKKKKKKKKK....", "................"}},
    {u"BS_NEWFOLDER",
     {"..........R.....", "......R...R...R.", ".......R..R..R..", "........R...R...", "..KKKK....RRRRR.",
      ".KYYYYK.R...R...", ".KYYYYYK..R..R..", ".KYYYYYYKKKKK..R", ".KYWWWWWWWWWYK..", ".KYWYYYYYYYYYK..",
      ".KYWYYYYYYYYYK..", ".KYWYYYYYYYYYK..", ".KYWYYYYYYYYYK..", ".KDDDDDDDDDDDK..", "..KKKKKKKKKKK...",
      "................"}},
};

void Put16(std::vector<std::uint8_t>& B, std::uint16_t V) {
    B.push_back(std::uint8_t(V));
    B.push_back(std::uint8_t(V >> 8));
}
void Put32(std::vector<std::uint8_t>& B, std::uint32_t V) {
    for (int I = 0; I < 4; ++I)
        B.push_back(std::uint8_t(V >> (8 * I)));
}

// An uncompressed 8-bit BMP file of the rows, bottom-up with rows padded to four bytes.
std::vector<std::uint8_t> BmpOf(const TGlyph& G) {
    const int W = int(std::strlen(G.Rows[0])), H = int(G.Rows.size());
    const int Stride = (W + 3) & ~3;
    const std::uint32_t PaletteBytes = 256 * 4;
    const std::uint32_t Offset = 14 + 40 + PaletteBytes;
    std::vector<std::uint8_t> B;
    B.push_back('B');
    B.push_back('M');
    Put32(B, Offset + std::uint32_t(Stride * H));
    Put32(B, 0);
    Put32(B, Offset);
    Put32(B, 40);
    Put32(B, std::uint32_t(W));
    Put32(B, std::uint32_t(H));
    Put16(B, 1);
    Put16(B, 8);
    Put32(B, 0);
    Put32(B, std::uint32_t(Stride * H));
    Put32(B, 2835);
    Put32(B, 2835);
    Put32(B, 256);
    Put32(B, 0);
    std::map<char, std::uint8_t> Index;
    for (int I = 0; I < 256; ++I) {
        const int N = int(sizeof Palette / sizeof Palette[0]);
        if (I < N) {
            B.push_back(Palette[I].B);
            B.push_back(Palette[I].G);
            B.push_back(Palette[I].R);
            Index[Palette[I].Key] = std::uint8_t(I);
        } else {
            B.push_back(0);
            B.push_back(0);
            B.push_back(0);
        }
        B.push_back(0);
    }
    for (int Y = H - 1; Y >= 0; --Y) {
        for (int X = 0; X < Stride; ++X)
            B.push_back(X < W ? Index[G.Rows[std::size_t(Y)][X]] : 0);
    }
    return B;
}

} // namespace

void RegisterFileCtrlGlyphs() {
    static const bool Done = [] {
        // The bytes stay for the program's life, as registered resources must.
        static std::vector<std::vector<std::uint8_t>> Files;
        Files.reserve(sizeof Glyphs / sizeof Glyphs[0]);
        for (const TGlyph& G : Glyphs) {
            const std::uint8_t* Data = nullptr;
            std::size_t Size = 0;
            if (String(G.Name) == u"BS_NEWFOLDER" && FindResourceData(G.Name, Data, Size))
                continue;
            Files.push_back(BmpOf(G));
            RegisterResource(G.Name, Files.back().data(), Files.back().size());
        }
        return true;
    }();
    (void)Done;
}
