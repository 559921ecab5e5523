// The application in a folder of its own: a temporary executable folder (option.ini and the links to the media
// libraries lie there), a temporary home folder, an application object of the test's own, and the program
// entry's four forms created on demand in their order.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "app/OptionIni.h"
#include "app/Unit1.h"
#include "app/Unit2.h"
#include "app/Unit5.h"
#include "app/profiles/Unit6.h"
#include "engine/MyUtils.h"
#include "platform/base/IniFiles.h"
#include "platform/shell/ShellLauncher.h"
#include "support/TempDir.h"
#include "support/UiFixture.h"

// Keeps what would be opened in the desktop's handler.
class TRecordingLauncher : public TShellLauncher {
public:
    explicit TRecordingLauncher(std::vector<String>& AOpened) : Opened(AOpened) {}
    bool Open(const String& Target, const String&, String&) override {
        Opened.push_back(Target);
        return true;
    }
    std::vector<String>& Opened;
};

class AppTest : public uitest::UiTest {
protected:
    void SetUp() override {
        uitest::UiTest::SetUp();
        const std::filesystem::path Libraries = UTF8Encode(GetAppPath()) + "LibAV";
        std::filesystem::create_directory_symlink(Libraries, Exe.Folder() / "LibAV");
        SetAppFileName(Exe.File("quorvane"));
        if (const char* Old = std::getenv("HOME"))
            FSavedHome = Old;
        ::setenv("HOME", Home.Folder().c_str(), 1);
    }
    void TearDown() override {
        uitest::UiTest::TearDown();
        SetAppFileName(u"");
        if (FSavedHome)
            ::setenv("HOME", FSavedHome->c_str(), 1);
        else
            ::unsetenv("HOME");
    }

    // The program entry's forms, in its order.
    void StartProgram() {
        Application->SetTitle(u"Quorvane");
        Application->CreateForm(Form1);
        Application->CreateForm(Form2);
        Application->CreateForm(Form5);
        Application->CreateForm(Form6);
    }
    // option.ini holding Text before the program starts.
    void WriteIni(const std::string& Text) { std::ofstream(UTF8Encode(OptionIniPath()), std::ios::binary) << Text; }
    static String Ini(const String& Section, const String& Key) {
        TIniFile File(OptionIniPath());
        return File.ReadString(Section, Key, u"<missing>");
    }
    String DefaultFolder() const { return Home.Path() + u"Velko视频软件/输出"; }

    TTempDir Exe;
    TTempDir Home;

private:
    std::optional<std::string> FSavedHome;
};
