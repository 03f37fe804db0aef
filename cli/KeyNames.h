#pragma once
// Names of Windows virtual-key codes as a macro's key records carry them ("A", "RETURN",
// "NUMPAD7", "OEM_1"), for reading and writing macros as text.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The name of a virtual-key code; empty when the code has none.
std::string_view VirtualKeyName(uint8_t code);
// The code of a name (exact upper case), or nothing.
std::optional<uint8_t> VirtualKeyOfName(std::string_view name);
