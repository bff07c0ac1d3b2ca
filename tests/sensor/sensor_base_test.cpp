// CSensorBase on its own: the answers of a driver that overrides nothing,
// the order of the operations the device layer calls by position, and the
// shared helpers against a scripted controller.
#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "sensor/SensorBase.h"

namespace {

// A board whose registers hold what is written, except for the read-backs
// and version reads the test makes fail.
class ScriptedController final : public CControllerBase {
 public:
  int GetReserved() override { return 0; }
  int ReleaseTransfer() override { return 0; }
  int SelectDevice(int) override { return 0; }
  int ReadFpgaVersion(uint16_t* version) override {
    ++versionReads;
    if (failVersionReads > 0) {
      --failVersionReads;
      return 0;
    }
    *version = fpgaVersion;
    return 1;
  }
  int ReadReadyFlag(uint8_t*) override { return 0; }
  int SendCommandCC() override { return 0; }
  int I2cWrite(uint8_t, const uint8_t*, uint32_t, uint32_t) override { return 0; }
  int I2cRead(uint8_t, uint8_t*, uint32_t, uint32_t) override { return 0; }
  int WriteWideRegister(uint32_t, uint32_t) override { return 0; }
  int ReadWideRegister(uint32_t, uint32_t*) override { return 0; }
  int WriteValuePair(uint16_t, uint16_t) override { return 0; }
  int ReadValue(uint16_t, uint32_t*) override { return 0; }
  int WriteBoardRegister(uint8_t reg, uint8_t value) override {
    writes.emplace_back(reg, value);
    if (failWrites > 0) return --failWrites, 0;
    board[reg] = value;
    return 1;
  }
  int ReadBoardRegister(uint8_t reg, uint8_t* value) override {
    ++reads;
    *value = board[reg];
    if (wrongReadBacks > 0) --wrongReadBacks, *value ^= 0xFF;
    return 1;
  }
  int WriteAuxRegister(uint8_t, uint8_t) override { return 0; }
  int ReadAuxRegister(uint8_t, uint8_t*) override { return 0; }
  int WriteEepromByte(uint16_t, uint8_t) override { return 0; }
  int ReadEepromByte(uint16_t, uint8_t*) override { return 0; }
  int AbortImagePipe() override { return 1; }

  uint16_t fpgaVersion = 0x8125;
  int failVersionReads = 0;
  int versionReads = 0;
  int failWrites = 0;
  int wrongReadBacks = 0;
  int reads = 0;
  std::map<uint8_t, uint8_t> board;
  std::vector<std::pair<uint8_t, uint8_t>> writes;
};

// A driver that overrides nothing but the exposure it is handed, with the
// helpers in reach.
class CProbeSensor final : public CSensorBase {
 public:
  using CSensorBase::CSensorBase;
  using CSensorBase::HasBoardTemperature;
  using CSensorBase::IsFastBoard;
  using CSensorBase::IsInternalCorrectionAvailable;
  using CSensorBase::IsOldFirmware;
  using CSensorBase::ProgramTriggerTiming;
  using CSensorBase::PulseRestart;
  using CSensorBase::SetExposureNanoseconds;
  using CSensorBase::WriteBoardRegisterVerified;
  int SetExposureLines(unsigned lines) override {
    handed = lines;
    return 1;
  }
  void Describe(int blackSupported) {
    info_.blackValue = 77;
    info_.blackSupported = blackSupported;
  }
  void ClearRestartFlag() { restartPulse_ = 0; }
  unsigned handed = 0;
};

class CBareSensor final : public CSensorBase {
 public:
  using CSensorBase::CSensorBase;
};

TEST(SensorBase, ADriverThatOverridesNothingSupportsNothing) {
  CBareSensor s(nullptr, 0x48);
  using Query = int (CSensorBase::*)();
  const struct {
    Query query;
    int expected;
  } queries[] = {
      {&CSensorBase::IsReady, 0},
      {&CSensorBase::Initialize, 0},
      {&CSensorBase::HasAuxiliary, 0},
      {&CSensorBase::HasBlackLevel, 0},
      {&CSensorBase::HasSensorOption, 0},
      {&CSensorBase::HasGainLevel, 0},
      {&CSensorBase::HasCooler, 0},
      {&CSensorBase::HasTemperature, 0},
      {&CSensorBase::HasExposureSeconds, 0},
      {&CSensorBase::HasModeSwitch, 0},
      {&CSensorBase::GetModeSwitch, -1},
      {&CSensorBase::GetModeSelect, -1},
      {&CSensorBase::SupportsGray8, 1},
      {&CSensorBase::SupportsGray16, 1},
      {&CSensorBase::SupportsColor, 1},
      {&CSensorBase::HasFeatureBit, 0},
      {&CSensorBase::IsMirrorVInSensor, 0},
      {&CSensorBase::Reserved84, 0},
      {&CSensorBase::Reserved91, 0},
      {&CSensorBase::HasInternalCorrection, 0},
  };
  for (const auto& q : queries) EXPECT_EQ((s.*q.query)(), q.expected);
  EXPECT_EQ(s.SetCaptureWindow(0, 640, 0, 512, 0), 0);
  EXPECT_EQ(s.SetExposureTime(70), 0);
  EXPECT_EQ(s.GetTriggerModeValue(), 15);
  EXPECT_EQ(s.SetTriggerModeValue(0x10000), 1);
  EXPECT_EQ(s.GetTriggerModeValue(), 0x10000);
  EXPECT_EQ(s.SetModelCode(59), 1);
  EXPECT_EQ(s.ModelCode(), 59);

  // Getters of optional features report their support flag, with the value written.
  int value = -1;
  double seconds = -1;
  EXPECT_EQ(s.GetBlackLevel(&value), 0);
  EXPECT_EQ(value, 0);
  EXPECT_EQ(s.GetExposureSeconds(&seconds), 0);
  EXPECT_EQ(seconds, 0.0);
  EXPECT_EQ(s.GetBlackLevel(nullptr), 0);
  EXPECT_EQ(s.GetSensorInfo(nullptr), 0);
  SensorInfo info;
  std::memset(&info, 0x5A, sizeof(info));
  EXPECT_EQ(s.GetSensorInfo(&info), 1);
  EXPECT_EQ(info.maxWidth, 0);
  EXPECT_EQ(info.orientation, 0);

  CProbeSensor probe(nullptr, 0x48);
  probe.Describe(1);
  EXPECT_EQ(probe.GetBlackLevel(&value), 1);
  EXPECT_EQ(value, 77);
}

#if defined(__GNUC__)
// The device layer calls the operations by position: the Itanium ABI keeps a
// virtual member pointer as 1 + its byte offset in the table, in which the
// destructor takes two slots.
template <class Member>
size_t Slot(Member member) {
  struct {
    uintptr_t pointer;
    ptrdiff_t adjust;
  } raw;
  static_assert(sizeof(member) == sizeof(raw));
  std::memcpy(&raw, &member, sizeof(raw));
  return (raw.pointer - 1) / sizeof(void*) - 1;
}

TEST(SensorBase, OperationsKeepTheirPositions) {
  EXPECT_EQ(Slot(&CSensorBase::SetModelCode), 1u);
  EXPECT_EQ(Slot(&CSensorBase::Initialize), 5u);
  EXPECT_EQ(Slot(&CSensorBase::SetCaptureWindow), 8u);
  EXPECT_EQ(Slot(&CSensorBase::SetExposureLines), 16u);
  EXPECT_EQ(Slot(&CSensorBase::GetColorGainDefault), 36u);
  EXPECT_EQ(Slot(&CSensorBase::GetChannelOffsetDefault), 46u);
  EXPECT_EQ(Slot(&CSensorBase::GetGainLevelLabel), 63u);
  EXPECT_EQ(Slot(&CSensorBase::SetExposureTime), 64u);
  EXPECT_EQ(Slot(&CSensorBase::ExtensionCommand), 77u);
  EXPECT_EQ(Slot(&CSensorBase::WriteRegister), 80u);
  EXPECT_EQ(Slot(&CSensorBase::Reserved84), 84u);
  EXPECT_EQ(Slot(&CSensorBase::SetPixelClockMode), 88u);
  EXPECT_EQ(Slot(&CSensorBase::GetSensorInfo), 92u);
  EXPECT_EQ(Slot(&CSensorBase::PrepareStart), 93u);
  EXPECT_EQ(Slot(&CSensorBase::GetTemperature), 102u);
  EXPECT_EQ(Slot(&CSensorBase::SendText), 112u);
  EXPECT_EQ(Slot(&CSensorBase::Reserved118), 118u);
  EXPECT_EQ(Slot(&CSensorBase::SetExposureSeconds), 126u);
  EXPECT_EQ(Slot(&CSensorBase::GetModeStatus), 131u);
  EXPECT_EQ(Slot(&CSensorBase::SetModeSelect), 137u);
  EXPECT_EQ(Slot(&CSensorBase::SupportsColor), 140u);
  EXPECT_EQ(Slot(&CSensorBase::UpdateStatus), 146u);
}
#endif

TEST(SensorBase, VerifiedWriteRetriesUntilTheBoardHoldsTheValue) {
  ScriptedController board;
  CProbeSensor s(&board, 0x48);
  board.wrongReadBacks = 3;
  board.failWrites = 2;
  EXPECT_EQ(s.WriteBoardRegisterVerified(0x58, 2, CSensorBase::VerifyPolicy::kPlain), 1);
  EXPECT_EQ(board.writes.size(), 6u);  // two refused, three not read back, one verified
  EXPECT_EQ(board.board[0x58], 2);

  board.writes.clear();
  board.wrongReadBacks = 10;
  EXPECT_EQ(s.WriteBoardRegisterVerified(0x58, 0, CSensorBase::VerifyPolicy::kTimed), 0);
  EXPECT_EQ(board.writes.size(), 10u);

  board.writes.clear();
  board.wrongReadBacks = 1;
  EXPECT_EQ(s.WriteBoardRegisterVerified(0x59, 4, CSensorBase::VerifyPolicy::kPatient), 1);
  EXPECT_EQ(board.writes.size(), 2u);

  CProbeSensor unconnected(nullptr, 0x48);
  EXPECT_EQ(unconnected.WriteBoardRegisterVerified(0x58, 0, CSensorBase::VerifyPolicy::kPlain), 0);
}

TEST(SensorBase, RestartPulseOnlyWhileFlagged) {
  ScriptedController board;
  CProbeSensor s(&board, 0x48);
  EXPECT_EQ(s.PulseRestart(), 1);
  const std::vector<std::pair<uint8_t, uint8_t>> pulse6C = {{0x6C, 1}, {0x6C, 0}};
  EXPECT_EQ(board.writes, pulse6C);

  board.writes.clear();
  s.SetModelCode(103);
  EXPECT_EQ(s.PulseRestart(), 1);
  const std::vector<std::pair<uint8_t, uint8_t>> pulse96 = {{0x96, 1}, {0x96, 0}};
  EXPECT_EQ(board.writes, pulse96);

  board.writes.clear();
  s.ClearRestartFlag();
  EXPECT_EQ(s.PulseRestart(), 1);
  EXPECT_TRUE(board.writes.empty());
  EXPECT_EQ(board.reads, 0);
}

TEST(SensorBase, FpgaVersionIsReadOnceAndJudged) {
  struct Case {
    uint16_t version;
    bool fast, old, correction, boardTemperature;
  } cases[] = {{0x8125, false, false, true, true},
               {0xC125, true, false, true, true},
               {0x0110, false, true, false, false},
               {0x0111, false, false, false, false},
               {0x8023, false, false, true, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    ScriptedController board;
    board.fpgaVersion = c.version;
    board.failVersionReads = 2;
    CProbeSensor s(&board, 0x48);
    EXPECT_EQ(s.IsFastBoard(), c.fast);
    EXPECT_EQ(s.IsOldFirmware(), c.old);
    EXPECT_EQ(s.IsInternalCorrectionAvailable(), c.correction);
    EXPECT_EQ(s.HasBoardTemperature(), c.boardTemperature);
    EXPECT_EQ(board.versionReads, 3);
  }
}

TEST(SensorBase, UnreadableFpgaVersionMeansAStandardCurrentBoard) {
  ScriptedController board;
  board.fpgaVersion = 0x4000;
  board.failVersionReads = 10;
  CProbeSensor s(&board, 0x48);
  EXPECT_FALSE(s.IsFastBoard());
  EXPECT_EQ(board.versionReads, 10);
  // Every later question asks the board again.
  EXPECT_TRUE(s.IsFastBoard());
  EXPECT_FALSE(s.IsOldFirmware());
  EXPECT_EQ(board.versionReads, 11);
}

TEST(SensorBase, ExposureConversionHandsOverWholeLines) {
  CProbeSensor s(nullptr, 0x48);
  const struct {
    uint64_t nanoseconds;
    double lineTime;
    unsigned lines;
  } cases[] = {{7000000, 12961.774681455678, 539}, {100000, 12961.774681455678, 7},    {7372, 12961.774681455678, 1},
               {0, 12961.774681455678, 1},         {7000000, 6880.557337977816, 1016}, {UINT64_MAX, 1.0, UINT32_MAX}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.nanoseconds);
    EXPECT_EQ(s.SetExposureNanoseconds(c.nanoseconds, c.lineTime), 1);
    EXPECT_EQ(s.handed, c.lines);
  }
}

TEST(SensorBase, TriggerTimingProgramsTheBoard) {
  ScriptedController board;
  CProbeSensor s(&board, 0x48);
  CSensorBase::TriggerTiming timing;
  timing.exposureLines = 0x0A123456;
  timing.periodLines = 0x00ABCDEF;
  timing.exposureTopBits = true;
  timing.policy = CSensorBase::VerifyPolicy::kPlain;
  s.ProgramTriggerTiming(timing);
  const std::map<uint8_t, uint8_t> expected = {{0x50, 0xEF}, {0x51, 0xCD}, {0x52, 0xAB}, {0x54, 0xC3}, {0x55, 2},
                                               {0x58, 2},    {0x85, 0x56}, {0x86, 0x34}, {0x9B, 0x12}, {0x9C, 0x0A}};
  EXPECT_EQ(board.board, expected);
  EXPECT_EQ(board.writes.front(), std::make_pair(uint8_t{0x58}, uint8_t{0}));
  EXPECT_EQ(board.writes.back(), std::make_pair(uint8_t{0x58}, uint8_t{2}));

  board.writes.clear();
  timing.switchLogic = false;
  s.ProgramTriggerTiming(timing);
  for (const auto& write : board.writes) EXPECT_NE(write.first, 0x58);
}

}  // namespace
