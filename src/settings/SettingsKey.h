#pragma once

#include <string>

// Registry path below HKEY_CURRENT_USER that holds every camera's settings.
inline constexpr char kSettingsRootPath[] = "Software\\Zolmex\\TevrinHalden3K5Sdk";

// Registry path of one camera's settings below HKEY_CURRENT_USER.
std::string CameraKeyPath(int deviceNumber);

// Name of a camera's size entry n: "Size_00".."Size_99".
std::string SizeEntryName(int n);
