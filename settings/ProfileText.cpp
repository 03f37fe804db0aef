#include "settings/ProfileText.h"

#include <cstddef>
#include <vector>

namespace {

constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kLineEnd = "\r\n";

std::string_view Trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

char LowerByte(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
    a = Trim(a);
    b = Trim(b);
    if (a.size() != b.size()) return false;
    for (std::size_t at = 0; at < a.size(); ++at) {
        if (LowerByte(a[at]) != LowerByte(b[at])) return false;
    }
    return true;
}

// One line of the text: its content without the line ending, and where the next line begins.
struct Line {
    std::string_view body;
    std::size_t end;
};

std::vector<Line> SplitLines(std::string_view text) {
    std::vector<Line> lines;
    for (std::size_t begin = 0; begin < text.size();) {
        const std::size_t newline = text.find('\n', begin);
        const std::size_t end = newline == std::string_view::npos ? text.size() : newline + 1;
        std::string_view body = text.substr(begin, end - begin);
        if (!body.empty() && body.back() == '\n') body.remove_suffix(1);
        if (!body.empty() && body.back() == '\r') body.remove_suffix(1);
        lines.push_back({body, end});
        begin = end;
    }
    return lines;
}

// The name between "[" and "]" when body is a section line.
std::optional<std::string_view> SectionName(std::string_view body) {
    body = Trim(body);
    if (body.empty() || body[0] != '[') return std::nullopt;
    body.remove_prefix(1);
    return Trim(body.substr(0, body.find(']')));
}

struct KeyLine {
    std::string_view name;
    std::string_view value;
};

// A "name=value" line; lines starting with ";" are comments.
std::optional<KeyLine> ParseKeyLine(std::string_view body) {
    const std::size_t equals = body.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    const std::string_view name = Trim(body.substr(0, equals));
    if (name.empty() || name[0] == ';') return std::nullopt;
    return KeyLine{name, Trim(body.substr(equals + 1))};
}

// Line indices of the section line, its last key line and the key's line.
struct Place {
    std::optional<std::size_t> section;
    std::optional<std::size_t> lastKey;
    std::optional<std::size_t> key;
};

Place Locate(const std::vector<Line>& lines, std::string_view section, std::string_view key) {
    Place place;
    for (std::size_t at = 0; at < lines.size(); ++at) {
        if (const auto name = SectionName(lines[at].body)) {
            if (place.section) break;
            if (SameName(*name, section)) place.section = at;
            continue;
        }
        const auto keyLine = ParseKeyLine(lines[at].body);
        if (!place.section || !keyLine) continue;
        place.lastKey = at;
        if (!place.key && SameName(keyLine->name, key)) place.key = at;
    }
    return place;
}

std::string KeyLineText(std::string_view key, std::string_view value) {
    std::string line(key);
    line += '=';
    line += value;
    line += kLineEnd;
    return line;
}

// text with addition placed after the first `end` bytes, which are closed as a line first. A
// lone CR there gets its LF: CR CR LF would leave the CR in the line and spoil its value.
std::string InsertAt(std::string_view text, std::size_t end, std::string_view addition) {
    std::string result(text.substr(0, end));
    if (!result.empty() && result.back() == '\r') {
        result += '\n';
    } else if (!result.empty() && result.back() != '\n') {
        result += kLineEnd;
    }
    result += addition;
    result += text.substr(end);
    return result;
}

// Offset of the first byte of line `index`.
std::size_t LineBegin(const std::vector<Line>& lines, std::size_t index) {
    return index == 0 ? 0 : lines[index - 1].end;
}

}  // namespace

std::optional<std::string> FindProfileValue(std::string_view text, std::string_view section,
                                            std::string_view key) {
    const auto lines = SplitLines(text);
    const Place place = Locate(lines, section, key);
    if (!place.key) return std::nullopt;
    return std::string(ParseKeyLine(lines[*place.key].body)->value);
}

std::string SetProfileValue(std::string_view text, std::string_view section, std::string_view key,
                            std::string_view value) {
    const auto lines = SplitLines(text);
    const Place place = Locate(lines, section, key);
    if (place.key) {
        const Line& line = lines[*place.key];
        std::string result(text.substr(0, LineBegin(lines, *place.key)));
        result += KeyLineText(ParseKeyLine(line.body)->name, value);
        result += text.substr(line.end);
        return result;
    }
    if (place.section) {
        const std::size_t after = place.lastKey.value_or(*place.section);
        return InsertAt(text, lines[after].end, KeyLineText(Trim(key), value));
    }
    // Appended piece by piece: GCC 12 at -O3 warns of an overlap in "[" + std::string(...).
    std::string newSection(1, '[');
    newSection += Trim(section);
    newSection += ']';
    newSection += kLineEnd;
    newSection += KeyLineText(Trim(key), value);
    return InsertAt(text, text.size(), newSection);
}
