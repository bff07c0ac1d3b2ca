#include "device/ProductTable.h"

#include <tevrin/hardware/Mt9fRegisters.h>

#include <algorithm>
#include <iterator>

#include "sensor/SensorFactory.h"
#include "sensor/SensorModels.h"

namespace tevrin::device {

namespace {

namespace m = sensor_model;
namespace hw = tevrin::hardware;

constexpr ProductRow kDefault{};
constexpr uint8_t kAt48 = 0x48;  // the I2C address most of the family's sensors answer at
constexpr int kNoCode = -1;

constexpr ProductRow kProducts[] = {
    {.productId = 0x3020, .sensor = {&m::kMT9F001, 0x20, kNoCode, &m::kMT9F002, hw::mt9f::kSecondRevision}},
    {.productId = 0x3030, .trigger = TriggerStyle::kEnableThenPrime, .sensor = {&m::kMT9P001, 0x90}},
    {.productId = 0x3040, .sensor = {&m::kMT9J001, 0x20}},
    {.productId = 0x3042, .route = FrameRoute::kAuxEndpoint, .boardPort = false, .sensor = {&m::kMT9J001, 0x20}},
    {.productId = 0x3050, .trigger = TriggerStyle::kEnableThenPrime, .sensor = {&m::kICX274, 0}},
    {.productId = 0x3090, .quietBoardOnClose = true, .sensor = {&m::kKaiQuadSmall, 0}},
    {.productId = 0x30B0, .quietBoardOnClose = true, .sensor = {&m::kKaiQuadMedium, 0}},
    {.productId = 0x30C0, .quietBoardOnClose = true, .sensor = {&m::kKaiQuadLarge, 0}},
    {.productId = 0x30F0, .trigger = TriggerStyle::kGate, .sensor = {&m::kIMX178, kAt48}},
    {.productId = 0x3100,
     .pipeResetOnRestart = true,
     .sensorHearsBitDepth = true,
     .trigger = TriggerStyle::kGate,
     .sensor = {&m::kIMX174, kAt48}},
    {.productId = 0x3110, .sensor = {&m::kIMX183, kAt48}},
    {.productId = 0x3120, .sensor = {&m::kIMX159, kAt48}},
    {.productId = 0x3130,
     .planes = 3,
     .pipeResetOnRestart = true,
     .streamStop = StreamStop::kConverterOff,
     .depth = DepthControl::kPlaneMode,
     .sensor = {&m::kVideoConverter, 0x42}},
    {.productId = 0x3140, .readiness = ReadinessCheck::kBoardSetup, .sensor = {&m::kSxgaCmos, 0x6C}},
    {.productId = 0x3150,
     .pipeResetOnRestart = true,
     .streamStop = StreamStop::kSettle,
     .trigger = TriggerStyle::kMaskedEnable,
     .correction = CorrectionKind::kSwitchReg,
     .sensor = {&m::kNirVga, 0x6C}},
    {.productId = 0x3170,
     .pipeResetOnRestart = true,
     .trigger = TriggerStyle::kMaskedEnable,
     .correction = CorrectionKind::kSwitchReg,
     .sensor = {&m::kNirQvga, 0x6C}},
    {.productId = 0x3180,
     .depth = DepthControl::kAlwaysTwoBytes,
     .readiness = ReadinessCheck::kSensorRecovery,
     .textChannel = true,
     .sensor = {&m::kSwirSxga, kAt48}},
    {.productId = 0x3190, .recovery = Recovery::kRestartUnlessCounted, .sensor = {&m::kArraySmall, 0x20}},
    {.productId = 0x31A0, .sensor = {&m::kArrayTiny, 0x20}},
    {.productId = 0x31B0, .pipeResetOnRestart = true, .sensorHearsBitDepth = true, .sensor = {&m::kIMX250, kAt48, 59}},
    {.productId = 0x31B4, .pipeResetOnRestart = true, .sensorHearsBitDepth = true, .sensor = {&m::kIMX264, kAt48}},
    {.productId = 0x31C0, .pipeResetOnRestart = true, .sensorHearsBitDepth = true, .sensor = {&m::kIMX252, kAt48}},
    {.productId = 0x31C4, .pipeResetOnRestart = true, .sensorHearsBitDepth = true, .sensor = {&m::kIMX265, kAt48}},
    {.productId = 0x31D0, .sensor = {&m::kArrayMedium, 0x20}},
    {.productId = 0x31E0,
     .pipeResetOnRestart = true,
     .spareFirstLine = true,
     .sizeRegisters = SizeRegisters::kAlternate,
     .depth = DepthControl::kDepthSelect,
     .readiness = ReadinessCheck::kFpgaVersionGated,
     .correction = CorrectionKind::kSensorLevel,
     .sensor = {&m::kUvSquare, 0x6C}},
    {.productId = 0x31F0, .sensor = {&m::kIMX226, kAt48}},
    {.productId = 0x3200, .exposureBetweenFrames = true, .sensor = {&m::kNirVgaThreaded, kAt48}},
    {.productId = 0x3210, .sensor = {&m::kArrayLarge, 0x20}},
    {.productId = 0x3220, .correction = CorrectionKind::kSwitchReg, .sensor = {&m::kG1467x, 0x6C, 105}},
    {.productId = 0x3260,
     .formatCodes = FormatCodes::kImx99x,
     .sensorHearsBitDepth = true,
     .trigger = TriggerStyle::kImx99x,
     .correction = CorrectionKind::kControlBit,
     .sensor = {&m::kIMX990, kAt48, 109}},
    {.productId = 0x3270,
     .formatCodes = FormatCodes::kImx99x,
     .sensorHearsBitDepth = true,
     .trigger = TriggerStyle::kImx99x,
     .correction = CorrectionKind::kControlBit,
     .sensor = {&m::kIMX990, kAt48, 110}},
    {.productId = 0x3280,
     .formatCodes = FormatCodes::kImx99x,
     .sensorHearsBitDepth = true,
     .trigger = TriggerStyle::kImx99x,
     .correction = CorrectionKind::kControlBit,
     .sensor = {&m::kIMX991, kAt48, 111}},
    {.productId = 0x3290,
     .formatCodes = FormatCodes::kImx99x,
     .sensorHearsBitDepth = true,
     .trigger = TriggerStyle::kImx99x,
     .correction = CorrectionKind::kControlBit,
     .sensor = {&m::kIMX991, kAt48, 112}},
    {.productId = 0x32A0, .pipeResetOnRestart = true, .sensorHearsBitDepth = true, .sensor = {&m::kIMX250, kAt48, 113}},
    {.productId = 0x32B0, .sensor = {&m::kLI7050, kAt48, 61}},
    {.productId = 0x32C0, .readiness = ReadinessCheck::kShortPoll, .sensor = {&m::kGLUX9701, kAt48, 114}},
    {.productId = 0x32D0,
     .ringSize = 8,
     .recovery = Recovery::kByCommand,
     .singleCapture = SingleCapture::kFiveAttempts,
     .startChecksSensorStatus = true,
     .periodicUpdate = true,
     .keepsHeaderExtra = true,
     .windowChangeStopsCapture = true,
     .sizeRegisters = SizeRegisters::kNone,
     .depth = DepthControl::kDepthSelect,
     .sensor = {&m::kScientificCooled, 0x6C}},
    {.productId = 0x32E0, .sensorHearsBitDepth = true, .sensor = {&m::kIMX536, kAt48}},
    {.productId = 0x32F0, .sensorHearsBitDepth = true, .sensor = {&m::kIMX487, kAt48}},
    {.productId = 0x3300, .sensorHearsBitDepth = true, .sensor = {&m::kIMX273, kAt48}},
    {.productId = 0x3310,
     .route = FrameRoute::kMemoryStream,
     .readCommandPerChunk = true,
     .sizeRegisters = SizeRegisters::kNone,
     .depth = DepthControl::kStreamSampleReg,
     .trigger = TriggerStyle::kStreamSensor,
     .sensor = {&m::kLI8020, 0x40, 116}},
    {.productId = 0x3320,
     .route = FrameRoute::kMemoryStream,
     .sizeRegisters = SizeRegisters::kNone,
     .depth = DepthControl::kStreamEightBitReg,
     .trigger = TriggerStyle::kStreamSensorThree,
     .sensor = {&m::kLI5040, 0x40, 117}},
    {.productId = 0x3330,
     .route = FrameRoute::kMemoryStream,
     .sizeRegisters = SizeRegisters::kNone,
     .depth = DepthControl::kStreamSensor,
     .trigger = TriggerStyle::kStreamSensor,
     .sensor = {&m::kLI3030, 0x40, 118}},
    {.productId = 0x3340,
     .route = FrameRoute::kMemoryStream,
     .sizeRegisters = SizeRegisters::kNone,
     .depth = DepthControl::kStreamSensor,
     .trigger = TriggerStyle::kStreamSensor,
     .sensor = {&m::kLI5030, 0x40, 119}},
    {.productId = 0x3360, .sensorHearsBitDepth = true, .sensor = {&m::kIMX675, kAt48}},
    {.productId = 0x3370,
     .sensorHearsBitDepth = true,
     .correction = CorrectionKind::kControlBit,
     .sensor = {&m::kIMX992, kAt48, 129}},
    {.productId = 0x3380,
     .sensorHearsBitDepth = true,
     .correction = CorrectionKind::kControlBit,
     .sensor = {&m::kIMX992, kAt48, 130}},
    {.productId = 0x33A0, .sensor = {&m::kICE640, kAt48}},
    {.productId = 0x33B0, .readiness = ReadinessCheck::kShortPoll, .sensor = {&m::kGLUX9701, kAt48, 114}},
    {.productId = 0x33C0,
     .sensorHearsBitDepth = true,
     .correction = CorrectionKind::kControlBit,
     .sensor = {&m::kIMX993, kAt48, 131}},
    {.productId = 0x33D0,
     .sensorHearsBitDepth = true,
     .correction = CorrectionKind::kControlBit,
     .sensor = {&m::kIMX993, kAt48, 132}},
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

CSensorBase* CreateProductSensor(uint16_t productId, CControllerBase* controller) {
  return CreateSensorDriver(FindProduct(productId).sensor, controller);
}

}  // namespace tevrin::device
