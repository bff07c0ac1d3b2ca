// GetModuleHandleA and GetModuleFileNameA over the dynamic loader: a module
// handle is the loader's handle of a loaded object, and Windows module names
// ("TevrinSdk_Halden.dll") find the Linux file ("libTevrinSdk_Halden.so.1").
#include <dlfcn.h>
#include <link.h>
#include <unistd.h>
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

void* ProgramHandle() {
  static void* program = dlopen(nullptr, RTLD_LAZY);
  return program;
}

std::string ProgramPath() {
  std::string path(PATH_MAX, '\0');
  ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
  path.resize(length > 0 ? static_cast<size_t>(length) : 0);
  return path;
}

int Folded(char c) {
  return std::tolower(static_cast<unsigned char>(c));
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) { return Folded(a) == Folded(b); });
}

std::string_view BaseName(std::string_view path) {
  auto slash = path.find_last_of('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// Windows compares module names without regard to case and supplies ".dll"
// when the name has no extension; the Linux file carries "lib" and ".so" and
// perhaps a version.
bool NameMatches(std::string_view wanted, std::string_view fileName) {
  std::string_view stem = wanted;
  if (stem.size() > 4 && StartsWithIgnoringCase(stem.substr(stem.size() - 4), ".dll")) stem.remove_suffix(4);
  std::string candidates[] = {std::string(wanted), "lib" + std::string(stem) + ".so", std::string(stem) + ".so"};
  for (const std::string& candidate : candidates) {
    if (StartsWithIgnoringCase(fileName, candidate) &&
        (fileName.size() == candidate.size() || fileName[candidate.size()] == '.')) {
      return true;
    }
  }
  return false;
}

std::vector<std::string> LoadedObjectPaths() {
  std::vector<std::string> paths;
  dl_iterate_phdr(
      [](dl_phdr_info* info, size_t, void* data) {
        static_cast<std::vector<std::string>*>(data)->emplace_back(info->dlpi_name ? info->dlpi_name : "");
        return 0;
      },
      &paths);
  return paths;
}

// The loader's handle of an object already loaded, without keeping a reference.
void* HandleOfLoaded(const char* path) {
  void* handle = dlopen(path, RTLD_LAZY | RTLD_NOLOAD);
  if (handle != nullptr) dlclose(handle);
  return handle;
}

// The path of a module handle, or nothing when no loaded object has it; the
// handle is compared, never followed, until it is known to be the loader's.
bool PathOfModule(void* module, std::string& path) {
  link_map* map = nullptr;
  if (module == nullptr || module == ProgramHandle()) {
    path = ProgramPath();
    return true;
  }
  if (dlinfo(ProgramHandle(), RTLD_DI_LINKMAP, &map) != 0) return false;
  for (; map != nullptr; map = map->l_next) {
    if (map == module) {
      path = *map->l_name != '\0' ? map->l_name : ProgramPath();
      return true;
    }
  }
  return false;
}

}  // namespace

extern "C" HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName) {
  if (moduleName == nullptr) return static_cast<HMODULE>(ProgramHandle());
  void* handle = nullptr;
  if (std::strchr(moduleName, '/') != nullptr) {
    handle = HandleOfLoaded(moduleName);
  } else if (NameMatches(moduleName, BaseName(ProgramPath()))) {
    handle = ProgramHandle();
  } else {
    for (const std::string& path : LoadedObjectPaths()) {
      if (!path.empty() && NameMatches(moduleName, BaseName(path))) {
        handle = HandleOfLoaded(path.c_str());
        if (handle != nullptr) break;
      }
    }
  }
  if (handle == nullptr) SetLastError(ERROR_MOD_NOT_FOUND);
  return static_cast<HMODULE>(handle);
}

extern "C" DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size) {
  std::string path;
  if (!PathOfModule(module, path)) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return 0;
  }
  if (size == 0) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  if (fileName == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  // As on Windows: a short buffer gets the path cut to size - 1 characters and
  // a terminator, and the result is the buffer size.
  if (path.size() >= size) {
    std::memcpy(fileName, path.data(), size - 1);
    fileName[size - 1] = '\0';
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
  }
  std::memcpy(fileName, path.c_str(), path.size() + 1);
  return static_cast<DWORD>(path.size());
}
