// The program's nine stored skins, loaded the way the program loads them: each holds every record that the
// skinned controls, forms, menus, dialogs and the main window look up, of the kind each user expects, every
// picture part a record names lies inside its picture, every text stays readable on its face, and each skin has a
// shape of its own.
#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

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
        ExpectInside(Record->InActiveSkinRect, Record->ActivePictureIndex, Name);
        if (auto* B = dynamic_cast<TbsDataSkinStdButton*>(Record.get()))
            ExpectInside(B->RestoreInActiveRect, Record->ActivePictureIndex, Name);
        if (auto* I = dynamic_cast<TbsDataSkinMenuItem*>(Record.get()))
            for (const TRect& R :
                 {I->DividerRect, I->CheckImageRect, I->ActiveCheckImageRect, I->RadioImageRect, I->ArrowImageRect})
                ExpectInside(R, Record->ActivePictureIndex, Name);
    }
}

// The relative luminance of a colour, and the contrast ratio of two, as readability guidelines define them.
double Luminance(TColor C) {
    const COLORREF Rgb = ColorToRGB(C);
    const auto Channel = [](int V) {
        const double S = V / 255.0;
        return S <= 0.03928 ? S / 12.92 : std::pow((S + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * Channel(GetRValue(Rgb)) + 0.7152 * Channel(GetGValue(Rgb)) + 0.0722 * Channel(GetBValue(Rgb));
}
double Contrast(TColor A, TColor B) {
    const double LA = Luminance(A), LB = Luminance(B);
    return (std::max(LA, LB) + 0.05) / (std::min(LA, LB) + 0.05);
}

// The average colour of R in a picture: the face a text is drawn on.
TColor MeanColour(TBitmap* P, const TRect& R) {
    double Sum[3] = {0, 0, 0};
    int N = 0;
    for (int Y = std::max(R.Top, 0); Y < std::min(R.Bottom, P->Height()); ++Y)
        for (int X = std::max(R.Left, 0); X < std::min(R.Right, P->Width()); ++X) {
            const COLORREF C = ColorToRGB(P->Canvas()->Pixels(X, Y));
            Sum[0] += GetRValue(C), Sum[1] += GetGValue(C), Sum[2] += GetBValue(C);
            ++N;
        }
    if (N == 0)
        return clFuchsia;
    return TColor(RGB(BYTE(Sum[0] / N + 0.5), BYTE(Sum[1] / N + 0.5), BYTE(Sum[2] / N + 0.5)));
}
TRect Within(const TRect& Face, const TRect& Part) {
    return {Face.Left + Part.Left, Face.Top + Part.Top, Face.Left + Part.Right, Face.Top + Part.Bottom};
}
// The middle of a face, where a centred caption lies.
TRect Middle(const TRect& Face) {
    const int DX = Face.Width() / 4, DY = Face.Height() / 4;
    return {Face.Left + DX, Face.Top + DY, Face.Right - DX, Face.Bottom - DY};
}

struct TTextOnFace {
    std::string What;
    TColor Text;
    TColor Face;
};

// Every text colour of a skin with the face it is drawn on. Disabled texts are left out: they are meant to recede.
std::vector<TTextOnFace> TextsOnFaces(TbsSkinData& D) {
    std::vector<TTextOnFace> List;
    const auto Pic = [&D](int I) {
        return I >= 0 && I < int(D.FActivePictures.size()) ? D.FActivePictures[std::size_t(I)].get() : nullptr;
    };
    const auto On = [&](const std::string& What, TColor Text, int Picture, const TRect& Area) {
        if (TBitmap* P = Pic(Picture); P && Area.Width() > 0 && Area.Height() > 0)
            List.push_back({What, Text, MeanColour(P, Area)});
    };
    const TbsSkinColors& C = *D.SkinColors();
    List.push_back({"colours: button text", C.FcBtnText, C.FcBtnFace});
    List.push_back({"colours: window text", C.FcWindowText, C.FcWindow});
    List.push_back({"colours: highlight text", C.FcHighLightText, C.FcHighLight});
    for (auto& Record : D.CtrlList) {
        const std::string N = UTF8Encode(Record->IDName) + ": ";
        const int P = Record->PictureIndex;
        if (auto* B = dynamic_cast<TbsDataSkinButtonControl*>(Record.get())) {
            On(N + "normal", B->FontColor, P, Within(B->SkinRect, B->ClRect));
            On(N + "hot", B->ActiveFontColor, P, Within(B->ActiveSkinRect, B->ClRect));
            On(N + "down", B->DownFontColor, P, Within(B->DownSkinRect, B->ClRect));
        } else if (auto* Cr = dynamic_cast<TbsDataSkinCheckRadioControl*>(Record.get())) {
            On(N + "normal", Cr->FontColor, P, Within(Cr->SkinRect, Cr->TextArea));
            On(N + "hot", Cr->ActiveFontColor, P, Within(Cr->ActiveSkinRect, Cr->TextArea));
        } else if (auto* Pn = dynamic_cast<TbsDataSkinPanelControl*>(Record.get())) {
            const TRect Caption = Pn->CaptionRect.Width() > 0 ? Pn->CaptionRect : Pn->ClRect;
            On(N + "caption", Pn->FontColor, P, Within(Pn->SkinRect, Caption));
        } else if (auto* Co = dynamic_cast<TbsDataSkinComboBox*>(Record.get())) {
            On(N + "text", Co->FontColor, P, Within(Co->SkinRect, Co->ClRect));
            On(N + "item", Co->FontColor, P, Co->SItemRect);
            On(N + "hot item", Co->ActiveFontColor, P, Co->ActiveItemRect);
            On(N + "chosen item", Co->FocusFontColor, P, Co->FocusItemRect);
        } else if (auto* L = dynamic_cast<TbsDataSkinListBox*>(Record.get())) {
            On(N + "item", L->FontColor, P, L->SItemRect);
            On(N + "hot item", L->ActiveFontColor, P, L->ActiveItemRect);
            On(N + "chosen item", L->FocusFontColor, P, L->FocusItemRect);
        } else if (auto* E = dynamic_cast<TbsDataSkinEditControl*>(Record.get())) {
            On(N + "text", E->FontColor, P, Within(E->SkinRect, E->ClRect));
            On(N + "active text", E->ActiveFontColor, P, Within(E->ActiveSkinRect, E->ClRect));
        } else if (auto* La = dynamic_cast<TbsDataSkinLabelControl*>(Record.get())) {
            On(N + "text", La->FontColor, P, Within(La->SkinRect, La->ClRect));
        } else if (auto* T = dynamic_cast<TbsDataSkinTabControl*>(Record.get())) {
            On(N + "tab", T->FontColor, P, Middle(T->TabRect));
            On(N + "chosen tab", T->ActiveFontColor, P, Middle(T->ActiveTabRect));
            On(N + "hot tab", T->MouseInFontColor, P, Middle(T->MouseInTabRect));
        } else if (auto* S = dynamic_cast<TbsDataSkinStdLabelControl*>(Record.get())) {
            List.push_back({N + "text", S->FontColor, C.FcBtnFace});
            List.push_back({N + "hot text", S->ActiveFontColor, C.FcBtnFace});
        } else if (auto* Tv = dynamic_cast<TbsDataSkinTreeView*>(Record.get())) {
            List.push_back({N + "text", Tv->FontColor, Tv->BGColor});
        } else if (auto* Lv = dynamic_cast<TbsDataSkinListView*>(Record.get())) {
            List.push_back({N + "text", Lv->FontColor, Lv->BGColor});
        }
    }
    for (auto& Record : D.ObjectList) {
        const std::string N = UTF8Encode(Record->IDName) + ": ";
        const int P = Record->ActivePictureIndex;
        if (auto* I = dynamic_cast<TbsDataSkinMenuItem*>(Record.get())) {
            On(N + "item", I->FontColor, P, Within(I->SkinRect, I->TextRct));
            On(N + "hot item", I->ActiveFontColor, P, Within(I->ActiveSkinRect, I->TextRct));
        } else if (auto* B = dynamic_cast<TbsDataSkinMainMenuItem*>(Record.get())) {
            On(N + "item", B->FontColor, P, Within(B->SkinRect, B->TextRct));
            On(N + "hot item", B->ActiveFontColor, P, Within(B->ActiveSkinRect, B->TextRct));
            On(N + "open item", B->DownFontColor, P, Within(B->DownRect, B->TextRct));
        } else if (auto* Cap = dynamic_cast<TbsDataSkinCaption*>(Record.get())) {
            // The title's first words, left of the caption buttons.
            const TRect Text = Within(Cap->SkinRect, Cap->TextRct);
            const TRect Title{Text.Left + 24, Text.Top + 2, Text.Left + 140, Text.Bottom - 2};
            List.push_back({N + "active", Cap->ActiveFontColor, MeanColour(D.FPicture.get(), Title)});
            List.push_back({N + "inactive", Cap->FontColor, MeanColour(D.FInActivePicture.get(), Title)});
        }
    }
    if (TBitmap* H = Pic(D.HintWindow->WindowPictureIndex))
        List.push_back({"hint: text", D.HintWindow->FontColor, MeanColour(H, D.HintWindow->ClRect)});
    return List;
}

TEST_P(StoredSkinTest, EveryTextColourKeepsAContrastOfAtLeastFourAndAHalfToOneAgainstItsFace) {
    const auto Texts = TextsOnFaces(Data);
    ASSERT_GT(Texts.size(), 40u);
    for (const TTextOnFace& T : Texts)
        EXPECT_GE(Contrast(T.Text, T.Face), 4.5)
            << T.What << ": text " << std::hex << T.Text << " on face " << T.Face << std::dec;
}

// A check or radio mark is drawn keyed by its own bottom-left pixel: the mark's edge must not have that colour, or
// the box loses its outline (a dark box on a dark surface then vanishes). The left edge at mid-height is outline.
TEST_P(StoredSkinTest, CheckAndRadioMarksKeepTheirOutlineWhenKeyedByTheirCorner) {
    for (const char16_t* Name : {u"checkbox", u"radiobox"}) {
        const int I = Data.GetControlIndex(Name);
        ASSERT_NE(I, -1);
        const auto* C = dynamic_cast<TbsDataSkinCheckRadioControl*>(Data.CtrlList[std::size_t(I)].get());
        ASSERT_NE(C, nullptr);
        TBitmap* P = Picture(C->PictureIndex);
        ASSERT_NE(P, nullptr);
        for (const TRect& R : {C->CheckImageRect, C->UnCheckImageRect, C->ActiveCheckImageRect,
                               C->ActiveUnCheckImageRect, C->UnEnabledUnCheckImageRect})
            EXPECT_NE(P->Canvas()->Pixels(R.Left, R.Top + R.Height() / 2), P->Canvas()->Pixels(R.Left, R.Bottom - 1))
                << UTF8Encode(String(Name)) << " mark at " << R.Left << "," << R.Top;
    }
}

// A slider draws half its thumb picture: the normal state from the left half, the pressed or disabled state from the
// right, each keyed by its own bottom-left pixel. Each half is a whole thumb: all four of its corners are key.
TEST_P(StoredSkinTest, SliderThumbsHoldTwoWholeStatesSideBySide) {
    const int I = Data.GetControlIndex(u"slider");
    ASSERT_NE(I, -1);
    const auto* S = dynamic_cast<TbsDataSkinSlider*>(Data.CtrlList[std::size_t(I)].get());
    ASSERT_NE(S, nullptr);
    TBitmap* P = Picture(S->PictureIndex);
    ASSERT_NE(P, nullptr);
    for (const TRect& R : {S->HThumbRect, S->VThumbRect}) {
        const int W = R.Width() / 2;
        ASSERT_EQ(R.Width(), W * 2);
        for (const int Left : {R.Left, R.Left + W}) {
            const TColor Key = P->Canvas()->Pixels(Left, R.Bottom - 1);
            for (const TPoint& C :
                 {TPoint{Left, R.Top}, TPoint{Left + W - 1, R.Top}, TPoint{Left + W - 1, R.Bottom - 1}})
                EXPECT_EQ(P->Canvas()->Pixels(C.X, C.Y), Key) << "thumb half at " << Left << "," << R.Top;
        }
    }
}

// The caption buttons carry their own piece of the caption band: on an inactive frame they show one cut from the
// inactive band, not the active one. An image's left edge is its band: the inactive image's must be nearer to the
// inactive frame's band than to the active one's, and the other way round for the active image.
TEST_P(StoredSkinTest, CaptionButtonsShowTheInactiveBandOnAnInactiveFrame) {
    const auto Distance = [](TColor A, TColor B) {
        const COLORREF X = ColorToRGB(A), Y = ColorToRGB(B);
        return std::abs(GetRValue(X) - GetRValue(Y)) + std::abs(GetGValue(X) - GetGValue(Y)) +
               std::abs(GetBValue(X) - GetBValue(Y));
    };
    int Buttons = 0;
    for (auto& Record : Data.ObjectList) {
        auto* B = dynamic_cast<TbsDataSkinStdButton*>(Record.get());
        if (!B || SkinObjectKindWord(*B) != u"stdbutton" || !B->SkinRectInAPicture)
            continue;
        const std::string Name = UTF8Encode(B->IDName);
        ASSERT_GT(B->InActiveSkinRect.Width(), 0) << Name << " has no inactive image";
        TBitmap* P = Picture(B->ActivePictureIndex);
        ASSERT_NE(P, nullptr) << Name;
        // The band at the height of the button's middle row, away from the title and the buttons.
        const int Y = Data.CaptionRect.Top + B->SkinRect.Height() / 2;
        const TRect Band{Data.LTPoint.X, Y, Data.LTPoint.X + 40, Y + 1};
        const TColor ActiveBand = MeanColour(Data.FPicture.get(), Band);
        const TColor InactiveBand = MeanColour(Data.FInActivePicture.get(), Band);
        const auto Edge = [&](const TRect& R) { return MeanColour(P, {R.Left, R.Top + 2, R.Left + 1, R.Bottom - 2}); };
        const TColor Inactive = Edge(B->InActiveSkinRect), Active = Edge(B->SkinRect);
        // Where the two bands look alike (the near-black skin) either image fits.
        if (Distance(ActiveBand, InactiveBand) >= 30) {
            EXPECT_LT(Distance(Inactive, InactiveBand), Distance(Inactive, ActiveBand)) << Name;
            EXPECT_LT(Distance(Active, ActiveBand), Distance(Active, InactiveBand)) << Name;
        }
        if (B->RestoreRect.Width() > 0)
            EXPECT_GT(B->RestoreInActiveRect.Width(), 0) << Name << " has no inactive restore image";
        ++Buttons;
    }
    EXPECT_GE(Buttons, 6);
}

// The skins stay quick to load and switch: each archive is under 300 KB.
TEST(StoredSkins, EachArchiveStaysUnder300KB) {
    for (int I = 0; I < StoredSkinCount(); ++I)
        EXPECT_LT(StoredSkin(I).Size, 300u * 1024u) << UTF8Encode(String(StoredSkin(I).Name));
}

// A text drawn in a face of fixed height fits it: the height of a line in the record's font is at most the height
// of the area the text is drawn in.
TEST_P(StoredSkinTest, EveryTextFitsTheHeightOfItsFace) {
    TBitmap Probe(8, 8);
    const auto LineHeight = [&](const String& Font, int Height, TFontStyles Style) {
        TFont* F = Probe.Canvas()->Font();
        F->SetName(Font);
        F->SetHeight(Height);
        F->SetStyle(Style);
        return Probe.Canvas()->TextHeight(u"视频Ag");
    };
    struct TFit {
        std::string What;
        int Line, Room;
    };
    std::vector<TFit> Fits;
    for (auto& Record : Data.CtrlList) {
        const std::string N = UTF8Encode(Record->IDName);
        if (auto* C = dynamic_cast<TbsDataSkinComboBox*>(Record.get()))
            Fits.push_back({N, LineHeight(C->FontName, C->FontHeight, C->FontStyle), C->ClRect.Height()});
        else if (auto* E = dynamic_cast<TbsDataSkinEditControl*>(Record.get()))
            Fits.push_back({N, LineHeight(E->FontName, E->FontHeight, E->FontStyle), E->ClRect.Height()});
        else if (auto* T = dynamic_cast<TbsDataSkinTabControl*>(Record.get()))
            Fits.push_back({N, LineHeight(T->FontName, T->FontHeight, T->FontStyle), T->TabRect.Height()});
        else if (auto* Cr = dynamic_cast<TbsDataSkinCheckRadioControl*>(Record.get()))
            Fits.push_back({N, LineHeight(Cr->FontName, Cr->FontHeight, Cr->FontStyle), Cr->SkinRect.Height()});
        else if (auto* L = dynamic_cast<TbsDataSkinListBox*>(Record.get()); L && L->SItemRect.Height() > 0)
            Fits.push_back({N, LineHeight(L->FontName, L->FontHeight, L->FontStyle), L->SItemRect.Height()});
    }
    for (auto& Record : Data.ObjectList) {
        const std::string N = UTF8Encode(Record->IDName);
        if (auto* I = dynamic_cast<TbsDataSkinMenuItem*>(Record.get()))
            Fits.push_back({N, LineHeight(I->FontName, I->FontHeight, I->FontStyle), I->SkinRect.Height()});
        else if (auto* B = dynamic_cast<TbsDataSkinMainMenuItem*>(Record.get()))
            Fits.push_back({N, LineHeight(B->FontName, B->FontHeight, B->FontStyle), B->SkinRect.Height()});
        else if (auto* Cap = dynamic_cast<TbsDataSkinCaption*>(Record.get()))
            Fits.push_back({N, LineHeight(Cap->FontName, Cap->FontHeight, Cap->FontStyle), Cap->TextRct.Height()});
    }
    ASSERT_GE(Fits.size(), 8u);
    for (const TFit& F : Fits)
        EXPECT_LE(F.Line, F.Room) << F.What << ": a line of " << F.Line << " in " << F.Room;
}

INSTANTIATE_TEST_SUITE_P(Nine, StoredSkinTest, ::testing::Range(0, 9));

bool SamePicture(TBitmap* A, TBitmap* B) {
    if (A->Width() != B->Width() || A->Height() != B->Height())
        return false;
    for (int Y = 0; Y < A->Height(); ++Y)
        for (int X = 0; X < A->Width(); ++X)
            if ((A->Canvas()->Pixels(X, Y) & 0xFFFFFF) != (B->Canvas()->Pixels(X, Y) & 0xFFFFFF))
                return false;
    return true;
}

TEST(StoredSkins, TheMainWindowsListOffersTheEightSkinsByIndexAndTheSecondSkinDataItsOwn) {
    ASSERT_EQ(StoredSkinCount(), 9);
    const char16_t* Names[] = {u"木星战甲", u"土星战甲", u"宇宙战甲", u"星河战甲",
                               u"银河战甲", u"金星战甲", u"火星战甲", u"水星战甲"};
    auto List = MainWindowSkinList();
    for (int I = 0; I < MainWindowSkinCount; ++I)
        EXPECT_EQ(List->Skins()->GetSkinItem(I)->Name(), Names[I]);
}

// Each skin has a shape of its own, not only colours: no two share the push button's mask, the frame's mask or the
// caption's height.
TEST(StoredSkins, NoTwoSkinsShareTheButtonMaskTheFrameMaskOrTheCaptionHeight) {
    struct TShape {
        std::unique_ptr<TBitmap> ButtonMask, FrameMask;
        int CaptionHeight;
    };
    std::vector<TShape> Shapes;
    int Dark = 0;
    for (int I = 0; I < StoredSkinCount(); ++I) {
        TbsCompressedStoredSkin Stored(nullptr);
        LoadArchive(Stored, StoredSkin(I));
        TbsSkinData Data(nullptr);
        Data.SetCompressedStoredSkin(&Stored);
        ASSERT_FALSE(Data.Empty);
        const auto* Button =
            static_cast<TbsDataSkinButtonControl*>(Data.CtrlList[std::size_t(Data.GetControlIndex(u"button"))].get());
        const int M = Button->MaskPictureIndex;
        ASSERT_TRUE(M >= 0 && M < int(Data.FActivePictures.size())) << "skin " << I << " has no button mask";
        TShape S;
        S.ButtonMask = std::make_unique<TBitmap>();
        S.ButtonMask->Assign(Data.FActivePictures[std::size_t(M)].get());
        S.FrameMask = std::make_unique<TBitmap>();
        S.FrameMask->Assign(Data.FMask.get());
        // The caption band is the frame above the client part.
        S.CaptionHeight = Data.ClRect.Top;
        Shapes.push_back(std::move(S));
        Dark += Luminance(Data.SkinColors()->FcBtnFace) < 0.1;
        Data.SetCompressedStoredSkin(nullptr);
    }
    for (std::size_t A = 0; A < Shapes.size(); ++A)
        for (std::size_t B = A + 1; B < Shapes.size(); ++B) {
            EXPECT_FALSE(SamePicture(Shapes[A].ButtonMask.get(), Shapes[B].ButtonMask.get()))
                << "skins " << A << " and " << B << " share the button mask";
            EXPECT_FALSE(SamePicture(Shapes[A].FrameMask.get(), Shapes[B].FrameMask.get()))
                << "skins " << A << " and " << B << " share the frame mask";
            EXPECT_NE(Shapes[A].CaptionHeight, Shapes[B].CaptionHeight) << "skins " << A << " and " << B;
        }
    EXPECT_GE(Dark, 2) << "at least two dark skins";
}

} // namespace
