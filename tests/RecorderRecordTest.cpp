// Recording through the simulated journal: time stamps, Ctrl+Break, merges, failures.
#include <gtest/gtest.h>

#include "EngineFixture.h"

namespace {

using RecordTest = EngineTest;

std::vector<EVENTMSG> Records(const MacroStream& stream) {
    std::vector<EVENTMSG> records;
    for (std::size_t at = 0; at + kEventMsgSize <= stream.Size(); at += kEventMsgSize) {
        records.push_back(DecodeEvent(stream.Data() + at));
    }
    return records;
}

std::vector<uint32_t> Times(const MacroStream& stream) {
    std::vector<uint32_t> times;
    for (const EVENTMSG& record : Records(stream)) times.push_back(record.time);
    return times;
}

void SendAt(SimJournal& journal, uint32_t tick, uint32_t message, uint32_t paramL) {
    journal.SetTick(tick);
    journal.SendRecordEvent(message, paramL, 1);
}

TEST_F(RecordTest, RecordingExampleWithCtrlBreakAndTheMergeThatFollows) {
    const uint32_t R = 10'000;
    journal.SetTick(R);
    engine->Record(false);
    EXPECT_EQ(notifications, (std::vector<TRecorderState>{rsRecording}));
    SendAt(journal, R + 40, msg::kMouseMove, 10);
    SendAt(journal, R + 290, msg::kKeyDown, 0x1E41);
    SendAt(journal, R + 1000, msg::kKeyUp, 0x1E41);
    std::size_t sizeSeenByListener = 0;
    onNotify = [&](TRecorderState) { sizeSeenByListener = engine->Stream().Size(); };
    SendAt(journal, R + 3500, msg::kKeyDown, 0x4603);  // Ctrl+Break
    EXPECT_EQ(notifications, (std::vector<TRecorderState>{rsRecording, rsIdle}));
    EXPECT_EQ(sizeSeenByListener, 60u);  // the break record is written after the listener
    EXPECT_EQ(Times(engine->Stream()), (std::vector<uint32_t>{40, 290, 1000, 3500}));
    EXPECT_FALSE(journal.IsInstalled(JournalHookType::Record));

    onNotify = nullptr;
    const uint32_t M = 90'000;
    journal.SetTick(M);
    engine->Record(true);
    EXPECT_EQ(engine->BaseTick(), M - 3500);
    SendAt(journal, M + 120, msg::kMouseMove, 11);
    engine->Stop();
    EXPECT_EQ(Times(engine->Stream()), (std::vector<uint32_t>{40, 290, 1000, 3500, 3620}));
}

TEST_F(RecordTest, OnlyKeyboardMessagesWithKeyCodeThreeEndARecording) {
    engine->Record(false);
    const std::pair<uint32_t, uint32_t> notBreaks[] = {{msg::kMouseMove, 0x00000003},
                                                       {msg::kLButtonDown, 0x0103},
                                                       {msg::kKeyDown, 0x0300},
                                                       {0x00FF, 3},
                                                       {0x0109, 3}};
    for (auto [message, paramL] : notBreaks) journal.SendRecordEvent(message, paramL);
    EXPECT_EQ(engine->State(), rsRecording);
    for (uint32_t breakMessage : {msg::kKeyUp, msg::kSysKeyDown, msg::kKeyLast}) {
        engine->Stop();
        engine->Record(true);
        journal.SendRecordEvent(breakMessage, 0x4603);
        EXPECT_EQ(engine->State(), rsIdle) << breakMessage;
    }
    EXPECT_EQ(engine->Stream().Size(), 8u * 20u);
}

TEST_F(RecordTest, HookCodesOtherThanActionStoreNothing) {
    engine->Record(false);
    EXPECT_EQ(journal.SendRecordCode(-1), 0);
    EXPECT_EQ(journal.CallNextCount(), 1);
    EXPECT_EQ(journal.SendRecordCode(kHookSysModalOn), 0);
    EXPECT_EQ(journal.SendRecordCode(kHookSysModalOff), 0);
    EXPECT_EQ(journal.CallNextCount(), 1);
    EXPECT_EQ(engine->Stream().Size(), 0u);
}

TEST_F(RecordTest, StopNotifiesOnlyOnARealChange) {
    engine->Stop();
    EXPECT_TRUE(notifications.empty());
    engine->Record(false);
    engine->Stop();
    engine->Stop();
    EXPECT_EQ(notifications, (std::vector<TRecorderState>{rsRecording, rsIdle}));
}

TEST_F(RecordTest, RecordHookRefusals) {
    FillStream({0, 100});
    journal.FailInstalls(JournalHookType::Record, true);
    ExpectError([&] { engine->Record(true); }, "JournalHook が作成できませんでした。");
    EXPECT_EQ(engine->Stream().Size(), 40u);  // a merge keeps the macro
    ExpectError([&] { engine->Record(false); }, "JournalHook が作成できませんでした。");
    EXPECT_EQ(engine->State(), rsIdle);
    EXPECT_EQ(engine->HookHandle(), 0u);
    EXPECT_EQ(engine->Stream().Size(), 40u);  // a refused recording loses nothing
    EXPECT_TRUE(notifications.empty());
}

TEST_F(RecordTest, MergeOntoAnEmptyStreamStartsAtTimeZero) {
    journal.SetTick(500);
    engine->Record(true);
    EXPECT_EQ(engine->BaseTick(), 500u);
    SendAt(journal, 650, msg::kMouseMove, 1);
    EXPECT_EQ(Times(engine->Stream()), (std::vector<uint32_t>{150}));
}

TEST_F(RecordTest, MergeAfterAPartialRecordStartsAtTheLastWholeRecord) {
    // Trailing bytes of a file whose length is not a multiple of 20 are overwritten: the new
    // records lie at whole-record offsets and time 0 lines up with the last whole record.
    const std::string tail(10, '\x07');
    FillStream({100, 400});
    engine->Stream().Write(tail.data(), tail.size());
    journal.SetTick(50'000);
    engine->Record(true);
    EXPECT_EQ(engine->BaseTick(), 50'000u - 400u);
    SendAt(journal, 50'120, msg::kMouseMove, 7);
    engine->Stop();
    EXPECT_EQ(engine->Stream().Size(), 60u);
    EXPECT_EQ(Times(engine->Stream()), (std::vector<uint32_t>{100, 400, 520}));
    EXPECT_EQ(Records(engine->Stream()).back().paramL, 7u);

    // With less than one whole record the merge starts afresh at offset 0.
    engine->Stream().Clear();
    engine->Stream().Write(tail.data(), tail.size());
    journal.SetTick(300);
    engine->Record(true);
    SendAt(journal, 350, msg::kMouseMove, 1);
    engine->Stop();
    EXPECT_EQ(engine->Stream().Size(), 20u);
    EXPECT_EQ(Times(engine->Stream()), (std::vector<uint32_t>{50}));
}

TEST_F(RecordTest, MergeAfterAnEarlyStopOverwritesTheRecordsThatFollow) {
    FillStream({0, 100, 200, 300, 400});
    engine->Play();
    journal.RunPlayback(AtMost(2));
    engine->Stop();  // the third record was due next
    journal.SetTick(50'000);
    engine->Record(true);
    EXPECT_EQ(engine->BaseTick(), 50'000u - 200u);
    SendAt(journal, 50'010, msg::kMouseMove, 77);
    SendAt(journal, 50'020, msg::kMouseMove, 78);
    SendAt(journal, 50'030, msg::kMouseMove, 79);
    engine->Stop();
    EXPECT_EQ(Times(engine->Stream()), (std::vector<uint32_t>{0, 100, 200, 210, 220, 230}));
}

TEST_F(RecordTest, RecordingAcrossTheTickWrap) {
    const uint32_t R = 0xFFFFFFFFu - 50;
    journal.SetTick(R);
    engine->Record(false);
    SendAt(journal, R + 40, msg::kMouseMove, 1);
    SendAt(journal, R + 400, msg::kMouseMove, 2);  // past 2^32
    EXPECT_EQ(Times(engine->Stream()), (std::vector<uint32_t>{40, 400}));
    // An event queued before recording began wraps to just below 2^32.
    SendAt(journal, R - 5, msg::kMouseMove, 3);
    EXPECT_EQ(Times(engine->Stream()).back(), 0xFFFFFFFBu);
}

TEST_F(RecordTest, RunningOutOfMemoryEndsTheRecordingAndKeepsWhatFitted) {
    engine->Stream().SetMemoryLimit(MacroStream::kBlockSize);
    engine->Record(false);
    for (int i = 0; i < 420 && engine->State() == rsRecording; ++i) {
        journal.SendRecordEvent(msg::kMouseMove, static_cast<uint32_t>(i));
    }
    EXPECT_EQ(engine->State(), rsIdle);
    EXPECT_EQ(engine->Stream().Size(), 409u * 20u);
    EXPECT_EQ(Records(engine->Stream()).back().paramL, 408u);
    EXPECT_EQ(hookErrors,
              (std::vector<std::string>{"メモリストリームの拡大中にメモリが足りなくなりました"}));
    EXPECT_FALSE(journal.IsInstalled(JournalHookType::Record));
}

TEST_F(RecordTest, ListenerErrorOnCtrlBreakStillStoresTheRecord) {
    engine->Record(false);
    onNotify = [](TRecorderState state) {
        if (state == rsIdle) throw Exception("boom");
    };
    journal.SendRecordEvent(msg::kKeyDown, 3);
    EXPECT_EQ(hookErrors, (std::vector<std::string>{"boom"}));
    EXPECT_EQ(engine->Stream().Size(), 20u);
}

TEST(RecorderLifetime, OneEngineOnlyAndItsReleaseStopsFirst) {
    SimJournal::Instance().Reset();
    TRecorder* first = TRecorder::Create();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(TRecorder::Create(), nullptr);
    EXPECT_EQ(Recorder, first);
    std::vector<TRecorderState> told;
    first->OnStateChange = [&](TRecorderState state) { told.push_back(state); };
    first->Record(false);
    delete first;
    EXPECT_EQ(told, (std::vector<TRecorderState>{rsRecording, rsIdle}));
    EXPECT_EQ(Recorder, nullptr);
    EXPECT_FALSE(SimJournal::Instance().IsInstalled(JournalHookType::Record));

    // A listener that plays again from the last notification leaves no hook behind.
    TRecorder* second = TRecorder::Create();
    second->Stream().WriteEvent(EVENTMSG{});
    second->OnStateChange = [&](TRecorderState state) {
        if (state == rsIdle) second->Play();
    };
    second->Play();
    delete second;
    EXPECT_FALSE(SimJournal::Instance().IsInstalled(JournalHookType::Playback));
}

}  // namespace
