// Geometry and output format: the buffers sized from the sensor's window,
// the FPGA's size and format registers, bit depth, pixel clock, window,
// trigger mode and exposure.
#include <tevrin/hardware/FpgaRegisters.h>

#include <new>

#include "device/TevrinU3K5Base.h"

namespace fpga = tevrin::hardware::fpga;
using tevrin::device::DepthControl;
using tevrin::device::FormatCodes;
using tevrin::device::FrameStatus;
using tevrin::device::SizeRegisters;

namespace {

constexpr std::align_val_t kBufferAlignment{4096};

uint8_t* AllocateFrameBuffer(int bytes) {
  return static_cast<uint8_t*>(::operator new(static_cast<size_t>(bytes), kBufferAlignment, std::nothrow));
}

void FreeFrameBuffer(uint8_t*& buffer) {
  if (buffer) ::operator delete(buffer, kBufferAlignment);
  buffer = nullptr;
}

// The FPGA's format code and horizontal start offset for the IMX99x boards.
struct Format {
  int code;
  int hStart;
};

Format Imx99xFormat(int readoutMode, bool mirrorH, bool gray16, bool fullHeight) {
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
  status = FrameStatus::kNone;
  unread = false;
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
  const int planes = product_->planes;
  const int ringBytes = (((height + 128) * (width + 128) * bytes + 8191) & ~8191) * planes;
  frameSize_ = height * width * bytes * planes;
  ringWidth_ = info.windowWidth;
  ringHeight_ = height;
  ringBytesPerPixel_ = bytes;
  if (!AllocateBuffers(ringBytes)) return 0;
  if (IsNoRegisterProduct()) return 0;  // its buffers are rebuilt at every start

  if (product_->sizeRegisters != SizeRegisters::kNone) {
    const bool alternate = product_->sizeRegisters == SizeRegisters::kAlternate;
    WriteFpgaRegister(alternate ? fpga::kAltWidthLow : fpga::kOutputWidthLow, width & 0xFF);
    WriteFpgaRegister(alternate ? fpga::kAltWidthHigh : fpga::kOutputWidthHigh, width >> 8);
    WriteFpgaRegister(alternate ? fpga::kAltHeightLow : fpga::kOutputHeightLow, height & 0xFF);
    WriteFpgaRegister(alternate ? fpga::kAltHeightHigh : fpga::kOutputHeightHigh, height >> 8);
  }
  if (product_->formatCodes == FormatCodes::kImx99x) {
    const Format codes =
        Imx99xFormat(info.readoutMode, info.mirrorH != 0, sensor_->SupportsGray16() != 0, height == info.maxHeight);
    WriteFpgaRegister(fpga::kFormatLow, codes.code & 0xFF);
    WriteFpgaRegister(fpga::kFormatHigh, codes.code >> 8);
    WriteFpgaRegister(fpga::kHStartLow, codes.hStart & 0xFF);
    WriteFpgaRegister(fpga::kHStartHigh, codes.hStart >> 8);
  }
  geometryDirty_ = 0;
  return 1;
}

int CTevrinU3K5Base::SetBitDepth(int mode) {
  if (!controller_) return 0;
  if (sensor_ && product_->sensorHearsBitDepth) sensor_->SetBitDepth(mode);
  const DepthControl depth = product_->depth;
  if (depth == DepthControl::kPlaneMode) {
    if (mode < 0 || mode > 2 || !controller_->WriteBoardRegister(fpga::kPlaneMode, static_cast<uint8_t>(mode)))
      return 0;
    bitDepthMode_ = mode;
    return ApplyGeometry();
  }
  if (depth == DepthControl::kDepthSelect) {
    if (!controller_->WriteBoardRegister(fpga::kDepthSelect, mode == 1 ? 2 : 1)) return 0;
    bitDepthMode_ = mode == 1;
    return ApplyGeometry();
  }
  if (depth == DepthControl::kStreamSensor || depth == DepthControl::kStreamSampleReg ||
      depth == DepthControl::kStreamEightBitReg) {
    bool written = true;
    if (depth == DepthControl::kStreamSampleReg) {
      written = controller_->WriteBoardRegister(fpga::kSampleDepth, mode != 0 ? 2 : 0);
    }
    if (depth == DepthControl::kStreamEightBitReg) {
      written = controller_->WriteBoardRegister(fpga::kEightBitOutput, mode == 0 ? 1 : 0);
    }
    if (written) {
      bitDepthMode_ = mode != 0;
      if (sensor_) sensor_->SetBitDepth(mode);
      return ApplyGeometry();
    }
  }
  // The board port (or the one-byte command of the product without one)
  // chooses one or two bytes per pixel; the ring follows what the board
  // sends, so any mode but 1 means one byte. A stream product whose own
  // register could not be written comes here too.
  const bool sixteen = mode == 1 || depth == DepthControl::kAlwaysTwoBytes;
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
  if (product_->windowChangeStopsCapture && running_) {
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
  if (product_->exposureBetweenFrames) {
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
