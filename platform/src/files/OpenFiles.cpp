#include <unistd.h>

#include <map>
#include <vector>

#include "files/File.h"

namespace tevrin::win32 {

namespace {
// An open without data access (attributes only) neither meets nor imposes a share mode.
bool Conflicts(const FileAccess& existing, const FileAccess& requested) {
  bool bothTouchData = (existing.read || existing.write) && (requested.read || requested.write);
  return bothTouchData && ((requested.read && !(existing.share & FILE_SHARE_READ)) ||
                           (requested.write && !(existing.share & FILE_SHARE_WRITE)) ||
                           (existing.read && !(requested.share & FILE_SHARE_READ)) ||
                           (existing.write && !(requested.share & FILE_SHARE_WRITE)));
}
}  // namespace

File::~File() {
  OpenFiles::Instance().Unregister(*this);
  close(fd_);
}

struct OpenFiles::Impl {
  std::map<FileIdentity, std::vector<const File*>> byIdentity;
};

OpenFiles& OpenFiles::Instance() {
  // Never destroyed: handles may be closed by threads that outlive main.
  static OpenFiles* table = [] {
    auto* created = new OpenFiles;
    created->impl_ = new Impl;
    return created;
  }();
  return *table;
}

bool OpenFiles::Register(const File& file) {
  std::lock_guard lock(mutex_);
  auto& opens = impl_->byIdentity[file.Identity()];
  for (const File* open : opens) {
    if (Conflicts(open->Access(), file.Access())) return false;
  }
  opens.push_back(&file);
  return true;
}

void OpenFiles::Unregister(const File& file) {
  std::lock_guard lock(mutex_);
  auto found = impl_->byIdentity.find(file.Identity());
  if (found == impl_->byIdentity.end()) return;
  std::erase(found->second, &file);
  if (found->second.empty()) impl_->byIdentity.erase(found);
}

bool OpenFiles::IsOpenLocked(const FileIdentity& identity) const {
  return impl_->byIdentity.contains(identity);
}

bool OpenFiles::AllShareLocked(const FileIdentity& identity, DWORD shareFlag) const {
  auto found = impl_->byIdentity.find(identity);
  if (found == impl_->byIdentity.end()) return true;
  for (const File* open : found->second) {
    if (!(open->Access().share & shareFlag)) return false;
  }
  return true;
}

}  // namespace tevrin::win32
