#include <gtest/gtest.h>

#include <future>
#include <mutex>
#include <string>
#include <vector>

#include "engine/PlayEvent.h"

namespace {

std::vector<TPlayEventSlot> Drain(TPlayEvent& Ring) {
    std::vector<TPlayEventSlot> Out;
    for (TPlayEventSlot S = Ring.Take(); S.Kind != peNone; S = Ring.Take())
        Out.push_back(S);
    return Out;
}

} // namespace

TEST(PlayEventTest, ConsecutiveEventsOfOneKindCoalesceIntoTheNewest) {
    struct Case {
        std::vector<TPlayEventSlot> Posted;
        std::vector<TPlayEventSlot> Taken;
    } Cases[] = {
        {{{pePosition, 1}, {pePosition, 2}, {pePosition, 3}}, {{pePosition, 3}}},
        {{{pePosition, 1}, {peState, psPause}, {pePosition, 2}},
         {{pePosition, 1}, {peState, psPause}, {pePosition, 2}}},
        // A pause followed by ten positions while the event thread is blocked.
        {{{peState, psPause},
          {pePosition, 10},
          {pePosition, 20},
          {pePosition, 30},
          {pePosition, 40},
          {pePosition, 50},
          {pePosition, 60},
          {pePosition, 70},
          {pePosition, 80},
          {pePosition, 90},
          {pePosition, 100}},
         {{peState, psPause}, {pePosition, 100}}},
        {{{peState, psPlay}, {peState, psStop}}, {{peState, psStop}}},
    };
    for (const Case& C : Cases) {
        TPlayEvent Ring;
        for (const TPlayEventSlot& S : C.Posted)
            Ring.Post(S.Kind, S.Value);
        EXPECT_EQ(Drain(Ring), C.Taken);
        EXPECT_FALSE(Ring.WaitFor(std::chrono::milliseconds(0)));
    }
}

TEST(PlayEventTest, AFullRingDropsItsOldestEvent) {
    TPlayEvent Ring;
    for (int I = 0; I < 12; ++I)
        Ring.Post(I % 2 ? peState : pePosition, I);
    EXPECT_EQ(Ring.Count(), 9);
    std::vector<TPlayEventSlot> Taken = Drain(Ring);
    ASSERT_EQ(Taken.size(), 9u);
    EXPECT_EQ(Taken.front(), (TPlayEventSlot{peState, 3}));
    EXPECT_EQ(Taken.back(), (TPlayEventSlot{peState, 11}));
    EXPECT_EQ(Ring.Take().Kind, peNone);
}

TEST(PlayEventTest, TheEventThreadDeliversInOrderAndEndsAtStop) {
    auto Ring = std::make_shared<TPlayEvent>();
    Ring->Post(pePosition, 100);
    Ring->Post(peState, psPause);
    Ring->Post(pePosition, 200);
    Ring->Post(peState, psStop);
    Ring->Post(pePosition, 300); // after the stop: never delivered
    std::vector<std::string> Log;
    int Delivered = 0;
    TEventThread Thread(
        Ring, [&](Int64 P) { Log.push_back("position " + std::to_string(P)); },
        [&](TPlayState S) { Log.push_back("state " + std::to_string(S)); },
        [&](const std::function<void()>& Call) {
            ++Delivered;
            Call();
        });
    ASSERT_TRUE(Thread.Join(std::chrono::seconds(10)));
    EXPECT_EQ(Log, (std::vector<std::string>{"position 100", "state 1", "position 200", "state 4"}));
    EXPECT_EQ(Delivered, 4);
}

TEST(PlayEventTest, TheEventThreadEndsAtStopOrEndWithoutHandlers) {
    for (TPlayEventSlot Last : {TPlayEventSlot{peState, psStop}, TPlayEventSlot{peEnd, 0}}) {
        auto Ring = std::make_shared<TPlayEvent>();
        TEventThread Thread(Ring, nullptr, nullptr, nullptr);
        Ring->Post(pePosition, 5);
        Ring->Post(Last.Kind, Last.Value);
        EXPECT_TRUE(Thread.Join(std::chrono::seconds(10)));
        EXPECT_TRUE(Thread.Finished());
    }
}

TEST(PlayEventTest, JoiningRunsTheWaitersCallsAndIsBounded) {
    // A delivery waiting for the joining thread (as one through the GUI queue waits for the main thread).
    auto Ring = std::make_shared<TPlayEvent>();
    std::promise<void> Released;
    std::shared_future<void> Gate = Released.get_future().share();
    bool Once = false;
    TEventThread Thread(
        Ring, [](Int64) {}, nullptr,
        [Gate](const std::function<void()>& Call) {
            Gate.wait();
            Call();
        });
    Ring->Post(pePosition, 1);
    Ring->Post(peEnd, 0);
    EXPECT_TRUE(Thread.Join(std::chrono::seconds(10), [&] {
        if (!Once)
            Released.set_value();
        Once = true;
    }));

    // A delivery that never returns in time: the join gives up, and the handlers are cut off.
    auto Ring2 = std::make_shared<TPlayEvent>();
    std::promise<void> Released2;
    std::shared_future<void> Gate2 = Released2.get_future().share();
    int Positions = 0;
    {
        TEventThread Stuck(
            Ring2, [&](Int64) { ++Positions; }, nullptr,
            [Gate2](const std::function<void()>& Call) {
                Gate2.wait();
                Call();
            });
        Ring2->Post(pePosition, 1);
        EXPECT_FALSE(Stuck.Join(std::chrono::milliseconds(30)));
        Released2.set_value();
        Ring2->Post(peEnd, 0);
    }
    EXPECT_LE(Positions, 1);
}

TEST(PositionReporterTest, ReportsMovesOfMoreThanTenMillisecondsAndTheEnd) {
    struct Step {
        Int64 P;
        Int64 Duration;
        bool Reported;
        Int64 Report;
    } Steps[] = {
        {0, 2000000, true, 0},
        {5000, 2000000, false, 0},
        {11000, 2000000, true, 11000},
        {16000, 2000000, false, 0},
        {1995000, 2000000, true, 1995000},
        {2003000, 2000000, true, 2000000}, // clamped to the duration, reported once
        {2040000, 2000000, false, 0},
        {3000000, -1, true, 3000000}, // unknown duration: no clamping
        {3004000, -1, false, 0},
    };
    TPositionReporter Reporter;
    for (const Step& S : Steps) {
        Int64 Report = -7;
        EXPECT_EQ(Reporter.Tick(S.P, S.Duration, Report), S.Reported) << S.P;
        if (S.Reported)
            EXPECT_EQ(Report, S.Report) << S.P;
    }
}
