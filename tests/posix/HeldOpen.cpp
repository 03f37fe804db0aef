#include "HeldOpen.h"

#include <filesystem>

bool HeldOpen(const std::string& path) {
    const std::filesystem::path file = std::filesystem::canonical(path);
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        if (std::filesystem::read_symlink(entry.path(), error) == file) return true;
    }
    return false;
}
