#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <thread>
#include <vector>

#include "engine/MyUtils.h"
#include "platform/win/WinExtras.h"
#include "platform/win/Windows.h"

namespace {

TEST(MyUtilsTest, FormatByteSizeSwitchesUnitAboveEachPower) {
    struct Case {
        Int64 Size;
        const char16_t* Text;
    } Cases[] = {
        {0, u"0 Byte"},           {-1, u"-1 Byte"},      {1024, u"1024 Byte"},        {1025, u"1.00 KB"},
        {1048576, u"1024.00 KB"}, {1048577, u"1.00 MB"}, {1073741824, u"1024.00 MB"}, {3221225472, u"3.00 GB"},
        {1536, u"1.50 KB"},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(FormatByteSize(C.Size), C.Text) << C.Size;
}

TEST(MyUtilsTest, SplitOffCutsAtTheFirstDelimiter) {
    struct Case {
        const char16_t* S;
        bool Remove;
        const char16_t* Head;
        const char16_t* Rest;
    } Cases[] = {
        {u"a=b=c", true, u"a", u"b=c"},  {u"a=b=c", false, u"a", u"a=b=c"}, {u"abc", true, u"abc", u""},
        {u"abc", false, u"abc", u"abc"}, {u"=x", true, u"", u"x"},
    };
    for (const Case& C : Cases) {
        String S = C.S, Head = u"old";
        SplitOff(S, u"=", C.Remove, Head);
        EXPECT_EQ(Head, C.Head) << UTF8Encode(String(C.S));
        EXPECT_EQ(S, C.Rest) << UTF8Encode(String(C.S));
    }
}

TEST(MyUtilsTest, FileSizeOfIsMinusOneForAMissingFile) {
    EXPECT_EQ(FileSizeOf(u"/nonexistent/qv_file"), -1);
    EXPECT_EQ(FileSizeOf(GetAppPath()), -1);
    EXPECT_GT(FileSizeOf(GetAppFileName()), 0);
}

// Local times take the offset of their own date, so a summer date is shifted by daylight saving.
TEST(MyUtilsTest, UnixToLocalDateTimeUsesTheOffsetOfThatDate) {
    const char* OldTZ = getenv("TZ");
    std::string Saved = OldTZ ? OldTZ : "";
    setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
    tzset();
    // 2021-01-15 12:00:00 UTC and 2021-07-15 12:00:00 UTC.
    EXPECT_EQ(FormatDateTimeText(u"yyyy-mm-dd hh:nn:ss", UnixToLocalDateTime(1610712000)), u"2021-01-15 13:00:00");
    EXPECT_EQ(FormatDateTimeText(u"yyyy-mm-dd hh:nn:ss", UnixToLocalDateTime(1626350400)), u"2021-07-15 14:00:00");
    double Offset = LocalTimeZoneOffset();
    EXPECT_TRUE(Offset * 24 > 0.99 && Offset * 24 < 2.01) << Offset;
    if (OldTZ)
        setenv("TZ", Saved.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

} // namespace

namespace {

// A main thread that waits for a worker in slices, pumping in between, lets the worker's
// synchronised calls through.
TEST(MyUtilsTest, RunInMainThreadCompletesWhileTheMainThreadWaitsInSlices) {
    bool RanOnMain = false;
    RunInMainThread([&] { RanOnMain = IsMainThread(); });
    EXPECT_TRUE(RanOnMain);

    TEvent Done;
    std::vector<bool> Calls;
    std::thread Worker([&] {
        for (int I = 0; I < 3; ++I)
            RunInMainThread([&] { Calls.push_back(IsMainThread()); });
        Done.SetEvent();
    });
    while (Done.WaitFor(10) == wrTimeout)
        PumpMessages();
    Worker.join();
    EXPECT_EQ(Calls, (std::vector<bool>{true, true, true}));
}

// Pumping inside a wait runs the window messages that wait, and a WM_QUIT among them is neither
// run nor lost: the request stands and the message is back in the queue for the application's loop.
TEST(MyUtilsTest, PumpMessagesRunsWindowMessagesAndKeepsAQuit) {
    ResetWindowManager();
    std::vector<int> Seen;
    WNDCLASSEXW Class;
    Class.lpszClassName = u"PumpMessagesTest";
    Class.lpfnWndProc = MakeWndProcInstance([&](HWND h, UINT Msg, WPARAM w, LPARAM l) -> LRESULT {
        if (Msg == WM_APP)
            Seen.push_back(int(w));
        return DefWindowProcW(h, Msg, w, l);
    });
    RegisterClassExW(&Class);
    HWND Window =
        CreateWindowExW(0, u"PumpMessagesTest", u"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(Window, nullptr);
    PostMessageW(Window, WM_APP, 1, 0);
    PostQuitMessage(5);
    PostMessageW(Window, WM_APP, 2, 0);
    PumpMessages();
    EXPECT_EQ(Seen, (std::vector<int>{1, 2}));
    EXPECT_TRUE(QuitPending());
    EXPECT_EQ(QuitExitCode(), 5);
    MSG Msg;
    EXPECT_FALSE(GetMessageW(&Msg, nullptr, 0, 0));
    EXPECT_EQ(Msg.wParam, 5u);
    ResetWindowManager();
    EXPECT_FALSE(QuitPending());
}

} // namespace
