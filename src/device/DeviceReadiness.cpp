// The start-up readiness check: after power-up the FPGA loads its image and
// raises a ready line that newer controller firmware reports. The host waits
// for it, nudging the FPGA every 25 seconds, before talking to the sensor.
#include <tevrin/hardware/ControllerInfo.h>
#include <tevrin/hardware/FpgaRegisters.h>

#include <cstring>

#include "device/DeviceTrace.h"
#include "device/TevrinU3K5Base.h"

namespace hw = tevrin::hardware;
using tevrin::device::ReadinessCheck;
using tevrin::device::Trace;

namespace {

constexpr int kReadyPolls = 400;
constexpr DWORD kReadyPollMs = 500;
constexpr DWORD kNudgeEveryMs = 25000;
constexpr int kShortPolls = 40;
// Versions of the FPGA that carry the ready line, by its version registers.
constexpr uint8_t kReadyLineVersion0 = 26;
constexpr uint8_t kReadyLineVersion0WithBit4 = 27;
constexpr uint8_t kVersion3Bit4 = 0x10;
// The short poll also runs when the FPGA's version byte 3 is above this.
constexpr uint8_t kShortPollVersion3Above = 8;

const char* Verdict(bool good) { return good ? "OK" : "NG"; }
const char* Outcome(bool good) { return good ? "succeed" : "failed"; }

}  // namespace

// Polls the ready flag up to `polls` times; `nudge` runs whenever 25 seconds
// pass without it.
template <typename Nudge>
static bool PollReady(CTevrinCy3Cam& controller, int polls, Nudge nudge) {
  DWORD windowStart = GetTickCount();
  for (int poll = 0; poll < polls; ++poll) {
    uint8_t ready = 0;
    if (controller.ReadReadyFlag(&ready) && ready == 1) return true;
    if (GetTickCount() - windowStart >= kNudgeEveryMs) {
      nudge();
      windowStart = GetTickCount();
    }
    Sleep(kReadyPollMs);
  }
  return false;
}

void CTevrinU3K5Base::PulseReadyRegister(uint8_t reg) {
  uint8_t value = 0;
  if (!controller_->ReadBoardRegister(reg, &value)) return;
  controller_->WriteBoardRegister(reg, value & ~1);
  Sleep(50);
  controller_->WriteBoardRegister(reg, value | 1);
  Sleep(50);
  controller_->WriteBoardRegister(reg, value & ~1);
}

bool CTevrinU3K5Base::ReadyCheck() {
  CTevrinCy3Cam& controller = *controller_;
  uint8_t info[hw::kControllerInfoBytes] = {};
  const bool infoRead = controller.ReadControllerInfo(info);
  uint16_t firmware = 0;
  std::memcpy(&firmware, info + hw::kControllerInfoFirmwareVersion, sizeof firmware);
  const bool newFirmware = infoRead && firmware > hw::kFirmwareReadyWaitAbove;

  switch (product_->readiness) {
    case ReadinessCheck::kFpgaVersionGated: {
      uint8_t version0 = 0, version3 = 0;
      const bool read0 = controller.ReadBoardRegister(hw::fpga::kVersionLow, &version0);
      const bool read3 = controller.ReadBoardRegister(hw::fpga::kVersionByte3, &version3);
      Trace("FPGAVer0=0x%X(%s) FPGAVer3=0x%X(%s)", version0, Outcome(read0), version3, Outcome(read3));
      const bool available = newFirmware && (!(read0 && read3) || (version3 == 0 && version0 >= kReadyLineVersion0) ||
                                             ((version3 & kVersion3Bit4) && version0 >= kReadyLineVersion0WithBit4));
      if (!available) {
        Trace("GPIO25 is not available. Cypress=0x%X(%s), FPGA [0]0x%X [3]0x%X(%s)%s", firmware,
              Verdict(newFirmware), version0, version3, Verdict(read0 && read3),
              read0 && read3 ? "" : " -- read failed.");
        return true;
      }
      return PollReady(controller, kReadyPolls, [&] {
        Trace("FPGA reg0x81=0x1: %s", controller.WriteBoardRegister(hw::fpga::kReadyNudge, 1) ? "succeed." : "failed.");
      });
    }
    case ReadinessCheck::kShortPoll: {
      uint8_t version3 = 0;
      if (!newFirmware &&
          !(controller.ReadBoardRegister(hw::fpga::kVersionByte3, &version3) && version3 > kShortPollVersion3Above)) {
        return true;
      }
      if (PollReady(controller, kShortPolls, [] {})) {
        sensor_->WriteRegisterRaw(0, 4);
      } else {
        sensor_->RequestRestart();
      }
      return true;
    }
    case ReadinessCheck::kBoardSetup:
      controller.WriteBoardRegister(hw::fpga::kSetupHold, 0);
      controller.WriteBoardRegister(hw::fpga::kSetupMode, 3);
      controller.WriteBoardRegister(hw::fpga::kSetupHold, 1);
      return true;
    case ReadinessCheck::kSensorRecovery:
      if (!sensor_->IsReady()) sensor_->RecoverNotReady();
      return true;
    case ReadinessCheck::kReadyFlag:
      break;
  }
  const int gpio25 = info[hw::kControllerInfoGpio25Flag];
  if (!newFirmware || gpio25 != 1) {
    Trace("Cypress=0x%X(%s), GPIO25 flag=%d(%s)", firmware, Verdict(newFirmware), gpio25, Verdict(gpio25 == 1));
    return true;
  }
  return PollReady(controller, kReadyPolls, [this] { PulseReadyRegister(hw::fpga::kRecoveryPulse); });
}
