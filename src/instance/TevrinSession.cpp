#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>

#include "instance/Tevrin.h"

int CTevrin::LoadConfigFile(const char* path) {
  std::error_code error;
  if (!path || !std::filesystem::is_regular_file(path, error)) return 0;
  std::ifstream file(path, std::ios::binary);
  if (!file) return 0;
  const std::vector<char> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  if (file.bad()) return 0;
  std::vector<ConfigRecord> records(bytes.size() / sizeof(ConfigRecord));
  if (!records.empty()) std::memcpy(records.data(), bytes.data(), records.size() * sizeof(ConfigRecord));
  std::lock_guard lock(settingsLock_);
  configList_ = std::move(records);
  return 1;
}

std::vector<ConfigRecord> CTevrin::ConfigList() {
  std::lock_guard lock(settingsLock_);
  return configList_;
}

int CTevrin::UnsupportedPostOnly() {
  PostError(TEVRIN_ERROR_UNSUPPORTED);
  return 0;
}

int CTevrin::UnsupportedRecorded(int result) {
  RecordError(TEVRIN_ERROR_UNSUPPORTED);
  return result;
}
