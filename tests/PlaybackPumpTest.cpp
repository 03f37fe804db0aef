// The playback pump that every platform shares, on the simulated journal's virtual clock:
// records go out when due, a pass started from the last skip runs at the loop's next turn,
// a hold keeps the pump from moving on, and a removed hook is never called again.
#include "platform/common/PlaybackPump.h"

#include "EngineFixture.h"
#include "platform/sim/SimPumpLoop.h"

namespace {

class PumpTest : public EngineTest {
  public:
    void SetUp() override {
        EngineTest::SetUp();
        journal.AttachPump(&pump);
    }
    void TearDown() override {
        journal.AttachPump(nullptr);
        EngineTest::TearDown();
    }

    std::vector<uint32_t> PlayedTicks() const {
        std::vector<uint32_t> ticks;
        for (const SimInjector::Played& played : injector.played) ticks.push_back(played.tick);
        return ticks;
    }

    SimPumpLoop loop;
    SimInjector injector;
    PlaybackPump pump{loop, injector};
};

TEST_F(PumpTest, PlaysEachRecordWhenDueWithItsKeyUnchanged) {
    journal.SetTick(1000);
    FillStream({0, 100, 250});
    engine->Stream().WriteEvent(EVENTMSG{msg::kKeyDown, 0x1C0D, 0x8001, 300, 0});  // keypad Enter
    engine->SetSpeed(50);
    engine->Play();
    loop.Run();
    // Stored time div 100 x 50 after the start.
    EXPECT_EQ(PlayedTicks(), (std::vector<uint32_t>{1000, 1050, 1100, 1150}));
    EXPECT_EQ(injector.played.back().record.paramL, 0x1C0Du) << "the rearranged copy was played";
    EXPECT_EQ(injector.played.back().record.paramH, 0x8001u);
    EXPECT_EQ(engine->State(), rsIdle);
    EXPECT_EQ(loop.Waiting(), 0u);
}

TEST_F(PumpTest, APassStartedFromTheLastSkipWaitsForTheLoopAndAHoldKeepsThePumpFromMovingOn) {
    FillStream({0, 10});
    int passes = 1;
    onNotify = [&](TRecorderState state) {
        if (state == rsIdle && passes++ < 2) engine->Play();
    };
    engine->Play();
    {
        PlaybackPump::Hold hold;
        loop.Run(5);
        ASSERT_EQ(injector.played.size(), 1u) << "the pump moved on inside a hold";
    }
    loop.Run();
    EXPECT_EQ(injector.played.size(), 4u);
    EXPECT_EQ(passes, 3);
    EXPECT_EQ(engine->State(), rsIdle);
}

TEST_F(PumpTest, AHookRemovedWhileAWaitIsPendingOrCancelledIsNeverCalledAgain) {
    FillStream({0, 500, 1000});
    engine->Play();
    loop.Run(1);  // the first record; the wait for the second is pending
    ASSERT_EQ(injector.played.size(), 1u);
    engine->Stop();
    EXPECT_EQ(loop.Run(), 0u);
    EXPECT_EQ(injector.played.size(), 1u);

    engine->Play();
    loop.Run(1);
    journal.CancelJournal();
    EXPECT_EQ(loop.Run(), 0u);
    EXPECT_EQ(injector.played.size(), 2u);
}

}  // namespace
