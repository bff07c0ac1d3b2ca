// Fixture for the file tests: a fresh directory per test and a save through
// the entry point the camera instance uses.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "files/SaveImage.h"
#include "support/TestImage.h"

namespace tevrin::test {

class StillFileTest : public ::testing::Test {
 protected:
  std::string directory = FreshDirectory(::testing::UnitTest::GetInstance()->current_test_info()->name());

  std::string PathOf(const std::string& name) const { return directory + "/" + name; }

  // Saves and expects success; returns the file's path.
  std::string Save(const TestImage& image, int format, const std::string& name, int significantBits = 16) {
    const std::string path = PathOf(name);
    EXPECT_TRUE(files::SaveImageAs(path.c_str(), image.view, format, significantBits)) << name;
    return path;
  }
};

}  // namespace tevrin::test
