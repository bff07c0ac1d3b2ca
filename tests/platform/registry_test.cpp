// The registry as a Windows programmer knows it: keys, values, access rights,
// enumeration and the error codes, kept in a file that survives concurrent
// processes and is never overwritten when it is not ours.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr const char* kSdkKey = "Software\\Zolmex\\TevrinHalden3K5Sdk";
constexpr const char* kWriterFlag = "--registry-writer";

struct Key {
  HKEY handle = nullptr;
  Key() = default;
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  ~Key() { Close(); }
  void Close() {
    if (handle) RegCloseKey(handle);
    handle = nullptr;
  }
  operator HKEY() const { return handle; }
};

LSTATUS CreateKey(HKEY parent, const char* path, Key& key, REGSAM access = KEY_ALL_ACCESS,
                  DWORD* disposition = nullptr) {
  key.Close();
  return RegCreateKeyExA(parent, path, 0, nullptr, 0, access, nullptr, &key.handle, disposition);
}

LSTATUS OpenKey(HKEY parent, const char* path, Key& key, REGSAM access = KEY_READ) {
  key.Close();
  return RegOpenKeyExA(parent, path, 0, access, &key.handle);
}

LSTATUS SetBytes(HKEY key, const char* name, DWORD type, std::vector<BYTE> bytes) {
  return RegSetValueExA(key, name, 0, type, bytes.data(), static_cast<DWORD>(bytes.size()));
}

LSTATUS SetDword(HKEY key, const char* name, DWORD value) {
  return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

LSTATUS SetString(HKEY key, const char* name, const std::string& text) {
  return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                        static_cast<DWORD>(text.size() + 1));
}

struct Stored {
  LSTATUS status;
  DWORD type;
  std::vector<BYTE> data;
};

Stored Query(HKEY key, const char* name) {
  Stored stored{0, 0, std::vector<BYTE>(4096)};
  auto size = static_cast<DWORD>(stored.data.size());
  stored.status = RegQueryValueExA(key, name, nullptr, &stored.type, stored.data.data(), &size);
  stored.data.resize(stored.status == ERROR_SUCCESS ? size : 0);
  return stored;
}

std::optional<DWORD> ReadDword(HKEY key, const char* name) {
  Stored stored = Query(key, name);
  if (stored.status != ERROR_SUCCESS || stored.type != REG_DWORD || stored.data.size() != 4) return std::nullopt;
  DWORD value;
  std::memcpy(&value, stored.data.data(), 4);
  return value;
}

// Every name an enumeration lists, in its order.
template <class Enumerate>
std::vector<std::string> Names(Enumerate enumerate) {
  std::vector<std::string> names;
  char name[256];
  for (DWORD index = 0;; ++index) {
    DWORD size = sizeof name;
    if (enumerate(index, name, &size) != ERROR_SUCCESS) return names;
    names.emplace_back(name, size);
  }
}

std::vector<std::string> SubkeyNames(HKEY key) {
  return Names([key](DWORD index, char* name, DWORD* size) {
    return RegEnumKeyExA(key, index, name, size, nullptr, nullptr, nullptr, nullptr);
  });
}

std::vector<std::string> ValueNames(HKEY key) {
  return Names([key](DWORD index, char* name, DWORD* size) {
    return RegEnumValueA(key, index, name, size, nullptr, nullptr, nullptr, nullptr);
  });
}

std::string ReadFile(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// Sets or unsets a variable for one scope.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const std::optional<std::string>& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    Assign(value);
  }
  ~ScopedEnvironment() { Assign(old_); }

 private:
  void Assign(const std::optional<std::string>& value) { value ? setenv(name_, value->c_str(), 1) : unsetenv(name_); }
  const char* name_;
  std::optional<std::string> old_;
};

fs::path Scratch() {
  const char* scratch = std::getenv("TEVRIN_TEST_SCRATCH");
  return scratch ? fs::path(scratch) : fs::path(testing::TempDir());
}

// Each test starts with a registry file of its own that does not exist yet.
class Registry : public testing::Test {
 protected:
  Registry() {
    auto* info = testing::UnitTest::GetInstance()->current_test_info();
    directory_ = Scratch() / (std::string(info->test_suite_name()) + "." + info->name());
    fs::remove_all(directory_);
    fs::create_directories(directory_);
    path_ = directory_ / "registry.sqlite3";
    registry_.emplace("TEVRIN_REGISTRY", path_.string());
  }

  fs::path directory_;
  fs::path path_;
  std::optional<ScopedEnvironment> registry_;
};

TEST_F(Registry, CreateOpensNestedKeysAndReportsDisposition) {
  Key created;
  DWORD disposition = 0;
  ASSERT_EQ(CreateKey(HKEY_CURRENT_USER, "Software\\Zolmex\\TevrinHalden3K5Sdk\\Camera_00", created, KEY_ALL_ACCESS,
                      &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
  EXPECT_EQ(SetDword(created, "Gain", 16), ERROR_SUCCESS);

  Key again;
  ASSERT_EQ(CreateKey(HKEY_CURRENT_USER, "software\\ZOLMEX\\tevrinhalden3k5sdk\\camera_00", again, KEY_ALL_ACCESS,
                      &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
  EXPECT_EQ(ReadDword(again, "GAIN"), 16u) << "the same key, whatever the case";

  Key sdk;
  ASSERT_EQ(OpenKey(HKEY_CURRENT_USER, kSdkKey, sdk), ERROR_SUCCESS) << "parents were created on the way";
  EXPECT_EQ(SubkeyNames(sdk), std::vector<std::string>{"Camera_00"}) << "stored with its first spelling";
  Key relative;
  ASSERT_EQ(OpenKey(sdk, "Camera_00", relative), ERROR_SUCCESS);
  EXPECT_EQ(ReadDword(relative, "Gain"), 16u);
  for (const char* same : {"", static_cast<const char*>(nullptr)}) {
    Key self;
    ASSERT_EQ(OpenKey(relative, same, self), ERROR_SUCCESS) << "an empty path opens the key again";
    EXPECT_NE(self.handle, relative.handle);
    EXPECT_EQ(ReadDword(self, "Gain"), 16u);
  }

  Key missing;
  missing.handle = reinterpret_cast<HKEY>(0x1234);
  EXPECT_EQ(RegOpenKeyExA(sdk, "Camera_01", 0, KEY_READ, &missing.handle), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(missing.handle, nullptr) << "a failed open clears the result";
  EXPECT_TRUE(fs::exists(path_));
}

TEST_F(Registry, PathsFollowWindowsSyntax) {
  struct Case {
    const char* path;
    LSTATUS create;
  };
  const std::string longest(255, 'k');
  const std::string tooLong(256, 'k');
  for (const Case& c : {Case{"\\Software", ERROR_BAD_PATHNAME}, Case{"Software\\\\Tevrin", ERROR_BAD_PATHNAME},
                        Case{"Software\\Trailing\\", ERROR_SUCCESS}, Case{longest.c_str(), ERROR_SUCCESS},
                        Case{tooLong.c_str(), ERROR_INVALID_PARAMETER}}) {
    SCOPED_TRACE(c.path);
    Key key;
    EXPECT_EQ(CreateKey(HKEY_CURRENT_USER, c.path, key), c.create);
  }
  Key trailing;
  EXPECT_EQ(OpenKey(HKEY_CURRENT_USER, "Software\\Trailing", trailing), ERROR_SUCCESS);
  Key root;
  ASSERT_EQ(OpenKey(HKEY_CURRENT_USER, "", root), ERROR_SUCCESS);
  EXPECT_EQ(SubkeyNames(root), (std::vector<std::string>{longest, "Software"}));
}

TEST_F(Registry, ValuesRoundTripAsStored) {
  Key key;
  ASSERT_EQ(CreateKey(HKEY_CURRENT_USER, kSdkKey, key), ERROR_SUCCESS);
  struct Case {
    const char* name;
    DWORD type;
    std::vector<BYTE> bytes;
  };
  const Case cases[] = {
      {"Dword", REG_DWORD, {0x78, 0x56, 0x34, 0x12}},
      {"ShortDword", REG_DWORD, {0x01, 0x02}},  // Windows stores what it is given
      {"Binary", REG_BINARY, {0x00, 0xFF, 0x10, 0x00}},
      {"Empty", REG_BINARY, {}},
      {"Text", REG_SZ, {'a', 'b', 0}},
      {"Multi", REG_MULTI_SZ, {'a', 0, 'b', 0, 0}},
      {"Qword", REG_QWORD, {1, 2, 3, 4, 5, 6, 7, 8}},
      {"Custom", 0x12345, {9}},
      {"", REG_SZ, {'d', 0}},
  };
  for (const Case& c : cases) ASSERT_EQ(SetBytes(key, c.name, c.type, c.bytes), ERROR_SUCCESS) << c.name;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Stored stored = Query(key, c.name);
    EXPECT_EQ(stored.status, ERROR_SUCCESS);
    EXPECT_EQ(stored.type, c.type);
    EXPECT_EQ(stored.data, c.bytes);
  }
  EXPECT_EQ(Query(key, nullptr).data, (std::vector<BYTE>{'d', 0})) << "null and empty name: the default value";
  EXPECT_EQ(RegSetValueExA(key, "NoBytes", 0, REG_BINARY, nullptr, 0), ERROR_SUCCESS);
  EXPECT_EQ(Query(key, "NoBytes").data.size(), 0u);
  EXPECT_EQ(RegSetValueExA(key, "Null", 0, REG_BINARY, nullptr, 4), ERROR_NOACCESS);
  EXPECT_EQ(Query(key, "Null").status, ERROR_FILE_NOT_FOUND);

  ASSERT_EQ(SetDword(key, "DWORD", 7), ERROR_SUCCESS);
  EXPECT_EQ(ReadDword(key, "Dword"), 7u) << "names are case-insensitive";
  EXPECT_EQ(ValueNames(key), (std::vector<std::string>{"Dword", "ShortDword", "Binary", "Empty", "Text", "Multi",
                                                       "Qword", "Custom", "", "NoBytes"}))
      << "an overwritten value keeps its spelling and place";
  EXPECT_EQ(RegDeleteValueA(key, "binary"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValueA(key, "Binary"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(Query(key, "Binary").status, ERROR_FILE_NOT_FOUND);
  // Only ASCII letters fold, as the ANSI functions see names here.
  ASSERT_EQ(SetDword(key, "\xC3\xA4", 1), ERROR_SUCCESS);
  EXPECT_EQ(Query(key, "\xC3\x84").status, ERROR_FILE_NOT_FOUND);
}

TEST_F(Registry, QueryFollowsTheBufferRules) {
  Key key;
  ASSERT_EQ(CreateKey(HKEY_CURRENT_USER, kSdkKey, key), ERROR_SUCCESS);
  ASSERT_EQ(SetString(key, "Name", "camera"), ERROR_SUCCESS);
  ASSERT_EQ(SetBytes(key, "Bare", REG_SZ, {'a', 'b', 'c'}), ERROR_SUCCESS);  // stored without its NUL

  DWORD type = 0;
  DWORD size = 0;
  EXPECT_EQ(RegQueryValueExA(key, "Name", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(size, 7u) << "the size counts the NUL";
  EXPECT_EQ(RegQueryValueExA(key, "Name", nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);

  struct Case {
    const char* label;
    const char* name;
    DWORD capacity;
    LSTATUS status;
    DWORD size;
    std::string buffer;  // afterwards, from a buffer filled with '#'
  };
  for (const Case& c : {Case{"short", "Name", 6, ERROR_MORE_DATA, 7, "########"},
                        Case{"exact", "Name", 7, ERROR_SUCCESS, 7, std::string("camera\0#", 8)},
                        Case{"bare exact", "Bare", 3, ERROR_SUCCESS, 3, "abc#####"},
                        Case{"bare with room", "Bare", 8, ERROR_SUCCESS, 3, std::string("abc\0####", 8)},
                        Case{"missing", "Nothing", 8, ERROR_FILE_NOT_FOUND, 8, "########"}}) {
    SCOPED_TRACE(c.label);
    std::string buffer(8, '#');
    size = c.capacity;
    EXPECT_EQ(RegQueryValueExA(key, c.name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer.data()), &size), c.status);
    EXPECT_EQ(size, c.size);
    EXPECT_EQ(buffer, c.buffer);
  }
  DWORD reserved = 0;
  BYTE byte = 0;
  EXPECT_EQ(RegQueryValueExA(key, "Name", &reserved, nullptr, nullptr, &size), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegQueryValueExA(key, "Name", nullptr, nullptr, &byte, nullptr), ERROR_INVALID_PARAMETER);
}

TEST_F(Registry, AccessRightsOfTheHandleDecide) {
  Key setup;
  ASSERT_EQ(CreateKey(HKEY_CURRENT_USER, kSdkKey, setup), ERROR_SUCCESS);
  ASSERT_EQ(SetDword(setup, "Gain", 1), ERROR_SUCCESS);
  Key existing;
  ASSERT_EQ(CreateKey(setup, "Existing", existing), ERROR_SUCCESS);
  struct Case {
    const char* label;
    REGSAM access;
    LSTATUS read;   // query and enumerate values
    LSTATUS write;  // set and delete values, create subkeys
    LSTATUS enumerate;
  };
  for (const Case& c : {Case{"read", KEY_READ, ERROR_SUCCESS, ERROR_ACCESS_DENIED, ERROR_SUCCESS},
                        Case{"write", KEY_WRITE, ERROR_ACCESS_DENIED, ERROR_SUCCESS, ERROR_ACCESS_DENIED},
                        Case{"all", KEY_ALL_ACCESS, ERROR_SUCCESS, ERROR_SUCCESS, ERROR_SUCCESS},
                        Case{"query only", KEY_QUERY_VALUE, ERROR_SUCCESS, ERROR_ACCESS_DENIED, ERROR_ACCESS_DENIED},
                        Case{"none", 0, ERROR_ACCESS_DENIED, ERROR_ACCESS_DENIED, ERROR_ACCESS_DENIED}}) {
    SCOPED_TRACE(c.label);
    Key key;
    ASSERT_EQ(OpenKey(HKEY_CURRENT_USER, kSdkKey, key, c.access), ERROR_SUCCESS);
    DWORD size = 0;
    char name[16];
    DWORD nameSize = sizeof name;
    EXPECT_EQ(RegQueryValueExA(key, "Gain", nullptr, nullptr, nullptr, &size), c.read);
    EXPECT_EQ(RegEnumValueA(key, 0, name, &nameSize, nullptr, nullptr, nullptr, nullptr), c.read);
    EXPECT_EQ(SetDword(key, "Written", 2), c.write);
    EXPECT_EQ(RegDeleteValueA(key, "Written"), c.write);
    Key child;
    EXPECT_EQ(CreateKey(key, "Child", child), c.write);
    nameSize = sizeof name;
    EXPECT_EQ(RegEnumKeyExA(key, 0, name, &nameSize, nullptr, nullptr, nullptr, nullptr), c.enumerate);
    RegDeleteKeyA(setup, "Child");
  }
  EXPECT_EQ(ReadDword(setup, "Gain"), 1u);
}

TEST_F(Registry, DeleteKeyNeedsALeafAndInvalidatesItsHandles) {
  Key camera;
  ASSERT_EQ(CreateKey(HKEY_CURRENT_USER, "Software\\Zolmex\\TevrinHalden3K5Sdk\\Camera_00\\Size_00", camera),
            ERROR_SUCCESS);
  ASSERT_EQ(SetDword(camera, "TH", 640), ERROR_SUCCESS);
  Key sdk;
  ASSERT_EQ(OpenKey(HKEY_CURRENT_USER, kSdkKey, sdk, KEY_READ), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKeyA(sdk, "Camera_00"), ERROR_ACCESS_DENIED) << "it has a subkey";
  EXPECT_EQ(RegDeleteKeyA(sdk, "Camera_07"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegDeleteKeyA(sdk, nullptr), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, ""), ERROR_ACCESS_DENIED) << "the root stays";
  EXPECT_EQ(RegDeleteKeyA(sdk, "camera_00\\SIZE_00"), ERROR_SUCCESS) << "a path, by a read-only parent, as Windows";

  DWORD size = 0;
  char name[16];
  DWORD nameSize = sizeof name;
  Key child;
  EXPECT_EQ(RegQueryValueExA(camera, "TH", nullptr, nullptr, nullptr, &size), ERROR_KEY_DELETED);
  EXPECT_EQ(SetDword(camera, "TV", 512), ERROR_KEY_DELETED);
  EXPECT_EQ(RegDeleteValueA(camera, "TH"), ERROR_KEY_DELETED);
  EXPECT_EQ(RegEnumValueA(camera, 0, name, &nameSize, nullptr, nullptr, nullptr, nullptr), ERROR_KEY_DELETED);
  EXPECT_EQ(RegEnumKeyExA(camera, 0, name, &nameSize, nullptr, nullptr, nullptr, nullptr), ERROR_KEY_DELETED);
  EXPECT_EQ(CreateKey(camera, "Child", child), ERROR_KEY_DELETED);
  EXPECT_EQ(OpenKey(camera, "", child), ERROR_KEY_DELETED);

  Key recreated;
  DWORD disposition = 0;
  ASSERT_EQ(CreateKey(sdk.handle, "Camera_00\\Size_00", recreated, KEY_ALL_ACCESS, &disposition), ERROR_ACCESS_DENIED)
      << "creating needs KEY_CREATE_SUB_KEY on the parent";
  ASSERT_EQ(CreateKey(HKEY_CURRENT_USER, "Software\\Zolmex\\TevrinHalden3K5Sdk\\Camera_00\\Size_00", recreated,
                      KEY_ALL_ACCESS, &disposition),
            ERROR_SUCCESS);
  EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
  EXPECT_EQ(Query(recreated, "TH").status, ERROR_FILE_NOT_FOUND) << "values went with the key";
  EXPECT_EQ(SetDword(camera, "TV", 512), ERROR_KEY_DELETED) << "an old handle does not reach the new key";
  EXPECT_EQ(RegCloseKey(camera.handle), ERROR_SUCCESS) << "closing a deleted key's handle is fine";
  camera.handle = nullptr;

  // Deleting a key through its own handle needs DELETE access.
  Key writeOnly;
  ASSERT_EQ(
      OpenKey(HKEY_CURRENT_USER, "Software\\Zolmex\\TevrinHalden3K5Sdk\\Camera_00\\Size_00", writeOnly, KEY_WRITE),
      ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKeyA(writeOnly, ""), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteKeyA(recreated, ""), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKeyA(recreated, ""), ERROR_KEY_DELETED);
}

TEST_F(Registry, EnumerationFollowsWindowsOrderAndSizes) {
  Key key;
  ASSERT_EQ(CreateKey(HKEY_CURRENT_USER, kSdkKey, key), ERROR_SUCCESS);
  for (const char* name : {"b", "_x", "Z", "A", "Camera_01", "Camera_00"}) {
    Key child;
    ASSERT_EQ(CreateKey(key, name, child), ERROR_SUCCESS);
  }
  // Windows compares names in upper case: '_' sorts after the letters.
  EXPECT_EQ(SubkeyNames(key), (std::vector<std::string>{"A", "b", "Camera_00", "Camera_01", "Z", "_x"}));

  const auto fileTimeNow = [] {
    auto since1970 = std::chrono::system_clock::now().time_since_epoch();
    return 116444736000000000ull + std::chrono::duration_cast<std::chrono::nanoseconds>(since1970).count() / 100;
  };
  char name[16];
  std::memset(name, '#', sizeof name);
  DWORD size = 9;  // "Camera_00" needs 10 with its NUL
  EXPECT_EQ(RegEnumKeyExA(key, 2, name, &size, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
  EXPECT_EQ(size, 9u);
  EXPECT_EQ(name[0], '#') << "a short buffer stays untouched";
  size = 10;
  char keyClass[4] = "xyz";
  DWORD classSize = sizeof keyClass;
  uint64_t written = 0;
  EXPECT_EQ(RegEnumKeyExA(key, 2, name, &size, nullptr, keyClass, &classSize, &written), ERROR_SUCCESS);
  EXPECT_STREQ(name, "Camera_00");
  EXPECT_EQ(size, 9u) << "the NUL is not counted on the way out";
  EXPECT_STREQ(keyClass, "");
  EXPECT_EQ(classSize, 0u);
  EXPECT_GT(written, fileTimeNow() - 600'000'000ull) << "last write time as FILETIME, within the last minute";
  EXPECT_LE(written, fileTimeNow());
  size = sizeof name;
  EXPECT_EQ(RegEnumKeyExA(key, 6, name, &size, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);

  ASSERT_EQ(SetDword(key, "Second", 2), ERROR_SUCCESS);
  ASSERT_EQ(SetString(key, "LongerName", "abc"), ERROR_SUCCESS);
  DWORD type = 0;
  DWORD dataSize = 0;
  BYTE data[8] = {};
  size = 10;  // "LongerName" needs 11
  EXPECT_EQ(RegEnumValueA(key, 1, name, &size, nullptr, &type, nullptr, &dataSize), ERROR_MORE_DATA);
  EXPECT_EQ(size, 10u);
  EXPECT_EQ(type, REG_SZ) << "type and data size come back with a short name buffer";
  EXPECT_EQ(dataSize, 4u);
  size = sizeof name;
  dataSize = 3;
  EXPECT_EQ(RegEnumValueA(key, 1, name, &size, nullptr, &type, data, &dataSize), ERROR_MORE_DATA);
  EXPECT_EQ(dataSize, 4u);
  EXPECT_EQ(data[0], 0) << "a short data buffer stays untouched";
  dataSize = sizeof data;
  size = sizeof name;
  EXPECT_EQ(RegEnumValueA(key, 1, name, &size, nullptr, &type, data, &dataSize), ERROR_SUCCESS);
  EXPECT_STREQ(name, "LongerName");
  EXPECT_EQ(size, 10u);
  EXPECT_STREQ(reinterpret_cast<char*>(data), "abc");
  EXPECT_EQ(dataSize, 4u);
  size = sizeof name;
  EXPECT_EQ(RegEnumValueA(key, 2, name, &size, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
  ASSERT_EQ(RegDeleteValueA(key, "Second"), ERROR_SUCCESS);
  EXPECT_EQ(ValueNames(key), std::vector<std::string>{"LongerName"}) << "later values move up";
}

TEST_F(Registry, BadHandlesAndArgumentsFailCleanly) {
  Key valid;
  ASSERT_EQ(CreateKey(HKEY_CURRENT_USER, kSdkKey, valid), ERROR_SUCCESS);
  HKEY closed = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kSdkKey, 0, KEY_READ, &closed), ERROR_SUCCESS);
  ASSERT_EQ(RegCloseKey(closed), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(closed), ERROR_INVALID_HANDLE);
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  struct Case {
    const char* label;
    HKEY key;
    LSTATUS status;
  };
  for (const Case& c : {Case{"null", nullptr, ERROR_INVALID_HANDLE}, Case{"closed", closed, ERROR_INVALID_HANDLE},
                        Case{"event", reinterpret_cast<HKEY>(event), ERROR_INVALID_HANDLE},
                        Case{"garbage", reinterpret_cast<HKEY>(0x7ffff000), ERROR_INVALID_HANDLE},
                        Case{"local machine", HKEY_LOCAL_MACHINE, ERROR_FILE_NOT_FOUND},
                        Case{"classes root", HKEY_CLASSES_ROOT, ERROR_FILE_NOT_FOUND},
                        Case{"users", HKEY_USERS, ERROR_FILE_NOT_FOUND}}) {
    SCOPED_TRACE(c.label);
    Key key;
    DWORD size = 4;
    DWORD value = 0;
    char name[8];
    EXPECT_EQ(OpenKey(c.key, "Software", key), c.status);
    EXPECT_EQ(CreateKey(c.key, "Software", key), c.status);
    EXPECT_EQ(RegQueryValueExA(c.key, "Gain", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size), c.status);
    EXPECT_EQ(SetDword(c.key, "Gain", 1), c.status);
    EXPECT_EQ(RegDeleteValueA(c.key, "Gain"), c.status);
    EXPECT_EQ(RegDeleteKeyA(c.key, "Software"), c.status);
    EXPECT_EQ(RegEnumKeyExA(c.key, 0, name, &size, nullptr, nullptr, nullptr, nullptr), c.status);
    EXPECT_EQ(RegEnumValueA(c.key, 0, name, &size, nullptr, nullptr, nullptr, nullptr), c.status);
  }
  EXPECT_EQ(RegCloseKey(reinterpret_cast<HKEY>(event)), ERROR_INVALID_HANDLE);
  EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT) << "the event survived";
  CloseHandle(event);
  for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) EXPECT_EQ(RegCloseKey(root), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(nullptr), ERROR_INVALID_HANDLE);

  char name[8];
  DWORD size = sizeof name;
  DWORD reserved = 0;
  BYTE data[4];
  EXPECT_EQ(RegOpenKeyExA(valid, "", 0, KEY_READ, nullptr), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegCreateKeyExA(valid, "X", 0, nullptr, 0, KEY_READ, nullptr, nullptr, nullptr), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegCreateKeyExA(valid, nullptr, 0, nullptr, 0, KEY_READ, nullptr, &closed, nullptr),
            ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegEnumKeyExA(valid, 0, nullptr, &size, nullptr, nullptr, nullptr, nullptr), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegEnumKeyExA(valid, 0, name, nullptr, nullptr, nullptr, nullptr, nullptr), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegEnumKeyExA(valid, 0, name, &size, &reserved, nullptr, nullptr, nullptr), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegEnumValueA(valid, 0, nullptr, &size, nullptr, nullptr, nullptr, nullptr), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegEnumValueA(valid, 0, name, &size, nullptr, nullptr, data, nullptr), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(SetDword(valid, std::string(16384, 'v').c_str(), 1), ERROR_INVALID_PARAMETER);
}

TEST_F(Registry, EnvironmentChoosesTheFileWhenARootIsOpened) {
  Key first;
  ASSERT_EQ(CreateKey(HKEY_CURRENT_USER, kSdkKey, first), ERROR_SUCCESS);
  ASSERT_EQ(SetDword(first, "File", 1), ERROR_SUCCESS);

  struct Case {
    const char* label;
    std::optional<std::string> registry, config, home;
    fs::path expected;
  };
  const fs::path other = directory_ / "other" / "deeper" / "registry.sqlite3";
  const Case cases[] = {
      {"TEVRIN_REGISTRY", other.string(), std::nullopt, std::nullopt, other},
      {"XDG_CONFIG_HOME", std::nullopt, (directory_ / "xdg").string(), std::nullopt,
       directory_ / "xdg/tevrin/registry.sqlite3"},
      {"HOME", "", "relative/ignored", (directory_ / "home").string(),
       directory_ / "home/.config/tevrin/registry.sqlite3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    ScopedEnvironment registry("TEVRIN_REGISTRY", c.registry);
    ScopedEnvironment config("XDG_CONFIG_HOME", c.config);
    ScopedEnvironment home("HOME", c.home);
    Key key;
    ASSERT_EQ(CreateKey(HKEY_CURRENT_USER, kSdkKey, key), ERROR_SUCCESS);
    EXPECT_EQ(Query(key, "File").status, ERROR_FILE_NOT_FOUND) << "a fresh registry";
    ASSERT_EQ(SetDword(key, "File", 2), ERROR_SUCCESS);
    EXPECT_TRUE(fs::exists(c.expected));
    EXPECT_EQ(ReadDword(first, "File"), 1u) << "an open key stays with its file";
    ASSERT_EQ(SetDword(first, "Other", 3), ERROR_SUCCESS);
    EXPECT_EQ(Query(key, "Other").status, ERROR_FILE_NOT_FOUND);
  }
  Key reopened;
  ASSERT_EQ(OpenKey(HKEY_CURRENT_USER, kSdkKey, reopened), ERROR_SUCCESS);
  EXPECT_EQ(ReadDword(reopened, "File"), 1u);

  ScopedEnvironment registry("TEVRIN_REGISTRY", std::nullopt);
  ScopedEnvironment config("XDG_CONFIG_HOME", std::nullopt);
  ScopedEnvironment home("HOME", std::nullopt);
  EXPECT_EQ(OpenKey(HKEY_CURRENT_USER, kSdkKey, reopened), ERROR_CANTOPEN) << "nowhere to keep a registry";
}

TEST_F(Registry, ValuesSurviveReopeningTheFile) {
  {
    Key key;
    ASSERT_EQ(CreateKey(HKEY_CURRENT_USER, kSdkKey, key), ERROR_SUCCESS);
    ASSERT_EQ(SetDword(key, "Persisted", 99), ERROR_SUCCESS);
  }
  // With every handle closed the connection is gone; a file moved into
  // place is the registry from then on.
  fs::path moved = directory_ / "moved.sqlite3";
  fs::rename(path_, moved);
  Key fresh;
  ASSERT_EQ(CreateKey(HKEY_CURRENT_USER, kSdkKey, fresh), ERROR_SUCCESS);
  EXPECT_EQ(Query(fresh, "Persisted").status, ERROR_FILE_NOT_FOUND);
  fresh.Close();
  fs::rename(moved, path_);
  Key reopened;
  ASSERT_EQ(OpenKey(HKEY_CURRENT_USER, kSdkKey, reopened), ERROR_SUCCESS);
  EXPECT_EQ(ReadDword(reopened, "Persisted"), 99u);
}

TEST_F(Registry, DamagedOrForeignFilesAreReportedAndLeftAlone) {
  {
    Key key;
    ASSERT_EQ(CreateKey(HKEY_CURRENT_USER, kSdkKey, key), ERROR_SUCCESS);
    for (DWORD i = 0; i < 200; ++i) ASSERT_EQ(SetDword(key, ("Value" + std::to_string(i)).c_str(), i), ERROR_SUCCESS);
  }
  const std::string good = ReadFile(path_);
  ASSERT_GT(good.size(), 8192u);
  std::string foreign = good;
  foreign[68] ^= 0x5A;  // another application id: a database, but not ours
  std::string damaged = good.substr(0, 4096) + std::string(good.size() - 4096, '\xA5');
  struct Case {
    const char* label;
    std::string bytes;
    LSTATUS status;
  };
  for (const Case& c :
       {Case{"one byte", "x", ERROR_BADDB}, Case{"text", std::string(5000, 'g'), ERROR_BADDB},
        Case{"foreign", foreign, ERROR_BADDB}, Case{"damaged pages", damaged, ERROR_REGISTRY_CORRUPT}}) {
    SCOPED_TRACE(c.label);
    WriteFile(path_, c.bytes);
    Key key;
    EXPECT_EQ(OpenKey(HKEY_CURRENT_USER, kSdkKey, key), c.status);
    EXPECT_EQ(CreateKey(HKEY_CURRENT_USER, "Software\\New", key), c.status);
    EXPECT_EQ(SetDword(HKEY_CURRENT_USER, "Root", 1), c.status);
    EXPECT_EQ(ReadFile(path_), c.bytes) << "the file is never replaced";
  }
  WriteFile(path_, good);
  Key key;
  ASSERT_EQ(OpenKey(HKEY_CURRENT_USER, kSdkKey, key), ERROR_SUCCESS) << "nothing of the damage lingers";
  EXPECT_EQ(ReadDword(key, "Value199"), 199u);

  ScopedEnvironment directory("TEVRIN_REGISTRY", directory_.string());
  EXPECT_EQ(OpenKey(HKEY_CURRENT_USER, kSdkKey, key), ERROR_CANTOPEN) << "a directory";
  ScopedEnvironment belowFile("TEVRIN_REGISTRY", (path_ / "registry.sqlite3").string());
  EXPECT_EQ(OpenKey(HKEY_CURRENT_USER, kSdkKey, key), ERROR_CANTOPEN) << "below a file";
}

TEST_F(Registry, ThreadsWritingAtOnceLoseNothing) {
  constexpr int kThreads = 4;
  constexpr int kValues = 50;
  Key shared;
  ASSERT_EQ(CreateKey(HKEY_CURRENT_USER, kSdkKey, shared), ERROR_SUCCESS);
  std::vector<std::thread> threads;
  std::vector<DWORD> dispositions(kThreads);
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      Key own;
      // Odd threads share one handle, even ones open their own.
      EXPECT_EQ(CreateKey(HKEY_CURRENT_USER, "Software\\Zolmex\\TevrinHalden3K5Sdk\\Race", own, KEY_ALL_ACCESS,
                          &dispositions[t]),
                ERROR_SUCCESS);
      HKEY key = t % 2 ? shared.handle : own.handle;
      for (int i = 0; i < kValues; ++i) {
        EXPECT_EQ(SetDword(key, ("T" + std::to_string(t) + "_" + std::to_string(i)).c_str(), i), ERROR_SUCCESS);
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(std::count(dispositions.begin(), dispositions.end(), REG_CREATED_NEW_KEY), 1);
  EXPECT_EQ(ValueNames(shared).size(), size_t{kThreads / 2 * kValues});
  Key race;
  ASSERT_EQ(OpenKey(shared, "Race", race), ERROR_SUCCESS);
  EXPECT_EQ(ValueNames(race).size(), size_t{kThreads / 2 * kValues});
}

// The child half of the process test: writes `count` values named
// <prefix>_<i> into the SDK key of the registry the environment names.
int RunWriter(const char* prefix, int count) {
  Key key;
  if (CreateKey(HKEY_CURRENT_USER, kSdkKey, key) != ERROR_SUCCESS) return 1;
  for (int i = 0; i < count; ++i) {
    if (SetDword(key, (std::string(prefix) + "_" + std::to_string(i)).c_str(), i) != ERROR_SUCCESS) return 2;
  }
  return 0;
}

pid_t SpawnWriter(const char* prefix, int count) {
  std::string countText = std::to_string(count);
  std::string self = fs::read_symlink("/proc/self/exe").string();
  char* argv[] = {self.data(), const_cast<char*>(kWriterFlag), const_cast<char*>(prefix), countText.data(), nullptr};
  pid_t child = 0;
  return posix_spawn(&child, self.c_str(), nullptr, nullptr, argv, environ) == 0 ? child : -1;
}

TEST_F(Registry, ProcessesWritingAtOnceLoseNothing) {
  constexpr int kValues = 150;
  const char* prefixes[] = {"first", "second"};
  std::vector<pid_t> children;
  for (const char* prefix : prefixes) children.push_back(SpawnWriter(prefix, kValues));
  EXPECT_EQ(RunWriter("parent", kValues), 0);
  for (pid_t child : children) {
    ASSERT_GT(child, 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
  }
  Key key;
  ASSERT_EQ(OpenKey(HKEY_CURRENT_USER, kSdkKey, key), ERROR_SUCCESS);
  for (const char* prefix : {"first", "second", "parent"}) {
    for (int i = 0; i < kValues; ++i) {
      std::string name = std::string(prefix) + "_" + std::to_string(i);
      ASSERT_EQ(ReadDword(key, name.c_str()), DWORD(i)) << name;
    }
  }
  EXPECT_EQ(ValueNames(key).size(), size_t{3 * kValues});
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], kWriterFlag) == 0) return RunWriter(argv[2], std::atoi(argv[3]));
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
