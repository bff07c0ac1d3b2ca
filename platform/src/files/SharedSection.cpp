#include "files/SharedSection.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <tevrin/win32/ErrorFromErrno.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace tevrin::win32 {
namespace {

constexpr off_t kGuardByte = 0;
constexpr off_t kUsersByte = 1;

bool LockByte(int fd, off_t byte, short type, bool wait) {
  struct flock lock {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  lock.l_start = byte;
  lock.l_len = 1;
  while (fcntl(fd, wait ? F_OFD_SETLKW : F_OFD_SETLK, &lock) != 0) {
    if (errno != EINTR) return false;
  }
  return true;
}

// Whether the name still leads to the object behind `fd`, or another process
// removed it between our shm_open and our taking the guard.
bool StillNamed(int fd, const std::string& objectName) {
  int current = shm_open(objectName.c_str(), O_RDONLY | O_CLOEXEC, 0);
  if (current < 0) return false;
  struct stat ours {
  }, named{};
  bool same = fstat(fd, &ours) == 0 && fstat(current, &named) == 0 && ours.st_dev == named.st_dev &&
              ours.st_ino == named.st_ino;
  close(current);
  return same;
}

// Zero-filled and backed by memory now, so a later touch cannot fault for
// want of space: Windows commits a page-file section when it is created.
DWORD Resize(int fd, uint64_t size) {
  if (ftruncate(fd, 0) != 0 || ftruncate(fd, static_cast<off_t>(size)) != 0) return ErrorFromErrno(errno);
  int error = posix_fallocate(fd, 0, static_cast<off_t>(size));
  if (error == ENOSPC || error == EFBIG) return ERROR_NOT_ENOUGH_MEMORY;
  return error == 0 || error == EOPNOTSUPP ? ERROR_SUCCESS : ErrorFromErrno(error);
}

void AppendEscaped(std::string& out, const char* text) {
  for (; *text != '\0'; ++text) {
    auto c = static_cast<unsigned char>(*text);
    bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
    if (plain) {
      out += static_cast<char>(c);
    } else {
      char escaped[4];
      std::snprintf(escaped, sizeof escaped, "%%%02X", c);
      out += escaped;
    }
  }
}

}  // namespace

SharedSection::~SharedSection() {
  if (!objectName_.empty()) {
    LockByte(fd_, kGuardByte, F_WRLCK, true);
    if (LockByte(fd_, kUsersByte, F_WRLCK, false)) shm_unlink(objectName_.c_str());
  }
  close(fd_);  // drops our locks
}

std::string SharedObjectName(const char* windowsName) {
  std::string_view name(windowsName);
  for (std::string_view prefix : {"Local\\", "Global\\"}) {
    if (name.starts_with(prefix)) name.remove_prefix(prefix.size());
  }
  std::string objectName = "/tevrin.";
  if (const char* space = std::getenv("TEVRIN_NAMESPACE"); space != nullptr && *space != '\0') {
    AppendEscaped(objectName, space);
    objectName += '.';
  }
  AppendEscaped(objectName, std::string(name).c_str());
  return objectName;
}

SectionResult CreateUnnamedSection(uint64_t size) {
  int fd = memfd_create("tevrin-section", MFD_CLOEXEC);
  if (fd < 0) return {nullptr, ErrorFromErrno(errno)};
  if (DWORD error = Resize(fd, size); error != ERROR_SUCCESS) {
    close(fd);
    return {nullptr, error};
  }
  return {std::make_shared<SharedSection>(fd, size, std::string()), ERROR_SUCCESS};
}

SectionResult AcquireNamedSection(const std::string& objectName, bool create, uint64_t size) {
  for (;;) {
    int fd = shm_open(objectName.c_str(), O_RDWR | O_CLOEXEC | (create ? O_CREAT : 0), 0600);
    if (fd < 0) return {nullptr, ErrorFromErrno(errno)};
    if (!LockByte(fd, kGuardByte, F_WRLCK, true)) {
      DWORD error = ErrorFromErrno(errno);
      close(fd);
      return {nullptr, error};
    }
    if (!StillNamed(fd, objectName)) {
      close(fd);
      continue;
    }
    bool onlyUser = LockByte(fd, kUsersByte, F_WRLCK, false);
    DWORD result = onlyUser ? ERROR_SUCCESS : ERROR_ALREADY_EXISTS;
    if (onlyUser) {
      // New, or left behind by processes that died: nobody can see its contents.
      DWORD error = create ? Resize(fd, size) : ERROR_FILE_NOT_FOUND;
      if (error != ERROR_SUCCESS) {
        shm_unlink(objectName.c_str());
        close(fd);
        return {nullptr, error};
      }
    }
    // Turns our exclusive users lock into a shared one in one step, or joins
    // the other users; no one else holds it exclusively while we hold the guard.
    LockByte(fd, kUsersByte, F_RDLCK, true);
    struct stat status {};
    fstat(fd, &status);
    LockByte(fd, kGuardByte, F_UNLCK, false);
    auto section = std::make_shared<SharedSection>(fd, static_cast<uint64_t>(status.st_size), objectName);
    return {std::move(section), result};
  }
}

}  // namespace tevrin::win32
