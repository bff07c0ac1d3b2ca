// The transport's other frame reads against the virtual cameras: the image
// on the auxiliary endpoint of the product without board port (0x3042), and
// the stream reads through the memory window of the stream products.
#include <gtest/gtest.h>
#include <tevrin/hardware/FpgaRegisters.h>
#include <tevrin/hardware/Imx991Registers.h>
#include <tevrin/virtualcam/VirtualCameras.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

#include "usb/TevrinCy3Cam.h"
#include "support/StreamFrame.h"
#include "support/VirtualCamera.h"

namespace {

namespace hw = tevrin::hardware;
namespace vc = tevrin::virtualcam;
using tevrin::usb::FrameHeaderBlock;
using Clock = std::chrono::steady_clock;

constexpr int kWidth = 640, kHeight = 512;
constexpr uint32_t kStreamStep = 16384;

using tevrin::test::Frame;

// The pattern counter (mod 256) an image of width x height at `depth` bytes
// per pixel shows in every pixel, or -1. Columns and rows past the sensor
// repeat its last ones.
int PatternCounter(const std::vector<uint8_t>& bytes, int width, int height, int depth) {
  for (int counter = 0; counter < 256; ++counter) {
    bool all = true;
    for (int y = 0; y < height && all; ++y) {
      for (int x = 0; x < width && all; ++x) {
        const size_t at = (size_t(y) * width + x) * depth;
        const int sample = depth == 2 ? bytes[at] | bytes[at + 1] << 8 : bytes[at];
        const int expected = vc::PatternSample(std::min(x, kWidth - 1), std::min(y, kHeight - 1), counter);
        all = sample == (depth == 2 ? expected : expected >> 4);
      }
    }
    if (all) return counter;
  }
  return -1;
}

class VirtualFrameRoutesTest : public ::testing::Test {
 protected:
  std::unique_ptr<CTevrinCy3Cam> Open(const char* cameras) {
    auto camera = tevrin::test::OpenVirtualCamera(cameras);
    EXPECT_TRUE(camera->OpenStream());
    return camera;
  }

  // A longer frame period (VMAX lines of 12.96 us), so that the 8-bit frame
  // counter cannot wrap between two reads.
  static void SlowFrames(CTevrinCy3Cam& camera, uint32_t vmax) {
    for (auto [reg, value] : {std::pair{hw::imx991::kVmax2, vmax >> 16}, std::pair{hw::imx991::kVmax1, vmax >> 8},
                              std::pair{hw::imx991::kVmax0, vmax}}) {
      const uint8_t data[3] = {static_cast<uint8_t>(reg >> 8), static_cast<uint8_t>(reg), static_cast<uint8_t>(value)};
      ASSERT_TRUE(camera.I2cWrite(hw::kI2cSensorWrite, data, 3, 3000));
    }
  }

  static uint32_t StreamReadBytes(uint32_t frameBytes) { return (frameBytes / kStreamStep + 1) * kStreamStep; }

  void TearDown() override { vc::Configure(""); }
};

TEST_F(VirtualFrameRoutesTest, Aux_PatternImageAtTheDepthTheOneByteCommandChose) {
  auto camera = Open("0x3042:pattern");
  Frame frame(kWidth * kHeight * 2);
  frame.block.auxLength = kWidth * kHeight * 2;
  ASSERT_TRUE(camera->ReadAuxData(&frame.block)) << "two bytes per pixel until a command says otherwise";
  const int first = PatternCounter(frame.bytes, kWidth, kHeight, 2);
  EXPECT_GE(first, 0);

  ASSERT_TRUE(camera->SendByte(0));
  frame.block.auxLength = kWidth * kHeight;
  ASSERT_TRUE(camera->ReadAuxData(&frame.block));
  const int second = PatternCounter(frame.bytes, kWidth, kHeight, 1);
  EXPECT_GE(second, 0);
  EXPECT_NE(second, first) << "every read gets a new frame";

  ASSERT_TRUE(camera->SendByte(1));
  frame.block.auxLength = kWidth * kHeight * 2;
  ASSERT_TRUE(camera->ReadAuxData(&frame.block));
  EXPECT_GE(PatternCounter(frame.bytes, kWidth, kHeight, 2), 0);

  // The camera's image is all there is: a longer read ends short, and fails.
  frame.bytes.resize(kWidth * kHeight * 2 + 4096);
  frame.block.destination = frame.bytes.data();
  frame.block.capacity = frame.block.auxLength = static_cast<uint32_t>(frame.bytes.size());
  EXPECT_FALSE(camera->ReadAuxData(&frame.block));
  camera->CloseStream();
}

TEST_F(VirtualFrameRoutesTest, Aux_NoBoardPortAndNoFramesOnTheImagePipe) {
  auto camera = Open("0x3042");
  uint8_t value = 0;
  EXPECT_FALSE(camera->ReadBoardRegister(hw::fpga::kOutputDepth, &value));
  EXPECT_FALSE(camera->WriteBoardRegister(hw::fpga::kOutputDepth, 1));
  uint16_t version = 0;
  EXPECT_FALSE(camera->ReadFpgaVersion(&version));
  EXPECT_TRUE(camera->SendStreamRecovery());
  EXPECT_TRUE(camera->ResetParentPort());

  // Any other product sends nothing on the auxiliary endpoint.
  camera->CloseStream();
  camera.reset();  // the last user of the device table lets the next scan start afresh
  camera = Open("0x3290");
  Frame frame(kWidth * kHeight * 2);
  frame.block.auxLength = kWidth * kHeight * 2;
  EXPECT_FALSE(camera->ReadAuxData(&frame.block));
  EXPECT_TRUE(camera->ReadBoardRegister(hw::fpga::kOutputDepth, &value));
  camera->CloseStream();
}

TEST_F(VirtualFrameRoutesTest, Aux_StallFailsTheReadAfterItsWaitAndInjectedFaultsFailOneRead) {
  auto camera = Open("0x3042:pattern");
  Frame frame(kWidth * kHeight * 2);
  frame.block.auxLength = kWidth * kHeight * 2;
  vc::StallStream(0, true);
  const auto start = Clock::now();
  EXPECT_FALSE(camera->ReadAuxData(&frame.block));
  EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(5000)) << "the armed read waits 5 s";
  vc::StallStream(0, false);
  // The acquisition's recovery before it tries again.
  ASSERT_TRUE(camera->ResetParentPort());
  ASSERT_TRUE(camera->SendStreamRecovery());
  ASSERT_TRUE(camera->ResetPipe(hw::kEndpointImageIn));
  ASSERT_TRUE(camera->ReadAuxData(&frame.block)) << "the given-up read left nothing behind";

  vc::FailNextTransfers(0, 1);
  EXPECT_FALSE(camera->ReadAuxData(&frame.block));
  vc::FailNextFrameHeaders(0, 1);
  EXPECT_FALSE(camera->ReadAuxData(&frame.block));
  vc::ShortenNextTransfer(0, 100);
  EXPECT_FALSE(camera->ReadAuxData(&frame.block));
  ASSERT_TRUE(camera->ReadAuxData(&frame.block));
  EXPECT_GE(PatternCounter(frame.bytes, kWidth, kHeight, 2), 0);
  camera->CloseStream();
}

TEST_F(VirtualFrameRoutesTest, Stream_ConsecutiveReadsGiveSuccessiveFramesWithExactPixels) {
  auto camera = Open("0x3320:pattern");
  SlowFrames(*camera, 3000);
  const uint32_t frameBytes = kWidth * kHeight * 2;
  Frame frame(StreamReadBytes(frameBytes));
  uint32_t previous = 0;
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    std::fill(frame.bytes.begin(), frame.bytes.end(), 0xEE);
    uint64_t length = frameBytes;
    ASSERT_TRUE(camera->ReadStream(&frame.block, &length, 3000));
    EXPECT_EQ(length, StreamReadBytes(frameBytes)) << "whole 16 KiB steps and one more";
    const uint32_t after = vc::FrameCounter(0);
    const int counter = PatternCounter(frame.bytes, kWidth, kHeight, 2);
    ASSERT_GE(counter, 0);
    // The full count of the frame read: the newest made by now with these low 8 bits.
    const uint32_t made = after - uint8_t(after - counter);
    if (i > 0) {
      EXPECT_GT(made, previous);
    }
    previous = made;
    EXPECT_TRUE(std::all_of(frame.bytes.begin() + frameBytes, frame.bytes.end(), [](uint8_t b) { return b == 0; }))
        << "the steps past the image come as zeros";
  }
  camera->CloseStream();
}

TEST_F(VirtualFrameRoutesTest, Stream_SizeAndDepthFromTheBoardRegistersInOneOrManyCommands) {
  // 0x3310 takes a command before every 4 MiB chunk, 0x3330 one for the whole read.
  for (const auto& [list, commandPerChunk] : {std::pair{"0x3310:pattern", true}, std::pair{"0x3330:pattern", false}}) {
    SCOPED_TRACE(list);
    auto camera = Open(list);
    camera->SetStreamPolicy({.readCommandPerChunk = commandPerChunk});
    constexpr int kBigWidth = 4096, kBigHeight = 1100;
    ASSERT_TRUE(camera->WriteBoardRegister(hw::fpga::kOutputDepth, 1));
    ASSERT_TRUE(camera->WriteBoardRegister(hw::fpga::kOutputWidthLow, kBigWidth & 0xFF));
    ASSERT_TRUE(camera->WriteBoardRegister(hw::fpga::kOutputWidthHigh, kBigWidth >> 8));
    ASSERT_TRUE(camera->WriteBoardRegister(hw::fpga::kOutputHeightLow, kBigHeight & 0xFF));
    ASSERT_TRUE(camera->WriteBoardRegister(hw::fpga::kOutputHeightHigh, kBigHeight >> 8));
    const uint32_t frameBytes = kBigWidth * kBigHeight;
    ASSERT_GT(frameBytes, 0x400000u);
    Frame frame(StreamReadBytes(frameBytes));
    for (int i = 0; i < 2; ++i) {
      uint64_t length = frameBytes;
      ASSERT_TRUE(camera->ReadStream(&frame.block, &length, 3000));
      EXPECT_EQ(length, StreamReadBytes(frameBytes));
      EXPECT_GE(PatternCounter(frame.bytes, kBigWidth, kBigHeight, 1), 0);
    }
    camera->CloseStream();
  }
}

TEST_F(VirtualFrameRoutesTest, Stream_StallFailsAfterTheTimeOutAndFaultsFailOneRead) {
  auto camera = Open("0x3340:pattern");
  const uint32_t frameBytes = kWidth * kHeight * 2;
  Frame frame(StreamReadBytes(frameBytes));
  vc::StallStream(0, true);
  uint64_t length = frameBytes;
  const auto start = Clock::now();
  EXPECT_FALSE(camera->ReadStream(&frame.block, &length, 200));
  EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(200));
  EXPECT_EQ(length, 0u);
  vc::StallStream(0, false);
  // The acquisition's recovery before it tries again.
  camera->CloseStream();
  ASSERT_TRUE(camera->ResetPipe(hw::kEndpointImageIn));
  ASSERT_TRUE(camera->SendStreamRecovery());
  ASSERT_TRUE(camera->WriteBoardRegister(hw::fpga::kRestartPulse, 1));
  ASSERT_TRUE(camera->WriteBoardRegister(hw::fpga::kRestartPulse, 0));
  ASSERT_TRUE(camera->SendStreamRecovery());
  ASSERT_TRUE(camera->OpenStream());
  length = frameBytes;
  ASSERT_TRUE(camera->ReadStream(&frame.block, &length, 3000)) << "the given-up read left nothing behind";
  EXPECT_GE(PatternCounter(frame.bytes, kWidth, kHeight, 2), 0);

  vc::FailNextTransfers(0, 1);
  length = frameBytes;
  EXPECT_FALSE(camera->ReadStream(&frame.block, &length, 3000)) << "the command fails";
  vc::FailNextFrameHeaders(0, 1);
  length = frameBytes;
  EXPECT_FALSE(camera->ReadStream(&frame.block, &length, 3000)) << "the frame fails";
  vc::ShortenNextTransfer(0, 100);
  length = frameBytes;
  EXPECT_FALSE(camera->ReadStream(&frame.block, &length, 3000));
  EXPECT_EQ(length, StreamReadBytes(frameBytes) - 100);
  length = frameBytes;
  ASSERT_TRUE(camera->ReadStream(&frame.block, &length, 3000));
  EXPECT_GE(PatternCounter(frame.bytes, kWidth, kHeight, 2), 0);
  camera->CloseStream();
}

TEST_F(VirtualFrameRoutesTest, Stream_AbortFromAnotherThreadEndsAStalledRead) {
  auto camera = Open("0x3310");
  const uint32_t frameBytes = kWidth * kHeight * 2;
  Frame frame(StreamReadBytes(frameBytes));
  vc::StallStream(0, true);
  std::atomic<bool> done{false};
  // Keeps aborting: the abort may come before the read has reached the driver.
  std::thread aborter([&] {
    while (!done.load()) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      camera->AbortImagePipe();
    }
  });
  uint64_t length = frameBytes;
  EXPECT_FALSE(camera->ReadStream(&frame.block, &length, 60000));
  done.store(true);
  aborter.join();
  EXPECT_EQ(length, 0u);
  vc::StallStream(0, false);
  camera->CloseStream();
}

TEST_F(VirtualFrameRoutesTest, Stream_MemoryWindowAwayFromAddressZeroStaysMemory) {
  auto camera = Open("0x3330:pattern");
  std::vector<uint8_t> written(5000), read(5000);
  for (size_t i = 0; i < written.size(); ++i) written[i] = static_cast<uint8_t>(i * 13);
  ASSERT_TRUE(camera->WriteMemory(0x20000, written.data(), 5000));
  uint64_t length = kWidth * kHeight * 2;
  Frame frame(StreamReadBytes(kWidth * kHeight * 2));
  ASSERT_TRUE(camera->ReadStream(&frame.block, &length, 3000));
  ASSERT_TRUE(camera->ReadMemory(0x20000, read.data(), 5000));
  EXPECT_EQ(read, written);
  camera->CloseStream();
}

TEST_F(VirtualFrameRoutesTest, Stream_FpgaDieTemperatureRegisters) {
  auto camera = Open("0x3310");
  auto celsius = [&] {
    uint8_t low = 0, high = 0;
    EXPECT_TRUE(camera->ReadBoardRegister(hw::fpga::kDieTemperatureLow, &low));
    EXPECT_TRUE(camera->ReadBoardRegister(hw::fpga::kDieTemperatureHigh, &high));
    return (low | high << 8) * 503.975 / 65536 - 273.15;
  };
  EXPECT_NEAR(celsius(), 45.0, 0.01);
  vc::SetFpgaTemperature(0, 40.0);
  EXPECT_NEAR(celsius(), 40.0, 0.01);
  vc::SetFpgaTemperature(0, 71.5);
  EXPECT_NEAR(celsius(), 71.5, 0.01);
  camera->CloseStream();
}

}  // namespace
