// The emulated journal with the real engine, under the system's own input: a window of the
// test receives what playback sends, the user's Ctrl+Esc ends a playback, and input made by
// another program is recorded.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/Recorder.h"
#include "platform/win32/LowLevelInput.h"
#include "platform/win32/TickClock.h"
#include "platform/win32/Win32Backend.h"
#include "platform/win32/WindowsApi.h"
#include "toolkit/Application.h"
#include "win32/UserInput.h"

namespace {

struct Received {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<Received> received;

LRESULT CALLBACK TargetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if ((message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
        (message >= WM_LBUTTONDOWN && message <= WM_XBUTTONUP)) {
        received.push_back(Received{message, wParam, lParam});
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

std::string DumpReceived() {
    std::string text = "foreground " +
                       std::to_string(reinterpret_cast<uintptr_t>(GetForegroundWindow())) +
                       " focus " + std::to_string(reinterpret_cast<uintptr_t>(GetFocus())) + "\n";
    for (const Received& r : received) {
        text += std::to_string(r.message) + " " + std::to_string(r.wParam) + " " +
                std::to_string(r.lParam) + "\n";
    }
    return text;
}

class EmulatedJournal : public ::testing::Test {
  public:
    void SetUp() override {
        SetEnvironmentVariableA("TAPEWRIGHT_JOURNAL", "emulated");
        SetBackend(&backend);
        application.OnMessage = [this](TMsg& message, bool&) {
            if (message.hwnd == 0) threadMessages.push_back(message.message);
        };
        engine = TRecorder::Create();
        received.clear();
        WNDCLASSW type{};
        type.lpfnWndProc = &TargetProc;
        type.hInstance = GetModuleHandleW(nullptr);
        type.lpszClassName = L"TapewrightJournalTarget";
        RegisterClassW(&type);
        target =
            CreateWindowExW(WS_EX_TOPMOST, type.lpszClassName, L"target", WS_POPUP | WS_VISIBLE, 0,
                            0, 400, 300, nullptr, nullptr, type.hInstance, nullptr);
        SetForegroundWindow(target);
        SetFocus(target);
    }
    void TearDown() override {
        delete engine;
        DestroyWindow(target);
        SetBackend(nullptr);
    }

    // Runs the message loop until done says so; false after 20 s.
    bool RunUntil(const std::function<bool()>& done) {
        const uint32_t end = TickMilliseconds() + 20'000;
        while (!done()) {
            if (static_cast<int32_t>(end - TickMilliseconds()) < 0) return false;
            application.HandleMessage();
        }
        return true;
    }
    bool Got(UINT message, WPARAM wParam) const {
        for (const Received& r : received) {
            if (r.message == message && r.wParam == wParam) return true;
        }
        return false;
    }
    const Received* First(UINT message, WPARAM wParam) const {
        for (const Received& r : received) {
            if (r.message == message && r.wParam == wParam) return &r;
        }
        return nullptr;
    }
    void Load(const std::vector<EVENTMSG>& records) {
        for (const EVENTMSG& record : records) engine->Stream().WriteEvent(record);
    }

    Win32Backend backend;
    TApplication application;
    std::vector<uint32_t> threadMessages;
    TRecorder* engine = nullptr;
    HWND target = nullptr;
};

TEST_F(EmulatedJournal, PlaysKeysByScanCodeAndThePointerOnItsPixel) {
    Load({{msg::kMouseMove, 50, 60, 0, 0},
          {msg::kLButtonDown, 50, 60, 10, 0},
          {msg::kLButtonUp, 51, 61, 20, 0},
          {msg::kKeyDown, 0x1D11, 0x8001, 30, 0},  // right Ctrl
          {msg::kKeyUp, 0x1D11, 0x8001, 40, 0},
          {msg::kKeyDown, 0x1E41, 1, 50, 0},  // A
          {msg::kKeyUp, 0x1E41, 1, 60, 0},
          {msg::kKeyDown, 0x1C0D, 0x8001, 70, 0},  // keypad Enter
          {msg::kKeyUp, 0x1C0D, 0x8001, 80, 0},
          {msg::kXButtonDown, 51, 61, 90, XBUTTON2},  // Forward
          {msg::kXButtonUp, 51, 61, 100, XBUTTON2}});
    engine->Play();
    ASSERT_TRUE(RunUntil([&] { return engine->State() == rsIdle; }));
    ASSERT_TRUE(RunUntil([&] { return Got(WM_KEYUP, VK_RETURN); })) << DumpReceived();
    ASSERT_TRUE(RunUntil([&] { return Got(WM_XBUTTONUP, MAKEWPARAM(0, XBUTTON2)); }))
        << DumpReceived();
    EXPECT_TRUE(Got(WM_XBUTTONDOWN, MAKEWPARAM(MK_XBUTTON2, XBUTTON2)));

    const Received* click = First(WM_LBUTTONDOWN, MK_LBUTTON);
    ASSERT_NE(click, nullptr);
    EXPECT_EQ(click->lParam, MAKELPARAM(50, 60));
    POINT at{};
    GetCursorPos(&at);
    EXPECT_EQ(at.x, 51);
    EXPECT_EQ(at.y, 61);
    // Key messages carry the scan code in bits 16-23 and the extended flag in bit 24.
    const Received* control = First(WM_KEYDOWN, VK_CONTROL);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ((control->lParam >> 16) & 0x1FF, 0x11D);
    const Received* letter = First(WM_KEYDOWN, 'A');
    ASSERT_NE(letter, nullptr);
    EXPECT_EQ((letter->lParam >> 16) & 0x1FF, 0x1E);
    EXPECT_EQ((First(WM_KEYDOWN, VK_RETURN)->lParam >> 16) & 0x1FF, 0x11C);
}

TEST_F(EmulatedJournal, CtrlEscEndsPlaybackAndReleasesWhatItHeld) {
    Load({{msg::kKeyDown, 0x2A10, 1, 0, 0},  // Shift, held
          {msg::kLButtonDown, 20, 20, 0, 0},
          {msg::kMouseMove, 30, 30, 60'000, 0}});
    engine->Play();
    ASSERT_TRUE(RunUntil([&] { return Got(WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT); }));

    // The user's Ctrl+Esc, from outside the program.
    ASSERT_TRUE(SendUserInput(UserCtrlEsc()));
    ASSERT_TRUE(RunUntil([&] {
        return std::count(threadMessages.begin(), threadMessages.end(), msg::kCancelJournal) > 0;
    }));
    // The button's release, with Ctrl down or not: the user may have let go of it by then.
    ASSERT_TRUE(RunUntil([&] {
        return Got(WM_KEYUP, VK_SHIFT) && (Got(WM_LBUTTONUP, MK_CONTROL) || Got(WM_LBUTTONUP, 0));
    })) << DumpReceived();
    EXPECT_FALSE(Got(WM_KEYDOWN, VK_ESCAPE));  // the cancel is the journal's, not the window's
    EXPECT_EQ(GetAsyncKeyState(VK_SHIFT) & 0x8000, 0);
    engine->Stop();  // as the application does on the cancel message
    EXPECT_EQ(engine->State(), rsIdle);
}

TEST_F(EmulatedJournal, RecordsInputFromOtherProgramsAsTheJournalDoes) {
    engine->Record(false);
    INPUT inputs[6]{};
    inputs[0].type = INPUT_MOUSE;
    inputs[0].mi.dx = NormalisedCoordinate(100, GetSystemMetrics(SM_XVIRTUALSCREEN),
                                           GetSystemMetrics(SM_CXVIRTUALSCREEN));
    inputs[0].mi.dy = NormalisedCoordinate(120, GetSystemMetrics(SM_YVIRTUALSCREEN),
                                           GetSystemMetrics(SM_CYVIRTUALSCREEN));
    inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
    inputs[1] = UserKey(VK_RCONTROL, 0x1D, KEYEVENTF_EXTENDEDKEY);
    inputs[2] = UserKey(VK_RCONTROL, 0x1D, KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP);
    inputs[3].type = INPUT_MOUSE;
    inputs[3].mi.dwFlags = MOUSEEVENTF_WHEEL;
    inputs[3].mi.mouseData = static_cast<DWORD>(-WHEEL_DELTA);
    inputs[4].type = INPUT_MOUSE;
    inputs[4].mi.dwFlags = MOUSEEVENTF_XDOWN;
    inputs[4].mi.mouseData = XBUTTON1;
    inputs[5] = inputs[4];
    inputs[5].mi.dwFlags = MOUSEEVENTF_XUP;
    ASSERT_EQ(SendInput(6, inputs, sizeof(INPUT)), 6u);
    // Wine makes a move of its own when it brings the pointer in line with the X server's
    // (after the last test's playback): moves elsewhere than the one sent are left out.
    const auto recorded = [&] {
        std::vector<EVENTMSG> records;
        const std::size_t position = engine->Stream().Position();
        engine->Stream().Seek(0, SeekOrigin::Begin);
        EVENTMSG record{};
        for (std::size_t i = 0; i < engine->Stream().Size() / kEventMsgSize; ++i) {
            engine->Stream().ReadEvent(record);
            if (record.message != msg::kMouseMove || record.paramL == 100) {
                records.push_back(record);
            }
        }
        engine->Stream().Seek(static_cast<int64_t>(position), SeekOrigin::Begin);
        return records;
    };
    ASSERT_TRUE(RunUntil([&] { return recorded().size() >= 6; }));
    engine->Stop();

    const std::vector<EVENTMSG> records = recorded();
    ASSERT_EQ(records.size(), 6u);
    EXPECT_EQ(records[0].message, msg::kMouseMove);
    EXPECT_EQ(records[0].paramL, 100u);
    EXPECT_EQ(records[0].paramH, 120u);
    EXPECT_EQ(records[1].message, msg::kKeyDown);
    EXPECT_EQ(records[1].paramL, 0x1D11u);  // the generic Ctrl key, as key messages name it
    EXPECT_EQ(records[1].paramH, 0x8001u);
    EXPECT_EQ(records[2].message, msg::kKeyUp);
    EXPECT_EQ(records[3].message, msg::kMouseWheel);
    EXPECT_EQ(records[3].hwnd, static_cast<uint32_t>(-WHEEL_DELTA));
    EXPECT_EQ(records[4].message, msg::kXButtonDown);
    EXPECT_EQ(records[4].hwnd, static_cast<uint32_t>(XBUTTON1));
    EXPECT_EQ(records[5].message, msg::kXButtonUp);
    // Times count from the start of the recording, never from before it.
    for (const EVENTMSG& record : records) EXPECT_LT(record.time, 20'000u);
}

}  // namespace
