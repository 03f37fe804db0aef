#include "platform/fltk/FltkText.h"

namespace {

std::vector<std::string_view> SplitPatterns(std::string_view patterns) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (start <= patterns.size()) {
        std::size_t end = patterns.find(';', start);
        if (end == std::string_view::npos) end = patterns.size();
        std::string_view part = patterns.substr(start, end - start);
        while (!part.empty() && part.front() == ' ') part.remove_prefix(1);
        while (!part.empty() && part.back() == ' ') part.remove_suffix(1);
        if (!part.empty()) parts.push_back(part == "*.*" ? std::string_view("*") : part);
        start = end + 1;
    }
    return parts;
}

// "*.ext" with a plain extension, which can join others in "*.{a,b}".
bool IsPlainExtension(std::string_view pattern) {
    return pattern.size() > 2 && pattern.starts_with("*.") &&
           pattern.substr(2).find_first_of("*?[{,}") == std::string_view::npos;
}

std::string Joined(const std::vector<std::string_view>& parts, std::size_t skip) {
    std::string joined;
    for (std::string_view part : parts) {
        if (!joined.empty()) joined += ',';
        joined += part.substr(skip);
    }
    return joined;
}

// The filter's text without a trailing "(...)" and the blanks before it.
std::string_view FilterName(std::string_view text) {
    if (text.ends_with(')')) {
        std::size_t open = text.rfind('(');
        if (open != std::string_view::npos) text = text.substr(0, open);
    }
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

}  // namespace

std::string LiteralLabel(std::string_view text) {
    std::string shown;
    for (char c : text) {
        if (c == '@') shown += '@';
        shown += c;
    }
    return shown;
}

std::string MenuLabel(std::string_view text) {
    std::string label;
    for (char c : text) {
        if (c == '&' || c == '@') label += c;
        label += c;
    }
    return label;
}

std::string FilenamePattern(std::string_view windowsPatterns) {
    std::vector<std::string_view> parts = SplitPatterns(windowsPatterns);
    if (parts.empty()) return "*";
    if (parts.size() == 1) return std::string(parts.front());
    for (std::string_view part : parts) {
        if (part == "*") return "*";
    }
    bool plain = true;
    for (std::string_view part : parts) plain = plain && IsPlainExtension(part);
    if (plain) return "*.{" + Joined(parts, 2) + "}";
    return "{" + Joined(parts, 0) + "}";
}

std::string FileChooserFilter(const std::vector<TFileFilter>& filters) {
    std::string list;
    for (const TFileFilter& filter : filters) {
        if (!list.empty()) list += '\t';
        std::string name = MenuLabel(FilterName(filter.text));
        for (char& c : name) {
            if (c == '(' || c == '\t') c = ' ';
        }
        if (!name.empty()) name += ' ';
        list += name + "(" + FilenamePattern(filter.pattern) + ")";
    }
    return list;
}

int FontSizeForHeight(int32_t height, int defaultSize) {
    if (height < 0) return -height;
    if (height > 0) return (height * 3 + 2) / 4;
    return defaultSize;
}
