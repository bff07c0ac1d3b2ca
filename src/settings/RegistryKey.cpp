#include "settings/RegistryKey.h"

#include <cstring>
#include <utility>

namespace {

thread_local bool unreachable = false;

// Passes the status on, noting a failure that is not a plain "missing".
LSTATUS Note(LSTATUS status) {
  if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND && status != ERROR_MORE_DATA) unreachable = true;
  return status;
}

}  // namespace

bool CRegKey::TakeUnreachable() {
  return std::exchange(unreachable, false);
}

CRegKey::~CRegKey() {
  if (key_) RegCloseKey(key_);
}

CRegKey CRegKey::Open(HKEY parent, const char* name) {
  HKEY key = nullptr;
  if (!parent || Note(RegOpenKeyExA(parent, name, 0, KEY_READ, &key)) != ERROR_SUCCESS) return CRegKey();
  return CRegKey(key);
}

CRegKey CRegKey::Create(HKEY parent, const char* name) {
  HKEY key = nullptr;
  char noClass[] = "";
  if (!parent || RegCreateKeyExA(parent, name, 0, noClass, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                                 nullptr) != ERROR_SUCCESS) {
    return CRegKey();
  }
  return CRegKey(key);
}

bool CRegKey::Read(const char* name, DWORD type, void* data, DWORD size) const {
  if (!key_) return false;
  // One byte more than expected shows a value that is too long.
  BYTE buffer[sizeof(double) + 1] = {};
  DWORD storedType = 0;
  DWORD storedSize = sizeof buffer;
  if (Note(RegQueryValueExA(key_, name, nullptr, &storedType, buffer, &storedSize)) != ERROR_SUCCESS) return false;
  if (storedType != type || storedSize != size) return false;
  std::memcpy(data, buffer, size);
  return true;
}

bool CRegKey::Write(const char* name, DWORD type, const void* data, DWORD size) const {
  return key_ && RegSetValueExA(key_, name, 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
}

bool CRegKey::ReadDword(const char* name, int* value) const {
  DWORD data = 0;
  if (!Read(name, REG_DWORD, &data, sizeof data)) return false;
  *value = static_cast<int>(data);
  return true;
}

bool CRegKey::ReadDouble(const char* name, double* value) const {
  double data = 0;
  if (!Read(name, REG_BINARY, &data, sizeof data)) return false;
  *value = data;
  return true;
}

bool CRegKey::WriteDword(const char* name, int value) const {
  const DWORD data = static_cast<DWORD>(value);
  return Write(name, REG_DWORD, &data, sizeof data);
}

bool CRegKey::WriteDouble(const char* name, double value) const {
  return Write(name, REG_BINARY, &value, sizeof value);
}

void CRegKey::DeleteSubkey(const char* name) const {
  if (key_) RegDeleteKeyA(key_, name);
}
