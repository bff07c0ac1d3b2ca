// Endpoint-0 vendor requests and driver requests, byte for byte as they reach
// the driver, and how the replies are taken.
#include <gtest/gtest.h>

#include <cstring>
#include <thread>
#include <vector>

#include "support/RecordingFixture.h"

namespace tevrin::test {
namespace {

constexpr uint32_t kControl = 0x220020;

// The 102-byte endpoint-0 block, written out field by field.
std::vector<uint8_t> Block(uint8_t type, uint8_t request, uint16_t value, uint16_t index,
                           std::vector<uint8_t> data = {}) {
  std::vector<uint8_t> block(102, 0);
  block[0] = type;
  block[1] = request;
  block[2] = value & 0xFF;
  block[3] = value >> 8;
  block[4] = index & 0xFF;
  block[5] = index >> 8;
  block[6] = 102;  // wLength: the whole block
  block[8] = 3;    // seconds
  block[30] = 38;  // buffer offset
  block[34] = 64;  // buffer length
  std::copy(data.begin(), data.end(), block.begin() + 38);
  return block;
}

class ControlRequestTest : public RecordingTest {
 protected:
  void SetUp() override {
    RecordingTest::SetUp();
    camera = OpenCamera();
  }
  std::vector<std::vector<uint8_t>> ControlBlocks() const {
    std::vector<std::vector<uint8_t>> blocks;
    for (const auto& request : driver->Requests()) {
      EXPECT_EQ(request.code, kControl);
      EXPECT_FALSE(request.overlapped);
      EXPECT_EQ(request.in, request.out) << "the same block goes in and out";
      blocks.push_back(request.in);
    }
    return blocks;
  }
  std::unique_ptr<CTevrinCy3Cam> camera;
};

TEST_F(ControlRequestTest, VendorRequests_BlocksAreByteExact) {
  uint8_t byte = 0;
  uint32_t word = 0;
  uint8_t info[64] = {};
  const uint8_t i2c[5] = {1, 2, 3, 4, 5};
  uint8_t reply[5] = {};
  struct Case {
    const char* name;
    std::function<int()> call;
    std::vector<std::vector<uint8_t>> blocks;
  };
  const std::vector<Case> cases = {
      {"I2cWrite", [&] { return camera->I2cWrite(0x48, i2c, 5, 100); }, {Block(0x40, 0x30, 5, 0x48, {1, 2, 3, 4, 5})}},
      {"I2cRead", [&] { return camera->I2cRead(0x48, reply, 5, 100); }, {Block(0xC0, 0x31, 5, 0x49)}},
      {"SendByte", [&] { return camera->SendByte(0x1234); }, {Block(0x40, 0x3C, 0, 0, {0x34, 0, 0, 0})}},
      {"ReadByte", [&] { return camera->ReadByte(&byte); }, {Block(0xC0, 0x3D, 0, 0)}},
      {"WriteValuePair",
       [&] { return camera->WriteValuePair(0x1234, 0x5678); },
       {Block(0x40, 0x3E, 0, 0, {0x12, 0x34, 0x56, 0x78})}},
      {"ReadValue", [&] { return camera->ReadValue(0x0777, &word); }, {Block(0xC0, 0x3F, 0x0777, 0)}},
      {"ReadControllerInfo", [&] { return camera->ReadControllerInfo(info); }, {Block(0xC0, 0xB0, 0, 0)}},
      {"ReadControllerInfo2", [&] { return camera->ReadControllerInfo2(info); }, {Block(0xC0, 0xB1, 0, 0)}},
      {"SendStreamRecovery", [&] { return camera->SendStreamRecovery(); }, {Block(0x40, 0xC0, 0, 0)}},
      {"ReadReadyFlag", [&] { return camera->ReadReadyFlag(&byte); }, {Block(0xC0, 0xC3, 0, 0)}},
      {"SendCommandCC", [&] { return camera->SendCommandCC(); }, {Block(0x42, 0xCC, 0, 0)}},
      {"WriteWideRegister",
       [&] { return camera->WriteWideRegister(0x8123, 0xA1B2C3D4); },
       {Block(0x40, 0xD0, 0x8000, 0x0123, {0xD4, 0xC3, 0xB2, 0xA1})}},
      {"ReadWideRegister", [&] { return camera->ReadWideRegister(0x9234, &word); }, {Block(0xC0, 0xD1, 0, 0x9234)}},
      {"WriteBoardRegister",
       [&] { return camera->WriteBoardRegister(0x6C, 0x81); },
       {Block(0x40, 0x30, 3, 0x40, {0x6C, 0x00, 0x81})}},
      {"ReadBoardRegister",
       [&] { return camera->ReadBoardRegister(0x3C, &byte); },
       {Block(0x40, 0x30, 1, 0x40, {0x3C}), Block(0xC0, 0x31, 2, 0x41)}},
      {"WriteAuxRegister",
       [&] { return camera->WriteAuxRegister(0x12, 0x34); },
       {Block(0x40, 0x30, 2, 0x5A, {0x12, 0x34})}},
      {"ReadAuxRegister",
       [&] { return camera->ReadAuxRegister(0x12, &byte); },
       {Block(0x40, 0x30, 1, 0x5A, {0x12}), Block(0xC0, 0x31, 1, 0x5B)}},
      {"WriteEepromByte",
       [&] { return camera->WriteEepromByte(0x1040, 0x55); },
       {Block(0x40, 0x30, 3, 0xA2, {0x10, 0x40, 0x55})}},
      {"ReadEepromByte",
       [&] { return camera->ReadEepromByte(0x1081, &byte); },
       {Block(0x40, 0x30, 2, 0xA2, {0x10, 0x81}), Block(0xC0, 0x31, 1, 0xA3)}},
      {"ReadFpgaVersion",
       [&] {
         uint16_t version = 0;
         return camera->ReadFpgaVersion(&version);
       },
       {Block(0x40, 0x30, 1, 0x40, {0x10}), Block(0xC0, 0x31, 2, 0x41), Block(0x40, 0x30, 1, 0x40, {0x11}),
        Block(0xC0, 0x31, 2, 0x41)}},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    driver->ClearRequests();
    EXPECT_TRUE(test.call());
    EXPECT_EQ(ControlBlocks(), test.blocks);
  }
}

TEST_F(ControlRequestTest, I2c_MoreThanSixtyFourBytesFailWithoutIo) {
  uint8_t data[65] = {};
  EXPECT_FALSE(camera->I2cWrite(0x48, data, 65, 100));
  EXPECT_FALSE(camera->I2cRead(0x49, data, 65, 100));
  EXPECT_TRUE(driver->Requests().empty());
  EXPECT_TRUE(camera->I2cWrite(0x48, data, 64, 100));
  EXPECT_TRUE(camera->I2cRead(0x49, data, 64, 100));
  EXPECT_EQ(driver->Requests().size(), 2u);
}

TEST_F(ControlRequestTest, Replies_TakenOnlyWhenLongEnough) {
  std::vector<uint8_t> data(64);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(0xC0 + i);
  uint32_t word = 0xFFFFFFFF;
  uint8_t bytes[4] = {9, 9, 9, 9};

  SCOPED_TRACE("full replies");
  driver->SetControlReply(102, data);
  EXPECT_TRUE(camera->ReadWideRegister(0x10, &word));
  EXPECT_EQ(word, 0xC1C0u);
  EXPECT_TRUE(camera->ReadValue(1, &word));
  EXPECT_EQ(word, 0xC1C0u);
  EXPECT_TRUE(camera->I2cRead(0x49, bytes, 4, 0));
  EXPECT_EQ(bytes[3], 0xC3);
  uint8_t board = 0;
  EXPECT_TRUE(camera->ReadBoardRegister(0x10, &board));
  EXPECT_EQ(board, 0xC1) << "the second reply byte";

  SCOPED_TRACE("ten data bytes");
  driver->SetControlReply(38 + 10, data);
  word = 0xFFFFFFFF;
  EXPECT_TRUE(camera->ReadWideRegister(0x10, &word));
  EXPECT_EQ(word, 0u) << "a wide read needs all 64 bytes";
  uint8_t keep[16] = {};
  EXPECT_TRUE(camera->I2cRead(0x49, keep, 16, 0));
  EXPECT_EQ(keep[0], 0) << "fewer bytes than asked for are not copied";

  SCOPED_TRACE("header only");
  driver->SetControlReply(38, data);
  uint8_t ready = 7;
  EXPECT_TRUE(camera->ReadReadyFlag(&ready));
  EXPECT_EQ(ready, 7);
  word = 5;
  EXPECT_TRUE(camera->ReadValue(1, &word));
  EXPECT_EQ(word, 5u);
  uint8_t info[64] = {};
  EXPECT_TRUE(camera->ReadControllerInfo(info));
  EXPECT_EQ(info[0], 0);

  SCOPED_TRACE("one data byte");
  driver->SetControlReply(39, data);
  EXPECT_TRUE(camera->ReadReadyFlag(&ready));
  EXPECT_EQ(ready, 0xC0);
}

TEST_F(ControlRequestTest, Failures_FromDriverAndFromAnUnopenableDevice) {
  driver->SetControlError(ERROR_GEN_FAILURE);
  uint8_t byte = 0;
  EXPECT_FALSE(camera->WriteBoardRegister(1, 2));
  EXPECT_FALSE(camera->ReadBoardRegister(1, &byte));
  EXPECT_FALSE(camera->WriteEepromByte(1, 2));
  EXPECT_FALSE(camera->ReadEepromByte(1, &byte));
  EXPECT_EQ(driver->Requests().size(), 4u) << "a failed address write ends each read";

  driver->SetControlError(0);
  driver->ClearRequests();
  driver->SetOpenable(CameraPath(0x3280, 1), false);
  EXPECT_FALSE(camera->SendCommandCC());
  EXPECT_FALSE(camera->ResetPipe(0x81));
  EXPECT_TRUE(driver->Requests().empty());
}

TEST_F(ControlRequestTest, NullOutputsFailWithoutIo) {
  EXPECT_FALSE(camera->ReadReadyFlag(nullptr));
  EXPECT_FALSE(camera->ReadByte(nullptr));
  EXPECT_FALSE(camera->ReadValue(0, nullptr));
  EXPECT_FALSE(camera->ReadWideRegister(0, nullptr));
  EXPECT_FALSE(camera->ReadBoardRegister(0, nullptr));
  EXPECT_FALSE(camera->ReadAuxRegister(0, nullptr));
  EXPECT_FALSE(camera->ReadEepromByte(0, nullptr));
  EXPECT_FALSE(camera->ReadFpgaVersion(nullptr));
  EXPECT_FALSE(camera->ReadControllerInfo(nullptr));
  EXPECT_FALSE(camera->GetDeviceSpeed(nullptr));
  EXPECT_FALSE(camera->I2cWrite(0x48, nullptr, 2, 0));
  EXPECT_FALSE(camera->I2cRead(0x48, nullptr, 2, 0));
  EXPECT_TRUE(driver->Requests().empty());
  EXPECT_EQ(camera->GetReserved(), 0);
}

TEST_F(ControlRequestTest, DriverRequests_PipeResetPortAndSpeed) {
  driver->SetDeviceSpeed(3);
  uint32_t speed = 0;
  EXPECT_TRUE(camera->ResetPipe(0x81));
  EXPECT_TRUE(camera->ResetParentPort());
  EXPECT_TRUE(camera->GetDeviceSpeed(&speed));
  EXPECT_EQ(speed, 3u);
  ASSERT_TRUE(camera->OpenStream());
  EXPECT_TRUE(camera->AbortImagePipe());

  const auto requests = driver->Requests();
  ASSERT_EQ(requests.size(), 4u);
  EXPECT_EQ(requests[0].code, 0x22002Cu);
  EXPECT_EQ(requests[0].in, std::vector<uint8_t>{0x81});
  EXPECT_EQ(requests[1].code, 0x220030u);
  EXPECT_TRUE(requests[1].in.empty() && requests[1].out.empty());
  EXPECT_EQ(requests[2].code, 0x22004Cu);
  EXPECT_EQ(requests[2].in.size(), 4u);
  EXPECT_EQ(requests[2].out.size(), 4u);
  EXPECT_EQ(requests[3].code, 0x220044u);
  EXPECT_EQ(requests[3].in, std::vector<uint8_t>{0x81});
  EXPECT_TRUE(requests[3].overlapped) << "the abort goes out on the stream handle";
}

TEST_F(ControlRequestTest, Locks_BoardPortPairsStayTogetherUnderConcurrency) {
  // Each board read is an address write followed by its read; another
  // thread's board access must never fall between the two.
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      uint8_t value = 0;
      for (int i = 0; i < 25; ++i) {
        camera->ReadBoardRegister(static_cast<uint8_t>(t), &value);
        camera->WriteBoardRegister(static_cast<uint8_t>(t), 1);
      }
    });
  }
  for (auto& thread : threads) thread.join();
  const auto requests = driver->Requests();
  ASSERT_EQ(requests.size(), 4u * 25u * 3u);
  for (size_t i = 0; i < requests.size(); ++i) {
    const auto& block = requests[i].in;
    if (block[1] == 0x30 && block[2] == 1) {
      ASSERT_LT(i + 1, requests.size());
      EXPECT_EQ(requests[i + 1].in[1], 0x31) << "request " << i;
    }
  }
}

}  // namespace
}  // namespace tevrin::test
