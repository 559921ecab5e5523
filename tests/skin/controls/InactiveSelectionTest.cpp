// A selection that a view keeps showing while another control has the focus lies on the button face. Its text
// keeps the view's own colour where that reads on the face (a light skin looks as before) and takes the button
// text colour where it would not: the light text of a dark skin.
#include "skin/controls/bsSkinCtrls.h"

#include "platform/ui/Edits.h"
#include "platform/ui/StdGlyphs.h"
#include "tests/skin/controls/GalleryFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>

using namespace ctltest;

namespace {

class SelectionTree : public TbsSkinCustomTreeView {
public:
    using TbsSkinCustomTreeView::TbsSkinCustomTreeView;
};

class InactiveSelection : public GalleryTest {
protected:
    // The colours of the screen's pixels inside R of control C.
    static std::set<COLORREF> Colours(TControl* C, const TRect& R) {
        std::set<COLORREF> Found;
        for (int Y = R.Top; Y < R.Bottom; ++Y)
            for (int X = R.Left; X < R.Right; ++X)
                Found.insert(ColorToRGB(ScreenPixel(C, X, Y)));
        return Found;
    }
    // How far the text's strongest pixel goes from the face towards Ink (1 all the way), or -1 when a pixel is no
    // blend of the two (smoothed edges are): a text in any other colour.
    static double InkOnFace(const std::set<COLORREF>& Found, COLORREF Face, COLORREF Ink) {
        const int F[3] = {GetRValue(Face), GetGValue(Face), GetBValue(Face)};
        const int I[3] = {GetRValue(Ink), GetGValue(Ink), GetBValue(Ink)};
        int Main = 0;
        for (int K = 1; K < 3; ++K)
            if (std::abs(I[K] - F[K]) > std::abs(I[Main] - F[Main]))
                Main = K;
        double Strongest = 0;
        for (COLORREF C : Found) {
            const int P[3] = {GetRValue(C), GetGValue(C), GetBValue(C)};
            const double Along = double(P[Main] - F[Main]) / (I[Main] - F[Main]);
            for (int K = 0; K < 3; ++K)
                if (std::abs(P[K] - (F[K] + Along * (I[K] - F[K]))) > 3.0)
                    return -1;
            Strongest = std::max(Strongest, Along);
        }
        return Strongest;
    }
    static TColor ScreenPixel(TControl* C, int X, int Y) {
        const TPoint P = C->ClientToScreen(TPoint{X, Y});
        return TColor(::ScreenPixel(P.X, P.Y));
    }
};

// Stored skin 0 is light (dark text on its views), stored skin 2 dark (light text on near black).
TEST_P(InactiveSelection, TheTextOfAnUnfocusedSelectionReadsOnTheButtonFace) {
    const bool Dark = GetParam() == 2;
    auto* L = new TbsSkinListView(Form.get());
    L->SetParent(Form.get());
    L->SetBounds(10, 10, 300, 100);
    L->SetViewStyle(vsReport);
    L->SetRowSelect(true); // with HideSelection, an unfocused list view shows its selection on the button face
    for (const char16_t* Caption : {u"文件名", u"大小"})
        L->AddColumn()->SetCaption(Caption);
    L->Columns(0)->SetWidth(150);
    L->Columns(1)->SetWidth(100);
    for (const char16_t* Name : {u"clip01.avi", u"movie.mkv", u"song.wav"}) {
        TListItem* Row = L->Items()->Add();
        Row->SetCaption(Name);
        Row->SubItems()->Add(u"12 MB");
    }
    L->SetSkinData(Skin);
    L->SetItemIndex(1);

    auto* T = new SelectionTree(Form.get());
    T->SetParent(Form.get());
    T->SetBounds(320, 10, 200, 100);
    T->SetHideSelection(false);
    T->SetSkinData(Skin);
    TTreeNode* Chosen = nullptr;
    for (const char16_t* Name : {u"视频", u"音频", u"图片"})
        Chosen = T->Items()->Add(nullptr, Name);
    Chosen->SetSelected(true);

    auto* Other = new TEdit(Form.get());
    Other->SetParent(Form.get());
    Other->SetBounds(10, 120, 100, 22);
    Other->SetFocus();
    Pump();
    ASSERT_FALSE(L->Focused());
    ASSERT_FALSE(T->Focused());

    const TColor Own = L->Font()->Color();
    ASSERT_EQ(Dark, ContrastRatio(Own, clBtnFace) < 4.5); // the case is what it claims to be
    const COLORREF Want = ColorToRGB(Dark ? TColor(clBtnText) : Own);
    const COLORREF Face = ColorToRGB(clBtnFace);

    const TRect Row = L->ItemRect(1, drBounds);
    EXPECT_EQ(ColorToRGB(ScreenPixel(L, Row.Right - 3, Row.Top + 1)), Face);
    EXPECT_GT(InkOnFace(Colours(L, Row), Face, Want), 0.95);

    const TRect Label = Chosen->DisplayRect(true);
    EXPECT_EQ(ColorToRGB(ScreenPixel(T, Label.Left + 1, Label.Top + 1)), Face);
    const TColor TreeOwn = T->Font()->Color();
    EXPECT_GT(InkOnFace(Colours(T, Label), Face, ColorToRGB(Dark ? TColor(clBtnText) : TreeOwn)), 0.6);
}

INSTANTIATE_TEST_SUITE_P(Skins, InactiveSelection, ::testing::Values(0, 2));

} // namespace
