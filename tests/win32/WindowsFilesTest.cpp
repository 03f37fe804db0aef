// The Windows files and settings over the system's own functions: sharing, the safe replace,
// the profile functions on a real file, the code page 932 lead bytes.
#include "platform/win32/WindowsApi.h"
#undef WriteProfileString  // the program's, not the system's

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "ErrorOf.h"
#include "ScratchDirectory.h"
#include "settings/ProfileFile.h"
#include "toolkit/Files.h"
#include "toolkit/Strings.h"
#include "ui/MacroListFile.h"

namespace {

// Another program's handle on a file, with the sharing it grants.
class ForeignHandle {
  public:
    ForeignHandle(const std::string& path, DWORD access, DWORD share)
        : handle_(CreateFileA(path.c_str(), access, share, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~ForeignHandle() {
        if (Valid()) CloseHandle(handle_);
    }
    ForeignHandle(const ForeignHandle&) = delete;
    ForeignHandle& operator=(const ForeignHandle&) = delete;
    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }

  private:
    HANDLE handle_;
};

class WindowsFilesTest : public ::testing::Test {
  protected:
    ScratchDirectory scratch;
    std::string folder = scratch.Path();
};

TEST_F(WindowsFilesTest, MacroFilesShareWithNobodyAndListFilesWithReaders) {
    const std::string macro = scratch.File("a.mcr");
    WriteBytes(macro, std::string(20, 'm'));
    {
        ForeignHandle reader(macro, GENERIC_READ, FILE_SHARE_READ);
        ASSERT_TRUE(reader.Valid());
        EXPECT_EQ(ErrorOf([&] { InputFile::Open(macro); }), "ファイル " + macro + " は開けません");
        PlaylistEntries entries;
        EXPECT_EQ(ErrorOf([&] { LoadPlaylist(entries, macro); }), "");
        EXPECT_EQ(entries.size(), 1u);
    }
    {
        InputFile list = InputFile::Open(macro, FileSharing::Readers);
        EXPECT_TRUE(ForeignHandle(macro, GENERIC_READ, FILE_SHARE_READ).Valid());
        EXPECT_FALSE(ForeignHandle(macro, GENERIC_WRITE, FILE_SHARE_READ).Valid());
    }
    InputFile held = InputFile::Open(macro);
    EXPECT_FALSE(ForeignHandle(macro, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE).Valid());
}

TEST_F(WindowsFilesTest, SaveRefusesWhatItMayNotReplaceAndKeepsTheOldFile) {
    const std::string readOnly = scratch.File("read-only.mcr");
    const std::string held = scratch.File("held.mcr");
    WriteBytes(readOnly, "old");
    WriteBytes(held, "old");
    ASSERT_TRUE(SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY));
    const std::string bytes = "abcdefghijklmnopqrst";
    {
        ForeignHandle other(held, GENERIC_READ, 0);
        ASSERT_TRUE(other.Valid());
        for (const std::string& path : {readOnly, held, folder, scratch.File("no\\dir\\a.mcr")}) {
            EXPECT_EQ(ErrorOf([&] { ReplaceFileContents(path, bytes.data(), bytes.size()); }),
                      "ファイル " + path + " を作成できません");
        }
    }
    EXPECT_EQ(ReadBytes(readOnly), "old");
    EXPECT_EQ(ReadBytes(held), "old");
    EXPECT_EQ(EntriesIn(folder), 2u);  // no temporary file left behind
    SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(WindowsFilesTest, AWriteThatFailsHalfWayKeepsTheOldFile) {
    const std::string target = scratch.File("old.mcr");
    WriteBytes(target, "old");
    // Bytes whose last part lies on a page nobody may read: the system's write of them fails
    // after the first part, as it would on a full disk.
    SYSTEM_INFO system{};
    GetSystemInfo(&system);
    auto* pages = static_cast<char*>(
        VirtualAlloc(nullptr, 2 * system.dwPageSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    ASSERT_NE(pages, nullptr);
    DWORD previous = 0;
    ASSERT_TRUE(
        VirtualProtect(pages + system.dwPageSize, system.dwPageSize, PAGE_NOACCESS, &previous));
    EXPECT_EQ(ErrorOf([&] { ReplaceFileContents(target, pages + 20, 2 * system.dwPageSize - 20); }),
              "ストリームへの書き込みエラー");
    EXPECT_EQ(ReadBytes(target), "old");
    EXPECT_EQ(EntriesIn(folder), 1u);
    VirtualFree(pages, 0, MEM_RELEASE);
}

TEST_F(WindowsFilesTest, ReplaceKeepsTheTargetsAttributesAndLeavesNoTemporary) {
    const std::string target = scratch.File("hidden.mlf");
    WriteBytes(target, std::string(300, 'o'));
    ASSERT_TRUE(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_HIDDEN));
    SavePlaylist({"a.mcr", "b.mcr"}, target);
    EXPECT_EQ(ReadBytes(target), "a.mcr\r\nb.mcr\r\n");
    EXPECT_NE(GetFileAttributesA(target.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
    EXPECT_EQ(EntriesIn(folder), 1u);
}

TEST_F(WindowsFilesTest, ProfileFunctionsOnARealFile) {
    const std::string ini = scratch.File("Tapewright.ini");
    EXPECT_EQ(ReadProfileString("WINDOW", "POS.X", "none", ini), "none");
    ASSERT_TRUE(WriteProfileString("WINDOW", "POS.X", "357", ini));
    ASSERT_TRUE(WriteProfileString("WINDOW", "POS.Y", "-162", ini));
    EXPECT_EQ(ReadProfileString("window", "pos.x", "none", ini), "357");
    EXPECT_EQ(ReadProfileString("WINDOW", "POS.Y", "none", ini), "-162");
    EXPECT_EQ(ReadProfileString("WINDOW", "POS.Z", "none", ini), "none");
    EXPECT_EQ(ReadProfileString("OTHER", "POS.X", "none", ini), "none");
    EXPECT_NE(ReadBytes(ini).find("POS.Y=-162"), std::string::npos);

    WriteBytes(ini, "[S]\r\nlong=" + std::string(3000, 'v') + "\r\n");
    EXPECT_EQ(ReadProfileString("S", "long", "", ini).size(), kMaxProfileValueLength);

    EXPECT_FALSE(WriteProfileString("S", "k", "1", scratch.File("no\\dir\\x.ini")));
}

TEST(WindowsCodePage, ShiftJisLeadBytesAreThoseOfCodePage932) {
    for (int byte = 0; byte < 256; ++byte) {
        EXPECT_EQ(IsShiftJisLeadByte(static_cast<unsigned char>(byte)),
                  IsDBCSLeadByteEx(932, static_cast<BYTE>(byte)) != 0)
            << byte;
    }
}

// Paths from the system are split by its own code page: "é" (E9) is a letter on a Western
// system and leads a double-byte character on a Japanese one.
TEST(WindowsCodePage, TheSystemsPathsAreSplitByItsOwnCodePage) {
    const std::string path = "C:\\Caf\xE9\\a.mcr";
    const bool leads = IsDBCSLeadByte(0xE9) != FALSE;
    EXPECT_EQ(ExtractFilePath(path, NativePathRules()), leads ? "C:\\" : "C:\\Caf\xE9\\");
}

TEST(WindowsSettingsPlaces, ExecutableAndWindowsDirectory) {
    const std::string executable = ExecutablePath();
    EXPECT_EQ(UpperCase(ExtractFileExt(executable)), ".EXE") << executable;
    EXPECT_TRUE(FileExists(executable));
    const std::string folder = ExtractFilePath(executable);
    EXPECT_EQ(ApplicationSettingsDirectory(folder), folder);
    const DWORD attributes = GetFileAttributesA(SystemSettingsDirectory().c_str());
    EXPECT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(attributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

}  // namespace
