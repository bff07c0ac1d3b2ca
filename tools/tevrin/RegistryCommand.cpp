// tevrin registry [KEY]: prints the stored settings, the key tree below a key
// of HKEY_CURRENT_USER with every value's name, type and data. Reads through
// the Win32 registry functions only, as any application would.
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "Command.h"
#include "ExitCode.h"

namespace tevrin::tool {
namespace {

constexpr const char* kDefaultKey = "Software\\Zolmex\\TevrinHalden3K5Sdk";
constexpr DWORD kKeyNameCapacity = 256;      // the longest key name and its NUL
constexpr DWORD kValueNameCapacity = 16384;  // the longest value name and its NUL
constexpr DWORD kInitialDataCapacity = 256;

struct Value {
  std::string name;
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
};

const char* TypeName(DWORD type) {
  switch (type) {
    case REG_NONE:
      return "REG_NONE";
    case REG_SZ:
      return "REG_SZ";
    case REG_EXPAND_SZ:
      return "REG_EXPAND_SZ";
    case REG_BINARY:
      return "REG_BINARY";
    case REG_DWORD:
      return "REG_DWORD";
    case REG_MULTI_SZ:
      return "REG_MULTI_SZ";
    case REG_QWORD:
      return "REG_QWORD";
    default:
      return nullptr;
  }
}

std::string Quote(std::string_view text) {
  std::string quoted = "\"";
  for (char c : text) {
    auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += c;
    } else if (std::isprint(byte) || byte >= 0x80) {  // UTF-8 passes through
      quoted += c;
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
      quoted += escaped;
    }
  }
  return quoted + '"';
}

std::string HexBytes(const std::vector<BYTE>& data) {
  std::string hex;
  for (BYTE byte : data) {
    char digits[4];
    std::snprintf(digits, sizeof digits, hex.empty() ? "%02X" : " %02X", byte);
    hex += digits;
  }
  return hex;
}

// Strings end at their first NUL; a REG_MULTI_SZ is a run of them ended by an
// empty one.
std::vector<std::string_view> Strings(const std::vector<BYTE>& data, bool multiple) {
  std::string_view rest(reinterpret_cast<const char*>(data.data()), data.size());
  std::vector<std::string_view> strings;
  while (!rest.empty()) {
    std::string_view string = rest.substr(0, rest.find('\0'));
    if (string.empty() && multiple) break;
    strings.push_back(string);
    if (!multiple) break;
    rest.remove_prefix(std::min(rest.size(), string.size() + 1));
  }
  return strings;
}

// Decimal, then hex as wide as the value (4 or 8 little-endian bytes).
std::string Number(const std::vector<BYTE>& data) {
  uint64_t number = 0;
  std::memcpy(&number, data.data(), data.size());
  char text[64];
  std::snprintf(text, sizeof text, "%" PRIu64 " (0x%0*" PRIX64 ")", number, static_cast<int>(2 * data.size()), number);
  return text;
}

std::string FormatData(const Value& value) {
  bool dword = value.type == REG_DWORD && value.data.size() == sizeof(uint32_t);
  bool qword = value.type == REG_QWORD && value.data.size() == sizeof(uint64_t);
  if (dword || qword) return Number(value.data);
  if (value.type == REG_SZ || value.type == REG_EXPAND_SZ || value.type == REG_MULTI_SZ) {
    std::string text;
    for (std::string_view string : Strings(value.data, value.type == REG_MULTI_SZ)) {
      if (!text.empty()) text += ' ';
      text += Quote(string);
    }
    return value.type == REG_MULTI_SZ || !text.empty() ? text : "\"\"";
  }
  return HexBytes(value.data);
}

void PrintValue(const Value& value, int depth) {
  std::string line = value.name.empty() ? "(Default)" : value.name;
  line += " = ";
  line += TypeName(value.type) ? TypeName(value.type) : "type " + std::to_string(value.type);
  std::string data = FormatData(value);
  if (!data.empty()) line += " " + data;
  std::printf("%*s%s\n", 2 * depth, "", line.c_str());
}

// The value at `index`, its buffer grown until the data fits.
LSTATUS ReadValue(HKEY key, DWORD index, Value& value) {
  std::vector<char> name(kValueNameCapacity);
  value.data.resize(kInitialDataCapacity);
  for (;;) {
    DWORD nameSize = kValueNameCapacity;
    auto dataSize = static_cast<DWORD>(value.data.size());
    LSTATUS status =
        RegEnumValueA(key, index, name.data(), &nameSize, nullptr, &value.type, value.data.data(), &dataSize);
    if (status == ERROR_MORE_DATA && dataSize > value.data.size()) {
      value.data.resize(dataSize);
      continue;
    }
    if (status != ERROR_SUCCESS) return status;
    value.name.assign(name.data(), nameSize);
    value.data.resize(dataSize);
    return ERROR_SUCCESS;
  }
}

void PrintTree(HKEY key, int depth) {
  Value value;
  for (DWORD index = 0; ReadValue(key, index, value) == ERROR_SUCCESS; ++index) PrintValue(value, depth);
  char name[kKeyNameCapacity];
  for (DWORD index = 0;; ++index) {
    DWORD nameSize = sizeof name;
    if (RegEnumKeyExA(key, index, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) return;
    std::printf("%*s%s\\\n", 2 * depth, "", name);
    HKEY subkey = nullptr;
    LSTATUS status = RegOpenKeyExA(key, name, 0, KEY_READ, &subkey);
    if (status != ERROR_SUCCESS) {
      std::printf("%*s(cannot open: error %ld)\n", 2 * depth + 2, "", static_cast<long>(status));
      continue;
    }
    PrintTree(subkey, depth + 1);
    RegCloseKey(subkey);
  }
}

// Accepts the key with or without the root's name in front.
std::string_view RelativePath(std::string_view path) {
  for (std::string_view root : {"HKEY_CURRENT_USER", "HKCU"}) {
    if (path == root) return "";
    if (path.size() > root.size() && path[root.size()] == '\\' && path.substr(0, root.size()) == root) {
      return path.substr(root.size() + 1);
    }
  }
  return path;
}

int Run(int argc, char** argv) {
  if (argc > 2) {
    std::fprintf(stderr, "usage: tevrin registry [KEY]\n");
    return kExitUsage;
  }
  std::string path(RelativePath(argc == 2 ? argv[1] : kDefaultKey));
  HKEY key = nullptr;
  LSTATUS status = RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key);
  if (status == ERROR_FILE_NOT_FOUND) {
    std::fprintf(stderr, "tevrin registry: HKEY_CURRENT_USER\\%s does not exist\n", path.c_str());
    return kExitFailure;
  }
  if (status != ERROR_SUCCESS) {
    std::fprintf(stderr, "tevrin registry: cannot open HKEY_CURRENT_USER\\%s (error %ld)\n", path.c_str(),
                 static_cast<long>(status));
    return kExitFailure;
  }
  std::printf("HKEY_CURRENT_USER%s%s\n", path.empty() ? "" : "\\", path.c_str());
  PrintTree(key, 1);
  RegCloseKey(key);
  return kExitOk;
}

const CommandRegistration kRegistration{{"registry", "[KEY]",
                                         "print the settings stored below a key of HKEY_CURRENT_USER "
                                         "(default Software\\Zolmex\\TevrinHalden3K5Sdk)",
                                         Run}};

}  // namespace
}  // namespace tevrin::tool
