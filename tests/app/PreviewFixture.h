// The main window with its preview player running for real: generated clips, the player's events served on the
// GUI thread while a test waits, and the log lines of the preview (the engine logger's "#" lines left out).
#pragma once

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "AppFixture.h"
#include "platform/base/Threads.h"
#include "platform/win/WinExtras.h"
#include "support/MediaFixtures.h"

namespace preview {

// 2 s of the test pattern at 160x120, 25 frames a second, without sound.
inline const std::string& PatternClip() {
    qvtest::ClipOptions C;
    C.FileName = "preview-pattern-160x120.avi";
    C.Duration = 2;
    C.Streams = {qvtest::VideoStream("mpeg4", 160, 120)};
    return qvtest::WriteClip(C);
}

// 1 s of a tone, no picture.
inline const std::string& ToneClip() {
    qvtest::ClipOptions C;
    C.FileName = "preview-tone.wav";
    C.Duration = 1;
    C.Streams = {qvtest::AudioStream("pcm_s16le", 44100, 1)};
    return qvtest::WriteClip(C);
}

// A raw MPEG-4 elementary stream: nothing in it tells its duration.
inline const std::string& RawClip() {
    qvtest::ClipOptions C;
    C.FileName = "preview-raw-160x120.m4v";
    C.Container = "m4v";
    C.Duration = 2;
    C.Streams = {qvtest::VideoStream("mpeg4", 160, 120)};
    return qvtest::WriteClip(C);
}

class PreviewTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        // The player waits and plays in real time; no sound card on the test machines.
        SetWinClock(nullptr);
        ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    }
    void TearDown() override {
        if (Form1) {
            Form1->RUDezari->Stop(true);
            CheckSynchronize(0);
            delete Form6;
            delete Form5;
            delete Form2;
            delete Form1;
        }
        AppTest::TearDown();
    }
    void Start() {
        StartProgram();
        Form1->Show();
        Pump();
    }
    // What a row selection does: the file to preview, then the open operation.
    void Preview(const std::string& File) {
        Form1->T_Movie_PLayer_FileName = UTF8ToString(File);
        Form1->Button31Click(nullptr);
    }
    // Polls Cond with the player's calls and the window messages served in between; the bound only keeps a
    // broken build from hanging.
    template <typename F> bool WaitFor(F Cond) {
        const auto Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        for (;;) {
            CheckSynchronize(0);
            ProcessPendingMessages();
            if (Cond())
                return true;
            if (std::chrono::steady_clock::now() > Deadline)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    // The preview's log lines, without the engine logger's.
    static std::vector<String> Log() {
        std::vector<String> Result;
        TStrings* Lines = Form1->mmoLog->Lines();
        for (int I = 0; I < Lines->Count(); ++I)
            if (Lines->Strings(I).rfind(u"#", 0) != 0)
                Result.push_back(Lines->Strings(I));
        return Result;
    }
    static String LastLog() {
        std::vector<String> L = Log();
        return L.empty() ? String() : L.back();
    }
    // The number of times Line was logged.
    static int Logged(const String& Line) {
        int N = 0;
        for (const String& L : Log())
            N += L == Line;
        return N;
    }
    // Opens File and waits until the paused player has shown its first pictures.
    void PreviewPaused(const std::string& File) {
        Preview(File);
        ASSERT_TRUE(WaitFor([] { return Logged(u"Pause") == 1; })) << UTF8Encode(LastLog());
    }
    // A job row selected in the list, as the stop button asks for one.
    static void SelectARow() {
        TListItem* Item = Form1->lvFiles->Items()->Add();
        Item->SetCaption(u"clip");
        Item->SetSelected(true);
    }
};

} // namespace preview
