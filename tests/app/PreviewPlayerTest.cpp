// The preview panel with the real player and generated clips: the open operation and its log, the picture in
// Panel6, the end of the media, audio-only and unknown-duration files, the mute pair, stop, missing libraries;
// the seek slider against a recording player.
#include "PreviewFixture.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "engine/AVProbe.h"

using namespace preview;

namespace {

struct TRgb {
    int R, G, B;
};
// A pixel of Panel6 as the screen shows it.
TRgb PanelPixel(int X, int Y) {
    const TPoint P = Form1->Panel6->ClientToScreen({X, Y});
    const COLORREF C = ScreenPixel(P.X, P.Y);
    return {GetRValue(C), GetGValue(C), GetBValue(C)};
}
bool IsBlack(TRgb C) {
    return C.R == 0 && C.G == 0 && C.B == 0;
}
// The pattern's bars: one channel high, the other two low (lossy coding moves them a little).
bool IsRed(TRgb C) {
    return C.R > 180 && C.G + C.B < 120;
}
bool IsGreen(TRgb C) {
    return C.G > 180 && C.R + C.B < 120;
}
bool IsBlue(TRgb C) {
    return C.B > 180 && C.R + C.G < 120;
}

} // namespace

TEST_F(PreviewTest, ASelectedClipOpensPausedWithItsInformationAndShowsInPanel6BetweenBlackBars) {
    Start();
    PreviewPaused(PatternClip());
    const std::vector<String> L = Log();
    ASSERT_GE(L.size(), 5u);
    EXPECT_EQ(L[0], u"File Name: " + UTF8ToString(PatternClip()));
    EXPECT_EQ(L[1], u"Format Name: avi");
    EXPECT_EQ(std::vector<String>(L.end() - 3, L.end()),
              (std::vector<String>{u"duration: 2.00, frame size: 160x120", u"Play", u"Pause"}));
    // Every line before the duration is the probe's information, without an empty line.
    String Info = Form1->RUDezari->AVProbe()->FileInfoText();
    int InfoLines = 0;
    for (std::size_t At = 0; (At = Info.find(u"\r\n", At)) != String::npos; At += 2)
        ++InfoLines;
    EXPECT_EQ(int(L.size()) - 3, InfoLines);

    EXPECT_EQ(Form1->FDuration, 2000000);
    EXPECT_EQ(Form1->FScreenControl, Form1->Panel6);
    EXPECT_EQ(Form1->RUDezari->ScreenHandle(), Form1->Panel6->Handle());
    EXPECT_EQ(Form1->bsSkinSlider1->Increment(), 5);
    EXPECT_EQ(Form1->bsSkinSlider1->MaxValue(), 241);
    // The position of the second picture, which the paused open decoded.
    EXPECT_LE(Form1->bsSkinSlider1->Value(), 5);

    // 160x120 in 240x145: 192x145 from x 24, black bars left and right.
    ASSERT_TRUE(WaitFor([] { return IsGreen(PanelPixel(120, 30)); }));
    for (int Y : {0, 70, 144})
        for (int X : {0, 23, 216, 239})
            EXPECT_TRUE(IsBlack(PanelPixel(X, Y))) << X << "," << Y;
    EXPECT_TRUE(IsRed(PanelPixel(24 + 20, 30)));
    EXPECT_TRUE(IsBlue(PanelPixel(216 - 20, 30)));

    // Play: the slider follows the position; pause holds it.
    Form1->bsSkinButton13Click(nullptr);
    ASSERT_TRUE(WaitFor([] { return Logged(u"Resume") == 1 && Form1->bsSkinSlider1->Value() > 30; }));
    std::filesystem::create_directories("artifacts");
    EXPECT_TRUE(SaveWindowToPng(Form1->Handle(), "artifacts/preview_playing.png"));
    Form1->bsSkinButton14Click(nullptr);
    ASSERT_TRUE(WaitFor([] { return Logged(u"Pause") == 2; }));
    // Pause while paused does nothing.
    Form1->bsSkinButton14Click(nullptr);
    Pump();
    CheckSynchronize(0);
    EXPECT_EQ(LastLog(), u"Pause");
}

TEST_F(PreviewTest, TheEndOfTheMediaGoesBackToTheStartPaused) {
    Start();
    PreviewPaused(PatternClip());
    Form1->bsSkinButton13Click(nullptr);
    ASSERT_TRUE(WaitFor([] { return Logged(u"Pause") == 2; })) << UTF8Encode(LastLog());
    const std::vector<String> L = Log();
    EXPECT_EQ(std::vector<String>(L.end() - 3, L.end()), (std::vector<String>{u"Resume", u"End", u"Pause"}));
    // The picture of the start is shown again, and play starts the file once more.
    ASSERT_TRUE(WaitFor([] {
        Int64 Pts = -1;
        Form1->RUDezari->CurrentFrame(Pts);
        return Pts == 0;
    }));
    Form1->bsSkinButton13Click(nullptr);
    ASSERT_TRUE(WaitFor([] { return Logged(u"Resume") == 2 && Form1->RUDezari->CurrentPTS() > 200000; }));
}

TEST_F(PreviewTest, FilesWithoutPictureOrDurationLogWhatThePlayerKnows) {
    Start();
    // Without pictures a paused open reports no pause.
    Preview(ToneClip());
    ASSERT_TRUE(WaitFor([] { return Logged(u"Play") == 1; }));
    EXPECT_EQ(Logged(u"duration: 1.00, frame size: -1x-1"), 1);

    // The raw stream's duration is unknown to the player: stored as 0, the slider stays at its start.
    Form1->mmoLog->Lines()->Clear();
    PreviewPaused(RawClip());
    EXPECT_TRUE(Form1->RUDezari->AVProbe()->FileStreamInfo().Duration <= 0);
    EXPECT_EQ(Logged(u"duration: 0.00, frame size: 160x120"), 1);
    EXPECT_EQ(Form1->FDuration, 0);
    Form1->bsSkinButton13Click(nullptr);
    ASSERT_TRUE(WaitFor([] { return Form1->RUDezari->CurrentPTS() > 500000; }));
    EXPECT_EQ(Form1->bsSkinSlider1->Value(), 0);
}

TEST_F(PreviewTest, MuteIsKeptAcrossAReopenAndStopGoesBackToTheStartOnlyWithASelectedRow) {
    Start();
    PreviewPaused(PatternClip());
    Form1->bsSkinButton16Click(nullptr);
    EXPECT_TRUE(Form1->RUDezari->Mute());
    EXPECT_TRUE(Form1->bsSkinButton20->Visible());
    EXPECT_FALSE(Form1->bsSkinButton16->Visible());

    // No row selected: stop does nothing.
    Form1->bsSkinButton13Click(nullptr);
    ASSERT_TRUE(WaitFor([] { return Logged(u"Resume") == 1; }));
    const std::size_t Before = Log().size();
    Form1->bsSkinButton15Click(nullptr);
    Pump();
    CheckSynchronize(0);
    EXPECT_EQ(Log().size(), Before);
    EXPECT_NE(Form1->RUDezari->PlayState(), psStop);

    // With a row: the file opens again, paused at its start, still muted.
    SelectARow();
    Form1->bsSkinButton15Click(nullptr);
    // The old playback's "Stop" may come before or after the new open's lines.
    ASSERT_TRUE(WaitFor([] {
        const std::vector<String> L = Log();
        const auto Reopened = std::find(std::find(L.begin(), L.end(), u"duration: 2.00, frame size: 160x120") + 1,
                                        L.end(), u"duration: 2.00, frame size: 160x120");
        return Logged(u"Stop") == 1 && Reopened != L.end() && std::find(Reopened, L.end(), u"Pause") != L.end();
    })) << UTF8Encode(LastLog());
    EXPECT_LT(Form1->RUDezari->CurrentPTS(), 100000);
    EXPECT_TRUE(Form1->RUDezari->Mute());
    EXPECT_TRUE(Form1->bsSkinButton20->Visible());

    Form1->bsSkinButton20Click(nullptr);
    EXPECT_FALSE(Form1->RUDezari->Mute());
    EXPECT_TRUE(Form1->bsSkinButton16->Visible());
    EXPECT_FALSE(Form1->bsSkinButton20->Visible());
}

TEST_F(PreviewTest, LibrariesThatCannotBeLoadedLogTheLoadersTextAndNothingMore) {
    // "LibAV" with every library but an SDL that is no library.
    std::filesystem::remove(Exe.Folder() / "LibAV");
    std::filesystem::create_directory(Exe.Folder() / "LibAV");
    for (const auto& Entry : std::filesystem::directory_iterator(UTF8Encode(GetAppPath()) + "LibAV"))
        if (Entry.path().filename() != "libSDL2-2.0.so.0")
            std::filesystem::create_symlink(std::filesystem::canonical(Entry.path()),
                                            Exe.Folder() / "LibAV" / Entry.path().filename());
    std::ofstream(Exe.Folder() / "LibAV" / "libSDL2-2.0.so.0") << "not a library";
    Start();
    Preview(PatternClip());
    Pump();
    CheckSynchronize(0);
    const String Error = Form1->RUDezari->LastErrMsg();
    EXPECT_EQ(Error.rfind(u"Load library " + Exe.Path() + u"LibAV/libSDL2-2.0.so.0 error: ", 0), 0u)
        << UTF8Encode(Error);
    EXPECT_EQ(Form1->mmoLog->Lines()->Text(), Error + u"\r\n");
    EXPECT_FALSE(Form1->RUDezari->AVLibLoaded());
    EXPECT_EQ(Form1->RUDezari->PlayState(), psStop);
    // The play, pause and slider controls do nothing then.
    Form1->bsSkinButton13Click(nullptr);
    Form1->bsSkinSlider1MouseDown(nullptr, mbLeft, {}, 0, 0);
    Form1->bsSkinSlider1MouseUp(nullptr, mbLeft, {}, 0, 0);
    EXPECT_EQ(Form1->RUDezari->PlayState(), psStop);
}

namespace {

// A main window whose player operations of the seek slider are only written down.
class TRecordingForm1 : public TForm1 {
public:
    using TForm1::TForm1;
    std::vector<std::string> Calls;

protected:
    void PausePlayer() override { Calls.push_back("Pause"); }
    void SeekPlayer(Int64 APTS, TSeekFlags AFlags) override {
        Calls.push_back("Seek " + std::to_string(APTS) + (AFlags.Contains(sfAny) ? " any" : ""));
    }
    void ResumePlayer() override { Calls.push_back("Resume"); }
};

class PreviewSliderTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        Application->CreateForm(Form);
        Form1 = Form;
        Form->Show();
        Pump();
        // What opening a 2 s file does to the slider.
        Integer W = 0, H = 0;
        Form->RUDezariFileOpen(nullptr, 2000000, 160, 120, W, H);
        // No render target looked up yet: the desktop's size.
        EXPECT_EQ(W, 1920);
        EXPECT_EQ(H, 1080);
    }
    void TearDown() override {
        delete Form;
        AppTest::TearDown();
    }
    TPoint SliderPoint(int X) {
        TbsSkinSlider* S = Form->bsSkinSlider1;
        return S->ClientToScreen({X, S->Height() / 2});
    }
    TPoint ThumbCentre() {
        const TRect& T = Form->bsSkinSlider1->ThumbRect();
        return Form->bsSkinSlider1->ClientToScreen({(T.Left + T.Right) / 2, (T.Top + T.Bottom) / 2});
    }
    TRecordingForm1* Form = nullptr;
};

} // namespace

TEST_F(PreviewSliderTest, ADragToTheEndSeeksToTheDurationExactlyAndResumes) {
    const TPoint From = ThumbCentre();
    InjectMouseMove(From.X, From.Y);
    InjectMouseButton(0, true);
    Pump();
    EXPECT_EQ(Form->bsSkinSlider1_down_UP, u"Down");
    EXPECT_EQ(Form->Calls, std::vector<std::string>{"Pause"});
    const TPoint End = SliderPoint(Form->bsSkinSlider1->Width() + 40);
    InjectMouseMove(End.X, End.Y);
    Pump();
    // Reports of the playing position leave the thumb where the user holds it.
    Form->RUDezariPosition(nullptr, 500000);
    EXPECT_EQ(Form->bsSkinSlider1->Value(), 241);
    InjectMouseButton(0, false);
    Pump();
    EXPECT_EQ(Form->Calls, (std::vector<std::string>{"Pause", "Pause", "Seek 2000000", "Resume"}));
    EXPECT_EQ(Form->bsSkinSlider1_down_UP, u"UP");
    // Released, the slider follows the position again.
    Form->RUDezariPosition(nullptr, 1000000);
    EXPECT_EQ(Form->bsSkinSlider1->Value(), 120);
}

TEST_F(PreviewSliderTest, TheRightButtonPausesAndSeeksLikeTheLeft) {
    Form->bsSkinSlider1->SetValue(100);
    const TPoint At = SliderPoint(150);
    InjectMouseMove(At.X, At.Y);
    InjectMouseButton(1, true);
    Pump();
    EXPECT_EQ(Form->Calls, std::vector<std::string>{"Pause"});
    EXPECT_EQ(Form->bsSkinSlider1_down_UP, u"Down");
    InjectMouseButton(1, false);
    Pump();
    // 2000000 * 100 div 241, truncated.
    EXPECT_EQ(Form->Calls, (std::vector<std::string>{"Pause", "Pause", "Seek 829875", "Resume"}));
    EXPECT_EQ(Form->bsSkinSlider1_down_UP, u"UP");
}

TEST_F(PreviewSliderTest, TheEndOfTheMediaSeeksToTheStartAndPauses) {
    Form->RUDezariState(nullptr, psEnd);
    EXPECT_EQ(Form->Calls, (std::vector<std::string>{"Seek 0 any", "Pause"}));
    EXPECT_EQ(Form->mmoLog->Lines()->Strings(Form->mmoLog->Lines()->Count() - 1), u"End");
}

TEST_F(PreviewSliderTest, StatesSetTheFormStyleAndAreLoggedByName) {
    struct Case {
        TPlayState State;
        bool StayOnTop;
        TFormStyle Style;
    };
    const Case Cases[] = {
        {psPlay, true, fsStayOnTop}, {psPause, true, fsNormal}, {psResume, true, fsStayOnTop},
        {psStep, true, fsNormal},    {psPlay, false, fsNormal}, {psResume, false, fsNormal},
    };
    for (const Case& C : Cases) {
        Form->chkStayOnTop->SetChecked(C.StayOnTop);
        Form->RUDezariState(nullptr, C.State);
        EXPECT_EQ(Form->FormStyle(), C.Style) << UTF8Encode(PlayerStateNames[C.State]);
    }
    TStrings* Log = Form->mmoLog->Lines();
    std::vector<String> Names;
    for (int I = Log->Count() - 6; I < Log->Count(); ++I)
        Names.push_back(Log->Strings(I));
    EXPECT_EQ(Names, (std::vector<String>{u"Play", u"Pause", u"Resume", u"Step", u"Play", u"Resume"}));
}

TEST_F(PreviewSliderTest, TheRenderTargetIsFoundAmongTheDirectWindowedChildrenByExactName) {
    struct Case {
        const char16_t* Name;
        TWinControl* Want;
    };
    const Case Cases[] = {
        {u"Panel6", Form->Panel6},
        {u"bsSkinPanel3", Form->bsSkinPanel3},
        {u"panel6", nullptr},
        {u"mmoLog", nullptr}, // on Panel5, not the form's own
        {u"", nullptr},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(Form->FindWinControlByName(C.Name), C.Want) << UTF8Encode(String(C.Name));
}

TEST_F(PreviewTest, AStoppedPreviewLeavesThePanelInItsOwnColour) {
    Start();
    PreviewPaused(PatternClip());
    ASSERT_TRUE(WaitFor([] { return IsGreen(PanelPixel(120, 30)); }));
    // As a batch stop or clearing the list stops it.
    Form1->RUDezari->Stop(true);
    ASSERT_TRUE(WaitFor([] { return Logged(u"Stop") == 1; }));
    Pump();
    const COLORREF Own = ColorToRGB(Form1->Panel6->Color());
    EXPECT_TRUE(WaitFor([&] {
        const TRgb P = PanelPixel(120, 30);
        return RGB(P.R, P.G, P.B) == Own;
    }));
}
