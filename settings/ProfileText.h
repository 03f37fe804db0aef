#pragma once
// The text of a profile (INI) file: "[section]" lines, each followed by "key=value" lines.
// Section and key names match without regard to ASCII letter case or the blanks around them;
// lines ending in LF or CR LF are both understood.
#include <optional>
#include <string>
#include <string_view>

// The value of key in section, without the blanks and tabs around it; nullopt when the
// section or the key is missing. Only the first section of a name is searched.
std::optional<std::string> FindProfileValue(std::string_view text, std::string_view section,
                                            std::string_view key);

// The text with key in section set to value. An existing key line is rewritten, a missing key
// goes after the section's last key line, a missing section goes at the end. Every other byte
// stays as it was; each line written ends with CR LF.
std::string SetProfileValue(std::string_view text, std::string_view section, std::string_view key,
                            std::string_view value);
