// A macro file of any bytes, loaded into the engine and played through the simulated
// journal at a speed taken from the input; then a merge recording at a position taken from
// the input, and the merged macro played again. Playback must end, deliver whole records
// only, each as stored, none before its due time, and never wait past the file's largest due
// time at that speed.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "engine/MacroFile.h"
#include "engine/Recorder.h"
#include "platform/sim/SimJournal.h"
#include "toolkit/Exception.h"

namespace {

// The record as the playback hook hands it over.
EVENTMSG AsHandedOver(EVENTMSG record) {
    if (record.message == msg::kKeyDown || record.message == msg::kKeyUp) {
        record.paramH = (record.paramL >> 8) & 0xFF;
        record.paramL &= 0xFF;
    }
    return record;
}

std::vector<EVENTMSG> WholeRecords(const MacroStream& stream) {
    std::vector<EVENTMSG> records;
    for (std::size_t at = 0; at + kEventMsgSize <= stream.Size(); at += kEventMsgSize) {
        records.push_back(DecodeEvent(stream.Data() + at));
    }
    return records;
}

// How long after the start a stored time is due, without any wrap-around.
uint64_t DueOffset(uint32_t storedTime, int32_t speed) {
    if (static_cast<int32_t>(storedTime) < 0) return 0;
    return uint64_t{storedTime / 100} * static_cast<uint64_t>(speed);
}

// Plays the whole macro (stopAfter 0), or stops it after stopAfter deliveries.
std::size_t PlayAndCheck(TRecorder& engine, std::size_t stopAfter) {
    SimJournal& journal = SimJournal::Instance();
    const std::vector<EVENTMSG> records = WholeRecords(engine.Stream());
    if (records.empty()) {
        try {
            engine.Play();
            FUZZ_CHECK(false);
        } catch (const Exception&) {
        }
        FUZZ_CHECK(engine.State() == rsIdle);
        return 0;
    }
    const int32_t speed = engine.SpeedPercent();
    uint64_t longest = 0;
    for (std::size_t k = 1; k < records.size(); ++k) {
        longest = std::max(longest, DueOffset(records[k].time, speed));
    }

    const uint32_t start = journal.Tick();
    const std::size_t before = journal.Deliveries().size();
    engine.Play();
    uint64_t waited = 0;
    uint32_t last = start;
    SimJournal::PlaybackOptions options;
    options.maxDeliveries = records.size() + 1;
    options.askPartWay = (start & 1) != 0;
    options.onDelivered = [&](const SimJournal::Delivery& delivery) {
        std::size_t k = journal.Deliveries().size() - before - 1;
        FUZZ_CHECK(k < records.size());
        EVENTMSG expected = AsHandedOver(records[k]);
        if (k > 0) expected.time = delivery.event.time;  // the due tick, checked by the wait
        FUZZ_CHECK(delivery.event == expected);
        waited += delivery.tick - last;
        last = delivery.tick;
        // Never early: a record waits for its due time, or for the longest delay there is.
        if (k > 0)
            FUZZ_CHECK(waited >= std::min<uint64_t>(DueOffset(records[k].time, speed), INT32_MAX));
        if (k + 1 == stopAfter) engine.Stop();
    };
    std::size_t delivered = journal.RunPlayback(options);
    FUZZ_CHECK(!journal.IsInstalled(JournalHookType::Playback));
    FUZZ_CHECK(engine.State() == rsIdle);
    FUZZ_CHECK(delivered ==
               (stopAfter == 0 ? records.size() : std::min(records.size(), stopAfter)));
    FUZZ_CHECK(waited <= longest);
    return delivered;
}

// Records count events merged at the stream's position and checks where they went.
void MergeAndCheck(TRecorder& engine, uint8_t count, uint32_t step) {
    SimJournal& journal = SimJournal::Instance();
    MacroStream& stream = engine.Stream();
    const std::string old(reinterpret_cast<const char*>(stream.Data()), stream.Size());
    const std::size_t end = std::min(stream.Position(), stream.Size());
    const std::size_t boundary = end - end % kEventMsgSize;
    const uint32_t previousTime =
        boundary == 0 ? 0 : DecodeEvent(stream.Data() + boundary - kEventMsgSize).time;

    engine.Record(true);
    const uint32_t base = journal.Tick() - previousTime;
    std::vector<EVENTMSG> sent;
    for (uint8_t i = 0; i < count; ++i) {
        journal.Advance(step * i);
        EVENTMSG event{msg::kMouseMove, i, step, journal.Tick(), 7};
        journal.SendRecordEvent(event.message, event.paramL, event.paramH, event.hwnd);
        event.time -= base;
        sent.push_back(event);
    }
    engine.Stop();

    const std::size_t written = boundary + kEventMsgSize * sent.size();
    FUZZ_CHECK(stream.Size() == std::max(old.size(), written));
    FUZZ_CHECK(boundary == 0 || std::memcmp(stream.Data(), old.data(), boundary) == 0);
    for (std::size_t i = 0; i < sent.size(); ++i) {
        FUZZ_CHECK(DecodeEvent(stream.Data() + boundary + i * kEventMsgSize) == sent[i]);
    }
    if (old.size() > written) {
        FUZZ_CHECK(
            std::memcmp(stream.Data() + written, old.data() + written, old.size() - written) == 0);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const int32_t speed = static_cast<int32_t>(input.TakeU32());
    const uint32_t startTick = input.TakeU32();
    const uint16_t stopAfter = input.TakeU16();
    const uint8_t mergeCount = input.TakeU8() % 8;
    const uint32_t mergeStep = input.TakeU16();
    const std::string path = FuzzScratchFile("fuzz.mcr");
    WriteFuzzFile(path, input.Rest());

    SimJournal& journal = SimJournal::Instance();
    journal.Reset();
    journal.SetTick(startTick);
    TRecorder* engine = TRecorder::Create();
    LoadMacroFile(path);
    FUZZ_CHECK(engine->Stream().Size() == input.Rest().size());
    FUZZ_CHECK(input.Rest().empty() ||
               std::memcmp(input.Rest().data(), engine->Stream().Data(), input.Rest().size()) == 0);
    engine->SetSpeed(speed);

    // Stop after so many deliveries (0: merge right after the load, at the file's end).
    if (stopAfter != 0) PlayAndCheck(*engine, stopAfter);
    MergeAndCheck(*engine, mergeCount, mergeStep);
    PlayAndCheck(*engine, 0);
    delete engine;
    return 0;
}
