#include "files/StagedFile.h"

#include <windows.h>

#include <atomic>
#include <string_view>

namespace tevrin::files {
namespace {

std::atomic<unsigned> nextStage{0};

std::string DirectoryOf(std::string_view path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

// Hidden and short, so a long target name still leaves room for it; the
// process ID and a counter keep saves of other threads and processes apart.
std::string TempNameFor(std::string_view target) {
  return DirectoryOf(target) + ".tevrin-save-" + std::to_string(GetCurrentProcessId()) + "-" +
         std::to_string(nextStage.fetch_add(1, std::memory_order_relaxed)) + ".tmp";
}

}  // namespace

StagedFile::StagedFile(const char* target) : target_(target), temp_(TempNameFor(target_)) {}

StagedFile::~StagedFile() {
  if (reserved_) DeleteFileA(temp_.c_str());
}

bool StagedFile::Reserve() {
  HANDLE file = CreateFileA(temp_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  reserved_ = true;
  return true;
}

bool StagedFile::Commit() {
  if (!reserved_ || !MoveFileExA(temp_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING)) return false;
  reserved_ = false;
  return true;
}

}  // namespace tevrin::files
