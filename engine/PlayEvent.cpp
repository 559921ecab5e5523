#include "engine/PlayEvent.h"

#include <cstdlib>

void TPlayEvent::Post(Integer AKind, Int64 AValue) {
    std::lock_guard Guard(Lock);
    Integer Newest = (Tailer + SlotCount - 1) % SlotCount;
    if (Header == Tailer || Events[Newest].Kind != AKind) {
        Tailer = (Tailer + 1) % SlotCount;
        if (Header == Tailer)
            Header = (Header + 1) % SlotCount;
        Newest = (Tailer + SlotCount - 1) % SlotCount;
    }
    Events[Newest] = {AKind, AValue};
    FSignalled = true;
    Event.notify_all();
}

TPlayEventSlot TPlayEvent::Take() {
    std::lock_guard Guard(Lock);
    if (Header == Tailer)
        return {};
    TPlayEventSlot Slot = Events[Header];
    Header = (Header + 1) % SlotCount;
    if (Header == Tailer)
        FSignalled = false;
    return Slot;
}

Integer TPlayEvent::Count() const {
    std::lock_guard Guard(Lock);
    return (Tailer - Header + SlotCount) % SlotCount;
}

bool TPlayEvent::WaitFor(std::chrono::milliseconds ATimeout) {
    std::unique_lock Guard(Lock);
    return Event.wait_for(Guard, ATimeout, [this] { return FSignalled; });
}

void TPlayEvent::Clear() {
    std::lock_guard Guard(Lock);
    Header = Tailer = 0;
    FSignalled = false;
}

TEventThread::TEventThread(std::shared_ptr<TPlayEvent> ARing, std::function<void(Int64)> AOnPosition,
                           std::function<void(TPlayState)> AOnState, TDeliver ADeliver)
    : FShared(std::make_shared<TShared>()) {
    FShared->Ring = std::move(ARing);
    FShared->OnPosition = std::move(AOnPosition);
    FShared->OnState = std::move(AOnState);
    FShared->Deliver = std::move(ADeliver);
    FThread = std::thread(Execute, FShared);
}

TEventThread::~TEventThread() {
    if (FThread.joinable()) {
        if (!Join(std::chrono::milliseconds(2000)) && FThread.joinable())
            FThread.detach();
    }
}

void TEventThread::Execute(std::shared_ptr<TShared> S) {
    auto Call = [&S](const std::function<void()>& AHandler) {
        if (S->Deliver)
            S->Deliver(AHandler);
        else
            AHandler();
    };
    for (;;) {
        {
            std::lock_guard Guard(S->Lock);
            if (S->FTerminated)
                break;
        }
        TPlayEventSlot Slot = S->Ring->Take();
        if (Slot.Kind == pePosition) {
            std::function<void(Int64)> Handler;
            {
                std::lock_guard Guard(S->Lock);
                Handler = S->OnPosition;
            }
            if (Handler)
                Call([&] { Handler(Slot.Value); });
        } else if (Slot.Kind == peState) {
            std::function<void(TPlayState)> Handler;
            {
                std::lock_guard Guard(S->Lock);
                Handler = S->OnState;
            }
            TPlayState State = TPlayState(Slot.Value);
            if (Handler)
                Call([&] { Handler(State); });
            if (State == psStop)
                break;
        } else if (Slot.Kind == peEnd)
            break;
        // Wake now and then even without events, so that Terminate is seen.
        S->Ring->WaitFor(std::chrono::milliseconds(50));
    }
    std::lock_guard Guard(S->Lock);
    S->FFinished = true;
    S->Done.notify_all();
}

bool TEventThread::Join(std::chrono::milliseconds ATimeout, const std::function<void()>& AWhileWaiting) {
    auto Deadline = std::chrono::steady_clock::now() + ATimeout;
    for (;;) {
        std::unique_lock Guard(FShared->Lock);
        auto Slice = std::min(std::chrono::steady_clock::now() + std::chrono::milliseconds(10), Deadline);
        if (FShared->Done.wait_until(Guard, Slice, [this] { return FShared->FFinished; })) {
            Guard.unlock();
            if (FThread.joinable())
                FThread.join();
            return true;
        }
        if (std::chrono::steady_clock::now() >= Deadline) {
            FShared->FTerminated = true;
            FShared->OnPosition = nullptr;
            FShared->OnState = nullptr;
            return false;
        }
        Guard.unlock();
        if (AWhileWaiting)
            AWhileWaiting();
    }
}

bool TEventThread::Finished() const {
    std::lock_guard Guard(FShared->Lock);
    return FShared->FFinished;
}

bool TPositionReporter::Tick(Int64 P, Int64 ADuration, Int64& AReport) {
    if (ADuration > 0 && P >= ADuration) {
        P = ADuration;
        if (FLastPTS != ADuration)
            FLastPTS = 0;
    }
    if (FLastPTS == NoTime || std::llabs(FLastPTS - P) > MinStep) {
        FLastPTS = P;
        AReport = P;
        return true;
    }
    return false;
}
