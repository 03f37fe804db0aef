// Any command line: the splitter, the text-to-integer conversion of the switches' numbers,
// and the file-name helpers under both the POSIX and the double-byte (Shift-JIS) rules.
#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "toolkit/Exception.h"
#include "toolkit/Strings.h"

namespace {

// Decimal text after the leading blanks: an optional sign and digits only.
bool IsPlainDecimal(std::string_view text) {
    text.remove_prefix(std::min(text.size(), text.find_first_not_of(' ')));
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) text.remove_prefix(1);
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

void CheckConversion(const std::string& text) {
    int32_t narrow = 0;
    int64_t wide = 0;
    const bool narrowOk = TryStrToInt(text, narrow);
    const bool wideOk = TryStrToInt64(text, wide);
    if (narrowOk) {
        FUZZ_CHECK(wideOk);
        FUZZ_CHECK(static_cast<uint32_t>(wide) == static_cast<uint32_t>(narrow));
        FUZZ_CHECK(StrToInt(IntToStr(narrow)) == narrow);
    } else {
        try {
            StrToInt(text);
            FUZZ_CHECK(false);
        } catch (const Exception& error) {
            // The message is a C string: a zero byte in the text ends it.
            const std::string message = "'" + text + "' は数値ではありません";
            FUZZ_CHECK(error.Message() == message.c_str());
        }
    }
    if (IsPlainDecimal(text)) {
        errno = 0;
        char* end = nullptr;
        const long long reference = std::strtoll(text.c_str(), &end, 10);
        const bool inRange = errno == 0;
        FUZZ_CHECK(wideOk == inRange);
        if (wideOk) FUZZ_CHECK(wide == reference);
        FUZZ_CHECK(narrowOk == (inRange && reference >= INT32_MIN && reference <= INT32_MAX));
    }
}

// Whether the byte at index is the second byte of a double-byte character.
bool IsTrailByte(std::string_view text, std::size_t index, bool (*leadByte)(unsigned char)) {
    for (std::size_t at = 0; at < index; ++at) {
        if (leadByte(static_cast<unsigned char>(text[at]))) {
            if (++at == index) return true;
        }
    }
    return false;
}

void CheckPathParts(const std::string& path, const PathRules& rules) {
    const std::size_t separator = LastSeparator(path, rules);
    if (separator != std::string::npos) {
        FUZZ_CHECK(rules.separators.find(path[separator]) != std::string_view::npos);
        FUZZ_CHECK(rules.leadByte == nullptr || !IsTrailByte(path, separator, rules.leadByte));
    }
    const std::string name = ExtractFileName(path, rules);
    FUZZ_CHECK(ExtractFilePath(path, rules) + name == path);
    const std::string ext = ExtractFileExt(path, rules);
    FUZZ_CHECK(ext.empty() || ext[0] == '.');
    FUZZ_CHECK(name.size() >= ext.size() &&
               name.compare(name.size() - ext.size(), ext.size(), ext) == 0);
    FUZZ_CHECK(ChangeFileExt(path, ext, rules) == path);
    const std::string upper = UpperCase(path);
    FUZZ_CHECK(upper.size() == path.size() && LowerCase(upper) == LowerCase(path));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view commandLine(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> arguments = SplitCommandLine(commandLine);

    // Every argument quoted again splits back into the same arguments.
    std::string quoted;
    for (const std::string& argument : arguments) {
        FUZZ_CHECK(!argument.empty() && argument.find('"') == std::string::npos);
        quoted += "\"" + argument + "\" ";
    }
    FUZZ_CHECK(SplitCommandLine(quoted) == arguments);

    for (const std::string& argument : arguments) {
        CheckPathParts(argument, kPosixPathRules);
        CheckPathParts(argument, kWindowsPathRules);
        CheckConversion(argument);
        // The switches' numbers: after the two switch bytes, and around the first "-".
        const std::string rest = argument.size() > 2 ? argument.substr(2) : std::string();
        const std::size_t dash = rest.find('-');
        CheckConversion(rest);
        CheckConversion(rest.substr(0, dash));
        if (dash != std::string::npos) CheckConversion(rest.substr(dash + 1));
    }
    return 0;
}
