#include "settings/ProfileFile.h"

#include <optional>
#include <utility>

#include "settings/ProfileText.h"
#include "toolkit/Exception.h"
#include "toolkit/Files.h"

namespace {

enum class FileState { Missing, Read, Unreadable };

struct FileText {
    FileState state;
    std::string bytes;
};

// The whole file, read with a bound. A file that exists but cannot be opened, is not a
// regular file, fails to read or is too large is unreadable, never taken for an empty one.
FileText ReadWholeFile(const std::string& path) {
    try {
        InputFile file = InputFile::Open(path);
        std::string bytes;
        char buffer[4096];
        for (std::size_t count; (count = file.Read(buffer, sizeof buffer)) > 0;) {
            bytes.append(buffer, count);
            if (bytes.size() > kMaxProfileFileBytes) return {FileState::Unreadable, {}};
        }
        return {FileState::Read, std::move(bytes)};
    } catch (const Exception&) {
        return {FileExists(path) ? FileState::Unreadable : FileState::Missing, {}};
    }
}

}  // namespace

std::string ReadProfileString(const std::string& section, const std::string& key,
                              const std::string& defaultText, const std::string& path) {
    const FileText text = ReadWholeFile(path);
    const auto value =
        text.state == FileState::Read ? FindProfileValue(text.bytes, section, key) : std::nullopt;
    return (value ? *value : defaultText).substr(0, kMaxProfileValueLength);
}

bool WriteProfileString(const std::string& section, const std::string& key,
                        const std::string& value, const std::string& path) {
    const FileText text = ReadWholeFile(path);
    // A file that could not be read whole must not be replaced by what little was read.
    if (text.state == FileState::Unreadable) return false;
    const std::string updated = SetProfileValue(text.bytes, section, key, value);
    // The same value again (a window closed where it opened) leaves the file alone: a
    // replace costs a flush to the disk on every unattended run.
    if (text.state == FileState::Read && updated == text.bytes) return true;
    try {
        ReplaceFileContents(path, updated.data(), updated.size());
    } catch (const Exception&) {
        return false;
    }
    return true;
}
