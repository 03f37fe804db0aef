// The program entry: start the platform, run the program, report a platform that cannot
// run in one line.
#include <cstdio>
#include <exception>

#include "toolkit/Backend.h"
#include "toolkit/Platform.h"
#include "ui/ProgramEntry.h"

int main(int argc, char** argv) {
    try {
        std::unique_ptr<Backend> backend = StartPlatform();
        SetBackend(backend.get());
        int code = RunProgram(PlatformArguments(argc, argv));
        SetBackend(nullptr);
        return code;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "tapewright: %s\n", error.what());
        return 1;
    }
}
