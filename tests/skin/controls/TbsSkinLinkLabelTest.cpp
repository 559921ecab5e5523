// The link label: what a click opens (through a recorded launcher and through a stand-in opener on PATH), the
// hover colour, the glow's offset and the embossed disabled text.
#include "skin/controls/TbsSkinLinkLabel.h"

#include "platform/shell/ShellLauncher.h"
#include "tests/skin/controls/ControlSkinFixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

using namespace ctltest;

namespace {

struct TRecordingLauncher : TShellLauncher {
    std::vector<String>* Log = nullptr;
    bool Open(const String& Target, const String&, String&) override {
        Log->push_back(u"open " + Target);
        return true;
    }
};

class LinkLabelTest : public ControlTest {
protected:
    void TearDown() override {
        if (Recording)
            SetShellLauncher(nullptr);
        ControlTest::TearDown();
    }
    void Record() {
        auto R = std::make_unique<TRecordingLauncher>();
        R->Log = &Log;
        SetShellLauncher(std::move(R));
        Recording = true;
    }
    TbsSkinLinkLabel* MakeLabel(const String& Text, const String& URL) {
        auto* L = new TbsSkinLinkLabel(Form.get());
        L->SetParent(Form.get());
        L->SetAutoSize(false);
        L->SetBounds(20, 20, 200, 40);
        L->SetCaption(Text);
        L->SetURL(URL);
        L->OnClick = [this](TObject*) { Log.push_back(u"click"); };
        Pump();
        return L;
    }
    // The rows of the label (in its own coordinates) that hold a pixel of colour C; first and count.
    std::pair<int, int> RowsOf(TbsSkinLinkLabel* L, TColor C) {
        int First = -1, Count = 0;
        for (int Y = 0; Y < L->Height(); ++Y)
            for (int X = 0; X < L->Width(); ++X)
                if (ScreenPixel(L, X, Y) == C) {
                    if (First < 0)
                        First = Y;
                    ++Count;
                    break;
                }
        return {First, Count};
    }
    // The smallest rectangle around the label's pixels of colour C (inclusive), Left -1 when there are none.
    TRect Extent(TbsSkinLinkLabel* L, TColor C) {
        TRect R = Rect(-1, -1, -1, -1);
        for (int Y = 0; Y < L->Height(); ++Y)
            for (int X = 0; X < L->Width(); ++X)
                if (ScreenPixel(L, X, Y) == C) {
                    R = R.Left < 0 ? Rect(X, Y, X, Y)
                                   : Rect(std::min(R.Left, X), std::min(R.Top, Y), std::max(R.Right, X), Y);
                }
        return R;
    }
    int PixelsOf(TbsSkinLinkLabel* L, TColor C) {
        int N = 0;
        for (int Y = 0; Y < L->Height(); ++Y)
            for (int X = 0; X < L->Width(); ++X)
                N += ScreenPixel(L, X, Y) == C;
        return N;
    }
    std::vector<String> Log;
    bool Recording = false;
};

TEST_F(LinkLabelTest, AClickOpensTheAddressAfterTheClickEventAndAnEmptyOneOpensNothing) {
    Record();
    auto* Empty = MakeLabel(u"nothing", u"");
    ClickOn(Empty, 10, 10);
    EXPECT_EQ(Log, (std::vector<String>{u"click"}));
    Log.clear();
    auto* Web = MakeLabel(u"www.example.com", u"http://www.example.com/视频?a=1&b=2");
    ClickOn(Web, 10, 10);
    EXPECT_EQ(Log, (std::vector<String>{u"click", u"open http://www.example.com/视频?a=1&b=2"}));
    EXPECT_EQ(Web->Cursor(), crHandPoint);
}

TEST_F(LinkLabelTest, TheOpenerOnPathReceivesTheAddressAsOneArgument) {
    TTempDir Bin;
    const std::filesystem::path Out = Bin.Folder() / "args.txt";
    const std::filesystem::path Script = Bin.Folder() / "xdg-open";
    {
        std::ofstream S(Script);
        S << "#!/bin/sh\nprintf '%s\\n' \"$#\" \"$1\" > \"" << Out.string() << ".part\"\nmv \"" << Out.string()
          << ".part\" \"" << Out.string() << "\"\n";
    }
    std::filesystem::permissions(Script, std::filesystem::perms::owner_all);
    const std::string OldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", (Bin.Folder().string() + ":" + OldPath).c_str(), 1);
    SetShellLauncher(nullptr);
    const String Address = u"mailto:a b@example.com?subject=\"x y\"; rm -rf 'z'";
    auto* L = MakeLabel(u"mail", Address);
    ClickOn(L, 10, 10);
    setenv("PATH", OldPath.c_str(), 1);
    const auto Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!std::filesystem::exists(Out) && std::chrono::steady_clock::now() < Deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::ifstream In(Out);
    std::stringstream Got;
    Got << In.rdbuf();
    EXPECT_EQ(Got.str(), "1\n" + UTF8Encode(Address) + "\n");
}

TEST_F(LinkLabelTest, HoverTurnsTheTextToTheActiveColour) {
    auto* L = MakeLabel(u"Quorvane", u"");
    EXPECT_EQ(PixelsOf(L, clBlue), 0);
    EXPECT_GT(PixelsOf(L, clBlack), 0);
    MouseTo(L, 5, 5);
    EXPECT_TRUE(L->MouseIn());
    EXPECT_GT(PixelsOf(L, clBlue), 0);
    EXPECT_EQ(PixelsOf(L, clBlack), 0);
    MouseAway();
    EXPECT_EQ(PixelsOf(L, clBlue), 0);
    // Skinned: the record's colours.
    L->SetSkinData(Skin);
    Pump();
    EXPECT_GT(PixelsOf(L, cLabel), 0);
    MouseTo(L, 5, 5);
    EXPECT_GT(PixelsOf(L, clBlue), 0);
    EXPECT_EQ(PixelsOf(L, cLabel), 0);
}

TEST_F(LinkLabelTest, TheGlowLowersTheTextAndKeepsItsColour) {
    auto* Plain = MakeLabel(u"Quorvane", u"");
    auto* Glow = MakeLabel(u"Quorvane", u"");
    Glow->SetLeft(240);
    Glow->SetGlowEffect(true);
    Glow->SetGlowSize(6);
    Plain->SetSkinData(Skin);
    Glow->SetSkinData(Skin);
    Pump();
    const auto [PlainTop, PlainRows] = RowsOf(Plain, cLabel);
    const auto [GlowTop, GlowRows] = RowsOf(Glow, cLabel);
    ASSERT_GE(PlainTop, 0);
    EXPECT_EQ(GlowTop, PlainTop + 6);
    EXPECT_EQ(GlowRows, PlainRows);
    MouseTo(Glow, 5, 10);
    // The text keeps the record's colour over a glow in its active colour.
    EXPECT_EQ(RowsOf(Glow, cLabel).first, PlainTop + 6);
    int Bluish = 0;
    for (int Y = 0; Y < Glow->Height(); ++Y)
        for (int X = 0; X < Glow->Width(); ++X) {
            const COLORREF C = ColorToRGB(ScreenPixel(Glow, X, Y));
            Bluish += GetBValue(C) > GetRValue(C) + 40;
        }
    EXPECT_GT(Bluish, 0);
}

TEST_F(LinkLabelTest, ADisabledLabelIsEmbossed) {
    auto* L = MakeLabel(u"Quorvane", u"");
    L->SetEnabled(false);
    Pump();
    const TColor Light = TColor(ColorToRGB(clBtnHighlight));
    const TColor Dark = TColor(ColorToRGB(clBtnShadow));
    EXPECT_EQ(PixelsOf(L, clBlack), 0);
    // The highlight copy lies one pixel right of and below the shadow copy: the underlines show it.
    const TRect DarkBox = Extent(L, Dark);
    const TRect LightBox = Extent(L, Light);
    ASSERT_GE(DarkBox.Left, 0);
    EXPECT_EQ(LightBox.Right, DarkBox.Right + 1);
    EXPECT_EQ(LightBox.Bottom, DarkBox.Bottom + 1);
}

} // namespace
