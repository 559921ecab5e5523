// The test skin of tests/fixtures/skins/allkinds, copied into a temporary folder with its pictures drawn there,
// a forms service that logs what the forms hear, and a fingerprint of a loaded skin.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/base/IniFiles.h"
#include "platform/base/SysUtils.h"
#include "skin/core/bsSkinData.h"
#include "tests/support/TempDir.h"

namespace skintest {

// Four quadrants of different colours, so a picture read upside down or with red and blue swapped shows.
inline void DrawPicture(const std::filesystem::path& File, int W, int H, TColor Base) {
    TBitmap B;
    B.SetPixelFormat(pf24bit);
    B.SetSize(W, H);
    const TColor Colors[4] = {Base, TColor(0x0000FF), TColor(0xFF0000), TColor(0x00FF00)};
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X)
            B.Canvas()->SetPixels(X, Y, Colors[(Y < H / 2 ? 0 : 2) + (X < W / 2 ? 0 : 1)]);
    B.SaveToFile(UTF8ToString(File.string()));
}

inline std::filesystem::path FixtureFolder() {
    // Tests run in the build folder, and this header's path is either absolute or relative to it.
    return std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() / "fixtures" / "skins" /
           "allkinds";
}

// Copies the test skin into Dir and draws its pictures; returns the path of its description.
inline String MakeTestSkin(const TTempDir& Dir) {
    std::filesystem::copy_file(FixtureFolder() / "skin.ini", Dir.Folder() / "skin.ini",
                               std::filesystem::copy_options::overwrite_existing);
    DrawPicture(Dir.Folder() / "form.bmp", 40, 30, TColor(0x336699));
    DrawPicture(Dir.Folder() / "forminactive.bmp", 40, 30, TColor(0x808080));
    DrawPicture(Dir.Folder() / "controls.bmp", 32, 16, TColor(0x00FFFF));
    DrawPicture(Dir.Folder() / "layer.bmp", 16, 16, TColor(0xFF00FF));
    return Dir.File("skin.ini");
}

// Rewrites one key of the copied description.
inline void SetKey(const String& IniName, const String& Section, const String& Key, const String& Value) {
    TMemIniFile Ini(IniName);
    Ini.WriteString(Section, Key, Value);
    Ini.UpdateFile();
}

// Forms that log what they hear, in place of the window layer.
class TLoggingForm : public TComponent {
public:
    using TComponent::TComponent;
};

class TbsFormLayerWindow : public TComponent {
public:
    using TComponent::TComponent;
};

struct TLogEntry {
    const TComponent* Form;
    unsigned Msg;
    friend bool operator==(const TLogEntry&, const TLogEntry&) = default;
    friend std::ostream& operator<<(std::ostream& S, const TLogEntry& E) { return S << E.Form << ":" << E.Msg; }
};

class TLoggingService : public TbsSkinFormsService {
public:
    TLoggingService() { SetSkinFormsService(this); }
    ~TLoggingService() override { SetSkinFormsService(nullptr); }
    bool IsForm(TComponent* C) const override { return dynamic_cast<TLoggingForm*>(C) != nullptr; }
    bool IsLayeredBorderStrip(TComponent* C) const override { return dynamic_cast<TbsFormLayerWindow*>(C) != nullptr; }
    std::vector<TComponent*> Forms() const override { return FForms; }
    void Send(TComponent* Form, unsigned Msg, std::uintptr_t WParam, std::intptr_t LParam) override {
        EXPECT_EQ(LParam, 1000);
        LastWParam = WParam;
        Log.push_back({Form, Msg});
        if (OnSend)
            OnSend(Msg);
    }
    std::vector<unsigned> Messages() const {
        std::vector<unsigned> R;
        for (const TLogEntry& E : Log)
            R.push_back(E.Msg);
        return R;
    }

    std::vector<TComponent*> FForms;
    std::vector<TLogEntry> Log;
    std::uintptr_t LastWParam = 0;
    std::function<void(unsigned)> OnSend;
};

// The whole description as the writer puts it, the pictures' sizes and corner pixels, and Empty: two skins with
// the same fingerprint look the same to every skinned part.
inline std::string Fingerprint(TbsSkinData& D) {
    TMemIniFile Ini(u"");
    D.WriteSkinIni(Ini);
    TStringList Lines;
    Ini.GetStrings(&Lines);
    std::string S = UTF8Encode(Lines.Text());
    const auto Picture = [&S](TBitmap& B) {
        S += std::to_string(B.Width()) + "x" + std::to_string(B.Height());
        if (!B.Empty())
            S += ":" + std::to_string(B.Canvas()->Pixels(0, 0)) + "," +
                 std::to_string(B.Canvas()->Pixels(B.Width() - 1, B.Height() - 1));
        S += ";";
    };
    Picture(*D.FPicture);
    Picture(*D.FInActivePicture);
    Picture(*D.FMask);
    for (auto& B : D.FActivePictures)
        Picture(*B);
    S += D.Empty ? "empty" : "loaded";
    return S;
}

} // namespace skintest
