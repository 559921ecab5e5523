#include <gtest/gtest.h>

#include "platform/base/SysUtils.h"
#include "skin/core/TbsBitmapLink.h"

namespace {

// A 10 x 10 opaque bitmap whose pixel (x, y) is 0xFF000000 + 0x10000 x + y.
void FillOpaque(TbsBitmap& B) {
    B.SetSize(10, 10);
    for (int Y = 0; Y < 10; ++Y)
        for (int X = 0; X < 10; ++X)
            B.PutPixel(X, Y, 0xFF000000u + 0x10000u * X + Y);
}

} // namespace

TEST(TbsBitmapLink, AssignedNeedsAnImageAndAnArea) {
    TbsBitmap B;
    FillOpaque(B);
    TbsBitmapLink L;
    EXPECT_FALSE(L.Assigned());
    L.SetRect(TRect{1, 1, 4, 4});
    EXPECT_FALSE(L.Assigned());
    L.SetImage(&B);
    EXPECT_TRUE(L.Assigned());
    L.SetRight(1);
    EXPECT_FALSE(L.Assigned());
}

TEST(TbsBitmapLink, SeeThroughPixelsInTheWholePiece) {
    struct Case {
        const char* Name;
        TRect Rect;
        int X, Y;
        TbsColor Value;
        bool Masked;
    };
    const Case Cases[] = {
        {"opaque piece", {2, 2, 6, 6}, 0, 0, 0xFF000000u, false},
        {"key colour", {2, 2, 6, 6}, 3, 3, 0x007F007Fu, true},
        {"alpha below 255", {2, 2, 6, 6}, 5, 5, 0xFE102030u, true},
        {"the shadow colour is drawn as it is", {2, 2, 6, 6}, 3, 3, 0x33333333u, false},
        {"outside the piece", {2, 2, 6, 6}, 6, 6, 0x00000000u, false},
        {"piece reaching out of the bitmap", {8, 8, 12, 12}, 0, 0, 0xFF000000u, true},
    };
    for (const Case& C : Cases) {
        TbsBitmap B;
        FillOpaque(B);
        B.PutPixel(C.X, C.Y, C.Value);
        TbsBitmapLink L;
        L.SetImage(&B);
        L.SetRect(C.Rect);
        L.SetMaskedBorder(true);
        L.SetMaskedAngles(true);
        L.CheckingMasked();
        EXPECT_EQ(L.Masked(), C.Masked) << C.Name;
        EXPECT_FALSE(L.MaskedBorder()) << C.Name;
        EXPECT_FALSE(L.MaskedAngles()) << C.Name;
    }
}

TEST(TbsBitmapLink, SeeThroughPixelsByPartOfThePiece) {
    struct Case {
        int X, Y; // in the bitmap; the piece is (3, 2, 9, 8) with a margin of 2 on every side
        bool Angles, Border, Centre;
    };
    const Case Cases[] = {
        {3, 2, true, false, false}, {8, 7, true, false, false}, {4, 3, true, false, false}, {5, 2, false, true, false},
        {3, 5, false, true, false}, {8, 4, false, true, false}, {6, 4, false, false, true}, {5, 5, false, false, true},
    };
    for (const Case& C : Cases) {
        TbsBitmap B;
        FillOpaque(B);
        B.PutPixel(C.X, C.Y, 0x007F007F);
        TbsBitmapLink L;
        L.SetImage(&B);
        L.SetRect(TRect{3, 2, 9, 8});
        L.CheckingMasked(TRect{2, 2, 2, 2});
        EXPECT_EQ((std::vector<bool>{L.MaskedAngles(), L.MaskedBorder(), L.Masked()}),
                  (std::vector<bool>{C.Angles, C.Border, C.Centre}))
            << C.X << "," << C.Y;
    }
    // A margin with only its bottom set is no zero margin: the parts are told apart.
    TbsBitmap B;
    FillOpaque(B);
    B.PutPixel(4, 7, 0x007F007F);
    TbsBitmapLink L;
    L.SetImage(&B);
    L.SetRect(TRect{3, 2, 9, 8});
    L.CheckingMasked(TRect{0, 0, 0, 5});
    EXPECT_TRUE(L.MaskedBorder());
    EXPECT_FALSE(L.Masked());
}

TEST(TbsBitmapLink, StoreAssignAndDraw) {
    TbsBitmap B;
    FillOpaque(B);
    B.SetName(u"Frame");
    auto L = GetBitmapLink(B, String(u"1, 2, 4, 5"));
    EXPECT_EQ(L->Image(), &B);
    EXPECT_EQ(L->Name(), u"Frame");
    EXPECT_EQ(L->Rect(), (TRect{1, 2, 4, 5}));
    EXPECT_EQ(GetBitmapLink(B, String(u"1, 2, q, 5"))->Rect(), (TRect{0, 0, 0, 0}));

    TMemoryStream M;
    L->SaveToStream(&M);
    EXPECT_EQ(M.Size(), 4 + 10 + 16);
    M.SetPosition(0);
    TbsBitmapLink Back;
    Back.SetMasked(true);
    Back.LoadFromStream(&M);
    EXPECT_EQ(Back.Name(), u"Frame");
    EXPECT_EQ(Back.Rect(), (TRect{1, 2, 4, 5}));
    EXPECT_EQ(Back.Image(), nullptr);
    EXPECT_TRUE(Back.Masked());

    TbsBitmapLink Copy;
    L->SetMaskedAngles(true);
    Copy.Assign(L.get());
    EXPECT_EQ(Copy.Image(), &B);
    EXPECT_EQ(Copy.Rect(), L->Rect());
    EXPECT_TRUE(Copy.MaskedAngles());
    TStringList NotALink;
    EXPECT_THROW(Copy.Assign(&NotALink), EConvertError);

    // The piece (1, 2) .. (3, 4) drawn at (5, 0) of another bitmap; an empty piece draws nothing.
    TbsBitmap Target;
    Target.SetSize(8, 3);
    L->Draw(Target, 5, 0);
    EXPECT_EQ(*Target.GetPixelPtr(5, 0), 0xFF010002u);
    EXPECT_EQ(*Target.GetPixelPtr(7, 2), 0xFF030004u);
    EXPECT_EQ(*Target.GetPixelPtr(4, 0), 0u);
    TbsBitmapLink None;
    None.SetImage(&B);
    None.Draw(Target, 0, 0);
    EXPECT_EQ(*Target.GetPixelPtr(0, 0), 0u);
}
