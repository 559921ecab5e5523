// Writes gdi_contact_sheet.png (in the working directory, the build folder): text in Latin and Chinese with the
// DrawText flags, fonts, shapes, pens, blits and the system icons, for a person to look at.
#include "platform/gdi/Graphics.h"
#include "platform/gdi/Resources.h"

#include <gtest/gtest.h>

namespace {

struct Cell {
    const char16_t* Label;
    const char16_t* Text;
    UINT Flags;
};

void Frame(TCanvas* c, const TRect& r) {
    c->Brush()->SetColor(clSilver);
    c->FrameRect(r);
}

void DrawCells(TCanvas* c) {
    const Cell cells[] = {
        {u"DT_LEFT", u"Convert video", DT_SINGLELINE},
        {u"DT_CENTER|DT_VCENTER", u"Convert video", DT_SINGLELINE | DT_CENTER | DT_VCENTER},
        {u"DT_RIGHT|DT_BOTTOM", u"Convert video", DT_SINGLELINE | DT_RIGHT | DT_BOTTOM},
        {u"DT_WORDBREAK", u"A converter for video and audio files with output profiles", DT_WORDBREAK},
        {u"DT_END_ELLIPSIS", u"A title far too long for its little box", DT_SINGLELINE | DT_END_ELLIPSIS},
        {u"DT_PATH_ELLIPSIS", u"/home/user/Videos/holiday/clip-0001.avi", DT_SINGLELINE | DT_PATH_ELLIPSIS},
        {u"prefix", u"&Open && &Save", DT_SINGLELINE},
        {u"DT_NOPREFIX", u"&Open && &Save", DT_SINGLELINE | DT_NOPREFIX},
        {u"DT_EXPANDTABS", u"Name\tSize\tTime", DT_SINGLELINE | DT_EXPANDTABS},
        {u"Chinese, centred", u"视频转换器：正在转换", DT_SINGLELINE | DT_CENTER | DT_VCENTER},
        {u"Chinese, word break", u"请选择 输出 格式 然后 点击 开始 转换", DT_WORDBREAK | DT_CENTER},
        {u"DT_NOCLIP", u"This line runs past the right edge", DT_SINGLELINE | DT_NOCLIP},
    };
    c->Font()->SetName(u"Tahoma");
    c->Font()->SetHeight(-11);
    for (int i = 0; i < 12; ++i) {
        int col = i % 4, row = i / 4;
        TRect label = Bounds(10 + col * 220, 40 + row * 80, 200, 14);
        TRect box = Bounds(10 + col * 220, 56 + row * 80, 150, 50);
        c->Brush()->SetStyle(bsClear);
        c->Font()->SetColor(clGray);
        c->TextOut(label.Left, label.Top, cells[i].Label);
        c->Brush()->SetColor(clWhite);
        c->FillRect(box);
        Frame(c, box);
        c->Brush()->SetStyle(bsClear);
        c->Font()->SetColor(clBlack);
        c->Font()->SetName(i >= 9 && i <= 10 ? u"宋体" : u"Tahoma");
        TRect r = box;
        DrawTextW(c->Handle(), cells[i].Text, -1, &r, cells[i].Flags);
        c->Font()->SetName(u"Tahoma");
    }
}

void DrawFonts(TCanvas* c) {
    struct F {
        const char16_t* Name;
        int Height;
        TFontStyles Style;
        const char16_t* Text;
    } fonts[] = {
        {u"Tahoma", -11, {}, u"Tahoma 8 pt: The quick brown fox 0123456789"},
        {u"Arial", -16, TFontStyles{fsBold}, u"Arial bold 12 pt: Quorvane converter"},
        {u"MS Sans Serif", -13, TFontStyles{fsItalic, fsUnderline}, u"MS Sans Serif italic underlined"},
        {u"Times New Roman", -18, TFontStyles{fsStrikeOut}, u"Times struck out"},
        {u"宋体", -14, {}, u"宋体：预览、播放、暂停、停止、截图"},
        {u"SimSun", -20, TFontStyles{fsBold}, u"SimSun 粗体 20 px 转换完成"},
        {u"Tahoma", -12, {}, u"Mixed: 文件 file.avi 已转换 100%"},
    };
    int y = 290;
    for (const auto& f : fonts) {
        c->Font()->SetName(f.Name);
        c->Font()->SetHeight(f.Height);
        c->Font()->SetStyle(f.Style);
        c->Font()->SetColor(TColor(0x402000));
        c->Brush()->SetStyle(bsClear);
        c->TextOut(10, y, f.Text);
        y += c->TextHeight(f.Text) + 4;
    }
    c->Font()->SetStyle({});
}

void DrawShapes(TCanvas* c) {
    int x0 = 460, y0 = 290;
    c->Pen()->SetColor(clNavy);
    c->Brush()->SetColor(TColor(0x80C0FF));
    c->Rectangle(x0, y0, x0 + 60, y0 + 40);
    c->Ellipse(x0 + 70, y0, x0 + 130, y0 + 40);
    c->RoundRect(x0 + 140, y0, x0 + 200, y0 + 40, 16, 16);
    c->Polygon({{x0 + 230, y0}, {x0 + 260, y0 + 40}, {x0 + 200 + 10, y0 + 40}});
    const TPenStyle styles[] = {psSolid, psDash, psDot, psDashDot, psDashDotDot};
    for (int i = 0; i < 5; ++i) {
        c->Pen()->SetStyle(styles[i]);
        c->MoveTo(x0, y0 + 55 + i * 6);
        c->LineTo(x0 + 200, y0 + 55 + i * 6);
    }
    c->Pen()->SetStyle(psSolid);
    c->Pen()->SetWidth(3);
    c->Pen()->SetColor(clMaroon);
    c->MoveTo(x0, y0 + 95);
    c->LineTo(x0 + 100, y0 + 125);
    c->Pen()->SetWidth(1);
    // pmNot line across a coloured band.
    c->Brush()->SetColor(clTeal);
    c->FillRect(Rect(x0 + 110, y0 + 95, x0 + 250, y0 + 125));
    c->Pen()->SetMode(pmNot);
    c->MoveTo(x0 + 110, y0 + 110);
    c->LineTo(x0 + 250, y0 + 110);
    c->Pen()->SetMode(pmCopy);
    RECT e = {x0, y0 + 135, x0 + 60, y0 + 165};
    DrawEdge(c->Handle(), &e, EDGE_RAISED, BF_RECT | BF_MIDDLE);
    RECT f = {x0 + 70, y0 + 135, x0 + 130, y0 + 165};
    DrawEdge(c->Handle(), &f, EDGE_SUNKEN, BF_RECT);
    RECT g = {x0 + 140, y0 + 135, x0 + 200, y0 + 165};
    DrawFocusRect(c->Handle(), &g);
}

void DrawBlits(TCanvas* c) {
    int x0 = 460, y0 = 470;
    // A premultiplied gradient blended over a checker board.
    TBitmap checker(128, 40);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 128; ++x)
            checker.Canvas()->SetPixels(x, y, ((x / 8 + y / 8) & 1) ? clWhite : clSilver);
    c->Draw(x0, y0, &checker);
    TBitmap grad;
    grad.SetPixelFormat(pf32bit);
    grad.SetSize(128, 40);
    for (int y = 0; y < 40; ++y) {
        auto* row = static_cast<std::uint32_t*>(grad.ScanLine(y));
        for (int x = 0; x < 128; ++x) {
            std::uint32_t a = std::uint32_t(x * 2);
            row[x] = (a << 24) | ((a * 200 / 255) << 8) | (a * 40 / 255);
        }
    }
    grad.SetAlphaFormat(afPremultiplied);
    c->Draw(x0, y0, &grad);
    // Stretched up by nearest neighbour.
    TBitmap small(4, 4);
    for (int i = 0; i < 16; ++i)
        small.Canvas()->SetPixels(i % 4, i / 4, (i % 3) ? TColor(0x3050C0 + i * 0x0A0A) : clYellow);
    c->StretchDraw(Bounds(x0 + 140, y0, 40, 40), &small);
    // System icons.
    int x = x0 + 200;
    for (LPCWSTR id : {IDI_HAND, IDI_QUESTION, IDI_EXCLAMATION, IDI_ASTERISK, IDI_APPLICATION}) {
        DrawIcon(c->Handle(), x, y0 + 4, LoadIconW(nullptr, id));
        x += 40;
    }
}

TEST(ContactSheet, WritesAPictureOfTextAndShapes) {
    TBitmap sheet(900, 640);
    TCanvas* c = sheet.Canvas();
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(Rect(0, 0, 900, 640));
    c->Font()->SetName(u"Arial");
    c->Font()->SetHeight(-18);
    c->Font()->SetStyle(TFontStyles{fsBold});
    c->Brush()->SetStyle(bsClear);
    c->TextOut(10, 8, u"Quorvane drawing layer — 绘图层");
    c->Font()->SetStyle({});
    DrawCells(c);
    DrawFonts(c);
    DrawShapes(c);
    DrawBlits(c);
    TPngImage png;
    png.Assign(&sheet);
    png.SaveToFile(u"gdi_contact_sheet.png");
    TPngImage back;
    back.LoadFromFile(u"gdi_contact_sheet.png");
    EXPECT_EQ(back.Width(), 900);
    EXPECT_EQ(back.Height(), 640);
}

} // namespace
