#include "toolkit/Strings.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "ErrorOf.h"

namespace {

constexpr int64_t kInt32Min = std::numeric_limits<int32_t>::min();
constexpr int64_t kInt64Min = std::numeric_limits<int64_t>::min();

struct ConversionCase {
    const char* text;
    int64_t value;
};

TEST(StrToIntTest, Accepts32BitTexts) {
    const ConversionCase cases[] = {{"0", 0},
                                    {"00012", 12},
                                    {"+7", 7},
                                    {"-7", -7},
                                    {"   120", 120},
                                    {"2147483647", 2147483647},
                                    {"-2147483648", kInt32Min},
                                    {"0000000000002147483647", 2147483647},
                                    {"$1F4", 500},
                                    {"x1f4", 500},
                                    {"X1F4", 500},
                                    {"0x1F4", 500},
                                    {"0X1f4", 500},
                                    {"  $10", 16},
                                    {"$FFFFFFFF", -1},
                                    {"$80000000", kInt32Min},
                                    {"$7FFFFFFF", 2147483647},
                                    {"$000000000FF", 255}};
    for (const auto& c : cases) {
        int32_t value = 99;
        EXPECT_TRUE(TryStrToInt(c.text, value)) << "'" << c.text << "'";
        EXPECT_EQ(value, c.value) << "'" << c.text << "'";
    }
}

TEST(StrToIntTest, Accepts64BitTexts) {
    const ConversionCase cases[] = {{"2147483648", 2147483648},
                                    {"-2147483649", -2147483649},
                                    {"9223372036854775807", std::numeric_limits<int64_t>::max()},
                                    {"-9223372036854775808", kInt64Min},
                                    {"$FFFFFFFF", 4294967295},
                                    {"$FFFFFFFFFFFFFFFF", -1},
                                    {"0x8000000000000000", kInt64Min}};
    for (const auto& c : cases) {
        int64_t value = 99;
        EXPECT_TRUE(TryStrToInt64(c.text, value)) << "'" << c.text << "'";
        EXPECT_EQ(value, c.value) << "'" << c.text << "'";
    }
}

TEST(StrToIntTest, RejectsTextsOutsideTheGrammarOrRange) {
    const char* both[] = {"",      "   ",  "-",    "+",     "$",   "x",   "0x",
                          "0X",    "120 ", "12ab", "\t5",   "- 5", "+-5", "-$10",
                          "+0x10", "$-1",  "$G",   "00x10", "1.5"};
    const char* tooWideFor32Bits[] = {"2147483648", "-2147483649", "$100000000"};
    for (const char* text : both) {
        int32_t narrow = 0;
        int64_t wide = 0;
        EXPECT_FALSE(TryStrToInt(text, narrow)) << "'" << text << "'";
        EXPECT_FALSE(TryStrToInt64(text, wide)) << "'" << text << "'";
    }
    for (const char* text : tooWideFor32Bits) {
        int32_t narrow = 0;
        EXPECT_FALSE(TryStrToInt(text, narrow)) << "'" << text << "'";
    }
    for (const char* text : {"9223372036854775808", "-9223372036854775809", "99999999999999999999",
                             "$10000000000000000"}) {
        int64_t wide = 0;
        EXPECT_FALSE(TryStrToInt64(text, wide)) << "'" << text << "'";
    }
}

TEST(StrToIntTest, FailureCarriesTheOffendingText) {
    EXPECT_EQ(ErrorOf([] { StrToInt("12ab"); }), "'12ab' は数値ではありません");
    EXPECT_EQ(ErrorOf([] { StrToInt(""); }), "'' は数値ではありません");
    EXPECT_EQ(ErrorOf([] { StrToInt64(" 1 "); }), "' 1 ' は数値ではありません");
    EXPECT_EQ(StrToInt("$FFFFFFFF"), -1);
    EXPECT_EQ(StrToInt64("-4"), -4);
}

struct PathCase {
    const char* path;
    const char* directory;
    const char* name;
    const char* extension;
};

void ExpectParts(const PathCase& c, const PathRules& rules) {
    EXPECT_EQ(ExtractFilePath(c.path, rules), c.directory) << c.path;
    EXPECT_EQ(ExtractFileName(c.path, rules), c.name) << c.path;
    EXPECT_EQ(ExtractFileExt(c.path, rules), c.extension) << c.path;
}

TEST(FileNamePartsTest, SplitsWindowsPathsWithTheDoubleByteRule) {
    const PathCase cases[] = {
        {"C:\\Tools\\TAPEWRT.EXE", "C:\\Tools\\", "TAPEWRT.EXE", ".EXE"},
        {"D:setup.new.exe", "D:", "setup.new.exe", ".exe"},
        {"TOOL", "", "TOOL", ""},
        {"C:\\a.dir\\TOOL", "C:\\a.dir\\", "TOOL", ""},
        {"a/b.c", "", "a/b.c", ".c"},
        // 0x95 0x5C is one character; its second byte is no separator.
        {"C:\\\x95\x5C.EXE", "C:\\", "\x95\x5C.EXE", ".EXE"},
        {"C:\\\x95\x5C\\x.ini", "C:\\\x95\x5C\\", "x.ini", ".ini"},
        {"\x95\x5C", "", "\x95\x5C", ""},
    };
    for (const auto& c : cases) ExpectParts(c, kWindowsPathRules);
}

TEST(FileNamePartsTest, SplitsPosixPaths) {
    const PathCase cases[] = {
        {"/usr/bin/tapewright", "/usr/bin/", "tapewright", ""},
        {"/opt/v1.2/tool", "/opt/v1.2/", "tool", ""},
        {"rel/a.b.c", "rel/", "a.b.c", ".c"},
        {"/", "/", "", ""},
        {"C:\\x\\y.z", "", "C:\\x\\y.z", ".z"},
        // Without the double-byte rule 0x5C is a plain byte and 0x95 changes nothing.
        {"/d/\x95/e", "/d/\x95/", "e", ""},
    };
    for (const auto& c : cases) ExpectParts(c, kPosixPathRules);
    EXPECT_EQ(LastSeparator("abc", kPosixPathRules), std::string::npos);
}

TEST(FileNamePartsTest, ChangesOnlyTheNamesExtension) {
    EXPECT_EQ(ChangeFileExt("TAPEWRT.EXE", ".INI", kWindowsPathRules), "TAPEWRT.INI");
    EXPECT_EQ(ChangeFileExt("setup.new.exe", ".INI", kWindowsPathRules), "setup.new.INI");
    EXPECT_EQ(ChangeFileExt("C:\\a.dir\\TOOL", ".INI", kWindowsPathRules), "C:\\a.dir\\TOOL.INI");
    EXPECT_EQ(ChangeFileExt("/opt/v1.2/tool", ".ini", kPosixPathRules), "/opt/v1.2/tool.ini");
    EXPECT_EQ(ChangeFileExt("x.mcr", "", kPosixPathRules), "x");
}

TEST(CaseTest, ChangesOnlyAsciiLettersByteByByte) {
    EXPECT_EQ(LowerCase("TapeWRT.Ini 1@[`{"), "tapewrt.ini 1@[`{");
    EXPECT_EQ(UpperCase("TapeWRT.Ini 1@[`{"), "TAPEWRT.INI 1@[`{");
    // Second bytes of double-byte characters change too (0x83 0x41 -> 0x83 0x61).
    EXPECT_EQ(LowerCase("\x83\x41"), "\x83\x61");
    EXPECT_EQ(UpperCase("\x83\x61\xE0"), "\x83\x41\xE0");
}

}  // namespace
