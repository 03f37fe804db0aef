#include "toolkit/Strings.h"

#include "toolkit/Exception.h"

namespace {

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Length of the hexadecimal marker at the start of text: 1 for "$", "x", "X", 2 for "0x",
// "0X", 0 when there is none.
std::size_t HexMarkerLength(std::string_view text) {
    if (text.empty()) return 0;
    if (text[0] == '$' || text[0] == 'x' || text[0] == 'X') return 1;
    if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) return 2;
    return 0;
}

// Hex digits only, at least one, value at most mask. Gives the raw bit pattern.
bool ParseHexDigits(std::string_view digits, uint64_t mask, uint64_t& pattern) {
    if (digits.empty()) return false;
    pattern = 0;
    for (char c : digits) {
        const int digit = HexDigitValue(c);
        if (digit < 0 || pattern > (mask >> 4)) return false;
        pattern = (pattern << 4) | static_cast<uint64_t>(digit);
    }
    return true;
}

// Optional sign and decimal digits, at least one, value within [-(max + 1), max].
bool ParseDecimal(std::string_view text, uint64_t max, int64_t& value) {
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) text.remove_prefix(1);
    if (text.empty()) return false;
    const uint64_t limit = negative ? max + 1 : max;
    uint64_t magnitude = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        const auto digit = static_cast<uint64_t>(c - '0');
        if (magnitude > (limit - digit) / 10) return false;
        magnitude = magnitude * 10 + digit;
    }
    // 0 - magnitude in unsigned arithmetic is the two's complement of the negative value.
    value = static_cast<int64_t>(negative ? 0 - magnitude : magnitude);
    return true;
}

// Parses text for an integer of the given width (32 or 64 bits), sign-extended to 64 bits.
bool ParseInteger(std::string_view text, int bits, int64_t& value) {
    const std::size_t start = text.find_first_not_of(' ');
    if (start == std::string_view::npos) return false;
    text.remove_prefix(start);
    const uint64_t mask = bits == 64 ? ~uint64_t{0} : (uint64_t{1} << bits) - 1;
    const std::size_t marker = HexMarkerLength(text);
    if (marker == 0) return ParseDecimal(text, mask >> 1, value);
    uint64_t pattern = 0;
    if (!ParseHexDigits(text.substr(marker), mask, pattern)) return false;
    value = bits == 64 ? static_cast<int64_t>(pattern)
                       : static_cast<int32_t>(static_cast<uint32_t>(pattern));
    return true;
}

[[noreturn]] void ThrowNotANumber(std::string_view text) {
    throw Exception(FormatText("'%s' は数値ではありません", text));
}

PathRules platformPathRules = kPosixPathRules;

// Position of the last byte of text that is one of bytes, or npos. With a double-byte code
// page, the byte after a lead byte belongs to the same character and is never matched.
std::size_t LastOf(std::string_view text, std::string_view bytes, bool (*leadByte)(unsigned char)) {
    std::size_t last = std::string_view::npos;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (leadByte != nullptr && leadByte(static_cast<unsigned char>(text[at]))) {
            ++at;
        } else if (bytes.find(text[at]) != std::string_view::npos) {
            last = at;
        }
    }
    return last;
}

// Where the file-name part of path begins.
std::size_t FileNameStart(std::string_view path, const PathRules& rules) {
    const std::size_t separator = LastSeparator(path, rules);
    return separator == std::string_view::npos ? 0 : separator + 1;
}

// Position of the last "." of the file-name part, or npos.
std::size_t ExtensionStart(std::string_view path, const PathRules& rules) {
    const std::size_t nameStart = FileNameStart(path, rules);
    const std::size_t dot = LastOf(path.substr(nameStart), ".", rules.leadByte);
    return dot == std::string_view::npos ? dot : nameStart + dot;
}

bool IsCommandLineSeparator(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

}  // namespace

bool TryStrToInt(std::string_view text, int32_t& value) {
    int64_t wide = 0;
    if (!ParseInteger(text, 32, wide)) return false;
    value = static_cast<int32_t>(wide);
    return true;
}

bool TryStrToInt64(std::string_view text, int64_t& value) {
    return ParseInteger(text, 64, value);
}

int32_t StrToInt(std::string_view text) {
    int32_t value = 0;
    if (!TryStrToInt(text, value)) ThrowNotANumber(text);
    return value;
}

int64_t StrToInt64(std::string_view text) {
    int64_t value = 0;
    if (!TryStrToInt64(text, value)) ThrowNotANumber(text);
    return value;
}

std::string IntToStr(int64_t value) {
    return std::to_string(value);
}

const PathRules& PlatformPathRules() {
    return platformPathRules;
}

void SetPlatformPathRules(const PathRules& rules) {
    platformPathRules = rules;
}

bool IsShiftJisLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

std::size_t LastSeparator(std::string_view path, const PathRules& rules) {
    return LastOf(path, rules.separators, rules.leadByte);
}

std::string ExtractFileName(std::string_view path, const PathRules& rules) {
    return std::string(path.substr(FileNameStart(path, rules)));
}

std::string ExtractFilePath(std::string_view path, const PathRules& rules) {
    return std::string(path.substr(0, FileNameStart(path, rules)));
}

std::string ExtractFileExt(std::string_view path, const PathRules& rules) {
    const std::size_t dot = ExtensionStart(path, rules);
    return dot == std::string_view::npos ? std::string() : std::string(path.substr(dot));
}

std::string ChangeFileExt(std::string_view path, std::string_view ext, const PathRules& rules) {
    std::string result(path.substr(0, ExtensionStart(path, rules)));
    result += ext;
    return result;
}

std::string UpperCase(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return result;
}

std::string LowerCase(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return result;
}

std::vector<std::string> SplitCommandLine(std::string_view commandLine) {
    std::vector<std::string> arguments;
    std::size_t at = 0;
    while (at < commandLine.size()) {
        while (at < commandLine.size() && IsCommandLineSeparator(commandLine[at])) ++at;
        if (at == commandLine.size()) break;
        std::string argument;
        bool quoted = false;
        for (; at < commandLine.size() && (quoted || !IsCommandLineSeparator(commandLine[at]));
             ++at) {
            if (commandLine[at] == '"') {
                quoted = !quoted;
            } else {
                argument += commandLine[at];
            }
        }
        if (!argument.empty()) arguments.push_back(std::move(argument));
    }
    return arguments;
}
