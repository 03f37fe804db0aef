#pragma once
// Keys are physical keys. A key record names the key by its PC scan code (set 1) with the
// extended flag, the same whatever the layout, and carries the virtual-key code that Windows
// reports for that key in the active layout. X key codes are evdev codes + 8 (the server's
// evdev rules); a fixed table takes them to scan codes and back. Macro files hold the Windows
// form, so a macro recorded under X plays on Windows and back.
//
// No X headers here: key codes and key symbols are plain numbers.
#include <cstdint>
#include <functional>
#include <optional>

// A key by its scan code; code 0 is no key.
struct ScanKey {
    uint8_t code = 0;
    bool extended = false;

    friend bool operator==(const ScanKey&, const ScanKey&) = default;
};

struct WindowsKey {
    uint8_t virtualKey = 0;
    uint8_t scanCode = 0;
    bool extended = false;

    friend bool operator==(const WindowsKey&, const WindowsKey&) = default;
};

// The layouts whose virtual-key codes are known: the US 101/102-key layout, which every other
// layout is taken as, and the Japanese 106/109-key layout.
enum class KeyboardLayout { Us, Japanese };

// The code Windows layouts give a key that has no virtual-key code.
inline constexpr uint8_t kNoVirtualKey = 0xFF;

// Scan keys that depend on a modifier: Pause with Ctrl is Break, Print with Alt is SysRq.
inline constexpr ScanKey kBreakKey{0x46, true};
inline constexpr ScanKey kSysRqKey{0x54, false};

// The NumLock key.
inline constexpr ScanKey kNumLockScanKey{0x45, true};

// For the keypad keys that give a digit or a navigation code by NumLock (0..9 and the
// decimal point): true when virtualKey is the digit's code (VK_NUMPAD0..9, VK_DECIMAL), false
// when it is the navigation code (VK_HOME...); nothing for other keys and codes.
std::optional<bool> KeypadDigitWanted(ScanKey key, uint8_t virtualKey);

// X key code -> the key's scan code; code 0 when the key has none on a PC keyboard.
ScanKey ScanKeyOfKeycode(uint32_t keycode);

// Scan code -> the X key code of that key; 0 when no key has it. Break gives the Pause key,
// SysRq the Print key.
uint32_t KeycodeOfScanKey(ScanKey key);

// The virtual-key code Windows reports for the key in the layout, kNoVirtualKey for none.
// numpadDigits: NumLock is on and Shift is up, so the keypad gives digits rather than the
// navigation codes. Shift, Ctrl and Alt report their generic codes, as key messages do.
uint8_t VirtualKeyOf(ScanKey key, KeyboardLayout layout, bool numpadDigits);

// For records without a usable scan code (made by hand): the key that has the virtual-key
// code in the layout, the navigation block before the keypad; the left/right modifier codes
// and the Japanese IME toggles are understood. Code 0 when no key has it.
ScanKey ScanKeyOfVirtualKey(uint8_t virtualKey, KeyboardLayout layout);

// The layout a keyboard mapping follows: Japanese when the key right of P carries @ and the
// second right of L carries : (JIS), else US. keysymOf gives a key code's first symbol.
KeyboardLayout LayoutOfMapping(const std::function<uint32_t(uint32_t keycode)>& keysymOf);

// A key message's parameters as a Windows journal records them, the layout macro files
// store:
//   paramL  bits 0..7 virtual-key code, bits 8..15 scan code, the rest 0
//   paramH  bits 0..14 repeat count (always 1), bit 15 set for an extended key
uint32_t KeyParamL(const WindowsKey& key);
uint32_t KeyParamH(const WindowsKey& key);
WindowsKey WindowsKeyFromParams(uint32_t paramL, uint32_t paramH);
