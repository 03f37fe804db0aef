#pragma once
// Runs a check in a child process as an ordinary user, so that permission rules apply also
// when the tests run as root, who may write anywhere. The check returns true when it passed.
#include <grp.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

inline constexpr uid_t kNobody = 65534;

// Hands directory and everything in it to the ordinary user, then becomes that user.
inline bool BecomeOrdinaryUser(const std::string& directory) {
    if (geteuid() != 0) return true;
    namespace fs = std::filesystem;
    if (lchown(directory.c_str(), kNobody, kNobody) != 0) return false;
    for (const auto& entry : fs::recursive_directory_iterator(directory)) {
        if (lchown(entry.path().c_str(), kNobody, kNobody) != 0) return false;
    }
    return setgroups(0, nullptr) == 0 && setgid(kNobody) == 0 && setuid(kNobody) == 0;
}

template <class Check>
void ExpectAsOrdinaryUser(const std::string& directory, Check check) {
    EXPECT_EXIT(std::_Exit(BecomeOrdinaryUser(directory) && check() ? 0 : 1),
                ::testing::ExitedWithCode(0), "");
}
