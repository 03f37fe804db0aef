#include "platform/wayland/VirtualKeymap.h"

#include <xkbcommon/xkbcommon.h>

#include <cstdlib>

namespace {

// Evdev key codes are X key codes less 8.
constexpr uint32_t kXKeycodeOffset = 8;

}  // namespace

VirtualKeymap::VirtualKeymap() : context_(xkb_context_new(XKB_CONTEXT_NO_FLAGS)) {}

VirtualKeymap::~VirtualKeymap() {
    xkb_state_unref(state_);
    xkb_keymap_unref(keymap_);
    xkb_context_unref(context_);
}

bool VirtualKeymap::Load(const std::string& text) {
    if (context_ == nullptr) return false;
    xkb_keymap* keymap = nullptr;
    if (!text.empty()) {
        keymap = xkb_keymap_new_from_string(context_, text.c_str(), XKB_KEYMAP_FORMAT_TEXT_V1,
                                            XKB_KEYMAP_COMPILE_NO_FLAGS);
    }
    // No names: libxkbcommon takes them from XKB_DEFAULT_* or its built-in defaults.
    if (keymap == nullptr)
        keymap = xkb_keymap_new_from_names(context_, nullptr, XKB_KEYMAP_COMPILE_NO_FLAGS);
    if (keymap == nullptr) return false;
    char* serialized = xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1);
    if (serialized == nullptr) {
        xkb_keymap_unref(keymap);
        return false;
    }
    text_.assign(serialized);
    text_.push_back('\0');
    std::free(serialized);
    xkb_state_unref(state_);
    xkb_keymap_unref(keymap_);
    keymap_ = keymap;
    state_ = xkb_state_new(keymap_);
    return state_ != nullptr;
}

bool VirtualKeymap::Key(uint32_t key, bool press) {
    if (state_ == nullptr) return false;
    const xkb_state_component changed =
        xkb_state_update_key(state_, key + kXKeycodeOffset, press ? XKB_KEY_DOWN : XKB_KEY_UP);
    return (changed & (XKB_STATE_MODS_DEPRESSED | XKB_STATE_MODS_LATCHED | XKB_STATE_MODS_LOCKED |
                       XKB_STATE_LAYOUT_EFFECTIVE)) != 0;
}

KeyModifiers VirtualKeymap::Modifiers() const {
    KeyModifiers modifiers;
    if (state_ == nullptr) return modifiers;
    modifiers.depressed = xkb_state_serialize_mods(state_, XKB_STATE_MODS_DEPRESSED);
    modifiers.latched = xkb_state_serialize_mods(state_, XKB_STATE_MODS_LATCHED);
    modifiers.locked = xkb_state_serialize_mods(state_, XKB_STATE_MODS_LOCKED);
    modifiers.group = xkb_state_serialize_layout(state_, XKB_STATE_LAYOUT_EFFECTIVE);
    return modifiers;
}
