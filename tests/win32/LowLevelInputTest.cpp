// The emulated journal's translations: low-level hook data to records, records to SendInput
// entries, pixels to the normalised coordinates that land on them, and the keys a recording
// holds down.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "platform/win32/HeldKeys.h"
#include "platform/win32/HookThread.h"
#include "platform/win32/LowLevelInput.h"

namespace {

KBDLLHOOKSTRUCT Key(DWORD vk, DWORD scan, DWORD flags, DWORD time = 0) {
    KBDLLHOOKSTRUCT key{};
    key.vkCode = vk;
    key.scanCode = scan;
    key.flags = flags;
    key.time = time;
    return key;
}

MSLLHOOKSTRUCT Mouse(LONG x, LONG y, DWORD data = 0) {
    MSLLHOOKSTRUCT mouse{};
    mouse.pt = POINT{x, y};
    mouse.mouseData = data;
    mouse.time = 77;
    return mouse;
}

TEST(LowLevelRecords, KeysAreRecordedAsTheJournalRecordsThem) {
    // Right Ctrl: the generic virtual key, the scan code, the extended bit in paramH.
    EXPECT_EQ(RecordOfKey(WM_KEYDOWN, Key(VK_RCONTROL, 0x1D, LLKHF_EXTENDED, 500)),
              (EVENTMSG{msg::kKeyDown, 0x1D11, 0x8001, 500, 0}));
    EXPECT_EQ(RecordOfKey(WM_SYSKEYUP, Key(VK_LMENU, 0x38, LLKHF_UP)),
              (EVENTMSG{msg::kSysKeyUp, 0x3812, 1, 0, 0}));
    EXPECT_EQ(RecordOfKey(WM_KEYDOWN, Key(VK_RSHIFT, 0x36, 0))->paramL, 0x3610u);
    // A character from the touch keyboard or an input method, in the scan code: not a key.
    EXPECT_FALSE(RecordOfKey(WM_KEYDOWN, Key(VK_PACKET, 0x3042, 0)).has_value());
}

TEST(LowLevelRecords, PointerRecordsKeepNegativePositionsAndTheWheelDelta) {
    EXPECT_EQ(RecordOfMouse(WM_LBUTTONDOWN, Mouse(-1920, -5)),
              (EVENTMSG{msg::kLButtonDown, 0xFFFFF880, 0xFFFFFFFB, 77, 0}));
    // One notch towards the user: -120 in the high word, carried in the window field.
    EXPECT_EQ(RecordOfMouse(WM_MOUSEWHEEL, Mouse(3, 4, 0xFF880000))->hwnd, 0xFFFFFF88u);
    EXPECT_EQ(RecordOfMouse(WM_MOUSEHWHEEL, Mouse(3, 4, 240u << 16))->hwnd, 240u);
    EXPECT_FALSE(RecordOfMouse(WM_NCLBUTTONDOWN, Mouse(0, 0)).has_value());
}

TEST(LowLevelRecords, XButtonsTravelWithTheirNumberAndPlayBack) {
    const std::optional<EVENTMSG> forward =
        RecordOfMouse(WM_XBUTTONDOWN, Mouse(10, 20, XBUTTON2 << 16));
    ASSERT_EQ(forward, (EVENTMSG{msg::kXButtonDown, 10, 20, 77, XBUTTON2}));
    const ScreenArea screen{0, 0, 800, 600};
    std::vector<INPUT> inputs = InputsOf(*forward, screen);
    ASSERT_EQ(inputs.size(), 1u);
    EXPECT_EQ(inputs[0].mi.dwFlags &
                  ~DWORD{MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK},
              DWORD{MOUSEEVENTF_XDOWN});
    EXPECT_EQ(inputs[0].mi.mouseData, DWORD{XBUTTON2});
    inputs = InputsOf(*RecordOfMouse(WM_XBUTTONUP, Mouse(10, 20, XBUTTON1 << 16)), screen);
    EXPECT_EQ(inputs[0].mi.mouseData, DWORD{XBUTTON1});
    // A damaged file's button number plays nothing rather than some other button.
    EXPECT_TRUE(InputsOf(EVENTMSG{msg::kXButtonUp, 0, 0, 0, 7}, screen).empty());
}

TEST(LowLevelInputs, KeysPlayByScanCodeWithTheirExtendedFlag) {
    const ScreenArea screen{0, 0, 800, 600};
    // Keypad Enter, released.
    std::vector<INPUT> inputs = InputsOf(EVENTMSG{msg::kKeyUp, 0x1C0D, 0x8001, 0, 0}, screen);
    ASSERT_EQ(inputs.size(), 1u);
    EXPECT_EQ(inputs[0].ki.wScan, 0x1C);
    EXPECT_EQ(inputs[0].ki.dwFlags,
              DWORD{KEYEVENTF_SCANCODE | KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP});
    EXPECT_EQ(inputs[0].ki.dwExtraInfo, kPlayedInputMark);
    // A hand-made record without a scan code plays by its virtual key.
    inputs = InputsOf(EVENTMSG{msg::kSysKeyDown, 0x0041, 1, 0, 0}, screen);
    EXPECT_EQ(inputs[0].ki.wVk, 0x41);
    EXPECT_EQ(inputs[0].ki.dwFlags, DWORD{0});
}

TEST(LowLevelInputs, ButtonsMoveFirstAndTheWheelIsBounded) {
    const ScreenArea screen{0, 0, 1024, 768};
    std::vector<INPUT> click = InputsOf(EVENTMSG{msg::kRButtonUp, 1023, 767, 0, 0}, screen);
    ASSERT_EQ(click.size(), 1u);
    EXPECT_EQ(click[0].mi.dwFlags, DWORD{MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE |
                                         MOUSEEVENTF_VIRTUALDESK | MOUSEEVENTF_RIGHTUP});
    // A damaged file's delta plays at most 20 notches, either way.
    std::vector<INPUT> wheel = InputsOf(EVENTMSG{msg::kMouseWheel, 0, 0, 0, 0x80000000}, screen);
    EXPECT_EQ(static_cast<int32_t>(wheel[0].mi.mouseData), -2400);
    EXPECT_TRUE(InputsOf(EVENTMSG{0x0400, 0, 0, 0, 0}, screen).empty());
}

TEST(LowLevelInputs, EveryPixelOfTheVirtualScreenIsReached) {
    // The system's mapping back: origin + n * extent / 65536, rounded down.
    const ScreenArea screens[] = {{0, 0, 1024, 768}, {-1920, -1080, 4480, 2520}, {-1, 7, 3, 1}};
    for (const ScreenArea& screen : screens) {
        for (int32_t x = screen.left; x < screen.left + screen.width; ++x) {
            const LONG n = NormalisedCoordinate(x, screen.left, screen.width);
            ASSERT_LE(n, 65535) << x;
            ASSERT_EQ(screen.left + int64_t{n} * screen.width / 65536, x) << x;
        }
        // Off the screen: its edge.
        EXPECT_EQ(NormalisedCoordinate(screen.left - 10, screen.left, screen.width), 0);
    }
}

// A monitor as the test describes the desktop: its mode in physical pixels, where it sits,
// and its scale factor, with which an unaware program is told width * 100 / percent.
struct Monitor {
    LONG left, top, width, height;
    int percent;
};

// Where the system puts the pointer for the entries that play record: the normalised
// coordinate mapped back over the physical desktop, rounded down.
POINT LandsOn(const EVENTMSG& record, const ScreenArea& desktop) {
    const INPUT input = InputsOf(record, desktop).front();
    return POINT{static_cast<LONG>(desktop.left + int64_t{input.mi.dx} * desktop.width / 65536),
                 static_cast<LONG>(desktop.top + int64_t{input.mi.dy} * desktop.height / 65536)};
}

TEST(DisplayScaling, APhysicalPixelRecordedPlaysOnTheSamePixel) {
    const std::vector<std::vector<Monitor>> layouts = {
        {{0, 0, 1920, 1080, 100}},
        {{0, 0, 1920, 1080, 125}},
        {{0, 0, 1920, 1080, 150}},
        {{0, 0, 3840, 2160, 200}},
        // A second monitor left of and above the primary, at another scale factor.
        {{0, 0, 2560, 1440, 150}, {-1920, -300, 1920, 1080, 100}},
        {{0, 0, 3840, 2160, 200}, {-2560, -1440, 2560, 1440, 125}},
    };
    for (const std::vector<Monitor>& layout : layouts) {
        std::vector<RECT> modes;
        for (const Monitor& m : layout) {
            modes.push_back(RECT{m.left, m.top, m.left + m.width, m.top + m.height});
        }
        const ScreenArea desktop = DesktopOf(modes);
        for (const Monitor& m : layout) {
            const LONG right = m.left + m.width - 1;
            const LONG bottom = m.top + m.height - 1;
            // Corners, the centre, and the pixel where an unaware program's figures end.
            const POINT pixels[] = {
                {m.left, m.top},
                {right, bottom},
                {m.left, bottom},
                {m.left + m.width / 2, m.top + m.height / 2},
                {m.left + m.width * 100 / m.percent, m.top + m.height * 100 / m.percent}};
            for (POINT pixel : pixels) {
                pixel.x = std::min(pixel.x, right);
                pixel.y = std::min(pixel.y, bottom);
                const std::optional<EVENTMSG> click =
                    RecordOfMouse(WM_LBUTTONDOWN, Mouse(pixel.x, pixel.y));
                ASSERT_TRUE(click.has_value());
                const POINT landed = LandsOn(*click, desktop);
                EXPECT_EQ(landed.x, pixel.x) << m.percent << "% at " << pixel.x << "," << pixel.y;
                EXPECT_EQ(landed.y, pixel.y) << m.percent << "% at " << pixel.x << "," << pixel.y;
            }
        }
    }
}

TEST(RemovedHooks, InputThatNoProcedureSawInTimeTellsARemovedHook) {
    // Input at tick 1000, the procedures last called at 990: removed, once 1.5 s have passed.
    EXPECT_FALSE(HookWasRemoved(1000, 990, 2000));
    EXPECT_TRUE(HookWasRemoved(1000, 990, 2500));
    // The procedures saw it (their tick is the same or later).
    EXPECT_FALSE(HookWasRemoved(1000, 1000, 9000));
    EXPECT_FALSE(HookWasRemoved(1000, 1016, 9000));
    // Across the tick count's wrap.
    EXPECT_TRUE(HookWasRemoved(5, 0xFFFFFFF0u, 3000));
    EXPECT_FALSE(HookWasRemoved(0xFFFFFFF0u, 5, 3000));
}

}  // namespace

TEST(HeldKeys, TheKeysLeftDownAreReleasedLastFirst) {
    const EVENTMSG leftCtrl{msg::kKeyDown, 0x1D11, 1, 10, 0};
    const EVENTMSG rightCtrl{msg::kKeyDown, 0x1D11, 0x8001, 12, 0};
    const EVENTMSG alt{msg::kSysKeyDown, 0x3812, 1, 20, 0};
    const EVENTMSG a{msg::kKeyDown, 0x1E41, 1, 30, 0};
    HeldKeys held;
    for (const EVENTMSG& record :
         {leftCtrl, rightCtrl, alt, alt, a, EVENTMSG{msg::kKeyUp, 0x1E41, 1, 40, 0},
          EVENTMSG{msg::kKeyUp, 0x1D11, 0x8001, 41, 0}, EVENTMSG{msg::kMouseMove, 5, 6, 42, 0}}) {
        held.Note(record);
    }
    // The repeated Alt once, right Ctrl's up not taken for left Ctrl's.
    EXPECT_EQ(held.Release(99), (std::vector<EVENTMSG>{{msg::kSysKeyUp, 0x3812, 1, 99, 0},
                                                       {msg::kKeyUp, 0x1D11, 1, 99, 0}}));
    EXPECT_TRUE(held.Release(100).empty());
}
