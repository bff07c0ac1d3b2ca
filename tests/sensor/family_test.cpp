// The sensor family: every product ID of the table with its driver and
// values, the readiness checks on virtual cameras that are and are not
// ready, and the two members described in full, the colour CMOS pair and
// the large four-output CCD, by what reaches the virtual camera.
#include <cxxabi.h>
#include <gtest/gtest.h>
#include <tevrin/hardware/FpgaRegisters.h>
#include <tevrin/virtualcam/VirtualCameras.h>

#include <cstdlib>
#include <memory>
#include <numeric>
#include <string>
#include <typeinfo>
#include <vector>

#include "SensorFixture.h"
#include "sensor/SensorFamilyMember.h"
#include "sensor/SensorKaiQuadLarge.h"
#include "sensor/SensorMT9F001.h"

namespace tevrin::test {
namespace {

namespace vc = tevrin::virtualcam;
using R = SensorReadiness;

std::string ClassOf(CSensorBase& sensor) {
  if (typeid(sensor) == typeid(CSensorFamilyMember)) return static_cast<CSensorFamilyMember&>(sensor).Model().name;
  int status = 0;
  char* name = abi::__cxa_demangle(typeid(sensor).name(), nullptr, nullptr, &status);
  std::string result = name ? name : "";
  std::free(name);
  return result;
}

// Group letters: T trigger, D bit depth, G global gain, C colour gains, O
// channel gain/offset, B black level, S sensor option, L gain level, V/H
// mirrors, R bus-guarded registers, K cooler, E temperature, A stream helper,
// X text channel, M extended mode, P temperature control, Q seconds, U
// register preset, W mode switch, Z status block.
uint32_t Groups(const std::string& letters) {
  static const std::string kOrder = "TDGCOBSLVHRKEAXMPQUWZ";
  uint32_t groups = 0;
  for (char letter : letters) groups |= 1u << kOrder.find(letter);
  return groups;
}

TEST(SensorFamily, EveryProductIdChoosesItsDriverWithItsValues) {
  struct Row {
    int productId;
    const char* driver;
    int address, code, width, height, clock;
    R readiness;
    const char* groups;
  } rows[] = {
      {0x3030, "CSensorMT9P001", 0x90, 0, 2592, 1944, 96000, R::kChipAnswers, "TGCVH"},
      {0x3040, "CSensorMT9J001", 0x20, 0, 3856, 2764, 80000, R::kChipIdentifies, "GCVH"},
      {0x3042, "CSensorMT9J001", 0x20, 0, 3856, 2764, 80000, R::kChipIdentifies, "GCVH"},
      {0x3050, "CSensorICX274", 0, 0, 1600, 1200, 60000, R::kAlways, "TGVH"},
      {0x3090, "CSensorKaiQuadSmall", 0, 0, 2336, 1752, 60000, R::kAlways, "TGOBVH"},
      {0x30B0, "CSensorKaiQuadMedium", 0, 0, 4896, 3264, 40000, R::kAlways, "TGOBVH"},
      {0x30C0, "CSensorKaiQuadLarge", 0, 0, 6576, 4384, 40000, R::kAlways, "TGOBVH"},
      {0x30F0, "CSensorIMX178", 0x48, 0, 3072, 2048, 364000, R::kAlways, "TGVH"},
      {0x3100, "CSensorIMX174", 0x48, 0, 1920, 1200, 74250, R::kAlways, "TDGVHRQ"},
      {0x3110, "CSensorIMX183", 0x48, 0, 5520, 3680, 72000, R::kAlways, "TGVH"},
      {0x3120, "CSensorIMX159", 0x48, 0, 4800, 3520, 36000, R::kAlways, "TGH"},
      {0x3130, "CSensorVideoConverter", 0x42, 0, 1920, 1080, 74250, R::kAlways, "D"},
      {0x3140, "CSensorSxgaCmos", 0x6C, 0, 1280, 1024, 37125, R::kAlways, "TDGVH"},
      {0x3150, "CSensorNirVga", 0x6C, 0, 640, 512, 6250, R::kAlways, "DGVHQ"},
      {0x3170, "CSensorNirQvga", 0x6C, 0, 320, 256, 6250, R::kAlways, "DGVH"},
      {0x3180, "CSensorSwirSxga", 0x48, 100, 1280, 1024, 72000, R::kBoardReports, "TDGX"},
      {0x3190, "CSensorArraySmall", 0x20, 0, 512, 512, 5000, R::kAlways, "TDGVH"},
      {0x31A0, "CSensorArrayTiny", 0x20, 0, 256, 256, 5000, R::kAlways, "DGVH"},
      {0x31B0, "CSensorIMX250", 0x48, 59, 2448, 2048, 54000, R::kAlways, "TDGVHR"},
      {0x31B4, "CSensorIMX264", 0x48, 57, 2448, 2048, 74250, R::kAlways, "TDGVHR"},
      {0x31C0, "CSensorIMX252", 0x48, 56, 2048, 1536, 54545, R::kAlways, "TDGVHR"},
      {0x31C4, "CSensorIMX265", 0x48, 58, 2048, 1536, 54545, R::kAlways, "TDGVHR"},
      {0x31D0, "CSensorArrayMedium", 0x20, 0, 1024, 1024, 5000, R::kAlways, "DGVH"},
      {0x31E0, "CSensorUvSquare", 0x6C, 103, 2048, 2048, 50000, R::kBusAnswers, "TGVHEMQW"},
      {0x31F0, "CSensorIMX226", 0x48, 60, 4168, 3062, 72000, R::kAlways, "DGVHR"},
      {0x3200, "CSensorNirVgaThreaded", 0x48, 99, 640, 512, 9000, R::kAlways, "TDVHRKEA"},
      {0x3210, "CSensorArrayLarge", 0x20, 0, 2048, 2048, 5000, R::kAlways, "DGVH"},
      {0x3220, "CSensorG1467x", 0x6C, 105, 320, 256, 6250, R::kAlways, "DGVHKEP"},
      {0x3260, "CSensorIMX990", 0x48, 109, 1280, 1024, 54545, R::kAlways, "TDGVHRKEQ"},
      {0x3270, "CSensorIMX990", 0x48, 110, 1280, 1024, 54545, R::kAlways, "TDGVHRKEQ"},
      {0x3280, "CSensorIMX991", 0x48, 111, 640, 512, 54545, R::kAlways, "TDGVHRKEQ"},
      {0x3290, "CSensorIMX991", 0x48, 112, 640, 512, 54545, R::kAlways, "TDGVHRKEQ"},
      {0x32A0, "CSensorIMX250", 0x48, 113, 2448, 2048, 54000, R::kAlways, "TDGVHR"},
      {0x32B0, "CSensorLI7050", 0x48, 61, 1936, 1096, 48000, R::kAlways, "TDGVHRQ"},
      {0x32C0, "CSensorGLUX9701", 0x48, 114, 1280, 1024, 37037, R::kSensorStarted, "TDGBVHREQUW"},
      {0x32D0, "CSensorScientificCooled", 0x6C, 115, 4096, 4096, 25000, R::kReadyFlag, "TGBLVHEMQWZ"},
      {0x32E0, "CSensorIMX536", 0x48, 62, 2848, 2848, 54545, R::kAlways, "DGBVHRQ"},
      {0x32F0, "CSensorIMX487", 0x48, 63, 2848, 2848, 54545, R::kAlways, "DGBVHRQ"},
      {0x3300, "CSensorIMX273", 0x48, 128, 1440, 1080, 54545, R::kAlways, "DGBVHRQ"},
      {0x3310, "CSensorLI8020", 0x40, 116, 19568, 12588, 50000, R::kAlways, "DGQ"},
      {0x3320, "CSensorLI5040", 0x40, 117, 2592, 2056, 36000, R::kAlways, "TDGQ"},
      {0x3330, "CSensorLI3030", 0x40, 118, 2160, 1280, 21000, R::kAlways, "DGQ"},
      {0x3340, "CSensorLI5030", 0x40, 119, 5688, 3336, 60000, R::kAlways, "TDGQ"},
      {0x3360, "CSensorIMX675", 0x48, 121, 2592, 4060, 75000, R::kAlways, "TDGRQ"},
      {0x3370, "CSensorIMX992", 0x48, 129, 2560, 2048, 54545, R::kAlways, "TDGVHRKEQW"},
      {0x3380, "CSensorIMX992", 0x48, 130, 2560, 2048, 54545, R::kAlways, "TDGVHRKEQW"},
      {0x33A0, "CSensorICE640", 0x48, 122, 640, 513, 0, R::kAlways, "TDVH"},
      {0x33B0, "CSensorGLUX9701", 0x48, 114, 1280, 1024, 37037, R::kSensorStarted, "TDGBVHREQUW"},
      {0x33C0, "CSensorIMX993", 0x48, 131, 2048, 1536, 54545, R::kAlways, "TDGBSVHRKEQW"},
      {0x33D0, "CSensorIMX993", 0x48, 132, 2048, 1536, 54545, R::kAlways, "TDGBSVHRKEQW"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << std::hex << row.productId);
    std::unique_ptr<CSensorBase> sensor(device::CreateProductSensor(static_cast<uint16_t>(row.productId), nullptr));
    ASSERT_NE(sensor, nullptr);
    EXPECT_EQ(ClassOf(*sensor), row.driver);
    EXPECT_EQ(sensor->DeviceAddress(), row.address);
    EXPECT_EQ(sensor->ModelCode(), row.code);
    const SensorInfo& info = sensor->Info();
    EXPECT_EQ(info.maxWidth, row.width);
    EXPECT_EQ(info.maxHeight, row.height);
    EXPECT_EQ(info.pixelClockKHz, row.clock);
    const SensorModel& model = *device::FindProduct(row.productId).sensor.model;
    EXPECT_EQ(model.name, std::string(row.driver));
    EXPECT_EQ(model.readiness, row.readiness);
    EXPECT_EQ(model.groups, Groups(row.groups));
  }
  for (int between : {0x3160, 0x3230, 0x3021, 0x0000}) {
    SCOPED_TRACE(between);
    EXPECT_EQ(device::CreateProductSensor(static_cast<uint16_t>(between), nullptr), nullptr);
  }
}

TEST(SensorFamily, DefaultWindowsAndSensorMirrorsFollowTheirModels) {
  struct Case {
    int productId, x, y, width, height, windowWidth, mirrorsInSensor;
  } cases[] = {
      {0x3040, 8, 8, 3840, 2752, 3840, 0}, {0x3120, 72, 18, 4672, 3504, 4672, 1}, {0x31F0, 0, 0, 4160, 3056, 4160, 1},
      {0x32D0, 0, 0, 2048, 2048, 2048, 0}, {0x3310, 0, 0, 19568, 12588, 2048, 0}, {0x3300, 0, 0, 1440, 1080, 1440, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.productId);
    std::unique_ptr<CSensorBase> sensor(device::CreateProductSensor(static_cast<uint16_t>(c.productId), nullptr));
    const SensorInfo& info = sensor->Info();
    EXPECT_EQ(info.defaultX, c.x);
    EXPECT_EQ(info.defaultY, c.y);
    EXPECT_EQ(info.defaultWidth, c.width);
    EXPECT_EQ(info.defaultHeight, c.height);
    EXPECT_EQ(info.windowWidth, c.windowWidth);
    EXPECT_EQ(sensor->IsMirrorVInSensor(), c.mirrorsInSensor);
    EXPECT_EQ(sensor->IsMirrorHInSensor(), c.mirrorsInSensor);
  }
}

using FamilyReadiness = SensorTest;

// The waits a readiness check asked for, recorded instead of slept.
std::vector<DWORD>& RecordPauses(CSensorBase& sensor) {
  static std::vector<DWORD> pauses;
  pauses.clear();
  dynamic_cast<CSensorFamilyMember&>(sensor).SetPause([](DWORD ms) { pauses.push_back(ms); });
  return pauses;
}

TEST_F(FamilyReadiness, ChecksWaitTheirOwnTimeAndNoLonger) {
  struct Case {
    const char* camera;
    std::function<void()> makeReady;
    std::vector<DWORD> pausesWhenNever;
  } cases[] = {
      {"0x31E0", nullptr, std::vector<DWORD>(19, 100)},
      {"0x32D0", [] { vc::SetReadyFlag(0, true); }, std::vector<DWORD>(60, 1000)},
      {"0x32C0",
       [] { vc::SetBoardRegister(0, hardware::fpga::kSensorStartedState, 3); },
       {7000, 5000, 5000, 5000, 5000, 5000}},
      {"0x3180", [] { vc::SetBoardRegister(0, hardware::fpga::kSensorReadyCode, 4); }, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.camera);
    CSensorBase& sensor = Open(c.camera);
    vc::SetReadyFlag(0, false);
    vc::SetBoardRegister(0, hardware::fpga::kVersionByte3, 0);
    std::vector<DWORD>& pauses = RecordPauses(sensor);
    EXPECT_EQ(sensor.IsReady(), 0);
    EXPECT_EQ(pauses, c.pausesWhenNever);
    if (c.makeReady) {
      c.makeReady();
      pauses.clear();
      EXPECT_EQ(sensor.IsReady(), 1);
      EXPECT_TRUE(pauses.empty()) << "ready at the first look";
    }
    TearDown();
  }
}

TEST_F(FamilyReadiness, GluxIsReadyOnItsBuildLevelAndRestartsUntilStarted) {
  CSensorBase& sensor = Open("0x32C0");
  std::vector<DWORD>& pauses = RecordPauses(sensor);
  EXPECT_EQ(sensor.IsReady(), 1) << "board register 0x13 reads 9 or more";
  EXPECT_TRUE(pauses.empty());
}

// Codes 103 and 115 have their restart line on board register 0x96.
TEST_F(FamilyReadiness, RestartPulseRegisterFollowsTheModelCode) {
  struct Case {
    const char* camera;
    bool moved;
  } cases[] = {{"0x31E0", true}, {"0x32D0", true}, {"0x3140", false}};
  for (const auto& [camera, moved] : cases) {
    SCOPED_TRACE(camera);
    CSensorBase& sensor = Open(camera);
    vc::SetBoardRegister(0, 0x96, 5);
    vc::SetBoardRegister(0, 0x6C, 5);
    EXPECT_EQ(sensor.PulseRestart(), 1);
    EXPECT_EQ(Board(0x96), moved ? 0 : 5);
    EXPECT_EQ(Board(0x6C), moved ? 5 : 0);
    TearDown();
  }
}

TEST_F(FamilyReadiness, ColourChipsAreReadyWhenTheirRegisterZeroAnswers) {
  EXPECT_EQ(Open("0x3020").IsReady(), 1) << "identity 0x012E";
  TearDown();
  EXPECT_EQ(Open("0x3040").IsReady(), 0) << "no chip answers at 0x20 on this camera";
}

using ColourPair = SensorTest;

TEST_F(ColourPair, TheSecondRevisionIsChosenAndProgramsItsGains) {
  CSensorBase& sensor = Open("0x3020");
  ASSERT_EQ(typeid(sensor), typeid(CSensorMT9F002));
  EXPECT_EQ(sensor.DeviceAddress(), 0x20);
  EXPECT_EQ(sensor.ModelCode(), 0) << "no code is announced";
  EXPECT_EQ(Info().maxWidth, 4608);
  EXPECT_EQ(Info().maxHeight, 3288);
  EXPECT_EQ(Info().pixelClockKHz, 96000);
  EXPECT_EQ(Info().bitsPerPixel, 12);
  struct Case {
    int (CSensorBase::*set)(unsigned);
    int (CSensorBase::*get)(int*);
    uint16_t reg;
  } channels[] = {
      {&CSensorBase::SetColorGainRed, &CSensorBase::GetColorGainRed, 0x305A},
      {&CSensorBase::SetColorGainGreen1, &CSensorBase::GetColorGainGreen1, 0x3056},
      {&CSensorBase::SetColorGainGreen2, &CSensorBase::GetColorGainGreen2, 0x305C},
      {&CSensorBase::SetColorGainBlue, &CSensorBase::GetColorGainBlue, 0x3058},
  };
  for (const Case& c : channels) {
    SCOPED_TRACE(c.reg);
    int gain = -1;
    EXPECT_TRUE((sensor.*c.get)(&gain));
    EXPECT_EQ(gain, 64);
    EXPECT_EQ((sensor.*c.set)(100), 1);
    EXPECT_EQ(vc::ColorSensorRegister(0, c.reg), 0x1164);
    EXPECT_EQ((sensor.*c.set)(300), 1) << "clamped to 127";
    EXPECT_EQ(vc::ColorSensorRegister(0, c.reg), 0x117F);
    EXPECT_TRUE((sensor.*c.get)(&gain));
    EXPECT_EQ(gain, 127);
  }
  int min = -1, max = -1, standard = -1;
  EXPECT_TRUE(sensor.GetColorGainMin(&min) && sensor.GetColorGainMax(&max) && sensor.GetColorGainDefault(&standard));
  EXPECT_EQ(min, 0);
  EXPECT_EQ(max, 127);
  EXPECT_EQ(standard, 64);

  controller->sensorWritesLeft = 0;
  EXPECT_EQ(sensor.SetColorGainRed(5), 0);
  int gain = -1;
  sensor.GetColorGainRed(&gain);
  EXPECT_EQ(gain, 127) << "a failed write keeps the value";
  controller->sensorWritesLeft = -1;
}

TEST_F(ColourPair, AnotherIdentityIsTheFirstRevision) {
  CSensorBase& sensor = Open("0x3020:rev1");
  EXPECT_EQ(typeid(sensor), typeid(CSensorMT9F001));
  EXPECT_EQ(sensor.IsReady(), 1);
  sensor.PrepareStart();
  EXPECT_EQ(vc::AuxRegister(0, 40), 0) << "only the second revision re-arms";
}

TEST_F(ColourPair, MirrorsAreLeftToThePipelineAndStartsAreRearmed) {
  CSensorBase& sensor = Open("0x3020");
  const int writes = controller->sensorWrites;
  int on = 0;
  EXPECT_EQ(sensor.SetMirrorV(1), 1);
  EXPECT_EQ(sensor.SetMirrorH(1), 1);
  EXPECT_TRUE(sensor.GetMirrorV(&on) && on == 1);
  EXPECT_TRUE(sensor.GetMirrorH(&on) && on == 1);
  EXPECT_EQ(sensor.IsMirrorVInSensor(), 0);
  EXPECT_EQ(sensor.IsMirrorHInSensor(), 0);
  EXPECT_EQ(controller->sensorWrites, writes) << "nothing reached the sensor";

  ASSERT_TRUE(sensor.WriteRegisterRaw(0x301A, 0x10C8));
  sensor.PrepareStart();
  EXPECT_EQ(vc::ColorSensorRegister(0, 0x301A), 0x10CA);
  EXPECT_EQ(vc::AuxRegister(0, 40), 3);
}

TEST_F(ColourPair, AnUnreadableChipSelectsNothing) {
  ASSERT_TRUE(vc::Configure("0x3020"));
  camera = std::make_unique<CTevrinCy3Cam>();
  for (int i = 0; i < camera->ScanDevices(); ++i) {
    if (camera->Entry(i)->path == vc::DevicePath(0)) {
      ASSERT_TRUE(camera->SelectDevice(i));
    }
  }
  vc::JamSensorBus(0, true);
  EXPECT_EQ(device::CreateProductSensor(0x3020, camera.get()), nullptr);
  EXPECT_EQ(device::CreateProductSensor(0x3020, nullptr), nullptr);
}

using QuadCcd = SensorTest;

TEST_F(QuadCcd, ChannelGainsAndOffsetsLiveInRegisterPairs) {
  CSensorBase& sensor = Open("0x30C0");
  ASSERT_EQ(typeid(sensor), typeid(CSensorKaiQuadLarge));
  for (int channel = 1; channel <= 4; ++channel) {
    SCOPED_TRACE(channel);
    const unsigned gain = 0x1234u * channel, offset = 0x0F0Fu + channel;
    EXPECT_EQ(sensor.SetChannelGain(channel, gain), 1);
    EXPECT_EQ(sensor.SetChannelOffset(channel, offset), 1);
    EXPECT_EQ(BoardValue(static_cast<uint8_t>(0x78 + 2 * (channel - 1)), 2), gain);
    EXPECT_EQ(BoardValue(static_cast<uint8_t>(0x70 + 2 * (channel - 1)), 2), offset);
    int value = -1;
    EXPECT_TRUE(sensor.GetChannelGain(channel, &value));
    EXPECT_EQ(value, static_cast<int>(gain));
    EXPECT_TRUE(sensor.GetChannelOffset(channel, &value));
    EXPECT_EQ(value, static_cast<int>(offset));
    int min = -1, max = -1, standard = -1;
    EXPECT_TRUE(sensor.GetChannelGainMin(channel, &min) && sensor.GetChannelGainMax(channel, &max) &&
                sensor.GetChannelGainDefault(channel, &standard));
    EXPECT_EQ(std::vector<int>({min, max, standard}), std::vector<int>({0, 0xFFFF, 4096}));
    EXPECT_TRUE(sensor.GetChannelOffsetMin(channel, &min) && sensor.GetChannelOffsetMax(channel, &max) &&
                sensor.GetChannelOffsetDefault(channel, &standard));
    EXPECT_EQ(std::vector<int>({min, max, standard}), std::vector<int>({0, 0xFFFF, 0}));
  }
  EXPECT_EQ(sensor.SetChannelGain(1, 0x12345), 1);
  EXPECT_EQ(BoardValue(0x78, 2), 0xFFFFu) << "clamped to 16 bits";

  const int boardWrites = controller->boardWrites;
  for (int channel : {0, 5, -1}) {
    SCOPED_TRACE(channel);
    int value = 0;
    EXPECT_EQ(sensor.SetChannelGain(channel, 1), 0);
    EXPECT_EQ(sensor.SetChannelOffset(channel, 1), 0);
    EXPECT_EQ(sensor.GetChannelGain(channel, &value), 0);
    EXPECT_EQ(sensor.GetChannelOffset(channel, &value), 0);
    EXPECT_EQ(sensor.GetChannelGainMax(channel, &value), 0);
    EXPECT_EQ(sensor.GetChannelOffsetDefault(channel, &value), 0);
  }
  EXPECT_EQ(controller->boardWrites, boardWrites);
}

TEST_F(QuadCcd, BlackLevelGoesToTheBoardAndTheTimingGenerator) {
  CSensorBase& sensor = Open("0x30C0");
  int value = -1;
  EXPECT_EQ(sensor.HasBlackLevel(), 1);
  EXPECT_TRUE(sensor.GetBlackLevel(&value));
  EXPECT_EQ(value, 492);
  EXPECT_EQ(sensor.SetBlackLevel(700), 1);
  EXPECT_EQ(Board(0xA2), 700 & 0xFF);
  EXPECT_EQ(Board(0xA3), 700 >> 8);
  EXPECT_EQ(vc::WideRegister(0, 0x8006), 700u);
  EXPECT_EQ(vc::WideRegister(0, 0x0006), 700u);
  EXPECT_TRUE(sensor.GetBlackLevel(&value));
  EXPECT_EQ(value, 700);
  for (int bad : {1024, -1}) {
    SCOPED_TRACE(bad);
    EXPECT_EQ(sensor.SetBlackLevel(bad), 0);
    EXPECT_EQ(Board(0xA3), 700 >> 8) << "nothing written";
  }
  EXPECT_TRUE(sensor.GetBlackLevelMax(&value));
  EXPECT_EQ(value, 1023);
}

}  // namespace
}  // namespace tevrin::test
