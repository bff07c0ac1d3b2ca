// The memory behind a file mapping. A named section is a POSIX shared-memory
// object that every process using the name opens; it disappears when the last
// process lets go of it, as a Windows section does when its last handle and
// view are gone.
//
// Which processes still use a named section is known from open-file-description
// locks on its descriptor, so a process that dies is counted out by the kernel:
//   byte 0 (guard): held exclusively while a process opens, creates or leaves
//                   the section, so those steps never interleave;
//   byte 1 (users): every process that uses the section holds a shared lock;
//                   whoever can take it exclusively is the only user.
// A section whose users all died is found unused by the next process that
// opens the name: an open then reports it missing, a create starts it afresh.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

namespace tevrin::win32 {

class SharedSection {
 public:
  // `objectName` is the shared-memory object's name, empty for an unnamed section.
  SharedSection(int fd, uint64_t size, std::string objectName)
      : fd_(fd), size_(size), objectName_(std::move(objectName)) {}
  ~SharedSection();
  SharedSection(const SharedSection&) = delete;
  SharedSection& operator=(const SharedSection&) = delete;

  int Descriptor() const { return fd_; }
  uint64_t Size() const { return size_; }

 private:
  const int fd_;
  const uint64_t size_;
  const std::string objectName_;
};

struct SectionResult {
  std::shared_ptr<SharedSection> section;  // null on failure
  DWORD error = ERROR_SUCCESS;             // ERROR_ALREADY_EXISTS when an existing section was opened
};

// The shared-memory object name for a Windows object name: the "Local\" or
// "Global\" prefix dropped, $TEVRIN_NAMESPACE put in front, and characters a
// POSIX name cannot carry escaped.
std::string SharedObjectName(const char* windowsName);

SectionResult CreateUnnamedSection(uint64_t size);
// Opens the named section, or creates it with `size` bytes of zeros when
// `create` is set and no process uses the name.
SectionResult AcquireNamedSection(const std::string& objectName, bool create, uint64_t size);

}  // namespace tevrin::win32
