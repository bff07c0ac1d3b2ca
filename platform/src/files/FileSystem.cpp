// DeleteFileA and MoveFileExA, checked against this process's open files the
// way Windows checks share modes: a save that writes a temporary file and
// renames it over the old one needs both.
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <tevrin/win32/ErrorFromErrno.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <string>

#include "files/File.h"

namespace tevrin::win32 {
namespace {

std::optional<FileIdentity> IdentityOf(const char* path) {
  struct stat status {};
  if (lstat(path, &status) != 0) return std::nullopt;
  return FileIdentity{status.st_dev, status.st_ino};
}

bool IsDirectory(const char* path) {
  struct stat status {};
  return lstat(path, &status) == 0 && S_ISDIR(status.st_mode);
}

BOOL Fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

// MOVEFILE_WRITE_THROUGH: the rename itself must reach the disk.
void SyncDirectoryOf(const char* path) {
  std::string directory(path);
  auto slash = directory.find_last_of('/');
  directory = slash == std::string::npos ? "." : directory.substr(0, slash == 0 ? 1 : slash);
  int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

// rename() that refuses to replace an existing target, atomically where the
// file system supports it.
int RenameNoReplace(const char* from, const char* to) {
  if (renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return -1;
  if (access(to, F_OK) == 0) {
    errno = EEXIST;
    return -1;
  }
  return rename(from, to);
}

}  // namespace
}  // namespace tevrin::win32

using tevrin::win32::Fail;
using tevrin::win32::IdentityOf;
using tevrin::win32::OpenFiles;

extern "C" BOOL WINAPI DeleteFileA(LPCSTR fileName) {
  if (fileName == nullptr) return Fail(ERROR_INVALID_PARAMETER);
  if (*fileName == '\0') return Fail(ERROR_PATH_NOT_FOUND);
  if (tevrin::win32::IsDirectory(fileName)) return Fail(ERROR_ACCESS_DENIED);
  auto& openFiles = OpenFiles::Instance();
  auto lock = openFiles.Lock();
  auto identity = IdentityOf(fileName);
  if (identity && !openFiles.AllShareLocked(*identity, FILE_SHARE_DELETE)) return Fail(ERROR_SHARING_VIOLATION);
  if (unlink(fileName) != 0) return Fail(tevrin::win32::ErrorFromErrno(errno));
  return TRUE;
}

extern "C" BOOL WINAPI MoveFileExA(LPCSTR existingFileName, LPCSTR newFileName, DWORD flags) {
  if (existingFileName == nullptr || newFileName == nullptr) return Fail(ERROR_INVALID_PARAMETER);
  constexpr DWORD kKnownFlags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH;
  if ((flags & ~kKnownFlags) != 0) return Fail(ERROR_INVALID_PARAMETER);
  if (*existingFileName == '\0' || *newFileName == '\0') return Fail(ERROR_PATH_NOT_FOUND);
  bool replace = (flags & MOVEFILE_REPLACE_EXISTING) != 0;
  if (replace && tevrin::win32::IsDirectory(newFileName)) return Fail(ERROR_ACCESS_DENIED);
  auto& openFiles = OpenFiles::Instance();
  auto lock = openFiles.Lock();
  auto source = IdentityOf(existingFileName);
  if (source && !openFiles.AllShareLocked(*source, FILE_SHARE_DELETE)) return Fail(ERROR_SHARING_VIOLATION);
  auto target = IdentityOf(newFileName);
  if (replace && target && target != source && openFiles.IsOpenLocked(*target)) return Fail(ERROR_ACCESS_DENIED);
  int result =
      replace ? rename(existingFileName, newFileName) : tevrin::win32::RenameNoReplace(existingFileName, newFileName);
  if (result != 0) {
    DWORD error = errno == EEXIST ? ERROR_ALREADY_EXISTS : tevrin::win32::ErrorFromErrno(errno);
    return Fail(error);
  }
  if (flags & MOVEFILE_WRITE_THROUGH) tevrin::win32::SyncDirectoryOf(newFileName);
  return TRUE;
}
