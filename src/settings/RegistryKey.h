#pragma once

#include <windows.h>

// One open registry key, closed when it goes out of scope. A key that could
// not be opened or created is empty; reads from it find nothing and writes to
// it fail.
class CRegKey {
 public:
  CRegKey() = default;
  ~CRegKey();
  CRegKey(const CRegKey&) = delete;
  CRegKey& operator=(const CRegKey&) = delete;
  CRegKey(CRegKey&& other) noexcept : key_(other.key_) { other.key_ = nullptr; }

  // Opens an existing key for reading.
  static CRegKey Open(HKEY parent, const char* name);
  static CRegKey Open(const CRegKey& parent, const char* name) { return Open(parent.key_, name); }
  // Opens the key, creating it when missing, for reading and writing.
  static CRegKey Create(HKEY parent, const char* name);
  static CRegKey Create(const CRegKey& parent, const char* name) { return Create(parent.key_, name); }

  explicit operator bool() const { return key_ != nullptr; }

  // Whether a call of this thread has found the registry unreachable (locked
  // by another process, unreadable) rather than the key or value missing
  // since the last time it was asked; asking clears it.
  static bool TakeUnreachable();

  // A missing value, or one of another type or size, reads as false and
  // leaves `value` as it was.
  bool ReadDword(const char* name, int* value) const;
  bool ReadDouble(const char* name, double* value) const;
  bool WriteDword(const char* name, int value) const;
  bool WriteDouble(const char* name, double value) const;
  void DeleteSubkey(const char* name) const;

 private:
  explicit CRegKey(HKEY key) : key_(key) {}
  bool Read(const char* name, DWORD type, void* data, DWORD size) const;
  bool Write(const char* name, DWORD type, const void* data, DWORD size) const;

  HKEY key_ = nullptr;
};
