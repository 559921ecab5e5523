// TTimer: ticks on the tests' clock, stopping and restarting, and timers freed or changed inside a tick.
#include "UiTestFixture.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/win/WinExtras.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using TimerTest = UiTest;

TEST_F(TimerTest, TicksEveryIntervalWhileEnabled) {
    TTimer Timer(nullptr);
    int Ticks = 0;
    Timer.OnTimer = [&](TObject* Sender) {
        EXPECT_EQ(Sender, &Timer);
        ++Ticks;
    };
    Timer.SetInterval(100);
    Wait(99);
    EXPECT_EQ(Ticks, 0);
    Wait(1);
    EXPECT_EQ(Ticks, 1);
    Wait(100);
    EXPECT_EQ(Ticks, 2);
    // A late loop gets one tick, not the ones it missed.
    Wait(1000);
    EXPECT_EQ(Ticks, 3);

    Timer.SetEnabled(false);
    Wait(500);
    EXPECT_EQ(Ticks, 3);
    Timer.SetEnabled(true); // a restart counts the interval from now
    Wait(50);
    EXPECT_EQ(Ticks, 3);
    Wait(50);
    EXPECT_EQ(Ticks, 4);
    Timer.SetInterval(0);
    Wait(500);
    EXPECT_EQ(Ticks, 4);
}

TEST_F(TimerTest, ATimerMayFreeItselfInItsOwnTick) {
    auto* Self = new TTimer(nullptr);
    TTimer Other(nullptr);
    std::string Log;
    Self->SetInterval(100);
    Other.SetInterval(100);
    Self->OnTimer = [&Log, Self](TObject*) {
        Log += "self ";
        delete Self;
        Log += "freed ";
    };
    Other.OnTimer = [&Log](TObject*) { Log += "other "; };
    Wait(100);
    Wait(100);
    EXPECT_EQ(Log, "self freed other other ");
}

TEST_F(TimerTest, ATickMayStopOrFreeAnotherTimerThatIsAlsoDue) {
    auto* Victim = new TTimer(nullptr);
    TTimer Killer(nullptr), Changer(nullptr);
    std::string Log;
    Killer.SetInterval(100);
    Victim->SetInterval(100);
    Changer.SetInterval(100);
    Killer.OnTimer = [&](TObject*) {
        Log += "killer ";
        delete Victim;
        Victim = nullptr;
    };
    Victim->OnTimer = [&](TObject*) { Log += "victim "; };
    // A timer that changes its own interval inside its tick counts the new one from then.
    Changer.OnTimer = [&](TObject*) {
        Log += "changer ";
        Changer.SetInterval(300);
    };
    Wait(100);
    Wait(100);
    Wait(200);
    EXPECT_EQ(Log, "killer changer killer killer changer ");
}

TEST_F(TimerTest, AnOwnerFreesItsTimersAndTheyStop) {
    auto* Owner = new TComponent(nullptr);
    auto* Timer = new TTimer(Owner);
    int Ticks = 0;
    Timer->SetInterval(10);
    Timer->OnTimer = [&](TObject*) { ++Ticks; };
    Wait(10);
    delete Owner;
    Wait(100);
    EXPECT_EQ(Ticks, 1);
}

} // namespace
