// The fixture of the galleries for a person to look at: a shown form with a skin data set to one of the
// program's stored skins (parameter 0 on; the form then takes the skin's face colour) or to none (parameter -1,
// the default look), a white sheet the shots are pasted into, and the sheet saved as
// artifacts/<prefix>_<skin>.png beside the test programs.
#pragma once

#include "resources/StoredSkins.h"
#include "skin/core/TbsCompressedStoredSkin.h"
#include "tests/skin/controls/ControlSkinFixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace ctltest {

class GalleryTest : public uitest::UiTest, public ::testing::WithParamInterface<int> {
protected:
    GalleryTest(int FormWidth = 700, int FormHeight = 400) : FFormWidth(FormWidth), FFormHeight(FormHeight) {}

    void SetUp() override {
        uitest::UiTest::SetUp();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(50, 50, FFormWidth, FFormHeight);
        Form->SetColor(TColor(0xE0E0E0));
        Form->Show();
        Skin = new TbsSkinData(Form.get());
        if (GetParam() >= 0) {
            List = std::make_unique<TbsCompressedSkinList>(nullptr);
            for (int I = 0; I < StoredSkinCount(); ++I) {
                auto* Item = static_cast<TbsSkinListItem*>(List->Skins()->Add());
                Item->SetName(StoredSkin(I).Name);
                TMemoryStream Bytes;
                Bytes.WriteBuffer(StoredSkin(I).Data, static_cast<std::int64_t>(StoredSkin(I).Size));
                Item->Skin()->LoadFromCompressStream(&Bytes);
            }
            Skin->SetSkinList(List.get());
            Skin->SetSkinIndex(GetParam());
            ASSERT_FALSE(Skin->Empty);
            // The controls stand on the skin's own surface, as on a skinned form: light texts of a dark skin
            // would vanish on the default grey.
            Form->SetColor(Skin->SkinColors()->FcBtnFace);
        }
    }
    void TearDown() override {
        if (Skin)
            Skin->SetSkinList(nullptr);
        Form.reset();
        List.reset();
        uitest::UiTest::TearDown();
    }
    void NewSheet(int W, int H) {
        Sheet.SetSize(W, H);
        Fill(Sheet, Rect(0, 0, W, H), clWhite);
    }
    // The screen's W x H pixels from ScreenTopLeft, pasted into the sheet at (X0, Y0).
    void PasteScreen(const TPoint& ScreenTopLeft, int W, int H, int X0, int Y0) {
        const TPoint& P = ScreenTopLeft;
        std::vector<DWORD> Pixels = CaptureScreen(RECT{P.X, P.Y, P.X + W, P.Y + H});
        for (int Y = 0; Y < H; ++Y)
            for (int X = 0; X < W; ++X) {
                const DWORD Px = Pixels[std::size_t(Y * W + X)];
                Sheet.Canvas()->SetPixels(X0 + X, Y0 + Y, TColor(RGB((Px >> 16) & 0xFF, (Px >> 8) & 0xFF, Px & 0xFF)));
            }
    }
    void SaveSheet(const std::string& Prefix) {
        std::filesystem::create_directories("artifacts");
        const std::string Name = "artifacts/" + Prefix + "_" +
                                 (GetParam() < 0 ? std::string("default") : "skin" + std::to_string(GetParam())) +
                                 ".png";
        std::vector<std::uint32_t> Pixels;
        for (int Y = 0; Y < Sheet.Height(); ++Y)
            for (int X = 0; X < Sheet.Width(); ++X) {
                const COLORREF C = ColorToRGB(Sheet.Canvas()->Pixels(X, Y));
                Pixels.push_back(0xFF000000u | GetRValue(C) << 16 | GetGValue(C) << 8 | GetBValue(C));
            }
        TPngImage Png;
        Png.SetPixels(Sheet.Width(), Sheet.Height(), Pixels.data(), false);
        Png.SaveToFile(UTF8ToString(Name));
        EXPECT_TRUE(std::filesystem::exists(Name));
    }

    std::unique_ptr<TForm> Form;
    TbsSkinData* Skin = nullptr;
    std::unique_ptr<TbsCompressedSkinList> List;
    TBitmap Sheet;

private:
    int FFormWidth;
    int FFormHeight;
};

} // namespace ctltest
