// Helpers of the window manager's tests: a fixture on the tests' clock, and a window class that logs the
// messages its windows receive so a test can compare them with an expected sequence in one call.
#pragma once

#include "platform/win/WinExtras.h"
#include "platform/win/Windows.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

using TSeq = std::vector<std::string>;

std::string MsgName(UINT Msg);

// Records "name:MESSAGE(detail)" for every message a logged window receives, then lets a per-window
// handler answer it or passes it to DefWindowProc.
class TMsgLog {
public:
    TMsgLog();
    ~TMsgLog();
    // A window of the logging class; Name appears in the log.
    HWND Create(const std::string& Name, DWORD Style, int X, int Y, int W, int H, HWND Parent = nullptr,
                DWORD ExStyle = 0, UINT ClassStyle = 0);
    // Takes the log and clears it.
    TSeq Take();
    void Clear() { FLog.clear(); }
    // Messages left out of the log (WM_NCHITTEST, WM_SETCURSOR, WM_GETTEXT ... by default).
    std::set<UINT> Ignored;
    // A handler for one window: returns true when it answered (Result set).
    using THandler = std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT&)>;
    std::map<HWND, THandler> Handlers;
    std::map<HWND, std::string> Names;

    static TMsgLog* Current;
    static LRESULT CALLBACK_Proc(HWND, UINT, WPARAM, LPARAM);
    void Record(HWND h, UINT Msg, WPARAM w, LPARAM l);

private:
    TSeq FLog;
    std::string FPendingName;
};

class WinTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Runs everything queued (input, posted, paint, timers due).
    void Pump() { ProcessPendingMessages(); }
    TMsgLog Log;
};
