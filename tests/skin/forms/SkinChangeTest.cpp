// The skin-change protocol as a form's controls see it: who is told, in which order, and what a switch of the
// stored skin does to the form and every kind of skinned control.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/ui/ExtCtrls.h"
#include "resources/StoredSkins.h"
#include "skin/controls/bsSkinBoxCtrls.h"
#include "skin/controls/bsSkinCtrls.h"
#include "skin/controls/bsSkinTabs.h"
#include "tests/skin/controls/ControlSkinFixture.h"
#include "tests/skin/forms/SkinFormFixture.h"

namespace formtest {
namespace {

using TLog = std::vector<std::string>;

class TLoggedButton : public TbsSkinButton {
public:
    TLoggedButton(TComponent* AOwner, TLog& ALog, std::string AName)
        : TbsSkinButton(AOwner), Log(ALog), Name(std::move(AName)) {}
    void BeforeChangeSkinData() override {
        Log.push_back(Name + ":before");
        TbsSkinButton::BeforeChangeSkinData();
    }
    void ChangeSkinData() override {
        Log.push_back(Name + ":change");
        TbsSkinButton::ChangeSkinData();
    }
    TLog& Log;
    std::string Name;
};

class TLoggedSpeedButton : public TbsSkinSpeedButton {
public:
    TLoggedSpeedButton(TComponent* AOwner, TLog& ALog, std::string AName)
        : TbsSkinSpeedButton(AOwner), Log(ALog), Name(std::move(AName)) {}
    void ChangeSkinData() override {
        Log.push_back(Name + ":change");
        TbsSkinSpeedButton::ChangeSkinData();
    }
    TLog& Log;
    std::string Name;
};

class TWalkedTree : public TbsSkinCustomTreeView {
public:
    using TbsSkinCustomTreeView::TbsSkinCustomTreeView;
};

class SkinChangeTest : public SkinFormTest {
protected:
    template <class T> T* Put(TWinControl* Parent, const std::string& Name, TbsSkinData* Data, int X, int Y) {
        auto* C = new T(Form.get(), Log, Name);
        C->SetParent(Parent);
        C->SetBounds(X, Y, 60, 24);
        C->SetSkinData(Data);
        return C;
    }
    static std::ptrdiff_t Find(const TLog& L, const std::string& S) {
        return std::find(L.begin(), L.end(), S) - L.begin();
    }
    TLog Log;
};

TEST_F(SkinChangeTest, AChangeOfAnotherSkinReskinsOnlyItsControlsAndLeavesTheFrame) {
    auto* A = new TbsSkinData(Form.get());
    auto* B = new TbsSkinData(Form.get());
    Skin->SetSkinData(A);
    auto* Panel = new TPanel(Form.get());
    Panel->SetParent(Form.get());
    Panel->SetBounds(10, 40, 200, 100);
    Put<TLoggedButton>(Form.get(), "ownbutton", A, 10, 10);
    Put<TLoggedSpeedButton>(Panel, "label", B, 5, 5); // windowless, reached through its windowed parent
    Put<TLoggedButton>(Panel, "otherbutton", B, 5, 40);
    Pump();
    TbsActiveSkinObject* FirstObject = Skin->Objects(0);
    TColor Frame = WindowPixel(1, 1);
    Log.clear();

    SendMessageW(Form->Handle(), WM_CHANGESKINDATA, WPARAM(B), 1000);
    Pump();
    std::sort(Log.begin(), Log.end());
    EXPECT_EQ(Log, (TLog{"label:change", "otherbutton:change"}));
    EXPECT_EQ(Skin->Objects(0), FirstObject) << "the frame was not rebuilt";
    EXPECT_EQ(WindowPixel(1, 1), Frame);

    Log.clear();
    SendMessageW(Form->Handle(), WM_BEFORECHANGESKINDATA, WPARAM(B), 1000);
    EXPECT_TRUE(Log.empty()) << "a before-change of another skin does nothing";
    EXPECT_EQ(Skin->ObjectCount(), 6);
}

TEST_F(SkinChangeTest, EveryControlHearsOfTheChangeBeforeAnyIsReskinned) {
    TTempDir Dir;
    auto* A = new TbsSkinData(Form.get());
    String Path = ctltest::MakeControlSkin(Dir);
    A->LoadFromFile(Path);
    Skin->SetSkinData(A);
    Put<TLoggedButton>(Form.get(), "first", A, 10, 10);
    auto* Panel = new TPanel(Form.get());
    Panel->SetParent(Form.get());
    Panel->SetBounds(10, 40, 200, 100);
    Put<TLoggedButton>(Panel, "nested", A, 5, 5);
    Put<TLoggedSpeedButton>(Panel, "speed", A, 5, 40);
    Skin->OnBeforeChangeSkinData = [this](TObject*) { Log.push_back("form:before"); };
    Skin->OnChangeSkinData = [this](TObject*) { Log.push_back("form:change"); };
    Skin->OnAfterChangeSkinData = [this](TObject*) { Log.push_back("form:after"); };
    Pump();
    Log.clear();

    A->LoadFromFile(Path);
    Pump();
    EXPECT_EQ(Log, (TLog{"first:before", "nested:before", "form:before", "form:change", "first:change", "nested:change",
                         "speed:change", "form:after"}));
}

// The link label derives from the class library's label, not from the skinned bases: the walk reaches it by its
// own row and it takes the new skin's label colours.
TEST_F(SkinChangeTest, ALinkLabelFollowsTheChange) {
    TTempDir Dir;
    auto* A = new TbsSkinData(Form.get());
    Skin->SetSkinData(A);
    auto* Panel = new TPanel(Form.get());
    Panel->SetParent(Form.get());
    auto* Link = new TbsSkinLinkLabel(Form.get());
    Link->SetParent(Panel);
    Link->SetSkinData(A);
    ASSERT_EQ(Link->FIndex, -1);

    A->LoadFromFile(ctltest::MakeControlSkin(Dir));
    Pump();
    EXPECT_NE(Link->FIndex, -1);
    EXPECT_EQ(Link->FontColor, ctltest::cLabel);
}

void LoadArchive(TbsCompressedStoredSkin& Stored, const TStoredSkin& Skin) {
    TMemoryStream Bytes;
    Bytes.WriteBuffer(Skin.Data, static_cast<std::int64_t>(Skin.Size));
    Stored.LoadFromCompressStream(&Bytes);
}

// The screen pixels of a control, row by row.
std::vector<DWORD> Probe(TControl* C) {
    TPoint P = C->ClientToScreen(TPoint{0, 0});
    return CaptureScreen(RECT{P.X, P.Y, P.X + C->Width(), P.Y + C->Height()});
}

// Every skinned control kind that follows a skin switch: the form's frame and each control look different in the
// second stored skin. Each later kind of skinned control adds itself here.
TEST_F(SkinChangeTest, ASwitchBetweenStoredSkinsRepaintsTheFrameAndEveryKindOfControl) {
    TbsCompressedSkinList List(nullptr);
    for (int I = 0; I < 2; ++I) {
        auto* Item = static_cast<TbsSkinListItem*>(List.Skins()->Add());
        Item->SetName(StoredSkin(I).Name);
        LoadArchive(*Item->Skin(), StoredSkin(I));
    }
    auto* Data = new TbsSkinData(Form.get());
    Data->SetSkinList(&List);
    Data->SetSkinIndex(0);
    Form->SetBounds(100, 100, 420, 300);
    Skin->SetSkinData(Data);
    std::vector<TControl*> Controls;
    auto Add = [&](TControl* C, int X, int Y, int W, int H) {
        C->SetParent(Form.get());
        C->SetBounds(X, Y, W, H);
        Controls.push_back(C);
    };
    auto* Button = new TbsSkinButton(Form.get());
    Add(Button, 10, 10, 90, 26);
    Button->SetSkinData(Data);
    auto* Speed = new TbsSkinSpeedButton(Form.get());
    Add(Speed, 110, 10, 60, 26);
    Speed->SetSkinData(Data);
    auto* MenuSpeed = new TbsSkinMenuSpeedButton(Form.get());
    Add(MenuSpeed, 180, 10, 70, 26);
    MenuSpeed->SetSkinData(Data);
    // The page control and the views derive from the class library's controls, not from the skinned bases.
    auto* Pages = new TbsSkinPageControl(Form.get());
    Add(Pages, 10, 46, 190, 90);
    for (const char16_t* Caption : {u"常规", u"Video"}) {
        auto* Sheet = new TbsSkinTabSheet(Form.get());
        Sheet->SetPageControl(Pages);
        Sheet->SetCaption(Caption);
    }
    Pages->SetSkinData(Data);
    auto* Tree = new TWalkedTree(Form.get());
    Add(Tree, 210, 46, 190, 90);
    Tree->Items()->AddChild(Tree->Items()->Add(nullptr, u"Video"), u"clip.avi");
    Tree->SetSkinData(Data);
    auto* Files = new TbsSkinListView(Form.get());
    Add(Files, 10, 146, 190, 90);
    Files->SetViewStyle(vsReport);
    Files->AddColumn()->SetCaption(u"File");
    Files->Items()->Add()->SetCaption(u"clip.avi");
    Files->SetSkinData(Data);
    auto* Label = new TbsSkinStdLabel(Form.get());
    Add(Label, 210, 146, 90, 20);
    Label->SetCaption(u"Label");
    Label->SetSkinData(Data);
    auto* Edit = new TbsSkinEdit(Form.get());
    Add(Edit, 310, 146, 90, 20);
    Edit->SetText(u"Edit");
    Edit->SetSkinData(Data);
    auto* Bevel = new TbsSkinBevel(Form.get());
    Add(Bevel, 210, 176, 90, 20);
    Bevel->SetSkinData(Data);
    Pump();
    ASSERT_FALSE(Data->Empty);
    std::vector<DWORD> FrameBefore =
        CaptureScreen(RECT{Form->Left(), Form->Top(), Form->Left() + 420, Form->Top() + 30});
    std::vector<std::vector<DWORD>> Before;
    for (TControl* C : Controls)
        Before.push_back(Probe(C));

    Data->SetSkinIndex(1);
    Pump();
    ASSERT_FALSE(Data->Empty);
    EXPECT_NE(CaptureScreen(RECT{Form->Left(), Form->Top(), Form->Left() + 420, Form->Top() + 30}), FrameBefore);
    for (std::size_t I = 0; I < Controls.size(); ++I)
        EXPECT_NE(Probe(Controls[I]), Before[I]) << "control " << I;
    Data->SetSkinList(nullptr);
}

} // namespace
} // namespace formtest
