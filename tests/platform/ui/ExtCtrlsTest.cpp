// Extra controls and labels: panels and bevels in pixels, labels sizing to their text and painted by
// their parent, images placed in their control, and a splitter dragged with the mouse.
#include "platform/ui/ExtCtrls.h"
#include "UiTestFixture.h"
#include "platform/ui/StdCtrls.h"
#include "platform/win/WinExtras.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

class ExtCtrlsTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        RegisterFixedMetricFont(u"QvBlocks");
        Host = std::make_unique<TWinControl>(nullptr);
        Host->SetBounds(0, 0, 300, 200);
        Host->SetColor(clBtnFace);
        Host->HandleNeeded();
    }
    void TearDown() override {
        Host.reset();
        UiTest::TearDown();
    }
    void UseBlocks(TControl* C) {
        C->Font()->SetName(u"QvBlocks");
        C->Font()->SetHeight(-10);
    }
    std::unique_ptr<TWinControl> Host;
};

TEST_F(ExtCtrlsTest, PanelsDrawTheirBevelsAndKeepAlignedChildrenInside) {
    TPanel Panel(nullptr);
    Panel.SetBounds(0, 0, 7, 6);
    uitest::ExpectPicture(*uitest::PaintToBitmap(Panel),
                          {"WWWWWWS", //
                           "WFFFFFS", //
                           "WFFFFFS", //
                           "WFFFFFS", //
                           "WFFFFFS", //
                           "SSSSSSS"},
                          __LINE__);
    Panel.SetBevelInner(bvLowered);
    Panel.SetBorderWidth(1);
    uitest::ExpectPicture(*uitest::PaintToBitmap(Panel),
                          {"WWWWWWS", //
                           "WFFFFFS", //
                           "WFSSWFS", //
                           "WFWWWFS", //
                           "WFFFFFS", //
                           "SSSSSSS"},
                          __LINE__);

    auto* Outer = new TPanel(Host.get());
    Outer->SetParent(Host.get());
    Outer->SetBounds(10, 10, 100, 80);
    Outer->SetBevelWidth(2);
    Outer->SetBevelInner(bvRaised);
    Outer->SetBorderWidth(3);
    auto* Inner = new TPanel(Host.get());
    Inner->SetParent(Outer);
    Inner->SetAlign(alClient);
    EXPECT_EQ(Inner->BoundsRect(), Rect(7, 7, 93, 73));
    Outer->SetBevelOuter(bvNone);
    EXPECT_EQ(Inner->BoundsRect(), Rect(5, 5, 95, 75));
}

// BorderStyle bsSingle puts the classic sunken frame round the panel, in its non-client area, so
// aligned children and the bevels stay inside it.
TEST_F(ExtCtrlsTest, APanelWithASingleBorderHasTheSunkenFrame) {
    auto* Panel = new TPanel(Host.get());
    Panel->SetParent(Host.get());
    Panel->SetBounds(10, 10, 8, 7);
    Panel->SetBevelOuter(bvNone);
    auto* Child = new TPanel(Host.get());
    Child->SetParent(Panel);
    Child->SetAlign(alClient);
    Child->SetBevelOuter(bvNone);
    EXPECT_EQ(Panel->BorderStyle(), bsNone);
    EXPECT_EQ(Child->BoundsRect(), Rect(0, 0, 8, 7));
    Panel->SetBorderStyle(bsSingle);
    EXPECT_EQ(Panel->ClientWidth(), 4);
    EXPECT_EQ(Panel->ClientHeight(), 3);
    EXPECT_EQ(Child->BoundsRect(), Rect(0, 0, 4, 3));
    Pump();
    auto Shot = std::make_unique<TBitmap>(8, 7);
    for (int Y = 0; Y < 7; ++Y)
        for (int X = 0; X < 8; ++X)
            Shot->Canvas()->SetPixels(X, Y, TColor(ScreenPixel(10 + X, 10 + Y)));
    uitest::ExpectPicture(*Shot,
                          {"SSSSSSSW", //
                           "SDDDDDFW", //
                           "SDFFFFFW", //
                           "SDFFFFFW", //
                           "SDFFFFFW", //
                           "SFFFFFFW", //
                           "WWWWWWWW"},
                          __LINE__);
    Panel->SetBorderStyle(bsNone);
    EXPECT_EQ(Child->BoundsRect(), Rect(0, 0, 8, 7));
}

TEST_F(ExtCtrlsTest, BevelsDrawTheirShapes) {
    struct Case {
        TBevelShape Shape;
        TBevelStyle Style;
        std::vector<std::string> Picture;
    };
    const Case Cases[] = {
        {bsBox, bsLowered, {"SSSW", "SFFW", "WWWW"}},      {bsBox, bsRaised, {"WWWS", "WFFS", "SSSS"}},
        {bsFrame, bsLowered, {"SSSF", "SSSW", "FWWW"}}, // a dark frame over a light one a pixel lower right
        {bsTopLine, bsLowered, {"SSSS", "WWWW", "FFFF"}},  {bsBottomLine, bsRaised, {"FFFF", "WWWW", "SSSS"}},
        {bsLeftLine, bsLowered, {"SWFF", "SWFF", "SWFF"}}, {bsRightLine, bsLowered, {"FFSW", "FFSW", "FFSW"}},
        {bsSpacer, bsLowered, {"FFFF", "FFFF", "FFFF"}},
    };
    for (const Case& C : Cases) {
        TBevel Bevel(nullptr);
        Bevel.SetBounds(0, 0, 4, 3);
        Bevel.SetShape(C.Shape);
        Bevel.SetStyle(C.Style);
        TBitmap Bitmap(4, 3);
        Bitmap.Canvas()->Brush()->SetColor(clBtnFace);
        Bitmap.Canvas()->FillRect(Rect(0, 0, 4, 3));
        Bevel.Perform(WM_PAINT, WPARAM(Bitmap.Canvas()->Handle()), 0);
        uitest::ExpectPicture(Bitmap, C.Picture, __LINE__);
    }
}

TEST_F(ExtCtrlsTest, LabelsSizeToTheirText) {
    struct Case {
        const char16_t* Caption;
        TAlignment Alignment;
        bool WordWrap;
        int Width; // asked for before the caption
        TRect Expected;
    };
    // QvBlocks at height 10: characters 5 wide, lines 10 high. An empty label is one blank (5 x 10).
    const Case Cases[] = {
        {u"Abc", taLeftJustify, false, 65, Rect(20, 30, 35, 40)},
        {u"&Open", taLeftJustify, false, 65, Rect(20, 30, 40, 40)}, // the accelerator mark takes no room
        {u"", taLeftJustify, false, 65, Rect(20, 30, 25, 40)},
        {u"Abc", taRightJustify, false, 65, Rect(10, 30, 25, 40)},    // the right edge stays
        {u"aa bb cc", taLeftJustify, true, 27, Rect(20, 30, 47, 50)}, // wrapping keeps the width
        {u"Two\nlines", taLeftJustify, false, 65, Rect(20, 30, 45, 50)},
    };
    for (const Case& C : Cases) {
        auto* Label = new TLabel(Host.get());
        UseBlocks(Label);
        Label->SetParent(Host.get());
        Label->SetWordWrap(C.WordWrap);
        Label->SetBounds(20, 30, C.Width, 17);
        Label->SetAlignment(C.Alignment);
        Label->SetCaption(C.Caption);
        EXPECT_EQ(Label->BoundsRect(), C.Expected) << std::string(C.Caption, C.Caption + 3);
        delete Label;
    }
}

TEST_F(ExtCtrlsTest, ALabelIsPaintedByItsParentAndEmbossedWhenDisabled) {
    auto* Label = new TLabel(Host.get());
    UseBlocks(Label);
    Label->SetParent(Host.get());
    Label->SetLeft(1);
    Label->SetTop(1);
    Label->SetCaption(u"A");
    Label->SetColor(clWhite);
    // The parent paints its windowless children into its own DC.
    TBitmap Bitmap(7, 12);
    Bitmap.Canvas()->Brush()->SetColor(clBtnFace);
    Bitmap.Canvas()->FillRect(Rect(0, 0, 7, 12));
    Host->Perform(WM_PAINT, WPARAM(Bitmap.Canvas()->Handle()), 0);
    std::vector<std::string> Enabled = {"FFFFFFF", "FKKKKWF", "FKKKKWF", "FKKKKWF", "FKKKKWF", "FKKKKWF",
                                        "FKKKKWF", "FKKKKWF", "FKKKKWF", "FWWWWWF", "FWWWWWF", "FFFFFFF"};
    uitest::ExpectPicture(Bitmap, Enabled, __LINE__);
    Label->SetEnabled(false);
    Label->SetTransparent(true);
    Bitmap.Canvas()->FillRect(Rect(0, 0, 7, 12));
    Host->Perform(WM_PAINT, WPARAM(Bitmap.Canvas()->Handle()), 0);
    uitest::ExpectPicture(Bitmap,
                          {"FFFFFFF", "FSSSSFF", "FSSSSWF", "FSSSSWF", "FSSSSWF", "FSSSSWF", "FSSSSWF", "FSSSSWF",
                           "FSSSSWF", "FFWWWWF", "FFFFFFF", "FFFFFFF"},
                          __LINE__);
}

TEST_F(ExtCtrlsTest, ALabelsAcceleratorFocusesItsControl) {
    auto* Label = new TLabel(Host.get());
    Label->SetParent(Host.get());
    Label->SetCaption(u"&Name");
    auto* Box = new TCheckBox(Host.get());
    Box->SetParent(Host.get());
    Box->SetTop(40);
    Label->SetFocusControl(Box);
    EXPECT_EQ(Label->Perform(CM_DIALOGCHAR, 'n', 0), 1);
    EXPECT_TRUE(Box->Focused());
    EXPECT_FALSE(Box->Checked()); // focused, not clicked
    delete Box;
    EXPECT_EQ(Label->FocusControl(), nullptr);
    EXPECT_EQ(Label->Perform(CM_DIALOGCHAR, 'n', 0), 0);
}

TEST_F(ExtCtrlsTest, AnImagePlacesItsPicture) {
    struct Case {
        bool Stretch, Proportional, Center;
        TRect Expected; // for a 40 x 20 picture in a 100 x 100 image, then in a 20 x 50 one
        TRect Small;
    };
    const Case Cases[] = {
        {false, false, false, Rect(0, 0, 40, 20), Rect(0, 0, 40, 20)},
        {false, false, true, Rect(30, 40, 70, 60), Rect(-10, 15, 30, 35)},
        {true, false, false, Rect(0, 0, 100, 100), Rect(0, 0, 20, 50)},
        {true, true, false, Rect(0, 0, 100, 50), Rect(0, 0, 20, 10)},
        {false, true, true, Rect(30, 40, 70, 60), Rect(0, 20, 20, 30)}, // shrinks only what is too large
    };
    TBitmap Picture(40, 20);
    for (const Case& C : Cases) {
        TImage Image(nullptr);
        Image.SetBounds(0, 0, 100, 100);
        Image.Picture()->SetGraphic(&Picture);
        Image.SetStretch(C.Stretch);
        Image.SetProportional(C.Proportional);
        Image.SetCenter(C.Center);
        EXPECT_EQ(Image.DestRect(), C.Expected);
        Image.SetBounds(0, 0, 20, 50);
        EXPECT_EQ(Image.DestRect(), C.Small);
    }
    TImage Sized(nullptr);
    Sized.SetAutoSize(true);
    Sized.Picture()->SetGraphic(&Picture);
    EXPECT_EQ(Sized.Width(), 40);
    EXPECT_EQ(Sized.Height(), 20);
}

// Drawing on an image draws on its bitmap: an empty image gets one of its own size first; an image
// holding another kind of picture cannot be drawn on.
TEST_F(ExtCtrlsTest, AnImagesCanvasDrawsOnItsBitmap) {
    TImage Image(nullptr);
    Image.SetBounds(0, 0, 5, 3);
    TCanvas* C = Image.Canvas();
    C->Brush()->SetColor(clBtnShadow);
    C->FillRect(Rect(1, 1, 4, 2));
    C->SetPixels(0, 0, clWhite);
    ASSERT_NE(dynamic_cast<TBitmap*>(Image.Picture()->Graphic()), nullptr);
    EXPECT_EQ(Image.Picture()->Width(), 5);
    EXPECT_EQ(Image.Picture()->Height(), 3);
    EXPECT_EQ(Image.Canvas(), C);
    // The control shows what was drawn.
    uitest::ExpectPicture(*uitest::PaintToBitmap(Image),
                          {"WWWWW", //
                           "WSSSW", //
                           "WWWWW"},
                          __LINE__);

    std::uint32_t Red[4] = {0xFFFF0000, 0xFFFF0000, 0xFFFF0000, 0xFFFF0000};
    TIcon Icon;
    Icon.SetHandle(CreateIconFromPixels(2, 2, Red));
    Image.Picture()->SetGraphic(&Icon);
    try {
        Image.Canvas();
        ADD_FAILURE() << "no error for an icon";
    } catch (const EInvalidOperation& E) {
        EXPECT_EQ(E.Message(), u"Can only modify an image if it contains a bitmap");
    }
}

TEST_F(ExtCtrlsTest, DraggingASplitterSizesTheControlBesideItWithinMinSize) {
    auto* Left = new TPanel(Host.get());
    Left->SetParent(Host.get());
    Left->SetWidth(100);
    Left->SetAlign(alLeft);
    auto* Splitter = new TSplitter(Host.get());
    Splitter->SetParent(Host.get());
    Splitter->SetLeft(100);
    auto* Rest = new TPanel(Host.get());
    Rest->SetParent(Host.get());
    Rest->SetAlign(alClient);
    ASSERT_EQ(Splitter->BoundsRect(), Rect(100, 0, 103, 200));
    EXPECT_EQ(Splitter->FindControl(), Left);
    int Moved = 0;
    Splitter->OnMoved = [&](TObject*) { ++Moved; };

    auto Drag = [&](int FromX, int ToX) {
        InjectMouseMove(FromX, 50);
        InjectMouseButton(0, true);
        Pump();
        InjectMouseMove(ToX, 50);
        Pump();
        InjectMouseButton(0, false);
        Pump();
    };
    Drag(101, 151);
    EXPECT_EQ(Left->Width(), 150);
    EXPECT_EQ(Splitter->Left(), 150);
    EXPECT_EQ(Rest->Left(), 153);
    Drag(151, 0); // no smaller than MinSize
    EXPECT_EQ(Left->Width(), 30);
    Drag(31, 299); // the client control keeps MinSize too
    EXPECT_EQ(Left->Width(), 300 - 3 - 30);
    EXPECT_EQ(Moved, 3);
    // A handler may refuse or change the size.
    Splitter->OnCanResize = [](TObject*, int& NewSize, bool&) { NewSize = 80; };
    Drag(Splitter->Left() + 1, 10);
    EXPECT_EQ(Left->Width(), 80);
}

TEST_F(ExtCtrlsTest, AScrollBoxScrollsToItsChildrenByCodeWheelAndBar) {
    auto* Box = new TScrollBox(Host.get());
    Box->SetParent(Host.get());
    Box->SetBounds(10, 10, 100, 80);
    auto* Near = new TPanel(Host.get());
    Near->SetParent(Box);
    Near->SetBounds(10, 10, 50, 20);
    auto* Far = new TPanel(Host.get());
    Far->SetParent(Box);
    Far->SetBounds(10, 150, 50, 20);
    Box->UpdateScrollBars();
    int Bar = GetSystemMetrics(SM_CXVSCROLL);
    // The sunken edge takes 2 pixels a side; only the vertical range passes the client size.
    EXPECT_TRUE(Box->VertScrollBar()->IsScrollBarVisible());
    EXPECT_FALSE(Box->HorzScrollBar()->IsScrollBarVisible());
    EXPECT_EQ(Box->ClientWidth(), 96 - Bar);
    EXPECT_EQ(Box->ClientHeight(), 76);
    EXPECT_EQ(Box->VertScrollBar()->Range(), 170);

    Box->VertScrollBar()->SetPosition(1000); // no further than the range lets it
    EXPECT_EQ(Box->VertScrollBar()->Position(), 170 - 76);
    EXPECT_EQ(Far->Top(), 150 - 94);
    Box->VertScrollBar()->SetPosition(0);
    Box->ScrollInView(Far);
    EXPECT_EQ(Box->VertScrollBar()->Position(), 170 - 76);
    Box->ScrollInView(Near);
    EXPECT_EQ(Near->Top(), 0);
    EXPECT_EQ(Box->VertScrollBar()->Position(), 10);

    // The wheel (it goes to the focus): three increments a notch, towards the top for a positive turn.
    Box->SetFocus();
    TPoint Inside = Box->ClientToScreen(TPoint{20, 20});
    InjectMouseMove(Inside.X, Inside.Y);
    InjectMouseWheel(-WHEEL_DELTA);
    Pump();
    EXPECT_EQ(Box->VertScrollBar()->Position(), 10 + 24);
    // The bar: the lower arrow steps one increment, the track below the thumb a page.
    RECT W;
    GetWindowRect(Box->Handle(), &W);
    int BarX = W.Right - 2 - Bar / 2;
    InjectClick(BarX, W.Bottom - 2 - Bar / 2);
    Pump();
    EXPECT_EQ(Box->VertScrollBar()->Position(), 42);
    InjectClick(BarX, W.Top + 2 + Bar);
    Pump();
    EXPECT_EQ(Box->VertScrollBar()->Position(), 0);
    InjectClick(BarX, W.Bottom - 3 - Bar);
    Pump();
    EXPECT_EQ(Box->VertScrollBar()->Position(), 76);
    // Children that fit again take the bar away, and the position goes back to 0.
    delete Far;
    Box->UpdateScrollBars();
    EXPECT_FALSE(Box->VertScrollBar()->IsScrollBarVisible());
    EXPECT_EQ(Box->VertScrollBar()->Position(), 0);
    EXPECT_EQ(Near->Top(), 10);
}

// The ranges follow the children wherever they change: a plain move or resize, a child shown, hidden,
// added or removed, windowed or not.
TEST_F(ExtCtrlsTest, AScrollBoxsRangesFollowItsChildren) {
    auto* Box = new TScrollBox(Host.get());
    Box->SetParent(Host.get());
    Box->SetBounds(10, 10, 100, 80);
    Box->SetBorderStyle(bsNoBorder);
    auto* Panel = new TPanel(Host.get());
    Panel->SetParent(Box);
    Panel->SetBounds(10, 10, 50, 20);
    auto* Bevel = new TBevel(Host.get());
    Bevel->SetBounds(0, 0, 20, 20);
    Bevel->SetParent(Box);
    auto Bars = [&] {
        return std::vector<int>{Box->HorzScrollBar()->IsScrollBarVisible() ? Box->HorzScrollBar()->Range() : 0,
                                Box->VertScrollBar()->IsScrollBarVisible() ? Box->VertScrollBar()->Range() : 0};
    };
    EXPECT_EQ(Bars(), (std::vector<int>{0, 0}));
    Panel->SetTop(150);
    EXPECT_EQ(Bars(), (std::vector<int>{0, 170}));
    Panel->SetHeight(40);
    EXPECT_EQ(Bars(), (std::vector<int>{0, 190}));
    Bevel->SetBounds(0, 0, 300, 20);
    EXPECT_EQ(Bars(), (std::vector<int>{300, 190}));
    Panel->SetVisible(false);
    EXPECT_EQ(Bars(), (std::vector<int>{300, 0}));
    Bevel->SetParent(nullptr);
    EXPECT_EQ(Bars(), (std::vector<int>{0, 0}));
    Bevel->SetParent(Box);
    Panel->SetVisible(true);
    EXPECT_EQ(Bars(), (std::vector<int>{300, 190}));
    // Scrolled, a child keeps its place in the content.
    Box->VertScrollBar()->SetPosition(50);
    Panel->SetHeight(60);
    EXPECT_EQ(Panel->Top(), 100);
    EXPECT_EQ(Bars(), (std::vector<int>{300, 210}));
    delete Bevel;
    EXPECT_EQ(Bars(), (std::vector<int>{0, 210}));
}

} // namespace
