// Frames on endpoint 0x81 and the memory window on 0x01, read the way the
// transport reads them, with the faults tests can inject.
#include <gtest/gtest.h>
#include <tevrin/hardware/FpgaRegisters.h>
#include <tevrin/hardware/Imx991Registers.h>
#include <tevrin/virtualcam/VirtualCameras.h>

#include <cmath>
#include <cstring>
#include <thread>

#include "Fx3Client.h"

namespace {

namespace hw = tevrin::hardware;
namespace vc = tevrin::virtualcam;
using fx3test::Fx3Client;

void ProgramOutput(Fx3Client& camera, int width, int height, int depth) {
  ASSERT_TRUE(camera.WriteBoard(hw::fpga::kOutputWidthLow, width & 0xFF));
  ASSERT_TRUE(camera.WriteBoard(hw::fpga::kOutputWidthHigh, width >> 8));
  ASSERT_TRUE(camera.WriteBoard(hw::fpga::kOutputHeightLow, height & 0xFF));
  ASSERT_TRUE(camera.WriteBoard(hw::fpga::kOutputHeightHigh, height >> 8));
  ASSERT_TRUE(camera.WriteBoard(hw::fpga::kOutputDepth, depth));
}

void ProgramFrameLength(Fx3Client& camera, uint32_t vmax) {
  ASSERT_TRUE(camera.WriteSensor(hw::imx991::kVmax2, (vmax >> 16) & 0xFF));
  ASSERT_TRUE(camera.WriteSensor(hw::imx991::kVmax1, (vmax >> 8) & 0xFF));
  ASSERT_TRUE(camera.WriteSensor(hw::imx991::kVmax0, vmax & 0xFF));
}

TEST(Stream, FramesHaveTheProgrammedSizeAndTheSensorsPeriod) {
  struct Case {
    const char* list;
    double lineTimeUs;
    int width, height, depth;
  } cases[] = {{"0x3280", 12.9618, 640, 512, 2}, {"0x3290:fast", 6.8806, 320, 256, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.list);
    ASSERT_TRUE(vc::Configure(c.list));
    Fx3Client camera(vc::DevicePath(0));
    ProgramOutput(camera, c.width, c.height, c.depth);
    constexpr uint32_t kVmax = 700;
    ProgramFrameLength(camera, kVmax);
    if (std::string(c.list).find("fast") != std::string::npos) {
      ASSERT_TRUE(camera.WriteSensor(hw::imx991::kHmax0, hw::imx991::kHmaxFast & 0xFF));
      ASSERT_TRUE(camera.WriteSensor(hw::imx991::kHmax1, hw::imx991::kHmaxFast >> 8));
    }
    auto first = camera.ReadFrame();
    ASSERT_TRUE(first.ok);
    EXPECT_EQ(first.imageBytes(), uint32_t(c.width * c.height * c.depth));
    EXPECT_EQ(first.image.size(), first.imageBytes());
    auto previous = first;
    for (int i = 0; i < 5; ++i) {
      auto frame = camera.ReadFrame();
      ASSERT_TRUE(frame.ok);
      // Frames are counted and stamped on the camera's clock: a slow host sees
      // gaps in the counter, never a period other than VMAX x line time.
      uint32_t frames = uint8_t(frame.counter() - previous.counter());
      ASSERT_GE(frames, 1u);
      double periodUs = double(frame.timestamp() - previous.timestamp()) / frames;
      EXPECT_NEAR(periodUs, kVmax * c.lineTimeUs, 1.0);
      previous = frame;
    }
  }
}

TEST(Stream, PatternShowsEveryPixelInReadoutOrderPerModel) {
  for (const char* list : {"0x3280:pattern", "0x3290:pattern"}) {
    SCOPED_TRACE(list);
    ASSERT_TRUE(vc::Configure(list));
    const bool halfTurn = std::string(list).find("3280") != std::string::npos;
    Fx3Client camera(vc::DevicePath(0));
    ProgramOutput(camera, 640, 512, 2);
    auto frame = camera.ReadFrame();
    ASSERT_TRUE(frame.ok);
    int wrong = 0;
    for (int y = 0; y < 512; ++y) {
      for (int x = 0; x < 640; ++x) {
        uint16_t sample;
        std::memcpy(&sample, frame.image.data() + (size_t(y) * 640 + x) * 2, 2);
        int sceneX = halfTurn ? 639 - x : x, sceneY = halfTurn ? 511 - y : y;
        wrong += sample != vc::PatternSample(sceneX, sceneY, frame.counter());
      }
    }
    EXPECT_EQ(wrong, 0);
  }
}

TEST(Stream, SceneLevelFollowsExposureAndSaturates) {
  ASSERT_TRUE(vc::Configure("0x3290:seed=3"));
  Fx3Client camera(vc::DevicePath(0));
  ProgramOutput(camera, 640, 512, 2);
  auto mean = [&] {
    auto frame = camera.ReadFrame();
    EXPECT_TRUE(frame.ok);
    double sum = 0;
    uint16_t maximum = 0;
    for (size_t i = 0; i + 1 < frame.image.size(); i += 2) {
      uint16_t sample;
      std::memcpy(&sample, frame.image.data() + i, 2);
      sum += sample;
      maximum = std::max(maximum, sample);
    }
    EXPECT_LE(maximum, 4095);
    return sum / (frame.image.size() / 2);
  };
  ProgramFrameLength(camera, 561);
  auto setShutter = [&](uint32_t shs) {
    ASSERT_TRUE(camera.WriteSensor(hw::imx991::kShs1, (shs >> 8) & 0x0F));
    ASSERT_TRUE(camera.WriteSensor(hw::imx991::kShs0, shs & 0xFF));
  };
  setShutter(561 - 100);
  double dim = mean();
  setShutter(561 - 400);
  double bright = mean();
  EXPECT_GT(bright, dim * 2.5);
  ASSERT_TRUE(camera.WriteSensor(hw::imx991::kGain0, 0xA4));
  ASSERT_TRUE(camera.WriteSensor(hw::imx991::kGain1, 0x01));
  EXPECT_GT(mean(), 4000.0);
}

TEST(Stream, PendingReadEndsByAbortCancelOrUnplug) {
  ASSERT_TRUE(vc::Configure("0x3280"));
  Fx3Client camera(vc::DevicePath(0));
  vc::StallStream(0, true);
  ASSERT_TRUE(camera.Arm());

  uint8_t header[64];
  hw::SingleTransfer request{};
  request.endpointAddress = hw::kEndpointImageIn;
  OVERLAPPED overlapped{};
  overlapped.hEvent = CreateEventA(nullptr, TRUE, TRUE, nullptr);
  DWORD bytes = 0;
  auto start = [&] {
    return DeviceIoControl(camera.handle(), hw::kIoctlDirectTransfer, &request, sizeof(request), header, 64, &bytes,
                           &overlapped);
  };

  ASSERT_FALSE(start());
  ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_IO_PENDING));
  EXPECT_EQ(WaitForSingleObject(overlapped.hEvent, 20), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_FALSE(GetOverlappedResult(camera.handle(), &overlapped, &bytes, FALSE));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_IO_INCOMPLETE));
  ASSERT_TRUE(camera.Abort());
  EXPECT_EQ(WaitForSingleObject(overlapped.hEvent, 10000), static_cast<DWORD>(WAIT_OBJECT_0));
  EXPECT_FALSE(GetOverlappedResult(camera.handle(), &overlapped, &bytes, FALSE));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_OPERATION_ABORTED));
  EXPECT_NE(uint32_t(request.usbdStatus), 0u);

  ASSERT_FALSE(start());
  ASSERT_TRUE(CancelIo(camera.handle()));
  EXPECT_FALSE(GetOverlappedResult(camera.handle(), &overlapped, &bytes, TRUE));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_OPERATION_ABORTED));

  // Unplugged from another thread while the read waits.
  ASSERT_FALSE(start());
  std::thread unplug([] { vc::Unplug(0); });
  EXPECT_FALSE(GetOverlappedResult(camera.handle(), &overlapped, &bytes, TRUE));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED));
  unplug.join();
  EXPECT_FALSE(camera.Arm());
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DEVICE_NOT_CONNECTED));
  // Plugged back in: the old handle stays dead, a new one streams.
  vc::Plug(0);
  vc::StallStream(0, false);
  EXPECT_FALSE(camera.Arm());
  Fx3Client reopened(vc::DevicePath(0));
  EXPECT_TRUE(reopened.ReadFrame().ok);
  CloseHandle(overlapped.hEvent);
}

TEST(Stream, TriggerFramesComeOnlyWithAPulseAndAdvanceTheCounterRegister) {
  ASSERT_TRUE(vc::Configure("0x3280"));
  Fx3Client camera(vc::DevicePath(0));
  ProgramOutput(camera, 64, 8, 1);
  // Switched the way the sensor driver does it: in standby, no frame comes at all.
  ASSERT_TRUE(camera.WriteSensor(hw::imx991::kStandby, 1));
  ASSERT_TRUE(camera.WriteSensor(hw::imx991::kTriggerSelect, hw::imx991::kTriggerSelectExternal));
  ASSERT_TRUE(camera.WriteSensor(hw::imx991::kTriggerEnable, 1));
  vc::PulseTrigger(0);
  ASSERT_TRUE(camera.WriteSensor(hw::imx991::kStandby, 0));
  auto before = camera.ReadBoard(hw::fpga::kFrameCounter);
  ASSERT_TRUE(before);
  EXPECT_FALSE(camera.ReadFrame(100).ok);
  EXPECT_EQ(camera.ReadBoard(hw::fpga::kFrameCounter), before);

  std::thread pulse([] {
    Sleep(50);
    vc::PulseTrigger(0);
  });
  auto frame = camera.ReadFrame(10000);
  pulse.join();
  ASSERT_TRUE(frame.ok);
  EXPECT_EQ(camera.ReadBoard(hw::fpga::kFrameCounter), uint8_t(*before + 1));
  EXPECT_EQ(frame.counter(), uint8_t(*before + 1));

  // Back to free run: frames come by themselves again.
  ASSERT_TRUE(camera.WriteSensor(hw::imx991::kTriggerEnable, 0));
  EXPECT_TRUE(camera.ReadFrame().ok);
}

TEST(Stream, InjectedFaultsAreSeenAtTheDriverInterface) {
  ASSERT_TRUE(vc::Configure("0x3280"));
  Fx3Client camera(vc::DevicePath(0));
  ProgramOutput(camera, 64, 8, 2);
  uint8_t header[64];

  vc::FailNextFrameHeaders(0, 2);
  for (int i = 0; i < 2; ++i) {
    ASSERT_TRUE(camera.Arm());
    auto failed = camera.Bulk(hw::kEndpointImageIn, header, 64);
    EXPECT_FALSE(failed.ok);
    EXPECT_EQ(failed.error, static_cast<DWORD>(ERROR_GEN_FAILURE));
    EXPECT_NE(uint32_t(failed.header.usbdStatus), 0u);
  }
  EXPECT_TRUE(camera.ReadFrame().ok);

  vc::FailNextTransfers(0, 1);
  EXPECT_FALSE(camera.ReadFrame().ok);
  EXPECT_TRUE(camera.ReadFrame().ok);

  vc::ShortenNextTransfer(0, 100);
  ASSERT_TRUE(camera.Arm());
  ASSERT_TRUE(camera.Bulk(hw::kEndpointImageIn, header, 64).ok);
  std::vector<uint8_t> image(64 * 8 * 2);
  auto shortened = camera.Bulk(hw::kEndpointImageIn, image.data(), DWORD(image.size()));
  EXPECT_TRUE(shortened.ok);
  EXPECT_EQ(shortened.bytes, image.size() - 100);

  // A stalled stream times out the read; the abort completes it.
  vc::StallStream(0, true);
  ASSERT_TRUE(camera.Arm());
  auto stalled = camera.Bulk(hw::kEndpointImageIn, header, 64, 50);
  EXPECT_FALSE(stalled.ok);
  EXPECT_EQ(stalled.error, static_cast<DWORD>(ERROR_OPERATION_ABORTED));
  vc::StallStream(0, false);
  EXPECT_TRUE(camera.ReadFrame().ok);
}

TEST(Stream, MemoryWindowWritesAndReadsCameraMemory) {
  ASSERT_TRUE(vc::Configure("0x3280"));
  Fx3Client camera(vc::DevicePath(0));
  auto command = [&](const char* tag, uint64_t address, uint32_t length) {
    hw::MemoryWindowCommand block{};
    std::memcpy(block.tag, tag, 4);
    block.version = hw::kMemoryWindowVersion;
    block.addressLow = uint32_t(address);
    block.addressHigh = uint32_t(address >> 32);
    block.length = length;
    return camera.Bulk(hw::kEndpointBulkOut, &block, sizeof(block));
  };
  std::vector<uint8_t> written(8192);
  for (size_t i = 0; i < written.size(); ++i) written[i] = uint8_t(i * 7 + 1);
  ASSERT_TRUE(command("ZU3W", 0x10000FF0, 8192).ok);
  auto write = camera.Bulk(hw::kEndpointBulkOut, written.data(), 8192);
  ASSERT_TRUE(write.ok);
  EXPECT_EQ(write.bytes, 8192u);

  ASSERT_TRUE(command("ZU3R", 0x10000FF0, 8192).ok);
  std::vector<uint8_t> read(8192);
  auto result = camera.Bulk(hw::kEndpointImageIn, read.data(), 8192);
  ASSERT_TRUE(result.ok);
  EXPECT_EQ(result.bytes, 8192u);
  EXPECT_EQ(read, written);
  EXPECT_FALSE(command("ZU3X", 0, 16).ok);
}

}  // namespace
