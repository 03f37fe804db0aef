#include "settings/ProfileFile.h"

#include <optional>

#include "settings/ProfileText.h"
#include "toolkit/Exception.h"
#include "toolkit/Files.h"

namespace {

// The whole file, or nullopt when it cannot be opened.
std::optional<std::string> ReadWholeFile(const std::string& path) {
    std::optional<InputFile> file;
    try {
        file.emplace(InputFile::Open(path));
    } catch (const Exception&) {
        return std::nullopt;
    }
    std::string bytes;
    char buffer[4096];
    for (std::size_t count; (count = file->Read(buffer, sizeof buffer)) > 0;) {
        bytes.append(buffer, count);
    }
    return bytes;
}

}  // namespace

std::string ReadProfileString(const std::string& section, const std::string& key,
                              const std::string& defaultText, const std::string& path) {
    const auto text = ReadWholeFile(path);
    const auto value = text ? FindProfileValue(*text, section, key) : std::nullopt;
    return (value ? *value : defaultText).substr(0, kMaxProfileValueLength);
}

bool WriteProfileString(const std::string& section, const std::string& key,
                        const std::string& value, const std::string& path) {
    auto text = ReadWholeFile(path);
    // An existing file that cannot be read must not be replaced by a file holding one key.
    if (!text && FileExists(path)) return false;
    const std::string updated = SetProfileValue(text.value_or(""), section, key, value);
    try {
        ReplaceFileContents(path, updated.data(), updated.size());
    } catch (const Exception&) {
        return false;
    }
    return true;
}
