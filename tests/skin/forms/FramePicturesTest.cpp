// The default frame as the user sees it, saved as artifacts/forms_<state>.png beside the test programs: active
// and inactive, a hovered and a pressed caption button, the form icon on the system-menu button.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/skin/forms/SkinFormFixture.h"

namespace formtest {
namespace {

class FramePicturesTest : public SkinFormTest {
protected:
    void Save(const std::string& State) {
        std::filesystem::create_directories("artifacts");
        std::string Name = "artifacts/forms_" + State + ".png";
        EXPECT_TRUE(SaveWindowToPng(Form->Handle(), Name));
        EXPECT_TRUE(std::filesystem::exists(Name));
    }
    COLORREF At(int X, int Y) { return ColorToRGB(WindowPixel(X, Y)); }
};

TEST_F(FramePicturesTest, ActiveAndInactive) {
    EXPECT_TRUE(Skin->GetFormActive());
    Save("active");
    TForm Other(nullptr);
    Other.SetBounds(600, 600, 200, 100);
    Other.Show();
    Pump();
    EXPECT_FALSE(Skin->GetFormActive());
    Save("inactive");
}

TEST_F(FramePicturesTest, HoveredAndPressedCaptionButtons) {
    const COLORREF Face = ColorToRGB(clBtnFace);
    EXPECT_EQ(At(281, 5), Face);
    MouseAt(288, 12); // close button (280, 4, 297, 21)
    EXPECT_EQ(At(280, 4), COLORREF(0x800000));
    EXPECT_EQ(At(282, 6), COLORREF(0xD2BDB6));
    Save("hovered");

    MouseAt(271, 12); // maximize button (263, 4, 280, 21)
    Wait(60);         // while the hover timer runs, it moves the hover
    EXPECT_EQ(At(280, 4), Face) << "the close button is normal again";
    InjectMouseButton(0, true);
    Pump();
    EXPECT_EQ(At(263, 4), COLORREF(0x800000));
    EXPECT_EQ(At(265, 6), COLORREF(0xB59385));
    Save("pressed");
    MouseAt(150, 100);
    Wait(60);
    InjectMouseButton(0, false);
    Pump();
    EXPECT_EQ(At(265, 6), Face);
}

TEST_F(FramePicturesTest, TheFormIconOnTheSystemMenuButton) {
    Skin->SetShowIcon(true);
    Pump();
    bool Drawn = false;
    for (int Y = 4; Y < 20; ++Y)
        for (int X = 3; X < 19; ++X)
            Drawn = Drawn || At(X, Y) != ColorToRGB(clBtnFace);
    EXPECT_TRUE(Drawn);
    Save("icon");
}

} // namespace
} // namespace formtest
