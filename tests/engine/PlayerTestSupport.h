// What the player's tests share: a recorder of the states and positions the player reports, and a
// wait for a condition that may run something (the GUI thread's messages) between looks.
#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "engine/FFPlayer.h"
#include "engine/MyUtils.h"
#include "platform/base/Threads.h"

namespace qvtest {

// Loads the player's libraries. No sound card on the test machines: SDL's dummy driver plays at the
// real rate.
inline ::testing::AssertionResult LoadPlayerLibraries(TCustomPlayer& APlayer) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (APlayer.LoadAVLib(GetAppPath() + u"LibAV"))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << UTF8Encode(APlayer.LastErrMsg());
}

// A pixel of a 32-bit bitmap the player handed out, as 0xAARRGGBB.
inline uint32_t& BitmapPixel(TBitmap* ABitmap, int X, int Y) {
    return static_cast<uint32_t*>(ABitmap->ScanLine(Y))[X];
}
// The distance in bytes from one row of the bitmap to the next.
inline int BitmapLineSize(TBitmap* ABitmap) {
    return int(static_cast<uint8_t*>(ABitmap->ScanLine(1)) - static_cast<uint8_t*>(ABitmap->ScanLine(0)));
}

// Polls ACond until it holds, running ABetween before each look; the bound only keeps a broken
// build from hanging.
template <typename F>
bool WaitUntil(F ACond, const std::function<void()>& ABetween = nullptr,
               std::chrono::seconds ABound = std::chrono::seconds(30)) {
    auto Deadline = std::chrono::steady_clock::now() + ABound;
    for (;;) {
        if (ABetween)
            ABetween();
        if (ACond())
            return true;
        if (std::chrono::steady_clock::now() > Deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

struct TPlayerRecorder {
    std::mutex Lock;
    std::vector<TPlayState> States;
    std::vector<Int64> Positions;
    // A handler ran on another thread than the main one.
    std::atomic<bool> OffMainThread{false};

    void Attach(TCustomPlayer& P) {
        P.OnState = [this](TObject*, TPlayState S) {
            OffMainThread = OffMainThread || !IsMainThread();
            std::lock_guard G(Lock);
            States.push_back(S);
        };
        P.OnPosition = [this](TObject*, Int64 Pts) {
            OffMainThread = OffMainThread || !IsMainThread();
            std::lock_guard G(Lock);
            Positions.push_back(Pts);
        };
    }
    bool Has(TPlayState S) {
        std::lock_guard G(Lock);
        return std::find(States.begin(), States.end(), S) != States.end();
    }
    std::vector<TPlayState> StatesSoFar() {
        std::lock_guard G(Lock);
        return States;
    }
    Int64 LastPosition() {
        std::lock_guard G(Lock);
        return Positions.empty() ? -1 : Positions.back();
    }
};

} // namespace qvtest
