#include "settings/SettingsKey.h"

#include <cstdio>

std::string CameraKeyPath(int deviceNumber) {
  char path[96];
  std::snprintf(path, sizeof path, "Software\\Zolmex\\TevrinHalden3K5Sdk\\Camera_%02d", deviceNumber);
  return path;
}
