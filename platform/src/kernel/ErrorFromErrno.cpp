#include <tevrin/win32/ErrorFromErrno.h>

#include <cerrno>

namespace tevrin::win32 {

DWORD ErrorFromErrno(int error) {
  switch (error) {
    case 0:
      return ERROR_SUCCESS;
    case ENOENT:
      return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
      return ERROR_PATH_NOT_FOUND;
    case EEXIST:
      return ERROR_FILE_EXISTS;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
      return ERROR_ACCESS_DENIED;
    case ETXTBSY:
      return ERROR_SHARING_VIOLATION;
    case EBADF:
      return ERROR_INVALID_HANDLE;
    case EINVAL:
      return ERROR_INVALID_PARAMETER;
    case ENOSPC:
    case EDQUOT:
      return ERROR_DISK_FULL;
    case EFBIG:
      return ERROR_FILE_TOO_LARGE;
    case EMFILE:
    case ENFILE:
      return ERROR_TOO_MANY_OPEN_FILES;
    case ENOMEM:
      return ERROR_NOT_ENOUGH_MEMORY;
    case ENAMETOOLONG:
      return ERROR_FILENAME_EXCED_RANGE;
    case ELOOP:
      return ERROR_CANT_RESOLVE_FILENAME;
    case EXDEV:
      return ERROR_NOT_SAME_DEVICE;
    case ENOTEMPTY:
      return ERROR_DIR_NOT_EMPTY;
    case EBUSY:
      return ERROR_BUSY;
    case ESPIPE:
      return ERROR_SEEK_ON_DEVICE;
    case EFAULT:
      return ERROR_NOACCESS;
    case EIO:
      return ERROR_IO_DEVICE;
    case ENODEV:
    case ENXIO:
      return ERROR_DEV_NOT_EXIST;
    case ENOTSUP:
      return ERROR_NOT_SUPPORTED;
    default:
      return ERROR_GEN_FAILURE;
  }
}

void SetLastErrorFromErrno(int error) {
  SetLastError(ErrorFromErrno(error));
}

}  // namespace tevrin::win32
