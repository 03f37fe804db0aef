// TAPEWRT.EXE where it meets the system around it: the end of the user's session while a
// playback holds a key down, and a program folder the user may not write.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "TargetWindow.h"
#include "e2e/MacroFiles.h"

namespace {

std::string ReadText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

class ProgramSession : public ::testing::Test {
  public:
    void SetUp() override {
        char temporary[MAX_PATH];
        GetTempPathA(MAX_PATH, temporary);
        folder =
            std::string(temporary) + "tapewright-session-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(folder.c_str(), nullptr);
    }
    void TearDown() override {
        if (process != nullptr) {
            TerminateProcess(process, 1);
            CloseHandle(process);
        }
        for (const std::string& file : files) DeleteFileA(file.c_str());
        RemoveDirectoryA(folder.c_str());
    }
    std::string File(const std::string& name) {
        files.push_back(folder + "\\" + name);
        return files.back();
    }
    // Waits for the program to end; its exit code, or -1 after a minute.
    int WaitForExit() {
        DWORD code = 0;
        const bool ended = target.RunUntil([&] { return Ended(process, code); });
        CloseHandle(process);
        process = nullptr;
        return ended ? static_cast<int>(code) : -1;
    }

    TargetWindow target;
    std::string folder;
    std::vector<std::string> files;
    HANDLE process = nullptr;
};

// The system's question is a close request, which stores the position; the end itself stops
// the playback at once, with the key it held down let go.
TEST_F(ProgramSession, TheEndOfTheSessionStoresThePositionAndLetsGoOfHeldKeys) {
    const std::string program = File("TAPEWRT.EXE");
    ASSERT_TRUE(CopyFileA(TAPEWRIGHT_PROGRAM, program.c_str(), FALSE));
    const std::string settings = File("Tapewrt.ini");
    const std::string macro = File("held.mcr");
    ASSERT_TRUE(
        WriteMacroFile(macro, {KeyRecord(wm::kKeyDown, pc::kShift, 0), MoveRecord(300, 300, 5000),
                               KeyRecord(wm::kKeyUp, pc::kShift, 5050)}));
    process = StartProgram("\"" + program + "\" \"" + macro + "\" /A /E /D");
    ASSERT_NE(process, nullptr);
    ASSERT_TRUE(target.RunUntil([] { return (GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0; }))
        << target.Describe();
    HWND window = FindWindowW(L"TapewrightForm", nullptr);
    ASSERT_NE(window, nullptr);

    DWORD_PTR answer = 0;
    ASSERT_TRUE(SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, 0, SMTO_BLOCK, 10000, &answer));
    EXPECT_EQ(answer, DWORD_PTR{TRUE});
    EXPECT_NE(ReadText(settings).find("POS.X="), std::string::npos);

    ASSERT_TRUE(SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, 0, SMTO_BLOCK, 10000, &answer));
    EXPECT_EQ(GetAsyncKeyState(VK_SHIFT) & 0x8000, 0);
    // The cancelled run ends the program, as /E asks.
    EXPECT_EQ(WaitForExit(), 0);
}

// Where the program's folder refuses new files (a read-only mount made by the test's
// fixture; as root, a folder's mode would not stop a write) the settings go to
// %APPDATA%\Tapewright, and an unattended run ends rather than waiting on an error message.
TEST_F(ProgramSession, SettingsGoToTheUsersFolderWhereTheProgramsFolderRefusesThem) {
    const std::string readOnly = TAPEWRIGHT_READ_ONLY_FOLDER;
    if (GetFileAttributesA((readOnly + "\\TAPEWRT.EXE").c_str()) == INVALID_FILE_ATTRIBUTES) {
        GTEST_SKIP() << "no read-only mount of the program's folder (mounting needs root)";
    }
    HANDLE probe = CreateFileA((readOnly + "\\probe").c_str(), GENERIC_WRITE, 0, nullptr,
                               CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    ASSERT_EQ(probe, INVALID_HANDLE_VALUE) << readOnly << " takes new files";
    char appData[MAX_PATH] = "";
    ASSERT_NE(GetEnvironmentVariableA("APPDATA", appData, MAX_PATH), 0u);
    const std::string settings = std::string(appData) + "\\Tapewright\\Tapewrt.ini";
    DeleteFileA(settings.c_str());

    const std::string macro = File("short.mcr");
    ASSERT_TRUE(WriteMacroFile(macro, {MoveRecord(300, 300, 0), MoveRecord(310, 300, 50)}));
    process = StartProgram("\"" + readOnly + "\\TAPEWRT.EXE\" \"" + macro + "\" /S /E /D");
    ASSERT_NE(process, nullptr);
    EXPECT_EQ(WaitForExit(), 0) << "the run did not end";
    EXPECT_NE(ReadText(settings).find("POS.X="), std::string::npos) << settings;
    DeleteFileA(settings.c_str());
}

}  // namespace
