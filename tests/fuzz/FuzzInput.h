#pragma once
// What the fuzz targets share: the input taken apart into numbers and a rest, a scratch
// directory for the files the program reads, and a check that aborts with its reason.
#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>

// Numbers from the front of the input; what is left is the rest. Missing bytes read as 0.
class FuzzInput {
  public:
    FuzzInput(const uint8_t* data, std::size_t size)
        : rest_(reinterpret_cast<const char*>(data), size) {}

    uint32_t TakeU32() { return static_cast<uint32_t>(Take(4)); }
    uint16_t TakeU16() { return static_cast<uint16_t>(Take(2)); }
    uint8_t TakeU8() { return static_cast<uint8_t>(Take(1)); }
    std::string_view Rest() const { return rest_; }

  private:
    uint64_t Take(std::size_t bytes) {
        uint64_t value = 0;
        for (std::size_t i = 0; i < bytes && !rest_.empty(); ++i) {
            value |= static_cast<uint64_t>(static_cast<uint8_t>(rest_[0])) << (8 * i);
            rest_.remove_prefix(1);
        }
        return value;
    }
    std::string_view rest_;
};

// One directory for the whole run, in memory where the system has a RAM file system;
// removed when the run ends.
class FuzzScratch {
  public:
    FuzzScratch() {
        std::string base = std::filesystem::is_directory("/dev/shm")
                               ? "/dev/shm"
                               : std::filesystem::temp_directory_path().string();
        std::string pattern = base + "/tapewright-fuzz-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) abort();
        path_ = pattern;
    }
    ~FuzzScratch() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::string& Path() const { return path_; }

  private:
    std::string path_;
};

inline const std::string& FuzzScratchDirectory() {
    static const FuzzScratch scratch;
    return scratch.Path();
}

inline std::string FuzzScratchFile(const std::string& name) {
    return FuzzScratchDirectory() + "/" + name;
}

inline void WriteFuzzFile(const std::string& path, std::string_view bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) abort();
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) abort();
    std::fclose(file);
}

inline std::string ReadFuzzFile(const std::string& path) {
    std::string bytes;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) abort();
    char buffer[4096];
    for (std::size_t count; (count = std::fread(buffer, 1, sizeof buffer, file)) > 0;) {
        bytes.append(buffer, count);
    }
    std::fclose(file);
    return bytes;
}

// A broken property: its reason on stderr, then abort, which libFuzzer reports as a crash.
#define FUZZ_CHECK(condition)                                                                  \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            abort();                                                                           \
        }                                                                                      \
    } while (false)
