#include "engine/MacroFile.h"

#include <algorithm>

#include "engine/MacroStream.h"
#include "engine/Recorder.h"
#include "toolkit/Exception.h"
#include "toolkit/Files.h"
#include "toolkit/Memory.h"

namespace {
const char kReadError[] = "ストリームからの読み込みエラー";
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
    if (file.Read(bytes, static_cast<std::size_t>(size)) != size) throw Exception(kReadError);
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
