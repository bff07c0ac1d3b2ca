// A file opened for writing through the C library's streams. A write that
// fails (disk full, size limit) is remembered, so Close() can say whether the
// whole file reached the disk; the destructor closes a file left open.
#pragma once

#include <cstddef>
#include <cstdio>

namespace tevrin::files {

class OutputFile {
 public:
  explicit OutputFile(const char* path);
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  ~OutputFile();

  explicit operator bool() const { return file_ != nullptr; }
  FILE* get() const { return file_; }
  bool Write(const void* data, size_t size);
  // True when the file was open and every byte written reached it.
  bool Close();

 private:
  FILE* file_;
};

}  // namespace tevrin::files
