// Every key of a real X server, under the US and the Japanese layouts and with NumLock on and
// off, makes the round trip a macro makes: the device event through the translator as the
// journal records it, the engine's stored record, the record the playback hook hands over
// unchanged, the playback plan, and the key code that XTEST then holds down on the server.
// It is the same key code, except for the keys named below.
// gtest before Xlib, whose macros (None, Bool) collide with its names.
#include <gtest/gtest.h>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "XvfbServer.h"
#include "engine/Recorder.h"
#include "platform/sim/SimJournal.h"
#include "platform/x11/EventTranslator.h"
#include "platform/x11/InputInjector.h"
#include "platform/x11/X11Keyboard.h"

namespace {

using namespace std::chrono_literals;

// Key codes of the server's mapping that a Windows journal never sees as keys: no PC
// keyboard has a scan code for them, so they make no record. The xkb keycodes 92
// (ISO_Level3_Shift) and 203..207 (Mode_switch, Alt, Meta, Super, Hyper) are no keys at all,
// only places for modifiers.
const std::set<unsigned> kWithoutScanCode = {
    92,  109, 126, 128, 137, 138, 139, 140, 141, 142, 143, 144, 145, 146, 147, 153, 155,
    156, 157, 158, 159, 160, 161, 162, 169, 170, 175, 176, 177, 182, 185, 186, 187, 188,
    189, 190, 203, 204, 205, 206, 207, 208, 209, 210, 211, 212, 213, 214, 215, 216, 218,
    220, 221, 223, 224, 226, 227, 228, 229, 231, 232, 233, 235, 236, 237, 238, 239, 240,
    241, 242, 243, 244, 245, 246, 247, 249, 250, 251, 252, 253, 254, 255,
};
// Keys that share their scan code with another key and play back as that one: the USB
// names of the My Computer (E0 6B) and Media (E0 6D) keys, XF86Explorer and XF86Tools.
const std::map<unsigned, unsigned> kSharedScanCode = {{152, 165}, {179, 234}};

class KeyRoundTripTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(server_.Start()) << server_.Error();
        display_ = XOpenDisplay(server_.DisplayName().c_str());
        ASSERT_NE(display_, nullptr);
    }
    void TearDown() override {
        if (display_ != nullptr) XCloseDisplay(display_);
    }

    // setxkbmap keeps its layout on Xvfb only while the server does not reset (-noreset).
    void UseLayout(const std::string& layout) {
        ChildProcess setxkbmap;
        ASSERT_TRUE(
            setxkbmap.Start({"setxkbmap", "-display", server_.DisplayName(), "-layout", layout}))
            << setxkbmap.Error();
        ASSERT_EQ(setxkbmap.Wait(20s), 0) << "setxkbmap -layout " << layout;
        XSync(display_, False);
    }

    void SetNumLock(bool on) {
        unsigned mask = XkbKeysymToModifiers(display_, XK_Num_Lock);
        ASSERT_NE(mask, 0u);
        XkbLockModifiers(display_, XkbUseCoreKbd, mask, on ? mask : 0);
        XSync(display_, False);
    }

    std::vector<unsigned> MappedKeycodes() {
        int lowest = 0;
        int highest = 0;
        XDisplayKeycodes(display_, &lowest, &highest);
        std::vector<unsigned> keycodes;
        for (int keycode = lowest; keycode <= highest; ++keycode) {
            int perKeycode = 0;
            KeySym* symbols =
                XGetKeyboardMapping(display_, static_cast<KeyCode>(keycode), 1, &perKeycode);
            for (int i = 0; i < perKeycode; ++i) {
                if (symbols[i] != NoSymbol) {
                    keycodes.push_back(static_cast<unsigned>(keycode));
                    break;
                }
            }
            XFree(symbols);
        }
        return keycodes;
    }

    // The one key code the server holds down, 0 for none or several.
    unsigned KeyHeld() {
        char keys[32] = {};
        XQueryKeymap(display_, keys);
        unsigned held = 0;
        int count = 0;
        for (unsigned keycode = 0; keycode < 256; ++keycode) {
            if ((static_cast<unsigned char>(keys[keycode / 8]) >> (keycode % 8)) & 1) {
                held = keycode;
                ++count;
            }
        }
        return count == 1 ? held : 0;
    }

    // Records a press and a release of every key code, plays the macro back into the server
    // and tells what came back: for each key code that made records, the key code held from
    // the press to the release (0 when none or several were).
    std::map<unsigned, unsigned> RoundTrip(const std::vector<unsigned>& keycodes) {
        SimJournal& journal = SimJournal::Instance();
        journal.Reset();
        TRecorder* engine = TRecorder::Create();
        EventTranslator translator;
        translator.Reset(ReadKeyboardState(display_));
        engine->Record(false);
        std::vector<unsigned> recorded;
        for (unsigned keycode : keycodes) {
            for (int type : {KeyPress, KeyRelease}) {
                auto record = translator.Translate(XDeviceEvent{type, keycode, 0, 0, 0});
                if (!record) continue;
                if (type == KeyPress) recorded.push_back(keycode);
                journal.SendRecordEvent(record->message, record->paramL, record->paramH,
                                        record->hwnd);
            }
        }
        engine->Stop();

        std::map<unsigned, unsigned> back;
        InputInjector injector(display_);
        injector.ReadLayout();
        if (engine->Stream().Size() > 0) engine->Play();
        for (std::size_t index = 0; engine->State() == rsPlaying; ++index) {
            EVENTMSG handed{};
            journal.SendPlaybackCode(kHookGetNext, &handed);
            EVENTMSG stored{};
            journal.SendPlaybackCode(kHookNoRemove, &stored);
            injector.Apply(stored);
            XSync(display_, False);
            const unsigned keycode = index / 2 < recorded.size() ? recorded[index / 2] : 0;
            if (index % 2 == 0) {
                back[keycode] = KeyHeld();
            } else if (KeyHeld() != 0) {
                back[keycode] = 0;  // not released
            }
            journal.SendPlaybackCode(kHookSkip, nullptr);
        }
        EXPECT_EQ(back.size(), recorded.size());
        injector.ReleaseAll();
        delete engine;
        return back;
    }

    void ExpectEveryKeyBack(const std::string& layout, bool numLock) {
        SCOPED_TRACE(layout + (numLock ? ", NumLock on" : ", NumLock off"));
        UseLayout(layout);
        SetNumLock(numLock);
        KeyboardState state = ReadKeyboardState(display_);
        EXPECT_EQ(state.layout, layout == "jp" ? KeyboardLayout::Japanese : KeyboardLayout::Us);
        EXPECT_EQ(state.numLock, numLock);

        std::vector<unsigned> keycodes = MappedKeycodes();
        ASSERT_GT(keycodes.size(), 200u);
        std::map<unsigned, unsigned> back = RoundTrip(keycodes);
        for (unsigned keycode : keycodes) {
            const char* name = XKeysymToString(XkbKeycodeToKeysym(display_, keycode, 0, 0));
            SCOPED_TRACE("key code " + std::to_string(keycode) + " (" +
                         (name ? name : "no symbol") + ")");
            auto found = back.find(keycode);
            if (kWithoutScanCode.contains(keycode)) {
                EXPECT_EQ(found, back.end()) << "made a record";
                continue;
            }
            ASSERT_NE(found, back.end()) << "made no record";
            auto shared = kSharedScanCode.find(keycode);
            EXPECT_EQ(found->second, shared == kSharedScanCode.end() ? keycode : shared->second);
        }
    }

    XvfbServer server_;
    Display* display_ = nullptr;
};

TEST_F(KeyRoundTripTest, EveryKeyPlaysBackAsItselfUnderBothLayoutsWithNumLockOnAndOff) {
    ExpectEveryKeyBack("us", false);
    ExpectEveryKeyBack("us", true);
    ExpectEveryKeyBack("jp", false);
    ExpectEveryKeyBack("jp", true);
}

}  // namespace
