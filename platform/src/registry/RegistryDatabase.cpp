#include "registry/RegistryDatabase.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <new>
#include <thread>

namespace tevrin::win32 {
namespace {

// Marks a file as ours, so that a foreign SQLite database at the configured
// path is reported instead of having our tables added to it.
constexpr int64_t kApplicationId = 0x54565247;  // "TVRG"
constexpr int64_t kSchemaVersion = 1;
// A database another process keeps locked costs one wait of this budget;
// for the back-off time after it, each transaction tries once without
// waiting, so that a program making many registry calls is not held up
// by each of them in turn.
constexpr int kBusyBudgetMs = 2000;
constexpr int kBusySliceMs = 250;
constexpr auto kBusyBackoff = std::chrono::seconds(10);

using BusyClock = std::chrono::steady_clock;
// Until then the registry counts as locked by another process. One for the
// process: a connection opened again meets the same lock.
std::atomic<BusyClock::rep> busyUntil{0};

constexpr const char* kSchema = R"sql(
CREATE TABLE keys(
  id INTEGER PRIMARY KEY AUTOINCREMENT,  -- never reused: a stale handle must not find a new key
  parent INTEGER NOT NULL,
  name TEXT NOT NULL COLLATE NOCASE,     -- NOCASE folds ASCII only, as the registry's A functions see it
  written INTEGER NOT NULL,              -- last write time, FILETIME
  UNIQUE(parent, name));
CREATE TABLE key_values(
  key INTEGER NOT NULL,
  name TEXT NOT NULL COLLATE NOCASE,     -- '' is the default value
  type INTEGER NOT NULL,
  data BLOB NOT NULL,
  UNIQUE(key, name));
)sql";

struct SqliteError {
  int code;
};

void Check(int code) {
  if (code != SQLITE_OK) throw SqliteError{code};
}

// A prepared statement with its arguments bound in order; throws SqliteError.
class Statement {
 public:
  struct Blob {
    const BYTE* data;
    DWORD size;
  };

  template <class... Args>
  Statement(sqlite3* connection, const char* sql, Args... args) {
    Check(sqlite3_prepare_v2(connection, sql, -1, &statement_, nullptr));
    (Bind(args), ...);
  }
  ~Statement() { sqlite3_finalize(statement_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  // True while a row is available.
  bool Step() {
    int code = sqlite3_step(statement_);
    if (code == SQLITE_ROW) return true;
    if (code == SQLITE_DONE) return false;
    throw SqliteError{code};
  }
  int64_t Int(int column) { return sqlite3_column_int64(statement_, column); }
  std::string Text(int column) {
    auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
    return text ? std::string(text, sqlite3_column_bytes(statement_, column)) : std::string();
  }
  std::vector<BYTE> Bytes(int column) {
    auto* bytes = static_cast<const BYTE*>(sqlite3_column_blob(statement_, column));
    return bytes ? std::vector<BYTE>(bytes, bytes + sqlite3_column_bytes(statement_, column)) : std::vector<BYTE>();
  }

 private:
  void Bind(int64_t value) { Check(sqlite3_bind_int64(statement_, ++bound_, value)); }
  void Bind(std::string_view text) {
    Check(sqlite3_bind_text(statement_, ++bound_, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT));
  }
  // An empty value is an empty blob, not NULL, hence the non-null pointer.
  void Bind(Blob blob) {
    const void* bytes = blob.size ? static_cast<const void*>(blob.data) : "";
    Check(sqlite3_bind_blob(statement_, ++bound_, bytes, static_cast<int>(blob.size), SQLITE_TRANSIENT));
  }

  sqlite3_stmt* statement_ = nullptr;
  int bound_ = 0;
};

// Reads a row of (name, type, data).
RegistryDatabase::Value ValueOf(Statement& row) {
  return RegistryDatabase::Value{row.Text(0), static_cast<DWORD>(row.Int(1)), row.Bytes(2)};
}

LSTATUS StatusOf(int sqliteCode) {
  switch (sqliteCode & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return ERROR_BUSY;
    case SQLITE_NOTADB:
      return ERROR_BADDB;
    case SQLITE_CORRUPT:
      return ERROR_REGISTRY_CORRUPT;
    case SQLITE_CANTOPEN:
      return ERROR_CANTOPEN;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
      return ERROR_ACCESS_DENIED;
    case SQLITE_NOMEM:
      return ERROR_OUTOFMEMORY;
    default:
      return ERROR_REGISTRY_IO_FAILED;
  }
}

bool IsBusy(int sqliteCode) {
  return (sqliteCode & 0xFF) == SQLITE_BUSY || (sqliteCode & 0xFF) == SQLITE_LOCKED;
}

uint64_t FileTimeNow() {
  constexpr uint64_t kUnixEpochAsFileTime = 116444736000000000ull;
  auto sinceUnixEpoch = std::chrono::system_clock::now().time_since_epoch();
  return kUnixEpochAsFileTime + std::chrono::duration_cast<std::chrono::nanoseconds>(sinceUnixEpoch).count() / 100;
}

std::string EnvironmentValue(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// Empty when the environment names no usable place.
std::string CurrentPath() {
  std::string path = EnvironmentValue("TEVRIN_REGISTRY");
  if (!path.empty()) return path;
  std::string config = EnvironmentValue("XDG_CONFIG_HOME");
  if (config.empty() || config.front() != '/') {  // relative values are invalid, says XDG
    std::string home = EnvironmentValue("HOME");
    if (home.empty()) return "";
    config = home + "/.config";
  }
  return config + "/tevrin/registry.sqlite3";
}

struct OpenDatabases {
  std::mutex mutex;
  std::map<std::string, std::weak_ptr<RegistryDatabase>> byPath;
};

}  // namespace

LSTATUS RegistryDatabase::OpenCurrent(std::shared_ptr<RegistryDatabase>& database) {
  static auto* open = new OpenDatabases;  // never destroyed: handles may outlive main
  std::string configured = CurrentPath();
  if (configured.empty()) return ERROR_CANTOPEN;
  // One connection per file, however the environment spells its path.
  std::error_code error;
  std::string path = std::filesystem::weakly_canonical(configured, error).string();
  if (error) return ERROR_CANTOPEN;
  std::lock_guard lock(open->mutex);
  auto& slot = open->byPath[path];
  database = slot.lock();
  if (database) return ERROR_SUCCESS;
  LSTATUS status = Open(path, database);
  slot = database;
  return status;
}

LSTATUS RegistryDatabase::Open(const std::string& path, std::shared_ptr<RegistryDatabase>& database) {
  database.reset();
  std::error_code error;
  auto directory = std::filesystem::path(path).parent_path();
  if (!directory.empty()) std::filesystem::create_directories(directory, error);
  if (error) return ERROR_CANTOPEN;
  // SQLite takes a one-byte file for an empty database and would write over it.
  if (std::filesystem::file_size(path, error) == 1) return ERROR_BADDB;
  sqlite3* connection = nullptr;
  int code = sqlite3_open_v2(path.c_str(), &connection,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
  std::shared_ptr<RegistryDatabase> opened(new (std::nothrow) RegistryDatabase(connection));
  if (!opened) {
    sqlite3_close_v2(connection);
    return ERROR_OUTOFMEMORY;
  }
  if (code != SQLITE_OK) return StatusOf(code);
  sqlite3_busy_timeout(connection, kBusySliceMs);
  // The schema check reads before anything is written, so a file that is not
  // ours fails here untouched; only then may the journal mode change.
  LSTATUS status = opened->Transact("BEGIN IMMEDIATE", [&]() -> LSTATUS { return opened->PrepareSchema(); });
  if (status == ERROR_SUCCESS) {
    status = opened->Retry([&]() -> LSTATUS {
      // WAL lets readers run beside a writer of another process; NORMAL
      // sync keeps the file consistent across crashes, as lazily as the
      // Windows registry flushes.
      opened->Execute("PRAGMA journal_mode = WAL");
      opened->Execute("PRAGMA synchronous = NORMAL");
      return ERROR_SUCCESS;
    });
  }
  if (status == ERROR_SUCCESS) database = std::move(opened);
  return status;
}

RegistryDatabase::~RegistryDatabase() {
  sqlite3_close_v2(connection_);
}

LSTATUS RegistryDatabase::PrepareSchema() {
  Statement objects(connection_, "SELECT count(*) FROM sqlite_schema");
  objects.Step();
  if (objects.Int(0) == 0) {
    Check(sqlite3_exec(connection_, kSchema, nullptr, nullptr, nullptr));
    Execute(("PRAGMA application_id = " + std::to_string(kApplicationId)).c_str());
    Execute(("PRAGMA user_version = " + std::to_string(kSchemaVersion)).c_str());
    return ERROR_SUCCESS;
  }
  Statement application(connection_, "PRAGMA application_id");
  Statement version(connection_, "PRAGMA user_version");
  application.Step();
  version.Step();
  return application.Int(0) == kApplicationId && version.Int(0) == kSchemaVersion ? ERROR_SUCCESS : ERROR_BADDB;
}

LSTATUS RegistryDatabase::Transact(const char* begin, const std::function<LSTATUS()>& work) {
  std::lock_guard lock(mutex_);
  return Retry([&]() -> LSTATUS {
    Execute(begin);
    LSTATUS status = work();
    Execute(status == ERROR_SUCCESS ? "COMMIT" : "ROLLBACK");
    return status;
  });
}

LSTATUS RegistryDatabase::Retry(const std::function<LSTATUS()>& attempt) {
  const auto now = BusyClock::now();
  const bool backingOff = now.time_since_epoch().count() < busyUntil.load();
  sqlite3_busy_timeout(connection_, backingOff ? 0 : kBusySliceMs);
  const auto deadline = now + std::chrono::milliseconds(backingOff ? 0 : kBusyBudgetMs);
  for (int round = 1;; ++round) {
    int code = SQLITE_NOMEM;
    try {
      const LSTATUS status = attempt();
      if (backingOff) busyUntil = 0;
      return status;
    } catch (const SqliteError& error) {
      code = error.code;
    } catch (const std::bad_alloc&) {
    }
    if (!sqlite3_get_autocommit(connection_)) sqlite3_exec(connection_, "ROLLBACK", nullptr, nullptr, nullptr);
    if (!IsBusy(code)) return StatusOf(code);
    if (BusyClock::now() >= deadline) {
      if (!backingOff) busyUntil = (BusyClock::now() + kBusyBackoff).time_since_epoch().count();
      return StatusOf(code);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10 * round));
  }
}

void RegistryDatabase::Execute(const char* sql) {
  Statement(connection_, sql).Step();
}

void RegistryDatabase::Touch(KeyId key) {
  Statement(connection_, "UPDATE keys SET written = ? WHERE id = ?", static_cast<int64_t>(FileTimeNow()), key).Step();
}

bool RegistryDatabase::KeyExists(KeyId key) {
  return key == kRootId || Statement(connection_, "SELECT 1 FROM keys WHERE id = ?", key).Step();
}

std::optional<RegistryDatabase::KeyId> RegistryDatabase::FindKey(KeyId parent, std::string_view name) {
  Statement query(connection_, "SELECT id FROM keys WHERE parent = ? AND name = ?", parent, name);
  if (!query.Step()) return std::nullopt;
  return query.Int(0);
}

RegistryDatabase::KeyId RegistryDatabase::InsertKey(KeyId parent, std::string_view name) {
  Statement(connection_, "INSERT INTO keys(parent, name, written) VALUES(?, ?, ?)", parent, name,
            static_cast<int64_t>(FileTimeNow()))
      .Step();
  Touch(parent);
  return sqlite3_last_insert_rowid(connection_);
}

bool RegistryDatabase::HasSubkeys(KeyId key) {
  return Statement(connection_, "SELECT 1 FROM keys WHERE parent = ? LIMIT 1", key).Step();
}

void RegistryDatabase::DeleteKey(KeyId key) {
  Statement parent(connection_, "SELECT parent FROM keys WHERE id = ?", key);
  if (!parent.Step()) return;
  Statement(connection_, "DELETE FROM key_values WHERE key = ?", key).Step();
  Statement(connection_, "DELETE FROM keys WHERE id = ?", key).Step();
  Touch(parent.Int(0));
}

std::optional<RegistryDatabase::Subkey> RegistryDatabase::SubkeyAt(KeyId parent, DWORD index) {
  Statement query(connection_, "SELECT name, written FROM keys WHERE parent = ? ORDER BY upper(name) LIMIT 1 OFFSET ?",
                  parent, int64_t{index});
  if (!query.Step()) return std::nullopt;
  return Subkey{query.Text(0), static_cast<uint64_t>(query.Int(1))};
}

std::optional<RegistryDatabase::Value> RegistryDatabase::FindValue(KeyId key, std::string_view name) {
  Statement query(connection_, "SELECT name, type, data FROM key_values WHERE key = ? AND name = ?", key, name);
  return query.Step() ? std::optional(ValueOf(query)) : std::nullopt;
}

std::optional<RegistryDatabase::Value> RegistryDatabase::ValueAt(KeyId key, DWORD index) {
  Statement query(connection_, "SELECT name, type, data FROM key_values WHERE key = ? ORDER BY rowid LIMIT 1 OFFSET ?",
                  key, int64_t{index});
  return query.Step() ? std::optional(ValueOf(query)) : std::nullopt;
}

void RegistryDatabase::SetValue(KeyId key, std::string_view name, DWORD type, const BYTE* data, DWORD size) {
  // An update keeps the row, so the value keeps its name's first spelling and
  // its place in the enumeration, as on Windows.
  Statement(connection_,
            "INSERT INTO key_values(key, name, type, data) VALUES(?, ?, ?, ?) "
            "ON CONFLICT(key, name) DO UPDATE SET type = excluded.type, data = excluded.data",
            key, name, int64_t{type}, Statement::Blob{data, size})
      .Step();
  Touch(key);
}

bool RegistryDatabase::DeleteValue(KeyId key, std::string_view name) {
  Statement(connection_, "DELETE FROM key_values WHERE key = ? AND name = ?", key, name).Step();
  if (sqlite3_changes(connection_) == 0) return false;
  Touch(key);
  return true;
}

}  // namespace tevrin::win32
