#include "cli/MacroText.h"

#include <charconv>
#include <cstdio>
#include <optional>
#include <sstream>
#include <string_view>

#include "cli/KeyNames.h"

namespace {

struct MessageInfo {
    uint32_t number;
    const char* name;
};

constexpr MessageInfo kMessages[] = {
    {msg::kKeyDown, "WM_KEYDOWN"},         {msg::kKeyUp, "WM_KEYUP"},
    {msg::kSysKeyDown, "WM_SYSKEYDOWN"},   {msg::kSysKeyUp, "WM_SYSKEYUP"},
    {msg::kMouseMove, "WM_MOUSEMOVE"},     {msg::kLButtonDown, "WM_LBUTTONDOWN"},
    {msg::kLButtonUp, "WM_LBUTTONUP"},     {msg::kRButtonDown, "WM_RBUTTONDOWN"},
    {msg::kRButtonUp, "WM_RBUTTONUP"},     {msg::kMButtonDown, "WM_MBUTTONDOWN"},
    {msg::kMButtonUp, "WM_MBUTTONUP"},     {msg::kMouseWheel, "WM_MOUSEWHEEL"},
    {msg::kMouseHWheel, "WM_MOUSEHWHEEL"}, {msg::kXButtonDown, "WM_XBUTTONDOWN"},
    {msg::kXButtonUp, "WM_XBUTTONUP"},
};

enum class Kind { Key, Pointer, Wheel, Other };

Kind KindOf(uint32_t message) {
    switch (message) {
        case msg::kKeyDown:
        case msg::kKeyUp:
        case msg::kSysKeyDown:
        case msg::kSysKeyUp:
            return Kind::Key;
        case msg::kMouseWheel:
        case msg::kMouseHWheel:
            return Kind::Wheel;
        default:
            return MessageName(message).empty() ? Kind::Other : Kind::Pointer;
    }
}

std::string Hex(uint32_t value, int digits = 1) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

std::string Field(const char* name, uint32_t value) {
    return std::string(" ") + name + "=0x" + Hex(value);
}

std::string KeyText(const EVENTMSG& r) {
    const uint8_t vk = static_cast<uint8_t>(r.paramL);
    const bool extended = (r.paramH & 0x8000u) != 0;
    std::string_view name = VirtualKeyName(vk);
    std::string text = name.empty() ? "vk=" + Hex(vk, 2) : std::string(name);
    text += " scan=" + Hex((r.paramL >> 8) & 0xFF, 2);
    if (extended) text += " ext";
    if ((r.paramL >> 16) != 0) text += Field("paramL", r.paramL);
    if (r.paramH != (extended ? 0x8001u : 1u)) text += Field("paramH", r.paramH);
    if (r.hwnd != 0) text += Field("hwnd", r.hwnd);
    return text;
}

std::string Signed(uint32_t value) {
    return std::to_string(static_cast<int32_t>(value));
}

}  // namespace

std::string MessageName(uint32_t message) {
    for (const MessageInfo& info : kMessages) {
        if (info.number == message) return info.name;
    }
    return {};
}

std::string FormatRecord(const EVENTMSG& r) {
    std::string line = std::to_string(r.time) + " ";
    switch (KindOf(r.message)) {
        case Kind::Key:
            return line + MessageName(r.message) + " " + KeyText(r);
        case Kind::Pointer:
            line += MessageName(r.message) + " " + Signed(r.paramL) + " " + Signed(r.paramH);
            return r.hwnd != 0 ? line + Field("hwnd", r.hwnd) : line;
        case Kind::Wheel:
            return line + MessageName(r.message) + " " + Signed(r.paramL) + " " + Signed(r.paramH) +
                   " " + Signed(r.hwnd);
        case Kind::Other:
            break;
    }
    return line + "0x" + Hex(r.message, 4) + Field("paramL", r.paramL) + Field("paramH", r.paramH) +
           Field("hwnd", r.hwnd);
}

std::string FormatMacro(const std::vector<uint8_t>& bytes) {
    std::string text;
    const std::size_t whole = bytes.size() / kEventMsgSize * kEventMsgSize;
    for (std::size_t at = 0; at < whole; at += kEventMsgSize) {
        text += FormatRecord(DecodeEvent(bytes.data() + at)) + "\n";
    }
    if (whole < bytes.size()) {
        text += "trailing";
        for (std::size_t at = whole; at < bytes.size(); ++at) {
            text += ' ';
            text += Hex(bytes[at], 2);
        }
        text += "\n";
    }
    return text;
}

namespace {

// Reads one line's words, naming the line in every error.
class LineReader {
  public:
    LineReader(const std::string& line, std::size_t number) : number_(number) {
        std::istringstream words(line);
        for (std::string word; words >> word;) words_.push_back(word);
    }

    bool AtEnd() const { return next_ == words_.size(); }
    const std::string& Peek() const { return words_[next_]; }
    std::string Take(const char* expected) {
        if (AtEnd()) Fail(expected);
        return words_[next_++];
    }
    [[noreturn]] void Fail(const std::string& expected) const {
        throw MacroTextError("line " + std::to_string(number_) + ": expected " + expected);
    }

    template <class T>
    T Number(std::string_view word, int base, const char* expected) const {
        if (base == 16 && (word.starts_with("0x") || word.starts_with("0X"))) word.remove_prefix(2);
        T value{};
        auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value, base);
        if (word.empty() || error != std::errc() || end != word.data() + word.size()) {
            Fail(expected);
        }
        return value;
    }

  private:
    std::vector<std::string> words_;
    std::size_t next_ = 0;
    std::size_t number_;
};

uint32_t ParseMessage(LineReader& line) {
    const std::string word = line.Take("a message name or number");
    for (const MessageInfo& info : kMessages) {
        if (word == info.name) return info.number;
    }
    if (!word.starts_with("0x") && !word.starts_with("0X")) {
        line.Fail("a message name or a number like 0x0113, not '" + word + "'");
    }
    return line.Number<uint32_t>(word, 16, "a message number in hex");
}

void ParseKey(LineReader& line, EVENTMSG& r) {
    const std::string key = line.Take("a key name or vk=HH");
    uint8_t vk = 0;
    if (key.starts_with("vk=")) {
        vk = line.Number<uint8_t>(std::string_view(key).substr(3), 16, "vk=HH (hex)");
    } else if (auto named = VirtualKeyOfName(key)) {
        vk = *named;
    } else {
        line.Fail("a key name such as A, RETURN or NUMPAD7, not '" + key + "'");
    }
    const std::string scan = line.Take("scan=HH");
    if (!scan.starts_with("scan=")) line.Fail("scan=HH, not '" + scan + "'");
    const uint8_t code = line.Number<uint8_t>(std::string_view(scan).substr(5), 16, "scan=HH");
    bool extended = !line.AtEnd() && line.Peek() == "ext";
    if (extended) line.Take("ext");
    r.paramL = vk | static_cast<uint32_t>(code) << 8;
    r.paramH = extended ? 0x8001u : 1u;
}

int32_t ParseSigned(LineReader& line, const char* expected) {
    return line.Number<int32_t>(line.Take(expected), 10, expected);
}

void ParseFields(LineReader& line, EVENTMSG& r) {
    while (!line.AtEnd()) {
        const std::string word = line.Take("a field");
        const std::size_t equals = word.find('=');
        const std::string name = word.substr(0, equals);
        uint32_t* field = name == "paramL"   ? &r.paramL
                          : name == "paramH" ? &r.paramH
                          : name == "hwnd"   ? &r.hwnd
                                             : nullptr;
        if (field == nullptr || equals == std::string::npos) {
            line.Fail("paramL=, paramH= or hwnd=, not '" + word + "'");
        }
        *field = line.Number<uint32_t>(std::string_view(word).substr(equals + 1), 16,
                                       (name + "=0x... (hex)").c_str());
    }
}

EVENTMSG ParseRecord(LineReader& line, const std::string& first) {
    EVENTMSG r{};
    r.time = line.Number<uint32_t>(first, 10, "a time in milliseconds or 'trailing'");
    r.message = ParseMessage(line);
    switch (KindOf(r.message)) {
        case Kind::Key:
            ParseKey(line, r);
            break;
        case Kind::Wheel:
            r.paramL = static_cast<uint32_t>(ParseSigned(line, "the x coordinate"));
            r.paramH = static_cast<uint32_t>(ParseSigned(line, "the y coordinate"));
            r.hwnd = static_cast<uint32_t>(ParseSigned(line, "the wheel delta"));
            break;
        case Kind::Pointer:
            r.paramL = static_cast<uint32_t>(ParseSigned(line, "the x coordinate"));
            r.paramH = static_cast<uint32_t>(ParseSigned(line, "the y coordinate"));
            break;
        case Kind::Other:
            break;
    }
    ParseFields(line, r);
    return r;
}

void ParseTrailing(LineReader& line, std::vector<uint8_t>& bytes, bool& ended) {
    std::size_t count = 0;
    for (; !line.AtEnd(); ++count) {
        bytes.push_back(line.Number<uint8_t>(line.Take("a byte"), 16, "bytes in hex, like 0A"));
    }
    if (count == 0 || count >= kEventMsgSize) line.Fail("1 to 19 trailing bytes");
    ended = true;
}

}  // namespace

std::vector<uint8_t> ParseMacro(const std::string& text) {
    std::vector<uint8_t> bytes;
    std::istringstream lines(text);
    bool ended = false;  // trailing bytes were read: nothing may follow
    std::size_t number = 0;
    for (std::string content; std::getline(lines, content);) {
        ++number;
        LineReader line(content, number);
        if (line.AtEnd() || line.Peek().starts_with("#")) continue;
        if (ended) line.Fail("nothing after the trailing bytes");
        const std::string first = line.Take("a time");
        if (first == "trailing") {
            ParseTrailing(line, bytes, ended);
            continue;
        }
        uint8_t record[kEventMsgSize];
        EncodeEvent(ParseRecord(line, first), record);
        bytes.insert(bytes.end(), record, record + kEventMsgSize);
    }
    return bytes;
}
