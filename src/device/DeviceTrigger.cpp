// Trigger mode: free run or external trigger, by product.
#include <tevrin/hardware/FpgaRegisters.h>

#include "device/Products.h"
#include "device/TevrinU3K5Base.h"

namespace fpga = tevrin::hardware::fpga;
using tevrin::device::IsFamilyProduct;
using tevrin::device::IsOneOf;

namespace {
constexpr DWORD kFirstTriggerFrameMs = 60000;
constexpr DWORD kHeaderCaptureMs = 5000;
}  // namespace

int CTevrinU3K5Base::SetTriggerMode(int mode, int force) {
  if (!sensor_) return 0;
  if (!force && mode == triggerMode_) return 1;
  StopCapture(0);
  if (!frameEvent_) frameEvent_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);

  if (IsFamilyProduct(productId_)) return SetFamilyTriggerMode(mode);
  if (productId_ == 0x3030 || productId_ == 0x3050) {
    WriteFpgaRegister(0x24, mode != 0);
    sensor_->SetTriggerMode(mode);
    if (mode != 0) {
      lastFrameCounter_ = 0;
      if (StartCapture(3) && WaitForSingleObject(threadEnd_, kHeaderCaptureMs) == WAIT_OBJECT_0) StartCapture(2);
    }
  } else if (productId_ == 0x30F0 || productId_ == 0x3100) {
    sensor_->SetTriggerMode(1);
    WriteFpgaRegister(0x30, 0);
    if (mode != 0) {
      WriteFpgaRegister(0x30, 1);
    } else {
      sensor_->SetTriggerMode(0);
    }
  } else if (productId_ == 0x3150 || productId_ == 0x3170) {
    mode &= 0x83;
    WriteFpgaRegister(0x24, mode);
  } else if (IsOneOf(productId_, {0x3310, 0x3330, 0x3340})) {
    sensor_->SetTriggerMode(mode);
  } else if (productId_ == 0x3320) {
    sensor_->SetTriggerMode(mode != 0 ? 3 : 0);
  } else {
    if (!sensor_->SetTriggerMode(mode)) return 0;
    if (mode >= 1 && mode <= 3) SyncFrameCounter();
  }
  triggerMode_ = mode;
  return 1;
}

// Newer FPGAs of this family need one counted frame through the trigger
// logic before the frame counter can be followed.
int CTevrinU3K5Base::SetFamilyTriggerMode(int mode) {
  uint16_t version = 0;
  if (sensor_->GetFpgaVersion(&version)) {
    if (version > fpga::kVersionOldFirmwareMax) {
      if (mode == 0) {
        sensor_->SetTriggerMode(0);
      } else if (mode == 1) {
        sensor_->SetTriggerMode(1);
        if (StartCapture(2) && WaitFrame(kFirstTriggerFrameMs) == 3) SyncFrameCounter();
      }
    } else {
      sensor_->SetTriggerMode(mode);
      if (mode == 1) SyncFrameCounter();
    }
  }
  triggerMode_ = mode;
  return 1;
}
