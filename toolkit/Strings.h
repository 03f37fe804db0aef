#pragma once
// String helpers with the program's exact rules: integer conversion with its error text,
// decimal formatting, file-name parts with the double-byte rule, byte-wise case changes,
// command-line splitting.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Text-to-integer conversion. Accepted: leading spaces (0x20 only), then either an optional
// "+"/"-" and decimal digits within range, or a hexadecimal marker ("$", "x", "X", "0x", "0X")
// and hex digits whose value fits the width (the bit pattern taken as signed); nothing after
// the digits. The Try forms return false on failure; the others throw
// Exception("'<text>' は数値ではありません").
bool TryStrToInt(std::string_view text, int32_t& value);
bool TryStrToInt64(std::string_view text, int64_t& value);
int32_t StrToInt(std::string_view text);
int64_t StrToInt64(std::string_view text);

// Plain decimal, "-" before negative values.
std::string IntToStr(int64_t value);

bool IsShiftJisLeadByte(unsigned char byte);

// How path names are split on a platform: the separator bytes and which bytes lead a
// double-byte character, whose second byte is then never a separator.
struct PathRules {
    std::string_view separators;      // "\\:" on Windows, "/" on POSIX
    bool (*leadByte)(unsigned char);  // the code page's lead bytes; null: one byte each
};
// Windows with code page 932, the system the program's texts are written for. The program
// itself follows the code page of the system it runs on (NativePathRules, toolkit/Files.h).
inline constexpr PathRules kWindowsPathRules{"\\:", IsShiftJisLeadByte};
inline constexpr PathRules kPosixPathRules{"/", nullptr};
// The rules of the platform the program runs on (set once at start-up; POSIX by default).
const PathRules& PlatformPathRules();
void SetPlatformPathRules(const PathRules& rules);

// Position (0-based) of the last separator byte in path, or npos; trail bytes of double-byte
// characters are skipped.
std::size_t LastSeparator(std::string_view path, const PathRules& rules = PlatformPathRules());
// The text after the last separator.
std::string ExtractFileName(std::string_view path, const PathRules& rules = PlatformPathRules());
// The text up to and including the last separator.
std::string ExtractFilePath(std::string_view path, const PathRules& rules = PlatformPathRules());
// From the last "." of the file-name part, the dot included; empty when there is none.
std::string ExtractFileExt(std::string_view path, const PathRules& rules = PlatformPathRules());
// Replaces the extension (from the last "." of the name) by ext, or appends ext.
std::string ChangeFileExt(std::string_view path, std::string_view ext,
                          const PathRules& rules = PlatformPathRules());

// Byte-wise ASCII case changes: only 'a'..'z' / 'A'..'Z' change, every other byte stays
// (second bytes of double-byte characters included).
std::string UpperCase(std::string_view text);
std::string LowerCase(std::string_view text);

// Splits a command line into arguments: blanks, tabs and other control characters separate;
// double quotes group and are dropped; an empty pair of quotes is no argument.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);
