#include "device/ProductTable.h"

#include <algorithm>
#include <iterator>

namespace tevrin::device {

namespace {

constexpr ProductRow kDefault{};

constexpr ProductRow kProducts[] = {
    {.productId = 0x3030, .trigger = TriggerStyle::kEnableThenPrime},
    {.productId = 0x3042, .route = FrameRoute::kAuxEndpoint, .boardPort = false},
    {.productId = 0x3050, .trigger = TriggerStyle::kEnableThenPrime},
    {.productId = 0x3090, .quietBoardOnClose = true},
    {.productId = 0x30B0, .quietBoardOnClose = true},
    {.productId = 0x30C0, .quietBoardOnClose = true},
    {.productId = 0x30F0, .trigger = TriggerStyle::kGate},
    {.productId = 0x3100, .pipeResetOnRestart = true, .sensorHearsBitDepth = true, .trigger = TriggerStyle::kGate},
    {.productId = 0x3130,
     .planes = 3,
     .pipeResetOnRestart = true,
     .streamStop = StreamStop::kConverterOff,
     .depth = DepthControl::kPlaneMode},
    {.productId = 0x3140, .readiness = ReadinessCheck::kBoardSetup},
    {.productId = 0x3150,
     .pipeResetOnRestart = true,
     .streamStop = StreamStop::kSettle,
     .trigger = TriggerStyle::kMaskedEnable,
     .correction = CorrectionKind::kSwitchReg},
    {.productId = 0x3170,
     .pipeResetOnRestart = true,
     .trigger = TriggerStyle::kMaskedEnable,
     .correction = CorrectionKind::kSwitchReg},
    {.productId = 0x3180,
     .depth = DepthControl::kAlwaysTwoBytes,
     .readiness = ReadinessCheck::kSensorRecovery,
     .textChannel = true},
    {.productId = 0x3190, .recovery = Recovery::kRestartUnlessCounted},
    {.productId = 0x31B0, .pipeResetOnRestart = true, .sensorHearsBitDepth = true},
    {.productId = 0x31B4, .pipeResetOnRestart = true, .sensorHearsBitDepth = true},
    {.productId = 0x31C0, .pipeResetOnRestart = true, .sensorHearsBitDepth = true},
    {.productId = 0x31C4, .pipeResetOnRestart = true, .sensorHearsBitDepth = true},
    {.productId = 0x31E0,
     .pipeResetOnRestart = true,
     .spareFirstLine = true,
     .sizeRegisters = SizeRegisters::kAlternate,
     .depth = DepthControl::kDepthSelect,
     .readiness = ReadinessCheck::kFpgaVersionGated,
     .correction = CorrectionKind::kSensorLevel},
    {.productId = 0x3200, .exposureBetweenFrames = true},
    {.productId = 0x3220, .correction = CorrectionKind::kSwitchReg},
    {.productId = 0x3260,
     .formatCodes = FormatCodes::kImx99x,
     .sensorHearsBitDepth = true,
     .trigger = TriggerStyle::kImx99x,
     .correction = CorrectionKind::kControlBit},
    {.productId = 0x3270,
     .formatCodes = FormatCodes::kImx99x,
     .sensorHearsBitDepth = true,
     .trigger = TriggerStyle::kImx99x,
     .correction = CorrectionKind::kControlBit},
    {.productId = 0x3280,
     .formatCodes = FormatCodes::kImx99x,
     .sensorHearsBitDepth = true,
     .trigger = TriggerStyle::kImx99x,
     .correction = CorrectionKind::kControlBit},
    {.productId = 0x3290,
     .formatCodes = FormatCodes::kImx99x,
     .sensorHearsBitDepth = true,
     .trigger = TriggerStyle::kImx99x,
     .correction = CorrectionKind::kControlBit},
    {.productId = 0x32A0, .pipeResetOnRestart = true, .sensorHearsBitDepth = true},
    {.productId = 0x32C0, .readiness = ReadinessCheck::kShortPoll},
    {.productId = 0x32D0,
     .ringSize = 8,
     .recovery = Recovery::kByCommand,
     .singleCapture = SingleCapture::kFiveAttempts,
     .startChecksSensorStatus = true,
     .periodicUpdate = true,
     .keepsHeaderExtra = true,
     .windowChangeStopsCapture = true,
     .sizeRegisters = SizeRegisters::kNone,
     .depth = DepthControl::kDepthSelect},
    {.productId = 0x32E0, .sensorHearsBitDepth = true},
    {.productId = 0x32F0, .sensorHearsBitDepth = true},
    {.productId = 0x3300, .sensorHearsBitDepth = true},
    {.productId = 0x3310,
     .route = FrameRoute::kMemoryStream,
     .readCommandPerChunk = true,
     .sizeRegisters = SizeRegisters::kNone,
     .depth = DepthControl::kStreamSampleReg,
     .trigger = TriggerStyle::kStreamSensor},
    {.productId = 0x3320,
     .route = FrameRoute::kMemoryStream,
     .sizeRegisters = SizeRegisters::kNone,
     .depth = DepthControl::kStreamEightBitReg,
     .trigger = TriggerStyle::kStreamSensorThree},
    {.productId = 0x3330,
     .route = FrameRoute::kMemoryStream,
     .sizeRegisters = SizeRegisters::kNone,
     .depth = DepthControl::kStreamSensor,
     .trigger = TriggerStyle::kStreamSensor},
    {.productId = 0x3340,
     .route = FrameRoute::kMemoryStream,
     .sizeRegisters = SizeRegisters::kNone,
     .depth = DepthControl::kStreamSensor,
     .trigger = TriggerStyle::kStreamSensor},
    {.productId = 0x3360, .sensorHearsBitDepth = true},
    {.productId = 0x3370, .sensorHearsBitDepth = true, .correction = CorrectionKind::kControlBit},
    {.productId = 0x3380, .sensorHearsBitDepth = true, .correction = CorrectionKind::kControlBit},
    {.productId = 0x33B0, .readiness = ReadinessCheck::kShortPoll},
    {.productId = 0x33C0, .sensorHearsBitDepth = true, .correction = CorrectionKind::kControlBit},
    {.productId = 0x33D0, .sensorHearsBitDepth = true, .correction = CorrectionKind::kControlBit},
};

// Rows in rising product ID, each ID once: a row added twice would never be found.
constexpr bool RisingIds() {
  return std::adjacent_find(std::begin(kProducts), std::end(kProducts), [](const auto& a, const auto& b) {
           return a.productId >= b.productId;
         }) == std::end(kProducts);
}
static_assert(RisingIds());

}  // namespace

const ProductRow& FindProduct(int productId) {
  const auto* row = std::lower_bound(std::begin(kProducts), std::end(kProducts), productId,
                                     [](const ProductRow& candidate, int id) { return candidate.productId < id; });
  return row != std::end(kProducts) && row->productId == productId ? *row : kDefault;
}

}  // namespace tevrin::device
