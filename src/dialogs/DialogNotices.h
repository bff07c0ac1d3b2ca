#pragma once

#include <windows.h>

// What the thread that processes frames tells an open dialog. The notices are
// posted, never sent: that thread must not wait for the dialog's thread,
// which may itself be waiting for the acquisition to stop.

// The automatic exposure changed the global gain or the exposure: the
// analog page shows the new value.
void PostAutoIrisGain(HWND analogPage, int gain);
void PostAutoIrisExposure(HWND analogPage, int exposure);
// The pipeline measured gains: the image dialog's pages show them.
void PostImageMeasured(HWND imageDialog);

// The messages behind the notices, for the dialogs that receive them.
inline constexpr UINT kAutoIrisNotice = WM_APP + 1;  // wParam: edit box ID, lParam: value
inline constexpr UINT kImageMeasuredNotice = WM_APP + 2;
