// Galleries for a person to look at: both scroll bars, sliders of both orientations, a tree and the job list's
// report view with Chinese captions and a reordered column, once per stored skin of the program and once in the
// default look, saved as artifacts/views_<n>.png beside the test programs.
#include "skin/controls/bsSkinCtrls.h"

#include "resources/StoredSkins.h"
#include "skin/core/TbsCompressedStoredSkin.h"
#include "tests/skin/controls/ControlSkinFixture.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace ctltest;

namespace {

class ViewsTree : public TbsSkinCustomTreeView {
public:
    using TbsSkinCustomTreeView::TbsSkinCustomTreeView;
};

class ViewsGallery : public uitest::UiTest, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        uitest::UiTest::SetUp();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(40, 40, 660, 400);
        Form->SetColor(TColor(0xE0E0E0));
        Form->Show();
        Skin = new TbsSkinData(Form.get());
        if (GetParam() >= 0) {
            List = std::make_unique<TbsCompressedSkinList>(nullptr);
            for (int I = 0; I < StoredSkinCount(); ++I) {
                auto* Item = static_cast<TbsSkinListItem*>(List->Skins()->Add());
                TMemoryStream Bytes;
                Bytes.WriteBuffer(StoredSkin(I).Data, static_cast<std::int64_t>(StoredSkin(I).Size));
                Item->Skin()->LoadFromCompressStream(&Bytes);
            }
            Skin->SetSkinList(List.get());
            Skin->SetSkinIndex(GetParam());
            ASSERT_FALSE(Skin->Empty);
            // On the skin's own surface, as on a skinned form.
            Form->SetColor(Skin->SkinColors()->FcBtnFace);
        }
        Pump();
    }
    void TearDown() override {
        Skin->SetSkinList(nullptr);
        Form.reset();
        List.reset();
        uitest::UiTest::TearDown();
    }
    template <class T> T* Place(int X, int Y, int W, int H) {
        auto* C = new T(Form.get());
        C->SetParent(Form.get());
        C->SetBounds(X, Y, W, H);
        return C;
    }
    TbsSkinScrollBar* Bar(int X, int Y, int W, int H, bool Vertical) {
        auto* B = Place<TbsSkinScrollBar>(X, Y, W, H);
        if (Vertical) {
            B->SetKind(sbVertical);
            B->SetSkinDataName(u"vscrollbar");
        }
        B->SetSkinData(Skin);
        B->SetBounds(X, Y, W, H);
        return B;
    }

    std::unique_ptr<TForm> Form;
    TbsSkinData* Skin = nullptr;
    std::unique_ptr<TbsCompressedSkinList> List;
};

TEST_P(ViewsGallery, BarsSlidersTreeAndReportView) {
    auto* H = Bar(10, 10, 260, 19, false);
    H->SetRange(0, 99, 30, 20);
    auto* V = Bar(280, 10, 19, 170, true);
    V->SetRange(0, 99, 60, 0);

    auto* S = Place<TbsSkinSlider>(10, 40, 260, 40);
    S->SetSkinData(Skin);
    S->SetValue(40);
    auto* SV = Place<TbsSkinSlider>(310, 10, 40, 170);
    SV->SetOrientation(soVertical);
    SV->SetSkinData(Skin);
    SV->SetValue(70);
    auto* Smooth = Place<TbsSkinSlider>(10, 90, 260, 40);
    Smooth->SetOptions({soSmooth});
    Smooth->SetSkinData(Skin);
    Smooth->SetValue(25);

    auto* Tree = Place<ViewsTree>(10, 200, 170, 150);
    auto* TreeBar = Bar(180, 200, 19, 150, true);
    Tree->SetVScrollBar(TreeBar);
    Tree->SetSkinData(Skin);
    for (const char16_t* Root : {u"视频", u"音频", u"图片"}) {
        TTreeNode* N = Tree->Items()->Add(nullptr, Root);
        for (int I = 1; I <= 4; ++I)
            Tree->Items()->AddChild(N, String(Root) + u" " + IntToStr(I));
        N->Expand(false);
    }
    // A chosen node that stays shown while the tree has no focus.
    Tree->SetHideSelection(false);
    Tree->Items()->Item(2)->SetSelected(true);

    auto* L = Place<TbsSkinListView>(210, 200, 400, 150);
    L->SetViewStyle(vsReport);
    L->SetRowSelect(true);
    L->SetGridLines(true);
    L->SetFullDrag(true);
    const struct {
        const char16_t* Caption;
        int Width;
    } Columns[] = {{u"文件名", 150}, {u"时长", 70}, {u"大小", 80}, {u"输出格式", 120}};
    for (const auto& C : Columns) {
        TListColumn* Col = L->AddColumn();
        Col->SetCaption(C.Caption);
        Col->SetWidth(C.Width);
    }
    for (int I = 0; I < 12; ++I) {
        TListItem* Row = L->Items()->Add();
        Row->SetCaption(u"视频片段" + IntToStr(I + 1) + u".avi");
        Row->SubItems()->Add(u"00:0" + IntToStr(I % 10) + u":15");
        Row->SubItems()->Add(IntToStr(12 + I) + u" MB");
        Row->SubItems()->Add(u"MP4 (H.264)");
    }
    L->SetColumnOrder({1, 0, 2, 3});
    auto* LV = Bar(610, 200, 19, 150, true);
    auto* LH = Bar(210, 350, 400, 19, false);
    L->SetVScrollBar(LV);
    L->SetHScrollBar(LH);
    L->SetSkinData(Skin);
    L->SetItemIndex(1);
    Pump();
    EXPECT_TRUE(LV->Visible());

    std::filesystem::create_directories("artifacts");
    const std::string Name = GetParam() < 0 ? "default" : "skin" + std::to_string(GetParam());
    const std::string File = "artifacts/views_" + Name + ".png";
    ASSERT_TRUE(SaveWindowToPng(Form->Handle(), File));
    EXPECT_TRUE(std::filesystem::exists(File));
}

INSTANTIATE_TEST_SUITE_P(Skins, ViewsGallery, ::testing::Range(-1, 9));

} // namespace
