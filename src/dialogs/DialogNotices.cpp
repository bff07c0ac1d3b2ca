#include "dialogs/DialogNotices.h"

#include "dialogs/DialogIds.h"

void PostAutoIrisGain(HWND analogPage, int gain) {
  if (analogPage) PostMessageA(analogPage, kAutoIrisNotice, IDC_GLOBAL_GAIN, gain);
}

void PostAutoIrisExposure(HWND analogPage, int exposure) {
  if (analogPage) PostMessageA(analogPage, kAutoIrisNotice, IDC_EXPOSURE, exposure);
}

void PostImageMeasured(HWND imageDialog) {
  if (imageDialog) PostMessageA(imageDialog, kImageMeasuredNotice, 0, 0);
}
