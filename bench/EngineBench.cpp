// Hot paths of the engine: one event through the record hook, one playback step, and
// macro files of a million records on a RAM-backed file system.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "engine/MacroFile.h"
#include "engine/Recorder.h"
#include "platform/sim/SimJournal.h"

namespace {

constexpr std::size_t kMillionRecords = 1'000'000;

// A fresh engine over a fresh simulated journal for the length of one benchmark.
class EngineScope {
  public:
    EngineScope() {
        SimJournal::Instance().Reset();
        engine_ = TRecorder::Create();
    }
    ~EngineScope() { delete engine_; }
    TRecorder& operator*() const { return *engine_; }
    TRecorder* operator->() const { return engine_; }

  private:
    TRecorder* engine_;
};

void FillStream(TRecorder& engine, std::size_t records) {
    engine.Stream().Clear();
    for (std::size_t i = 0; i < records; ++i) {
        engine.Stream().WriteEvent(
            EVENTMSG{msg::kMouseMove, static_cast<uint32_t>(i), 0, static_cast<uint32_t>(i), 0});
    }
}

// Where to put the files: a RAM-backed file system when there is one.
std::string ScratchFile() {
    const char* dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    return std::string(dir) + "/tapewright-bench-" + std::to_string(getpid()) + ".mcr";
}

void BM_RecordHookEvent(benchmark::State& state) {
    EngineScope engine;
    engine->Record(false);
    EVENTMSG event{msg::kMouseMove, 100, 200, 0, 0};
    const intptr_t lParam = reinterpret_cast<intptr_t>(&event);
    std::size_t recorded = 0;
    for (auto _ : state) {
        event.time += 3;
        RecordHookProc(kHookAction, 0, lParam);
        if (++recorded == 4 * kMillionRecords) {  // a long recording, then start over
            state.PauseTiming();
            engine->Stop();
            engine->Record(false);
            recorded = 0;
            state.ResumeTiming();
        }
    }
    // Every event since the last start over must be in the stream, or nothing was measured.
    const std::size_t kept = engine->Stream().Size() / kEventMsgSize;
    state.counters["kept_records"] = static_cast<double>(kept);
    state.counters["reserved_over_size"] =
        static_cast<double>(engine->Stream().Capacity() - engine->Stream().Size());
    if (kept != recorded) {
        const std::string why = "the stream kept " + std::to_string(kept) + " of " +
                                std::to_string(recorded) + " recorded events";
        state.SkipWithError(why.c_str());
    }
}
BENCHMARK(BM_RecordHookEvent);

void BM_PlaybackHookStep(benchmark::State& state) {
    EngineScope engine;
    FillStream(*engine, kMillionRecords);
    engine->Play();
    EVENTMSG event{};
    const intptr_t lParam = reinterpret_cast<intptr_t>(&event);
    std::size_t step = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(PlaybackHookProc(kHookGetNext, 0, lParam));
        PlaybackHookProc(kHookSkip, 0, 0);
        if (++step == kMillionRecords) {  // the last record ended the pass: play it again
            state.PauseTiming();
            engine->Play();
            step = 0;
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_PlaybackHookStep);

void BM_SaveMacroFile(benchmark::State& state) {
    EngineScope engine;
    FillStream(*engine, kMillionRecords);
    const std::string path = ScratchFile();
    for (auto _ : state) SaveMacroFile(engine->Stream(), path);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * engine->Stream().Size()));
    std::remove(path.c_str());
}
BENCHMARK(BM_SaveMacroFile)->Unit(benchmark::kMillisecond);

void BM_LoadMacroFile(benchmark::State& state) {
    EngineScope engine;
    FillStream(*engine, kMillionRecords);
    const std::string path = ScratchFile();
    SaveMacroFile(engine->Stream(), path);
    for (auto _ : state) LoadMacroFile(engine->Stream(), path);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * engine->Stream().Size()));
    state.counters["reserved_over_size"] =
        static_cast<double>(engine->Stream().Capacity() - engine->Stream().Size());
    std::remove(path.c_str());
}
BENCHMARK(BM_LoadMacroFile)->Unit(benchmark::kMillisecond);

}  // namespace
