// Playback through the simulated journal: timing, key parameters, failures, re-entrancy.
#include <gtest/gtest.h>

#include "CannotPlay.h"
#include "EngineFixture.h"

namespace {

using PlaybackTest = EngineTest;

// Plays the stream from base tick `start` and returns each delivery's offset from start.
std::vector<uint32_t> DueOffsets(EngineTest& test, uint32_t start, int32_t percent) {
    test.journal.Reset();
    test.journal.SetTick(start);
    test.engine->SetSpeed(percent);
    test.engine->Play();
    test.journal.RunPlayback();
    std::vector<uint32_t> offsets;
    for (const auto& delivery : test.journal.Deliveries()) offsets.push_back(delivery.tick - start);
    return offsets;
}

TEST_F(PlaybackTest, TimingTableAtEachPercentage) {
    FillStream({0, 250, 1000});
    EXPECT_EQ(DueOffsets(*this, 5000, 100), (std::vector<uint32_t>{0, 200, 1000}));
    EXPECT_EQ(DueOffsets(*this, 5000, 50), (std::vector<uint32_t>{0, 100, 500}));
    EXPECT_EQ(DueOffsets(*this, 5000, 200), (std::vector<uint32_t>{0, 400, 2000}));
    EXPECT_EQ(DueOffsets(*this, 5000, 300), (std::vector<uint32_t>{0, 600, 3000}));
    EXPECT_EQ(engine->State(), rsIdle);
    EXPECT_EQ(engine->Stream().Position(), engine->Stream().Size());
}

TEST_F(PlaybackTest, TimesAreCutToTenthsBeforeScaling) {
    FillStream({0, 30, 60, 99, 199, 1000});
    EXPECT_EQ(DueOffsets(*this, 7, 100), (std::vector<uint32_t>{0, 0, 0, 0, 100, 1000}));
    EXPECT_EQ(DueOffsets(*this, 7, 10), (std::vector<uint32_t>{0, 0, 0, 0, 10, 100}));
    EXPECT_EQ(DueOffsets(*this, 7, 200), (std::vector<uint32_t>{0, 0, 0, 0, 200, 2000}));
}

TEST_F(PlaybackTest, DelayShrinksWhenAskedAgain) {
    FillStream({0, 250, 1000});
    journal.SetTick(1000);
    engine->SetSpeed(50);
    engine->Play();
    EVENTMSG event{};
    EXPECT_EQ(journal.SendPlaybackCode(kHookGetNext, &event), 0);  // first record: at once
    journal.SendPlaybackCode(kHookSkip, nullptr);
    const std::pair<uint32_t, int32_t> askedAt[] = {{30, 70}, {80, 20}, {150, 0}};
    for (auto [offset, delay] : askedAt) {
        journal.SetTick(1000 + offset);
        EXPECT_EQ(journal.SendPlaybackCode(kHookGetNext, &event), delay) << offset;
        EXPECT_EQ(event.paramL, 1u);
    }
    journal.SendPlaybackCode(kHookSkip, nullptr);
    journal.SendPlaybackCode(kHookSkip, nullptr);  // past record 3: the end
    EXPECT_EQ(engine->State(), rsIdle);
    EXPECT_FALSE(journal.IsInstalled(JournalHookType::Playback));
}

TEST_F(PlaybackTest, FirstRecordIsDeliveredAtOnceWhateverItsTime) {
    FillStream({3000, 3400});
    EXPECT_EQ(DueOffsets(*this, 0, 100), (std::vector<uint32_t>{0, 3400}));
}

TEST_F(PlaybackTest, WaitsRightAcrossTheTickWrap) {
    FillStream({0, 500, 1500, 4000});
    const uint32_t start = 0xFFFFFFFFu - 700;
    EXPECT_EQ(DueOffsets(*this, start, 100), (std::vector<uint32_t>{0, 500, 1500, 4000}));
    journal.Reset();
    journal.SetTick(start);
    engine->Play();
    journal.RunPlayback(AskingPartWay());
    EXPECT_EQ(journal.Deliveries().back().tick - start, 4000u);
}

TEST_F(PlaybackTest, RecordStampedBeforeTimeZeroIsDueAtOnce) {
    FillStream({0, 0xFFFFFFF0u, 500});
    EXPECT_EQ(DueOffsets(*this, 100, 50), (std::vector<uint32_t>{0, 0, 250}));
    EXPECT_EQ(DueOffsets(*this, 100, 200), (std::vector<uint32_t>{0, 0, 1000}));
}

// Found by fuzzing: a record scaled past 2^31 - 1 ms, then an earlier one, made the second
// wait out the whole tick range.
TEST_F(PlaybackTest, ScaledTimesPastTheSignedDelayAreDueAtItsLimit) {
    FillStream({0, 1'000'000'000, 1'500'000'000, 0});
    EXPECT_EQ(DueOffsets(*this, 100, 200),
              (std::vector<uint32_t>{0, 2'000'000'000, INT32_MAX, INT32_MAX}));
    int64_t waited = 0;
    for (int32_t delay : journal.Delays()) waited += delay;
    EXPECT_EQ(waited, INT32_MAX);
}

TEST_F(PlaybackTest, OneRecordMacroNotifiesExactlyTwice) {
    FillStream({0});
    engine->Play();
    EXPECT_EQ(journal.RunPlayback(), 1u);
    EXPECT_EQ(notifications, (std::vector<TRecorderState>{rsPlaying, rsIdle}));
    EXPECT_EQ(journal.Delays(), (std::vector<int32_t>{0}));
}

TEST_F(PlaybackTest, TrailingBytesAreNeitherDeliveredNorWaitedOn) {
    FillStream({0, 100});
    const uint8_t tail[10] = {0x00, 0x01, 0, 0, 0x41, 0, 0, 0, 0, 0};
    engine->Stream().Write(tail, sizeof tail);
    EXPECT_EQ(DueOffsets(*this, 0, 100), (std::vector<uint32_t>{0, 100}));
    EXPECT_EQ(engine->State(), rsIdle);
    EXPECT_EQ(engine->Stream().Size(), 50u);

    engine->Stream().Clear();
    engine->Stream().Write(tail, sizeof tail);  // less than one record: nothing to play
    ExpectError([&] { engine->Play(); }, kCannotPlay);
}

TEST_F(PlaybackTest, KeyParametersAreRearrangedOnlyForKeyDownAndUpOnGetNext) {
    const EVENTMSG keyDown{msg::kKeyDown, 0x1E41, 0x99, 0, 7};
    const EVENTMSG keyUp{msg::kKeyUp, 0x1E41, 0x99, 0, 7};
    const EVENTMSG sysKey{msg::kSysKeyDown, 0x3812, 0x99, 0, 7};
    for (const EVENTMSG& stored : {keyDown, keyUp, sysKey}) {
        engine->Stream().Clear();
        engine->Stream().WriteEvent(stored);
        engine->Play();
        EVENTMSG handed{};
        journal.SendPlaybackCode(kHookGetNext, &handed);
        bool rearranged = stored.message != msg::kSysKeyDown;
        EXPECT_EQ(handed.paramL, rearranged ? 0x41u : stored.paramL);
        EXPECT_EQ(handed.paramH, rearranged ? 0x1Eu : stored.paramH);
        EVENTMSG peeked{};
        journal.SendPlaybackCode(kHookNoRemove, &peeked);
        EXPECT_EQ(peeked, stored);  // other codes hand the record over unchanged
        EXPECT_EQ(DecodeEvent(engine->Stream().Data()), stored);
        engine->Stop();
    }
}

TEST_F(PlaybackTest, OtherCodesArePassedOnAndGetNextAndSkipAreNot) {
    FillStream({0, 100});
    engine->Play();
    EVENTMSG event{};
    journal.SendPlaybackCode(kHookGetNext, &event);
    journal.SendPlaybackCode(kHookSkip, nullptr);
    EXPECT_EQ(journal.CallNextCount(), 0);
    for (int32_t code : {-1, kHookAction, kHookNoRemove, kHookSysModalOn, kHookSysModalOff, 9}) {
        journal.SendPlaybackCode(code, code == 9 ? nullptr : &event);
    }
    EXPECT_EQ(journal.CallNextCount(), 6);
    EXPECT_EQ(engine->State(), rsPlaying);  // system-modal codes do not pause or stop it
}

TEST_F(PlaybackTest, PlayRefusalsChangeNothing) {
    ExpectError([&] { engine->Play(); }, kCannotPlay);
    EXPECT_TRUE(notifications.empty());

    FillStream({0, 100});
    engine->Record(true);
    ExpectError([&] { engine->Play(); }, kCannotPlay);
    EXPECT_EQ(engine->State(), rsRecording);
    engine->Stop();
    engine->Play();
    ExpectError([&] { engine->Record(false); }, "マクロを記録できる準備ができていません。");
    EXPECT_EQ(engine->State(), rsPlaying);
    EXPECT_EQ(engine->Stream().Size(), 40u);
}

TEST_F(PlaybackTest, PlaybackHookRefusedLeavesFirstRecordRead) {
    FillStream({5, 100});
    journal.FailInstalls(JournalHookType::Playback, true);
    ExpectError([&] { engine->Play(); }, "Playback hook が作成できませんでした。");
    EXPECT_EQ(engine->State(), rsIdle);
    EXPECT_EQ(engine->HookHandle(), 0u);
    EXPECT_EQ(engine->Stream().Position(), 20u);
    EXPECT_EQ(engine->CurrentEvent().time, 5u);
    EXPECT_TRUE(notifications.empty());
}

TEST_F(PlaybackTest, StopLeavesPositionAfterTheRecordDueNext) {
    FillStream({0, 100, 200, 300, 400});
    engine->Play();
    journal.RunPlayback(AtMost(2));
    engine->Stop();
    EXPECT_EQ(engine->Stream().Position(), 60u);
    EXPECT_EQ(notifications, (std::vector<TRecorderState>{rsPlaying, rsIdle}));
    EXPECT_EQ(journal.RunPlayback(), 0u);  // no call after the hook is removed
}

TEST_F(PlaybackTest, SpeedBelowOneIsIgnoredAndChangesCountFromTheNextRecord) {
    engine->SetSpeed(0);
    engine->SetSpeed(-5);
    EXPECT_EQ(engine->SpeedPercent(), 100);
    FillStream({0, 1000, 2000});
    engine->Play();
    journal.RunPlayback(OnEachDelivery([&](const SimJournal::Delivery&) { engine->SetSpeed(50); }));
    // The change made while record 1 was delivered already scales record 2.
    EXPECT_EQ(journal.Deliveries()[1].tick, 500u);
    EXPECT_EQ(journal.Deliveries()[2].tick, 1000u);
}

TEST_F(PlaybackTest, ListenerRestartsPlaybackFromInsideTheIdleNotification) {
    FillStream({0, 100});
    int passes = 0;
    onNotify = [&](TRecorderState state) {
        if (state == rsIdle && ++passes < 3) {
            engine->Stop();
            engine->Play();
            // The nested rsPlaying has already been told before this call returns.
            EXPECT_EQ(notifications.back(), rsPlaying);
        }
    };
    engine->Play();
    EXPECT_EQ(journal.RunPlayback(), 6u);
    EXPECT_EQ(notifications, (std::vector<TRecorderState>{rsPlaying, rsIdle, rsPlaying, rsIdle,
                                                          rsPlaying, rsIdle}));
    EXPECT_EQ(journal.Deliveries()[3].tick, 200u);  // the second pass ran at its own base
    EXPECT_FALSE(journal.IsInstalled(JournalHookType::Playback));
}

TEST_F(PlaybackTest, ListenerErrorInsideHookReachesTheSinkNotTheCaller) {
    FillStream({0, 100});
    onNotify = [&](TRecorderState state) {
        if (state == rsIdle) throw Exception("ファイル x.mcr は開けません");
    };
    engine->Play();
    EXPECT_NO_THROW(journal.RunPlayback());
    EXPECT_EQ(hookErrors, (std::vector<std::string>{"ファイル x.mcr は開けません"}));
    EXPECT_EQ(engine->State(), rsIdle);
    EXPECT_EQ(engine->HookHandle(), 0u);
}

TEST_F(PlaybackTest, JournalCancelLeavesAStaleHandleThatStopClears) {
    FillStream({0, 100, 200});
    engine->Play();
    journal.RunPlayback(OnEachDelivery([&](auto&) { journal.CancelJournal(); }, 1));
    ASSERT_EQ(journal.PostedMessages().size(), 1u);
    EXPECT_EQ(journal.PostedMessages().front().message, msg::kCancelJournal);
    EXPECT_EQ(engine->State(), rsPlaying);
    engine->Stop();
    EXPECT_EQ(engine->HookHandle(), 0u);
    EXPECT_EQ(journal.StaleRemoveCount(), 1);
    EXPECT_EQ(notifications.back(), rsIdle);
}

}  // namespace
