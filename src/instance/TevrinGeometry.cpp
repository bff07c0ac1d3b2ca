#include <algorithm>
#include <array>

#include "instance/Tevrin.h"
#include "settings/SizeTable.h"

namespace {

constexpr std::array<int, 6> kModeBits = {8, 16, 24, 32, 48, 64};

void Put(int* out, int value) {
  if (out) *out = value;
}

}  // namespace

int CTevrin::SendGeometry() {
  const Geometry& g = geometry_;
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
  geometry_ = found;
  if (!IsValidWindow(geometry_, subSample_)) {
    RecordError(TEVRIN_ERROR_GEOMETRY);
    geometry_ = Geometry{.Buf = geometry_.Buf};
  }
  return SendGeometry();
}

int CTevrin::SetCaptureWindowEx(int hTotal, int hStart, int hEffective, int vTotal, int vStart, int vEffective) {
  if (!device_) return RecordError(TEVRIN_ERROR_NOT_READY);
  if (!device_->AllowsFreeWidth() && hEffective != Geometry::kMaxWidth) return RecordError(TEVRIN_ERROR_ARGUMENT);
  if (!device_->AllowsFreeHeight() && vEffective != Geometry::kMaxHeight) return RecordError(TEVRIN_ERROR_ARGUMENT);
  geometry_.TH = hTotal;
  geometry_.EHS = hStart;
  geometry_.EH = hEffective;
  geometry_.TV = vTotal;
  geometry_.EVS = vStart;
  geometry_.EV = vEffective;
  if (!IsValidWindow(geometry_, subSample_)) return RecordError(TEVRIN_ERROR_GEOMETRY);
  return SendGeometry();
}

int CTevrin::GetCaptureWindowEx(int* hTotal, int* hStart, int* hEffective, int* vTotal, int* vStart,
                                int* vEffective) const {
  Put(hTotal, geometry_.TH);
  Put(hStart, geometry_.EHS);
  Put(hEffective, geometry_.EH);
  Put(vTotal, geometry_.TV);
  Put(vStart, geometry_.EVS);
  Put(vEffective, geometry_.EV);
  return 1;
}

int CTevrin::SetColorMode(int bits) {
  const auto mode = std::find(kModeBits.begin(), kModeBits.end(), bits);
  if (mode == kModeBits.end()) return RecordError(TEVRIN_ERROR_ARGUMENT);
  if (device_) {
    const bool needsGray8 = bits == 8 || bits == 32;
    const bool needsColor = bits == 24 || bits == 48 || bits == 64;
    if ((needsGray8 && !device_->SupportsGray8()) || (needsColor && !device_->SupportsColor())) {
      return RecordError(TEVRIN_ERROR_ARGUMENT);
    }
  }
  colorMode_ = static_cast<int>(mode - kModeBits.begin());
  return 1;
}

int CTevrin::GetColorMode() const {
  return kModeBits[static_cast<size_t>(colorMode_)];
}

int CTevrin::SetSubSample(int mode) {
  if (mode != 0 && mode != 1) return 0;
  subSample_ = mode;
  return 1;
}

int CTevrin::SetWaitTime(int ms) {
  if (ms < 0) return 0;
  waitTime_ = ms;
  return 1;
}

int CTevrin::SetMirrorH(int on) {
  if (!device_) return RecordError(TEVRIN_ERROR_NOT_READY);
  if (!device_->SetMirrorH(on != 0)) return RecordError(TEVRIN_ERROR_REGISTER);
  analog_.mirrorH = on != 0;
  return 1;
}

int CTevrin::SetMirrorV(int on) {
  if (!device_) {
    PostError(TEVRIN_ERROR_NOT_READY);
    return 0;
  }
  if (!device_->SetMirrorV(on != 0)) return RecordError(TEVRIN_ERROR_REGISTER);
  analog_.mirrorV = on != 0;
  return 1;
}

int CTevrin::GetMirrorH() {
  if (!device_) return RecordError(TEVRIN_ERROR_NOT_READY);
  return analog_.mirrorH;
}

int CTevrin::GetMirrorV() {
  if (!device_) {
    PostError(TEVRIN_ERROR_NOT_READY);
    return 0;
  }
  return analog_.mirrorV;
}

int CTevrin::SetSamplingRate(int rate) {
  return device_ ? device_->ExtensionCommand(0, &rate) : 0;
}

int CTevrin::SetPreviewWindow(HWND parent, int x, int y, int width, int height) {
  if (!device_) return RecordError(TEVRIN_ERROR_NOT_READY);
  previewParent_ = parent;
  previewPlacement_[0] = x;
  previewPlacement_[1] = y;
  previewPlacement_[2] = width;
  previewPlacement_[3] = height;
  return 1;
}
