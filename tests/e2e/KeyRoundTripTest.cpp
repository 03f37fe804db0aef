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

// Key codes of the server's mapping that make no record: no PC keyboard has a scan code for
// them, so a Windows journal never sees them as keys.
// clang-format off
const std::map<unsigned, const char*> kWithoutScanCode = {
    // No keys at all: xkb's places for the level-3 and virtual modifiers.
    {92, "ISO_Level3_Shift"}, {203, "Mode_switch"}, {204, "Alt_L"}, {205, "Meta_L"},
    {206, "Super_L"}, {207, "Hyper_L"},
    // Editing keys of other keyboards, the keypad's parentheses and plus-minus, Linefeed.
    {109, "Linefeed"}, {126, "plusminus"}, {137, "Redo"}, {138, "SunProps"}, {139, "Undo"},
    {140, "SunFront"}, {141, "XF86Copy"}, {142, "XF86Open"}, {143, "XF86Paste"}, {144, "Find"},
    {145, "XF86Cut"}, {146, "Help"}, {147, "XF86MenuKB"}, {185, "XF86ScrollUp"},
    {186, "XF86ScrollDown"}, {187, "parenleft"}, {188, "parenright"}, {189, "XF86New"},
    {190, "Redo"}, {218, "Print"}, {231, "Cancel"},
    // Launch, media and device keys that Windows takes as application commands, not keys.
    {128, "XF86LaunchA"}, {153, "XF86Send"}, {155, "XF86Xfer"}, {156, "XF86Launch1"},
    {157, "XF86Launch2"}, {158, "XF86WWW"}, {159, "XF86DOS"}, {160, "XF86ScreenSaver"},
    {161, "XF86RotateWindows"}, {162, "XF86TaskPane"}, {169, "XF86Eject"}, {170, "XF86Eject"},
    {175, "XF86AudioRecord"}, {176, "XF86AudioRewind"}, {177, "XF86Phone"}, {182, "XF86Close"},
    {208, "XF86AudioPlay"}, {209, "XF86AudioPause"}, {210, "XF86Launch3"}, {211, "XF86Launch4"},
    {212, "XF86LaunchB"}, {213, "XF86Suspend"}, {214, "XF86Close"}, {215, "XF86AudioPlay"},
    {216, "XF86AudioForward"}, {220, "XF86WebCam"}, {221, "XF86AudioPreset"}, {223, "XF86Mail"},
    {224, "XF86Messenger"}, {226, "XF86Go"}, {227, "XF86Finance"}, {228, "XF86Game"},
    {229, "XF86Shop"}, {232, "XF86MonBrightnessDown"}, {233, "XF86MonBrightnessUp"},
    {235, "XF86Display"}, {236, "XF86KbdLightOnOff"}, {237, "XF86KbdBrightnessDown"},
    {238, "XF86KbdBrightnessUp"}, {239, "XF86Send"}, {240, "XF86Reply"}, {241, "XF86MailForward"},
    {242, "XF86Save"}, {243, "XF86Documents"}, {244, "XF86Battery"}, {245, "XF86Bluetooth"},
    {246, "XF86WLAN"}, {247, "XF86UWB"}, {249, "XF86Next_VMode"}, {250, "XF86Prev_VMode"},
    {251, "XF86MonBrightnessCycle"}, {252, "XF86BrightnessAuto"}, {253, "XF86DisplayOff"},
    {254, "XF86WWAN"}, {255, "XF86RFKill"},
};
// clang-format on
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
    // option is -layout or -keycodes.
    void Setxkbmap(const std::string& option, const std::string& value) {
        ChildProcess setxkbmap;
        ASSERT_TRUE(
            setxkbmap.Start({"setxkbmap", "-display", server_.DisplayName(), option, value}))
            << setxkbmap.Error();
        ASSERT_EQ(setxkbmap.Wait(20s), 0) << "setxkbmap " << option << " " << value;
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
        Setxkbmap("-layout", layout);
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

// A server whose key codes are not evdev's (the xfree86 set here, as on some VNC and NX
// servers) records and plays keys by their names: Home is 97 there, the Ro key's code in
// evdev's set.
TEST_F(KeyRoundTripTest, AServerWithOtherKeyCodesRecordsAndPlaysTheKeysThemselves) {
    Setxkbmap("-keycodes", "xfree86");
    const std::vector<std::pair<KeySym, uint32_t>> keys = {
        {XK_Home, 0x4724},     {XK_Up, 0x4826},        {XK_Delete, 0x532E},
        {XK_KP_Enter, 0x1C0D}, {XK_Control_R, 0x1D11}, {XK_a, 0x1E41}};
    EventTranslator translator;
    translator.Reset(ReadKeyboardState(display_));
    std::vector<unsigned> keycodes;
    for (const auto& [keysym, paramL] : keys) {
        const unsigned keycode = XKeysymToKeycode(display_, keysym);
        SCOPED_TRACE(XKeysymToString(keysym));
        ASSERT_NE(keycode, 0u);
        auto record = translator.Translate(XDeviceEvent{KeyPress, keycode, 0, 0, 0});
        ASSERT_TRUE(record.has_value());
        EXPECT_EQ(record->paramL, paramL);
        translator.Translate(XDeviceEvent{KeyRelease, keycode, 0, 0, 0});
        keycodes.push_back(keycode);
    }
    EXPECT_EQ(XKeysymToKeycode(display_, XK_Home), 97);
    for (const auto& [keycode, back] : RoundTrip(keycodes)) EXPECT_EQ(back, keycode);
}

}  // namespace
