// The application's embedded pictures and the chime written beside the executables.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/base/Classes.h"
#include "platform/gdi/Graphics.h"
#include "resources/AppPictures.h"

namespace {

struct TDecoded {
    int Width = 0, Height = 0;
    std::vector<std::uint32_t> Pixels; // 0xAARRGGBB
};

TDecoded Decode(const TAppImage& Image) {
    TMemoryStream S;
    S.WriteBuffer(Image.Data, std::int64_t(Image.Size));
    S.SetPosition(0);
    TPngImage Png;
    Png.LoadFromStream(&S);
    return {Png.Width(), Png.Height(), Png.Pixels()};
}

float Saturation(std::uint32_t P) {
    const int R = (P >> 16) & 0xFF, G = (P >> 8) & 0xFF, B = P & 0xFF;
    const int Max = std::max({R, G, B}), Min = std::min({R, G, B});
    return Max == 0 ? 0.f : float(Max - Min) / Max;
}

struct TListSpec {
    TAppImageList List;
    int Count, Width, Height;
    const char* Name;
};

const TListSpec Lists[] = {
    {ailToolbar, 18, 40, 40, "toolbar"},        {ailPanel, 12, 16, 16, "panel"},
    {ailCategory, 35, 48, 48, "categories"},    {ailProfile, 35, 32, 32, "profiles"},
    {ailSettings, 12, 32, 32, "settings list"},
};

} // namespace

TEST(AppPictures, ListsHaveTheirCountsAndSizesAndDistinctVisiblePictures) {
    for (const TListSpec& L : Lists) {
        ASSERT_EQ(AppImageCount(L.List), L.Count) << L.Name;
        std::vector<std::vector<std::uint32_t>> Seen;
        for (int I = 0; I < L.Count; ++I) {
            const TAppImage& Image = AppImage(L.List, I);
            const TDecoded D = Decode(Image);
            EXPECT_EQ(std::pair(D.Width, D.Height), std::pair(L.Width, L.Height)) << L.Name << " " << I;
            EXPECT_EQ(std::pair(Image.Width, Image.Height), std::pair(L.Width, L.Height)) << L.Name << " " << I;
            // Visible, and more than one colour where it is visible.
            std::vector<std::uint32_t> Opaque;
            for (std::uint32_t P : D.Pixels)
                if ((P >> 24) > 128)
                    Opaque.push_back(P & 0xFFFFFF);
            std::sort(Opaque.begin(), Opaque.end());
            EXPECT_GT(Opaque.size(), D.Pixels.size() / 8) << L.Name << " " << I;
            EXPECT_GT(std::unique(Opaque.begin(), Opaque.end()) - Opaque.begin(), 8) << L.Name << " " << I;
            for (std::size_t J = 0; J < Seen.size(); ++J)
                EXPECT_NE(Seen[J], D.Pixels) << L.Name << " " << J << " and " << I << " are the same picture";
            Seen.push_back(D.Pixels);
        }
    }
}

TEST(AppPictures, SinglePicturesHaveTheirSizes) {
    struct Case {
        TAppPicture Picture;
        int Width, Height;
    };
    for (const Case& C : {Case{apCover, 552, 238}, Case{apAbout, 53, 55}, Case{apIcon16, 16, 16},
                          Case{apIcon32, 32, 32}, Case{apIcon48, 48, 48}, Case{apSettings, 128, 128}}) {
        const TDecoded D = Decode(AppPicture(C.Picture));
        EXPECT_EQ(std::pair(D.Width, D.Height), std::pair(C.Width, C.Height)) << C.Picture;
        std::vector<std::uint32_t> Colours(D.Pixels);
        std::sort(Colours.begin(), Colours.end());
        EXPECT_GT(std::unique(Colours.begin(), Colours.end()) - Colours.begin(), 8) << C.Picture;
    }
}

TEST(AppPictures, DisabledLooksHaveTheShapeOfTheirPictureAndLessColour) {
    using namespace ToolbarImages;
    for (auto [Disabled, Enabled] :
         {std::pair{AddDisabled, Add}, std::pair{StartDisabled, Start}, std::pair{StopDisabled, Stop},
          std::pair{PauseDisabled, Pause}, std::pair{ResumeDisabled, Resume}}) {
        const TDecoded On = Decode(AppImage(ailToolbar, Enabled)), Off = Decode(AppImage(ailToolbar, Disabled));
        float SatOn = 0, SatOff = 0;
        for (std::size_t I = 0; I < On.Pixels.size(); ++I) {
            ASSERT_EQ(On.Pixels[I] >> 24, Off.Pixels[I] >> 24) << Disabled << " at " << I;
            if ((On.Pixels[I] >> 24) > 0) {
                SatOn += Saturation(On.Pixels[I]);
                SatOff += Saturation(Off.Pixels[I]);
            }
        }
        EXPECT_LT(SatOff, SatOn * 0.4f) << Disabled;
    }
}

TEST(AppPictures, ToolbarPicturesAndTheSettingsPictureHaveRealAlpha) {
    std::vector<TDecoded> Pictures;
    for (int I = 0; I < ToolbarImages::Count; ++I)
        Pictures.push_back(Decode(AppImage(ailToolbar, I)));
    Pictures.push_back(Decode(AppPicture(apSettings)));
    for (std::size_t I = 0; I < Pictures.size(); ++I) {
        const auto& P = Pictures[I].Pixels;
        EXPECT_TRUE(std::any_of(P.begin(), P.end(), [](std::uint32_t C) { return (C >> 24) == 0; })) << I;
        EXPECT_TRUE(std::any_of(P.begin(), P.end(), [](std::uint32_t C) { return (C >> 24) == 255; })) << I;
        EXPECT_TRUE(std::any_of(P.begin(), P.end(), [](std::uint32_t C) { return (C >> 24) > 0 && (C >> 24) < 255; }))
            << I << ": edges are smooth";
    }
}

// The build writes the chime beside the test programs, where the program looks for it.
TEST(AppPictures, TheChimeIsAShortClean16BitPcmWave) {
    std::ifstream In("sounds/ring001.wav", std::ios::binary);
    ASSERT_TRUE(In) << "sounds/ring001.wav is missing";
    const std::string F{std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>()};
    ASSERT_GE(F.size(), 44u);
    auto U32 = [&](std::size_t At) {
        std::uint32_t V;
        std::memcpy(&V, F.data() + At, 4);
        return V;
    };
    auto U16 = [&](std::size_t At) {
        std::uint16_t V;
        std::memcpy(&V, F.data() + At, 2);
        return V;
    };
    EXPECT_EQ(F.substr(0, 4), "RIFF");
    EXPECT_EQ(U32(4), F.size() - 8);
    EXPECT_EQ(F.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(U16(20), 1) << "PCM";
    const int Channels = U16(22), Bits = U16(34);
    const std::uint32_t Rate = U32(24);
    EXPECT_EQ(Bits, 16);
    EXPECT_EQ(U32(28), Rate * Channels * 2);
    ASSERT_EQ(F.substr(36, 4), "data");
    const std::uint32_t Bytes = U32(40);
    ASSERT_EQ(Bytes, F.size() - 44);
    const double Seconds = double(Bytes) / (Rate * Channels * 2);
    EXPECT_GE(Seconds, 0.5);
    EXPECT_LE(Seconds, 3.0);

    double Sum = 0;
    int Peak = 0;
    for (std::size_t At = 44; At + 1 < F.size(); At += 2) {
        const int S = std::int16_t(U16(At));
        Sum += double(S) * S;
        Peak = std::max(Peak, std::abs(S));
    }
    const double Rms = std::sqrt(Sum / (Bytes / 2));
    EXPECT_GT(Rms, 1000) << "not silent";
    EXPECT_LT(Peak, 32000) << "no clipping";
}
