// The Windows test program runs with the path rules a Windows program starts with.
#include <gtest/gtest.h>

#include "toolkit/Strings.h"

namespace {

class WindowsPathRules : public ::testing::Environment {
  public:
    void SetUp() override { SetPlatformPathRules(kWindowsPathRules); }
};

const auto* const kRules = ::testing::AddGlobalTestEnvironment(new WindowsPathRules);

}  // namespace
