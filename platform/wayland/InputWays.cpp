#include "platform/wayland/InputWays.h"

#include <cstdlib>
#include <cstring>

namespace {

using Opener = std::unique_ptr<InputWay> (*)(std::string& refusal);

struct WayOpener {
    const char* name;
    Opener open;
};

// The compositor's own ways first: they place the pointer over the layout exactly and need
// no device access; uinput last, where it is allowed, for any compositor.
constexpr WayOpener kOpeners[] = {{"wlroots", &OpenWlrootsWay},
                                  {"kwin", &OpenKwinWay},
                                  {"mutter", &OpenMutterWay},
                                  {"uinput", &OpenUinputWay}};

}  // namespace

std::unique_ptr<InputWay> OpenInputWay(std::string& refusals) {
    const char* asked = std::getenv("TAPEWRIGHT_INPUT_WAY");
    if (asked != nullptr && *asked == '\0') asked = nullptr;
    refusals = "Wayland のデスクトップに入力を送れないため、再生できません。";
    for (const WayOpener& opener : kOpeners) {
        if (asked != nullptr && std::strcmp(asked, opener.name) != 0) continue;
        std::string refusal;
        if (std::unique_ptr<InputWay> way = opener.open(refusal)) return way;
        if (!refusal.empty()) refusals += "\n" + refusal;
    }
    if (asked != nullptr) {
        refusals += "\n(TAPEWRIGHT_INPUT_WAY=" + std::string(asked) + " が指定されています)";
    }
    return nullptr;
}
