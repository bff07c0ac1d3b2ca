#include "settings/SettingsKey.h"

#include <cstdio>

std::string CameraKeyPath(int deviceNumber) {
  char name[24];
  std::snprintf(name, sizeof name, "\\Camera_%02d", deviceNumber);
  return kSettingsRootPath + std::string(name);
}

std::string SizeEntryName(int n) {
  char name[24];
  std::snprintf(name, sizeof name, "Size_%02d", n);
  return name;
}
