// The dialog templates modules carry, and the resource functions over them.
// An HRSRC points at a registered entry, an HGLOBAL at the template bytes.
#include <tevrin/win32/DialogResources.h>

#include <algorithm>
#include <cctype>
#include <mutex>
#include <string>
#include <vector>

namespace {

struct Group {
  std::string module;
  const TevrinDialogResource* resources;
  size_t count;
};

struct Registry {
  std::mutex mutex;
  std::vector<Group> groups;
};

Registry& Resources() {
  static Registry registry;
  return registry;
}

bool SameName(const TevrinDialogResource& resource, const std::string& name, UINT id) {
  if (resource.name == nullptr) return name.empty() && resource.id == id;
  return !name.empty() && name == resource.name;
}

// Windows looks a string name up without regard to case.
std::string UpperName(const char* name) {
  std::string upper(name);
  std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
  return upper;
}

int LanguagePreference(LANGID language, LANGID ui) {
  if (language == ui) return 0;
  if ((language & 0x3FF) == (ui & 0x3FF)) return 1;
  if ((language & 0x3FF) == LANG_ENGLISH) return 2;
  return 3;
}

HRSRC Find(HMODULE module, const std::string& name, UINT id) {
  DWORD error = GetLastError();
  HMODULE wanted = module != nullptr ? module : GetModuleHandleA(nullptr);
  LANGID ui = GetSystemDefaultLangID();
  Registry& registry = Resources();
  std::lock_guard lock(registry.mutex);
  const TevrinDialogResource* best = nullptr;
  for (const Group& group : registry.groups) {
    if (GetModuleHandleA(group.module.c_str()) != wanted) continue;
    for (size_t i = 0; i < group.count; ++i) {
      const TevrinDialogResource& resource = group.resources[i];
      if (!SameName(resource, name, id)) continue;
      if (!best || LanguagePreference(resource.language, ui) < LanguagePreference(best->language, ui)) {
        best = &resource;
      }
    }
  }
  SetLastError(best ? error : ERROR_RESOURCE_NAME_NOT_FOUND);
  return reinterpret_cast<HRSRC>(const_cast<TevrinDialogResource*>(best));
}

bool IsDialogType(ULONG_PTR type) {
  return type == 5;
}

}  // namespace

extern "C" void WINAPI TevrinRegisterDialogResources(const char* module, const TevrinDialogResource* resources,
                                                      size_t count) {
  Registry& registry = Resources();
  std::lock_guard lock(registry.mutex);
  registry.groups.push_back(Group{module, resources, count});
}

extern "C" void WINAPI TevrinUnregisterDialogResources(const TevrinDialogResource* resources) {
  Registry& registry = Resources();
  std::lock_guard lock(registry.mutex);
  std::erase_if(registry.groups, [&](const Group& group) { return group.resources == resources; });
}

extern "C" HRSRC WINAPI FindResourceA(HMODULE module, LPCSTR name, LPCSTR type) {
  if (name == nullptr || !IS_INTRESOURCE(type) || !IsDialogType(reinterpret_cast<ULONG_PTR>(type))) {
    SetLastError(name == nullptr ? ERROR_INVALID_PARAMETER : ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
  }
  if (IS_INTRESOURCE(name)) return Find(module, {}, LOWORD(reinterpret_cast<ULONG_PTR>(name)));
  if (name[0] == '#') return Find(module, {}, static_cast<UINT>(std::strtoul(name + 1, nullptr, 10)));
  return Find(module, UpperName(name), 0);
}

extern "C" HRSRC WINAPI FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type) {
  if (name == nullptr || IS_INTRESOURCE(name)) {
    return FindResourceA(module, reinterpret_cast<LPCSTR>(name), reinterpret_cast<LPCSTR>(type));
  }
  int size = WideCharToMultiByte(CP_UTF8, 0, name, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return nullptr;
  std::string narrow(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, name, -1, narrow.data(), size, nullptr, nullptr);
  return FindResourceA(module, narrow.c_str(), reinterpret_cast<LPCSTR>(type));
}

extern "C" HGLOBAL WINAPI LoadResource(HMODULE, HRSRC resource) {
  if (resource == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return const_cast<unsigned char*>(reinterpret_cast<const TevrinDialogResource*>(resource)->data);
}

extern "C" LPVOID WINAPI LockResource(HGLOBAL data) {
  return data;
}

extern "C" DWORD WINAPI SizeofResource(HMODULE, HRSRC resource) {
  if (resource == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  return static_cast<DWORD>(reinterpret_cast<const TevrinDialogResource*>(resource)->size);
}
