#pragma once
// Single values of a profile (INI) file, read and written the way the system's profile
// functions do it, for platforms that have none.
#include <cstddef>
#include <string>

// The longest value a read returns; longer values are cut.
inline constexpr std::size_t kMaxProfileValueLength = 2047;

// The largest settings file that is read; a larger one counts as unreadable.
inline constexpr std::size_t kMaxProfileFileBytes = 1024 * 1024;

// The value of key in section, blanks and tabs around it removed; defaultText when the file,
// the section or the key is missing, and when the file cannot be read whole (not a regular
// file, a read error, larger than kMaxProfileFileBytes).
std::string ReadProfileString(const std::string& section, const std::string& key,
                              const std::string& defaultText, const std::string& path);

// Sets key in section to value, creating the file, the section and the key as needed.
// False when the file exists but cannot be read whole, or cannot be replaced.
bool WriteProfileString(const std::string& section, const std::string& key,
                        const std::string& value, const std::string& path);
