#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "skin/core/SkinSheet.h"
#include "skin/core/bsUtils.h"

namespace {

// Picture pixel (x, y) is RGB(20 x, 20 y, 200): red tells the column, green the row, blue marks skin pixels, so
// a red/blue mix-up or a transposed copy shows at once. White is what no piece painted.
constexpr int SkinW = 12, SkinH = 9;

std::unique_ptr<TBitmap> MakeSkin() {
    auto B = std::make_unique<TBitmap>();
    B->SetPixelFormat(pf32bit);
    B->SetSize(SkinW, SkinH);
    for (int Y = 0; Y < SkinH; ++Y) {
        auto* Row = static_cast<std::uint32_t*>(B->ScanLine(Y));
        for (int X = 0; X < SkinW; ++X)
            Row[X] = (std::uint32_t(20 * X) << 16) | (std::uint32_t(20 * Y) << 8) | 200;
    }
    return B;
}

// Each pixel as "x,y" of the skin pixel it shows, or "--" for white.
std::vector<std::vector<std::string>> Sources(TBitmap* B) {
    std::vector<std::vector<std::string>> Rows;
    for (int Y = 0; Y < B->Height(); ++Y) {
        std::vector<std::string> Row;
        for (int X = 0; X < B->Width(); ++X) {
            const COLORREF C = COLORREF(B->Canvas()->Pixels(X, Y)) & 0xFFFFFF;
            if (C == 0xFFFFFF)
                Row.push_back("--");
            else if (GetBValue(C) != 200)
                Row.push_back("??");
            else
                Row.push_back(std::to_string(GetRValue(C) / 20) + "," + std::to_string(GetGValue(C) / 20));
        }
        Rows.push_back(Row);
    }
    return Rows;
}

// Compares what Dest shows with the expected grid; a differing picture is saved as a PNG.
void ExpectSources(TBitmap* Dest, const std::vector<std::vector<std::string>>& Want, const std::string& Name) {
    const auto Got = Sources(Dest);
    EXPECT_EQ(Got, Want) << Name;
    if (Got != Want)
        skintest::SaveFailedPicture(*Dest, Name);
}

// The picture expected when column x shows skin column Cols[x] and row y skin row Rows[y].
std::vector<std::vector<std::string>> Grid(const std::vector<int>& Cols, const std::vector<int>& Rows) {
    std::vector<std::vector<std::string>> Out;
    for (int Y : Rows) {
        std::vector<std::string> Row;
        for (int X : Cols)
            Row.push_back(X < 0 || Y < 0 ? "--" : std::to_string(X) + "," + std::to_string(Y));
        Out.push_back(Row);
    }
    return Out;
}

// The face is SkinRect (2, 1, 8, 6) of the picture: a frame 2 wide left and right, 1 high on top and 2 at the
// bottom, with a 2 x 2 client (picture columns 4, 5 and rows 2, 3).
const TRect SkinRect{2, 1, 8, 6};
const TRect ClRect{2, 1, 4, 3};
const TPoint LT{2, 1}, RT{4, 1}, LB{2, 3}, RB{4, 3};

struct TNinePart {
    int Width, Height;
    bool Stretch;
    bool StretchEffect;
    TbsStretchType StretchType;
    bool DrawClient = true;
    void Draw(TBitmap* Dest, TBitmap* Source, bool OpenRight = false) const {
        const int DW = Width - SkinRect.Width(), DH = Height - SkinRect.Height();
        const TRect NewCl{ClRect.Left, ClRect.Top, ClRect.Right + DW, ClRect.Bottom + DH};
        auto Fn = OpenRight ? &DrawNinePartSkinImageOpenRight : &DrawNinePartSkinImage;
        Fn(LT, RT, LB, RB, ClRect, TPoint{LT.X, LT.Y}, TPoint{RT.X + DW, RT.Y}, TPoint{LB.X, LB.Y + DH},
           TPoint{RB.X + DW, RB.Y + DH}, NewCl, Dest, Source, SkinRect, Width, Height, DrawClient, Stretch, Stretch,
           Stretch, Stretch, StretchEffect, StretchType);
    }
};

} // namespace

TEST(SkinImageComposition, NinePartImages) {
    auto Skin = MakeSkin();
    struct Case {
        const char* Name;
        TNinePart Face;
        std::vector<int> Cols, Rows;
    };
    const Case Cases[] = {
        {"same size reproduces the face", {6, 5, false, false, bsstFull}, {2, 3, 4, 5, 6, 7}, {1, 2, 3, 4, 5}},
        // Middle spans of 7 columns and 5 rows: tiles of 2, the last one cut.
        {"tiled", {11, 8, false, false, bsstFull}, {2, 3, 4, 5, 4, 5, 4, 5, 4, 6, 7}, {1, 2, 3, 2, 3, 2, 4, 5}},
        // A span of exactly three tiles: the fourth tile has no length.
        {"exact multiple", {10, 7, false, false, bsstFull}, {2, 3, 4, 5, 4, 5, 4, 5, 6, 7}, {1, 2, 3, 2, 3, 4, 5}},
        // Shorter than one tile: one cut tile.
        {"short span", {5, 4, false, false, bsstFull}, {2, 3, 4, 6, 7}, {1, 2, 4, 5}},
        // Nearest-neighbour stretching of every middle piece and the client.
        {"stretched", {11, 8, true, true, bsstFull}, {2, 3, 4, 4, 4, 5, 5, 5, 5, 6, 7}, {1, 2, 2, 3, 3, 3, 4, 5}},
    };
    for (const Case& C : Cases) {
        TBitmap Dest;
        C.Face.Draw(&Dest, Skin.get());
        EXPECT_EQ(Dest.Width(), C.Face.Width) << C.Name;
        ExpectSources(&Dest, Grid(C.Cols, C.Rows), C.Name);
    }
}

TEST(SkinImageComposition, ClientStretchedByColumnsOrRows) {
    auto Skin = MakeSkin();
    TBitmap Horz, Vert;
    TNinePart{11, 8, false, true, bsstHorz}.Draw(&Horz, Skin.get());
    TNinePart{11, 8, false, true, bsstVert}.Draw(&Vert, Skin.get());
    // Columns of the piece's own width, each stretched to the client height (5 rows from 2: 2, 2, 3, 3, 3).
    auto H = Sources(&Horz);
    auto V = Sources(&Vert);
    const std::vector<int> ClientRowsStretched{2, 2, 3, 3, 3}, ClientColsStretched{4, 4, 4, 5, 5, 5, 5};
    for (int Y = 1; Y <= 5; ++Y)
        for (int X = 2; X <= 8; ++X) {
            EXPECT_EQ(H[Y][X], std::to_string((X - 2) % 2 + 4) + "," + std::to_string(ClientRowsStretched[Y - 1]))
                << X << "," << Y;
            EXPECT_EQ(V[Y][X], std::to_string(ClientColsStretched[X - 2]) + "," + std::to_string((Y - 1) % 2 + 2))
                << X << "," << Y;
        }
}

TEST(SkinImageComposition, OpenRightAndBlankFaces) {
    auto Skin = MakeSkin();
    TBitmap Open;
    TNinePart{9, 5, false, false, bsstFull}.Draw(&Open, Skin.get(), true);
    // No right edge or corners: top, bottom and client tiles run to the right end.
    ExpectSources(&Open, Grid({2, 3, 4, 5, 4, 5, 4, 5, 4}, {1, 2, 3, 4, 5}), "open right");

    TBitmap NoClient;
    TNinePart Face{8, 5, false, false, bsstFull};
    Face.DrawClient = false;
    Face.Draw(&NoClient, Skin.get());
    EXPECT_EQ(Sources(&NoClient)[2], (std::vector<std::string>{"2,3", "3,3", "--", "--", "--", "--", "6,3", "7,3"}));

    // Collapsed corner points or no source: the target only takes its new size.
    TBitmap Collapsed, NoSource;
    DrawNinePartSkinImage(LT, RT, LB, TPoint{LT.X, RB.Y}, ClRect, LT, RT, LB, RB, ClRect, &Collapsed, Skin.get(),
                          SkinRect, 7, 4, true, false, false, false, false, false, bsstFull);
    TBitmap Empty;
    DrawNinePartSkinImage(LT, RT, LB, RB, ClRect, LT, RT, LB, RB, ClRect, &NoSource, &Empty, SkinRect, 7, 4, true,
                          false, false, false, false, false, bsstFull);
    for (TBitmap* B : {&Collapsed, &NoSource}) {
        EXPECT_EQ(B->Width(), 7);
        EXPECT_EQ(Sources(B), Grid(std::vector<int>(7, -1), std::vector<int>(4, -1)));
    }
}

TEST(SkinImageComposition, CornerPointsBeyondTheFrame) {
    auto Skin = MakeSkin();
    // Corners reach one pixel further along each edge than the frame is thick.
    const TRect Cl{2, 1, 4, 3};
    TBitmap Dest;
    DrawNinePartSkinImage(TPoint{3, 2}, TPoint{4, 2}, TPoint{3, 3}, TPoint{4, 3}, Cl, TPoint{3, 2}, TPoint{7, 2},
                          TPoint{3, 6}, TPoint{7, 6}, TRect{2, 1, 7, 6}, &Dest, Skin.get(), SkinRect, 9, 8, false,
                          false, false, false, false, false, bsstFull);
    auto S = Sources(&Dest);
    EXPECT_EQ(S[0][0], "2,1");
    EXPECT_EQ(S[0][2], "4,1"); // top-left corner runs to x = 3
    EXPECT_EQ(S[0][3], "5,1"); // top edge tile (one column) from x = 3
    EXPECT_EQ(S[0][6], "5,1");
    EXPECT_EQ(S[0][7], "6,1"); // top-right corner from x = 7
    EXPECT_EQ(S[1][1], "3,2"); // the left corner's second piece below the frame top, down to y = 2
    EXPECT_EQ(S[2][0], "2,3"); // left edge tile (one row) from y = 2
    EXPECT_EQ(S[5][1], "3,3");
    EXPECT_EQ(S[6][0], "2,4"); // bottom-left corner from y = 6
    EXPECT_EQ(S[7][8], "7,5"); // bottom-right corner
}

TEST(SkinImageComposition, ByClientRectStretchesEveryPiece) {
    auto Skin = MakeSkin();
    TBitmap Dest;
    Dest.SetSize(8, 5);
    DrawNinePartSkinImageByClientRect(&Dest, Skin.get(), SkinRect, ClRect, true);
    ExpectSources(&Dest, Grid({2, 3, 4, 4, 5, 5, 6, 7}, {1, 2, 3, 4, 5}), "by client rect");
}

TEST(SkinImageComposition, Strips) {
    auto Skin = MakeSkin();
    // A source of 6 columns (2 .. 7) on row 4: left end 2, right end 1, middle 4, 5, 6.
    const TRect Src{2, 4, 8, 5};
    struct Case {
        const char* Name;
        decltype(&DrawSkinStripH) Fn;
        bool Stretch;
        std::vector<int> Cols;
    };
    const Case Cases[] = {
        {"tiled", &DrawSkinStripH, false, {2, 3, 4, 5, 6, 4, 5, 6, 4, 7}},
        {"stretched", &DrawSkinStripH, true, {2, 3, 4, 4, 5, 5, 5, 6, 6, 7}},
        {"open right", &DrawSkinStripHOpenRight, false, {2, 3, 4, 5, 6, 4, 5, 6, 4, 5}},
        {"middle only", &DrawSkinStripHMiddle, false, {4, 5, 6, 4, 5, 6, 4, 5, 6, 4}},
    };
    for (const Case& C : Cases) {
        TBitmap Dest;
        C.Fn(2, 1, &Dest, Skin.get(), Src, 10, 99, C.Stretch);
        ExpectSources(&Dest, Grid(C.Cols, {4}), C.Name);
    }
    // The vertical strip: rows 1 .. 8 of column 3, top 2 and bottom 1 fixed.
    TBitmap V;
    DrawSkinStripV(2, 1, &V, Skin.get(), TRect{3, 1, 4, 9}, 99, 12, false);
    EXPECT_EQ(Sources(&V), Grid({3}, {1, 2, 3, 4, 5, 6, 7, 3, 4, 5, 6, 8}));
    TBitmap Flat;
    DrawSkinStripV(2, 2, &Flat, Skin.get(), TRect{3, 1, 4, 5}, 99, 6, false);
    // A middle of height 0 lays nothing between the ends.
    EXPECT_EQ(Sources(&Flat), Grid({3}, {1, 2, -1, -1, 3, 4}));
}

TEST(SkinImageComposition, BorderStripsTileFromTheStripEdge) {
    auto Skin = MakeSkin();
    TBitmap Left, Top, Right, Bottom;
    // 11 x 8 target: frame 1 high on top, 2 at the bottom, 2 wide on each side.
    CreateSkinBorderImages(LT, RT, LB, RB, ClRect, LT, TPoint{9, 1}, TPoint{2, 6}, TPoint{9, 6}, TRect{2, 1, 9, 6},
                           &Left, &Top, &Right, &Bottom, Skin.get(), SkinRect, 11, 8, false, false, false, false);
    // Middles tiled from x = 0 (under the left corner piece), then the corners copied over.
    EXPECT_EQ(Sources(&Top), Grid({2, 3, 4, 5, 4, 5, 4, 5, 4, 6, 7}, {1}));
    EXPECT_EQ(Sources(&Bottom), Grid({2, 3, 4, 5, 4, 5, 4, 5, 4, 6, 7}, {4, 5}));
    EXPECT_EQ(Sources(&Left), Grid({2, 3}, {2, 3, 2, 3, 2}));
    EXPECT_EQ(Sources(&Right), Grid({6, 7}, {2, 3, 2, 3, 2}));

    // A strip with nothing to draw keeps its previous size and content.
    TBitmap Kept;
    Kept.SetSize(3, 3);
    TBitmap L2, R2, B2;
    CreateSkinBorderImages(LT, LT, LB, RB, ClRect, LT, LT, LB, RB, ClRect, &L2, &Kept, &R2, &B2, Skin.get(), SkinRect,
                           6, 5, false, false, false, false);
    EXPECT_EQ(Kept.Width(), 3);
    EXPECT_EQ(Sources(&Kept), Grid({-1, -1, -1}, {-1, -1, -1}));
}

namespace {

// A mask written as rows: '#' black (inside), '.' white, any other character a near-black colour.
std::unique_ptr<TBitmap> MakeMask(const std::vector<std::string>& Rows) {
    auto B = std::make_unique<TBitmap>();
    B->SetSize(int(Rows[0].size()), int(Rows.size()));
    for (int Y = 0; Y < B->Height(); ++Y)
        for (int X = 0; X < B->Width(); ++X) {
            const char C = Rows[std::size_t(Y)][std::size_t(X)];
            B->Canvas()->SetPixels(X, Y,
                                   C == '#'   ? RGB(0, 0, 0)
                                   : C == '.' ? RGB(255, 255, 255)
                                   : C == 'b' ? RGB(0, 0, 1)
                                              : RGB(1, 0, 0));
        }
    return B;
}

std::vector<TRect> RectsOf(const std::vector<BYTE>& Data) {
    RGNDATAHEADER H;
    std::memcpy(&H, Data.data(), 32);
    std::vector<TRect> Rects(H.nCount);
    if (H.nCount)
        std::memcpy(Rects.data(), Data.data() + 32, 16 * H.nCount);
    return Rects;
}

std::vector<std::string> RegionPicture(HRGN Rgn, int W, int H) {
    std::vector<std::string> Rows;
    for (int Y = 0; Y < H; ++Y) {
        std::string Row;
        for (int X = 0; X < W; ++X)
            Row += PtInRegion(Rgn, X, Y) ? '#' : '.';
        Rows.push_back(Row);
    }
    return Rows;
}

} // namespace

TEST(SkinRegions, RunsOfPureBlack) {
    // Blue 1 in the middle pixel and red 1 at the end count as outside.
    auto Mask = MakeMask({"#b#r", "##.."});
    std::vector<BYTE> Data;
    const int Size = RegionDataFromMask(Mask.get(), 5, 7, Data);
    ASSERT_EQ(Size, 32 + 16 * 3);
    RGNDATAHEADER H;
    std::memcpy(&H, Data.data(), 32);
    EXPECT_EQ(H.dwSize, 32u);
    EXPECT_EQ(H.iType, 1u);
    EXPECT_EQ(H.nRgnSize, 0u);
    EXPECT_EQ(H.rcBound, (TRect{5, 7, 9, 9}));
    EXPECT_EQ(RectsOf(Data), (std::vector<TRect>{{5, 7, 6, 8}, {7, 7, 8, 8}, {5, 8, 7, 9}}));

    TBitmap Empty;
    EXPECT_EQ(RegionDataFromMask(&Empty, 0, 0, Data), 0);
    EXPECT_TRUE(Data.empty());
    HRGN None = reinterpret_cast<HRGN>(1);
    CreateRegionFromMask(None, &Empty);
    EXPECT_EQ(None, nullptr);
}

TEST(SkinRegions, ManyRunsAllFit) {
    // 10002 separate black pixels: more runs than a fixed list of 10001 would hold.
    std::string Row;
    for (int I = 0; I < 10002; ++I)
        Row += "#.";
    auto Mask = MakeMask({Row});
    std::vector<BYTE> Data;
    EXPECT_EQ(RegionDataFromMask(Mask.get(), 0, 0, Data), 32 + 16 * 10002);
    const auto Rects = RectsOf(Data);
    EXPECT_EQ(Rects.back(), (TRect{20002, 0, 20003, 1}));
    HRGN Rgn = nullptr;
    CreateRegionFromMask(Rgn, Mask.get());
    EXPECT_TRUE(PtInRegion(Rgn, 20002, 0));
    EXPECT_FALSE(PtInRegion(Rgn, 20003, 0));
    DeleteObject(Rgn);
}

TEST(SkinRegions, NinePartRegionFromAMask) {
    // A 6 x 5 face mask with cut corners; corner points as the frame: the region at 9 x 7 keeps the cut corners
    // and tiles the edges.
    auto Mask = MakeMask({".####.", "######", "#.####", "######", ".####."});
    const TRect Cl{2, 1, 4, 3};
    HRGN Rgn = nullptr;
    CreateSkinRegion(Rgn, TPoint{2, 1}, TPoint{4, 1}, TPoint{2, 3}, TPoint{4, 3}, Cl, TPoint{2, 1}, TPoint{7, 1},
                     TPoint{2, 5}, TPoint{7, 5}, TRect{2, 1, 7, 5}, Mask.get(), 9, 7);
    ASSERT_NE(Rgn, nullptr);
    EXPECT_EQ(RegionPicture(Rgn, 10, 8),
              (std::vector<std::string>{".#######..", "#########.", "#.#######.", "#########.", "#.#######.",
                                        "#########.", ".#######..", ".........."}));
    DeleteObject(Rgn);

    HRGN Small = reinterpret_cast<HRGN>(1);
    CreateSkinRegion(Small, TPoint{2, 1}, TPoint{4, 1}, TPoint{2, 3}, TPoint{4, 3}, Cl, TPoint{2, 1}, TPoint{1, 1},
                     TPoint{2, 3}, TPoint{1, 3}, TRect{2, 1, 1, 3}, Mask.get(), 3, 5);
    EXPECT_EQ(Small, nullptr);
}
