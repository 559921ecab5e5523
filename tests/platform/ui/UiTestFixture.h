// The fixture of the class library's tests: a fresh window manager on the tests' clock.
#pragma once

#include "platform/win/WinExtras.h"

#include <gtest/gtest.h>

#include <memory>

class UiTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetWindowManager();
        SetWinClock(std::make_unique<TTestClock>(1000, 1));
    }
    void TearDown() override {
        ResetWindowManager();
        SetWinClock(nullptr);
    }
    // Runs what is queued (input, posted messages, painting, timers due).
    void Pump() { ProcessPendingMessages(); }
    // Moves the clock on and runs what fell due.
    void Wait(std::uint64_t Ms) {
        WinClock().AdvanceTo(WinClock().Current() + Ms);
        Pump();
    }
};
