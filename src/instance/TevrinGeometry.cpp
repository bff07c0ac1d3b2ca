#include <algorithm>

#include "instance/Tevrin.h"
#include "settings/SizeTable.h"

namespace {

void Put(int* out, int value) {
  if (out) *out = value;
}

}  // namespace

int CTevrin::SendGeometry() {
  const Geometry g = CurrentGeometry();
  if (!device_->SetCaptureWindow(g.EHS, g.EVS, g.EH, g.EV, subSample_)) return RecordError(TEVRIN_ERROR_GEOMETRY);
  return 1;
}

int CTevrin::SetCaptureWindow(int width, int height) {
  if (!device_) return RecordError(TEVRIN_ERROR_NOT_READY);
  Geometry found;
  // Before a camera is selected the first camera's size table applies.
  if (FindSizeEntry(std::max(deviceNumber_, 0), width, height, &found) != SizeLookup::Found) {
    return RecordError(TEVRIN_ERROR_WINDOW_OR_SIZE);
  }
  if (!IsValidWindow(found, subSample_)) {
    RecordError(TEVRIN_ERROR_GEOMETRY);
    found = Geometry{.Buf = found.Buf};
  }
  {
    std::lock_guard hold(settingsLock_);
    geometry_ = found;
  }
  return SendGeometry();
}

int CTevrin::SetCaptureWindowEx(int hTotal, int hStart, int hEffective, int vTotal, int vStart, int vEffective) {
  if (!device_) return RecordError(TEVRIN_ERROR_NOT_READY);
  if (!device_->GetWidthAdjustable() && hEffective != Geometry::kMaxWidth) return RecordError(TEVRIN_ERROR_ARGUMENT);
  if (!device_->GetHeightAdjustable() && vEffective != Geometry::kMaxHeight) {
    return RecordError(TEVRIN_ERROR_ARGUMENT);
  }
  // A refused window is never stored: the next acquisition would be set up with it.
  Geometry wanted = CurrentGeometry();
  wanted.TH = hTotal;
  wanted.EHS = hStart;
  wanted.EH = hEffective;
  wanted.TV = vTotal;
  wanted.EVS = vStart;
  wanted.EV = vEffective;
  // The sums are taken once the window is known to be small.
  if (!IsValidWindow(wanted, subSample_) || hTotal < hEffective + hStart || vTotal < vEffective + vStart) {
    return RecordError(TEVRIN_ERROR_GEOMETRY);
  }
  if (!device_->SetCaptureWindow(wanted.EHS, wanted.EVS, wanted.EH, wanted.EV, subSample_)) {
    return RecordError(TEVRIN_ERROR_GEOMETRY);
  }
  std::lock_guard hold(settingsLock_);
  geometry_ = wanted;
  return 1;
}

int CTevrin::GetCaptureWindowEx(int* hTotal, int* hStart, int* hEffective, int* vTotal, int* vStart,
                                int* vEffective) const {
  const Geometry geometry = CurrentGeometry();
  Put(hTotal, geometry.TH);
  Put(hStart, geometry.EHS);
  Put(hEffective, geometry.EH);
  Put(vTotal, geometry.TV);
  Put(vStart, geometry.EVS);
  Put(vEffective, geometry.EV);
  return 1;
}

// Takes effect at the next acquisition setup; a running or finished
// acquisition keeps the mode it was set up with.
int CTevrin::SetColorMode(int bits) {
  const auto mode = tevrin::image::ColorModeOfBits(bits);
  if (!mode) return RecordError(TEVRIN_ERROR_ARGUMENT);
  if (device_) {
    const auto& info = tevrin::image::Describe(*mode);
    if ((info.needsGray8 && !device_->SupportsGray8()) || (info.needsColor && !device_->SupportsColor())) {
      return RecordError(TEVRIN_ERROR_ARGUMENT);
    }
  }
  colorMode_ = static_cast<int>(*mode);
  return 1;
}

int CTevrin::GetColorMode() const {
  return tevrin::image::kColorModes[colorMode_.load()].bits;
}

int CTevrin::SetSubSample(int mode) {
  if (mode != 0 && mode != 1) return 0;
  subSample_ = mode;
  return 1;
}

int CTevrin::SetWaitTime(int ms) {
  if (ms < 0) return 0;
  waitTime_ = std::min(ms, kMaxWaitTimeMs);
  return 1;
}

int CTevrin::SetMirrorH(int on) {
  if (!device_) return RecordError(TEVRIN_ERROR_NOT_READY);
  if (!device_->SetMirrorH(on != 0)) return RecordError(TEVRIN_ERROR_REGISTER);
  std::lock_guard hold(settingsLock_);
  analog_.mirrorH = on != 0;
  return 1;
}

int CTevrin::SetMirrorV(int on) {
  if (!device_) {
    PostError(TEVRIN_ERROR_NOT_READY);
    return 0;
  }
  if (!device_->SetMirrorV(on != 0)) return RecordError(TEVRIN_ERROR_REGISTER);
  std::lock_guard hold(settingsLock_);
  analog_.mirrorV = on != 0;
  return 1;
}

int CTevrin::GetMirrorH() {
  if (!device_) return RecordError(TEVRIN_ERROR_NOT_READY);
  return Analog().mirrorH;
}

int CTevrin::GetMirrorV() {
  if (!device_) {
    PostError(TEVRIN_ERROR_NOT_READY);
    return 0;
  }
  return Analog().mirrorV;
}

int CTevrin::SetSamplingRate(int rate) {
  return device_ ? device_->ExtensionCommand(0, &rate) : 0;
}

int CTevrin::SetPreviewWindow(HWND parent, int x, int y, int width, int height) {
  if (!device_) return RecordError(TEVRIN_ERROR_NOT_READY);
  std::lock_guard hold(settingsLock_);
  placement_ = {parent, x, y, width, height};
  return 1;
}
