// The SQLite file behind HKEY_CURRENT_USER: connection, schema and
// transactions, plus the few row operations the key handles are built from.
#pragma once

#include <sqlite3.h>
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tevrin::win32 {

class RegistryDatabase {
 public:
  using KeyId = int64_t;
  // HKEY_CURRENT_USER itself has no row; its subkeys name it as parent.
  static constexpr KeyId kRootId = 0;

  struct Value {
    std::string name;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
  };
  struct Subkey {
    std::string name;
    uint64_t lastWriteTime = 0;  // FILETIME: 100 ns units since 1601
  };

  // The database at the path the environment names now ($TEVRIN_REGISTRY,
  // else $XDG_CONFIG_HOME/tevrin/registry.sqlite3, else
  // ~/.config/tevrin/registry.sqlite3), shared with the handles of this
  // process already using that file. Missing directories are created; an
  // existing file that is not a registry database is reported, never replaced.
  static LSTATUS OpenCurrent(std::shared_ptr<RegistryDatabase>& database);

  RegistryDatabase(const RegistryDatabase&) = delete;
  RegistryDatabase& operator=(const RegistryDatabase&) = delete;
  ~RegistryDatabase();

  // Runs `work` as one transaction: committed when it returns ERROR_SUCCESS,
  // rolled back otherwise. Writes take the file's write lock up front, so two
  // processes never both hold a snapshot they then fail to upgrade; while
  // another process keeps the lock the whole transaction runs again, for two
  // seconds at most (ERROR_BUSY after that), and for ten seconds after such a
  // failure each transaction tries once without waiting. SQLite failures come
  // back as registry error codes.
  LSTATUS Read(const std::function<LSTATUS()>& work) { return Transact("BEGIN", work); }
  LSTATUS Write(const std::function<LSTATUS()>& work) { return Transact("BEGIN IMMEDIATE", work); }

  // Row operations; call them only inside Read or Write.
  bool KeyExists(KeyId key);
  std::optional<KeyId> FindKey(KeyId parent, std::string_view name);
  KeyId InsertKey(KeyId parent, std::string_view name);
  bool HasSubkeys(KeyId key);
  void DeleteKey(KeyId key);  // with its values
  // Subkeys in Windows order: by name, compared in upper case.
  std::optional<Subkey> SubkeyAt(KeyId parent, DWORD index);
  std::optional<Value> FindValue(KeyId key, std::string_view name);
  // Values in the order they were first set, as Windows lists them.
  std::optional<Value> ValueAt(KeyId key, DWORD index);
  void SetValue(KeyId key, std::string_view name, DWORD type, const BYTE* data, DWORD size);
  bool DeleteValue(KeyId key, std::string_view name);

 private:
  explicit RegistryDatabase(sqlite3* connection) : connection_(connection) {}
  static LSTATUS Open(const std::string& path, std::shared_ptr<RegistryDatabase>& database);

  LSTATUS Transact(const char* begin, const std::function<LSTATUS()>& work);
  // Runs `attempt`, repeating it while the file stays locked by another
  // process, and turns SQLite failures into registry error codes.
  LSTATUS Retry(const std::function<LSTATUS()>& attempt);
  LSTATUS PrepareSchema();
  void Execute(const char* sql);
  void Touch(KeyId key);

  std::mutex mutex_;  // one transaction at a time on the shared connection
  sqlite3* const connection_;
};

}  // namespace tevrin::win32
