#include "platform/wayland/PointerSources.h"

#include "platform/wayland/GnomeShellSource.h"
#include "platform/wayland/HyprlandSource.h"
#include "platform/wayland/KwinScriptSource.h"
#include "platform/wayland/WayfireSource.h"
#include "platform/wayland/WlrCursorSource.h"

namespace {

// Each opens its source where the environment names the desktop (or the compositor offers
// what the source reads), else gives nullptr.
using Opener = std::unique_ptr<PointerSource> (*)();
constexpr Opener kOpeners[] = {&OpenHyprlandSource, &OpenWayfireSource, &OpenGnomeShellSource,
                               &OpenKwinScriptSource, &OpenWlrCursorSource};

}  // namespace

std::unique_ptr<PointerSource> StartPointerSource(const PointerSource::Report& report,
                                                  std::unique_ptr<PointerSource> estimate,
                                                  std::string& refusals) {
    refusals.clear();
    for (Opener open : kOpeners) {
        std::unique_ptr<PointerSource> source = open();
        if (!source) continue;
        std::string refusal;
        if (source->Start(report, refusal)) return source;
        refusals += (refusals.empty() ? "" : "\n") + refusal;
    }
    std::string ignored;
    estimate->Start(report, ignored);
    return estimate;
}
