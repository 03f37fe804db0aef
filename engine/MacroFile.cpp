#include "engine/MacroFile.h"

#include <algorithm>
#include <utility>

#include "engine/MacroStream.h"
#include "engine/Recorder.h"
#include "toolkit/Exception.h"
#include "toolkit/Files.h"
#include "toolkit/Memory.h"

namespace {

const char kReadError[] = "ストリームからの読み込みエラー";
constexpr std::size_t kLoadPart = std::size_t{4} << 20;  // bytes between progress reports

LoadProgress progressObserver;
std::chrono::milliseconds progressAfter{300};

// Reads size bytes in parts, telling the observer how far it has come once a moment passed.
void ReadWhole(InputFile& file, uint8_t* bytes, std::size_t size) {
    const auto start = std::chrono::steady_clock::now();
    for (std::size_t done = 0; done < size;) {
        const std::size_t part = std::min(kLoadPart, size - done);
        if (file.Read(bytes + done, part) != part) throw Exception(kReadError);
        done += part;
        if (progressObserver && std::chrono::steady_clock::now() - start >= progressAfter) {
            progressObserver(done, size);
        }
    }
}

}  // namespace

void SetLoadProgress(LoadProgress observer, std::chrono::milliseconds after) {
    progressObserver = std::move(observer);
    progressAfter = after;
}

void LoadMacroFile(MacroStream& stream, const std::string& fileName) {
    InputFile file = InputFile::Open(fileName);
    LoadMacroFile(stream, file);
}

void LoadMacroFile(MacroStream& stream, InputFile& file) {
    uint64_t size = file.Size();
    MacroStream loaded;
    // Never more than the system can still give: a file larger than that (a huge sparse file)
    // fails as memory running out would, before anything is taken.
    loaded.SetMemoryLimit(
        static_cast<std::size_t>(std::min<uint64_t>(stream.MemoryLimit(), AvailableMemory())));
    if (size > SIZE_MAX) throw Exception(kReadError);
    uint8_t* bytes = loaded.Resize(static_cast<std::size_t>(size));
    ReadWhole(file, bytes, static_cast<std::size_t>(size));
    loaded.Seek(static_cast<int64_t>(size), SeekOrigin::Begin);
    stream.Swap(loaded);
}

void SaveMacroFile(MacroStream& stream, const std::string& fileName) {
    ReplaceFileContents(fileName, stream.Data(), stream.Size());
    // Only a save that happened moves the position, as a copy from the stream would have.
    stream.Seek(static_cast<int64_t>(stream.Size()), SeekOrigin::Begin);
}

void LoadMacroFile(const std::string& fileName) {
    LoadMacroFile(Recorder->Stream(), fileName);
}

void SaveMacroFile(const std::string& fileName) {
    SaveMacroFile(Recorder->Stream(), fileName);
}
