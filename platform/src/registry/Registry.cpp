// The registry functions: argument checks as Windows makes them, then the
// key handle does the work. Results are returned, not stored as last error.
// windows.h lists where this registry differs from Windows.
#include <cstring>
#include <new>

#include "registry/RegistryKey.h"

using tevrin::win32::HandleTable;
using tevrin::win32::RegistryKey;

namespace {

// Resolves the HKEY and runs `operation` on its key.
template <class Operation>
LSTATUS WithKey(HKEY handle, Operation operation) {
  try {
    std::shared_ptr<RegistryKey> key;
    LSTATUS status = RegistryKey::FromHandle(handle, key);
    return status == ERROR_SUCCESS ? operation(*key) : status;
  } catch (const std::bad_alloc&) {
    return ERROR_OUTOFMEMORY;
  }
}

HKEY Publish(std::shared_ptr<RegistryKey> key) {
  return static_cast<HKEY>(HandleTable::Instance().Insert(std::move(key)));
}

}  // namespace

extern "C" LSTATUS WINAPI RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD, LPSTR, DWORD, REGSAM desired,
                                          const LPSECURITY_ATTRIBUTES, PHKEY result, LPDWORD disposition) {
  if (!result || !subKey) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  return WithKey(key, [&](const RegistryKey& parent) -> LSTATUS {
    std::shared_ptr<RegistryKey> created;
    DWORD how = 0;
    LSTATUS status = parent.Create(subKey, desired, created, how);
    if (status != ERROR_SUCCESS) return status;
    *result = Publish(std::move(created));
    if (disposition) *disposition = how;
    return status;
  });
}

extern "C" LSTATUS WINAPI RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD, REGSAM desired, PHKEY result) {
  if (!result) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  return WithKey(key, [&](const RegistryKey& parent) -> LSTATUS {
    std::shared_ptr<RegistryKey> opened;
    LSTATUS status = parent.Open(subKey, desired, opened);
    if (status == ERROR_SUCCESS) *result = Publish(std::move(opened));
    return status;
  });
}

extern "C" LSTATUS WINAPI RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data,
                                           LPDWORD dataSize) {
  if (reserved || (data && !dataSize)) return ERROR_INVALID_PARAMETER;
  return WithKey(
      key, [&](const RegistryKey& opened) -> LSTATUS { return opened.QueryValue(valueName, type, data, dataSize); });
}

extern "C" LSTATUS WINAPI RegSetValueExA(HKEY key, LPCSTR valueName, DWORD, DWORD type, const BYTE* data,
                                         DWORD dataSize) {
  // Windows probes the buffer and reports the fault it would take.
  if (!data && dataSize) return ERROR_NOACCESS;
  return WithKey(
      key, [&](const RegistryKey& opened) -> LSTATUS { return opened.SetValue(valueName, type, data, dataSize); });
}

extern "C" LSTATUS WINAPI RegDeleteValueA(HKEY key, LPCSTR valueName) {
  return WithKey(key, [&](const RegistryKey& opened) -> LSTATUS { return opened.DeleteValue(valueName); });
}

extern "C" LSTATUS WINAPI RegDeleteKeyA(HKEY key, LPCSTR subKey) {
  if (!subKey) return ERROR_INVALID_PARAMETER;
  return WithKey(key, [&](const RegistryKey& opened) -> LSTATUS { return opened.DeleteSubkey(subKey); });
}

extern "C" LSTATUS WINAPI RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD reserved,
                                        LPSTR keyClass, LPDWORD classSize, void* lastWriteTime) {
  if (!name || !nameSize || reserved || (keyClass && !classSize)) return ERROR_INVALID_PARAMETER;
  return WithKey(key, [&](const RegistryKey& opened) -> LSTATUS {
    uint64_t written = 0;
    LSTATUS status = opened.EnumSubkey(index, name, *nameSize, written);
    if (status != ERROR_SUCCESS) return status;
    if (keyClass && *classSize) *keyClass = '\0';
    if (classSize) *classSize = 0;
    if (lastWriteTime) std::memcpy(lastWriteTime, &written, sizeof written);  // FILETIME, low part first
    return status;
  });
}

extern "C" LSTATUS WINAPI RegEnumValueA(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD reserved,
                                        LPDWORD type, LPBYTE data, LPDWORD dataSize) {
  if (!name || !nameSize || reserved || (data && !dataSize)) return ERROR_INVALID_PARAMETER;
  return WithKey(key, [&](const RegistryKey& opened) -> LSTATUS {
    return opened.EnumValue(index, name, *nameSize, type, data, dataSize);
  });
}

extern "C" LSTATUS WINAPI RegCloseKey(HKEY key) {
  if (RegistryKey::IsPredefined(key)) return ERROR_SUCCESS;
  auto& handles = HandleTable::Instance();
  if (!handles.LookupAs<RegistryKey>(key) || !handles.Remove(key)) return ERROR_INVALID_HANDLE;
  return ERROR_SUCCESS;
}
