#include "tools/artmaker/ContactSheet.h"

#include <algorithm>

#include "platform/gdi/Graphics.h"

namespace artmaker {

namespace {

const TRgb Paper = Rgb(250, 251, 253);
const TRgb Heading = Rgb(28, 60, 110);
const TRgb Caption = Rgb(80, 88, 104);

// A light checkerboard, so see-through parts of a picture show as such.
void Checker(TArtCanvas& C, int X, int Y, int W, int H) {
    for (int Yy = 0; Yy < H; ++Yy)
        for (int Xx = 0; Xx < W; ++Xx)
            C.Over(X + Xx, Y + Yy, ((Xx / 6 + Yy / 6) % 2) ? Rgb(226, 230, 236) : Rgb(246, 247, 250), 1);
}

// Other drawn Zoom times larger, pixel for pixel.
TArtCanvas Zoomed(const TArtCanvas& Other, int Zoom) {
    TArtCanvas Result(Other.Width() * Zoom, Other.Height() * Zoom);
    const std::vector<std::uint32_t> P = Other.Pixels();
    for (int Y = 0; Y < Result.Height(); ++Y)
        for (int X = 0; X < Result.Width(); ++X) {
            const std::uint32_t V = P[std::size_t(Y / Zoom) * Other.Width() + X / Zoom];
            Result.Over(X, Y, Rgb(int((V >> 16) & 0xFF), int((V >> 8) & 0xFF), int(V & 0xFF)), (V >> 24) / 255.f);
        }
    return Result;
}

struct TRowLayout {
    const char16_t* Title;
    TAppImageList List;
    int Cell; // width of a cell
    int Zoom; // 1, or larger for small pictures
    int PerRow;
};

} // namespace

void WriteContactSheet(const TArtwork& Art, const String& FileName) {
    const int Width = 1240;
    const TRowLayout Rows[] = {
        {u"Toolbar  (bsPngImageList1, 40 x 40)", ailToolbar, 130, 1, 9},
        {u"Job panel and preview buttons  (bsPngImageList3, 16 x 16, shown also at 3x)", ailPanel, 100, 3, 12},
        {u"Categories  (bsPngImageList4, 48 x 48, by profile group)", ailCategory, 98, 1, 12},
        {u"Profiles  (bsPngImageList5, 32 x 32, by profile group)", ailProfile, 98, 1, 12},
        {u"Settings dialog categories  (ImageList1, 32 x 32)", ailSettings, 98, 1, 12},
    };
    // Measure first: each row block is a heading and its lines of cells.
    int Height = 70;
    for (const TRowLayout& R : Rows) {
        const int Lines = (int(Art.Lists[R.List].size()) + R.PerRow - 1) / R.PerRow;
        const int Pic = Art.Lists[R.List][0].Height() * R.Zoom + (R.Zoom > 1 ? Art.Lists[R.List][0].Height() + 8 : 0);
        Height += 40 + Lines * (Pic + 36);
    }
    Height += 40 + 260 + 40;
    TArtCanvas Sheet(Width, Height);
    Sheet.Fill(Box(0, 0, float(Width), float(Height)), Paper);
    Sheet.Text(u"Quorvane: the application's pictures", Width / 2.f, 30, 24, Heading);

    int Y = 70;
    for (const TRowLayout& R : Rows) {
        Sheet.Text(R.Title, Width / 2.f, float(Y + 12), 15, Heading);
        Y += 36;
        const int Count = int(Art.Lists[R.List].size());
        const TArtCanvas& First = Art.Lists[R.List][0];
        const int PicH = First.Height() * R.Zoom + (R.Zoom > 1 ? First.Height() + 8 : 0);
        for (int I = 0; I < Count; ++I) {
            const int Col = I % R.PerRow, Line = I / R.PerRow;
            const int X = 20 + Col * R.Cell, Top = Y + Line * (PicH + 36);
            const TArtCanvas& P = Art.Lists[R.List][I];
            const int Box = P.Width() * R.Zoom + 8;
            Checker(Sheet, X + (R.Cell - Box) / 2, Top, Box, P.Height() * R.Zoom + 8);
            if (R.Zoom > 1) {
                Sheet.Draw(Zoomed(P, R.Zoom), X + (R.Cell - Box) / 2 + 4, Top + 4);
                Sheet.Draw(P, X + (R.Cell - P.Width()) / 2, Top + P.Height() * R.Zoom + 12);
            } else {
                Sheet.Draw(P, X + (R.Cell - Box) / 2 + 4, Top + 4);
            }
            Sheet.Text(PictureLabel(R.List, I), X + R.Cell / 2.f, float(Top + PicH + 20), 11, Caption, false);
        }
        Y += ((Count + R.PerRow - 1) / R.PerRow) * (PicH + 36) + 4;
    }

    Sheet.Text(u"Single pictures: cover panel (552 x 238), About (53 x 55), program icon (16, 32, 48), settings Image1 "
               u"(128 x 128)",
               Width / 2.f, float(Y + 12), 15, Heading);
    Y += 36;
    int X = 20;
    for (int I = 0; I < AppPictureCount; ++I) {
        const TArtCanvas& P = Art.Pictures[std::size_t(I)];
        Checker(Sheet, X, Y, P.Width() + 8, P.Height() + 8);
        Sheet.Draw(P, X + 4, Y + 4);
        X += P.Width() + 8 + 24;
    }

    TPngImage Png;
    const std::vector<std::uint32_t> Pixels = Sheet.Pixels();
    Png.SetPixels(Width, Height, Pixels.data(), false);
    Png.SaveToFile(FileName);
}

} // namespace artmaker
