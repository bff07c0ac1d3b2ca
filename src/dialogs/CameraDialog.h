#pragma once

#include <windows.h>

#include "settings/SettingsBlocks.h"

// What the camera dialog needs of the instance: the camera whose stored size
// table it edits and what the sensor can do.
struct CameraDialogContext {
  int deviceNumber = 0;
  OutputCapabilities capabilities;
  bool freeWidth = true;
  bool freeHeight = true;
};

// The format dialog: colour mode, size entry, subsampling and wait time,
// stored in the registry on Apply and OK. Returns the dialog's result: 1
// after OK, anything else when nothing more was stored.
int RunCameraDialog(HWND owner, const CameraDialogContext& context);
