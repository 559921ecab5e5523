// The program's nine stored skins, loaded the way the program loads them: each holds every record that the
// skinned controls, forms, menus, dialogs and the main window look up, of the kind each user expects, and every
// picture part a record names lies inside its picture.
#include <memory>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "platform/base/Classes.h"
#include "resources/StoredSkins.h"
#include "skin/core/SkinRecordNames.h"
#include "skin/core/bsSkinData.h"

namespace {

void LoadArchive(TbsCompressedStoredSkin& Stored, const TStoredSkin& Skin) {
    TMemoryStream Bytes;
    Bytes.WriteBuffer(Skin.Data, static_cast<std::int64_t>(Skin.Size));
    Stored.LoadFromCompressStream(&Bytes);
}

// The main window's skin list: the first eight stored skins under their display names.
std::unique_ptr<TbsCompressedSkinList> MainWindowSkinList() {
    auto List = std::make_unique<TbsCompressedSkinList>(nullptr);
    for (int I = 0; I < MainWindowSkinCount; ++I) {
        auto* Item = static_cast<TbsSkinListItem*>(List->Skins()->Add());
        Item->SetName(StoredSkin(I).Name);
        LoadArchive(*Item->Skin(), StoredSkin(I));
    }
    return List;
}

// Loads stored skin Index into Data through the skin list (main window) or as its one stored skin (second skin
// data), as the program does.
class StoredSkinTest : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        if (GetParam() < MainWindowSkinCount) {
            List = MainWindowSkinList();
            Data.SetSkinList(List.get());
            Data.SetSkinIndex(GetParam());
        } else {
            LoadArchive(Stored, StoredSkin(GetParam()));
            Data.SetCompressedStoredSkin(&Stored);
        }
        ASSERT_FALSE(Data.Empty) << "stored skin " << GetParam() << " did not load";
    }
    void TearDown() override {
        Data.SetSkinList(nullptr);
        Data.SetCompressedStoredSkin(nullptr);
    }
    TBitmap* Picture(int Index) {
        return Index >= 0 && Index < int(Data.FActivePictures.size()) ? Data.FActivePictures[std::size_t(Index)].get()
                                                                      : nullptr;
    }
    // An empty rectangle means "none"; any other must lie inside the picture.
    void ExpectInside(const TRect& R, int PictureIndex, const std::string& What) {
        if (R.Width() <= 0 || R.Height() <= 0)
            return;
        TBitmap* P = Picture(PictureIndex);
        ASSERT_NE(P, nullptr) << What << ": picture " << PictureIndex;
        EXPECT_TRUE(R.Left >= 0 && R.Top >= 0 && R.Right <= P->Width() && R.Bottom <= P->Height())
            << What << " (" << R.Left << "," << R.Top << "," << R.Right << "," << R.Bottom << ") outside " << P->Width()
            << "x" << P->Height();
    }

    std::unique_ptr<TbsCompressedSkinList> List;
    TbsCompressedStoredSkin Stored{nullptr};
    TbsSkinData Data{nullptr};
};

TEST_P(StoredSkinTest, HoldsEveryRecordTheApplicationLooksUpOfTheKindItExpects) {
    for (const TbsSkinRecordName& N : SkinRecordNames()) {
        const std::string Name = UTF8Encode(N.Name);
        if (N.List == TbsSkinRecordList::Control) {
            const int I = Data.GetControlIndex(N.Name);
            ASSERT_NE(I, -1) << "control record " << Name;
            EXPECT_EQ(SkinControlKindWord(*Data.CtrlList[std::size_t(I)]), N.Kind) << Name;
        } else {
            const int I = Data.GetIndex(N.Name);
            ASSERT_NE(I, -1) << "object record " << Name;
            EXPECT_EQ(SkinObjectKindWord(*Data.ObjectList[std::size_t(I)]), N.Kind) << Name;
        }
    }
    // The menu bar names its item and MDI buttons by object records the skin has.
    const auto* Bar =
        static_cast<TbsDataSkinMainMenuBar*>(Data.CtrlList[std::size_t(Data.GetControlIndex(u"mainmenubar"))].get());
    for (const String& Name : {Bar->MenuBarItem, Bar->CloseButton, Bar->MaxButton, Bar->MinButton, Bar->SysMenuButton})
        EXPECT_NE(Data.GetIndex(Name), -1) << UTF8Encode(Name);
    const auto* Combo =
        static_cast<TbsDataSkinComboBox*>(Data.CtrlList[std::size_t(Data.GetControlIndex(u"combobox"))].get());
    EXPECT_NE(Data.GetControlIndex(Combo->ListBoxName), -1);
}

TEST_P(StoredSkinTest, EveryPicturePartARecordNamesLiesInsideItsPicture) {
    ASSERT_FALSE(Data.FPicture->Empty());
    EXPECT_EQ(Data.FMask->Width(), Data.FPicture->Width());
    EXPECT_EQ(Data.FInActivePicture->Width(), Data.FPicture->Width());
    ASSERT_NE(Picture(Data.PopupWindow->WindowPictureIndex), nullptr);
    ASSERT_NE(Picture(Data.HintWindow->WindowPictureIndex), nullptr);
    for (auto& Record : Data.CtrlList) {
        const std::string Name = UTF8Encode(Record->IDName);
        const int P = Record->PictureIndex;
        ExpectInside(Record->SkinRect, P, Name);
        if (auto* B = dynamic_cast<TbsDataSkinButtonControl*>(Record.get()))
            for (const TRect& R : {B->ActiveSkinRect, B->DownSkinRect, B->DisabledSkinRect, B->FocusedSkinRect,
                                   B->MenuMarkerRect, B->MenuMarkerActiveRect})
                ExpectInside(R, P, Name);
        if (auto* S = dynamic_cast<TbsDataSkinScrollBarControl*>(Record.get()))
            for (const TRect& R : {S->ActiveUpButtonRect, S->DownUpButtonRect, S->ActiveDownButtonRect,
                                   S->DownDownButtonRect, S->ThumbRect, S->ActiveThumbRect, S->DownThumbRect})
                ExpectInside(R, P, Name);
        if (auto* C = dynamic_cast<TbsDataSkinCheckRadioControl*>(Record.get()))
            for (const TRect& R : {C->ActiveSkinRect, C->CheckImageRect, C->UnCheckImageRect, C->ActiveCheckImageRect,
                                   C->ActiveUnCheckImageRect, C->UnEnabledCheckImageRect, C->UnEnabledUnCheckImageRect,
                                   C->GrayedCheckImageRect})
                ExpectInside(R, P, Name);
        if (auto* L = dynamic_cast<TbsDataSkinListBox*>(Record.get()))
            for (const TRect& R : {L->SItemRect, L->ActiveItemRect, L->FocusItemRect})
                ExpectInside(R, P, Name);
        if (auto* C = dynamic_cast<TbsDataSkinComboBox*>(Record.get()))
            for (const TRect& R : {C->ActiveSkinRect, C->SItemRect, C->ActiveItemRect, C->FocusItemRect,
                                   C->ActiveButtonRect, C->DownButtonRect, C->UnEnabledButtonRect})
                ExpectInside(R, P, Name);
        if (auto* T = dynamic_cast<TbsDataSkinTabControl*>(Record.get()))
            for (const TRect& R : {T->TabRect, T->ActiveTabRect, T->MouseInTabRect, T->TabsBGRect})
                ExpectInside(R, P, Name);
        if (auto* S = dynamic_cast<TbsDataSkinSlider*>(Record.get()))
            for (const TRect& R : {S->HRulerRect, S->HThumbRect, S->VRulerRect, S->VThumbRect})
                ExpectInside(R, P, Name);
    }
    for (auto& Record : Data.ObjectList) {
        const std::string Name = UTF8Encode(Record->IDName);
        // The caption lies in the frame picture; every other object in its active picture.
        if (Record->ActivePictureIndex == -1) {
            EXPECT_EQ(Record->IDName, u"caption");
            continue;
        }
        ExpectInside(Record->SkinRect, Record->ActivePictureIndex, Name);
        ExpectInside(Record->ActiveSkinRect, Record->ActivePictureIndex, Name);
        if (auto* I = dynamic_cast<TbsDataSkinMenuItem*>(Record.get()))
            for (const TRect& R :
                 {I->DividerRect, I->CheckImageRect, I->ActiveCheckImageRect, I->RadioImageRect, I->ArrowImageRect})
                ExpectInside(R, Record->ActivePictureIndex, Name);
    }
}

INSTANTIATE_TEST_SUITE_P(Nine, StoredSkinTest, ::testing::Range(0, 9));

TEST(StoredSkins, TheMainWindowsListOffersTheEightSkinsByIndexAndTheSecondSkinDataItsOwn) {
    ASSERT_EQ(StoredSkinCount(), 9);
    const char16_t* Names[] = {u"木星战甲", u"土星战甲", u"宇宙战甲", u"星河战甲",
                               u"银河战甲", u"金星战甲", u"火星战甲", u"水星战甲"};
    auto List = MainWindowSkinList();
    for (int I = 0; I < MainWindowSkinCount; ++I)
        EXPECT_EQ(List->Skins()->GetSkinItem(I)->Name(), Names[I]);

    // Nine looks: no two skins share their frame colour and highlight.
    std::set<std::pair<TColor, TColor>> Looks;
    for (int I = 0; I < StoredSkinCount(); ++I) {
        TbsCompressedStoredSkin Stored(nullptr);
        LoadArchive(Stored, StoredSkin(I));
        TbsSkinData Data(nullptr);
        Data.SetCompressedStoredSkin(&Stored);
        Looks.insert({Data.FPicture->Canvas()->Pixels(Data.FPicture->Width() / 2, 10), Data.SkinColors()->FcHighLight});
        Data.SetCompressedStoredSkin(nullptr);
    }
    EXPECT_EQ(Looks.size(), 9u);
}

} // namespace
