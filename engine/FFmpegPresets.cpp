// Targets (vcd, svcd, dvd, dv, dv50) and presets of the transcoder.
#include "engine/FFmpeg.h"
#include "engine/FFmpegHelpers.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

namespace {

enum TNorm { nmPAL, nmNTSC, nmFilm, nmUnknown };
const char16_t* const TargetFrameRates[] = {u"25", u"30000/1001", u"24000/1001"};

// One built-in x264 preset, in the x264 encoder's option names of this library generation.
struct TX264Row {
    const char16_t* Name;
    int coder;              // -1: no line
    const char* flags;      // "+loop" / "-loop"
    const char* partitions; // "i8x8,i4x4,p8x8,p4x4,b8x8" subset, "none"
    const char* me;         // motion-est
    int subq, me_range, sc_threshold, b_strategy;
    int bf, refs; // -1: no line
    int directpred;
    int trellis;        // -1: no line
    const char* flags2; // the old flags2 switches: letters b(pyramid) m(ixed refs) w(eighted b) d(ct8x8) f(ast pskip)
                        // t(mbtree off); upper case = on
    int cqp;            // -1: no line
    int wpredp;         // -1: no line
};

// Old flags2 switches: "B" b-pyramid on, "b" off; "M"/"m" mixed-refs; "W"/"w" weightb; "D"/"d" 8x8dct;
// "F"/"f" fast-pskip; "t" mbtree off; letters absent leave the encoder's default.
const TX264Row X264Rows[] = {
    {u"libx264-default", 1, "+loop", "i8x8,i4x4,p8x8,b8x8", "hex", 7, 16, 40, 1, 3, 3, 1, 1, "MWDF", -1, 2},
    {u"libx264-fast", 1, "+loop", "i8x8,i4x4,p8x8,b8x8", "hex", 6, 16, 40, 1, 3, 2, 1, 1, "BMWDF", -1, 2},
    {u"libx264-fast_firstpass", 1, "+loop", "none", "dia", 2, 16, 40, 1, 3, 1, 1, 0, "BmWdF", -1, 2},
    {u"libx264-faster", 1, "+loop", "i8x8,i4x4,p8x8,b8x8", "hex", 4, 16, 40, 1, 3, 2, 1, 1, "BmWDF", -1, 1},
    {u"libx264-faster_firstpass", 1, "+loop", "none", "dia", 2, 16, 40, 1, 3, 1, 1, 0, "BmWdF", -1, 1},
    {u"libx264-fastfirstpass", 1, "+loop", "none", "dia", 2, 16, 40, 1, 3, 1, 3, 0, "bwmdF", -1, 2},
    {u"libx264-hq", 1, "+loop", "i8x8,i4x4,p8x8,b8x8", "umh", 8, 16, 40, 2, 3, 4, 3, 1, "WMDF", -1, 2},
    {u"libx264-lossless_fast", 0, "+loop", "i4x4,p8x8", "hex", 3, 16, 40, 1, -1, -1, 1, -1, "F", 0, 0},
    {u"libx264-lossless_max", 1, "+loop", "i8x8,i4x4,p8x8,p4x4", "esa", 8, 16, 40, 1, -1, 16, 1, -1, "MDF", 0, 2},
    {u"libx264-lossless_medium", 1, "+loop", "i4x4,p8x8,p4x4", "hex", 5, 16, 40, 1, -1, -1, 1, -1, "F", 0, 2},
    {u"libx264-lossless_slow", 1, "+loop", "i8x8,i4x4,p8x8,p4x4", "umh", 6, 16, 40, 1, -1, 2, 1, -1, "DF", 0, 2},
    {u"libx264-lossless_slower", 1, "+loop", "i8x8,i4x4,p8x8,p4x4", "umh", 8, 16, 40, 1, -1, 4, 1, -1, "MDF", 0, 2},
    {u"libx264-lossless_ultrafast", 0, "+loop", "none", "dia", 0, 16, 40, 1, -1, -1, 1, -1, "F", 0, -1},
    {u"libx264-max", 1, "+loop", "all", "tesa", 10, 24, 40, 2, 3, 16, 3, 2, "WMDf", -1, 2},
    {u"libx264-medium", 1, "+loop", "i8x8,i4x4,p8x8,b8x8", "hex", 7, 16, 40, 1, 3, 3, 1, 1, "BMWDF", -1, 2},
    {u"libx264-medium_firstpass", 1, "+loop", "none", "dia", 2, 16, 40, 1, 3, 1, 1, 0, "BmWdF", -1, 2},
    {u"libx264-normal", 1, "+loop", "i8x8,i4x4,p8x8,b8x8", "hex", 6, 16, 40, 1, 3, 2, 3, 0, "WDF", -1, 2},
    {u"libx264-placebo", 1, "+loop", "all", "tesa", 10, 24, 40, 2, 16, 16, 3, 2, "BMWDf", -1, 2},
    {u"libx264-placebo_firstpass", 1, "+loop", "all", "tesa", 10, 24, 40, 2, 16, 16, 3, 2, "BMWDf", -1, 2},
    {u"libx264-slow", 1, "+loop", "i8x8,i4x4,p8x8,b8x8", "umh", 8, 16, 40, 2, 3, 5, 3, 1, "BMWDF", -1, 2},
    {u"libx264-slow_firstpass", 1, "+loop", "none", "dia", 2, 16, 40, 2, 3, 1, 3, 0, "BmWdF", -1, 2},
    {u"libx264-slower", 1, "+loop", "all", "umh", 9, 16, 40, 2, 3, 8, 3, 2, "BMWDF", -1, 2},
    {u"libx264-slower_firstpass", 1, "+loop", "none", "dia", 2, 16, 40, 2, 3, 1, 3, 0, "BmWdF", -1, 2},
    {u"libx264-slowfirstpass", 1, "+loop", "i8x8,i4x4,p8x8,b8x8", "hex", 6, 16, 40, 2, 3, 1, 3, 0, "WDF", -1, 2},
    {u"libx264-superfast", 1, "+loop", "i8x8,i4x4", "dia", 1, 16, 40, 1, 3, 1, 1, 0, "BmWDFt", -1, 0},
    {u"libx264-superfast_firstpass", 1, "+loop", "none", "dia", 1, 16, 40, 1, 3, 1, 1, 0, "BmWdFt", -1, 0},
    {u"libx264-ultrafast", 0, "-loop", "none", "dia", 0, 16, 0, 0, 0, 1, 1, 0, "bmwdFt", -1, 0},
    {u"libx264-ultrafast_firstpass", 0, "-loop", "none", "dia", 0, 16, 0, 0, 0, 1, 1, 0, "bmwdFt", -1, 0},
    {u"libx264-veryfast", 1, "+loop", "i8x8,i4x4,p8x8,b8x8", "hex", 2, 16, 40, 1, 3, 1, 1, 0, "BmWDFt", -1, 0},
    {u"libx264-veryfast_firstpass", 1, "+loop", "none", "dia", 2, 16, 40, 1, 3, 1, 1, 0, "BmWdFt", -1, 0},
    {u"libx264-veryslow", 1, "+loop", "all", "umh", 10, 24, 40, 2, 8, 16, 3, 2, "BMWDF", -1, 2},
    {u"libx264-veryslow_firstpass", 1, "+loop", "none", "dia", 2, 24, 40, 2, 8, 1, 3, 0, "BmWdF", -1, 2},
};

String RowText(const TX264Row& R) {
    std::ostringstream S;
    if (R.coder >= 0)
        S << "coder=" << R.coder << "\n";
    S << "flags=" << R.flags << "\n";
    S << "cmp=+chroma\n";
    S << "partitions=" << R.partitions << "\n";
    S << "motion-est=" << R.me << "\n";
    S << "subq=" << R.subq << "\nme_range=" << R.me_range << "\ng=250\nkeyint_min=25\nsc_threshold=" << R.sc_threshold
      << "\ni_qfactor=0.71\nb_strategy=" << R.b_strategy << "\nqcomp=0.6\nqmin=10\nqmax=51\nqdiff=4\n";
    if (R.bf >= 0)
        S << "bf=" << R.bf << "\n";
    if (R.refs >= 0)
        S << "refs=" << R.refs << "\n";
    S << "direct-pred=" << R.directpred << "\n";
    if (R.trellis >= 0)
        S << "trellis=" << R.trellis << "\n";
    for (const char* P = R.flags2; *P; ++P) {
        switch (*P) {
        case 'B':
            S << "b-pyramid=normal\n";
            break;
        case 'b':
            S << "b-pyramid=none\n";
            break;
        case 'M':
            S << "mixed-refs=1\n";
            break;
        case 'm':
            S << "mixed-refs=0\n";
            break;
        case 'W':
            S << "weightb=1\n";
            break;
        case 'w':
            S << "weightb=0\n";
            break;
        case 'D':
            S << "8x8dct=1\n";
            break;
        case 'd':
            S << "8x8dct=0\n";
            break;
        case 'F':
            S << "fast-pskip=1\n";
            break;
        case 'f':
            S << "fast-pskip=0\n";
            break;
        case 't':
            S << "mbtree=0\n";
            break;
        }
    }
    if (R.cqp >= 0)
        S << "qp=" << R.cqp << "\n";
    if (R.wpredp >= 0)
        S << "weightp=" << R.wpredp << "\n";
    std::string T = S.str();
    T.pop_back();
    return UTF8ToString(T);
}

std::vector<TOptionsPreset> MakePresets() {
    std::vector<TOptionsPreset> P;
    for (const TX264Row& R : X264Rows)
        P.push_back({R.Name, RowText(R)});
    P.push_back({u"libx264-baseline", u"coder=0\nbf=0\n8x8dct=0\nweightb=0\nweightp=0"});
    P.push_back({u"libx264-main", u"8x8dct=0"});
    P.push_back({u"libx264-ipod320",
                 u"coder=0\nbf=0\n8x8dct=0\nweightb=0\nlevel=13\nmaxrate=768000\nbufsize=3000000\nweightp=0"});
    P.push_back(
        {u"libx264-ipod640",
         u"coder=0\nbf=0\nrefs=1\n8x8dct=0\nweightb=0\nlevel=30\nmaxrate=10000000\nbufsize=10000000\nweightp=0"});
    std::sort(P.begin(), P.end(),
              [](const TOptionsPreset& X, const TOptionsPreset& Y) { return String(X.Name) < Y.Name; });
    return P;
}

String NormName(TNorm N) {
    return N == nmPAL ? u"PAL" : u"NTSC";
}

} // namespace

const std::vector<TOptionsPreset>& BuiltinPresets() {
    static const std::vector<TOptionsPreset> Presets = MakePresets();
    return Presets;
}

String TCustomFFmpeg::FindBuiltinPreset(const String& AName) {
    for (const TOptionsPreset& P : BuiltinPresets())
        if (SameText(P.Name, AName))
            return P.Value;
    return String();
}

void TCustomFFmpeg::OptTarget(const std::string& AValue) {
    String V = Trim(UTF8ToString(AValue));
    String Norm = u"auto";
    if (StartsStr(u"pal-", V)) {
        Norm = u"pal";
        V = V.substr(4);
    } else if (StartsStr(u"ntsc-", V)) {
        Norm = u"ntsc";
        V = V.substr(5);
    } else if (StartsStr(u"film-", V)) {
        Norm = u"film";
        V = V.substr(5);
    }
    ApplyTarget(V, Norm, u"ntsc");
}

void TCustomFFmpeg::ApplyTarget(const String& ATarget, const String& ANorm, const String& ANormDefault) {
    TNorm Norm = nmUnknown;
    if (ANorm == u"pal")
        Norm = nmPAL;
    else if (ANorm == u"ntsc")
        Norm = nmNTSC;
    else if (ANorm == u"film")
        Norm = nmFilm;
    else {
        if (Fframe_rate.den == 0)
            Raise(u"frame_rate is invalid.");
        auto NormOf = [](Int64 fr) { return fr == 25000 ? nmPAL : fr == 29970 || fr == 23976 ? nmNTSC : nmUnknown; };
        Norm = NormOf(std::llround(double(Fframe_rate.num) * 1000.0 / Fframe_rate.den));
        for (int I = 0; I < Fnb_input_files && Norm == nmUnknown; ++I) {
            AVFormatContext* Ic = Finput_files[I];
            for (unsigned J = 0; J < Ic->nb_streams && Norm == nmUnknown; ++J) {
                AVStream* St = Ic->streams[J];
                if (St->codecpar->codec_type != AVMEDIA_TYPE_VIDEO)
                    continue;
                // The stream's frame rate stands for the old codec time base here.
                AVRational R = St->r_frame_rate.num ? St->r_frame_rate : St->avg_frame_rate;
                if (R.num && R.den)
                    Norm = NormOf(std::llround(double(R.num) * 1000.0 / R.den));
            }
        }
        if (Norm == nmUnknown)
            Norm = ANormDefault == u"film" ? nmFilm : ANormDefault == u"ntsc" ? nmNTSC : nmPAL;
        if (Fverbose > 0)
            Log(fllVerbose, Format(u"Assuming %s for target.", {NormName(Norm)}));
    }
    const bool PAL = Norm == nmPAL;
    auto Aspect = [&](const char16_t* AText, const char16_t* AValue) {
        if (Fframe_aspect_ratio == 0) {
            Log(fllInfo, AText);
            OptAspectRatio(AValue);
        }
    };
    if (ATarget == u"vcd") {
        OptVideoCodec(u"mpeg1video");
        OptAudioCodec(u"mp2");
        OptFormat(u"vcd");
        OptFrameSize(PAL ? u"352x288" : u"352x240");
        OptFrameRate(TargetFrameRates[Norm]);
        SetAVOption("g", PAL ? "15" : "18");
        SetAVOption("b", "1150000");
        SetAVOption("maxrate", "1150000");
        SetAVOption("minrate", "1150000");
        SetAVOption("bufsize", "327680");
        SetAVOption("ab", "224000");
        Faudio_sample_rate = 44100;
        Faudio_channels = 2;
        SetAVOption("packetsize", "2324");
        SetAVOption("muxrate", "1411200");
        Fmux_preload = 0.44f;
        Aspect(u"Assuming 4:3 for aspect ratio", u"4:3");
    } else if (ATarget == u"svcd") {
        OptVideoCodec(u"mpeg2video");
        OptAudioCodec(u"mp2");
        OptFormat(u"svcd");
        OptFrameSize(PAL ? u"480x576" : u"480x480");
        OptFrameRate(TargetFrameRates[Norm]);
        SetAVOption("g", PAL ? "15" : "18");
        SetAVOption("b", "2040000");
        SetAVOption("maxrate", "2516000");
        SetAVOption("minrate", "0");
        SetAVOption("bufsize", "1835008");
        // The old "+scan_offset" flag is the MPEG-2 encoder's own option now.
        SetAVOption("scan_offset", "1");
        SetAVOption("ab", "224000");
        Faudio_sample_rate = 44100;
        SetAVOption("packetsize", "2324");
        if (Faudio_channels == 1)
            Faudio_channels = 2;
        Aspect(u"Assuming 4:3 for aspect ratio", u"4:3");
    } else if (ATarget == u"dvd") {
        OptVideoCodec(u"mpeg2video");
        OptAudioCodec(u"ac3");
        OptFormat(u"dvd");
        OptFrameSize(PAL ? u"720x576" : u"720x480");
        OptFrameRate(TargetFrameRates[Norm]);
        SetAVOption("g", PAL ? "15" : "18");
        SetAVOption("b", "6000000");
        SetAVOption("maxrate", "9000000");
        SetAVOption("minrate", "0");
        SetAVOption("bufsize", "1835008");
        SetAVOption("packetsize", "2048");
        SetAVOption("muxrate", "10080000");
        SetAVOption("ab", "448000");
        Faudio_sample_rate = 48000;
        if (Faudio_channels == 1)
            Faudio_channels = 2;
        Aspect(u"Assuming 16:9 for aspect ratio", u"16:9");
    } else if (ATarget == u"dv" || ATarget == u"dv50") {
        OptFormat(u"dv");
        OptFrameSize(PAL ? u"720x576" : u"720x480");
        OptPixelFormat(ATarget == u"dv50" ? "yuv422p" : PAL ? "yuv420p" : "yuv411p");
        OptFrameRate(TargetFrameRates[Norm]);
        Faudio_sample_rate = 48000;
        Faudio_channels = 2;
    } else
        Raise(u"Unknown target type");
}

void TCustomFFmpeg::ApplyPreset(const String& AOptName, const String& APresetName) {
    if (AOptName.empty() || APresetName.empty())
        return;
    String Text;
    String Display = APresetName;
    if (AOptName[0] != u'f') {
        Text = FindBuiltinPreset(APresetName);
        if (Text.empty()) {
            if (AOptName[0] == u'v' && !Fvideo_codec_name.empty())
                Display = UTF8ToString(Fvideo_codec_name) + u"-" + APresetName;
            else if (AOptName[0] == u'a' && !Faudio_codec_name.empty())
                Display = UTF8ToString(Faudio_codec_name) + u"-" + APresetName;
            else if (!Fsubtitle_codec_name.empty())
                Display = UTF8ToString(Fsubtitle_codec_name) + u"-" + APresetName;
            Text = FindBuiltinPreset(Display);
        }
    }
    if (Text.empty()) {
        if (!FileExists(APresetName))
            Raise(Format(u"Preset \"%s\" not found", {APresetName}));
        std::ifstream F(FileNameToUTF8(APresetName), std::ios::binary);
        std::stringstream S;
        S << F.rdbuf();
        Text = UTF8ToString(S.str());
    }
    Text = Trim(Text);
    Text = StringReplace(Text, u"\r\n", u"\n", {rfReplaceAll});
    Text = StringReplace(Text, u"\r", u"\n", {rfReplaceAll});
    size_t Start = 0;
    while (Start <= Text.size()) {
        size_t End = Text.find(u'\n', Start);
        if (End == String::npos)
            End = Text.size();
        const String Line = Trim(Text.substr(Start, End - Start));
        Start = End + 1;
        if (Line.empty())
            continue;
        const size_t P = Line.find(u'=');
        const String Key = P == String::npos ? Line : Line.substr(0, P);
        const String Value = P == String::npos ? String() : Line.substr(P + 1);
        if (Key.empty() || Value.empty())
            Raise(Format(u"%s: Invalid syntax: \"%s\"", {Display, Line}));
        if (SameText(Key, u"acodec"))
            OptAudioCodec(Value);
        else if (SameText(Key, u"vcodec"))
            OptVideoCodec(Value);
        else if (SameText(Key, u"scodec"))
            OptSubtitleCodec(Value);
        else if (!SetAVOption(UTF8Encode(Key), UTF8Encode(Value)))
            Raise(Format(u"%s: Invalid option or argument: \"%s\", parsed as \"%s\" = \"%s\"",
                         {Display, Line, Key, Value}));
    }
}
