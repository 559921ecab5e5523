#include "tools/artmaker/Pictures.h"

#include <cmath>

#include "platform/base/SysUtils.h"

namespace artmaker {

namespace {

const TRgb White{1, 1, 1};
const TRgb Ink = Rgb(34, 40, 52);
const TRgb Green = Rgb(52, 170, 74);
const TRgb Red = Rgb(222, 62, 52);
const TRgb Amber = Rgb(242, 158, 28);
const TRgb Blue = Rgb(40, 118, 216);
const TRgb Teal = Rgb(22, 160, 168);
const TRgb Slate = Rgb(92, 110, 138);
const TRgb Gold = Rgb(246, 190, 60);
const TRgb Sky = Rgb(150, 212, 255);
const TRgb Deep = Rgb(36, 96, 196);

constexpr float Pi = 3.14159265f;

// Shapes of a drawing made for a square of side Base, scaled to the canvas.
struct TScale {
    float K;
    float operator()(float V) const { return V * K; }
};

// A white glyph with a faint shade under it, as glyphs sit on the round buttons.
void Emboss(TArtCanvas& C, const TShape& S, float K) {
    C.Fill(Moved(S, 0, std::max(0.6f, K)), Rgb(0, 0, 0), 0.28f);
    C.Fill(S, Vertical(0, float(C.Height()), White, Rgb(222, 230, 242)));
}

// A triangle pointing right around (Cx, Cy), R from the centre to the tip, its corners rounded.
TShape PlayShape(float Cx, float Cy, float R) {
    const float Round = R * 0.18f;
    const float Rr = R - Round;
    return Grow(Polygon({{Cx - Rr * 0.6f, Cy - Rr}, {Cx - Rr * 0.6f, Cy + Rr}, {Cx + Rr, Cy}}), Round);
}

TShape Plus(float Cx, float Cy, float R, float W) {
    return Union(Box(Cx - R, Cy - W / 2, Cx + R, Cy + W / 2, W * 0.2f),
                 Box(Cx - W / 2, Cy - R, Cx + W / 2, Cy + R, W * 0.2f));
}

TShape Cross(float Cx, float Cy, float R, float W) {
    return Union(Segment(Cx - R, Cy - R, Cx + R, Cy + R, W), Segment(Cx - R, Cy + R, Cx + R, Cy - R, W));
}

TShape Gear(float Cx, float Cy, float R, int Teeth) {
    TShape S = Circle(Cx, Cy, R * 0.72f);
    for (int I = 0; I < Teeth; ++I) {
        const float A = 2 * Pi * I / Teeth + Pi / Teeth;
        const float Ca = std::cos(A), Sa = std::sin(A);
        S = Union(S,
                  Segment(Cx + Ca * R * 0.5f, Cy + Sa * R * 0.5f, Cx + Ca * R * 0.86f, Cy + Sa * R * 0.86f, R * 0.36f));
    }
    return Subtract(S, Circle(Cx, Cy, R * 0.3f));
}

// An arrow pointing up or down, filling the box.
TShape Arrow(float L, float T, float R, float B, bool Up) {
    const float Cx = (L + R) / 2, W = R - L, H = B - T;
    if (Up) {
        const float Neck = T + H * 0.55f;
        return Union(Polygon({{Cx, T}, {R, Neck}, {L, Neck}}),
                     Box(Cx - W * 0.19f, Neck - 0.5f, Cx + W * 0.19f, B, W * 0.05f));
    }
    const float Neck = B - H * 0.55f;
    return Union(Polygon({{Cx, B}, {R, Neck}, {L, Neck}}),
                 Box(Cx - W * 0.19f, T, Cx + W * 0.19f, Neck + 0.5f, W * 0.05f));
}

// ---- objects shared by several pictures ----

// A frame of film with sprocket holes, a sky picture and a hill, in the box.
void Film(TArtCanvas& C, float L, float T, float R, float B, TRgb Base, bool Play) {
    const float U = std::min(R - L, B - T) / 24;
    C.Object(Box(L, T, R, B, 2.6f * U), Base, T, B);
    const float In = 5 * U;
    const TShape Picture = Box(L + In, T + 2.6f * U, R - In, B - 2.6f * U, 1.4f * U);
    C.Fill(Picture, Vertical(T, B, Sky, Deep));
    C.Fill(Intersect(Picture, Circle((L + R) / 2 - 2 * U, B + 9 * U, 14 * U)),
           Vertical(T, B, Rgb(120, 200, 90), Rgb(40, 130, 60)));
    const int Holes = std::max(3, int((B - T) / (4.2f * U)));
    const float Step = (B - T - 3 * U) / Holes;
    for (int I = 0; I < Holes; ++I) {
        const float Y = T + 1.8f * U + I * Step + (Step - 2 * U) / 2;
        C.Fill(Box(L + 1.4f * U, Y, L + 3.5f * U, Y + 2 * U, 0.5f * U), White, 0.9f);
        C.Fill(Box(R - 3.5f * U, Y, R - 1.4f * U, Y + 2 * U, 0.5f * U), White, 0.9f);
    }
    if (Play)
        Emboss(C, PlayShape((L + R) / 2 + 0.6f * U, (T + B) / 2, 5.5f * U), U * 0.6f);
}

// A round badge with a white glyph, as the toolbar's plus and minus marks.
void Badge(TArtCanvas& C, float Cx, float Cy, float R, TRgb Base, const TShape& Glyph) {
    C.Object(Circle(Cx, Cy, R), Base, Cy - R, Cy + R);
    Emboss(C, Glyph, R / 9);
}

void Folder(TArtCanvas& C, float L, float T, float R, float B, bool Open) {
    const float U = std::min(R - L, B - T) / 24;
    const TShape Back = Union(Box(L, T + 3 * U, R, B, 2 * U), Box(L, T, L + (R - L) * 0.42f, T + 6 * U, 1.6f * U));
    C.Object(Back, Darker(Gold, 0.12f), T, B, false);
    C.Fill(Box(L + 2 * U, T + 5 * U, R - 2 * U, B - 2 * U, 1 * U), Rgb(250, 250, 246));
    const TShape Front = Open ? Polygon({{L + 4 * U, T + 9 * U}, {R + 1 * U, T + 9 * U}, {R - 2.5f * U, B}, {L, B}})
                              : Box(L, T + 8 * U, R, B, 2 * U);
    C.Object(Open ? Grow(Front, 0.8f * U) : Front, Gold, T + 8 * U, B);
}

void Disc(TArtCanvas& C, float Cx, float Cy, float R, TRgb Tint) {
    const TShape Body = Subtract(Circle(Cx, Cy, R), Circle(Cx, Cy, R * 0.2f));
    C.Shadow(Moved(Body, 0, std::max(1.f, R / 14)), std::max(1.f, R / 10), 0.35f);
    C.Fill(Body, Rgb(150, 156, 168));
    const TShape Face = Grow(Body, -std::max(0.8f, R / 22));
    C.Fill(Face, Radial(Cx, Cy, R, Rgb(246, 248, 252), Rgb(200, 206, 218)));
    C.Fill(Intersect(Face, Ring(Cx, Cy, R * 0.62f, R * 0.62f)), Radial(Cx, Cy, R, Lighter(Tint, 0.3f), Tint), 0.55f);
    // Two bright wedges: the shine of the recorded side.
    for (float A : {-0.85f, 2.29f}) {
        const float Ca = std::cos(A), Sa = std::sin(A), Cb = std::cos(A + 0.5f), Sb = std::sin(A + 0.5f);
        C.Fill(Intersect(Face, Polygon({{Cx, Cy},
                                        {Cx + Ca * R * 1.2f, Cy + Sa * R * 1.2f},
                                        {Cx + Cb * R * 1.2f, Cy + Sb * R * 1.2f}})),
               White, 0.55f);
    }
    C.Fill(Ring(Cx, Cy, R * 0.28f, std::max(0.8f, R * 0.08f)), Rgb(170, 176, 188));
}

// A label in a white plate across the lower part of an icon.
void Label(TArtCanvas& C, const String& Text, TRgb Hue, TScale S) {
    if (Text.empty())
        return;
    C.Object(Box(S(3), S(29), S(45), S(44), S(3.5f)), Rgb(246, 248, 252), S(29), S(44), false);
    C.Text(Text, S(24), S(36.8f), int(std::lround(S(Text.size() > 3 ? 10.5f : 12.5f))), Darker(Hue, 0.25f));
}

void Clapper(TArtCanvas& C, float L, float T, float R, float B) {
    const float U = (R - L) / 24;
    C.Object(Box(L, T + 6 * U, R, B, 1.6f * U), Rgb(58, 64, 78), T + 6 * U, B);
    // The hinged stick, opened a little, striped black and white.
    const float A = -0.22f, Ca = std::cos(A), Sa = std::sin(A);
    auto P = [&](float X, float Y) { return std::pair{L + X * Ca - Y * Sa, T + 6 * U + X * Sa + Y * Ca}; };
    const TShape Stick = Polygon({P(0, -5.5f * U), P(R - L, -5.5f * U), P(R - L, -0.8f * U), P(0, -0.8f * U)});
    C.Shadow(Moved(Stick, 0, U), U, 0.3f);
    C.Fill(Stick, Rgb(40, 44, 54));
    for (int I = 0; I < 5; ++I) {
        const float X = (2 + I * 4.6f) * U;
        C.Fill(Intersect(Grow(Stick, -0.6f * U),
                         Polygon({P(X, -7 * U), P(X + 2.4f * U, -7 * U), P(X + 0.4f * U, 1 * U), P(X - 2 * U, 1 * U)})),
               White);
    }
    for (int I = 0; I < 5; ++I) {
        const float X = L + (2 + I * 4.6f) * U;
        C.Fill(
            Polygon(
                {{X, T + 6.8f * U}, {X + 2.4f * U, T + 6.8f * U}, {X + 0.4f * U, T + 10 * U}, {X - 2 * U, T + 10 * U}}),
            White, 0.9f);
    }
    C.Fill(Box(L + 3 * U, T + 13 * U, R - 3 * U, T + 14 * U), White, 0.5f);
    C.Fill(Box(L + 3 * U, T + 17 * U, R - 10 * U, T + 18 * U), White, 0.5f);
}

// ---- toolbar, 40 x 40 ----

void RoundButton(TArtCanvas& C, TRgb Base, const TShape& Glyph) {
    const TScale S{C.Width() / 40.f};
    C.Object(Circle(S(20), S(19), S(16.5f)), Base, S(2.5f), S(35.5f));
    Emboss(C, Glyph, S.K);
}

TArtCanvas ToolbarPicture(int Index) {
    TArtCanvas C(40, 40);
    const TScale S{1};
    switch (Index) {
    case ToolbarImages::Add:
        Film(C, 4, 5, 30, 31, Slate, false);
        Badge(C, 29, 28, 9, Green, Plus(29, 28, 5, 3));
        break;
    case ToolbarImages::AddFolder:
        Folder(C, 3, 6, 33, 32, false);
        Badge(C, 29, 28, 9, Green, Plus(29, 28, 5, 3));
        break;
    case ToolbarImages::Remove:
        Film(C, 4, 5, 30, 31, Slate, false);
        Badge(C, 29, 28, 9, Red, Box(24, 26.5f, 34, 29.5f, 0.6f));
        break;
    case ToolbarImages::Start:
        RoundButton(C, Green, PlayShape(S(21.5f), S(19), S(8.5f)));
        break;
    case ToolbarImages::Stop:
        RoundButton(C, Red, Box(13.5f, 12.5f, 26.5f, 25.5f, 2));
        break;
    case ToolbarImages::Pause:
        RoundButton(C, Amber, Union(Box(13, 11.5f, 18, 26.5f, 1.5f), Box(22, 11.5f, 27, 26.5f, 1.5f)));
        break;
    case ToolbarImages::Resume:
        RoundButton(C, Blue, Union(Box(11.5f, 12, 15.5f, 26, 1.2f), PlayShape(23, 19, 7.5f)));
        break;
    case ToolbarImages::Options:
        C.Object(Gear(20, 19, 17, 8), Slate, 2, 36);
        C.Fill(Ring(20, 19, 5.1f, 1.2f), White, 0.5f);
        break;
    case ToolbarImages::Skin: {
        const TShape Palette = Subtract(Box(3, 6, 37, 34, 13), Circle(27, 26, 4));
        C.Object(Palette, Rgb(226, 200, 150), 6, 34);
        const TRgb Paints[] = {Red, Amber, Green, Blue, Rgb(160, 80, 200)};
        const float Dots[][2] = {{11, 15}, {18, 11.5f}, {26, 12}, {31.5f, 17}, {11, 23}};
        for (int I = 0; I < 5; ++I)
            C.Object(Circle(Dots[I][0], Dots[I][1], 3.3f), Paints[I], Dots[I][1] - 3.3f, Dots[I][1] + 3.3f, false);
        break;
    }
    case ToolbarImages::Help:
        C.Object(Circle(20, 19, 16.5f), Blue, 2.5f, 35.5f);
        C.Text(u"?", 20, 20.5f, 24, Rgb(0, 0, 0), true, 0.25f);
        C.Text(u"?", 20, 19.5f, 24, White);
        break;
    case ToolbarImages::About:
        C.Object(Circle(20, 19, 16.5f), Teal, 2.5f, 35.5f);
        Emboss(C, Union(Circle(20, 11.5f, 2.6f), Box(17.8f, 16, 22.2f, 28, 1)), 1);
        break;
    case ToolbarImages::Exit:
        RoundButton(C, Red,
                    Union(Subtract(Ring(20, 20, 8, 3), Box(16.5f, 8, 23.5f, 17)), Segment(20, 9.5f, 20, 19, 3)));
        break;
    case ToolbarImages::OpenFolder:
        Folder(C, 3, 6, 37, 33, true);
        break;
    default:
        break;
    }
    return C;
}

// ---- job panel and preview buttons, 16 x 16 ----

TShape Speaker() {
    return Union(Box(1.5f, 5.8f, 5, 10.2f, 0.6f), Polygon({{3.8f, 5.8f}, {8.6f, 2.2f}, {8.6f, 13.8f}, {3.8f, 10.2f}}));
}

TArtCanvas PanelPicture(int Index) {
    TArtCanvas C(16, 16);
    switch (Index) {
    case PanelImages::Play:
        C.Object(PlayShape(7.4f, 8, 6.4f), Green, 1.5f, 14.5f);
        break;
    case PanelImages::Pause:
        C.Object(Union(Box(3, 2.5f, 7, 13.5f, 1), Box(9, 2.5f, 13, 13.5f, 1)), Amber, 2.5f, 13.5f);
        break;
    case PanelImages::Stop:
        C.Object(Box(2.5f, 2.5f, 13.5f, 13.5f, 2), Red, 2.5f, 13.5f);
        break;
    case PanelImages::Mute:
        C.Object(Speaker(), Slate, 2, 14);
        C.Fill(Intersect(Ring(8, 8, 3.6f, 1.4f), [](float X, float) { return 9.6f - X; }), Blue);
        C.Fill(Intersect(Ring(8, 8, 6.3f, 1.4f), [](float X, float) { return 10.f - X; }), Blue);
        break;
    case PanelImages::Unmute:
        C.Object(Speaker(), Slate, 2, 14);
        C.Fill(Cross(12.2f, 8, 2.6f, 1.9f), Red);
        break;
    case PanelImages::Up:
        C.Object(Arrow(2, 1.5f, 14, 14.5f, true), Blue, 1.5f, 14.5f);
        break;
    case PanelImages::Down:
        C.Object(Arrow(2, 1.5f, 14, 14.5f, false), Blue, 1.5f, 14.5f);
        break;
    case PanelImages::Rename:
        C.Object(Segment(5.2f, 10.8f, 11.8f, 4.2f, 4.2f), Gold, 3, 13);
        C.Fill(Polygon({{1.5f, 14.5f}, {2.6f, 10.1f}, {5.9f, 13.4f}}), Rgb(236, 208, 160));
        C.Fill(Polygon({{1.5f, 14.5f}, {1.9f, 12.8f}, {3.2f, 14.1f}}), Ink);
        C.Object(Segment(12.2f, 3.8f, 13.4f, 2.6f, 4.2f), Rgb(236, 120, 150), 0.5f, 6, false);
        break;
    case PanelImages::Delete:
        C.Object(Cross(8, 8, 4.6f, 3.4f), Red, 2, 14);
        break;
    case PanelImages::Snapshot:
        C.Object(Union(Box(1.5f, 4.5f, 14.5f, 13.5f, 2), Box(5, 2.5f, 10, 6, 1)), Slate, 2.5f, 13.5f);
        C.Fill(Circle(8, 9, 3.4f), Ink);
        C.Fill(Circle(8, 9, 2.4f), Radial(7.2f, 8.2f, 3, Sky, Deep));
        C.Fill(Circle(7.2f, 8.2f, 0.8f), White, 0.8f);
        break;
    case PanelImages::Clear:
        C.Object(Polygon({{3.5f, 5}, {12.5f, 5}, {11.6f, 14.5f}, {4.4f, 14.5f}}), Slate, 5, 14.5f);
        C.Object(Union(Box(2, 3, 14, 5, 0.8f), Box(6, 1.5f, 10, 3.5f, 0.6f)), Slate, 1.5f, 5, false);
        for (float X : {6.2f, 8.f, 9.8f})
            C.Fill(Segment(X, 7, X, 12.5f, 0.9f), White, 0.6f);
        break;
    case PanelImages::Settings:
        C.Object(Gear(8, 8, 7.2f, 7), Slate, 1, 15);
        break;
    default:
        break;
    }
    return C;
}

// ---- category and profile icons, by profile group ----

enum TKind { kFilm, kDisc, kPhone, kFlip, kTablet, kAudio, kPlayer, kConsole, kScreen, kCamera, kWeb };

struct TGroup {
    TKind Kind;
    const char16_t* Label;
    TRgb Hue;
    const char16_t* Name; // for the contact sheet
};

const TGroup Groups[ProfileGroupCount] = {
    {kFilm, u"", Rgb(236, 120, 32), u"video"},     {kAudio, u"", Rgb(140, 80, 200), u"audio"},
    {kScreen, u"HD", Rgb(40, 90, 180), u"HD"},     {kPlayer, u"", Rgb(196, 202, 212), u"music player"},
    {kPhone, u"", Rgb(62, 66, 76), u"phone"},      {kConsole, u"", Rgb(44, 48, 58), u"handheld"},
    {kFlip, u"3GP", Rgb(232, 110, 40), u"3GP"},    {kScreen, u"", Rgb(150, 156, 168), u"TV box"},
    {kConsole, u"", Rgb(64, 160, 64), u"console"}, {kPlayer, u"PMP", Rgb(220, 60, 120), u"PMP"},
    {kFilm, u"MP4", Rgb(40, 130, 220), u"MP4"},    {kFilm, u"FLV", Rgb(210, 44, 44), u"FLV"},
    {kTablet, u"", Rgb(186, 192, 204), u"tablet"}, {kFilm, u"MPG", Rgb(30, 150, 120), u"MPG"},
    {kFilm, u"SWF", Rgb(232, 84, 40), u"SWF"},     {kFilm, u"AVI", Rgb(82, 90, 200), u"AVI"},
    {kFilm, u"MKV", Rgb(96, 160, 40), u"MKV"},     {kFilm, u"WMV", Rgb(20, 110, 190), u"WMV"},
    {kFilm, u"RM", Rgb(150, 40, 120), u"RM"},      {kPhone, u"", Rgb(120, 190, 40), u"Android"},
    {kDisc, u"DVD", Rgb(120, 60, 200), u"DVD"},    {kCamera, u"MTS", Rgb(50, 72, 112), u"MTS"},
    {kPlayer, u"", Rgb(240, 140, 30), u"player"},  {kCamera, u"DV", Rgb(164, 44, 44), u"DV"},
    {kDisc, u"VCD", Rgb(220, 150, 20), u"VCD"},    {kFilm, u"MOV", Rgb(110, 112, 128), u"MOV"},
    {kFilm, u"TS", Rgb(0, 140, 170), u"TS"},       {kDisc, u"HD", Rgb(30, 80, 200), u"AVCHD"},
    {kDisc, u"CD", Rgb(200, 60, 60), u"CD"},       {kAudio, u"MP3", Rgb(230, 60, 110), u"MP3"},
    {kAudio, u"WAV", Rgb(20, 150, 140), u"WAV"},   {kPhone, u"", Rgb(40, 110, 210), u"smartphone"},
    {kWeb, u"", Rgb(30, 130, 210), u"web"},        {kFilm, u"GIF", Rgb(200, 168, 20), u"GIF"},
    {kScreen, u"3D", Rgb(180, 40, 60), u"3D"},
};

void Note(TArtCanvas& C, TScale S, float Dy, float Scale) {
    auto P = [&](float V) { return S(24 + (V - 24) * Scale); };
    auto Q = [&](float V) { return S(24 + (V - 24) * Scale + Dy); };
    const TShape N = Union(Union(Circle(P(18), Q(31), S(4.4f * Scale)), Circle(P(30), Q(28), S(4.4f * Scale))),
                           Union(Union(Segment(P(22), Q(31), P(22), Q(14), S(2.2f * Scale)),
                                       Segment(P(34), Q(28), P(34), Q(11), S(2.2f * Scale))),
                                 Polygon({{P(21), Q(12.5f)}, {P(35), Q(9)}, {P(35), Q(14)}, {P(21), Q(17.5f)}})));
    Emboss(C, N, S.K);
}

void GroupPicture(TArtCanvas& C, int Group) {
    const TGroup& G = Groups[Group];
    const TScale S{C.Width() / 48.f};
    const bool Labelled = G.Label[0] != 0;
    const TRgb Screen0 = Sky, Screen1 = Deep;
    switch (G.Kind) {
    case kFilm:
        Film(C, S(4), S(4), S(44), S(44), G.Hue, false);
        Emboss(C, PlayShape(S(24.6f), Labelled ? S(17) : S(24), S(Labelled ? 6.5f : 8.5f)), S.K);
        Label(C, G.Label, G.Hue, S);
        break;
    case kDisc:
        Disc(C, S(24), S(23), S(21), G.Hue);
        Label(C, G.Label, G.Hue, S);
        break;
    case kPhone:
        C.Object(Box(S(12.5f), S(2), S(35.5f), S(46), S(5)), G.Hue, S(2), S(46));
        C.Fill(Box(S(15), S(7), S(33), S(39), S(1.2f)), Vertical(S(7), S(39), Screen0, Screen1));
        C.Fill(Segment(S(21), S(4.5f), S(27), S(4.5f), S(1.2f)), Ink, 0.8f);
        if (Group == 19) {
            for (float X : {19.f, 24.f, 29.f})
                C.Fill(Circle(S(X), S(42.5f), S(1.3f)), White, 0.85f);
        } else {
            C.Fill(Ring(S(24), S(42.5f), S(1.9f), S(0.9f)), White, 0.7f);
        }
        // App tiles on the screen.
        for (int I = 0; I < 6; ++I) {
            const float X = 17.5f + (I % 3) * 5.2f, Y = 10 + (I / 3) * 5.6f;
            const TRgb Tiles[] = {Amber, Green, Red, Teal, Gold, Rgb(170, 90, 210)};
            C.Fill(Box(S(X), S(Y), S(X + 3.8f), S(Y + 3.8f), S(1)), Tiles[(I + Group) % 6]);
        }
        break;
    case kFlip:
        C.Object(Box(S(13), S(22), S(35), S(46), S(4)), Darker(G.Hue, 0.1f), S(22), S(46));
        C.Object(Box(S(13), S(2), S(35), S(24), S(4)), G.Hue, S(2), S(24));
        C.Fill(Box(S(16), S(5), S(32), S(20), S(1)), Vertical(S(5), S(20), Screen0, Screen1));
        Label(C, G.Label, G.Hue, S);
        break;
    case kTablet:
        C.Object(Box(S(3), S(7), S(45), S(41), S(4)), G.Hue, S(7), S(41));
        C.Fill(Box(S(7), S(10.5f), S(41), S(37.5f), S(1)), Vertical(S(10), S(38), Screen0, Screen1));
        C.Fill(Circle(S(43), S(24), S(0.9f)), Ink, 0.7f);
        for (int I = 0; I < 8; ++I) {
            const float X = 10 + (I % 4) * 7.6f, Y = 14 + (I / 4) * 10;
            const TRgb Tiles[] = {Amber, Green, Red, Teal, Gold, Rgb(170, 90, 210), Blue, White};
            C.Fill(Box(S(X), S(Y), S(X + 5), S(Y + 5), S(1.2f)), Tiles[I]);
        }
        break;
    case kAudio:
        C.Object(Circle(S(24), S(24), S(20.5f)), G.Hue, S(3), S(45));
        Note(C, S, Labelled ? -6.f : 0.f, Labelled ? 0.78f : 1.f);
        Label(C, G.Label, G.Hue, S);
        break;
    case kPlayer:
        C.Object(Box(S(11), S(2), S(37), S(46), S(5)), G.Hue, S(2), S(46));
        C.Fill(Box(S(14), S(5), S(34), S(22), S(1.5f)), Vertical(S(5), S(22), Screen0, Screen1));
        if (Labelled)
            C.Text(G.Label, S(24), S(13.5f), int(std::lround(S(10.f))), White);
        C.Fill(Circle(S(24), S(33.5f), S(9.5f)), Lighter(G.Hue, 0.55f));
        C.Fill(Ring(S(24), S(33.5f), S(9.5f), S(0.8f)), Darker(G.Hue, 0.3f), 0.6f);
        C.Object(Circle(S(24), S(33.5f), S(3.6f)), G.Hue, S(30), S(37), false);
        break;
    case kConsole: {
        const TShape Pad =
            Union(Box(S(5), S(15), S(43), S(33), S(8)), Union(Circle(S(13), S(31), S(8)), Circle(S(35), S(31), S(8))));
        C.Object(Pad, G.Hue, S(15), S(39));
        C.Fill(Plus(S(14), S(24), S(5), S(3)), Lighter(G.Hue, 0.7f));
        const TRgb Keys[] = {Red, Green, Blue, Gold};
        const float Pos[][2] = {{34, 19.5f}, {38.5f, 24}, {29.5f, 24}, {34, 28.5f}};
        for (int I = 0; I < 4; ++I)
            C.Object(Circle(S(Pos[I][0]), S(Pos[I][1]), S(2.2f)), Keys[I], S(Pos[I][1] - 2), S(Pos[I][1] + 2), false);
        break;
    }
    case kScreen:
        C.Fill(Polygon({{S(19), S(35)}, {S(29), S(35)}, {S(33), S(43)}, {S(15), S(43)}}), Rgb(90, 96, 108));
        C.Object(Box(S(2), S(6), S(46), S(37), S(3)), Rgb(52, 56, 66), S(6), S(37));
        C.Fill(Box(S(5), S(9), S(43), S(34), S(1)), Vertical(S(9), S(34), Lighter(G.Hue, 0.45f), Darker(G.Hue, 0.2f)));
        if (Labelled)
            C.Text(G.Label, S(24), S(21.5f), int(std::lround(S(15.f))), White);
        else
            Emboss(C, PlayShape(S(24.6f), S(21.5f), S(7.5f)), S.K);
        break;
    case kCamera:
        C.Object(Box(S(3), S(8), S(20), S(15), S(2)), Darker(G.Hue, 0.2f), S(8), S(15), false);
        C.Object(Box(S(2), S(13), S(34), S(40), S(4)), G.Hue, S(13), S(40));
        C.Object(Box(S(32), S(16), S(46), S(37), S(3)), Rgb(46, 50, 60), S(16), S(37));
        C.Fill(Circle(S(40.5f), S(26.5f), S(5.5f)), Radial(S(39), S(25), S(6), Sky, Rgb(20, 40, 90)));
        C.Fill(Circle(S(39), S(25), S(1.4f)), White, 0.8f);
        if (Labelled)
            C.Text(G.Label, S(17.5f), S(27), int(std::lround(S(11.f))), White);
        C.Fill(Circle(S(29), S(17), S(1.5f)), Red);
        break;
    case kWeb: {
        const float Cx = S(24), Cy = S(24), R = S(20);
        C.Object(Circle(Cx, Cy, R), G.Hue, S(4), S(44));
        const TShape Globe = Circle(Cx, Cy, R - S(1.5f));
        auto Ellipse = [=](float Rx, float Ry) {
            return [=](float X, float Y) {
                return std::fabs(std::hypot((X - Cx) / Rx, (Y - Cy) / Ry) - 1) * std::min(Rx, Ry) - S(0.7f);
            };
        };
        const TShape Lines = Union(Union(Ellipse(R * 0.45f, R), Segment(Cx, Cy - R, Cx, Cy + R, S(1.4f))),
                                   Union(Segment(Cx - R, Cy, Cx + R, Cy, S(1.4f)),
                                         Union(Segment(Cx - R, Cy - R * 0.5f, Cx + R, Cy - R * 0.5f, S(1.2f)),
                                               Segment(Cx - R, Cy + R * 0.5f, Cx + R, Cy + R * 0.5f, S(1.2f)))));
        C.Fill(Intersect(Globe, Lines), White, 0.75f);
        break;
    }
    }
}

// ---- single pictures ----

// The program's sign: a blue tile with a play mark inside two turning arrows.
void Emblem(TArtCanvas& C, float L, float T, float R, float B) {
    const float W = R - L, U = W / 48;
    const float Cx = (L + R) / 2, Cy = (T + B) / 2;
    C.Shadow(Moved(Box(L, T, R, B, W * 0.22f), 0, std::max(1.f, U)), std::max(1.f, 1.5f * U), 0.35f);
    C.Fill(Box(L, T, R, B, W * 0.22f), Rgb(18, 70, 150));
    const TShape Tile =
        Box(L + std::max(1.f, U), T + std::max(1.f, U), R - std::max(1.f, U), B - std::max(1.f, U), W * 0.2f);
    C.Fill(Tile, Vertical(T, B, Rgb(70, 170, 250), Rgb(16, 110, 190)));
    C.Fill(Intersect(Tile, [=](float, float Y) { return Y - (T + (B - T) * 0.45f); }), White, 0.16f);
    if (W < 24) {
        Emboss(C, PlayShape(Cx + U, Cy, W * 0.3f), 0.5f);
        return;
    }
    const float Rr = W * 0.3f, Th = std::max(1.6f, W * 0.075f);
    // Two arcs, each ending in an arrow head, turning clockwise.
    const TShape Arcs =
        Subtract(Ring(Cx, Cy, Rr, Th),
                 Union(Segment(Cx + Rr * 0.3f, Cy - Rr * 1.4f, Cx + Rr * 0.9f, Cy - Rr * 0.2f, Th * 1.6f),
                       Segment(Cx - Rr * 0.3f, Cy + Rr * 1.4f, Cx - Rr * 0.9f, Cy + Rr * 0.2f, Th * 1.6f)));
    const float H = Th * 1.5f;
    const TShape Heads = Union(Polygon({{Cx + Rr * 0.2f - H * 0.2f, Cy - Rr - H},
                                        {Cx + Rr * 0.2f + H * 1.2f, Cy - Rr},
                                        {Cx + Rr * 0.2f - H * 0.2f, Cy - Rr + H}}),
                               Polygon({{Cx - Rr * 0.2f + H * 0.2f, Cy + Rr - H},
                                        {Cx - Rr * 0.2f - H * 1.2f, Cy + Rr},
                                        {Cx - Rr * 0.2f + H * 0.2f, Cy + Rr + H}}));
    C.Fill(Moved(Union(Arcs, Heads), 0, U), Rgb(0, 0, 0), 0.25f);
    C.Fill(Union(Arcs, Heads), Vertical(T, B, Rgb(255, 214, 90), Rgb(248, 150, 40)));
    Emboss(C, PlayShape(Cx + W * 0.03f, Cy, Rr * 0.62f), U);
}

TArtCanvas SettingsPicture() {
    TArtCanvas C(128, 128);
    const TScale S{128 / 24.f};
    const TShape Back =
        Union(Box(S(1.5f), S(4.5f), S(22.5f), S(21), S(1.4f)), Box(S(1.5f), S(2.8f), S(10), S(6.5f), S(1.2f)));
    C.Object(Back, Darker(Gold, 0.15f), S(2.8f), S(21), false);
    C.Fill(Box(S(3), S(5.6f), S(21), S(19), S(0.8f)), Rgb(250, 250, 246));
    Clapper(C, S(3.2f), S(3.2f), S(14.8f), S(16.5f));
    Disc(C, S(16), S(11.5f), S(6.8f), Rgb(120, 60, 200));
    const TShape Front = Polygon({{S(0.8f), S(11.2f)}, {S(23.2f), S(11.2f)}, {S(22), S(21.6f)}, {S(2), S(21.6f)}});
    C.Object(Grow(Front, S(0.4f)), Gold, S(11), S(22));
    C.Fill(Box(S(9), S(13.4f), S(15), S(14.4f), S(0.5f)), Darker(Gold, 0.35f), 0.6f);
    return C;
}

TArtCanvas CoverPicture() {
    TArtCanvas C(552, 238);
    C.Fill(Box(0, 0, 552, 238), Vertical(0, 238, Rgb(246, 249, 253), Rgb(214, 228, 246)));
    // The drop zone: a dashed rounded frame.
    const TShape Frame = Subtract(Box(14, 12, 538, 226, 14), Box(16, 14, 536, 224, 12));
    C.Fill(Intersect(Frame, [](float X, float Y) { return std::fmod(X + Y, 16.f) < 9 ? -1.f : 1.f; }),
           Rgb(120, 150, 196), 0.8f);

    TArtCanvas Source(96, 96);
    Film(Source, 6, 12, 90, 84, Slate, true);
    C.Draw(Source, 84, 36);
    TArtCanvas Target(96, 96);
    Disc(Target, 40, 46, 36, Rgb(120, 60, 200));
    TArtCanvas Phone(48, 48);
    GroupPicture(Phone, 31);
    Target.Draw(Phone, 44, 42);
    C.Draw(Target, 372, 34);
    // The conversion arrow between them.
    const TShape ArrowShape = Union(Box(206, 76, 318, 96, 4), Polygon({{312, 62}, {346, 86}, {312, 110}}));
    C.Object(ArrowShape, Rgb(248, 150, 40), 62, 110);
    TArtCanvas Plus(44, 44);
    Badge(Plus, 22, 22, 19, Green, artmaker::Plus(22, 22, 10, 6));
    C.Draw(Plus, 150, 100);
    C.Text(u"Quorvane", 276, 170, 34, Rgb(0, 0, 0), true, 0.15f);
    C.Text(u"Quorvane", 275, 168, 34, Rgb(28, 84, 160));
    return C;
}

} // namespace

TArtwork DrawArtwork() {
    TArtwork Art;
    for (int I = 0; I < ToolbarImages::Count; ++I)
        Art.Lists[ailToolbar].push_back(ToolbarPicture(I));
    const std::pair<int, int> Disabled[] = {{ToolbarImages::StartDisabled, ToolbarImages::Start},
                                            {ToolbarImages::StopDisabled, ToolbarImages::Stop},
                                            {ToolbarImages::PauseDisabled, ToolbarImages::Pause},
                                            {ToolbarImages::ResumeDisabled, ToolbarImages::Resume},
                                            {ToolbarImages::AddDisabled, ToolbarImages::Add}};
    for (auto [Look, Of] : Disabled)
        Art.Lists[ailToolbar][Look] = Art.Lists[ailToolbar][Of].Greyed();
    for (int I = 0; I < PanelImages::Count; ++I)
        Art.Lists[ailPanel].push_back(PanelPicture(I));
    for (int G = 0; G < ProfileGroupCount; ++G) {
        Art.Lists[ailCategory].emplace_back(48, 48);
        GroupPicture(Art.Lists[ailCategory].back(), G);
        Art.Lists[ailProfile].emplace_back(32, 32);
        GroupPicture(Art.Lists[ailProfile].back(), G);
    }
    // The settings dialog's twelve categories are the first twelve profile groups in the same order.
    for (int I = 0; I < SettingsCategoryCount; ++I)
        Art.Lists[ailSettings].push_back(Art.Lists[ailProfile][I]);

    Art.Pictures.push_back(CoverPicture());
    Art.Pictures.emplace_back(53, 55);
    Emblem(Art.Pictures.back(), 1.5f, 2.5f, 51.5f, 52.5f);
    for (int Size : {16, 32, 48}) {
        Art.Pictures.emplace_back(Size, Size);
        Emblem(Art.Pictures.back(), 0, 0, float(Size), float(Size - (Size >= 32 ? 1 : 0)));
    }
    Art.Pictures.push_back(SettingsPicture());
    return Art;
}

String PictureLabel(TAppImageList List, int Index) {
    static const char16_t* const Toolbar[] = {u"add",       u"add folder", u"remove",  u"start",     u"stop",
                                              u"pause",     u"resume",     u"options", u"skin",      u"help",
                                              u"about",     u"exit",       u"open",    u"start off", u"stop off",
                                              u"pause off", u"resume off", u"add off"};
    static const char16_t* const Panel[] = {u"play",   u"pause",  u"stop",   u"mute",     u"up",    u"down",
                                            u"rename", u"unmute", u"delete", u"snapshot", u"clear", u"settings"};
    const char16_t* Name = List == ailToolbar ? Toolbar[Index] : List == ailPanel ? Panel[Index] : Groups[Index].Name;
    return IntToStr(Index) + u" " + Name;
}

} // namespace artmaker
