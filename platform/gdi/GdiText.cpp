// Text output and measuring: TextOut, ExtTextOut, TabbedTextOut, extents, metrics and DrawText.
//
// Glyphs are grey-scale coverage blended in the text colour. DrawText lays out lines (hard breaks, word breaks at
// blanks, tabs every eight average character widths), "&" prefixes, ellipses and alignment; a word wider than the
// rectangle stays whole on its own line. Reading order is kept as stored: DT_RTLREADING and ETO_RTLREADING are
// accepted, and text is not reordered.
#include "platform/gdi/GdiFonts.h"
#include "platform/gdi/GdiInternal.h"

#include <algorithm>

using namespace gdi;

namespace {

const LOGFONTW& LogOf(const DC& dc) {
    static const LOGFONTW fallback = [] {
        LOGFONTW lf;
        lf.lfHeight = -11;
        const char16_t* n = u"MS Sans Serif";
        for (int i = 0; n[i]; ++i)
            lf.lfFaceName[i] = n[i];
        return lf;
    }();
    return dc.S.SelFont.Obj ? dc.S.SelFont.Obj->Log : fallback;
}

int Length(LPCWSTR s, int n) {
    if (!s)
        return 0;
    if (n >= 0)
        return n;
    int len = 0;
    while (s[len])
        ++len;
    return len;
}

struct RunOptions {
    const TRect* Clip = nullptr;                  // surface coordinates
    const int* Dx = nullptr;                      // per UTF-16 unit
    const std::vector<int>* Underlined = nullptr; // code point indexes with a prefix underline
    int TabWidth = 0;                             // > 0: tabs advance to the next multiple from the run start
    int TabOrigin = 0;
};

// Advances of the code points (tabs expanded when asked).
std::vector<int> Advances(FontInstance& fi, const std::vector<CodePoint>& cps, const RunOptions& o, int startX = 0) {
    std::vector<int> adv(cps.size());
    int x = startX;
    for (std::size_t i = 0; i < cps.size(); ++i) {
        int a;
        if (o.Dx) {
            a = o.Dx[cps[i].Index];
            if (cps[i].Cp >= 0x10000)
                a += o.Dx[cps[i].Index + 1];
        } else if (cps[i].Cp == U'\t' && o.TabWidth > 0) {
            int rel = x - o.TabOrigin;
            a = (rel / o.TabWidth + 1) * o.TabWidth - rel;
        } else {
            a = fi.GlyphOf(cps[i].Cp).Advance;
        }
        adv[i] = a;
        x += a;
    }
    return adv;
}

int Sum(const std::vector<int>& v) {
    int s = 0;
    for (int a : v)
        s += a;
    return s;
}

void FillSolid(DC& dc, const TRect& r, COLORREF c, const TRect* clip) {
    TRect rr = r;
    if (clip && !IntersectRect(rr, r, *clip))
        return;
    BrushSource bs;
    bs.Null = false;
    bs.Color = PixelFromColor(c);
    FillSurfaceRect(dc, rr, bs, 0xF0);
}

// Draws code points with the pen at surface (x, top of the cell); returns the width.
int DrawRun(DC& dc, FontInstance& fi, const std::vector<CodePoint>& cps, int x, int top, const RunOptions& o) {
    Bitmap* t = dc.Target();
    std::vector<int> adv = Advances(fi, cps, o);
    int width = Sum(adv);
    if (!t)
        return width;
    Pixel color = PixelFromColor(dc.S.TextColor);
    int pen = x;
    for (std::size_t i = 0; i < cps.size(); ++i) {
        const Glyph& g = fi.GlyphOf(cps[i].Cp);
        int gx = pen + g.Left, gy = top + g.Top;
        for (int row = 0; row < g.Height; ++row) {
            int sy = gy + row;
            if (o.Clip && (sy < o.Clip->Top || sy >= o.Clip->Bottom))
                continue;
            int x0 = gx, x1 = gx + g.Width;
            if (o.Clip) {
                x0 = std::max(x0, o.Clip->Left);
                x1 = std::min(x1, o.Clip->Right);
            }
            const std::uint8_t* cov = g.Coverage.data() + std::size_t(row) * g.Width;
            ClipSpan(dc, sy, x0, x1, [&](int a, int b) {
                for (int sx = a; sx < b; ++sx)
                    BlendCoverage(*t, sx, sy, color, cov[sx - gx]);
            });
        }
        if (o.Underlined && std::find(o.Underlined->begin(), o.Underlined->end(), int(i)) != o.Underlined->end())
            FillSolid(dc, {pen, top + fi.UnderlineOffset(), pen + adv[i], top + fi.UnderlineOffset() + 1},
                      dc.S.TextColor, o.Clip);
        pen += adv[i];
    }
    const LOGFONTW& lf = fi.Log();
    int th = fi.LineThickness();
    if (lf.lfUnderline)
        FillSolid(dc, {x, top + fi.UnderlineOffset(), x + width, top + fi.UnderlineOffset() + th}, dc.S.TextColor,
                  o.Clip);
    if (lf.lfStrikeOut)
        FillSolid(dc, {x, top + fi.StrikeOffset(), x + width, top + fi.StrikeOffset() + th}, dc.S.TextColor, o.Clip);
    return width;
}

TRect Surf(const DC& dc, const RECT& r) {
    return {r.Left + dc.OffX(), r.Top + dc.OffY(), r.Right + dc.OffX(), r.Bottom + dc.OffY()};
}

} // namespace

BOOL ExtTextOutW(HDC hdc, int x, int y, UINT options, const RECT* lprect, LPCWSTR s, UINT c, const int* lpDx) {
    auto dc = FindDC(hdc);
    if (!dc)
        return false;
    std::lock_guard<std::mutex> lock(FontLock());
    FontInstance& fi = InstanceFor(LogOf(*dc));
    const TEXTMETRICW& tm = fi.Metrics();
    auto cps = Decode(s ? s : u"", s ? int(c) : 0);
    RunOptions o;
    o.Dx = lpDx;
    int w = Sum(Advances(fi, cps, o));
    UINT align = dc->S.TextAlign;
    if (align & TA_UPDATECP) {
        x = dc->S.CurPos.X;
        y = dc->S.CurPos.Y;
    }
    int left = x;
    if ((align & TA_CENTER) == TA_CENTER)
        left = x - w / 2;
    else if (align & TA_RIGHT)
        left = x - w;
    int top = y;
    if ((align & TA_BASELINE) == TA_BASELINE)
        top = y - tm.tmAscent;
    else if (align & TA_BOTTOM)
        top = y - tm.tmHeight;
    if (align & TA_UPDATECP)
        dc->S.CurPos.X = (align & TA_RIGHT) && (align & TA_CENTER) != TA_CENTER ? left : left + w;
    TRect clipRect;
    if (lprect) {
        clipRect = Surf(*dc, *lprect);
        if (options & ETO_OPAQUE)
            FillSolid(*dc, clipRect, dc->S.BkColor, nullptr);
        if (options & ETO_CLIPPED)
            o.Clip = &clipRect;
    }
    int sx = left + dc->OffX(), sy = top + dc->OffY();
    if (dc->S.BkMode == OPAQUE && !cps.empty())
        FillSolid(*dc, {sx, sy, sx + w, sy + tm.tmHeight}, dc->S.BkColor, o.Clip);
    DrawRun(*dc, fi, cps, sx, sy, o);
    return true;
}

BOOL TextOutW(HDC hdc, int x, int y, LPCWSTR s, int c) {
    return ExtTextOutW(hdc, x, y, 0, nullptr, s, UINT(std::max(0, c)), nullptr);
}

namespace {

// Tab stops: none given -> every eight average widths; one -> every that many pixels; more -> the positions,
// then the last interval repeated.
int NextTab(int x, int origin, int n, const int* stops, int ave) {
    int rel = x - origin;
    if (n <= 0 || !stops) {
        int w = 8 * ave;
        return origin + (rel / w + 1) * w;
    }
    if (n == 1) {
        int w = std::max(1, stops[0]);
        return origin + (rel / w + 1) * w;
    }
    for (int i = 0; i < n; ++i)
        if (stops[i] > rel)
            return origin + stops[i];
    int last = std::max(1, stops[n - 1] - stops[n - 2]);
    int p = stops[n - 1];
    while (p <= rel)
        p += last;
    return origin + p;
}

} // namespace

LONG TabbedTextOutW(HDC hdc, int x, int y, LPCWSTR s, int chCount, int nTabPositions, const int* stops,
                    int nTabOrigin) {
    auto dc = FindDC(hdc);
    if (!dc)
        return 0;
    int n = Length(s, chCount);
    int pen = x, height;
    {
        std::lock_guard<std::mutex> lock(FontLock());
        height = InstanceFor(LogOf(*dc)).Metrics().tmHeight;
    }
    int segStart = 0;
    for (int i = 0; i <= n; ++i) {
        if (i < n && s[i] != u'\t')
            continue;
        int len = i - segStart;
        SIZE sz{};
        if (len > 0) {
            GetTextExtentPoint32W(hdc, s + segStart, len, &sz);
            TextOutW(hdc, pen, y, s + segStart, len);
            pen += sz.cx;
        }
        if (i < n) {
            int ave;
            {
                std::lock_guard<std::mutex> lock(FontLock());
                ave = InstanceFor(LogOf(*dc)).Metrics().tmAveCharWidth;
            }
            pen = NextTab(pen, nTabOrigin, nTabPositions, stops, ave);
        }
        segStart = i + 1;
    }
    return LONG(MAKELONG(WORD(pen - x), WORD(height)));
}

BOOL GetTextExtentPoint32W(HDC hdc, LPCWSTR s, int c, SIZE* sz) {
    auto dc = FindDC(hdc);
    if (!dc || !sz)
        return false;
    std::lock_guard<std::mutex> lock(FontLock());
    FontInstance& fi = InstanceFor(LogOf(*dc));
    auto cps = Decode(s ? s : u"", s ? std::max(0, c) : 0);
    sz->cx = Sum(Advances(fi, cps, RunOptions{}));
    sz->cy = fi.Metrics().tmHeight;
    return true;
}

BOOL GetTextExtentExPointW(HDC hdc, LPCWSTR s, int n, int maxExtent, int* fit, int* dx, SIZE* size) {
    auto dc = FindDC(hdc);
    if (!dc)
        return false;
    std::lock_guard<std::mutex> lock(FontLock());
    FontInstance& fi = InstanceFor(LogOf(*dc));
    auto cps = Decode(s ? s : u"", s ? std::max(0, n) : 0);
    auto adv = Advances(fi, cps, RunOptions{});
    int x = 0, fitted = 0;
    for (std::size_t i = 0; i < cps.size(); ++i) {
        x += adv[i];
        int units = cps[i].Cp >= 0x10000 ? 2 : 1;
        if (dx)
            for (int u = 0; u < units; ++u)
                dx[cps[i].Index + u] = x;
        if (x <= maxExtent || maxExtent < 0)
            fitted = cps[i].Index + units;
    }
    if (fit)
        *fit = fitted;
    if (size)
        *size = {x, fi.Metrics().tmHeight};
    return true;
}

BOOL GetTextMetricsW(HDC hdc, TEXTMETRICW* tm) {
    auto dc = FindDC(hdc);
    if (!dc || !tm)
        return false;
    std::lock_guard<std::mutex> lock(FontLock());
    *tm = InstanceFor(LogOf(*dc)).Metrics();
    return true;
}

int GetTextFaceW(HDC hdc, int c, LPWSTR name) {
    auto dc = FindDC(hdc);
    if (!dc)
        return 0;
    const LOGFONTW& lf = LogOf(*dc);
    int len = 0;
    while (len < LF_FACESIZE && lf.lfFaceName[len])
        ++len;
    if (!name)
        return len + 1;
    int n = std::min(len, c - 1);
    for (int i = 0; i < n; ++i)
        name[i] = lf.lfFaceName[i];
    if (c > 0)
        name[std::max(0, n)] = 0;
    return n;
}

// ---- DrawText ----

namespace {

struct Line {
    std::u16string Text;
    std::vector<int> Underlined; // code point indexes
    int Width = 0;
};

struct Layout {
    FontInstance* Fi;
    int TabWidth;
    bool Tabs;

    int Measure(const std::u16string& s) const { return MeasureFrom(s.data(), int(s.size()), 0); }
    // Width of n units placed at startX of a line (tab stops count from the line's start).
    int MeasureFrom(const char16_t* s, int n, int startX) const {
        RunOptions o;
        o.TabWidth = Tabs ? TabWidth : 0;
        return Sum(Advances(*Fi, Decode(s, n), o, startX));
    }
};

// Removes "&" prefixes: "&&" is one "&", "&x" underlines x.
void StripPrefixes(const std::u16string& in, std::u16string& out, std::vector<int>& marks) {
    for (std::size_t i = 0; i < in.size(); ++i) {
        if (in[i] == u'&') {
            if (i + 1 < in.size() && in[i + 1] == u'&') {
                out += u'&';
                ++i;
                continue;
            }
            if (i + 1 < in.size())
                marks.push_back(int(out.size()));
            continue;
        }
        out += in[i];
    }
}

// Marks are unit positions in the whole text; each line gets those that fall within it, as code point indexes.
void AssignMarks(Line& line, int start, const std::vector<int>& marks) {
    auto cps = Decode(line.Text.data(), int(line.Text.size()));
    for (int m : marks)
        for (std::size_t k = 0; k < cps.size(); ++k)
            if (start + cps[k].Index == m)
                line.Underlined.push_back(int(k));
}

std::vector<Line> BreakLines(const std::u16string& text, const std::vector<int>& marks, UINT fmt, int width,
                             const Layout& lay) {
    std::vector<Line> lines;
    auto emit = [&](int start, int end) {
        Line l;
        l.Text = text.substr(start, end - start);
        AssignMarks(l, start, marks);
        lines.push_back(std::move(l));
    };
    if (fmt & DT_SINGLELINE) {
        // Line breaks are not drawn in a single line.
        Line l;
        for (std::size_t i = 0; i < text.size(); ++i)
            if (text[i] != u'\r' && text[i] != u'\n')
                l.Text += text[i];
        // Marks map by walking the kept characters.
        std::u16string kept;
        std::vector<int> keptMarks;
        int k = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == u'\r' || text[i] == u'\n')
                continue;
            if (std::find(marks.begin(), marks.end(), int(i)) != marks.end())
                keptMarks.push_back(k);
            ++k;
        }
        AssignMarks(l, 0, keptMarks);
        lines.push_back(std::move(l));
        return lines;
    }
    int n = int(text.size());
    int start = 0;
    while (start <= n) {
        int end = start;
        while (end < n && text[end] != u'\r' && text[end] != u'\n')
            ++end;
        // Paragraph [start, end): wrapped at blanks when asked; blanks at a break are dropped.
        if (fmt & DT_WORDBREAK) {
            int ls = start;
            while (true) {
                int pos = ls, fitEnd = -1, lineW = 0;
                while (pos < end) {
                    int wordEnd = pos;
                    while (wordEnd < end && text[wordEnd] != u' ' && text[wordEnd] != u'\t')
                        ++wordEnd;
                    // The line grows word by word: only the new part is measured.
                    int w = lineW + lay.MeasureFrom(text.data() + pos, wordEnd - pos, lineW);
                    if (fitEnd >= 0 && w > width)
                        break;
                    fitEnd = wordEnd;
                    lineW = w;
                    int blanks = wordEnd;
                    while (wordEnd < end && (text[wordEnd] == u' ' || text[wordEnd] == u'\t'))
                        ++wordEnd;
                    lineW += lay.MeasureFrom(text.data() + blanks, wordEnd - blanks, lineW);
                    pos = wordEnd;
                }
                if (fitEnd < 0) {
                    emit(ls, end);
                    break;
                }
                emit(ls, fitEnd);
                ls = pos;
                if (ls >= end)
                    break;
            }
        } else {
            emit(start, end);
        }
        if (end >= n)
            break;
        // A line break ends the line; a final one is followed by an empty line, as on the platform.
        if (text[end] == u'\r' && end + 1 < n && text[end + 1] == u'\n')
            ++end;
        start = end + 1;
    }
    return lines;
}

const std::u16string kEllipsis = u"...";

void EndEllipsis(Line& l, int width, const Layout& lay) {
    if (lay.Measure(l.Text) <= width)
        return;
    auto cps = Decode(l.Text.data(), int(l.Text.size()));
    std::size_t keep = cps.size();
    while (keep > 0) {
        --keep;
        std::u16string cand = l.Text.substr(0, keep < cps.size() ? cps[keep].Index : l.Text.size()) + kEllipsis;
        if (lay.Measure(cand) <= width) {
            l.Text = cand;
            return;
        }
    }
    l.Text = kEllipsis;
}

void PathEllipsis(Line& l, int width, const Layout& lay) {
    if (lay.Measure(l.Text) <= width)
        return;
    std::size_t sep = l.Text.find_last_of(u"\\/");
    if (sep == std::u16string::npos) {
        EndEllipsis(l, width, lay);
        return;
    }
    std::u16string head = l.Text.substr(0, sep), tail = l.Text.substr(sep);
    while (!head.empty()) {
        head.pop_back();
        if (lay.Measure(head + kEllipsis + tail) <= width) {
            l.Text = head + kEllipsis + tail;
            return;
        }
    }
    l.Text = kEllipsis + tail;
    if (lay.Measure(l.Text) > width)
        EndEllipsis(l, width, lay);
}

} // namespace

int DrawTextExW(HDC hdc, LPWSTR text, int cch, RECT* rc, UINT fmt, DRAWTEXTPARAMS* params) {
    auto dc = FindDC(hdc);
    if (!dc || !rc)
        return 0;
    int n = Length(text, cch);
    std::u16string src(text ? text : u"", std::size_t(n));
    std::lock_guard<std::mutex> lock(FontLock());
    FontInstance& fi = InstanceFor(LogOf(*dc));
    const TEXTMETRICW& tm = fi.Metrics();
    int tabChars = 8;
    if (params && params->iTabLength > 0)
        tabChars = params->iTabLength;
    else if (fmt & DT_TABSTOP)
        tabChars = std::max(1, int((fmt >> 8) & 0xFF));
    Layout lay{&fi, tabChars * tm.tmAveCharWidth, (fmt & DT_EXPANDTABS) != 0};
    std::u16string plain;
    std::vector<int> marks;
    if (fmt & DT_NOPREFIX)
        plain = src;
    else
        StripPrefixes(src, plain, marks);
    if (fmt & DT_HIDEPREFIX)
        marks.clear();
    int left = rc->Left + (params ? params->iLeftMargin : 0);
    int right = rc->Right - (params ? params->iRightMargin : 0);
    int width = right - left;
    std::vector<Line> lines = BreakLines(plain, marks, fmt, width, lay);
    bool calc = (fmt & DT_CALCRECT) != 0;
    for (auto& l : lines) {
        if (!calc) {
            if (fmt & DT_PATH_ELLIPSIS)
                PathEllipsis(l, width, lay);
            else if (fmt & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS))
                EndEllipsis(l, width, lay);
        }
        l.Width = lay.Measure(l.Text);
    }
    if ((fmt & DT_MODIFYSTRING) && text && cch != 0 && lines.size() == 1 &&
        (fmt & (DT_PATH_ELLIPSIS | DT_END_ELLIPSIS)) && !calc) {
        // The caller's buffer holds the shortened text; it is at most the original length plus the ellipsis.
        const std::u16string& s = lines[0].Text;
        std::size_t room = std::size_t(n) + 4;
        std::size_t m = std::min(s.size(), room - 1);
        std::copy(s.begin(), s.begin() + std::ptrdiff_t(m), text);
        text[m] = 0;
    }
    int lineH = tm.tmHeight + ((fmt & DT_EXTERNALLEADING) ? tm.tmExternalLeading : 0);
    if (plain.empty())
        lines.clear(); // an empty text draws and measures nothing
    int textH = int(lines.size()) * lineH;
    if (calc) {
        int maxW = 0;
        for (auto& l : lines)
            maxW = std::max(maxW, l.Width);
        rc->Right = rc->Left + maxW + (params ? params->iLeftMargin + params->iRightMargin : 0);
        rc->Bottom = rc->Top + textH;
        return textH;
    }
    int top = rc->Top;
    if (fmt & DT_SINGLELINE) {
        if (fmt & DT_VCENTER)
            top = rc->Top + (rc->Bottom - rc->Top - textH) / 2;
        else if (fmt & DT_BOTTOM)
            top = rc->Bottom - textH;
    }
    TRect clip = Surf(*dc, *rc);
    RunOptions o;
    o.TabWidth = lay.Tabs ? lay.TabWidth : 0;
    if (!(fmt & DT_NOCLIP))
        o.Clip = &clip;
    int y = top;
    for (auto& l : lines) {
        int x = left;
        if (fmt & DT_CENTER)
            x = left + (width - l.Width) / 2;
        else if (fmt & DT_RIGHT)
            x = right - l.Width;
        int sx = x + dc->OffX(), sy = y + dc->OffY();
        o.TabOrigin = sx;
        auto cps = Decode(l.Text.data(), int(l.Text.size()));
        if (dc->S.BkMode == OPAQUE && !cps.empty())
            FillSolid(*dc, {sx, sy, sx + l.Width, sy + lineH}, dc->S.BkColor, o.Clip);
        if (fmt & DT_PREFIXONLY) {
            auto adv = Advances(fi, cps, o, sx);
            int pen = sx;
            for (std::size_t i = 0; i < cps.size(); ++i) {
                if (std::find(l.Underlined.begin(), l.Underlined.end(), int(i)) != l.Underlined.end())
                    FillSolid(*dc, {pen, sy + fi.UnderlineOffset(), pen + adv[i], sy + fi.UnderlineOffset() + 1},
                              dc->S.TextColor, o.Clip);
                pen += adv[i];
            }
        } else {
            o.Underlined = &l.Underlined;
            DrawRun(*dc, fi, cps, sx, sy, o);
        }
        y += lineH;
    }
    if (params)
        params->uiLengthDrawn = UINT(n);
    if (fmt & (DT_VCENTER | DT_BOTTOM))
        return (top - rc->Top) + textH;
    return textH;
}

int DrawTextW(HDC hdc, LPCWSTR text, int cch, RECT* rc, UINT fmt) {
    // The text is only read unless DT_MODIFYSTRING is given, which DrawTextW does not allow to change a constant.
    int n = Length(text, cch);
    std::u16string copy(text ? text : u"", std::size_t(n));
    copy.resize(std::size_t(n) + 4);
    return DrawTextExW(hdc, copy.data(), n, rc, fmt & ~DT_MODIFYSTRING, nullptr);
}
