#include "platform/wayland/HyprlandSource.h"

#include <unistd.h>

#include <charconv>
#include <cstdlib>

#include "platform/wayland/LocalSocket.h"

namespace {

constexpr std::chrono::milliseconds kAnswerTimeout{50};

// One integer, after optional spaces; moves text past it.
std::optional<int32_t> TakeInteger(std::string_view& text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc()) return std::nullopt;
    text.remove_prefix(static_cast<std::size_t>(end - text.data()));
    return value;
}

}  // namespace

std::optional<PointerPosition> ParseHyprlandCursor(std::string_view answer) {
    const std::optional<int32_t> x = TakeInteger(answer);
    if (!x || answer.empty() || answer.front() != ',') return std::nullopt;
    answer.remove_prefix(1);
    const std::optional<int32_t> y = TakeInteger(answer);
    while (!answer.empty() && (answer.front() == '\n' || answer.front() == ' ')) {
        answer.remove_prefix(1);
    }
    if (!y || !answer.empty()) return std::nullopt;
    return PointerPosition{*x, *y};
}

std::optional<PointerPosition> HyprlandSource::Poll(std::string& error) {
    LocalSocket socket(kAnswerTimeout);
    std::string answer;
    if (!socket.Connect(path_, error) || !socket.Write("cursorpos", error) ||
        !socket.ReadToEnd(answer, error)) {
        error = path_ + ": " + error;
        return std::nullopt;
    }
    std::optional<PointerPosition> at = ParseHyprlandCursor(answer);
    if (!at) error = "cursorpos への答えが読めません: " + answer.substr(0, 80);
    return at;
}

std::unique_ptr<PointerSource> OpenHyprlandSource() {
    const char* signature = std::getenv("HYPRLAND_INSTANCE_SIGNATURE");
    if (signature == nullptr || *signature == '\0') return nullptr;
    const std::string tail = std::string("/hypr/") + signature + "/.socket.sock";
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string path = runtime != nullptr ? runtime + tail : std::string();
    if (path.empty() || access(path.c_str(), F_OK) != 0) {
        const std::string old = "/tmp" + tail;
        if (access(old.c_str(), F_OK) == 0 || path.empty()) path = old;
    }
    return std::make_unique<HyprlandSource>(path);
}
