#include "settings/SizeTable.h"

#include "settings/RegistryKey.h"
#include "settings/SettingsKey.h"

namespace {

constexpr int kMaxSizeEntries = 100;

// The entry as stored; the caller applies the validity rule.
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
  CRegKey camera = CRegKey::Open(HKEY_CURRENT_USER, CameraKeyPath(deviceNumber).c_str());
  if (!camera) return SizeLookup::NoKey;
  for (int n = 0; n < kMaxSizeEntries; ++n) {
    CRegKey entry = CRegKey::Open(camera, SizeEntryName(n).c_str());
    if (!entry) break;
    Geometry geometry = ReadEntry(entry);
    if (geometry.EH == width && geometry.EV == height) {
      *found = geometry;
      return SizeLookup::Found;
    }
  }
  return SizeLookup::NoMatch;
}
