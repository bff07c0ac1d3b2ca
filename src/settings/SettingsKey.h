#pragma once

#include <string>

// Registry path of one camera's settings below HKEY_CURRENT_USER.
std::string CameraKeyPath(int deviceNumber);
