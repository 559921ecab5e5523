// Speed of the memo as the main window's log uses it: lines added one by one to a memo that already
// holds many, with wrapping on and the layout needed after each line (as painting needs it), and typing
// into a single-line edit.
#include <benchmark/benchmark.h>

#include <memory>

#include "platform/ui/Edits.h"
#include "platform/ui/Forms.h"
#include "platform/win/WinExtras.h"

namespace {

void AppendToLog(benchmark::State& State) {
    ResetWindowManager();
    auto Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(0, 0, 600, 400);
    auto* Memo = new TMemo(Form.get());
    Memo->SetParent(Form.get());
    Memo->SetBounds(0, 0, 580, 380);
    Memo->HandleNeeded();
    for (int I = 0; I < State.range(0); ++I)
        Memo->Lines()->Add(
            u"[mp4 @ 0x55d0] frame=  120 fps= 30 q=28.0 size=    512kB time=00:00:04.00 bitrate=1048.6kbits/s");
    int Line = 0;
    for (auto _ : State) {
        Memo->Lines()->Add(u"***Converting line " + IntToStr(++Line));
        benchmark::DoNotOptimize(SendMessageW(Memo->Handle(), EM_GETLINECOUNT, 0, 0));
    }
    State.SetItemsProcessed(State.iterations());
    Form.reset();
    ResetWindowManager();
}
BENCHMARK(AppendToLog)->Arg(100)->Arg(2000);

void TypeIntoEdit(benchmark::State& State) {
    ResetWindowManager();
    auto Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(0, 0, 400, 100);
    auto* Edit = new TEdit(Form.get());
    Edit->SetParent(Form.get());
    Edit->SetBounds(0, 0, 300, 21);
    Edit->HandleNeeded();
    for (auto _ : State) {
        SendMessageW(Edit->Handle(), WM_CHAR, u'a', 0);
        if (Edit->Text().size() > 200)
            Edit->SetText(String());
    }
    State.SetItemsProcessed(State.iterations());
    Form.reset();
    ResetWindowManager();
}
BENCHMARK(TypeIntoEdit);

} // namespace

BENCHMARK_MAIN();
