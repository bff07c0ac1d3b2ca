#pragma once

#include <windows.h>

#include <atomic>

#include "device/TevrinU3K5Base.h"
#include "dialogs/LockedBlock.h"
#include "settings/SettingsBlocks.h"

// What the analog dialog works on: the camera, which gets each change at
// once, and the instance's analog block. While the dialog is open, `openPage`
// holds its page for the automatic exposure's notices.
struct AnalogDialogContext {
  CTevrinU3K5Base& device;
  CLockedBlock<AnalogSettings> analog;
  std::atomic<HWND>& openPage;
};

// Returns the dialog's result: 1 after OK.
int RunAnalogDialog(HWND owner, AnalogDialogContext& context);
