#include "MacroFiles.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

constexpr std::size_t kRecordSize = 20;

uint32_t LittleEndian(const std::string& bytes, std::size_t at) {
    uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    }
    return value;
}

void AppendLittleEndian(std::string& bytes, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>(value >> (8 * i) & 0xFF));
}

std::string Trimmed(const std::string& text) {
    std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

}  // namespace

std::string MacroRecord::Describe() const {
    char text[96];
    std::snprintf(text, sizeof text, "{msg 0x%X, L 0x%X, H 0x%X, t %u, hwnd 0x%X}", message, paramL,
                  paramH, time, hwnd);
    return text;
}

MacroRecord KeyRecord(uint32_t message, PcKey key, uint32_t time) {
    return MacroRecord{message, static_cast<uint32_t>(key.virtualKey | key.scanCode << 8),
                       key.extended ? 0x8001u : 1u, time, 0};
}

MacroRecord MoveRecord(int x, int y, uint32_t time) {
    return MacroRecord{wm::kMouseMove, static_cast<uint32_t>(x), static_cast<uint32_t>(y), time, 0};
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::optional<std::vector<MacroRecord>> ReadMacroFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (bytes.size() % kRecordSize != 0) return std::nullopt;
    std::vector<MacroRecord> records;
    for (std::size_t at = 0; at < bytes.size(); at += kRecordSize) {
        records.push_back(MacroRecord{LittleEndian(bytes, at), LittleEndian(bytes, at + 4),
                                      LittleEndian(bytes, at + 8), LittleEndian(bytes, at + 12),
                                      LittleEndian(bytes, at + 16)});
    }
    return records;
}

bool WriteMacroFile(const std::string& path, const std::vector<MacroRecord>& records) {
    std::string bytes;
    for (const MacroRecord& record : records) {
        for (uint32_t field :
             {record.message, record.paramL, record.paramH, record.time, record.hwnd}) {
            AppendLittleEndian(bytes, field);
        }
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    return static_cast<bool>(out);
}

bool WriteMacroList(const std::string& path, const std::vector<std::string>& entries) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (const std::string& entry : entries) out << entry << "\r\n";
    return static_cast<bool>(out);
}

std::optional<IniValues> ReadIniFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    IniValues values;
    std::string section;
    std::string line;
    while (std::getline(in, line)) {
        line = Trimmed(line);
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            section = line.substr(1, line.size() - 2);
        } else if (std::size_t equals = line.find('='); equals != std::string::npos) {
            values[section][Trimmed(line.substr(0, equals))] = Trimmed(line.substr(equals + 1));
        }
    }
    return values;
}
