#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/base/SysUtils.h"
#include "skin/core/SkinSheet.h"
#include "skin/core/bsUtils.h"

using skintest::ExpectPicture;
using skintest::TSheet;
using skintest::UseBlockFont;

TEST(SkinDrawing, ImageAndTextLayout) {
    struct Case {
        TbsButtonLayout Layout;
        int GW, GH, TW, TH, Spacing, Margin;
        int TextLeft, TextTop, GlyphLeft, GlyphTop;
    };
    // R is (10, 20, 110, 80): centre (60, 50).
    const Case Cases[] = {
        {blGlyphLeft, 16, 16, 40, 10, 4, -1, 50, 45, 30, 42},
        {blGlyphLeft, 0, 0, 40, 10, 4, -1, 40, 45, 40, 50}, // no image: spacing ignored, caption centred
        {blGlyphLeft, 16, 16, 40, 10, 4, 3, 33, 45, 13, 42},
        {blGlyphRight, 16, 16, 40, 10, 4, -1, 30, 45, 74, 42},
        {blGlyphRight, 16, 16, 40, 10, 4, 3, 47, 45, 91, 42},
        {blGlyphTop, 16, 12, 40, 10, 4, -1, 40, 53, 52, 37},
        {blGlyphTop, 16, 12, 40, 10, 4, 3, 40, 39, 52, 23},
        {blGlyphBottom, 16, 12, 40, 10, 4, -1, 40, 37, 52, 51},
        {blGlyphBottom, 16, 12, 40, 10, 4, 3, 40, 51, 52, 65},
    };
    for (const Case& C : Cases) {
        int TL = 0, TT = 0, GL = 0, GT = 0;
        CalcImageAndTextLayout(C.Layout, TRect{10, 20, 110, 80}, C.GW, C.GH, C.TW, C.TH, C.Spacing, C.Margin, TL, TT,
                               GL, GT);
        EXPECT_EQ((std::vector<int>{TL, TT, GL, GT}),
                  (std::vector<int>{C.TextLeft, C.TextTop, C.GlyphLeft, C.GlyphTop}))
            << "layout " << int(C.Layout) << " margin " << C.Margin << " glyph " << C.GW;
    }
    // The example of a 100-wide face from x = 0: glyph at 20, text at 40.
    int TL, TT, GL, GT;
    CalcImageAndTextLayout(blGlyphLeft, TRect{0, 0, 100, 20}, 16, 16, 40, 10, 4, -1, TL, TT, GL, GT);
    EXPECT_EQ(GL, 20);
    EXPECT_EQ(TL, 40);
}

TEST(SkinDrawing, ImageAndCaptionOnAFace) {
    TCustomImageList Images(nullptr, 4, 4);
    TBitmap Red;
    Red.SetSize(4, 4);
    Red.Canvas()->Brush()->SetColor(clRed);
    Red.Canvas()->FillRect(TRect{0, 0, 4, 4});
    Images.Add(&Red, nullptr);

    for (bool Pressed : {false, true}) {
        TSheet S(40, 14);
        UseBlockFont(S.Canvas(), clBlue);
        DrawImageAndText(S.Canvas(), TRect{0, 0, 40, 12}, -1, 2, blGlyphLeft, u"ab", 0, &Images, Pressed, true, false,
                         clNone);
        // Glyph 4 and caption 8 wide with 2 between, centred: image at (13, 4), caption box from x = 19, y = 2,
        // 10 wide with the caption centred in it; everything one pixel further when pressed.
        const int D = Pressed ? 1 : 0;
        EXPECT_EQ(S.Box('r'), (TRect{13 + D, 4 + D, 17 + D, 8 + D})) << Pressed;
        EXPECT_EQ(S.Box('b'), (TRect{20 + D, 2 + D, 27 + D, 8 + D})) << Pressed;
    }

    // The left-aligned form puts the caption at the start of its box.
    TSheet L(40, 14);
    UseBlockFont(L.Canvas(), clBlue);
    DrawImageAndTextLeft(L.Canvas(), TRect{0, 0, 40, 12}, -1, 2, blGlyphLeft, u"ab", 0, &Images, false, true, false,
                         clNone);
    EXPECT_EQ(L.Box('b'), (TRect{19, 2, 26, 8}));

    // A glyph strip of two 4 x 4 frames, the second green with a white (transparent) bottom-left pixel.
    TBitmap Strip;
    Strip.SetSize(8, 4);
    Strip.Canvas()->Brush()->SetColor(clRed);
    Strip.Canvas()->FillRect(TRect{0, 0, 4, 4});
    Strip.Canvas()->Brush()->SetColor(clLime);
    Strip.Canvas()->FillRect(TRect{4, 0, 8, 4});
    Strip.Canvas()->SetPixels(4, 3, clWhite);
    TSheet G(40, 14);
    UseBlockFont(G.Canvas(), clBlue);
    DrawGlyphAndText(G.Canvas(), TRect{0, 0, 40, 12}, -1, 2, blGlyphLeft, u"ab", &Strip, 2, 2, false, false, clNone);
    EXPECT_EQ(G.Box('g'), (TRect{13, 4, 17, 8}));
    EXPECT_EQ(G.At(13, 7), 0xFFFFFFu);
    EXPECT_EQ(G.Box('r'), (TRect{1 << 20, 1 << 20, -1, -1}));
    EXPECT_EQ(G.Box('b'), (TRect{20, 2, 27, 8}));

    // The colour marker: three lines across the image from two rows above its bottom edge.
    TSheet M(40, 14);
    UseBlockFont(M.Canvas(), clBlue);
    DrawImageAndText(M.Canvas(), TRect{0, 0, 40, 12}, -1, 2, blGlyphLeft, u"ab", 0, &Images, false, true, true, clLime);
    EXPECT_EQ(M.Box('g'), (TRect{13, 6, 17, 9}));
    EXPECT_EQ(M.Box('r'), (TRect{13, 4, 17, 6}));

    // Without image and caption the marker fills the face less its margins.
    TSheet F(12, 12);
    DrawImageAndText(F.Canvas(), TRect{0, 0, 12, 12}, -1, 2, blGlyphLeft, u"", -1, &Images, false, true, true, clLime);
    EXPECT_EQ(F.Box('g'), (TRect{4, 4, 10, 8}));
    TSheet P(12, 12);
    DrawGlyphAndText(P.Canvas(), TRect{0, 0, 12, 12}, -1, 2, blGlyphLeft, u"", nullptr, 1, 1, true, true, clLime);
    EXPECT_EQ(P.Box('g'), (TRect{4, 5, 10, 9}));
}

TEST(SkinDrawing, GlyphFromAStrip) {
    // Two 3 x 2 frames; the bottom-left pixel (white) is the transparent colour.
    TBitmap Strip;
    Strip.SetSize(6, 2);
    const char* Rows[] = {"rb.gg#", ".rb.gg"};
    for (int Y = 0; Y < 2; ++Y)
        for (int X = 0; X < 6; ++X) {
            const char C = Rows[Y][X];
            Strip.Canvas()->SetPixels(X, Y,
                                      C == 'r'   ? clRed
                                      : C == 'b' ? clBlue
                                      : C == 'g' ? clLime
                                      : C == '#' ? clBlack
                                                 : clWhite);
        }
    TSheet S(5, 3);
    S.Canvas()->Brush()->SetColor(clBlack);
    S.Canvas()->FillRect(TRect{0, 0, 5, 3});
    DrawGlyphFromStrip(S.Canvas(), 1, 1, 2, 2, &Strip);
    ExpectPicture(S, {"#####", "#gg##", "##gg#"}, "glyph strip");
}

TEST(SkinDrawing, FocusRectangleDots) {
    struct Case {
        TRect R;
        std::vector<std::string> Picture;
    };
    const Case Cases[] = {
        // Reduced to 4 x 4 (both even): the first pixel is left out.
        {{0, 0, 5, 5}, {".r.r.", "r...r", ".....", "r...r", ".r.r."}},
        // Reduced to 3 x 2: the first pixel is set; the dots run on round the corners.
        {{0, 0, 4, 3}, {"r.r.", "...r", "r.r."}},
    };
    for (const Case& C : Cases) {
        TSheet S(C.R.Right, C.R.Bottom);
        S.Canvas()->Font()->SetColor(clRed);
        DrawSkinFocusRect(S.Canvas(), C.R);
        ExpectPicture(S, C.Picture, "focus rect");
    }
}

TEST(SkinDrawing, Marks) {
    struct Case {
        const char* Name;
        std::function<void(TCanvas*)> Draw;
        std::vector<std::string> Picture;
    };
    const TRect R{0, 0, 8, 8}; // centre (4, 4)
    const Case Cases[] = {
        {"arrow left",
         [&](TCanvas* C) { DrawArrowImage(C, R, clRed, 1); },
         {"........", ".....r..", "....rr..", "...rrr..", "..rrrr..", "...rrr..", "....rr..", ".....r.."}},
        {"arrow right",
         [&](TCanvas* C) { DrawArrowImage(C, R, clRed, 2); },
         {"........", "...r....", "...rr...", "...rrr..", "...rrrr.", "...rrr..", "...rr...", "...r...."}},
        {"arrow up",
         [&](TCanvas* C) { DrawArrowImage(C, R, clRed, 3); },
         {"........", "........", "....r...", "...rrr..", "..rrrrr.", ".rrrrrrr", "........", "........"}},
        {"arrow down",
         [&](TCanvas* C) { DrawArrowImage(C, R, clRed, 4); },
         {"........", "........", "........", ".rrrrrrr", "..rrrrr.", "...rrr..", "....r...", "........"}},
        {"unknown arrow", [&](TCanvas* C) { DrawArrowImage(C, R, clRed, 5); }, std::vector<std::string>(8, "........")},
        {"drop-down arrow",
         [&](TCanvas* C) { DrawDropDownArrowImage(C, R, clRed); },
         {"........", "........", "........", "........", "..rrrrr.", "...rrr..", "....r...", "........"}},
        {"radio",
         [&](TCanvas* C) { DrawRadioImage(C, 1, 1, clRed); },
         {"........", ".rrrrrr.", ".rrrrrr.", ".rrrrrr.", ".rrrrrr.", ".rrrrrr.", ".rrrrrr.", "........"}},
        {"check",
         [&](TCanvas* C) { DrawCheckImage(C, 0, 0, clRed); },
         {".......", "......r", ".....rr", "r...rrr", "rr.rrr.", "rrrrr..", ".rrr...", "..r...."}},
    };
    for (const Case& C : Cases) {
        const int W = int(C.Picture[0].size()), H = int(C.Picture.size());
        TSheet S(W, H);
        C.Draw(S.Canvas());
        ExpectPicture(S, C.Picture, C.Name);
    }
}

TEST(SkinDrawing, CaptionButtonGlyphs) {
    struct Case {
        const char* Name;
        void (*Draw)(TCanvas*, int, int, TColor);
        std::vector<std::string> Picture;
    };
    const Case Cases[] = {
        {"close",
         &DrawCloseImage,
         {"..........", ".rr.....rr", "..rr...rr.", "...rr.rr..", "....rrr...", "....rrr...", "...rr.rr..",
          "..rr...rr.", ".rr.....rr", ".........."}},
        {"minimize",
         &DrawMinimizeImage,
         {"..........", "..........", "..........", "..........", "..........", "..........", "..........",
          "..........", ".rrrrrrrr.", ".rrrrrrrr."}},
        {"sys menu",
         &DrawSysMenuImage,
         {"..........", "..........", "..........", ".rrrrrrrr.", ".r......r.", ".rrrrrrrr.", "..........",
          "..........", "..........", ".........."}},
        // The last row of the triangle is a one-point line, which draws nothing.
        {"roll down",
         &DrawRollDownImage,
         {"..........", "..........", ".rrrrrrrr.", "..rrrrrr..", "...rrrr...", "....rr....", "..........",
          "..........", "..........", ".........."}},
        {"to tray",
         &DrawMinimizeToTrayImage,
         {"..........", "..........", "..rrrrr...", "..rrrrr...", "..rrrrr...", "..rrrrr...", "..rrrrr...",
          "..........", "..........", ".........."}},
    };
    for (const Case& C : Cases) {
        TSheet S(10, 10);
        C.Draw(S.Canvas(), 0, 0, clRed);
        ExpectPicture(S, C.Picture, C.Name);
    }
    TSheet Max(11, 10);
    DrawMaximizeImage(Max.Canvas(), 0, 0, clRed);
    EXPECT_EQ(Max.Picture()[1], "rrrrrrrrrrr");
    EXPECT_EQ(Max.Picture()[5], "r.........r");
    EXPECT_EQ(Max.Picture()[9], "rrrrrrrrrrr");
}

TEST(SkinDrawing, TextMeasuringAndFitting) {
    TSheet S(10, 10);
    UseBlockFont(S.Canvas(), clBlack);
    EXPECT_EQ(GetWideTextWidth(S.Canvas(), u"abc"), 12);
    EXPECT_EQ(GetWideTextHeight(S.Canvas(), u"abc"), 8);
    struct Case {
        int Width;
        const char16_t* Expected;
    };
    // Characters are 4 wide, "..." 12.
    const Case Cases[] = {{32, u"abcdefgh"}, {31, u"abcd..."}, {24, u"abc..."}, {12, u"..."}, {5, u"..."}};
    for (const Case& C : Cases) {
        String Wide = u"abcdefgh", Plain = u"abcdefgh";
        FitWideTextToWidth(S.Canvas(), Wide, C.Width);
        FitTextToWidth(S.Canvas(), Plain, C.Width);
        EXPECT_EQ(Wide, C.Expected) << C.Width;
        EXPECT_EQ(Plain, C.Expected) << C.Width;
    }

    // Vertically centred text starts 2 pixels in; nothing is drawn for an empty text.
    TSheet T(20, 12);
    UseBlockFont(T.Canvas(), clBlue);
    T.Canvas()->Brush()->SetStyle(bsClear);
    TextOutVCenteredOffset(T.Canvas(), u"a", TRect{0, 0, 20, 12}, 3);
    EXPECT_EQ(T.Box('b'), (TRect{5, 2, 8, 8}));
    TextOutVCentered(T.Canvas(), u"", TRect{0, 0, 20, 12});
    DrawTextVCentered(T.Canvas(), u"", TRect{0, 0, 20, 12});
    EXPECT_EQ(T.Box('b'), (TRect{5, 2, 8, 8}));
}

TEST(SkinDrawing, RectangleHelpers) {
    EXPECT_TRUE(RectsEqual(TRect{1, 2, 3, 4}, TRect{1, 2, 3, 4}));
    EXPECT_FALSE(RectsEqual(TRect{1, 2, 3, 4}, TRect{1, 2, 3, 5}));
    TRect N{1, 2, 3, 4};
    MakeNullRect(N);
    EXPECT_EQ(N, (TRect{0, 0, 0, 0}));
    EXPECT_TRUE(IsNullRect(TRect{5, 5, 5, 9}));
    EXPECT_TRUE(IsNullRect(TRect{5, 5, 9, 4}));
    EXPECT_FALSE(IsNullRect(TRect{5, 5, 6, 6}));
    EXPECT_TRUE(IsNullPoint(TPoint{0, 3}));
    EXPECT_FALSE(IsNullPoint(TPoint{1, 3}));
    EXPECT_TRUE(PtInRectInclusive(TRect{0, 0, 4, 4}, TPoint{4, 4}));
    EXPECT_FALSE(PtInRectInclusive(TRect{0, 0, 4, 4}, TPoint{5, 4}));
    // The bottom-right corner of R1 must lie inside R2, whose right and bottom are outside.
    EXPECT_TRUE(RectInRect(TRect{1, 1, 3, 3}, TRect{0, 0, 4, 4}));
    EXPECT_FALSE(RectInRect(TRect{1, 1, 4, 3}, TRect{0, 0, 4, 4}));
    EXPECT_TRUE(RectTopOrBottomInRect(TRect{50, 2, 60, 90}, TRect{0, 0, 10, 10}));
    EXPECT_TRUE(RectTopOrBottomInRect(TRect{50, -5, 60, 9}, TRect{0, 0, 10, 10}));
    EXPECT_FALSE(RectTopOrBottomInRect(TRect{50, -5, 60, 10}, TRect{0, 0, 10, 10}));
    EXPECT_EQ(IntMax(3, -4), 3);
    EXPECT_EQ(IntMin(3, -4), -4);
    EXPECT_EQ(GetRectWidth(TRect{2, 3, 7, 10}), 5);
    EXPECT_EQ(GetRectHeight(TRect{2, 3, 7, 10}), 7);
}

TEST(SkinDrawing, TokensAndRectanglesFromText) {
    struct Case {
        const char16_t* Text;
        TRect Expected;
    };
    const Case Cases[] = {
        {u"1, 2, 3, 4", {1, 2, 3, 4}},
        {u"10;20=30:-40", {10, 20, 30, -40}},
        {u"(1, 2, 3, 4)", {0, 0, 0, 0}}, // the opening bracket ends an empty first token
        {u"1, 2, x, 4", {0, 0, 0, 0}},
        {u"1, 2, 3", {0, 0, 0, 0}},
        {u"", {0, 0, 0, 0}},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(StrToRect(String(C.Text)), C.Expected) << String(C.Text).size();

    String S = u"  alpha  beta,gamma";
    String Token;
    NextToken(S, Token);
    EXPECT_EQ(Token, u"");
    EXPECT_EQ(S, u"alpha  beta,gamma");
    NextToken(S, Token);
    EXPECT_EQ(Token, u"alpha");
    EXPECT_EQ(S, u"beta,gamma");
    NextToken(S, Token);
    EXPECT_EQ(Token, u"beta");
    NextToken(S, Token);
    EXPECT_EQ(Token, u"gamma");
    EXPECT_EQ(S, u"");
}

TEST(SkinDrawing, StreamTexts) {
    TMemoryStream M;
    WriteStreamString(&M, u"Glow图标");
    EXPECT_EQ(M.Size(), 4 + 12);
    const auto* Bytes = static_cast<const Byte*>(M.Memory());
    EXPECT_EQ((std::vector<int>{Bytes[0], Bytes[1], Bytes[2], Bytes[3], Bytes[4], Bytes[5]}),
              (std::vector<int>{6, 0, 0, 0, 'G', 0}));
    M.SetPosition(0);
    String Back;
    ReadStreamString(&M, Back);
    EXPECT_EQ(Back, u"Glow图标");

    // A count that is negative or larger than what follows is refused before anything is allocated.
    for (std::int32_t Count : {-1, 7, 0x7FFFFFFF}) {
        TMemoryStream Bad;
        Bad.WriteValue<std::int32_t>(Count);
        Bad.WriteBuffer(u"abcdef", 12);
        Bad.SetPosition(0);
        String Out = u"kept";
        EXPECT_THROW(ReadStreamString(&Bad, Out), EReadError) << Count;
        EXPECT_EQ(Out, u"kept");
    }
}

namespace {

// A windowed parent that erases in its colour and paints a green square at (4, 2) .. (8, 6).
class TPaintingPanel : public TWinControl {
public:
    using TWinControl::TWinControl;
    std::vector<std::string> Log;
    void Dispatch(TMessage& Message) override {
        if (Message.Msg == WM_ERASEBKGND) {
            Log.push_back(ControlState().Contains(csPaintCopy) ? "erase(copy)" : "erase");
            RECT R{0, 0, Width(), Height()};
            HBRUSH B = CreateSolidBrush(RGB(0, 0, 255));
            FillRect(reinterpret_cast<HDC>(Message.WParam), &R, B);
            DeleteObject(B);
            Message.Result = 1;
            return;
        }
        TWinControl::Dispatch(Message);
    }
    void PaintWindow(HDC DC) override {
        Log.push_back("paint");
        RECT R{4, 2, 8, 6};
        HBRUSH B = CreateSolidBrush(RGB(0, 255, 0));
        FillRect(DC, &R, B);
        DeleteObject(B);
    }
};

// A graphic control that paints itself red.
class TRedShape : public TControl {
public:
    using TControl::TControl;
    void Dispatch(TMessage& Message) override {
        if (Message.Msg == WM_PAINT) {
            RECT R{0, 0, Width() + 5, Height() + 5}; // beyond its size: the clip must hold it
            HBRUSH B = CreateSolidBrush(RGB(255, 0, 0));
            FillRect(reinterpret_cast<HDC>(Message.WParam), &R, B);
            DeleteObject(B);
            return;
        }
        TControl::Dispatch(Message);
    }
};

} // namespace

TEST(SkinDrawing, ParentBackgroundUnderAControl) {
    TWinControl Form(nullptr);
    Form.SetBounds(0, 0, 40, 30);
    auto* Panel = new TPaintingPanel(&Form);
    Panel->SetParent(&Form);
    Panel->SetBounds(0, 0, 20, 12);
    auto* Before = new TRedShape(Panel);
    Before->SetParent(Panel);
    Before->SetBounds(7, 4, 2, 2);
    auto* Hidden = new TRedShape(Panel);
    Hidden->SetParent(Panel);
    Hidden->SetBounds(3, 3, 3, 3);
    Hidden->SetVisible(false);
    auto* Control = new TRedShape(Panel);
    Control->SetParent(Panel);
    Control->SetBounds(3, 1, 6, 5);
    auto* After = new TRedShape(Panel);
    After->SetParent(Panel);
    After->SetBounds(3, 1, 6, 5);

    TSheet S(6, 5);
    PaintParentBackground(Control, S.Canvas());
    // The panel's square from (4, 2) seen from (3, 1), the earlier red sibling at (7, 4); the hidden sibling and
    // the one after the control are left out.
    ExpectPicture(S, {"bbbbbb", "bggggb", "bggggb", "bgggrr", "bgggrr"}, "parent background");
    EXPECT_EQ(Panel->Log, (std::vector<std::string>{"erase(copy)", "paint"}));
    EXPECT_FALSE(Panel->ControlState().Contains(csPaintCopy));

    // The part from (2, 1) of the control: the canvas origin shows the control's point (2, 1).
    TSheet Part(4, 4);
    PaintParentBackgroundRect(Control, TRect{2, 1, 6, 5}, Part.Canvas());
    ExpectPicture(Part, {"gggb", "gggb", "ggrr", "ggrr"}, "parent background part");
}
