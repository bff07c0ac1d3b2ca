// Writing a file under a temporary name beside its target and renaming it
// over the target only once it is complete: a save that fails half-way
// leaves the old file (or none) instead of a truncated one that looks whole.
#pragma once

#include <string>

namespace tevrin::files {

class StagedFile {
 public:
  explicit StagedFile(const char* target);
  StagedFile(const StagedFile&) = delete;
  StagedFile& operator=(const StagedFile&) = delete;
  // Removes the temporary file unless it was committed.
  ~StagedFile();

  // Creates the empty temporary file under a name no other save uses; false
  // when the target's directory does not take new files. A target that is a
  // symbolic link stands for the file it leads to; a loop of links, or one
  // that cannot be read, is refused here.
  bool Reserve();
  const char* TempPath() const { return temp_.c_str(); }
  // Moves the finished temporary file over the target.
  bool Commit();

 private:
  std::string target_;  // links followed; empty when they cannot be
  std::string temp_;
  bool reserved_ = false;
};

}  // namespace tevrin::files
