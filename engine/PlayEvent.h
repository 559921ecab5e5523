// The player's event ring and the thread that hands its events to the application: position and
// state reports leave the playback threads here, so that no playback thread ever waits for a handler.
#pragma once

#include <atomic>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/base/System.h"

enum TPlayState { psPlay, psPause, psResume, psStep, psStop, psEnd };

// Kinds of the ring's events; 0 is what Take answers for an empty ring.
constexpr Integer peNone = 0;
constexpr Integer pePosition = 1;
constexpr Integer peState = 2;
constexpr Integer peEnd = 3;

struct TPlayEventSlot {
    Integer Kind = peNone;
    Int64 Value = 0;
    friend bool operator==(const TPlayEventSlot&, const TPlayEventSlot&) = default;
};

// Ten slots, at most nine pending. Consecutive events of one kind coalesce into the newest, and a
// full ring drops its oldest event, so a burst of position reports never blocks the poster.
class TPlayEvent {
public:
    static constexpr Integer SlotCount = 10;

    void Post(Integer AKind, Int64 AValue);
    TPlayEventSlot Take();
    Integer Count() const;
    // Waits until an event is pending (the manual-reset event is set) or the time runs out.
    bool WaitFor(std::chrono::milliseconds ATimeout);
    void Clear();

private:
    mutable std::mutex Lock;
    std::condition_variable Event;
    bool FSignalled = false;
    Integer Header = 0;
    Integer Tailer = 0;
    TPlayEventSlot Events[SlotCount];
};

// Delivers the ring's events: positions to OnPosition, states to OnState, until psStop or peEnd.
// Deliver runs each handler call (on the main thread through the GUI queue, or directly); Join waits
// a bounded time and runs WhileWaiting between slices, so a caller on the main thread keeps the
// synchronised calls flowing that the event thread may be waiting for.
class TEventThread {
public:
    using TDeliver = std::function<void(const std::function<void()>&)>;

    TEventThread(std::shared_ptr<TPlayEvent> ARing, std::function<void(Int64)> AOnPosition,
                 std::function<void(TPlayState)> AOnState, TDeliver ADeliver);
    ~TEventThread();
    TEventThread(const TEventThread&) = delete;
    TEventThread& operator=(const TEventThread&) = delete;

    // True when the thread ended within ATimeout. On time-out the handlers are cut off and the thread
    // is left to finish on its own: it only touches state it shares by ownership.
    bool Join(std::chrono::milliseconds ATimeout, const std::function<void()>& AWhileWaiting = nullptr);
    bool Finished() const;

private:
    struct TShared {
        std::shared_ptr<TPlayEvent> Ring;
        std::mutex Lock;
        std::condition_variable Done;
        bool FFinished = false;
        bool FTerminated = false;
        std::function<void(Int64)> OnPosition;
        std::function<void(TPlayState)> OnState;
        TDeliver Deliver;
    };
    static void Execute(std::shared_ptr<TShared> S);
    std::shared_ptr<TShared> FShared;
    std::thread FThread;
};

// The position tick's reporting rule: a position is reported when it moved more than 10 ms from the
// last report, and the end of a file with a known duration is always reported as the duration.
class TPositionReporter {
public:
    static constexpr Int64 NoTime = INT64_MIN;
    static constexpr Int64 MinStep = 10000;

    // P is the position in µs, ADuration the file's (≤ 0: unknown). Returns whether a report is due,
    // with the position to report in AReport.
    bool Tick(Int64 P, Int64 ADuration, Int64& AReport);
    Int64 LastPTS() const { return FLastPTS; }
    void Reset() { FLastPTS = NoTime; }

private:
    // Ticked by the player's event thread, reset by the GUI thread.
    std::atomic<Int64> FLastPTS{NoTime};
};
