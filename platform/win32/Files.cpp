// Windows realisation of the whole-file helpers: CreateFileA with the sharing each file asks
// for, a temporary file beside the target, flushed, then put in its place with ReplaceFileA
// (which keeps the target's attributes) or MoveFileExA.
#include "toolkit/Files.h"

#include "platform/win32/WindowsApi.h"

#include <string>
#include <utility>

#include "toolkit/Exception.h"

namespace {

const char kOpenError[] = "ファイル %s は開けません";
const char kCreateError[] = "ファイル %s を作成できません";
const char kReadError[] = "ストリームからの読み込みエラー";
const char kWriteError[] = "ストリームへの書き込みエラー";

HANDLE AsHandle(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

[[noreturn]] void ThrowCreateError(const std::string& path) {
    throw Exception(FormatText(kCreateError, path));
}

// Only files on a disk: a console, a pipe or a device says nothing true about its size.
bool IsPlainFile(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION info{};
    return GetFileType(file) == FILE_TYPE_DISK && GetFileInformationByHandle(file, &info) &&
           (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool WriteAll(HANDLE file, const void* data, std::size_t size) {
    auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(file, bytes, chunk, &written, nullptr) || written == 0) return false;
        bytes += written;
        size -= written;
    }
    return true;
}

// Whether byte leads a double-byte character in the system's ANSI code page.
bool IsSystemLeadByte(unsigned char byte) {
    return IsDBCSLeadByte(byte) != FALSE;
}

// The folder part of path, with its final separator; empty for a bare name.
std::string FolderOf(const std::string& path) {
    std::size_t end = 0;
    for (std::size_t at = 0; at < path.size(); ++at) {
        const auto byte = static_cast<unsigned char>(path[at]);
        if (IsSystemLeadByte(byte) && at + 1 < path.size()) {
            ++at;
        } else if (byte == '\\' || byte == '/' || byte == ':') {
            end = at + 1;
        }
    }
    return path.substr(0, end);
}

// A new, empty file beside target that nobody else may open; its name in temporary.
HANDLE CreateTemporaryBeside(const std::string& target, std::string& temporary) {
    std::string folder = FolderOf(target);
    char name[MAX_PATH];
    if (GetTempFileNameA(folder.empty() ? "." : folder.c_str(), "tw", 0, name) == 0) {
        return INVALID_HANDLE_VALUE;
    }
    temporary = name;
    HANDLE file = CreateFileA(name, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) DeleteFileA(name);
    return file;
}

bool WriteAndClose(HANDLE file, const void* data, std::size_t size) {
    bool written = WriteAll(file, data, size) && FlushFileBuffers(file);
    return CloseHandle(file) && written;
}

// Puts the temporary file in the target's place. The replaced file's attributes (hidden,
// archive...) are set again, since not every system's ReplaceFileA carries them over.
bool PutInPlace(const std::string& temporary, const std::string& target, DWORD replaced) {
    const bool replacing = replaced != INVALID_FILE_ATTRIBUTES;
    const bool placed =
        (replacing && ReplaceFileA(target.c_str(), temporary.c_str(), nullptr,
                                   REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) ||
        MoveFileExA(temporary.c_str(), target.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (placed && replacing) SetFileAttributesA(target.c_str(), replaced);
    return placed;
}

bool SetLength(HANDLE file, uint64_t length) {
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(length);
    return SetFilePointerEx(file, at, nullptr, FILE_BEGIN) && SetEndOfFile(file);
}

// Where the folder refuses new files, the file is written where it is. It is first made as
// long as the new bytes need, which takes the disk space at once or is refused on a full
// disk; a refusal puts the old length back, so only a failing device leaves it half written.
void RewriteInPlace(const std::string& path, const void* data, std::size_t size) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) ThrowCreateError(path);
    LARGE_INTEGER old{};
    const bool sized = GetFileSizeEx(file, &old);
    const auto oldSize = static_cast<uint64_t>(old.QuadPart);
    if (!sized || (size > oldSize && !SetLength(file, size))) {
        if (sized) SetLength(file, oldSize);
        CloseHandle(file);
        throw Exception(kWriteError);
    }
    LARGE_INTEGER start{};
    const bool written = SetFilePointerEx(file, start, nullptr, FILE_BEGIN) &&
                         WriteAll(file, data, size) && SetLength(file, size) &&
                         FlushFileBuffers(file);
    if (!CloseHandle(file) || !written) throw Exception(kWriteError);
}

// An existing target must be a writable regular file that nobody holds open.
bool MayReplace(const std::string& path, DWORD attributes) {
    if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0) return false;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool plain = IsPlainFile(file);
    CloseHandle(file);
    return plain;
}

}  // namespace

InputFile InputFile::Open(const std::string& path, FileSharing sharing) {
    const DWORD share = sharing == FileSharing::Readers ? FILE_SHARE_READ : 0;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE && !IsPlainFile(file)) {
        CloseHandle(file);
        file = INVALID_HANDLE_VALUE;
    }
    if (file == INVALID_HANDLE_VALUE) throw Exception(FormatText(kOpenError, path));
    return InputFile(reinterpret_cast<std::intptr_t>(file));
}

InputFile::InputFile(InputFile&& other) noexcept
    : handle_(std::exchange(other.handle_, kNoHandle)) {}

InputFile& InputFile::operator=(InputFile&& other) noexcept {
    if (this != &other) {
        if (handle_ != kNoHandle) CloseHandle(AsHandle(handle_));
        handle_ = std::exchange(other.handle_, kNoHandle);
    }
    return *this;
}

InputFile::~InputFile() {
    if (handle_ != kNoHandle) CloseHandle(AsHandle(handle_));
}

uint64_t InputFile::Size() const {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(AsHandle(handle_), &size)) return 0;
    return static_cast<uint64_t>(size.QuadPart);
}

std::size_t InputFile::Read(void* destination, std::size_t count) {
    auto* bytes = static_cast<char*>(destination);
    std::size_t total = 0;
    while (total < count) {
        const std::size_t left = count - total;
        const DWORD chunk = left > 0x40000000 ? 0x40000000 : static_cast<DWORD>(left);
        DWORD got = 0;
        if (!ReadFile(AsHandle(handle_), bytes + total, chunk, &got, nullptr)) {
            throw Exception(kReadError);
        }
        if (got == 0) break;
        total += got;
    }
    return total;
}

void ReplaceFileContents(const std::string& path, const void* data, std::size_t size) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    const bool replacing = attributes != INVALID_FILE_ATTRIBUTES;
    if (replacing && !MayReplace(path, attributes)) ThrowCreateError(path);
    std::string temporary;
    HANDLE file = CreateTemporaryBeside(path, temporary);
    if (file == INVALID_HANDLE_VALUE) {
        if (!replacing) ThrowCreateError(path);
        RewriteInPlace(path, data, size);
        return;
    }
    if (!WriteAndClose(file, data, size)) {
        DeleteFileA(temporary.c_str());
        throw Exception(kWriteError);
    }
    if (!PutInPlace(temporary, path, attributes)) {
        DeleteFileA(temporary.c_str());
        ThrowCreateError(path);
    }
}

bool FileExists(const std::string& path) {
    const DWORD attributes =
        path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// Paths from the system are bytes of its ANSI code page, split by that code page's rules:
// on a Western system "é" (E9) is a character of its own, on a Japanese one a lead byte.
const PathRules& NativePathRules() {
    static const PathRules rules{kWindowsPathRules.separators, IsSystemLeadByte};
    return rules;
}

std::string ExecutablePath() {
    std::string buffer(MAX_PATH, '\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return std::string();
        if (length < buffer.size()) return buffer.substr(0, length);
        buffer.resize(buffer.size() * 2);
    }
}

std::string SystemSettingsDirectory() {
    char buffer[MAX_PATH];
    const UINT length = GetWindowsDirectoryA(buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return "C:\\WINDOWS";
    return std::string(buffer, length);
}
