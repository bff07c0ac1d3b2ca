// CreateFileMappingA, OpenFileMappingA, MapViewOfFile and UnmapViewOfFile for
// sections backed by memory (the page file on Windows). A handle and every
// view hold the section, so it outlives its handle while a view is mapped.
#include <sys/mman.h>

#include <map>
#include <mutex>

#include "files/File.h"
#include "files/SharedSection.h"

namespace tevrin::win32 {
namespace {

// On Windows a view starts on a 64 KiB boundary of the section.
constexpr uint64_t kAllocationGranularity = 65536;

struct Rights {
  bool read = false;
  bool write = false;
};

class FileMapping final : public KernelObject {
 public:
  FileMapping(std::shared_ptr<SharedSection> section, Rights rights) : section_(std::move(section)), rights_(rights) {}
  const std::shared_ptr<SharedSection>& Section() const { return section_; }
  Rights GetRights() const { return rights_; }

 private:
  const std::shared_ptr<SharedSection> section_;
  const Rights rights_;
};

// This process's named sections, so a second create or open of a name shares
// the first one's descriptor.
struct NamedSections {
  std::mutex mutex;
  std::map<std::string, std::weak_ptr<SharedSection>> byName;
};

NamedSections& Names() {
  static auto* names = new NamedSections;
  return *names;
}

struct View {
  size_t length;
  std::shared_ptr<SharedSection> section;
};

struct Views {
  std::mutex mutex;
  std::map<const char*, View> byBase;
};

Views& MappedViews() {
  static auto* views = new Views;
  return *views;
}

SectionResult FindOrAcquire(const char* name, bool create, uint64_t size) {
  std::string objectName = SharedObjectName(name);
  auto& names = Names();
  std::lock_guard lock(names.mutex);
  auto& known = names.byName[objectName];
  if (auto section = known.lock()) return {std::move(section), ERROR_ALREADY_EXISTS};
  SectionResult result = AcquireNamedSection(objectName, create, size);
  if (result.section) {
    known = result.section;
  } else {
    names.byName.erase(objectName);
  }
  return result;
}

HANDLE Fail(DWORD error) {
  SetLastError(error);
  return nullptr;
}

HANDLE InsertMapping(const SectionResult& result, Rights rights) {
  if (!result.section) return Fail(result.error);
  HANDLE handle = HandleTable::Instance().Insert(std::make_shared<FileMapping>(result.section, rights));
  SetLastError(result.error);
  return handle;
}

}  // namespace
}  // namespace tevrin::win32

using namespace tevrin::win32;

extern "C" HANDLE WINAPI CreateFileMappingA(HANDLE file, LPSECURITY_ATTRIBUTES, DWORD protect, DWORD maximumSizeHigh,
                                            DWORD maximumSizeLow, LPCSTR name) {
  if (file != INVALID_HANDLE_VALUE) {
    bool isFile = HandleTable::Instance().LookupAs<File>(file) != nullptr;
    return Fail(isFile ? ERROR_NOT_SUPPORTED : ERROR_INVALID_HANDLE);
  }
  DWORD pageProtection = protect & ~SEC_COMMIT;
  uint64_t size = (static_cast<uint64_t>(maximumSizeHigh) << 32) | maximumSizeLow;
  if ((pageProtection != PAGE_READONLY && pageProtection != PAGE_READWRITE) || size == 0) {
    return Fail(ERROR_INVALID_PARAMETER);
  }
  Rights rights{true, pageProtection == PAGE_READWRITE};
  bool named = name != nullptr && *name != '\0';
  return InsertMapping(named ? FindOrAcquire(name, true, size) : CreateUnnamedSection(size), rights);
}

extern "C" HANDLE WINAPI OpenFileMappingA(DWORD desiredAccess, BOOL, LPCSTR name) {
  if (name == nullptr || *name == '\0') return Fail(ERROR_INVALID_PARAMETER);
  Rights rights{(desiredAccess & (FILE_MAP_READ | FILE_MAP_WRITE | FILE_MAP_COPY)) != 0,
                (desiredAccess & FILE_MAP_WRITE) != 0};
  SectionResult result = FindOrAcquire(name, false, 0);
  if (result.error == ERROR_ALREADY_EXISTS) result.error = ERROR_SUCCESS;
  return InsertMapping(result, rights);
}

extern "C" LPVOID WINAPI MapViewOfFile(HANDLE mapping, DWORD desiredAccess, DWORD offsetHigh, DWORD offsetLow,
                                       SIZE_T bytesToMap) {
  auto object = ObjectFromHandle<FileMapping>(mapping);
  if (!object) return nullptr;
  bool write = (desiredAccess & FILE_MAP_WRITE) != 0;
  bool copy = !write && (desiredAccess & FILE_MAP_COPY) != 0;
  bool read = write || copy || (desiredAccess & FILE_MAP_READ) != 0;
  if (!read) return Fail(ERROR_INVALID_PARAMETER);
  Rights rights = object->GetRights();
  if ((write && !rights.write) || !rights.read) return Fail(ERROR_ACCESS_DENIED);
  uint64_t offset = (static_cast<uint64_t>(offsetHigh) << 32) | offsetLow;
  if (offset % kAllocationGranularity != 0) return Fail(ERROR_MAPPED_ALIGNMENT);
  const auto& section = object->Section();
  if (offset >= section->Size() || bytesToMap > section->Size() - offset) return Fail(ERROR_ACCESS_DENIED);
  size_t length = bytesToMap != 0 ? bytesToMap : static_cast<size_t>(section->Size() - offset);
  int protection = (write || copy) ? PROT_READ | PROT_WRITE : PROT_READ;
  void* base = mmap(nullptr, length, protection, copy ? MAP_PRIVATE : MAP_SHARED, section->Descriptor(),
                    static_cast<off_t>(offset));
  if (base == MAP_FAILED) return Fail(ERROR_NOT_ENOUGH_MEMORY);
  auto& views = MappedViews();
  std::lock_guard lock(views.mutex);
  views.byBase[static_cast<const char*>(base)] = View{length, section};
  return base;
}

extern "C" BOOL WINAPI UnmapViewOfFile(LPCVOID baseAddress) {
  auto address = static_cast<const char*>(baseAddress);
  std::shared_ptr<SharedSection> released;  // the section may end here, outside the lock
  auto& views = MappedViews();
  std::lock_guard lock(views.mutex);
  auto after = views.byBase.upper_bound(address);
  if (address == nullptr || after == views.byBase.begin() ||
      address >= std::prev(after)->first + std::prev(after)->second.length) {
    SetLastError(ERROR_INVALID_ADDRESS);
    return FALSE;
  }
  auto view = std::prev(after);
  munmap(const_cast<char*>(view->first), view->second.length);
  released = std::move(view->second.section);
  views.byBase.erase(view);
  return TRUE;
}
