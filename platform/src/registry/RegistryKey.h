// An open registry key behind an HKEY: the database it lives in, its row and
// the access the handle was granted. The Win32 rules (paths, access rights,
// deleted keys, caller buffers) live here; the SQL lives in RegistryDatabase.
#pragma once

#include <tevrin/win32/KernelObject.h>

#include <memory>

#include "registry/RegistryDatabase.h"

namespace tevrin::win32 {

class RegistryKey final : public KernelObject {
 public:
  using KeyId = RegistryDatabase::KeyId;

  RegistryKey(std::shared_ptr<RegistryDatabase> database, KeyId id, REGSAM access)
      : database_(std::move(database)), id_(id), access_(access) {}

  // HKEY_CLASSES_ROOT and its siblings; closing one is a harmless no-op.
  static bool IsPredefined(HKEY handle);
  // HKEY_CURRENT_USER resolves to the root of the database the environment
  // names now; the other predefined roots do not exist here.
  static LSTATUS FromHandle(HKEY handle, std::shared_ptr<RegistryKey>& key);

  LSTATUS Open(LPCSTR path, REGSAM desired, std::shared_ptr<RegistryKey>& opened) const;
  LSTATUS Create(LPCSTR path, REGSAM desired, std::shared_ptr<RegistryKey>& created, DWORD& disposition) const;
  // An empty path deletes this key itself.
  LSTATUS DeleteSubkey(LPCSTR path) const;
  LSTATUS QueryValue(LPCSTR name, DWORD* type, BYTE* data, DWORD* size) const;
  LSTATUS SetValue(LPCSTR name, DWORD type, const BYTE* data, DWORD size) const;
  LSTATUS DeleteValue(LPCSTR name) const;
  LSTATUS EnumSubkey(DWORD index, char* name, DWORD& nameSize, uint64_t& lastWriteTime) const;
  LSTATUS EnumValue(DWORD index, char* name, DWORD& nameSize, DWORD* type, BYTE* data, DWORD* size) const;

 private:
  // Runs `work` in a transaction after making sure the key still exists.
  LSTATUS Read(const std::function<LSTATUS()>& work) const;
  LSTATUS Write(const std::function<LSTATUS()>& work) const;
  // Walks `path` below this key inside a transaction; ERROR_FILE_NOT_FOUND
  // when a part is missing, unless `create` makes it.
  LSTATUS Walk(LPCSTR path, bool create, KeyId& found, bool& createdLast) const;
  bool Grants(REGSAM rights) const { return (access_ & rights) == rights; }

  const std::shared_ptr<RegistryDatabase> database_;
  const KeyId id_;
  const REGSAM access_;
};

}  // namespace tevrin::win32
