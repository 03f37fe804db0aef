#pragma once
// Single values of a profile (INI) file, read and written the way the system's profile
// functions do it, for platforms that have none.
#include <cstddef>
#include <string>

// The longest value a read returns; longer values are cut.
inline constexpr std::size_t kMaxProfileValueLength = 2047;

// The value of key in section, blanks and tabs around it removed; defaultText when the file,
// the section or the key is missing.
std::string ReadProfileString(const std::string& section, const std::string& key,
                              const std::string& defaultText, const std::string& path);

// Sets key in section to value, creating the file, the section and the key as needed.
// False when the file cannot be read back or replaced.
bool WriteProfileString(const std::string& section, const std::string& key,
                        const std::string& value, const std::string& path);
