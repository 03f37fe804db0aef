#include "settings/IniQuill.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ErrorOf.h"
#include "ScratchDirectory.h"
#include "toolkit/Strings.h"

namespace {

struct TestControl {
    int32_t left = 357;
    int32_t top = 162;
    int32_t Left() const { return left; }
    int32_t Top() const { return top; }
    void SetLeft(int32_t value) { left = value; }
    void SetTop(int32_t value) { top = value; }
};

TIniQuillSystem FakeSystem(const std::string& executable) {
    TIniQuillSystem system;
    system.executablePath = [executable] { return executable; };
    system.settingsDirectory = [] { return std::string("C:\\WINDOWS"); };
    return system;
}

// Switches the platform's path rules for one test.
class PathRulesScope {
  public:
    explicit PathRulesScope(const PathRules& rules) : saved_(PlatformPathRules()) {
        SetPlatformPathRules(rules);
    }
    ~PathRulesScope() { SetPlatformPathRules(saved_); }

  private:
    PathRules saved_;
};

TEST(IniQuillFileNameTest, NamesTheFileAfterAWindowsExecutable) {
    PathRulesScope windows(kWindowsPathRules);
    const struct {
        const char* executable;
        const char* fileName;
        const char* fullPath;
    } cases[] = {
        {"C:\\Tools\\TAPEWRT.EXE", "Tapewrt.ini", "C:\\Tools\\Tapewrt.ini"},
        {"C:\\setup.new.exe", "Setup.new.ini", "C:\\Setup.new.ini"},
        {"D:1click.exe", "1click.ini", "D:1click.ini"},
        {"C:\\v1.2\\TOOL", "Tool.ini", "C:\\v1.2\\Tool.ini"},
        // 0x83 0x41 is one character: its second byte is lowered like any 'A'..'Z' byte.
        {"C:\\\x95\x5C\\\x83\x41PP.EXE", "\x83\x61pp.ini", "C:\\\x95\x5C\\\x83\x61pp.ini"},
        // 0x95 0x5C is one character, not a separator.
        {"C:\\\x95\x5C.EXE", "\x95\x5C.ini", "C:\\\x95\x5C.ini"},
    };
    for (const auto& c : cases) {
        TIniQuill quill(FakeSystem(c.executable));
        quill.SetDefaultDir(ddApplication);
        quill.FinishLoading();
        EXPECT_EQ(quill.FileName(), c.fileName) << c.executable;
        EXPECT_EQ(quill.FullPath(), c.fullPath) << c.executable;
    }
}

TEST(IniQuillFileNameTest, NamesTheFileAfterALinuxExecutable) {
    PathRulesScope posix(kPosixPathRules);
    TIniQuill quill(FakeSystem("/opt/tw/tapewright"));
    EXPECT_EQ(quill.FullPath(), "");
    quill.SetDefaultDir(ddApplication);
    EXPECT_EQ(quill.FullPath(), "/opt/tw/");
    quill.FinishLoading();
    EXPECT_EQ(quill.FileName(), "Tapewright.ini");
    EXPECT_EQ(quill.FullPath(), "/opt/tw/Tapewright.ini");
}

TEST(IniQuillFileNameTest, KeepsAFileNameSetBeforeFinishLoading) {
    PathRulesScope posix(kPosixPathRules);
    TIniQuill quill(FakeSystem("/opt/tw/tapewright"));
    quill.SetFileName("mine.ini");
    quill.FinishLoading();
    EXPECT_EQ(quill.FullPath(), "/opt/tw/mine.ini");
}

TEST(IniQuillDirectoryTest, PlacesTheFileByDefaultDir) {
    PathRulesScope posix(kPosixPathRules);
    const struct {
        TIniQuillDefaultDir defaultDir;
        const char* name;
        const char* fullPath;
    } cases[] = {
        {ddApplication, "a.ini", "/opt/tw/a.ini"},
        {ddWindows, "a.ini", "C:\\WINDOWS/a.ini"},
        {ddNone, "a.ini", "a.ini"},
        {ddApplication, "sub/a.ini", "sub/a.ini"},
        {ddWindows, "/x/a.ini", "/x/a.ini"},
        {ddNone, "/x/a.ini", "/x/a.ini"},
    };
    for (const auto& c : cases) {
        TIniQuill quill(FakeSystem("/opt/tw/tapewright"));
        quill.SetDefaultDir(c.defaultDir);
        quill.SetFileName(c.name);
        EXPECT_EQ(quill.FileName(), c.name);
        EXPECT_EQ(quill.FullPath(), c.fullPath) << c.name << " " << c.defaultDir;
    }
}

TEST(IniQuillDirectoryTest, UsesWindowsSeparatorsUnderWindowsRules) {
    PathRulesScope windows(kWindowsPathRules);
    TIniQuill quill(FakeSystem("C:\\Tools\\TAPEWRT.EXE"));
    quill.SetDefaultDir(ddWindows);
    quill.FinishLoading();
    EXPECT_EQ(quill.FullPath(), "C:\\WINDOWS\\Tapewrt.ini");
    quill.SetFileName("D:x.ini");
    EXPECT_EQ(quill.FullPath(), "D:x.ini");
}

TEST(IniQuillDirectoryTest, ChangingDefaultDirResolvesTheNameAnew) {
    PathRulesScope posix(kPosixPathRules);
    TIniQuill quill(FakeSystem("/opt/tw/tapewright"));
    quill.SetDefaultDir(ddNone);
    quill.SetFileName("a.ini");
    EXPECT_EQ(quill.FullPath(), "a.ini");
    quill.SetDefaultDir(ddApplication);
    EXPECT_EQ(quill.FullPath(), "/opt/tw/a.ini");
    EXPECT_EQ(quill.FileName(), "a.ini");
}

TEST(IniQuillReadTest, ConvertsTheStoredTextOrGivesTheDefault) {
    const struct {
        std::string text;
        int32_t expected;
    } cases[] = {
        {"0x1F4", 500},
        {"0X1f4", 500},
        {"   120", 120},
        {"-4", -4},
        {"$FFFFFFFF", -1},
        {"0xFFFFFFFF", -1},
        {"120 ", 7},
        {"12ab", 7},
        {"-", 7},
        {"", 7},
        {"0x", 7},
        {"2147483648", 7},
        // Only the first 2047 bytes are seen: this reads as "1".
        {std::string(2046, ' ') + "12", 1},
    };
    for (const auto& c : cases) {
        TIniQuillSystem system = FakeSystem("/opt/tw/tapewright");
        system.readProfile = [&c](const std::string&, const std::string&,
                                  const std::string& defaultText, const std::string&) {
            EXPECT_EQ(defaultText, "");
            return c.text;
        };
        TIniQuill quill(system);
        EXPECT_EQ(quill.ReadIntValue("WINDOW", "POS.X", 7), c.expected) << "'" << c.text << "'";
    }
}

class IniQuillFileTest : public ::testing::Test {
  protected:
    IniQuillFileTest() { quill_.SetFileName(path_); }

    ScratchDirectory scratch_;
    std::string path_ = scratch_.File("Tapewright.ini");
    TIniQuill quill_{FakeSystem("/opt/tw/tapewright")};
};

TEST_F(IniQuillFileTest, StoresAndRestoresANegativePosition) {
    EXPECT_EQ(quill_.ReadIntValue("WINDOW", "POS.X", 357), 357);
    quill_.StorePosition("WINDOW", "POS", TestControl{-4, 162});
    EXPECT_EQ(ReadBytes(path_), "[WINDOW]\r\nPOS.X=-4\r\nPOS.Y=162\r\n");
    TestControl control{10, 20};
    quill_.RestorePosition("WINDOW", "POS", control);
    EXPECT_EQ(control.left, -4);
    EXPECT_EQ(control.top, 162);
}

TEST_F(IniQuillFileTest, RestoresEachCoordinateOnItsOwn) {
    WriteBytes(path_, "[window]\npos.x=0x10\npos.y=abc\n");
    TestControl control;
    quill_.RestorePosition("WINDOW", "POS", control);
    EXPECT_EQ(control.left, 16);
    EXPECT_EQ(control.top, 162);
}

TEST_F(IniQuillFileTest, StoreKeepsTheRestOfTheFile) {
    const std::string before = "; mine\r\n[Other]\r\nPOS.X=1\r\n[WINDOW]\r\nPOS.Y=9\r\nkeep=me\r\n";
    WriteBytes(path_, before);
    quill_.StorePosition("WINDOW", "POS", TestControl{-4, 162});
    EXPECT_EQ(ReadBytes(path_),
              "; mine\r\n[Other]\r\nPOS.X=1\r\n[WINDOW]\r\nPOS.Y=162\r\nkeep=me\r\nPOS.X=-4\r\n");
}

TEST_F(IniQuillFileTest, FenceChangesNothingReadOrWritten) {
    for (TIniQuillFence fence : {fnDoubleQuote, fnParenthesis, fnVer11Mode, fnNone}) {
        quill_.SetFence(fence);
        EXPECT_EQ(quill_.Fence(), fence);
        EXPECT_EQ(quill_.FullPath(), path_);
        quill_.StorePosition("WINDOW", "POS", TestControl{-4, 162});
        EXPECT_EQ(ReadBytes(path_), "[WINDOW]\r\nPOS.X=-4\r\nPOS.Y=162\r\n");
        EXPECT_EQ(quill_.ReadIntValue("WINDOW", "POS.X", 0), -4);
    }
}

std::string WriteError(TIniQuill& quill) {
    return ErrorOf([&quill] { quill.StorePosition("WINDOW", "POS", TestControl{}); });
}

TEST_F(IniQuillFileTest, FailedWriteNamesTheFullPath) {
    const std::string unwritable = scratch_.File("missing/Tapewright.ini");
    quill_.SetFileName(unwritable);
    EXPECT_EQ(WriteError(quill_), unwritable + " に書き込めません");
}

TEST(IniQuillWriteTest, StopsAfterAFailedFirstWrite) {
    PathRulesScope windows(kWindowsPathRules);
    std::vector<std::string> keysTried;
    TIniQuillSystem system = FakeSystem("C:\\Tools\\TAPEWRT.EXE");
    system.writeProfile = [&keysTried](const std::string&, const std::string& key,
                                       const std::string&, const std::string&) {
        keysTried.push_back(key);
        return false;
    };
    TIniQuill quill(system);
    quill.FinishLoading();
    EXPECT_EQ(WriteError(quill), "C:\\Tools\\Tapewrt.ini に書き込めません");
    EXPECT_EQ(keysTried, std::vector<std::string>{"POS.X"});
}

}  // namespace
