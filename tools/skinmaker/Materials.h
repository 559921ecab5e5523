// The nine skins of the application: each one's colours, surface pattern and font. The first eight are the main
// window's skin list in its order; the ninth is the skin of the second skin data (the catalogue combo boxes).
#pragma once

#include <cstdint>
#include <vector>

#include "tools/skinmaker/Painter.h"

namespace skinmaker {

enum class TPattern { None, Bands, Rings, Stars, Waves, Dust, Brushed };

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
    float Noise;  // grain of the surfaces
    float Gloss;  // strength of the glassy highlight
    float Radius; // corner radius of buttons
    const char16_t* Font;
    std::uint32_t Seed; // fixed: the same skin on every build
    bool DarkText;      // caption text is dark (the shadow is then light)
};

inline const std::vector<TMaterial>& Materials() {
    static const std::vector<TMaterial> List = {
        // Jupiter: banded browns and creams, the red spot as accent.
        {"jupiter", u"木星战甲", Rgb(128, 82, 50), Rgb(255, 243, 222), Rgb(226, 200, 164), Rgb(62, 38, 20),
         Rgb(196, 98, 52), Rgb(255, 255, 255), Rgb(241, 230, 212), Rgb(58, 38, 22), Rgb(254, 250, 242), Rgb(50, 32, 18),
         TPattern::Bands, 0.035f, 0.30f, 4, u"Tahoma", 0x4A55u, false},
        // Saturn: pale gold with thin rings across the caption.
        {"saturn", u"土星战甲", Rgb(205, 180, 118), Rgb(60, 46, 16), Rgb(238, 225, 186), Rgb(66, 52, 22),
         Rgb(200, 158, 62), Rgb(255, 255, 255), Rgb(247, 241, 222), Rgb(66, 54, 26), Rgb(255, 254, 248),
         Rgb(52, 42, 18), TPattern::Rings, 0.02f, 0.40f, 5, u"Tahoma", 0x5A70u, true},
        // Cosmos: deep violet night with stars.
        {"cosmos", u"宇宙战甲", Rgb(40, 22, 78), Rgb(238, 230, 255), Rgb(96, 66, 160), Rgb(244, 238, 255),
         Rgb(176, 112, 255), Rgb(255, 255, 255), Rgb(66, 50, 106), Rgb(232, 224, 252), Rgb(42, 30, 74),
         Rgb(236, 230, 255), TPattern::Stars, 0.02f, 0.28f, 5, u"Tahoma", 0xC05305u, false},
        // Galaxy: blue and teal with a soft sheen.
        {"galaxy", u"星河战甲", Rgb(18, 92, 124), Rgb(255, 255, 255), Rgb(156, 214, 224), Rgb(12, 52, 64),
         Rgb(0, 168, 188), Rgb(255, 255, 255), Rgb(226, 242, 245), Rgb(16, 54, 64), Rgb(248, 253, 254), Rgb(12, 44, 54),
         TPattern::Waves, 0.02f, 0.38f, 5, u"Tahoma", 0x6A1Au, false},
        // Milky Way: silver and white with faint star dust.
        {"milkyway", u"银河战甲", Rgb(200, 206, 218), Rgb(36, 42, 58), Rgb(238, 240, 245), Rgb(36, 40, 50),
         Rgb(112, 146, 204), Rgb(255, 255, 255), Rgb(245, 246, 249), Rgb(40, 44, 54), Rgb(255, 255, 255),
         Rgb(30, 34, 44), TPattern::Dust, 0.018f, 0.45f, 6, u"Tahoma", 0x3117u, true},
        // Venus: warm polished gold.
        {"venus", u"金星战甲", Rgb(178, 118, 20), Rgb(255, 250, 232), Rgb(246, 208, 112), Rgb(82, 48, 0),
         Rgb(230, 142, 16), Rgb(255, 255, 255), Rgb(252, 239, 208), Rgb(86, 52, 4), Rgb(255, 252, 242), Rgb(70, 40, 0),
         TPattern::None, 0.015f, 0.50f, 5, u"Tahoma", 0x7E05u, false},
        // Mars: rust red with a dusty grain.
        {"mars", u"火星战甲", Rgb(138, 46, 26), Rgb(255, 236, 226), Rgb(214, 132, 100), Rgb(70, 22, 10),
         Rgb(224, 82, 38), Rgb(255, 255, 255), Rgb(242, 225, 215), Rgb(72, 26, 14), Rgb(255, 249, 246), Rgb(60, 20, 10),
         TPattern::Dust, 0.05f, 0.26f, 3, u"Tahoma", 0x3A55u, false},
        // Mercury: brushed steel.
        {"mercury", u"水星战甲", Rgb(88, 96, 108), Rgb(255, 255, 255), Rgb(198, 202, 208), Rgb(28, 30, 34),
         Rgb(96, 124, 164), Rgb(255, 255, 255), Rgb(227, 229, 233), Rgb(30, 32, 36), Rgb(251, 251, 252),
         Rgb(24, 26, 30), TPattern::Brushed, 0.03f, 0.30f, 3, u"Tahoma", 0x3E4Cu, false},
        // The catalogue combo boxes' own skin: jade green, calm and plain.
        {"catalogue", u"bsSkinData2", Rgb(26, 108, 78), Rgb(255, 255, 255), Rgb(174, 222, 198), Rgb(12, 54, 38),
         Rgb(28, 158, 108), Rgb(255, 255, 255), Rgb(230, 245, 237), Rgb(14, 56, 40), Rgb(250, 255, 252),
         Rgb(12, 46, 32), TPattern::None, 0.015f, 0.35f, 4, u"Tahoma", 0x1ADEu, false},
    };
    return List;
}

} // namespace skinmaker
