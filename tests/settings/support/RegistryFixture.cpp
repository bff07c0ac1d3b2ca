#include "RegistryFixture.h"

#include "FreshRegistry.h"
#include "settings/SettingsKey.h"

void RegistryTest::SetUp() {
  UseFreshRegistry();
}

std::string RegistryTest::Path(int camera, const std::string& subkey) {
  return CameraKeyPath(camera) + (subkey.empty() ? "" : "\\" + subkey);
}

bool RegistryTest::KeyExists(const std::string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

void RegistryTest::PutRaw(const std::string& path, const char* name, DWORD type, const void* data, DWORD size) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
  RegCloseKey(key);
}

void RegistryTest::PutDword(const std::string& path, const char* name, int value) {
  const DWORD data = static_cast<DWORD>(value);
  PutRaw(path, name, REG_DWORD, &data, sizeof data);
}

int RegistryTest::Dword(const std::string& path, const char* name) {
  HKEY key = nullptr;
  DWORD data = 0;
  DWORD type = 0;
  DWORD size = sizeof data;
  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS) << path;
  EXPECT_EQ(RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size), ERROR_SUCCESS)
      << path << " " << name;
  if (key) RegCloseKey(key);
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD)) << path << " " << name;
  return static_cast<int>(data);
}

void RegistryTest::DeleteValue(const std::string& path, const char* name) {
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
  RegDeleteValueA(key, name);
  RegCloseKey(key);
}
