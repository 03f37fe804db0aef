// A macro list file of any bytes (any encoding, any line ends) through load, save and load
// again: the same entries, and the entries are the file's lines up to its first zero byte.
#include <string>

#include "FuzzInput.h"
#include "toolkit/Exception.h"
#include "ui/MacroListFile.h"

namespace {

// The text with every CR LF, lone CR and lone LF made one LF.
std::string WithLfLineEnds(std::string_view text) {
    std::string result;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] == '\r') {
            result += '\n';
            if (at + 1 < text.size() && text[at + 1] == '\n') ++at;
        } else {
            result += text[at];
        }
    }
    return result;
}

std::string JoinedLines(const PlaylistEntries& entries) {
    std::string text;
    for (const std::string& entry : entries) text += entry + "\n";
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string first = FuzzScratchFile("first.mlf");
    const std::string second = FuzzScratchFile("second.mlf");
    WriteFuzzFile(first, bytes);

    PlaylistEntries entries{"kept"};
    try {
        LoadPlaylist(entries, first);
    } catch (const Exception&) {
        // Only an entry longer than the list holds is refused; the list is then unchanged.
        FUZZ_CHECK(entries == PlaylistEntries{"kept"});
        return 0;
    }
    std::string text = WithLfLineEnds(bytes.substr(0, bytes.find('\0')));
    if (!text.empty() && text.back() != '\n') text += '\n';
    FUZZ_CHECK(JoinedLines(entries) == text);

    SavePlaylist(entries, second);
    FUZZ_CHECK(ReadFuzzFile(second) == PlaylistText(entries));
    PlaylistEntries reloaded;
    LoadPlaylist(reloaded, second);
    FUZZ_CHECK(reloaded == entries);
    return 0;
}
