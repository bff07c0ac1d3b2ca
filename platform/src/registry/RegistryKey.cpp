#include "registry/RegistryKey.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

namespace tevrin::win32 {
namespace {

using Value = RegistryDatabase::Value;

constexpr size_t kMaxKeyNameLength = 255;
constexpr size_t kMaxValueNameLength = 16383;
// Standard and generic rights that this windows.h does not name.
constexpr REGSAM kDelete = 0x00010000;
constexpr REGSAM kMaximumAllowed = 0x02000000;
constexpr REGSAM kGenericAll = 0x10000000;
constexpr REGSAM kGenericExecute = 0x20000000;
constexpr REGSAM kGenericWrite = 0x40000000;
constexpr REGSAM kGenericRead = 0x80000000;

// Maps generic rights onto key rights and drops the WOW64 view flags, which
// select nothing here.
REGSAM Granted(REGSAM desired) {
  if (desired & (kMaximumAllowed | kGenericAll)) return KEY_ALL_ACCESS;
  REGSAM granted = desired & ~(KEY_WOW64_32KEY | KEY_WOW64_64KEY | kGenericRead | kGenericWrite | kGenericExecute);
  if (desired & (kGenericRead | kGenericExecute)) granted |= KEY_READ;
  if (desired & kGenericWrite) granted |= KEY_WRITE;
  return granted;
}

// "A\B\C" into its parts. Windows takes one trailing separator but no empty
// part, so a leading or doubled backslash is a bad path.
LSTATUS SplitPath(std::string_view path, std::vector<std::string_view>& parts) {
  if (!path.empty() && path.back() == '\\') path.remove_suffix(1);
  if (path.empty()) return ERROR_SUCCESS;
  for (size_t start = 0;;) {
    size_t end = path.find('\\', start);
    std::string_view part = path.substr(start, end - start);
    if (part.empty()) return ERROR_BAD_PATHNAME;
    if (part.size() > kMaxKeyNameLength) return ERROR_INVALID_PARAMETER;
    parts.push_back(part);
    if (end == std::string_view::npos) return ERROR_SUCCESS;
    start = end + 1;
  }
}

std::string_view NameOf(LPCSTR name) {
  return name ? name : "";
}

bool IsString(DWORD type) {
  return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// Fills the caller's type, size and buffer as RegQueryValueExA does. A short
// buffer is left untouched. A string stored without its terminating NUL gets
// one when the buffer has room, not counted in the size, as Windows does.
LSTATUS CopyValue(const Value& value, DWORD* type, BYTE* data, DWORD* size) {
  if (type) *type = value.type;
  if (!size) return ERROR_SUCCESS;
  DWORD capacity = *size;
  auto length = static_cast<DWORD>(value.data.size());
  *size = length;
  if (!data) return ERROR_SUCCESS;
  if (capacity < length) return ERROR_MORE_DATA;
  std::copy(value.data.begin(), value.data.end(), data);
  bool terminated = length > 0 && value.data.back() == 0;
  if (IsString(value.type) && !terminated && capacity > length) data[length] = 0;
  return ERROR_SUCCESS;
}

// Enumerated names: the size counts the NUL on the way in, not on the way out.
bool CopyName(const std::string& source, char* name, DWORD& nameSize) {
  if (source.size() >= nameSize) return false;
  std::memcpy(name, source.c_str(), source.size() + 1);
  nameSize = static_cast<DWORD>(source.size());
  return true;
}

}  // namespace

bool RegistryKey::IsPredefined(HKEY handle) {
  // 0x80000000 and up, sign-extended as the HKEY_* macros make them; the
  // performance-data roots sit at 0x80000050 and 0x80000060.
  constexpr uintptr_t kPredefinedCount = 0x100;
  return reinterpret_cast<uintptr_t>(handle) - reinterpret_cast<uintptr_t>(HKEY_CLASSES_ROOT) < kPredefinedCount;
}

LSTATUS RegistryKey::FromHandle(HKEY handle, std::shared_ptr<RegistryKey>& key) {
  if (handle == HKEY_CURRENT_USER) {
    std::shared_ptr<RegistryDatabase> database;
    LSTATUS status = RegistryDatabase::OpenCurrent(database);
    if (status == ERROR_SUCCESS)
      key = std::make_shared<RegistryKey>(database, RegistryDatabase::kRootId, KEY_ALL_ACCESS);
    return status;
  }
  if (IsPredefined(handle)) return ERROR_FILE_NOT_FOUND;
  key = HandleTable::Instance().LookupAs<RegistryKey>(handle);
  return key ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LSTATUS RegistryKey::Read(const std::function<LSTATUS()>& work) const {
  return database_->Read([&]() -> LSTATUS { return database_->KeyExists(id_) ? work() : ERROR_KEY_DELETED; });
}

LSTATUS RegistryKey::Write(const std::function<LSTATUS()>& work) const {
  return database_->Write([&]() -> LSTATUS { return database_->KeyExists(id_) ? work() : ERROR_KEY_DELETED; });
}

LSTATUS RegistryKey::Walk(LPCSTR path, bool create, KeyId& found, bool& createdLast) const {
  std::vector<std::string_view> parts;
  LSTATUS status = SplitPath(NameOf(path), parts);
  if (status != ERROR_SUCCESS) return status;
  found = id_;
  createdLast = false;
  for (std::string_view part : parts) {
    std::optional<KeyId> child = database_->FindKey(found, part);
    if (!child && !create) return ERROR_FILE_NOT_FOUND;
    createdLast = !child;
    found = child ? *child : database_->InsertKey(found, part);
  }
  return ERROR_SUCCESS;
}

LSTATUS RegistryKey::Open(LPCSTR path, REGSAM desired, std::shared_ptr<RegistryKey>& opened) const {
  KeyId found = id_;
  bool created = false;
  LSTATUS status = Read([&]() -> LSTATUS { return Walk(path, false, found, created); });
  if (status == ERROR_SUCCESS) opened = std::make_shared<RegistryKey>(database_, found, Granted(desired));
  return status;
}

LSTATUS RegistryKey::Create(LPCSTR path, REGSAM desired, std::shared_ptr<RegistryKey>& created,
                            DWORD& disposition) const {
  if (!Grants(KEY_CREATE_SUB_KEY)) return ERROR_ACCESS_DENIED;
  KeyId found = id_;
  bool createdLast = false;
  LSTATUS status = Write([&]() -> LSTATUS { return Walk(path, true, found, createdLast); });
  if (status != ERROR_SUCCESS) return status;
  created = std::make_shared<RegistryKey>(database_, found, Granted(desired));
  disposition = createdLast ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
  return ERROR_SUCCESS;
}

LSTATUS RegistryKey::DeleteSubkey(LPCSTR path) const {
  return Write([&]() -> LSTATUS {
    KeyId target = id_;
    bool created = false;
    LSTATUS status = Walk(path, false, target, created);
    if (status != ERROR_SUCCESS) return status;
    // Deleting a subkey needs no right on this handle, as on Windows; the
    // key itself only through a handle opened with DELETE, and never a root.
    bool self = target == id_;
    if (self && (id_ == RegistryDatabase::kRootId || !Grants(kDelete))) return ERROR_ACCESS_DENIED;
    if (database_->HasSubkeys(target)) return ERROR_ACCESS_DENIED;
    database_->DeleteKey(target);
    return ERROR_SUCCESS;
  });
}

LSTATUS RegistryKey::QueryValue(LPCSTR name, DWORD* type, BYTE* data, DWORD* size) const {
  if (!Grants(KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
  std::optional<Value> value;
  LSTATUS status = Read([&]() -> LSTATUS {
    value = database_->FindValue(id_, NameOf(name));
    return value ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
  });
  return status == ERROR_SUCCESS ? CopyValue(*value, type, data, size) : status;
}

LSTATUS RegistryKey::SetValue(LPCSTR name, DWORD type, const BYTE* data, DWORD size) const {
  if (!Grants(KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
  if (NameOf(name).size() > kMaxValueNameLength) return ERROR_INVALID_PARAMETER;
  return Write([&]() -> LSTATUS {
    database_->SetValue(id_, NameOf(name), type, data, size);
    return ERROR_SUCCESS;
  });
}

LSTATUS RegistryKey::DeleteValue(LPCSTR name) const {
  if (!Grants(KEY_SET_VALUE)) return ERROR_ACCESS_DENIED;
  return Write(
      [&]() -> LSTATUS { return database_->DeleteValue(id_, NameOf(name)) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND; });
}

LSTATUS RegistryKey::EnumSubkey(DWORD index, char* name, DWORD& nameSize, uint64_t& lastWriteTime) const {
  if (!Grants(KEY_ENUMERATE_SUB_KEYS)) return ERROR_ACCESS_DENIED;
  std::optional<RegistryDatabase::Subkey> subkey;
  LSTATUS status = Read([&]() -> LSTATUS {
    subkey = database_->SubkeyAt(id_, index);
    return subkey ? ERROR_SUCCESS : ERROR_NO_MORE_ITEMS;
  });
  if (status != ERROR_SUCCESS) return status;
  if (!CopyName(subkey->name, name, nameSize)) return ERROR_MORE_DATA;
  lastWriteTime = subkey->lastWriteTime;
  return ERROR_SUCCESS;
}

LSTATUS RegistryKey::EnumValue(DWORD index, char* name, DWORD& nameSize, DWORD* type, BYTE* data, DWORD* size) const {
  if (!Grants(KEY_QUERY_VALUE)) return ERROR_ACCESS_DENIED;
  std::optional<Value> value;
  LSTATUS status = Read([&]() -> LSTATUS {
    value = database_->ValueAt(id_, index);
    return value ? ERROR_SUCCESS : ERROR_NO_MORE_ITEMS;
  });
  if (status != ERROR_SUCCESS) return status;
  if (CopyName(value->name, name, nameSize)) return CopyValue(*value, type, data, size);
  CopyValue(*value, type, nullptr, size);  // still tells the type and the data size
  return ERROR_MORE_DATA;
}

}  // namespace tevrin::win32
