#pragma once
// The playlist's file (.mlf): one macro-file path per line, CR LF after every line, bytes
// stored unchanged. The playlist itself is the list of entries shown in the main window.
#include <string>
#include <string_view>
#include <vector>

using PlaylistEntries = std::vector<std::string>;

// The most bytes one entry may hold.
inline constexpr std::size_t kMaxEntryBytes = 4095;

// Splits a macro list file's bytes into entries: text up to the first zero byte; lines end
// at CR LF, lone CR or lone LF; every line is an entry, blanks kept; a final line end adds
// no empty entry.
PlaylistEntries ParsePlaylistText(std::string_view bytes);
// Every entry followed by CR LF.
std::string PlaylistText(const PlaylistEntries& entries);

// Throws "行を挿入できません" for an entry the list cannot hold: longer than kMaxEntryBytes, or
// holding a CR, an LF or a zero byte, which the list file cannot store.
void CheckPlaylistEntry(const std::string& entry);

// Replaces entries by the lines of the file. Throws "ファイル %s は開けません" when it cannot
// be opened, "ストリームからの読み込みエラー" when reading it fails, the stream's memory error
// when its text is larger than the memory the system can still give, and "行を挿入できません"
// for an entry longer than kMaxEntryBytes; entries are then unchanged.
void LoadPlaylist(PlaylistEntries& entries, const std::string& path);
// Writes all entries to the file, replacing it only once the whole text is written. Throws
// "ファイル %s を作成できません" or "ストリームへの書き込みエラー"; a previous file stays.
void SavePlaylist(const PlaylistEntries& entries, const std::string& path);

// The entry at index; throws "リストのインデックスが範囲を超えています (<index>)" outside
// the list.
const std::string& PlaylistEntry(const PlaylistEntries& entries, int index);
