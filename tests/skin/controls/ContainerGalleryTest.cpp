// Galleries for a person to look at: the containers, boxes, bars, labels, splitter and bevel of the skinned base
// controls on one form, once per stored skin of the program and once in the default look, saved as
// artifacts/containers_<n>.png beside the test programs: boxes in all three states (flat, framed, disabled,
// hovered), panels with caption bars (one rolled up), a group box, a scrolled tool bar, a status bar with its
// grip, labels and Chinese captions.
#include "skin/controls/bsSkinCtrls.h"

#include "tests/skin/controls/GalleryFixture.h"

#include <gtest/gtest.h>

using namespace ctltest;

namespace {

class ContainerGallery : public GalleryTest {
protected:
    void SetUp() override {
        GalleryTest::SetUp();
        Form->SetBounds(40, 40, 700, 520);
        Pump();
    }
    template <class T> T* Place(TWinControl* Parent, const String& Caption, int X, int Y, int W, int H) {
        auto* C = new T(Form.get());
        C->SetParent(Parent);
        C->SetBounds(X, Y, W, H);
        C->SetCaption(Caption);
        C->SetSkinData(Skin);
        return C;
    }
    TbsSkinCheckRadioBox* Box(const String& Caption, int X, int Y, bool Radio, bool Flat, TCheckBoxState State) {
        auto* B = new TbsSkinCheckRadioBox(Form.get());
        B->SetParent(Form.get());
        B->SetBounds(X, Y, 150, 24);
        B->SetCaption(Caption);
        B->SetRadio(Radio);
        B->SetFlat(Flat);
        if (Radio)
            B->SetSkinDataName(u"radiobox");
        B->SetAllowGrayed(true);
        B->SetState(State);
        B->SetSkinData(Skin);
        return B;
    }

    void Boxes() {
        const String Names[] = {u"未选中 off", u"选中 on", u"灰色 grayed"};
        const TCheckBoxState States[] = {cbUnchecked, cbChecked, cbGrayed};
        for (int I = 0; I < 3; ++I) {
            Box(Names[I], 10 + I * 160, 10, false, true, States[I]);
            Box(Names[I], 10 + I * 160, 40, false, false, States[I]);
        }
        Box(u"禁用 disabled", 490, 10, false, true, cbChecked)->SetEnabled(false);
        Hovered = Box(u"悬停 hot", 490, 40, false, false, cbChecked);
        Box(u"单选 radio", 10, 70, true, true, cbChecked);
        Box(u"单选 radio", 170, 70, true, true, cbUnchecked);
        Box(u"单选 framed", 330, 70, true, false, cbChecked);
        Box(u"禁用 radio", 490, 70, true, true, cbUnchecked)->SetEnabled(false);
    }

    void Panels() {
        auto* P = Place<TbsSkinPanel>(Form.get(), u"视频预览", 10, 105, 210, 120);
        P->SetCaptionMode(true);
        P->SetCheckedMode(true);
        P->SetRollUpMode(true);
        P->SetChecked(true);
        auto* Inner = Place<TbsSkinStdLabel>(P, u"面板内容 content", 0, 0, 0, 0);
        const TRect C = P->GetSkinClientRect();
        Inner->SetBounds(C.Left + 8, C.Top + 8, 150, 16);

        // A group box rolled up: the skins' panel face has no caption band of its own.
        auto* Rolled = Place<TbsSkinGroupBox>(Form.get(), u"已收起 rolled up", 230, 105, 210, 120);
        Rolled->SetRollUpMode(true);
        Place<TbsSkinStdLabel>(Rolled, u"hidden", 20, 40, 60, 16);
        Rolled->SetRollUpState(true);

        auto* Group = Place<TbsSkinGroupBox>(Form.get(), u"参数 group box", 450, 105, 230, 120);
        auto* Text = Place<TbsSkinTextLabel>(Group, u"", 0, 0, 0, 0);
        Text->Lines()->Add(u"文本标签 text label");
        Text->Lines()->Add(u"second line");
        const TRect G = Group->GetSkinClientRect();
        Text->SetLeft(G.Left + 8);
        Text->SetTop(G.Top + 8);

        auto* Plain = Place<TbsSkinPanel>(Form.get(), u"", 230, 160, 210, 65);
        Plain->SetBorderStyle(TbsSkinBorderStyle::bvLowered);
        auto* Bevel = Place<TbsSkinBevel>(Plain, u"", 10, 10, 90, 40);
        Bevel->SetShape(bsFrame);
        auto* Divider = Place<TbsSkinBevel>(Plain, u"", 110, 10, 90, 20);
        Divider->SetShape(bsTopLine);
        Divider->SetDividerMode(true);
        auto* Disabled = Place<TbsSkinStdLabel>(Plain, u"禁用标签 disabled", 110, 35, 95, 16);
        Disabled->SetEnabled(false);
    }

    void Bars() {
        auto* Bar = Place<TbsSkinToolBar>(Form.get(), u"", 10, 240, 330, 30);
        Bar->SetSkinDataName(u"resizetoolpanel");
        Bar->SetCanScroll(true);
        for (int I = 0; I < 8; ++I) {
            auto* B = Place<TbsSkinSpeedButton>(Bar, u"按钮" + IntToStr(I + 1), I * 64, 0, 62, 24);
            B->SetSkinDataName(u"resizetoolbutton");
            B->SetSkinData(Skin);
        }
        Bar->SetSkinData(Skin);
        Pump();
        // One page to the right, as a click on the right scroll button makes it.
        const TPoint P = Bar->ClientToScreen(TPoint{Bar->ClientWidth() + 6, Bar->ClientHeight() / 2});
        InjectMouseMove(P.X, P.Y);
        InjectMouseButton(0, true);
        InjectMouseButton(0, false);
        InjectMouseMove(2, 2);
        Pump();

        auto* Split = Place<TbsSkinPanel>(Form.get(), u"", 350, 240, 330, 80);
        auto* Left = Place<TbsSkinPanel>(Split, u"左 left", 0, 0, 120, 0);
        Left->SetAlign(alLeft);
        auto* Splitter = new TbsSkinSplitter(Form.get());
        Splitter->SetParent(Split);
        Splitter->SetAlign(alLeft);
        Splitter->SetLeft(130);
        Splitter->SetSkinData(Skin);
        Place<TbsSkinPanel>(Split, u"右 right", 200, 0, 50, 0)->SetAlign(alClient);

        auto* Status = Place<TbsSkinStatusBar>(Form.get(), u"", 0, 0, 0, 21);
        Status->SetSizeGrip(true);
        Place<TbsSkinStdLabel>(Status, u"就绪 Ready", 6, 3, 120, 16);
    }

    TbsSkinCheckRadioBox* Hovered = nullptr;
};

TEST_P(ContainerGallery, EveryContainerBoxAndBar) {
    Boxes();
    Panels();
    Bars();
    Form->Repaint();
    Pump();
    const TPoint Hot = Hovered->ClientToScreen(TPoint{30, 12});
    InjectMouseMove(Hot.X, Hot.Y);
    for (int I = 0; I < 20; ++I)
        Wait(25);
    NewSheet(Form->ClientWidth(), Form->ClientHeight());
    PasteScreen(Form->ClientToScreen(TPoint{0, 0}), Form->ClientWidth(), Form->ClientHeight(), 0, 0);
    SaveSheet("containers");
}

INSTANTIATE_TEST_SUITE_P(Skins, ContainerGallery, ::testing::Range(-1, 9));

} // namespace
