// Geometry and output format: the buffers sized from the sensor's window,
// the FPGA's size and format registers, bit depth, pixel clock, window,
// trigger mode and exposure.
#include <tevrin/hardware/FpgaRegisters.h>

#include <new>

#include "device/Products.h"
#include "device/TevrinU3K5Base.h"

namespace fpga = tevrin::hardware::fpga;
using tevrin::device::IsFamilyProduct;
using tevrin::device::IsOneOf;

namespace {

constexpr std::align_val_t kBufferAlignment{4096};

uint8_t* AllocateFrameBuffer(int bytes) {
  return static_cast<uint8_t*>(::operator new(static_cast<size_t>(bytes), kBufferAlignment, std::nothrow));
}

void FreeFrameBuffer(uint8_t*& buffer) {
  if (buffer) ::operator delete(buffer, kBufferAlignment);
  buffer = nullptr;
}

// The FPGA's format code and horizontal start offset for this camera family.
struct FormatCodes {
  int format;
  int hStart;
};

FormatCodes FamilyFormat(int readoutMode, bool mirrorH, bool gray16, bool fullHeight) {
  if (readoutMode == 0) return {fullHeight ? 25 : 21, mirrorH ? (gray16 ? 104 : 100) : (gray16 ? 8 : 4)};
  if (readoutMode == 1) return {23, mirrorH ? (gray16 ? 52 : 48) : (gray16 ? 4 : 0)};
  return {21, mirrorH ? 104 : 8};
}

}  // namespace

void CTevrinU3K5Base::Slot::ClearData() {
  counter = -1;
  for (int& word : words) word = 0xFFFF;
  extra = 0;
  extraByte = 0;
}

int CTevrinU3K5Base::BytesPerPixel() const { return bitDepthMode_ == 1 || bitDepthMode_ == 2 ? 2 : 1; }

void CTevrinU3K5Base::FreeBuffers() {
  FreeFrameBuffer(staging_);
  stagingSize_ = 0;
  for (Slot& slot : slots_) {
    std::lock_guard hold(slot.lock);
    FreeFrameBuffer(slot.buffer);
    slot.ClearData();
  }
}

bool CTevrinU3K5Base::AllocateBuffers(int ringBytes) {
  staging_ = AllocateFrameBuffer(ringBytes);
  if (!staging_) return false;
  stagingSize_ = ringBytes;
  for (int index = 0; index < ringSize_; ++index) {
    Slot& slot = slots_[index];
    std::lock_guard hold(slot.lock);
    FreeFrameBuffer(slot.buffer);
    slot.ClearData();
    slot.buffer = AllocateFrameBuffer(ringBytes);
    if (!slot.buffer) return false;
  }
  return true;
}

int CTevrinU3K5Base::ApplyGeometry() {
  // The acquisition thread reads into the staging buffer and writes the
  // ring: a running one (a bit depth changed during a preview) stops first.
  if (running_) StopCapture(1);
  FreeFrameBuffer(staging_);
  stagingSize_ = 0;
  if (!sensor_) return 0;
  const SensorInfo& info = sensor_->Info();
  const int width = info.windowWidth * (sensor_->GetModeSelect() == 2 ? 2 : 1);
  const int height = info.windowHeight;
  const int bytes = BytesPerPixel();
  const int planes = productId_ == 0x3130 ? 3 : 1;
  const int ringBytes = (((height + 128) * (width + 128) * bytes + 8191) & ~8191) * planes;
  frameSize_ = height * width * bytes * planes;
  ringWidth_ = info.windowWidth;
  ringHeight_ = height;
  ringBytesPerPixel_ = bytes;
  if (!AllocateBuffers(ringBytes)) return 0;
  if (IsNoRegisterProduct()) return 0;  // its buffers are rebuilt at every start

  if (!IsOneOf(productId_, {0x32D0, 0x3320, 0x3310, 0x3330, 0x3340})) {
    const bool alternate = productId_ == 0x31E0;
    WriteFpgaRegister(alternate ? 0x9C : fpga::kOutputWidthLow, width & 0xFF);
    WriteFpgaRegister(alternate ? 0x9D : fpga::kOutputWidthHigh, width >> 8);
    WriteFpgaRegister(alternate ? 0x9A : fpga::kOutputHeightLow, height & 0xFF);
    WriteFpgaRegister(alternate ? 0x9B : fpga::kOutputHeightHigh, height >> 8);
  }
  if (IsFamilyProduct(productId_)) {
    const FormatCodes codes =
        FamilyFormat(info.readoutMode, info.mirrorH != 0, sensor_->SupportsGray16() != 0, height == info.maxHeight);
    WriteFpgaRegister(fpga::kFormatLow, codes.format & 0xFF);
    WriteFpgaRegister(fpga::kFormatHigh, codes.format >> 8);
    WriteFpgaRegister(fpga::kHStartLow, codes.hStart & 0xFF);
    WriteFpgaRegister(fpga::kHStartHigh, codes.hStart >> 8);
  }
  geometryDirty_ = 0;
  return 1;
}

int CTevrinU3K5Base::SetBitDepth(int mode) {
  if (!controller_) return 0;
  if (sensor_ && IsOneOf(productId_, {0x3100, 0x31B0, 0x31B4, 0x31C0, 0x31C4, 0x3260, 0x3270, 0x3280, 0x3290, 0x32A0,
                                      0x32E0, 0x32F0, 0x3300, 0x3360, 0x3370, 0x3380, 0x33C0, 0x33D0})) {
    sensor_->SetBitDepth(mode);
  }
  if (productId_ == 0x3130) {
    if (mode < 0 || mode > 2 || !controller_->WriteBoardRegister(0x3D, static_cast<uint8_t>(mode))) return 0;
    bitDepthMode_ = mode;
    return ApplyGeometry();
  }
  if (productId_ == 0x31E0 || productId_ == 0x32D0) {
    if (!controller_->WriteBoardRegister(0xA3, mode == 1 ? 2 : 1)) return 0;
    bitDepthMode_ = mode == 1;
    return ApplyGeometry();
  }
  if (IsOneOf(productId_, tevrin::device::kStreamProducts)) {
    bool written = true;
    if (productId_ == 0x3310) written = controller_->WriteBoardRegister(0x6E, mode != 0 ? 2 : 0);
    if (productId_ == 0x3320) written = controller_->WriteBoardRegister(0x38, mode == 0 ? 1 : 0);
    if (written) {
      bitDepthMode_ = mode != 0;
      if (sensor_) sensor_->SetBitDepth(mode);
      return ApplyGeometry();
    }
  }
  // The board port (or the one-byte command of the product without one)
  // chooses one or two bytes per pixel; the ring follows what the board
  // sends, so any mode but 1 means one byte.
  const bool sixteen = mode == 1 || productId_ == 0x3180;
  const int wanted = sixteen ? 1 : 0;
  const bool sent = IsNoRegisterProduct() ? controller_->SendByte(sixteen ? 1 : 0)
                                          : controller_->WriteBoardRegister(fpga::kOutputDepth, sixteen ? 2 : 1);
  if (!sent) return 0;
  if (bitDepthMode_ == wanted) return 1;
  bitDepthMode_ = wanted;
  return ApplyGeometry();
}

int CTevrinU3K5Base::SetClockMode(int mode) {
  if (!sensor_) return 0;
  if (mode == 2 && controller_ && !IsNoRegisterProduct()) {
    uint32_t speed = 0;
    if (controller_->GetDeviceSpeed(&speed) && speed != 4) mode = 0;
  }
  return sensor_->SetPixelClockMode(mode);
}

int CTevrinU3K5Base::SetCaptureWindow(int x, int y, int width, int height, int subsample) {
  if (!sensor_) return 0;
  SensorInfo& info = sensor_->Info();
  if (x == info.windowX && y == info.windowY && width == info.windowWidth && height == info.windowHeight &&
      subsample == info.readoutMode && !IsStreamProduct()) {
    return 1;
  }
  if (productId_ == tevrin::device::kLargeRingProduct && running_) {
    Sleep(100);
    if (controller_) controller_->AbortImagePipe();
    if (threadEnd_) WaitForSingleObject(threadEnd_, INFINITE);
    StopCapture(1);
  }
  if (!sensor_->SetCaptureWindow(x, width, y, height, subsample)) return 0;
  int newX = 0, newWidth = 0, newY = 0, newHeight = 0, newMode = 0;
  sensor_->GetCaptureWindow(&newX, &newWidth, &newY, &newHeight, &newMode);
  info.windowX = newX;
  info.windowWidth = newWidth;
  info.windowY = newY;
  info.windowHeight = newHeight;
  info.readoutMode = newMode;
  geometryDirty_ = 1;
  return 1;
}

int CTevrinU3K5Base::GetCaptureWindow(int* x, int* y, int* width, int* height, int* subsample) {
  if (!sensor_) return 0;
  const SensorInfo& info = sensor_->Info();
  if (x) *x = info.windowX;
  if (y) *y = info.windowY;
  if (width) *width = info.windowWidth;
  if (height) *height = info.windowHeight;
  if (subsample) *subsample = info.readoutMode;
  return 1;
}

int CTevrinU3K5Base::SetExposure(int units) {
  if (!sensor_) return 0;
  frameTimeoutMs_ = units <= 50000 ? 5000 : units / 5;
  if (productId_ == 0x3200) {
    pendingArgument_ = units;
    pendingCommand_ = 1;
    return 1;
  }
  return sensor_->SetExposureTime(static_cast<unsigned>(units));
}

int CTevrinU3K5Base::SetExposureSeconds(double seconds) {
  if (!sensor_) return 0;
  if (seconds > 2) frameTimeoutMs_ = static_cast<int>((seconds + 1) * 1000);
  return sensor_->SetExposureSeconds(seconds);
}
