#pragma once
// The keymap a virtual keyboard uploads, and the modifier state its keys make. Some
// compositors (wlroots) feed a virtual keyboard's keys without updating its modifiers, so
// the program keeps the state itself and sends the modifiers after each change.
#include <cstdint>
#include <string>

struct xkb_context;
struct xkb_keymap;
struct xkb_state;

struct KeyModifiers {
    uint32_t depressed = 0;
    uint32_t latched = 0;
    uint32_t locked = 0;
    uint32_t group = 0;
};

class VirtualKeymap {
  public:
    VirtualKeymap();
    ~VirtualKeymap();
    VirtualKeymap(const VirtualKeymap&) = delete;
    VirtualKeymap& operator=(const VirtualKeymap&) = delete;

    // The user's keymap in xkb's text form, as the compositor sends it; empty or unusable:
    // the one XKB_DEFAULT_RULES, _MODEL, _LAYOUT, _VARIANT and _OPTIONS name, else the
    // system's default. False when not even that compiles.
    bool Load(const std::string& text);
    // The keymap as text, ending in a NUL as the protocols expect.
    const std::string& Text() const { return text_; }

    // key: the kernel's key code. True when the modifiers or the layout changed.
    bool Key(uint32_t key, bool press);
    KeyModifiers Modifiers() const;

  private:
    xkb_context* context_ = nullptr;
    xkb_keymap* keymap_ = nullptr;
    xkb_state* state_ = nullptr;
    std::string text_;
};
