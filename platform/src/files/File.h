// A disk file behind a HANDLE, and the process-wide table of open files that
// enforces Windows share modes among this process's handles.
#pragma once

#include <sys/types.h>
#include <tevrin/win32/KernelObject.h>

#include <compare>
#include <mutex>

namespace tevrin::win32 {

struct FileIdentity {
  dev_t device;
  ino_t inode;
  auto operator<=>(const FileIdentity&) const = default;
};

struct FileAccess {
  bool read = false;
  bool write = false;
  DWORD share = 0;  // FILE_SHARE_* granted to later opens
};

class File final : public KernelObject {
 public:
  // Takes ownership of `fd`; the caller registers the file with OpenFiles.
  File(int fd, FileIdentity identity, FileAccess access, bool overlapped)
      : fd_(fd), identity_(identity), access_(access), overlapped_(overlapped) {}
  ~File() override;
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  int Descriptor() const { return fd_; }
  const FileIdentity& Identity() const { return identity_; }
  const FileAccess& Access() const { return access_; }
  bool Overlapped() const { return overlapped_; }

 private:
  const int fd_;
  const FileIdentity identity_;
  const FileAccess access_;
  const bool overlapped_;
};

// Windows refuses an open whose access another open does not share, or whose
// share mode does not admit another open's access, with ERROR_SHARING_VIOLATION.
// Only this process's opens are known here.
class OpenFiles {
 public:
  static OpenFiles& Instance();

  // Registers `file` unless an existing open of the same file conflicts with it.
  bool Register(const File& file);
  void Unregister(const File& file);

  // For deletes and renames that must be checked and done as one step.
  std::unique_lock<std::mutex> Lock() { return std::unique_lock(mutex_); }
  bool IsOpenLocked(const FileIdentity& identity) const;
  bool AllShareLocked(const FileIdentity& identity, DWORD shareFlag) const;

 private:
  OpenFiles() = default;
  struct Impl;
  std::mutex mutex_;
  Impl* impl_ = nullptr;
};

}  // namespace tevrin::win32
