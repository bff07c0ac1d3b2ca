#pragma once

#include <string>

#include <gtest/gtest.h>
#include <windows.h>

// Gives every test its own empty registry file and reads or plants raw values
// below one camera's key.
class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override;

  // Full path of `subkey` (may be empty) below camera n's key.
  static std::string Path(int camera, const std::string& subkey);
  static bool KeyExists(const std::string& path);
  static void PutDword(const std::string& path, const char* name, int value);
  static void PutRaw(const std::string& path, const char* name, DWORD type, const void* data, DWORD size);
  // The stored DWORD; fails the test when the value is missing or mistyped.
  static int Dword(const std::string& path, const char* name);
  static void DeleteValue(const std::string& path, const char* name);
};
