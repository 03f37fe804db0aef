#include "platform/wayland/PointerSources.h"

#include "platform/wayland/GnomeShellSource.h"
#include "platform/wayland/HyprlandSource.h"
#include "platform/wayland/KwinScriptSource.h"
#include "platform/wayland/WayfireSource.h"

namespace {

// Each opens its source where the environment names the desktop, else gives nullptr.
using Opener = std::unique_ptr<PointerSource> (*)();
constexpr Opener kOpeners[] = {&OpenHyprlandSource, &OpenWayfireSource, &OpenGnomeShellSource,
                               &OpenKwinScriptSource};

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
