#include "platform/gdi/Resources.h"
#include "platform/gdi/Graphics.h"

#include <gtest/gtest.h>

namespace {

// Resource bytes live as long as the program, as embedded pictures do.
const std::vector<Byte>& SavedBytes(TGraphic& g) {
    static std::vector<std::vector<Byte>> keep;
    TMemoryStream s;
    g.SaveToStream(&s);
    auto* p = static_cast<const Byte*>(s.Memory());
    keep.emplace_back(p, p + s.Size());
    return keep.back();
}

TEST(Resources, BitmapsByNameAndNumber) {
    TBitmap b(3, 2);
    b.Canvas()->SetPixels(0, 0, clRed);
    const auto& bmp = SavedBytes(b);
    RegisterResource(u"QV_TEST_BITMAP", bmp.data(), bmp.size());
    RegisterResource(u"#101", bmp.data(), bmp.size());
    for (LPCWSTR name : {static_cast<LPCWSTR>(u"qv_test_bitmap"), MAKEINTRESOURCEW(101)}) {
        HBITMAP h = LoadBitmapW(HInstance, name);
        ASSERT_NE(h, nullptr);
        BITMAP bm;
        GetObject(h, sizeof bm, &bm);
        EXPECT_EQ(bm.bmWidth, 3);
        EXPECT_EQ(bm.bmHeight, 2);
        DeleteObject(h);
    }
    EXPECT_EQ(LoadBitmapW(HInstance, u"NO_SUCH_PICTURE"), nullptr);
    TBitmap fromName, fromId;
    fromName.LoadFromResourceName(HInstance, u"Qv_Test_Bitmap");
    fromId.LoadFromResourceID(HInstance, 101);
    EXPECT_EQ(fromName.Canvas()->Pixels(0, 0), clRed);
    EXPECT_EQ(fromId.Width(), 3);
    EXPECT_THROW(fromId.LoadFromResourceName(HInstance, u"NO_SUCH_PICTURE"), EResNotFound);
    static const std::uint8_t junk[] = {'B', 'M', 1, 2, 3};
    RegisterResource(u"QV_TEST_JUNK", junk, sizeof junk);
    EXPECT_EQ(LoadBitmapW(HInstance, u"QV_TEST_JUNK"), nullptr);
}

TEST(Resources, ResourceStreamsReadTheBytesOrReportTheName) {
    static const std::uint8_t data[] = {1, 2, 3, 4};
    RegisterResource(u"QV_TEST_DATA", data, sizeof data);
    TResourceStream s(HInstance, u"QV_TEST_DATA");
    EXPECT_EQ(s.Size(), 4);
    EXPECT_EQ(s.ReadValue<std::uint8_t>(), 1);
    EXPECT_THROW(s.WriteValue<std::uint8_t>(9), EStreamError);
    try {
        TResourceStream t(HInstance, u"QV_MISSING");
        ADD_FAILURE();
    } catch (const EResNotFound& e) {
        EXPECT_EQ(e.Message(), u"Resource QV_MISSING not found");
    }
}

TEST(Resources, IconsFromPngAndIcoResources) {
    std::uint32_t px[4] = {0xFF0000FF, 0, 0x80FF0000, 0xFFFFFFFF};
    TPngImage png;
    png.SetPixels(2, 2, px, true);
    const auto& bytes = SavedBytes(png);
    RegisterResource(u"QV_TEST_ICON", bytes.data(), bytes.size());
    HICON h = LoadIconW(HInstance, u"QV_TEST_ICON");
    ASSERT_NE(h, nullptr);
    std::vector<std::uint32_t> back;
    GetIconPixels(h, back);
    EXPECT_EQ(back, std::vector<std::uint32_t>(px, px + 4));
    EXPECT_TRUE(DestroyIcon(h));
}

TEST(Resources, SystemIconsAreSharedThirtyTwoPixelPictures) {
    for (LPCWSTR id : {IDI_HAND, IDI_QUESTION, IDI_EXCLAMATION, IDI_ASTERISK, IDI_APPLICATION}) {
        HICON h = LoadIconW(nullptr, id);
        ASSERT_NE(h, nullptr);
        EXPECT_EQ(LoadIconW(nullptr, id), h);
        int cx = 0, cy = 0;
        GetIconSize(h, &cx, &cy);
        EXPECT_EQ(cx, 32);
        EXPECT_EQ(cy, 32);
        std::vector<std::uint32_t> px;
        GetIconPixels(h, px);
        EXPECT_EQ(px[0] >> 24, 0u);              // corner transparent
        EXPECT_EQ(px[16 * 32 + 16] >> 24, 255u); // middle opaque
        DestroyIcon(h);                          // shared: stays valid
        EXPECT_TRUE(GetIconSize(h, &cx, &cy));
    }
    std::vector<std::uint32_t> hand;
    GetIconPixels(LoadIconW(nullptr, IDI_HAND), hand);
    EXPECT_EQ(hand[6 * 32 + 16] & 0xFFFFFF, 0xC80000u); // red disc
    EXPECT_EQ(LoadIconW(nullptr, MAKEINTRESOURCEW(1)), nullptr);
}

} // namespace
