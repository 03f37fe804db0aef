#pragma once
// Translation between X key symbols and the keys of a Windows keyboard record: the
// virtual-key code, the PC scan code (set 1) and the extended-key flag. Macro files hold
// the Windows form, so a macro recorded under X plays on Windows and back.
//
// The translation works on the key, not on the character: pass the key's unshifted
// (level 0) symbol. Shifted symbols of a US layout are accepted too where they name one
// key; "less" and "greater" name the ISO key beside left Shift (VK_OEM_102), which is
// where they lie at level 0. Playback returns the unshifted symbol of the key; the shift
// state comes from the recorded Shift records themselves.
//
// No X headers here: key symbols are the plain numbers of X11/keysym.h.
#include <array>
#include <cstdint>
#include <span>
#include <vector>

struct WindowsKey {
    uint8_t virtualKey = 0;  // 0: no Windows key
    uint8_t scanCode = 0;
    bool extended = false;

    friend bool operator==(const WindowsKey&, const WindowsKey&) = default;
};

// One physical key: its Windows form and the X key symbols it produces, the one to press
// on playback first, unused places 0.
struct KeyRow {
    WindowsKey key;
    std::array<uint32_t, 4> keySyms;
};

// Every key the translation knows, in the order the reverse lookup prefers them.
std::span<const KeyRow> KeyRows();

// X key symbol -> Windows key; virtualKey 0 when the symbol is unknown.
WindowsKey WindowsKeyFromKeySym(uint32_t keysym);

// Windows key -> the X key symbol to press on playback (NoSymbol 0 when unknown). The scan
// code and extended flag pick among keys sharing a virtual-key code: left and right Shift
// by scan code; right Ctrl/Alt, keypad Enter and the navigation block by the extended flag
// (the keypad with NumLock off gives the same codes without it). When no key matches them
// all, a key with the same code and flag, then one with the same code, is taken.
// VK_LSHIFT..VK_RMENU and the Japanese IME toggles VK_OEM_AUTO/VK_OEM_ENLW are understood.
uint32_t KeySymFromWindowsKey(uint8_t virtualKey, uint8_t scanCode, bool extended);

// All symbols of the key KeySymFromWindowsKey picks (of all such keys when only the
// code matched), preferred first, so that playback can fall back to another symbol when
// the current mapping lacks the first (e.g. ISO_Level3_Shift where Alt_R is missing).
std::vector<uint32_t> KeySymsFromWindowsKey(uint8_t virtualKey, uint8_t scanCode, bool extended);

// A key message's parameters as a Windows journal records them, the layout macro files
// store:
//   paramL  bits 0..7 virtual-key code, bits 8..15 scan code, the rest 0
//   paramH  bits 0..14 repeat count (always 1), bit 15 set for an extended key
uint32_t KeyParamL(const WindowsKey& key);
uint32_t KeyParamH(const WindowsKey& key);
WindowsKey WindowsKeyFromParams(uint32_t paramL, uint32_t paramH);

// The parameters of WM_KEYDOWN/WM_KEYUP as playback hands them over, rearranged:
// paramL = virtual-key code, paramH = scan code. The extended flag is lost there; it is
// taken from the first known key with that code and scan code (the navigation block
// before the keypad, left Ctrl before right), false when none is known.
WindowsKey WindowsKeyFromHandedParams(uint32_t paramL, uint32_t paramH);
