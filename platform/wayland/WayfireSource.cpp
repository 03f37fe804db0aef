#include "platform/wayland/WayfireSource.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

constexpr std::chrono::milliseconds kAnswerTimeout{50};
constexpr uint32_t kMostAnswerBytes = 1 << 20;  // Wayfire's own limit
constexpr std::string_view kRequest =
    R"({"method": "window-rules/get_cursor_position", "data": {}})";

// The number after "key": in text, from where; nullopt when there is none.
std::optional<double> NumberAfter(std::string_view text, std::string_view key) {
    const std::size_t found = text.find("\"" + std::string(key) + "\"");
    if (found == std::string_view::npos) return std::nullopt;
    std::size_t at = found + key.size() + 2;
    while (at < text.size() && (text[at] == ' ' || text[at] == ':' || text[at] == '\n')) ++at;
    const std::string number(text.substr(at, 40));
    char* end = nullptr;
    const double value = std::strtod(number.c_str(), &end);
    if (end == number.c_str() || !std::isfinite(value) || std::fabs(value) > 1e9) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::optional<PointerPosition> ParseWayfireCursor(std::string_view answer, std::string& error) {
    const std::size_t pos = answer.find("\"pos\"");
    if (pos != std::string_view::npos) {
        const std::string_view inner = answer.substr(pos, answer.find('}', pos) - pos);
        const std::optional<double> x = NumberAfter(inner, "x");
        const std::optional<double> y = NumberAfter(inner, "y");
        if (x && y) {
            return PointerPosition{static_cast<int32_t>(std::lround(*x)),
                                   static_cast<int32_t>(std::lround(*y))};
        }
    }
    error = answer.find("\"error\"") != std::string_view::npos
                ? "プラグイン ipc-rules が有効ではありません (" +
                      std::string(answer.substr(0, 120)) + ")"
                : "window-rules/get_cursor_position への答えが読めません: " +
                      std::string(answer.substr(0, 80));
    return std::nullopt;
}

WayfireSource::WayfireSource(std::string socketPath)
    : path_(std::move(socketPath)), socket_(kAnswerTimeout) {}

bool WayfireSource::Ask(std::string& answer, std::string& error) {
    if (!socket_.Connected() && !socket_.Connect(path_, error)) return false;
    const uint32_t length = static_cast<uint32_t>(kRequest.size());
    std::string message(sizeof(length), '\0');
    std::memcpy(message.data(), &length, sizeof(length));
    message += kRequest;
    uint32_t answerLength = 0;
    if (!socket_.Write(message, error) ||
        !socket_.Read(reinterpret_cast<char*>(&answerLength), sizeof(answerLength), error)) {
        return false;
    }
    if (answerLength > kMostAnswerBytes) {
        socket_.Close();
        error = "応答が長すぎます";
        return false;
    }
    answer.assign(answerLength, '\0');
    return socket_.Read(answer.data(), answer.size(), error);
}

std::optional<PointerPosition> WayfireSource::Poll(std::string& error) {
    std::string answer;
    if (!Ask(answer, error)) {
        error = path_ + ": " + error;
        return std::nullopt;
    }
    return ParseWayfireCursor(answer, error);
}

std::unique_ptr<PointerSource> OpenWayfireSource() {
    const char* path = std::getenv("WAYFIRE_SOCKET");
    if (path == nullptr || *path == '\0') return nullptr;
    return std::make_unique<WayfireSource>(path);
}
