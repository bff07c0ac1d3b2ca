#include "files/StagedFile.h"

#include <windows.h>

#include <atomic>
#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>
#include <utility>

namespace tevrin::files {
namespace {

std::atomic<unsigned> nextStage{0};

// As many links as the kernel follows in one path before it calls it a loop.
constexpr int kMaxLinkHops = 40;

// The file a save to `path` must replace. The rename that completes a save
// would replace a symbolic link itself, so the link is followed first, as
// opening it for writing would: to a file that may not exist yet, relative
// to the link's own folder. Empty for a loop or a link that cannot be read.
std::optional<std::string> FollowLinks(const std::string& path) {
  namespace fs = std::filesystem;
  fs::path current(path);
  for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
    std::error_code error;
    if (!fs::is_symlink(fs::symlink_status(current, error))) return current.string();
    const fs::path next = fs::read_symlink(current, error);
    if (error || next.empty()) return std::nullopt;
    current = current.parent_path() / next;
  }
  return std::nullopt;
}

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

StagedFile::StagedFile(const char* target) {
  if (auto followed = FollowLinks(target)) {
    target_ = std::move(*followed);
    temp_ = TempNameFor(target_);
  }
}

StagedFile::~StagedFile() {
  if (reserved_) DeleteFileA(temp_.c_str());
}

bool StagedFile::Reserve() {
  if (target_.empty()) return false;
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
