// Bulk transfers and the stream operations against the recording driver:
// what goes out on the pipes, chunking and rounding, time-outs and aborts.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "support/RecordingFixture.h"

namespace tevrin::test {
namespace {

constexpr uint32_t kControl = 0x220020;
constexpr uint32_t kDirect = 0x22004B;
constexpr uint32_t kAbort = 0x220044;

std::vector<uint8_t> BulkHeader(uint8_t endpoint) {
  std::vector<uint8_t> header(38, 0);
  header[13] = endpoint;
  return header;
}

std::vector<uint8_t> MemoryCommand(const char* tag, uint64_t address, uint32_t length) {
  std::vector<uint8_t> command(32, 0);
  std::memcpy(command.data(), tag, 4);
  command[4] = 2;
  for (int i = 0; i < 4; ++i) {
    command[8 + i] = static_cast<uint8_t>(address >> (8 * i));
    command[12 + i] = static_cast<uint8_t>(address >> (32 + 8 * i));
    command[16 + i] = static_cast<uint8_t>(length >> (8 * i));
  }
  return command;
}

std::vector<uint8_t> CameraHeader(uint32_t imageBytes, uint32_t frameCounter) {
  std::vector<uint8_t> header(64, 0);
  std::memcpy(header.data() + 16, &imageBytes, 4);
  std::memcpy(header.data() + 32, &frameCounter, 4);
  header[40] = 0x4E;
  return header;
}

struct Destination {
  explicit Destination(uint32_t capacity) : bytes(capacity) {
    std::memset(&block, 0, sizeof(block));
    block.destination = bytes.data();
    block.capacity = capacity;
  }
  std::vector<uint8_t> bytes;
  usb::FrameHeaderBlock block;
};

// Waits (generously) until the driver holds a pending transfer.
void AwaitPending(const RecordingDriver& driver) {
  for (int i = 0; i < 10000 && driver.PendingCount() == 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  ASSERT_EQ(driver.PendingCount(), 1u);
}

class StreamTest : public RecordingTest {
 protected:
  void SetUp() override {
    RecordingTest::SetUp();
    camera = OpenCamera();
  }
  std::unique_ptr<CTevrinCy3Cam> camera;
};

TEST_F(StreamTest, ReadFrameHeader_ArmsThenReadsSixtyFourBytesAndKeepsTheStream) {
  driver->QueueBulk({.data = CameraHeader(640 * 512 * 2, 0x01020304)});
  Destination target(16);
  ASSERT_TRUE(camera->ReadFrameHeader(&target.block));
  EXPECT_EQ(target.block.header.imageBytes, 640u * 512u * 2u);
  EXPECT_EQ(target.block.header.frameCounter, 0x01020304u);
  EXPECT_EQ(target.block.frameCounter, 0x01020304u) << "counter copied to bytes 64..67";
  EXPECT_NE(camera->StreamHandle(), nullptr);

  const auto requests = driver->Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].code, kControl);
  EXPECT_EQ(requests[0].in[0], 0x42);
  EXPECT_EQ(requests[0].in[1], 0xC2);
  EXPECT_FALSE(requests[0].overlapped) << "the arm request goes without an overlapped record";
  EXPECT_EQ(requests[1].code, kDirect);
  EXPECT_EQ(requests[1].in, BulkHeader(0x81));
  EXPECT_EQ(requests[1].out.size(), 64u);
  EXPECT_TRUE(requests[1].overlapped);
  EXPECT_EQ(camera->LastStartError(), 0u);
}

TEST_F(StreamTest, ReadFrameHeader_PulsesRestartBetweenFailedAttempts) {
  driver->QueueBulk({.ntStatus = 0xC0000001});
  driver->QueueBulk({.bytes = 10});  // a short header is no header
  driver->QueueBulk({.data = CameraHeader(100, 7)});
  Destination target(16);
  ASSERT_TRUE(camera->ReadFrameHeader(&target.block));
  EXPECT_EQ(target.block.frameCounter, 7u);

  std::vector<std::string> seen;
  for (const auto& request : driver->Requests()) {
    if (request.code == kDirect) seen.push_back("read");
    if (request.code == kControl && request.in[1] == 0xC2) seen.push_back("arm");
    if (request.code == kControl && request.in[1] == 0x30)
      seen.push_back("board " + std::to_string(request.in[38]) + "=" + std::to_string(request.in[40]));
  }
  const std::vector<std::string> expected = {"arm",  "read",        "board 108=1", "board 108=0", "arm",
                                             "read", "board 108=1", "board 108=0", "arm",         "read"};
  EXPECT_EQ(seen, expected);
}

TEST_F(StreamTest, ReadFrameHeader_GivesUpAfterFifteenAttemptsAndClosesItsStream) {
  for (int i = 0; i < 15; ++i) driver->QueueBulk({.usbdStatus = 0xC0000004});
  Destination target(16);
  EXPECT_FALSE(camera->ReadFrameHeader(&target.block));
  EXPECT_EQ(driver->Requests(kDirect).size(), 15u);
  EXPECT_EQ(camera->StreamHandle(), nullptr);
}

TEST_F(StreamTest, ReadFrameHeader_RecoveryCommandInsteadOfPulseWhenThePolicySaysSo) {
  camera->SetStreamPolicy({.recoverHeaderByCommand = true});
  driver->QueueBulk({.ntStatus = 0xC0000001});
  Destination target(16);
  EXPECT_FALSE(camera->ReadFrameHeader(&target.block));
  const auto controls = driver->Requests(kControl);
  ASSERT_EQ(controls.size(), 2u);
  EXPECT_EQ(controls[1].in[0], 0x40);
  EXPECT_EQ(controls[1].in[1], 0xC0);
  EXPECT_EQ(driver->Requests(kDirect).size(), 1u);
}

TEST_F(StreamTest, ReadFrameData_ChunksOfHalfAMebibyteIntoTheDestination) {
  const uint32_t total = 2 * 0x80000 + 100;
  Destination target(total + 50);
  target.block.header.imageBytes = total;
  driver->QueueBulk({.fill = 0x11});
  driver->QueueBulk({.fill = 0x22});
  driver->QueueBulk({.fill = 0x33});
  ASSERT_TRUE(camera->ReadFrameData(&target.block, 1000));
  const auto reads = driver->Requests(kDirect);
  ASSERT_EQ(reads.size(), 3u);
  EXPECT_EQ(reads[0].out.size(), 0x80000u);
  EXPECT_EQ(reads[1].out.size(), 0x80000u);
  EXPECT_EQ(reads[2].out.size(), 100u);
  EXPECT_EQ(reads[2].in, BulkHeader(0x81));
  EXPECT_EQ(target.bytes[0x80000 - 1], 0x11);
  EXPECT_EQ(target.bytes[0x80000], 0x22);
  EXPECT_EQ(target.bytes[total - 1], 0x33);
  EXPECT_EQ(target.bytes[total], 0) << "nothing beyond the frame";
  EXPECT_EQ(camera->StreamHandle(), nullptr) << "closed again: this call opened it";
}

TEST_F(StreamTest, ReadFrameData_SmallCapacityOrShortChunkFails) {
  Destination target(1000);
  target.block.header.imageBytes = 1001;
  EXPECT_FALSE(camera->ReadFrameData(&target.block, 1000));
  EXPECT_TRUE(driver->Requests().empty());

  target.block.header.imageBytes = 1000;
  driver->QueueBulk({.bytes = 999});
  EXPECT_FALSE(camera->ReadFrameData(&target.block, 1000)) << "a short chunk is a failed read";
}

// The device layer tells an unplug from a time-out by this.
TEST_F(StreamTest, ReadFrameData_KeepsWhyTheReadEnded) {
  struct Case {
    const char* what;
    BulkAnswer answer;
    usb::ReadOutcome outcome;
  };
  const std::vector<Case> cases = {
      {"whole", {}, usb::ReadOutcome::kDone},
      {"short", {.bytes = 999}, usb::ReadOutcome::kShort},
      {"stalled", {.ntStatus = 0xC0000001, .usbdStatus = 0xC0000004}, usb::ReadOutcome::kRefused},
      {"aborted", {.error = ERROR_OPERATION_ABORTED}, usb::ReadOutcome::kAborted},
      {"cancelled by status", {.ntStatus = 0xC0000120, .usbdStatus = 0xC0010000}, usb::ReadOutcome::kAborted},
      {"unplugged", {.error = ERROR_DEVICE_NOT_CONNECTED}, usb::ReadOutcome::kDeviceGone},
      {"gone by status", {.ntStatus = 0xC000000E, .usbdStatus = 0xC0007000}, usb::ReadOutcome::kDeviceGone},
      {"nothing came", {.hold = true}, usb::ReadOutcome::kTimedOut},
  };
  Destination target(1000);
  target.block.header.imageBytes = 1000;
  for (const Case& test : cases) {
    SCOPED_TRACE(test.what);
    driver->QueueBulk(test.answer);
    EXPECT_EQ(camera->ReadFrameData(&target.block, 50) != 0, test.outcome == usb::ReadOutcome::kDone);
    EXPECT_EQ(camera->LastReadOutcome(), test.outcome);
  }

  driver->SetOpenable(CameraPath(0x3280, 1), false);
  EXPECT_FALSE(camera->ReadFrameData(&target.block, 50));
  EXPECT_EQ(camera->LastReadOutcome(), usb::ReadOutcome::kDeviceGone) << "the path no longer opens";
}

TEST_F(StreamTest, ReadAuxData_ExactLengthFromEndpoint83) {
  ASSERT_TRUE(camera->OpenStream());
  Destination target(4096);
  target.block.auxLength = 3000;
  ASSERT_TRUE(camera->ReadAuxData(&target.block));
  auto reads = driver->Requests(kDirect);
  ASSERT_EQ(reads.size(), 1u);
  EXPECT_EQ(reads[0].in, BulkHeader(0x83));
  EXPECT_EQ(reads[0].out.size(), 3000u);
  EXPECT_EQ(driver->Requests(kControl).at(0).in[1], 0xC2);

  driver->QueueBulk({.bytes = 2999});
  EXPECT_FALSE(camera->ReadAuxData(&target.block));
  driver->ClearRequests();
  target.block.auxLength = 4097;
  EXPECT_FALSE(camera->ReadAuxData(&target.block)) << "more than the destination holds";
  EXPECT_TRUE(driver->Requests().empty());
}

TEST_F(StreamTest, ReadStream_RoundsUpToTheNext16KiBStepAndChunks4MiB) {
  struct Case {
    const char* policy;
    bool commandPerChunk;
    uint64_t length;
    std::vector<uint32_t> commands;  // announced lengths
    std::vector<uint32_t> chunks;
  };
  const std::vector<Case> cases = {
      {"one command", false, 16384, {32768}, {32768}},
      {"one command", false, 16383, {16384}, {16384}},
      {"one command", false, 0x500000, {0x504000}, {0x400000, 0x104000}},
      {"command per chunk", true, 0x500000, {0x504000, 0x104000}, {0x400000, 0x104000}},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(std::string(test.policy) + " " + std::to_string(test.length));
    camera = OpenCamera();
    camera->SetStreamPolicy({.readCommandPerChunk = test.commandPerChunk});
    Destination target(0x600000);
    uint64_t length = test.length;
    ASSERT_TRUE(camera->ReadStream(&target.block, &length, 1000));
    std::vector<uint32_t> commands, chunks;
    for (const auto& request : driver->Requests(kDirect)) {
      if (request.in[13] == 0x01) {
        ASSERT_EQ(request.out.size(), 32u);
        uint32_t announced;
        std::memcpy(&announced, request.out.data() + 16, 4);
        EXPECT_EQ(request.out, MemoryCommand("ZU3R", 0, announced));
        commands.push_back(announced);
      } else {
        chunks.push_back(static_cast<uint32_t>(request.out.size()));
      }
    }
    EXPECT_EQ(commands, test.commands);
    EXPECT_EQ(chunks, test.chunks);
    uint64_t sum = 0;
    for (uint32_t chunk : chunks) sum += chunk;
    EXPECT_EQ(length, sum);
  }
}

TEST_F(StreamTest, ReadStream_ShortChunkOrSmallCapacityFails) {
  Destination target(32768);
  uint64_t length = 32768;
  EXPECT_FALSE(camera->ReadStream(&target.block, &length, 1000)) << "rounded to 32768 + one step";
  EXPECT_TRUE(driver->Requests().empty());

  length = 100;
  driver->QueueBulk({});  // the command
  driver->QueueBulk({.bytes = 1000});
  EXPECT_FALSE(camera->ReadStream(&target.block, &length, 1000));
  EXPECT_EQ(length, 1000u);
}

TEST_F(StreamTest, Memory_PageRoundingAddsAPageWithoutTouchingBeyondTheCallersBytes) {
  std::vector<uint8_t> source(4096, 0x5A);
  ASSERT_TRUE(camera->WriteMemory(0x123456000ull, source.data(), 4096));
  auto writes = driver->Requests(kDirect);
  ASSERT_EQ(writes.size(), 2u);
  EXPECT_EQ(writes[0].in, BulkHeader(0x01));
  EXPECT_EQ(writes[0].out, MemoryCommand("ZU3W", 0x123456000ull, 8192));
  EXPECT_EQ(writes[1].in, BulkHeader(0x01));
  ASSERT_EQ(writes[1].out.size(), 8192u);
  EXPECT_EQ(writes[1].out[4095], 0x5A);
  EXPECT_EQ(writes[1].out[4096], 0) << "padding, not memory past the caller's buffer";

  driver->ClearRequests();
  std::vector<uint8_t> sink(4096);  // ASan guards the end of this buffer
  driver->QueueBulk({});
  driver->QueueBulk({.fill = 0x77});
  ASSERT_TRUE(camera->ReadMemory(0x2000, sink.data(), 4096));
  auto reads = driver->Requests(kDirect);
  ASSERT_EQ(reads.size(), 2u);
  EXPECT_EQ(reads[0].out, MemoryCommand("ZU3R", 0x2000, 8192));
  EXPECT_EQ(reads[1].in, BulkHeader(0x81));
  EXPECT_EQ(reads[1].out.size(), 8192u);
  EXPECT_EQ(sink[4095], 0x77);
}

TEST_F(StreamTest, Memory_SixteenMebibyteChunksAndRefusedLengths) {
  std::vector<uint8_t> source(0x1000000, 1);
  ASSERT_TRUE(camera->WriteMemory(0x100, source.data(), 0x1000000));
  std::vector<std::vector<uint8_t>> commands;
  for (const auto& request : driver->Requests(kDirect))
    if (request.out.size() == 32) commands.push_back(request.out);
  ASSERT_EQ(commands.size(), 2u);
  EXPECT_EQ(commands[0], MemoryCommand("ZU3W", 0x100, 0x1000000));
  EXPECT_EQ(commands[1], MemoryCommand("ZU3W", 0x1000100, 0x1000));

  driver->ClearRequests();
  EXPECT_FALSE(camera->WriteMemory(0, source.data(), 0xFFFFF000)) << "the rounding would overflow";
  EXPECT_FALSE(camera->ReadMemory(0, nullptr, 16));
  EXPECT_TRUE(driver->Requests().empty());

  driver->QueueBulk({});
  driver->QueueBulk({.bytes = 4095});
  EXPECT_FALSE(camera->ReadMemory(0, source.data(), 16));
}

TEST_F(StreamTest, Direct_TimeOutAbortsThePipeAndWaitsForTheRequest) {
  ASSERT_TRUE(camera->OpenStream());
  driver->QueueBulk({.hold = true});
  uint8_t buffer[64];
  uint32_t count = 99;
  EXPECT_FALSE(camera->TransferDirect(camera->StreamHandle(), buffer, 64, 0x81, &count, 20));
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(driver->PendingCount(), 0u) << "nothing left in flight on released buffers";
  const auto aborts = driver->Requests(kAbort);
  ASSERT_EQ(aborts.size(), 1u);
  EXPECT_EQ(aborts[0].in, std::vector<uint8_t>{0x81});
  EXPECT_EQ(camera->LastStartError(), static_cast<uint32_t>(ERROR_IO_PENDING));
}

TEST_F(StreamTest, Direct_ArmedReadThatTimesOutIsAbortedToo) {
  ASSERT_TRUE(camera->OpenStream());
  driver->QueueBulk({.hold = true});
  std::thread aborter([&] {
    AwaitPending(*driver);
    camera->AbortImagePipe();
  });
  uint8_t buffer[64];
  uint32_t count = 0;
  EXPECT_FALSE(camera->TransferDirectArmed(camera->StreamHandle(), buffer, 64, 0x83, &count));
  aborter.join();
  EXPECT_EQ(driver->PendingCount(), 0u);
}

TEST_F(StreamTest, Direct_RefusedAtOnceFailsWithoutWaiting) {
  ASSERT_TRUE(camera->OpenStream());
  driver->QueueBulk({.error = ERROR_DEVICE_NOT_CONNECTED});
  uint8_t buffer[64];
  uint32_t count = 0;
  EXPECT_FALSE(camera->TransferDirect(camera->StreamHandle(), buffer, 64, 0x81, &count, INFINITE));
  EXPECT_TRUE(driver->Requests(kAbort).empty());
}

TEST_F(StreamTest, Direct_NeedsHandleTransferBlockAndSaneLength) {
  uint8_t buffer[64];
  uint32_t count = 0;
  EXPECT_FALSE(camera->TransferDirect(nullptr, buffer, 64, 0x81, &count, 100));
  ASSERT_TRUE(camera->OpenStream());
  EXPECT_FALSE(camera->TransferDirect(camera->StreamHandle(), buffer, 0x4000001, 0x81, &count, 100));
  camera->ReleaseTransfer();
  EXPECT_EQ(camera->StreamHandle(), nullptr);
  ASSERT_TRUE(camera->OpenStream());
  EXPECT_FALSE(camera->TransferDirect(camera->StreamHandle(), buffer, 64, 0x81, &count, 100));
  EXPECT_TRUE(driver->Requests(kDirect).empty());
}

TEST_F(StreamTest, AbortFromAnotherThreadEndsAPendingDataRead) {
  Destination target(4096);
  target.block.header.imageBytes = 4096;
  driver->QueueBulk({.hold = true});
  std::thread aborter([&] {
    AwaitPending(*driver);
    camera->AbortImagePipe();
  });
  ASSERT_TRUE(camera->OpenStream());
  EXPECT_FALSE(camera->ReadFrameData(&target.block, 600000));
  aborter.join();
}

TEST_F(StreamTest, AbortFromAnotherThreadEndsAHeaderAttemptAndTheNextOneReads) {
  driver->QueueBulk({.hold = true});
  driver->QueueBulk({.data = CameraHeader(10, 3)});
  std::thread aborter([&] {
    AwaitPending(*driver);
    camera->AbortImagePipe();
  });
  Destination target(16);
  EXPECT_TRUE(camera->ReadFrameHeader(&target.block));
  aborter.join();
  EXPECT_EQ(target.block.frameCounter, 3u);
  EXPECT_EQ(driver->Requests(kDirect).size(), 2u);
}

TEST_F(StreamTest, TransferBuffered_HeaderAndDataInTheTransferBlock) {
  ASSERT_TRUE(camera->OpenStream());
  std::vector<uint8_t> data(100, 0x42);
  uint32_t count = 0;
  driver->QueueBulk({.fill = 0x99});
  ASSERT_TRUE(camera->TransferBuffered(camera->StreamHandle(), data.data(), 100, 0x81, &count));
  EXPECT_EQ(count, 100u);
  EXPECT_EQ(data[99], 0x99);
  const auto requests = driver->Requests(0x220024);
  ASSERT_EQ(requests.size(), 1u);
  ASSERT_EQ(requests[0].in.size(), 138u);
  std::vector<uint8_t> header(requests[0].in.begin(), requests[0].in.begin() + 38);
  std::vector<uint8_t> expected = BulkHeader(0x81);
  expected[30] = 38;
  expected[34] = 100;
  EXPECT_EQ(header, expected);
  EXPECT_EQ(requests[0].in[38], 0x42);
  EXPECT_TRUE(requests[0].overlapped);
  EXPECT_FALSE(camera->TransferBuffered(camera->StreamHandle(), data.data(), 0x4000001, 0x81, &count));
}

TEST_F(StreamTest, TransferBuffered_TimeOutAbortsThePipeAndFails) {
  ASSERT_TRUE(camera->OpenStream());
  driver->QueueBulk({.hold = true});
  std::vector<uint8_t> data(16);
  uint32_t count = 5;
  EXPECT_FALSE(camera->TransferBuffered(camera->StreamHandle(), data.data(), 16, 0x81, &count));
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(driver->PendingCount(), 0u);
  EXPECT_EQ(driver->Requests(kAbort).size(), 1u);
}

TEST_F(StreamTest, NullBlocksFailWithoutIo) {
  uint64_t length = 10;
  EXPECT_FALSE(camera->ReadFrameHeader(nullptr));
  EXPECT_FALSE(camera->ReadFrameData(nullptr, 10));
  EXPECT_FALSE(camera->ReadAuxData(nullptr));
  EXPECT_FALSE(camera->ReadStream(nullptr, &length, 10));
  Destination target(16);
  EXPECT_FALSE(camera->ReadStream(&target.block, nullptr, 10));
  EXPECT_TRUE(driver->Requests().empty());
}

}  // namespace
}  // namespace tevrin::test
