#include "tools/artmaker/Chime.h"

#include <algorithm>
#include <cmath>

namespace artmaker {

namespace {

// A struck bell: a few partials, the higher ones dying away sooner.
double Bell(double T, double Frequency) {
    if (T < 0)
        return 0;
    constexpr double TwoPi = 6.283185307179586;
    struct TPartial {
        double Ratio, Weight, Decay;
    };
    const TPartial Partials[] = {{1.0, 1.0, 0.42}, {2.0, 0.38, 0.22}, {3.01, 0.16, 0.12}, {4.2, 0.07, 0.07}};
    double V = 0;
    for (const TPartial& P : Partials)
        V += P.Weight * std::exp(-T / P.Decay) * std::sin(TwoPi * Frequency * P.Ratio * T);
    const double Attack = std::min(1.0, T / 0.004);
    return V * Attack;
}

} // namespace

std::vector<std::int16_t> SynthesiseChime() {
    const double Length = 1.3;
    const int Count = int(Length * ChimeSampleRate);
    std::vector<double> Mix(std::size_t(Count), 0.0);
    double Peak = 0;
    for (int I = 0; I < Count; ++I) {
        const double T = double(I) / ChimeSampleRate;
        // E6 then B5: a rising-falling "ding-dong".
        const double V = Bell(T, 1318.51) + 0.85 * Bell(T - 0.2, 987.77);
        // A short fade at the end, so the last sample is silence.
        const double Tail = std::min(1.0, (Length - T) / 0.08);
        Mix[std::size_t(I)] = V * Tail;
        Peak = std::max(Peak, std::fabs(Mix[std::size_t(I)]));
    }
    std::vector<std::int16_t> Samples;
    Samples.reserve(Mix.size());
    const double Gain = 0.7 * 32767 / Peak;
    for (double V : Mix)
        Samples.push_back(std::int16_t(std::lround(V * Gain)));
    return Samples;
}

std::string WaveFile(const std::vector<std::int16_t>& Samples, int SampleRate) {
    std::string Out;
    auto U32 = [&](std::uint32_t V) {
        for (int I = 0; I < 4; ++I)
            Out += char((V >> (8 * I)) & 0xFF);
    };
    auto U16 = [&](std::uint16_t V) {
        Out += char(V & 0xFF);
        Out += char(V >> 8);
    };
    const std::uint32_t DataBytes = std::uint32_t(Samples.size() * 2);
    Out += "RIFF";
    U32(36 + DataBytes);
    Out += "WAVEfmt ";
    U32(16);
    U16(1); // PCM
    U16(1); // mono
    U32(std::uint32_t(SampleRate));
    U32(std::uint32_t(SampleRate) * 2);
    U16(2);
    U16(16);
    Out += "data";
    U32(DataBytes);
    for (std::int16_t S : Samples)
        U16(std::uint16_t(S));
    return Out;
}

} // namespace artmaker
