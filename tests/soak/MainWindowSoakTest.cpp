// The main window's batch commands run again and again through its handlers: add two clips, Start, Pause, Resume,
// Stop, Clear. After each step the rows, the option slots and the engine's tasks must agree; at the end the threads
// and descriptors are back where they started.
#include "PickForm.h"
#include "SoakFixture.h"

#include "platform/base/SysUtils.h"
#include "platform/base/Threads.h"
#include "platform/shell/PowerService.h"
#include "platform/shell/SoundService.h"
#include "support/MediaFixtures.h"
#include "tests/app/AppFixture.h"

#include <deque>

namespace {

using namespace qvtest;
using soak::TPickForm1;

const std::string& TwoSecondClip() {
    ClipOptions O;
    O.FileName = "soak-window-2s-160x120.avi";
    O.Duration = 2.0;
    O.Streams = {VideoStream("mpeg4", 160, 120), AudioStream("mp2", 22050, 1)};
    return WriteClip(O);
}

class MainWindowSoak : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        SetWinClock(nullptr); // the engine and the player run in real time
        ::setenv("SDL_AUDIODRIVER", "dummy", 1);
        FOldLauncher = SetShellLauncher(std::make_unique<TRecordingLauncher>(Opened));
        Application->SetTitle(u"Quorvane");
        Application->CreateForm(Form);
        Form1 = Form;
        Application->CreateForm(Form2);
        Application->CreateForm(Form5);
        Application->CreateForm(Form6);
        Form5->bsSkinCheckRadioBox5->SetChecked(true); // no after-batch action
        Form1->Show();
        Pump();
        for (const char* Name : {"a.avi", "b.avi"})
            std::filesystem::copy_file(TwoSecondClip(), In.Folder() / Name);
    }
    void TearDown() override {
        bool CanClose = true;
        Form->FormCloseQuery(Form, CanClose);
        Form->FFConv->ClearTasks();
        delete Form6;
        delete Form5;
        delete Form2;
        delete Form1;
        AppTest::TearDown();
        SetShellLauncher(std::move(FOldLauncher));
    }

    // Rows, used slots and tasks agree: as many of each, task numbers 1..n in the rows (while tasks exist).
    void ExpectAgreement(int N, const char* Step, int Rows, int Tasks) {
        EXPECT_EQ(Form->lvFiles->Items()->Count(), Rows) << "cycle " << N << " " << Step;
        EXPECT_EQ(Form->FFConv->TasksCount(), Tasks) << "cycle " << N << " " << Step;
        int Used = 0;
        for (const String& State : Form->SlotStates)
            Used += State == SlotUsed;
        EXPECT_EQ(Used, Rows) << "cycle " << N << " " << Step;
        for (int Row = 0; Row < Form->lvFiles->Items()->Count(); ++Row)
            EXPECT_EQ(JobColumnText(Form->lvFiles->Items()->Item(Row), jcTaskNumber), IntToStr(Row + 1))
                << "cycle " << N << " " << Step;
    }

    void Cycle(int N) {
        Form->Picks = {In.File("a.avi"), In.File("b.avi")};
        Form->btnAddClick(nullptr);
        Form->btnAddClick(nullptr);
        ExpectAgreement(N, "after the adds", 2, 2);
        Form->bsSkinButton2Click(nullptr);
        ExpectAgreement(N, "after Start", 2, 2);
        Form->bsSkinButton11Click(nullptr);
        Form->bsSkinButton12Click(nullptr);
        Form->bsSkinButton10Click(nullptr);
        // Stop waits for every task, the final report then empties the engine's list.
        const auto Limit = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (Form->FFConv->Working() && std::chrono::steady_clock::now() < Limit) {
            CheckSynchronize(5);
            Application->ProcessMessages();
        }
        ExpectAgreement(N, "after Stop", 2, 0);
        EXPECT_TRUE(Form->CommandEnabled(cmdAdd)) << "cycle " << N;
        Form->btnClearClick(nullptr);
        ExpectAgreement(N, "after Clear", 0, 0);
    }

    TPickForm1* Form = nullptr;
    TTempDir In;
    std::vector<String> Opened;

private:
    std::unique_ptr<TShellLauncher> FOldLauncher;
};

} // namespace

TEST_F(MainWindowSoak, AddStartPauseResumeStopAndClearAgainAndAgain) {
    Cycle(0); // the libraries, the player's audio device and what lives as long as the process
    soak::TSoakMeter Meter("main window");
    const int Count = soak::Cycles(200, 20);
    for (int N = 1; N <= Count; ++N) {
        Cycle(N);
        if (HasFailure())
            return;
    }
    Meter.Finish(Count, [] {
        CheckSynchronize(0);
        ProcessPendingMessages();
    });
    EXPECT_TRUE(Opened.empty());
}
