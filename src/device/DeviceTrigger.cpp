// Trigger mode: free run or external trigger, the way each product switches.
#include <tevrin/hardware/FpgaRegisters.h>

#include "device/TevrinU3K5Base.h"

namespace fpga = tevrin::hardware::fpga;
using tevrin::device::CaptureMode;
using tevrin::device::TriggerMode;
using tevrin::device::TriggerStyle;
using tevrin::device::WaitResult;

namespace {
constexpr DWORD kFirstTriggerFrameMs = 60000;
constexpr DWORD kHeaderCaptureMs = 5000;
constexpr int kMaskedEnableBits = 0x83;  // the trigger variants the board's enable register keeps
constexpr int kStreamSensorTrigger = 3;  // what one stream sensor calls its trigger mode

int Number(TriggerMode mode) {
  return static_cast<int>(mode);
}
}  // namespace

int CTevrinU3K5Base::SetTriggerMode(TriggerMode mode, int force) {
  if (!sensor_) return 0;
  if (!force && mode == triggerMode_) return 1;
  StopCapture(0);
  if (!frameEvent_) frameEvent_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);

  const bool triggered = mode != TriggerMode::kFreeRun;
  switch (product_->trigger) {
    case TriggerStyle::kImx99x:
      return SetFamilyTriggerMode(mode);
    case TriggerStyle::kEnableThenPrime:
      WriteFpgaRegister(fpga::kTriggerEnable, triggered);
      sensor_->SetTriggerMode(Number(mode));
      if (triggered) {
        lastFrameCounter_ = 0;
        if (StartCapture(CaptureMode::kHeaderOnly) &&
            WaitForSingleObject(threadEnd_, kHeaderCaptureMs) == WAIT_OBJECT_0) {
          StartCapture(CaptureMode::kCounted);
        }
      }
      break;
    case TriggerStyle::kGate:
      sensor_->SetTriggerMode(Number(TriggerMode::kExternal));
      WriteFpgaRegister(fpga::kTriggerGate, 0);
      if (triggered) {
        WriteFpgaRegister(fpga::kTriggerGate, 1);
      } else {
        sensor_->SetTriggerMode(Number(TriggerMode::kFreeRun));
      }
      break;
    case TriggerStyle::kMaskedEnable:
      mode = static_cast<TriggerMode>(Number(mode) & kMaskedEnableBits);
      WriteFpgaRegister(fpga::kTriggerEnable, Number(mode));
      break;
    case TriggerStyle::kStreamSensor:
      sensor_->SetTriggerMode(Number(mode));
      break;
    case TriggerStyle::kStreamSensorThree:
      sensor_->SetTriggerMode(triggered ? kStreamSensorTrigger : Number(TriggerMode::kFreeRun));
      break;
    case TriggerStyle::kSensor:
      if (!sensor_->SetTriggerMode(Number(mode))) return 0;
      if (Number(mode) >= 1 && Number(mode) <= 3) SyncFrameCounter();
      break;
  }
  triggerMode_ = mode;
  return 1;
}

// Newer FPGAs of this family need one counted frame through the trigger
// logic before the frame counter can be followed.
int CTevrinU3K5Base::SetFamilyTriggerMode(TriggerMode mode) {
  uint16_t version = 0;
  if (sensor_->GetFpgaVersion(&version)) {
    if (version > fpga::kVersionOldFirmwareMax) {
      if (mode == TriggerMode::kFreeRun) {
        sensor_->SetTriggerMode(Number(mode));
      } else if (mode == TriggerMode::kExternal) {
        sensor_->SetTriggerMode(Number(mode));
        if (StartCapture(CaptureMode::kCounted) && WaitFrame(kFirstTriggerFrameMs) == WaitResult::kNewFrame) {
          SyncFrameCounter();
        }
      }
    } else {
      sensor_->SetTriggerMode(Number(mode));
      if (mode == TriggerMode::kExternal) SyncFrameCounter();
    }
  }
  triggerMode_ = mode;
  return 1;
}
