// The fixtures of the window layer's and class library's tests: a fresh window manager on the tests' clock, an
// application object of the test's own, and a shown form for the controls a test makes.
#pragma once

#include "platform/gdi/Graphics.h"
#include "platform/ui/Forms.h"
#include "platform/win/WinExtras.h"

#include <gtest/gtest.h>

#include <cstdint>
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
    // A key press, or a click at a screen point, with a modifier key (VK_SHIFT, VK_CONTROL) held.
    void Key(UINT Vk, UINT Modifier = 0) {
        if (Modifier)
            InjectKey(Modifier, true);
        InjectKeyPress(Vk);
        if (Modifier)
            InjectKey(Modifier, false);
        Pump();
    }
    void Click(TPoint P, UINT Modifier = 0) {
        if (Modifier)
            InjectKey(Modifier, true);
        InjectClick(P.X, P.Y);
        if (Modifier)
            InjectKey(Modifier, false);
        Pump();
    }
};

namespace uitest {

// The class library's fixture with an application object of its own, so the application's state
// (main form, hints, termination) never passes from one test to the next.
class UiTest : public ::UiTest {
protected:
    void SetUp() override {
        ::UiTest::SetUp();
        FSaved = Application;
        FApp = std::make_unique<TApplication>(nullptr);
        Application = FApp.get();
    }
    void TearDown() override {
        // The forms it owns go while it is still the application.
        FApp.reset();
        Application = FSaved;
        ::UiTest::TearDown();
    }
    void Advance(std::uint64_t Ms) { Wait(Ms); }

private:
    TApplication* FSaved = nullptr;
    std::unique_ptr<TApplication> FApp;
};

// A form at (100, 100), 420 x 300 unless the test asks for another size, shown, for the controls a test puts on
// it; the fixed-metric block font is registered for their text.
class FormTest : public UiTest {
protected:
    explicit FormTest(int Width = 420, int Height = 300) : FWidth(Width), FHeight(Height) {}
    void SetUp() override {
        UiTest::SetUp();
        RegisterFixedMetricFont(u"QvBlocks");
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(100, 100, FWidth, FHeight);
        Form->Show();
        Pump();
    }
    void TearDown() override {
        Form.reset();
        UiTest::TearDown();
    }

    std::unique_ptr<TForm> Form;

private:
    int FWidth, FHeight;
};

} // namespace uitest
