#pragma once

#include <windows.h>

#include <atomic>

#include "dialogs/LockedBlock.h"
#include "settings/SettingsBlocks.h"

// What the image dialog works on: the instance's image settings, edited in
// place, and whether the output is monochrome (colour modes 0 and 1), which
// adds the gray-filter page. While the dialog is open, `openDialog` holds it
// for the pipeline's notices.
struct ImageDialogContext {
  CLockedBlock<ImageSettings> image;
  bool monochrome = false;
  std::atomic<HWND>& openDialog;
};

// Returns the dialog's result: 1 after OK.
int RunImageDialog(HWND owner, ImageDialogContext& context);
