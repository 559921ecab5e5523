// The main window and the options dialog in each of the main window's eight skins, as the user sees them after
// choosing the skin, saved as artifacts/mainwindow_skin<N>.png beside the test programs for a person to look at.
#include "AppFixture.h"

#include <filesystem>
#include <string>
#include <vector>

#include "platform/gdi/Graphics.h"
#include "platform/win/WinExtras.h"
#include "resources/StoredSkins.h"

namespace {

class SkinsGalleryTest : public AppTest, public ::testing::WithParamInterface<int> {};

void SaveScreen(const RECT& Area, const std::string& Name) {
    const std::vector<DWORD> Screen = CaptureScreen(Area);
    std::vector<std::uint32_t> Pixels(Screen.begin(), Screen.end());
    for (std::uint32_t& P : Pixels)
        P |= 0xFF000000u;
    TPngImage Png;
    Png.SetPixels(Area.Right - Area.Left, Area.Bottom - Area.Top, Pixels.data(), false);
    std::filesystem::create_directories("artifacts");
    Png.SaveToFile(UTF8ToString("artifacts/" + Name));
}

TEST_P(SkinsGalleryTest, TheMainWindowAndTheOptionsDialogInTheSkin) {
    StartProgram();
    Form1->Show();
    Form5->Show();
    Form1->bsSkinData1->SetSkinIndex(GetParam());
    Pump();
    // Placed after showing: a skinned form centres itself on its monitor when it is first shown.
    Form1->SetBounds(0, 0, Form1->Width(), Form1->Height());
    Form5->SetBounds(Form1->Width() + 10, 0, Form5->Width(), Form5->Height());
    Pump();
    ASSERT_EQ(Form1->bsSkinData1->SkinIndex(), GetParam());
    // The plain thread-count box keeps dark text on its white face in every skin, light or dark.
    EXPECT_EQ(ColorToRGB(Form5->bsSkinComboBox2->Font()->Color()), ColorToRGB(clWindowText));
    EXPECT_EQ(Form1->bsSkinData1->SkinName, StoredSkin(GetParam()).Name);
    const int W = Form1->Width() + 10 + Form5->Width(), H = std::max(Form1->Height(), Form5->Height());
    SaveScreen(TRect{0, 0, W, H}, "mainwindow_skin" + std::to_string(GetParam()) + ".png");
}

INSTANTIATE_TEST_SUITE_P(Skins, SkinsGalleryTest, ::testing::Range(0, MainWindowSkinCount));

} // namespace
