// The skinned labels, splitter and bevel: embossed disabled text, auto-sized multi-line text, ellipses, the
// skin's label font; the splitter's thickness and strip; the bevel's colours across skins and its divider.
#include "skin/controls/bsSkinCtrls.h"

#include "platform/gdi/WinText.h"
#include "tests/skin/controls/ControlSkinFixture.h"

#include <gtest/gtest.h>

using namespace ctltest;

namespace {

constexpr TColor cGround = 0x00FF00;

class SkinLabels : public ControlTest {
protected:
    void SetUp() override {
        ControlTest::SetUp();
        RegisterFixedMetricFont(u"QvBlocks");
    }
    static TColor Rgb(TColor C) { return TColor(ColorToRGB(C)); }
    // The control painted onto a bitmap filled with cGround first.
    static std::unique_ptr<TBitmap> OnGround(TControl* C) {
        auto B = std::make_unique<TBitmap>(C->Width(), C->Height());
        Fill(*B, Rect(0, 0, B->Width(), B->Height()), cGround);
        C->Perform(WM_PAINT, WPARAM(B->Canvas()->Handle()), 0);
        return B;
    }
    static TColor At(TBitmap& B, int X, int Y) { return Rgb(B.Canvas()->Pixels(X, Y)); }
    template <class T> T* Label() {
        auto* L = new T(Form.get());
        L->SetParent(Form.get());
        L->DefaultFont()->SetName(u"QvBlocks");
        L->DefaultFont()->SetHeight(12);
        L->DefaultFont()->SetColor(clBlack);
        return L;
    }
};

TEST_F(SkinLabels, DisabledTextIsDrawnTwiceOnePixelApart) {
    struct Case {
        bool Skinned;
        TColor Light, Dark;
    } Cases[] = {
        {false, clBtnHighlight, clBtnShadow},
        {true, Skin->SkinColors()->FcBtnHighLight, Skin->SkinColors()->FcBtnShadow},
    };
    for (const Case& K : Cases) {
        auto* L = Label<TbsSkinStdLabel>();
        L->SetAutoSize(false);
        L->SetBounds(10, 10, 40, 20);
        L->SetUseSkinFont(!K.Skinned);
        L->Font()->SetName(u"QvBlocks");
        L->Font()->SetHeight(12);
        if (K.Skinned)
            L->SetSkinData(Skin);
        L->SetCaption(u"A");
        L->SetEnabled(false);
        auto B = OnGround(L);
        // The block of "A" (5 x 9 at the origin) in the shadow colour over its copy one pixel down and right.
        EXPECT_EQ(At(*B, 0, 0), Rgb(K.Dark)) << K.Skinned;
        EXPECT_EQ(At(*B, 4, 8), Rgb(K.Dark)) << K.Skinned;
        EXPECT_EQ(At(*B, 5, 9), Rgb(K.Light)) << K.Skinned;
        EXPECT_EQ(At(*B, 1, 9), Rgb(K.Light)) << K.Skinned;
        EXPECT_EQ(At(*B, 5, 0), cGround) << K.Skinned;
        L->SetEnabled(true);
        B = OnGround(L);
        EXPECT_EQ(At(*B, 5, 9), cGround) << K.Skinned;
        delete L;
    }
}

TEST_F(SkinLabels, WithoutSkinDataTheLabelDrawsInItsDefaultFont) {
    auto* L = Label<TbsSkinStdLabel>();
    L->SetCaption(u"AB");
    L->Font()->SetName(u"Liberation Sans");
    L->Font()->SetHeight(30);
    L->DefaultFont()->SetColor(clRed);
    // The block font measures the label: 2 characters of 6, one line of 12.
    EXPECT_EQ(L->Width(), 12);
    EXPECT_EQ(L->Height(), 12);
    auto B = OnGround(L);
    EXPECT_EQ(At(*B, 2, 2), Rgb(clRed));
    // The skin's label record gives font and colour.
    L->SetSkinData(Skin);
    B = OnGround(L);
    EXPECT_NE(L->FIndex, -1);
    EXPECT_EQ(L->FontColor, cLabel);
    // Its text is reddish ink on the ground, no longer the block font's solid red.
    int Ink = 0, Reddish = 0;
    for (int Y = 0; Y < B->Height(); ++Y)
        for (int X = 0; X < B->Width(); ++X) {
            const COLORREF C = ColorToRGB(At(*B, X, Y));
            if (TColor(C) == cGround)
                continue;
            ++Ink;
            Reddish += GetRValue(C) > GetBValue(C);
        }
    EXPECT_GT(Ink, 10);
    EXPECT_EQ(Reddish, Ink);
}

TEST_F(SkinLabels, EllipsesShortenTheLineAsDrawTextDoes) {
    const String Text = u"/home/user/videos/holiday/clip.mp4";
    struct Case {
        TbsEllipsType Type;
        UINT Flag;
    } Cases[] = {{bsetNone, 0}, {bsetEndEllips, DT_END_ELLIPSIS}, {bsetPathEllips, DT_PATH_ELLIPSIS}};
    std::vector<std::unique_ptr<TBitmap>> Shots;
    for (const Case& K : Cases) {
        auto* L = Label<TbsSkinStdLabel>();
        L->DefaultFont()->SetName(u"Liberation Sans");
        L->SetAutoSize(false);
        L->SetBounds(10, 10, 90, 16);
        L->SetCaption(Text);
        L->SetEllipsType(K.Type);
        auto B = OnGround(L);
        // The same line drawn straight with the flag, in the same font.
        TBitmap Want(90, 16);
        Fill(Want, Rect(0, 0, 90, 16), cGround);
        Want.Canvas()->Font()->Assign(L->DefaultFont());
        Want.Canvas()->Brush()->SetStyle(bsClear);
        TRect R = Rect(0, 0, 90, 16);
        String Copy = Text;
        DrawTextExW(Want.Canvas()->Handle(), Copy.data(), int(Copy.size()), &R, DT_EXPANDTABS | K.Flag, nullptr);
        int Differ = 0;
        for (int Y = 0; Y < 16; ++Y)
            for (int X = 0; X < 90; ++X)
                Differ += At(*B, X, Y) != At(Want, X, Y);
        EXPECT_EQ(Differ, 0) << K.Type;
        Shots.push_back(std::move(B));
        delete L;
    }
    int EndVsNone = 0, PathVsEnd = 0;
    for (int Y = 0; Y < 16; ++Y)
        for (int X = 0; X < 90; ++X) {
            EndVsNone += At(*Shots[0], X, Y) != At(*Shots[1], X, Y);
            PathVsEnd += At(*Shots[1], X, Y) != At(*Shots[2], X, Y);
        }
    EXPECT_GT(EndVsNone, 0);
    EXPECT_GT(PathVsEnd, 0);
}

TEST_F(SkinLabels, AnAutoSizedTextLabelIsAsHighAsItsLines) {
    auto* L = Label<TbsSkinTextLabel>();
    L->SetBounds(10, 10, 65, 65);
    L->Lines()->Add(u"ab");
    L->Lines()->Add(u"abcd");
    L->Lines()->Add(u"a");
    EXPECT_EQ(L->Height(), 36);
    EXPECT_EQ(L->Width(), 24);
    // Right-aligned, it keeps its right edge as the text grows.
    L->SetAlignment(taRightJustify);
    const int Right = L->Left() + L->Width();
    L->Lines()->Add(u"abcdefgh");
    EXPECT_EQ(L->Width(), 48);
    EXPECT_EQ(L->Left() + L->Width(), Right);
    EXPECT_EQ(L->Height(), 48);
}

TEST_F(SkinLabels, ClearingTheSkinDataRepaintsOnlyLater) {
    auto* L = Label<TbsSkinTextLabel>();
    L->SetBounds(10, 10, 65, 65);
    L->Lines()->Add(u"AAAA");
    L->Font()->SetName(u"QvBlocks");
    L->Font()->SetHeight(12);
    L->Font()->SetColor(clBlack);
    L->SetSkinData(Skin);
    L->SetUseSkinFont(false);
    Form->Repaint();
    Pump();
    EXPECT_EQ(ScreenPixel(L, 2, 2), cLabel);
    L->SetSkinData(nullptr);
    EXPECT_EQ(ScreenPixel(L, 2, 2), cLabel);
    L->Repaint();
    Pump();
    EXPECT_EQ(ScreenPixel(L, 2, 2), Rgb(clBlack));
}

TEST_F(SkinLabels, SplitterThicknessComesFromTheRecordUnlessTransparent) {
    auto* Left = new TPanel(Form.get());
    Left->SetParent(Form.get());
    Left->SetAlign(alLeft);
    Left->SetWidth(100);
    auto* S = new TbsSkinSplitter(Form.get());
    S->SetParent(Form.get());
    S->SetAlign(alLeft);
    S->SetLeft(150);
    S->SetSkinData(nullptr);
    EXPECT_EQ(S->Width(), 10);
    S->SetSkinData(Skin);
    EXPECT_EQ(S->Width(), 6);
    Pump();
    // The vertical strip, its gripper in the middle.
    auto B = uitest::PaintToBitmap(*S);
    EXPECT_EQ(Rgb(B->Canvas()->Pixels(3, 5)), cSplit);
    EXPECT_EQ(Rgb(B->Canvas()->Pixels(3, S->Height() / 2)), cGripper);
    S->SetTransparent(true);
    S->ChangeSkinData();
    EXPECT_EQ(S->Width(), 10);
    auto* H = new TbsSkinSplitter(Form.get());
    H->SetParent(Form.get());
    H->SetAlign(alTop);
    H->SetSkinDataName(u"hsplitter");
    H->SetSkinData(Skin);
    EXPECT_EQ(H->Height(), 6);
    H->SetDefaultSize(4);
    H->SetSkinData(nullptr);
    EXPECT_EQ(H->Height(), 4);
}

TEST_F(SkinLabels, BevelColoursFollowTheSkin) {
    auto* V = new TbsSkinBevel(Form.get());
    V->SetParent(Form.get());
    V->SetBounds(10, 10, 50, 20);
    struct Step {
        const char16_t* Name;
        TbsSkinData* Data;
        TColor Light, Dark;
    } Steps[] = {
        {u"bevel", Skin, cBevelLight, cBevelDark},
        {u"panel", Skin, cBevelLight, cBevelDark}, // a record of another kind keeps the colours
        {u"nobevel", Skin, clBtnHighlight, clBtnShadow},
        {u"bevel", Skin, cBevelLight, cBevelDark},
        {u"bevel", nullptr, clBtnHighlight, clBtnShadow},
    };
    for (const Step& K : Steps) {
        V->SetSkinDataName(K.Name);
        V->SetSkinData(K.Data);
        EXPECT_EQ(V->LightColor, K.Light) << UTF8Encode(String(K.Name));
        EXPECT_EQ(V->DarkColor, K.Dark) << UTF8Encode(String(K.Name));
    }
}

TEST_F(SkinLabels, BevelShapesAndTheDivider) {
    auto* V = new TbsSkinBevel(Form.get());
    V->SetParent(Form.get());
    V->SetBounds(10, 10, 30, 20);
    V->SetSkinData(Skin);
    V->SetShape(bsTopLine);
    auto B = uitest::PaintToBitmap(*V);
    EXPECT_EQ(Rgb(B->Canvas()->Pixels(15, 0)), cBevelDark);
    EXPECT_EQ(Rgb(B->Canvas()->Pixels(15, 1)), cBevelLight);
    // The divider: two one-pixel lines at y 9 and 10 between x 2 and Width - 2 (the outline's first colour takes
    // its left end).
    V->SetDividerMode(true);
    auto D = OnGround(V);
    EXPECT_EQ(Rgb(D->Canvas()->Pixels(2, 10)), cBevelDark);
    for (int X = 3; X < 28; ++X) {
        EXPECT_EQ(Rgb(D->Canvas()->Pixels(X, 9)), cBevelDark) << X;
        EXPECT_EQ(Rgb(D->Canvas()->Pixels(X, 10)), cBevelLight) << X;
    }
    for (int Y : {0, 1, 8, 11, 19})
        EXPECT_EQ(Rgb(D->Canvas()->Pixels(15, Y)), cGround) << Y;
    // Raised, the two colours change places.
    V->SetStyle(bsRaised);
    D = OnGround(V);
    EXPECT_EQ(Rgb(D->Canvas()->Pixels(15, 9)), cBevelLight);
    EXPECT_EQ(Rgb(D->Canvas()->Pixels(15, 10)), cBevelDark);
}

} // namespace
