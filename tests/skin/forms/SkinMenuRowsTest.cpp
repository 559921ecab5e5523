// Menu rows: the marks of the default look (check, radio, the system glyphs by name, headers) read from the
// painted window, and the morph of a skinned row in steps of 0.2 every 20 ms.
#include <gtest/gtest.h>

#include <vector>

#include "skin/forms/bsSkinMenus.h"
#include "tests/skin/forms/SkinFormFixture.h"

namespace formtest {
namespace {

class SkinMenuRowsTest : public SkinFormTest {
protected:
    void SetUp() override {
        SkinFormTest::SetUp();
        Menu = new TbsSkinPopupMenu(Form.get());
    }
    TMenuItem* Add(const String& Caption) {
        auto* Item = new TMenuItem(Form.get());
        Item->SetCaption(Caption);
        Menu->Items()->Add(Item);
        return Item;
    }
    TbsSkinPopupWindow* Level0() { return Skin->SkinMenu()->Levels(0); }
    // The window painted off-screen.
    void Paint(TBitmap& B) {
        TbsSkinPopupWindow* W = Level0();
        B.SetSize(W->Width(), W->Height());
        W->PaintMenu(B.Canvas()->Handle());
    }
    // Dark pixels of the glyph column (x 2 .. 21) of a row.
    std::vector<TPoint> GlyphPixels(TBitmap& B, int Row) {
        std::vector<TPoint> Dark;
        const TRect R = Level0()->Items(Row)->ObjectRect;
        for (int Y = R.Top; Y < R.Bottom; ++Y)
            for (int X = R.Left; X < R.Left + 19; ++X)
                if ((ColorToRGB(B.Canvas()->Pixels(X, Y)) & 0xFFFFFF) == ColorToRGB(clWindowText))
                    Dark.push_back(TPoint{X - R.Left, Y - R.Top});
        return Dark;
    }
    TbsSkinPopupMenu* Menu = nullptr;
};

TEST_F(SkinMenuRowsTest, MarksGlyphsAndHeadersOfTheDefaultLook) {
    Add(u"Plain");
    Add(u"Checked")->SetChecked(true);
    TMenuItem* Radio = Add(u"Radio");
    Radio->SetRadioItem(true);
    Radio->SetChecked(true);
    TMenuItem* Close = Add(u"Close");
    Close->SetName(u"BSF_CLOSE");
    Close->SetChecked(true);
    Add(u"-Word-")->SetEnabled(false);
    Menu->Popup(300, 300);
    TBitmap B;
    Paint(B);
    EXPECT_TRUE(GlyphPixels(B, 0).empty());
    const auto Check = GlyphPixels(B, 1), Dot = GlyphPixels(B, 2), Cross = GlyphPixels(B, 3);
    EXPECT_FALSE(Check.empty());
    EXPECT_FALSE(Dot.empty());
    EXPECT_FALSE(Cross.empty());
    // The check's first stroke starts at (inner left + 3, middle - 4 + 5) of the row.
    const TPoint CheckStart{2 + 3, 2 + 8 - 4 + 5};
    EXPECT_NE(std::find(Check.begin(), Check.end(), CheckStart), Check.end());
    EXPECT_NE(Check, Dot);
    EXPECT_NE(Check, Cross) << "the close glyph instead of a check mark";
    TbsSkinMenuItem* Header = Level0()->Items(4);
    EXPECT_TRUE(Header->IsHeader());
    EXPECT_EQ(UTF8Encode(Header->HeaderText()), "Word");
    EXPECT_EQ(ColorToRGB(B.Canvas()->Pixels(Header->ObjectRect.Left + 1, Header->ObjectRect.Top + 1)),
              ColorToRGB(clBtnShadow));
    // The first row is highlighted at opening: navy frame, light blue fill.
    const TRect R0 = Level0()->Items(0)->ObjectRect;
    EXPECT_EQ(ColorToRGB(B.Canvas()->Pixels(R0.Left, R0.Top)), ColorToRGB(clNavy));
    EXPECT_EQ(ColorToRGB(B.Canvas()->Pixels(R0.Left + 1, R0.Top + 1)), COLORREF(clMenuItemHot));
}

TEST_F(SkinMenuRowsTest, ASkinnedRowMorphsInFiveStepsOf20Ms) {
    auto* SD = new TbsSkinData(Form.get());
    auto Picture = std::make_unique<TBitmap>();
    Picture->SetSize(100, 40);
    Picture->Canvas()->Brush()->SetColor(clRed);
    Picture->Canvas()->FillRect(Rect(0, 0, 100, 20));
    Picture->Canvas()->Brush()->SetColor(clBlue);
    Picture->Canvas()->FillRect(Rect(0, 20, 100, 40));
    SD->FActivePictures.push_back(std::move(Picture));
    auto Row = std::make_unique<TbsDataSkinMenuItem>(u"menuitem");
    Row->ActivePictureIndex = 0;
    Row->SkinRect = Rect(0, 0, 100, 20);
    Row->ActiveSkinRect = Rect(0, 20, 100, 40);
    Row->TextRct = Rect(4, 0, 96, 20);
    Row->Morphing = true;
    SD->ObjectList.push_back(std::move(Row));
    SD->Empty = false;
    Menu->SetSkinData(SD);
    Add(u"First");
    Add(u"Second");
    Menu->Popup(300, 300);
    TbsSkinMenuItem* First = Level0()->Items(0);
    EXPECT_EQ(First->MorphKf(), 0.0);
    std::vector<double> Steps;
    for (int I = 0; I < 6; ++I) {
        Wait(20);
        Steps.push_back(First->MorphKf());
    }
    const std::vector<double> Up{0.2, 0.4, 0.6, 0.8, 1.0, 1.0};
    ASSERT_EQ(Steps.size(), Up.size());
    for (std::size_t I = 0; I < Up.size(); ++I)
        EXPECT_NEAR(Steps[I], Up[I], 1e-9) << I;
    EXPECT_FALSE(Level0()->MorphTimer->Enabled()) << "the timer stops at the end";

    Level0()->PopupKeyDown(VK_DOWN); // the second row takes the highlight; the first morphs back
    for (int I = 0; I < 5; ++I)
        Wait(20);
    EXPECT_NEAR(First->MorphKf(), 0.0, 1e-9);
    EXPECT_NEAR(Level0()->Items(1)->MorphKf(), 1.0, 1e-9);
}

} // namespace
} // namespace formtest
