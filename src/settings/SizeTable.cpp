#include "settings/SizeTable.h"

#include <cstdio>

#include <windows.h>

#include "settings/SettingsKey.h"

namespace {

constexpr int kMaxSizeEntries = 100;

class CRegKey {
 public:
  CRegKey(HKEY parent, const char* name) {
    if (RegOpenKeyExA(parent, name, 0, KEY_READ, &key_) != ERROR_SUCCESS) key_ = nullptr;
  }
  ~CRegKey() {
    if (key_) RegCloseKey(key_);
  }
  CRegKey(const CRegKey&) = delete;
  CRegKey& operator=(const CRegKey&) = delete;

  HKEY get() const { return key_; }

  // A missing or mistyped value leaves `value` as it was.
  void ReadDword(const char* name, int* value) const {
    DWORD data = 0;
    DWORD type = 0;
    DWORD size = sizeof data;
    if (RegQueryValueExA(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) == ERROR_SUCCESS &&
        type == REG_DWORD && size == sizeof data) {
      *value = static_cast<int>(data);
    }
  }

 private:
  HKEY key_ = nullptr;
};

Geometry ReadEntry(const CRegKey& entry) {
  Geometry geometry;
  entry.ReadDword("TH", &geometry.TH);
  entry.ReadDword("TV", &geometry.TV);
  entry.ReadDword("EH", &geometry.EH);
  entry.ReadDword("EV", &geometry.EV);
  entry.ReadDword("EHS", &geometry.EHS);
  entry.ReadDword("EVS", &geometry.EVS);
  entry.ReadDword("Buf", &geometry.Buf);
  return geometry;
}

}  // namespace

SizeLookup FindSizeEntry(int deviceNumber, int width, int height, Geometry* found) {
  CRegKey camera(HKEY_CURRENT_USER, CameraKeyPath(deviceNumber).c_str());
  if (!camera.get()) return SizeLookup::NoKey;
  for (int n = 0; n < kMaxSizeEntries; ++n) {
    char name[16];
    std::snprintf(name, sizeof name, "Size_%02d", n);
    CRegKey entry(camera.get(), name);
    if (!entry.get()) break;
    Geometry geometry = ReadEntry(entry);
    if (geometry.EH == width && geometry.EV == height) {
      *found = geometry;
      return SizeLookup::Found;
    }
  }
  return SizeLookup::NoMatch;
}
