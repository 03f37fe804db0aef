#include "ui/MacroListFile.h"

#include <cstring>

#include "toolkit/Exception.h"
#include "toolkit/Files.h"
#include "toolkit/Memory.h"
#include "toolkit/Strings.h"

namespace {
const char kCannotInsert[] = "行を挿入できません";
const char kIndexOutOfRange[] = "リストのインデックスが範囲を超えています (%d)";
const char kOutOfMemory[] = "メモリストリームの拡大中にメモリが足りなくなりました";

// Room for a text of size bytes; a text larger than the memory the system can still give
// fails before any of it is taken.
void ReserveText(std::string& bytes, uint64_t size) {
    if (size > AvailableMemory() || size > bytes.max_size()) throw Exception(kOutOfMemory);
    bytes.reserve(static_cast<std::size_t>(size));
}

// The file's text: every byte up to its end or its first zero byte, after which nothing
// counts (so a huge sparse file is not read at all). A read error fails the whole load.
std::string ReadText(const std::string& path) {
    InputFile file = InputFile::Open(path, FileSharing::Readers);
    std::string bytes;
    char buffer[16384];
    for (std::size_t count; (count = file.Read(buffer, sizeof buffer)) > 0;) {
        const void* zero = std::memchr(buffer, 0, count);
        if (zero != nullptr) {
            bytes.append(buffer, static_cast<std::size_t>(static_cast<const char*>(zero) - buffer));
            break;
        }
        if (bytes.empty()) ReserveText(bytes, file.Size());
        bytes.append(buffer, count);
    }
    return bytes;
}
}  // namespace

PlaylistEntries ParsePlaylistText(std::string_view bytes) {
    bytes = bytes.substr(0, bytes.find('\0'));
    PlaylistEntries entries;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            entries.emplace_back(bytes.substr(start));
            break;
        }
        entries.emplace_back(bytes.substr(start, end - start));
        bool crlf = bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n';
        start = end + (crlf ? 2 : 1);
    }
    return entries;
}

std::string PlaylistText(const PlaylistEntries& entries) {
    std::string text;
    for (const std::string& entry : entries) {
        text += entry;
        text += "\r\n";
    }
    return text;
}

void LoadPlaylist(PlaylistEntries& entries, const std::string& path) {
    PlaylistEntries loaded = ParsePlaylistText(ReadText(path));
    for (const std::string& entry : loaded) CheckPlaylistEntry(entry);
    entries = std::move(loaded);
}

void CheckPlaylistEntry(const std::string& entry) {
    // A line end or a zero byte would split or cut the entry in the list file.
    static constexpr std::string_view kLineBreakers("\r\n\0", 3);
    if (entry.size() > kMaxEntryBytes || entry.find_first_of(kLineBreakers) != std::string::npos) {
        throw Exception(kCannotInsert);
    }
}

void SavePlaylist(const PlaylistEntries& entries, const std::string& path) {
    std::string text = PlaylistText(entries);
    ReplaceFileContents(path, text.data(), text.size());
}

const std::string& PlaylistEntry(const PlaylistEntries& entries, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= entries.size()) {
        throw Exception(FormatText(kIndexOutOfRange, IntToStr(index)));
    }
    return entries[static_cast<std::size_t>(index)];
}
