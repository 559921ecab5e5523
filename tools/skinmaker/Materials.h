// The nine skins of the application: each one's colours, surface, shapes and fonts. The first eight are the main
// window's skin list in its order; the ninth is the skin of the second skin data (the catalogue combo boxes).
#pragma once

#include <cstdint>
#include <vector>

#include "tools/skinmaker/Painter.h"

namespace skinmaker {

// The pattern laid over frames, caption bars and textured surfaces.
enum class TPattern { None, Bands, Rings, Stars, Waves, Dust, Brushed };
// How a button face is lit: a glass highlight, a flat fill, a raised bevel, a soft satin gradient, or metal.
enum class TFaceStyle { Glossy, Flat, Bevel, Satin, Metal };
// The client background of forms and pages.
enum class TSurface { Plain, Gradient, Brushed, Textured };
// The caption buttons' plates.
enum class TCapStyle { Rounded, Circle, Square, Bare };
// The check box mark (the radio mark follows the corner shape: a disc, or a diamond for cut corners).
enum class TMark { Tick, Cross, Block };
// The tab outline.
enum class TTabStyle { Rounded, Trapezoid, Square, Underline, Cut };

// A corner: round with the given radius, or cut at 45 degrees by the given size; 0 is square.
struct TCornerShape {
    TCorner Kind = TCorner::Round;
    float Size = 0;
};

struct TMaterial {
    const char* Id;       // file names and the generated symbol
    const char16_t* Name; // display name
    TRgb Frame;           // window frame and caption
    TRgb FrameText;
    TRgb Face; // buttons
    TRgb FaceText;
    TRgb Accent; // hover, selection, focus
    TRgb AccentText;
    TRgb Panel; // form client and panels (the skin's button-face colour)
    TRgb PanelText;
    TRgb Window; // edits and lists
    TRgb WindowText;
    TPattern Pattern;
    float Noise;                 // grain of the surfaces
    float Gloss;                 // strength of the glassy highlight
    const char16_t* Font;        // controls and menus
    const char16_t* CaptionFont; // the window caption
    int CaptionFontHeight;
    std::uint32_t Seed; // fixed: the same skin on every build
    bool DarkText;      // caption text is dark (the shadow is then light)
    // Geometry and finish.
    int Border;   // frame sides and bottom
    int CaptionH; // caption band height
    TCornerShape FrameTop, FrameBottom;
    TCornerShape ButtonCorner;
    TFaceStyle FaceStyle;
    TSurface Surface;
    TCapStyle CapStyle;
    TMark Mark;
    TTabStyle TabStyle;
};

inline const std::vector<TMaterial>& Materials() {
    using enum TCorner;
    static const std::vector<TMaterial> List = {
        // Jupiter: banded warm browns and ambers, rounded and glossy, the red spot as accent.
        {"jupiter",
         u"木星战甲",
         Rgb(120, 72, 38),
         Rgb(255, 240, 214),
         Rgb(232, 190, 128),
         Rgb(58, 32, 12),
         Rgb(170, 74, 28),
         Rgb(255, 255, 255),
         Rgb(240, 224, 198),
         Rgb(58, 36, 18),
         Rgb(254, 249, 240),
         Rgb(50, 30, 14),
         TPattern::Bands,
         0.03f,
         0.32f,
         u"Tahoma",
         u"Tahoma",
         15,
         0x4A55u,
         false,
         6,
         30,
         {Round, 11},
         {Round, 6},
         {Round, 5},
         TFaceStyle::Glossy,
         TSurface::Textured,
         TCapStyle::Rounded,
         TMark::Tick,
         TTabStyle::Rounded},
        // Saturn: pale ochre with rings across the caption and the buttons' pills.
        {"saturn",
         u"土星战甲",
         Rgb(214, 190, 130),
         Rgb(56, 42, 12),
         Rgb(238, 224, 180),
         Rgb(62, 48, 18),
         Rgb(138, 96, 20),
         Rgb(255, 255, 255),
         Rgb(246, 238, 214),
         Rgb(62, 50, 22),
         Rgb(255, 253, 246),
         Rgb(50, 40, 16),
         TPattern::Rings,
         0.015f,
         0.22f,
         u"Tahoma",
         u"Liberation Serif",
         17,
         0x5A70u,
         true,
         4,
         28,
         {Round, 16},
         {Square, 0},
         {Round, 12},
         TFaceStyle::Satin,
         TSurface::Gradient,
         TCapStyle::Circle,
         TMark::Tick,
         TTabStyle::Trapezoid},
        // Cosmos: near black, square and flat, a violet accent line.
        {"cosmos",
         u"宇宙战甲",
         Rgb(14, 14, 20),
         Rgb(232, 230, 245),
         Rgb(40, 40, 52),
         Rgb(236, 234, 248),
         Rgb(112, 72, 210),
         Rgb(255, 255, 255),
         Rgb(24, 24, 32),
         Rgb(222, 220, 236),
         Rgb(10, 10, 14),
         Rgb(226, 226, 236),
         TPattern::None,
         0.01f,
         0.0f,
         u"DejaVu Sans",
         u"DejaVu Sans",
         13,
         0xC05305u,
         false,
         2,
         22,
         {Square, 0},
         {Square, 0},
         {Square, 0},
         TFaceStyle::Flat,
         TSurface::Plain,
         TCapStyle::Bare,
         TMark::Block,
         TTabStyle::Underline},
        // Galaxy: deep teal with faint stars, cut corners.
        {"galaxy",
         u"星河战甲",
         Rgb(8, 60, 66),
         Rgb(224, 250, 248),
         Rgb(26, 96, 104),
         Rgb(230, 252, 250),
         Rgb(40, 190, 180),
         Rgb(4, 30, 32),
         Rgb(12, 50, 56),
         Rgb(214, 240, 238),
         Rgb(6, 36, 40),
         Rgb(210, 238, 236),
         TPattern::Stars,
         0.015f,
         0.18f,
         u"Tahoma",
         u"Tahoma",
         14,
         0x6A1Au,
         false,
         5,
         24,
         {Chamfer, 9},
         {Chamfer, 5},
         {Chamfer, 6},
         TFaceStyle::Satin,
         TSurface::Textured,
         TCapStyle::Square,
         TMark::Cross,
         TTabStyle::Cut},
        // Milky Way: cool silver-blue, tall glassy caption, round caption buttons.
        {"milkyway",
         u"银河战甲",
         Rgb(170, 188, 214),
         Rgb(24, 34, 56),
         Rgb(214, 226, 244),
         Rgb(24, 34, 56),
         Rgb(52, 98, 176),
         Rgb(255, 255, 255),
         Rgb(232, 238, 247),
         Rgb(30, 40, 60),
         Rgb(252, 253, 255),
         Rgb(24, 30, 46),
         TPattern::Waves,
         0.012f,
         0.55f,
         u"Liberation Sans",
         u"Liberation Sans",
         16,
         0x3117u,
         true,
         4,
         32,
         {Round, 7},
         {Round, 4},
         {Round, 4},
         TFaceStyle::Glossy,
         TSurface::Gradient,
         TCapStyle::Circle,
         TMark::Tick,
         TTabStyle::Rounded},
        // Venus: polished gold with a thick bevelled frame.
        {"venus",
         u"金星战甲",
         Rgb(168, 116, 18),
         Rgb(255, 248, 226),
         Rgb(240, 200, 96),
         Rgb(72, 42, 0),
         Rgb(150, 84, 0),
         Rgb(255, 255, 255),
         Rgb(250, 236, 196),
         Rgb(78, 48, 4),
         Rgb(255, 252, 240),
         Rgb(66, 38, 0),
         TPattern::None,
         0.012f,
         0.45f,
         u"Tahoma",
         u"Liberation Serif",
         16,
         0x7E05u,
         false,
         8,
         31,
         {Round, 4},
         {Round, 4},
         {Round, 2},
         TFaceStyle::Bevel,
         TSurface::Gradient,
         TCapStyle::Rounded,
         TMark::Tick,
         TTabStyle::Square},
        // Mars: rust reds, dusty grain, angular cut corners.
        {"mars",
         u"火星战甲",
         Rgb(132, 40, 20),
         Rgb(255, 232, 220),
         Rgb(172, 66, 38),
         Rgb(255, 250, 246),
         Rgb(180, 52, 18),
         Rgb(255, 255, 255),
         Rgb(238, 216, 204),
         Rgb(70, 24, 12),
         Rgb(255, 248, 244),
         Rgb(58, 18, 8),
         TPattern::Dust,
         0.05f,
         0.12f,
         u"DejaVu Sans",
         u"DejaVu Sans",
         14,
         0x3A55u,
         false,
         7,
         27,
         {Chamfer, 14},
         {Chamfer, 5},
         {Chamfer, 4},
         TFaceStyle::Bevel,
         TSurface::Textured,
         TCapStyle::Square,
         TMark::Cross,
         TTabStyle::Trapezoid},
        // Mercury: polished, brushed steel.
        {"mercury",
         u"水星战甲",
         Rgb(96, 104, 116),
         Rgb(255, 255, 255),
         Rgb(204, 208, 214),
         Rgb(26, 28, 32),
         Rgb(70, 104, 150),
         Rgb(255, 255, 255),
         Rgb(226, 228, 232),
         Rgb(28, 30, 34),
         Rgb(250, 250, 251),
         Rgb(22, 24, 28),
         TPattern::Brushed,
         0.03f,
         0.30f,
         u"Liberation Sans",
         u"Liberation Sans",
         15,
         0x3E4Cu,
         false,
         5,
         25,
         {Round, 3},
         {Round, 3},
         {Round, 6},
         TFaceStyle::Metal,
         TSurface::Brushed,
         TCapStyle::Rounded,
         TMark::Tick,
         TTabStyle::Square},
        // The catalogue combo boxes' own skin: calm green, soft and flat.
        {"catalogue",
         u"bsSkinData2",
         Rgb(40, 112, 84),
         Rgb(255, 255, 255),
         Rgb(190, 226, 206),
         Rgb(12, 50, 34),
         Rgb(28, 116, 80),
         Rgb(255, 255, 255),
         Rgb(232, 244, 236),
         Rgb(14, 52, 36),
         Rgb(250, 255, 252),
         Rgb(12, 46, 32),
         TPattern::None,
         0.01f,
         0.0f,
         u"Tahoma",
         u"Tahoma",
         14,
         0x1ADEu,
         false,
         4,
         26,
         {Round, 10},
         {Round, 4},
         {Round, 9},
         TFaceStyle::Flat,
         TSurface::Plain,
         TCapStyle::Circle,
         TMark::Block,
         TTabStyle::Rounded},
    };
    return List;
}

} // namespace skinmaker
