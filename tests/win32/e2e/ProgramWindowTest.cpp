// TAPEWRT.EXE with its window, driven as a user drives it: the window's position is kept in
// the settings file beside the program and comes back; a recording made through the Record
// button, of input into another program's window, ends on Ctrl+Break and is saved through
// the Save dialog with the records the journal delivered.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "Screenshot.h"
#include "TargetWindow.h"
#include "e2e/MacroFiles.h"
#include "win32/UserInput.h"

namespace {

class ProgramWindow : public ::testing::Test {
  public:
    void SetUp() override {
        char temporary[MAX_PATH];
        GetTempPathA(MAX_PATH, temporary);
        folder =
            std::string(temporary) + "tapewright-window-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(folder.c_str(), nullptr);
        // A copy of its own, so that the settings file is made beside it.
        program = folder + "\\TAPEWRT.EXE";
        ASSERT_TRUE(CopyFileA(TAPEWRIGHT_PROGRAM, program.c_str(), FALSE));
    }
    void TearDown() override {
        if (process != nullptr) {
            TerminateProcess(process, 1);
            CloseHandle(process);
        }
        for (const char* name : {"TAPEWRT.EXE", "Tapewrt.ini", "recorded.mcr"}) {
            DeleteFileA((folder + "\\" + name).c_str());
        }
        RemoveDirectoryA(folder.c_str());
    }

    HWND Start(const std::string& arguments = "") {
        process = StartProgram("\"" + program + "\" " + arguments);
        HWND window = nullptr;
        target.RunUntil([&] {
            window = FindWindowW(L"TapewrightForm", nullptr);
            return window != nullptr && IsWindowVisible(window);
        });
        return window;
    }
    bool Close(HWND window) {
        PostMessageW(window, WM_CLOSE, 0, 0);
        DWORD code = 0;
        const bool ended = target.RunUntil([&] { return Ended(process, code); });
        CloseHandle(process);
        process = nullptr;
        return ended && code == 0;
    }
    static std::wstring StatusText(HWND window) {
        wchar_t text[64] = L"";
        HWND bar = FindWindowExW(window, nullptr, STATUSCLASSNAMEW, nullptr);
        SendMessageW(bar, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(text));
        return text;
    }
    bool WaitForStatus(HWND window, const std::wstring& text) {
        return target.RunUntil([&] { return StatusText(window) == text; });
    }
    // The system's file dialog once it is shown, or null.
    HWND WaitForFileDialog() {
        HWND dialog = nullptr;
        target.RunUntil([&] {
            dialog = FindWindowW(L"#32770", nullptr);
            return dialog != nullptr && IsWindowVisible(dialog);
        });
        return dialog;
    }

    TargetWindow target{400};  // below the program's window
    std::string folder;
    std::string program;
    HANDLE process = nullptr;
};

void ClickAt(int x, int y) {
    SendUserInput({UserPointer(x, y), UserPointer(x, y, MOUSEEVENTF_LEFTDOWN),
                   UserPointer(x, y, MOUSEEVENTF_LEFTUP)});
}

void ClickToolButton(HWND window, const wchar_t* caption) {
    RECT box{};
    GetWindowRect(FindWindowExW(window, nullptr, L"TapewrightToolButton", caption), &box);
    ClickAt((box.left + box.right) / 2, (box.top + box.bottom) / 2);
}

BOOL CALLBACK FindEditField(HWND child, LPARAM found) {
    wchar_t type[16] = L"";
    GetClassNameW(child, type, 16);
    if (lstrcmpiW(type, L"Edit") != 0) return TRUE;
    *reinterpret_cast<HWND*>(found) = child;
    return FALSE;
}

// The file name goes into the dialog's name field, then the dialog is confirmed.
void ChooseInFileDialog(HWND dialog, const std::wstring& path) {
    HWND field = nullptr;
    EnumChildWindows(dialog, &FindEditField, reinterpret_cast<LPARAM>(&field));
    SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
}

std::wstring WindowTitle(HWND window) {
    wchar_t title[128] = L"";
    GetWindowTextW(window, title, 128);
    return title;
}

std::wstring Wide(const std::string& text) {
    return std::wstring(text.begin(), text.end());  // ASCII only
}

// On a system whose code page is not 932 (Wine takes a Western one from a Western or the C
// locale) the dialogs' Japanese texts still read right, and the system's paths are split by
// its own code page, where "é" is a letter and no lead byte: a macro saved into "Café"
// under a typed name lands there with the extension added, and opened from there it names
// the window with its own file name.
TEST_F(ProgramWindow, OnAWesternSystemTheDialogsReadRightAndCafeTakesAMacro) {
    if (GetACP() == 932) GTEST_SKIP() << "the system's code page is 932";
    const std::wstring cafe = Wide(folder) + L"\\Caf\u00e9";
    const std::wstring saved = cafe + L"\\saved.mcr";
    ASSERT_TRUE(CreateDirectoryW(cafe.c_str(), nullptr));
    const std::string source = folder + "\\recorded.mcr";
    ASSERT_TRUE(WriteMacroFile(source, {MoveRecord(10, 10, 0), MoveRecord(20, 10, 50)}));
    HWND window = Start("\"" + source + "\"");
    ASSERT_NE(window, nullptr);

    ClickToolButton(window, L"&Open");
    HWND dialog = WaitForFileDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(WindowTitle(dialog), L"マクロを開く");
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(target.RunUntil([&] { return !IsWindow(dialog); }));

    ClickToolButton(window, L"S&ave");
    dialog = WaitForFileDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(WindowTitle(dialog), L"マクロの保存");
    ChooseInFileDialog(dialog, cafe + L"\\saved");
    ASSERT_TRUE(target.RunUntil(
        [&] { return GetFileAttributesW(saved.c_str()) != INVALID_FILE_ATTRIBUTES; }));
    ASSERT_TRUE(target.RunUntil([&] { return !IsWindow(dialog); }));

    ClickToolButton(window, L"&Open");
    dialog = WaitForFileDialog();
    ASSERT_NE(dialog, nullptr);
    ChooseInFileDialog(dialog, saved);
    EXPECT_TRUE(target.RunUntil([&] { return WindowTitle(window).ends_with(L"[saved.mcr]"); }))
        << WindowTitle(window);
    EXPECT_TRUE(Close(window));
    DeleteFileW(saved.c_str());
    RemoveDirectoryW(cafe.c_str());
}

TEST_F(ProgramWindow, ThePositionIsKeptBesideTheProgramAndComesBack) {
    HWND window = Start();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(target.RunUntil(
        [&] { return SaveScreenshot(window, TAPEWRIGHT_SCREENSHOTS "/main-window.bmp"); }, 10));
    SetWindowPos(window, nullptr, 200, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(Close(window));
    std::ifstream file(folder + "\\Tapewrt.ini", std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    EXPECT_NE(text.str().find("[WINDOW]\r\n"), std::string::npos) << text.str();
    EXPECT_NE(text.str().find("POS.X=200\r\n"), std::string::npos) << text.str();
    EXPECT_NE(text.str().find("POS.Y=150\r\n"), std::string::npos) << text.str();

    window = Start();
    ASSERT_NE(window, nullptr);
    RECT box{};
    GetWindowRect(window, &box);
    EXPECT_EQ(box.left, 200);
    EXPECT_EQ(box.top, 150);
    EXPECT_TRUE(Close(window));
}

TEST_F(ProgramWindow, RecordingThroughTheButtonIsSavedThroughTheSaveDialog) {
    HWND window = Start();
    ASSERT_NE(window, nullptr);
    ClickToolButton(window, L"&Record");
    ASSERT_TRUE(WaitForStatus(window, L"操作記録中"));

    // Into the test's own window, away from the program's: keys that share a virtual key
    // with another (right Ctrl, keypad Enter, the arrows' Up and Delete) among others.
    ClickAt(60, 650);
    const WORD kExtended = KEYEVENTF_EXTENDEDKEY;
    SendUserInput(
        {UserKey(VK_RCONTROL, 0x1D, kExtended),
         UserKey(VK_RCONTROL, 0x1D, kExtended | KEYEVENTF_KEYUP), UserKey('Z', 0x2C),
         UserKey('Z', 0x2C, KEYEVENTF_KEYUP), UserKey(VK_RETURN, 0x1C, kExtended),
         UserKey(VK_RETURN, 0x1C, kExtended | KEYEVENTF_KEYUP), UserKey(VK_UP, 0x48, kExtended),
         UserKey(VK_UP, 0x48, kExtended | KEYEVENTF_KEYUP), UserKey(VK_DELETE, 0x53, kExtended),
         UserKey(VK_DELETE, 0x53, kExtended | KEYEVENTF_KEYUP), UserKey(VK_LSHIFT, 0x2A),
         UserKey('A', 0x1E), UserKey('A', 0x1E, KEYEVENTF_KEYUP),
         UserKey(VK_LSHIFT, 0x2A, KEYEVENTF_KEYUP)});
    INPUT wheel = UserPointer(80, 640, MOUSEEVENTF_WHEEL);
    wheel.mi.mouseData = static_cast<DWORD>(-WHEEL_DELTA);
    SendUserInput(
        {wheel, UserKey(VK_LCONTROL, 0x1D), UserKey(VK_CANCEL, 0x46, KEYEVENTF_EXTENDEDKEY)});
    ASSERT_TRUE(WaitForStatus(window, L"レディ"));
    SendUserInput({UserKey(VK_CANCEL, 0x46, KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP),
                   UserKey(VK_LCONTROL, 0x1D, KEYEVENTF_KEYUP)});

    ClickToolButton(window, L"S&ave");
    HWND dialog = nullptr;
    ASSERT_TRUE(target.RunUntil([&] {
        dialog = FindWindowW(L"#32770", nullptr);
        return dialog != nullptr && IsWindowVisible(dialog);
    })) << target.Describe();
    const std::string saved = folder + "\\recorded.mcr";
    // The file name goes into the dialog's name field, then the dialog is confirmed.
    HWND field = nullptr;
    EnumChildWindows(dialog, &FindEditField, reinterpret_cast<LPARAM>(&field));
    ASSERT_NE(field, nullptr);
    SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(saved.c_str()));
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(target.RunUntil(
        [&] { return GetFileAttributesA(saved.c_str()) != INVALID_FILE_ATTRIBUTES; }));
    // The loop dialog, for a person to look at, then cancelled.
    ClickToolButton(window, L"&Loop");
    HWND loop = nullptr;
    ASSERT_TRUE(target.RunUntil([&] {
        loop = FindWindowW(L"TapewrightForm", L"ループ再生の指定");
        return loop != nullptr && IsWindowVisible(loop);
    }));
    EXPECT_TRUE(target.RunUntil(
        [&] { return SaveScreenshot(loop, TAPEWRIGHT_SCREENSHOTS "/loop-dialog.bmp"); }, 10));
    PostMessageW(loop, WM_CLOSE, 0, 0);
    ASSERT_TRUE(target.RunUntil([&] { return !IsWindowVisible(loop); }));
    EXPECT_TRUE(Close(window));

    // Kept beside the screenshots: a macro recorded under Wine, for the Linux program to play.
    CopyFileA(saved.c_str(), TAPEWRIGHT_SCREENSHOTS "/recorded-under-wine.mcr", FALSE);
    const std::optional<std::vector<MacroRecord>> records = ReadMacroFile(saved);
    ASSERT_TRUE(records.has_value());
    std::string described;
    for (const MacroRecord& record : *records) described += record.Describe() + "\n";
    // What the journal delivered, as the Linux program records it: generic Ctrl with its scan
    // code and extended bit, the wheel's delta in the window field, Break last.
    auto has = [&](const MacroRecord& wanted) {
        for (const MacroRecord& record : *records) {
            if (record.message == wanted.message && record.paramL == wanted.paramL &&
                record.paramH == wanted.paramH && record.hwnd == wanted.hwnd) {
                return true;
            }
        }
        return false;
    };
    EXPECT_TRUE(has(MacroRecord{wm::kLButtonDown, 60, 650, 0, 0})) << described;
    EXPECT_TRUE(has(MacroRecord{wm::kKeyDown, 0x1D11, 0x8001, 0, 0})) << described;
    EXPECT_TRUE(has(MacroRecord{wm::kKeyUp, 0x2C5A, 1, 0, 0})) << described;
    EXPECT_TRUE(has(MacroRecord{wm::kMouseWheel, 80, 640, 0, static_cast<uint32_t>(-WHEEL_DELTA)}))
        << described;
    ASSERT_FALSE(records->empty());
    EXPECT_EQ(records->back().message, wm::kKeyDown);
    EXPECT_EQ(records->back().paramL, 0x4603u) << described;
}

}  // namespace
