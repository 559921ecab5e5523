// The drop-down marker of the menu buttons in every stored skin is an arrow on the key colour: drawn keyed, it
// leaves the face around the arrow showing (a marker of glyph colour only would be drawn as a solid block).
#include <gtest/gtest.h>

#include "platform/base/Classes.h"
#include "resources/StoredSkins.h"
#include "skin/core/TbsCompressedStoredSkin.h"
#include "skin/core/TbsDataSkinControl.h"
#include "skin/core/TbsSkinData.h"

namespace {

class StoredSkinMarker : public ::testing::TestWithParam<int> {};

TEST_P(StoredSkinMarker, IsAnArrowOnTheKeyColour) {
    TbsCompressedStoredSkin Stored(nullptr);
    TMemoryStream Bytes;
    Bytes.WriteBuffer(StoredSkin(GetParam()).Data, static_cast<std::int64_t>(StoredSkin(GetParam()).Size));
    Stored.LoadFromCompressStream(&Bytes);
    TbsSkinData Data(nullptr);
    Data.SetCompressedStoredSkin(&Stored);
    ASSERT_FALSE(Data.Empty);
    for (const String Name : {u"toolmenubutton", u"toolmenutrackbutton", u"bigtoolmenubutton"}) {
        const int I = Data.GetControlIndex(Name);
        ASSERT_NE(I, -1);
        auto* R = dynamic_cast<TbsDataSkinMenuButtonControl*>(Data.CtrlList[std::size_t(I)].get());
        ASSERT_NE(R, nullptr);
        TBitmap* Picture = Data.FActivePictures.at(std::size_t(R->PictureIndex)).get();
        for (const TRect& M : {R->MenuMarkerRect, R->MenuMarkerActiveRect}) {
            int Key = 0, Glyph = 0;
            for (int Y = M.Top; Y < M.Bottom; ++Y)
                for (int X = M.Left; X < M.Right; ++X)
                    (ColorToRGB(Picture->Canvas()->Pixels(X, Y)) == ColorToRGB(R->MenuMarkerTransparentColor)
                         ? Key
                         : Glyph)++;
            EXPECT_GT(Key, Glyph) << UTF8Encode(Name) << " of stored skin " << GetParam();
            EXPECT_GE(Glyph, 6) << UTF8Encode(Name) << " of stored skin " << GetParam();
        }
    }
    Data.SetCompressedStoredSkin(nullptr);
}

INSTANTIATE_TEST_SUITE_P(Skins, StoredSkinMarker, ::testing::Range(0, StoredSkinCount()));

} // namespace
