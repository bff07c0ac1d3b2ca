// CreateFileA on disk files, ReadFile, WriteFile, SetFilePointer, GetFileSize,
// SetEndOfFile and FlushFileBuffers. Device interface paths go to the driver registry.
#include <fcntl.h>
#include <sys/stat.h>
#include <tevrin/win32/Driver.h>
#include <tevrin/win32/ErrorFromErrno.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <string>

#include "files/File.h"

namespace tevrin::win32 {
namespace {

bool IsDevicePath(const char* path) {
  return path[0] == '\\' && path[1] == '\\' && (path[2] == '?' || path[2] == '.') && path[3] == '\\';
}

// Linux says ENOENT both for a missing file and for a missing directory on the
// way to it; Windows tells them apart.
DWORD OpenError(const char* path, int error) {
  if (error != ENOENT) return ErrorFromErrno(error);
  std::string parent(path);
  auto slash = parent.find_last_of('/');
  if (slash == std::string::npos) return ERROR_FILE_NOT_FOUND;
  parent.resize(slash == 0 ? 1 : slash);
  struct stat status {};
  bool parentIsDirectory = stat(parent.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
  return parentIsDirectory ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
}

struct Opened {
  int fd = -1;
  bool existed = false;
};

// Opens per the creation disposition; on failure fd is -1 and errno is set.
Opened OpenPath(const char* path, int accessFlags, DWORD disposition, mode_t mode) {
  int flags = accessFlags | O_CLOEXEC;
  switch (disposition) {
    case CREATE_NEW:
      return {open(path, flags | O_CREAT | O_EXCL, mode), false};
    case OPEN_EXISTING:
    case TRUNCATE_EXISTING:
      return {open(path, flags), true};
    default:  // CREATE_ALWAYS, OPEN_ALWAYS: learn whether the file was there
      for (int attempt = 0; attempt < 8; ++attempt) {
        int fd = open(path, flags | O_CREAT | O_EXCL, mode);
        if (fd >= 0 || errno != EEXIST) return {fd, false};
        fd = open(path, flags);
        if (fd >= 0 || errno != ENOENT) return {fd, true};
      }
      return {-1, false};
  }
}

int AccessFlags(const FileAccess& access, DWORD disposition) {
  if (access.read && access.write) return O_RDWR;
  if (access.write) return O_WRONLY;
  // CREATE_ALWAYS truncates even for a reader.
  return disposition == CREATE_ALWAYS ? O_RDWR : O_RDONLY;
}

HANDLE OpenDiskFile(const char* path, const FileAccess& access, DWORD disposition, DWORD flagsAndAttributes) {
  mode_t mode = (flagsAndAttributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
  Opened opened = OpenPath(path, AccessFlags(access, disposition), disposition, mode);
  if (opened.fd < 0) {
    SetLastError(OpenError(path, errno));
    return INVALID_HANDLE_VALUE;
  }
  struct stat status {};
  if (fstat(opened.fd, &status) != 0 || S_ISDIR(status.st_mode)) {
    close(opened.fd);
    SetLastError(ERROR_ACCESS_DENIED);  // a directory is not a file
    return INVALID_HANDLE_VALUE;
  }
  auto file = std::make_shared<File>(opened.fd, FileIdentity{status.st_dev, status.st_ino}, access,
                                     (flagsAndAttributes & FILE_FLAG_OVERLAPPED) != 0);
  if (!OpenFiles::Instance().Register(*file)) {
    SetLastError(ERROR_SHARING_VIOLATION);
    return INVALID_HANDLE_VALUE;
  }
  bool truncate = disposition == TRUNCATE_EXISTING || (disposition == CREATE_ALWAYS && opened.existed);
  if (truncate && ftruncate(opened.fd, 0) != 0) {
    SetLastErrorFromErrno(errno);
    return INVALID_HANDLE_VALUE;
  }
  bool reportsExisting = opened.existed && (disposition == CREATE_ALWAYS || disposition == OPEN_ALWAYS);
  SetLastError(reportsExisting ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return HandleTable::Instance().Insert(std::move(file));
}

struct Transfer {
  DWORD done = 0;
  int error = 0;
};

// Windows moves the whole request on a disk file unless it meets the end of
// the file (reads) or an error; Linux may stop early, so repeat.
template <class Step>
Transfer Repeat(DWORD count, Step step) {
  Transfer transfer;
  while (transfer.done < count) {
    ssize_t moved = step(transfer.done);
    if (moved < 0 && errno == EINTR) continue;
    if (moved < 0) {
      transfer.error = errno;
      break;
    }
    if (moved == 0) break;
    transfer.done += static_cast<DWORD>(moved);
  }
  return transfer;
}

uint64_t OffsetOf(const OVERLAPPED& overlapped) {
  return (static_cast<uint64_t>(overlapped.u.s.OffsetHigh) << 32) | overlapped.u.s.Offset;
}

enum class Direction { kRead, kWrite };

// The common body of ReadFile and WriteFile. With an OVERLAPPED the transfer
// happens at its offset and completes before returning: the result is in
// InternalHigh and the event is set, so GetOverlappedResult-style callers work.
BOOL TransferFile(Direction direction, HANDLE handle, void* buffer, DWORD count, LPDWORD transferred,
                  LPOVERLAPPED overlapped) {
  if (transferred != nullptr) *transferred = 0;
  auto file = ObjectFromHandle<File>(handle);
  if (!file) return FALSE;
  bool reading = direction == Direction::kRead;
  if (reading ? !file->Access().read : !file->Access().write) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  if ((overlapped == nullptr && (transferred == nullptr || file->Overlapped())) || (buffer == nullptr && count > 0)) {
    SetLastError(buffer == nullptr && count > 0 ? ERROR_NOACCESS : ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  int fd = file->Descriptor();
  auto* bytes = static_cast<char*>(buffer);
  std::optional<uint64_t> offset;
  if (overlapped != nullptr) offset = OffsetOf(*overlapped);
  Transfer result = Repeat(count, [&](DWORD done) -> ssize_t {
    if (offset) {
      auto at = static_cast<off_t>(*offset + done);
      return reading ? pread(fd, bytes + done, count - done, at) : pwrite(fd, bytes + done, count - done, at);
    }
    return reading ? read(fd, bytes + done, count - done) : write(fd, bytes + done, count - done);
  });
  if (!reading && result.error == 0 && result.done < count) result.error = ENOSPC;
  if (offset && !file->Overlapped()) lseek(fd, static_cast<off_t>(*offset + result.done), SEEK_SET);
  if (transferred != nullptr) *transferred = result.done;
  DWORD error = ErrorFromErrno(result.error);
  if (reading && offset && error == ERROR_SUCCESS && result.done == 0 && count > 0) error = ERROR_HANDLE_EOF;
  if (overlapped != nullptr) {
    overlapped->Internal = error;
    overlapped->InternalHigh = result.done;
    if (overlapped->hEvent != nullptr) SetEvent(overlapped->hEvent);
  }
  if (error != ERROR_SUCCESS) {
    SetLastError(error);
    return FALSE;
  }
  return TRUE;
}

// The descriptor of a file handle opened for writing, or -1 with the error set.
int WritableDescriptor(HANDLE handle) {
  auto file = ObjectFromHandle<File>(handle);
  if (!file) return -1;
  if (!file->Access().write) {
    SetLastError(ERROR_ACCESS_DENIED);
    return -1;
  }
  return file->Descriptor();
}

}  // namespace
}  // namespace tevrin::win32

using tevrin::win32::Direction;
using tevrin::win32::File;
using tevrin::win32::FileAccess;
using tevrin::win32::ObjectFromHandle;

extern "C" HANDLE WINAPI CreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD shareMode, LPSECURITY_ATTRIBUTES,
                                     DWORD creationDisposition, DWORD flagsAndAttributes, HANDLE) {
  if (fileName == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  if (tevrin::win32::IsDevicePath(fileName)) {
    return tevrin::win32::OpenDevicePath(fileName, desiredAccess, flagsAndAttributes);
  }
  FileAccess access{(desiredAccess & (GENERIC_READ | GENERIC_ALL)) != 0,
                    (desiredAccess & (GENERIC_WRITE | GENERIC_ALL)) != 0, shareMode};
  bool knownDisposition = creationDisposition >= CREATE_NEW && creationDisposition <= TRUNCATE_EXISTING;
  if (!knownDisposition || (creationDisposition == TRUNCATE_EXISTING && !access.write)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  if (*fileName == '\0') {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  return tevrin::win32::OpenDiskFile(fileName, access, creationDisposition, flagsAndAttributes);
}

extern "C" BOOL WINAPI ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead,
                                LPOVERLAPPED overlapped) {
  return tevrin::win32::TransferFile(Direction::kRead, file, buffer, bytesToRead, bytesRead, overlapped);
}

extern "C" BOOL WINAPI WriteFile(HANDLE file, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten,
                                 LPOVERLAPPED overlapped) {
  // The buffer is only read: the common body takes a mutable pointer for ReadFile's sake.
  return tevrin::win32::TransferFile(Direction::kWrite, file, const_cast<void*>(buffer), bytesToWrite, bytesWritten,
                                     overlapped);
}

extern "C" DWORD WINAPI SetFilePointer(HANDLE handle, LONG distance, PLONG distanceHigh, DWORD moveMethod) {
  auto file = ObjectFromHandle<File>(handle);
  if (!file) return INVALID_SET_FILE_POINTER;
  int64_t move = distanceHigh != nullptr
                     ? static_cast<int64_t>((static_cast<uint64_t>(static_cast<uint32_t>(*distanceHigh)) << 32) |
                                            static_cast<uint32_t>(distance))
                     : distance;
  static constexpr int kWhence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
  if (moveMethod > FILE_END) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_SET_FILE_POINTER;
  }
  int fd = file->Descriptor();
  off_t base = moveMethod == FILE_BEGIN ? 0 : lseek(fd, 0, kWhence[moveMethod]);
  if (base < 0) {
    tevrin::win32::SetLastErrorFromErrno(errno);
    return INVALID_SET_FILE_POINTER;
  }
  int64_t target = 0;
  if (__builtin_add_overflow(static_cast<int64_t>(base), move, &target) || target < 0) {
    SetLastError(ERROR_NEGATIVE_SEEK);
    return INVALID_SET_FILE_POINTER;
  }
  // Without a high part the caller can only see a 32-bit position.
  if (distanceHigh == nullptr && target > static_cast<int64_t>(UINT32_MAX - 1)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_SET_FILE_POINTER;
  }
  if (lseek(fd, static_cast<off_t>(target), SEEK_SET) < 0) {
    tevrin::win32::SetLastErrorFromErrno(errno);
    return INVALID_SET_FILE_POINTER;
  }
  if (distanceHigh != nullptr) *distanceHigh = static_cast<LONG>(static_cast<uint64_t>(target) >> 32);
  // A low part of 0xFFFFFFFF is a valid result; callers tell it apart by NO_ERROR.
  SetLastError(NO_ERROR);
  return static_cast<DWORD>(target);
}

extern "C" DWORD WINAPI GetFileSize(HANDLE handle, LPDWORD fileSizeHigh) {
  auto file = ObjectFromHandle<File>(handle);
  if (!file) return INVALID_FILE_SIZE;
  struct stat status {};
  if (fstat(file->Descriptor(), &status) != 0) {
    tevrin::win32::SetLastErrorFromErrno(errno);
    return INVALID_FILE_SIZE;
  }
  auto size = static_cast<uint64_t>(status.st_size);
  if (fileSizeHigh != nullptr) *fileSizeHigh = static_cast<DWORD>(size >> 32);
  SetLastError(NO_ERROR);
  return static_cast<DWORD>(size);
}

extern "C" BOOL WINAPI SetEndOfFile(HANDLE handle) {
  const int fd = tevrin::win32::WritableDescriptor(handle);
  if (fd < 0) return FALSE;
  const off_t position = lseek(fd, 0, SEEK_CUR);
  if (position < 0 || ftruncate(fd, position) != 0) {
    tevrin::win32::SetLastErrorFromErrno(errno);
    return FALSE;
  }
  return TRUE;
}

extern "C" BOOL WINAPI FlushFileBuffers(HANDLE handle) {
  const int fd = tevrin::win32::WritableDescriptor(handle);
  if (fd < 0) return FALSE;
  if (fsync(fd) != 0) {
    tevrin::win32::SetLastErrorFromErrno(errno);
    return FALSE;
  }
  return TRUE;
}
