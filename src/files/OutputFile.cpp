#include "files/OutputFile.h"

#include <utility>

namespace tevrin::files {
namespace {
// Rows are written one at a time; a buffer of many rows keeps system calls few.
constexpr size_t kStreamBuffer = 256 * 1024;
}  // namespace

OutputFile::OutputFile(const char* path) : file_(std::fopen(path, "wb")) {
  if (file_) std::setvbuf(file_, nullptr, _IOFBF, kStreamBuffer);
}

OutputFile::~OutputFile() {
  if (file_) std::fclose(file_);
}

bool OutputFile::Write(const void* data, size_t size) {
  return file_ != nullptr && std::fwrite(data, 1, size, file_) == size;
}

bool OutputFile::Close() {
  FILE* file = std::exchange(file_, nullptr);
  if (!file) return false;
  const bool written = std::fflush(file) == 0 && std::ferror(file) == 0;
  return std::fclose(file) == 0 && written;
}

}  // namespace tevrin::files
