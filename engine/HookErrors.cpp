#include "engine/HookErrors.h"

#include <cstdio>
#include <exception>
#include <new>

namespace {

HookErrorSink& Sink() {
    static HookErrorSink sink;
    return sink;
}

const char kOutOfMemory[] = "メモリが足りません";

}  // namespace

void SetHookErrorSink(HookErrorSink sink) {
    Sink() = std::move(sink);
}

void ReportHookError(const std::string& message) {
    if (Sink()) {
        Sink()(message);
    } else {
        std::fprintf(stderr, "%s\n", message.c_str());
    }
}

void ReportCurrentException() noexcept {
    try {
        try {
            throw;
        } catch (const std::bad_alloc&) {
            ReportHookError(kOutOfMemory);
        } catch (const std::exception& error) {
            ReportHookError(error.what());
        } catch (...) {
            ReportHookError("?");
        }
    } catch (...) {
        // The sink itself failed (out of memory while queueing); nothing more can be done.
    }
}
