// Measures TAPEWRT.EXE under Wine and writes the figures to OUTPUT as one line:
//   tapewright_timing PROGRAM COUNT SPACING OUTPUT
//     the playback at a window of its own: a macro of COUNT pointer moves SPACING ms apart,
//     played hidden (x.mcr /S /E /D); median, p99, worst |delivery - due|, first-to-last error
//   tapewright_timing PROGRAM handover COUNT SPACING OUTPUT
//     the same schedule in this process (PROGRAM is not started), through the player's timers
//     and InputSender: how late each timer call began and how long SendInput took (median,
//     p99, worst of each)
//   tapewright_timing PROGRAM startup RUNS OUTPUT
//     start to main window shown, median of RUNS, and the working set in MB
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "HandOverTiming.h"
#include "StartUpTiming.h"
#include "e2e/MacroFiles.h"
#include "e2e/Timing.h"
#include "win32/e2e/TargetWindow.h"

int StartUp(const std::string& program, int runs, const char* path) {
    StartUpFigures figures;
    const bool measured = MeasureStartUp(program, runs, figures);
    FILE* output = std::fopen(path, "w");
    if (output == nullptr) return 1;
    if (measured) {
        std::fprintf(output, "%g %g %d runs\n", figures.medianMilliseconds,
                     figures.workingSetMegabytes, figures.runs);
    } else {
        std::fprintf(output, "error: the main window was not shown\n");
    }
    std::fclose(output);
    return 0;
}

int HandOver(long count, long spacing, const char* path) {
    const HandOverFigures figures = MeasureHandOver(count, spacing);
    FILE* output = std::fopen(path, "w");
    if (output == nullptr) return 1;
    if (figures.refused != 0) {
        std::fprintf(output, "error: the system refused %ld of %ld moves\n", figures.refused,
                     count);
    } else {
        std::fprintf(output, "%.3f %.3f %.3f %.3f %.3f %.3f\n", figures.wake.median,
                     figures.wake.p99, figures.wake.worst, figures.send.median, figures.send.p99,
                     figures.send.worst);
    }
    std::fclose(output);
    return 0;
}

int main(int argc, char** argv) {
    if (argc == 6 && std::string(argv[2]) == "handover") {
        return HandOver(std::atol(argv[3]), std::atol(argv[4]), argv[5]);
    }
    if (argc != 5) {
        std::fprintf(stderr,
                     "use: tapewright_timing PROGRAM (COUNT SPACING | startup RUNS) OUTPUT\n"
                     "     tapewright_timing PROGRAM handover COUNT SPACING OUTPUT\n");
        return 2;
    }
    if (std::string(argv[2]) == "startup") return StartUp(argv[1], std::atoi(argv[3]), argv[4]);
    const long count = std::atol(argv[2]);
    const long spacing = std::atol(argv[3]);
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    const std::string macro = std::string(folder) + "tapewright-timing.mcr";
    std::vector<MacroRecord> moves;
    std::vector<uint32_t> due;
    for (long i = 0; i < count; ++i) {
        const auto time = static_cast<uint32_t>(i * spacing);
        // Alternating positions, so that every move is one the target sees.
        moves.push_back(
            MoveRecord(100 + static_cast<int>(i % 2) * 50, 100 + static_cast<int>(i % 400), time));
        due.push_back(ScaledTime(time, 100));
    }
    if (!WriteMacroFile(macro, moves)) return 1;

    TargetWindow target;
    HANDLE process = StartProgram("\"" + std::string(argv[1]) + "\" \"" + macro + "\" /S /E /D");
    if (process == nullptr) return 1;
    DWORD code = 0;
    const int seconds = static_cast<int>(count * spacing / 1000) + 60;
    const bool ended = target.RunUntil([&] { return Ended(process, code); }, seconds);
    target.RunUntil([] { return false; }, 0);
    CloseHandle(process);
    DeleteFileA(macro.c_str());
    std::string missing;
    const std::vector<uint32_t> arrivals = Arrivals(moves, target.Events(), missing);
    FILE* output = std::fopen(argv[4], "w");
    if (output == nullptr) return 1;
    if (!ended || !missing.empty()) {
        std::fprintf(output, "error: %s\n", ended ? missing.c_str() : "no exit");
    } else {
        const TimingFigures figures = MeasureTiming(due, arrivals);
        std::fprintf(output, "%g %g %g %lld %s\n", figures.median, figures.p99, figures.worst,
                     static_cast<long long>(figures.drift), figures.Summary().c_str());
    }
    std::fclose(output);
    return 0;
}
