#include <mutex>

#include "dialogs/AnalogDialog.h"
#include "dialogs/CameraDialog.h"
#include "dialogs/DialogNotices.h"
#include "dialogs/ImageDialog.h"
#include "instance/Tevrin.h"

using tevrin::image::ColorMode;

// The camera dialog stores a new format in the registry; the instance takes
// it after OK, with the acquisition paused meanwhile.
int CTevrin::SetCameraDlg(HWND parent) {
  if (!device_) return RecordError(TEVRIN_ERROR_NOT_READY);
  const CameraDialogContext context{settingsNumber_, Capabilities(), device_->GetWidthAdjustable() != 0,
                                    device_->GetHeightAdjustable() != 0};
  WithAcquisitionPaused([&] { return RunCameraDialog(parent, context); });
  return 1;
}

// The analog dialog sends every change to the camera at once; unless it
// ends with OK, the camera and the instance get the values from before.
int CTevrin::SetAnalogDlg(HWND parent) {
  if (!device_) return RecordError(TEVRIN_ERROR_NOT_READY);
  double seconds = 0.0;
  const bool hasSeconds = device_->HasExposureSeconds() && device_->GetExposureSeconds(&seconds);
  AnalogSettings saved;
  int savedBayerMode = 0;
  {
    std::lock_guard hold(settingsLock_);
    analog_.globalGain = device_->GetGlobalGain();
    analog_.gainGreen1 = device_->GetColorGainGreen1();
    analog_.gainRed = device_->GetColorGainRed();
    analog_.gainBlue = device_->GetColorGainBlue();
    analog_.gainGreen2 = device_->GetColorGainGreen2();
    analog_.exposure = device_->GetExposureTime();
    if (hasSeconds) analog_.exposureSeconds = seconds;
    analog_.mirrorV = device_->GetMirrorV();
    analog_.mirrorH = device_->GetMirrorH();
    saved = analog_;
    savedBayerMode = image_.bayerMode;
  }
  AnalogDialogContext context{*device_, {settingsLock_, analog_}, analogPage_};
  if (RunAnalogDialog(parent, context) == 1) return 1;
  SendGainsAndExposure(saved);
  device_->SetMirrorV(saved.mirrorV);
  device_->SetMirrorH(saved.mirrorH);
  std::lock_guard hold(settingsLock_);
  analog_ = saved;
  image_.bayerMode = savedBayerMode;
  return 1;
}

// The image dialog edits the image settings in place; unless it ends with
// OK they are restored.
int CTevrin::SetImageDlg(HWND parent) {
  if (!device_) return RecordError(TEVRIN_ERROR_NOT_READY);
  const ImageSettings saved = Image();
  const ColorMode mode = static_cast<ColorMode>(colorMode_.load());
  ImageDialogContext context{{settingsLock_, image_}, mode == ColorMode::Gray8 || mode == ColorMode::Gray16,
                             imageDialog_};
  if (RunImageDialog(parent, context) == 1) return 1;
  std::lock_guard hold(settingsLock_);
  image_ = saved;
  return 1;
}
