// A settings file of any bytes, then the window position's read and write as the program
// does them: the value written reads back, and every byte outside the one key line (and
// the section or line end the write may add) stays as it was, and the other key reads as
// before.
#include <algorithm>
#include <string>

#include "FuzzInput.h"
#include "settings/IniQuill.h"
#include "settings/ProfileText.h"
#include "toolkit/Strings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const int32_t value = static_cast<int32_t>(input.TakeU32());
    const std::string original(input.Rest());
    const std::string path = FuzzScratchFile("Tapewright.ini");
    WriteFuzzFile(path, original);

    TIniQuill settings;
    settings.SetFileName(path);
    settings.ReadIntValue("WINDOW", "POS.X", 0);
    settings.WriteIntValue("WINDOW", "POS.X", value);
    FUZZ_CHECK(settings.ReadIntValue("WINDOW", "POS.X", value == 0 ? 1 : 0) == value);
    const std::string written = ReadFuzzFile(path);

    // The neighbouring key reads as before.
    FUZZ_CHECK(FindProfileValue(written, "WINDOW", "POS.Y") ==
               FindProfileValue(original, "WINDOW", "POS.Y"));

    // What changed lies in one place: at most one old line went, the key line came in.
    const std::size_t shorter = std::min(original.size(), written.size());
    std::size_t prefix = 0;
    while (prefix < shorter && original[prefix] == written[prefix]) ++prefix;
    std::size_t suffix = 0;
    while (suffix < shorter - prefix &&
           original[original.size() - 1 - suffix] == written[written.size() - 1 - suffix]) {
        ++suffix;
    }
    const std::string_view removed =
        std::string_view(original).substr(prefix, original.size() - prefix - suffix);
    const std::string_view added =
        std::string_view(written).substr(prefix, written.size() - prefix - suffix);
    FUZZ_CHECK(std::count(removed.begin(), removed.end(), '\n') <= 1);
    FUZZ_CHECK(std::count(added.begin(), added.end(), '\n') <= 3);
    FUZZ_CHECK(added.size() <= removed.size() + 24 + IntToStr(value).size());
    return 0;
}
