#include "FreshRegistry.h"

#include <cstdlib>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

void UseFreshRegistry() {
  const char* scratch = std::getenv("TEVRIN_TEST_SCRATCH");
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(test->test_suite_name()) + "." + test->name();
  for (char& c : name) {
    if (c == '/') c = '_';
  }
  const std::filesystem::path folder =
      scratch ? std::filesystem::path(scratch) : std::filesystem::temp_directory_path();
  const std::filesystem::path file = folder / ("registry-" + name + ".sqlite3");
  std::filesystem::remove(file);
  setenv("TEVRIN_REGISTRY", file.c_str(), 1);
}
