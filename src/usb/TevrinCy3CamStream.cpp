// Stream operations of the FX3 controller: frame headers and image data on
// endpoint 0x81, the auxiliary block on 0x83, and memory-window transfers
// announced by a command block on 0x01.
#include <tevrin/hardware/FpgaRegisters.h>
#include <tevrin/hardware/Fx3Requests.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "usb/TevrinCy3Cam.h"

namespace hw = tevrin::hardware;
using tevrin::usb::FrameHeaderBlock;
using tevrin::usb::ReadOutcome;

namespace {

constexpr int kHeaderAttempts = 15;
constexpr uint32_t kHeaderWaitMs = 400;
constexpr uint32_t kHeaderRetrySleepMs = 10;
constexpr uint32_t kFrameChunkBytes = 0x80000;
constexpr uint32_t kStreamChunkBytes = 0x400000;
constexpr unsigned kStreamGranuleShift = 14;  // stream reads come in 16 KiB steps
constexpr uint32_t kMemoryChunkBytes = 0x1000000;
constexpr uint32_t kMemoryPageBytes = 0x1000;
constexpr uint32_t kMemoryWaitMs = 3000;
// Above this the page rounding of a memory-window length overflows 32 bits.
constexpr uint32_t kMemoryMaxLength = 0xFFFFEFFF;

// Opens the stream handle for one operation when it is not open, and closes
// it again at the end unless told to keep it.
class StreamUse {
 public:
  explicit StreamUse(CTevrinCy3Cam& camera) : camera_(camera), opened_(!camera.StreamHandle()) {
    if (!camera_.OpenStream()) opened_ = false;
  }
  ~StreamUse() {
    if (opened_) camera_.CloseStream();
  }
  StreamUse(const StreamUse&) = delete;
  StreamUse& operator=(const StreamUse&) = delete;

  HANDLE handle() const { return camera_.StreamHandle(); }
  explicit operator bool() const { return handle() != nullptr; }
  void Keep() { opened_ = false; }

 private:
  CTevrinCy3Cam& camera_;
  bool opened_;
};

}  // namespace

int CTevrinCy3Cam::OpenStream() {
  if (StreamHandle()) return 1;
  auto stream = OpenSelectedDevice(true);
  if (!stream) return 0;
  // Should another thread have opened it meanwhile, its handle stays and ours closes.
  HANDLE expected = nullptr;
  if (streamHandle_.compare_exchange_strong(expected, stream.get())) stream.release();
  return 1;
}

int CTevrinCy3Cam::CloseStream() {
  if (HANDLE stream = streamHandle_.exchange(nullptr)) CloseHandle(stream);
  return 1;
}

int CTevrinCy3Cam::EndRead(ReadOutcome outcome) {
  lastRead_.store(outcome);
  return outcome == ReadOutcome::kDone;
}

int CTevrinCy3Cam::ReadFrameHeader(FrameHeaderBlock* block) {
  if (!block) return EndRead(ReadOutcome::kRefused);
  StreamUse stream(*this);
  if (!stream) return EndRead(ReadOutcome::kDeviceGone);
  std::memset(scratch_, 0, sizeof(scratch_));
  const bool recoverByCommand = policy_.load().recoverHeaderByCommand;
  ReadOutcome outcome = ReadOutcome::kRefused;
  for (int attempt = 0; attempt < kHeaderAttempts; ++attempt) {
    outcome = SendStreamArm(stream.handle());
    if (outcome != ReadOutcome::kDone) break;
    // A header that arrives short carries no byte count to trust.
    outcome = DirectWhole(stream.handle(), scratch_, sizeof(scratch_), hw::kEndpointImageIn, kHeaderWaitMs);
    if (outcome == ReadOutcome::kDone) {
      std::memcpy(&block->header, scratch_, sizeof(block->header));
      block->frameCounter = block->header.frameCounter;
      stream.Keep();
      return EndRead(outcome);
    }
    if (recoverByCommand) {
      SendStreamRecovery();
      break;
    }
    // Pulsing the restart register gets a stalled FPGA to start a new frame.
    WriteBoardRegister(hw::fpga::kRestartPulse, 1);
    WriteBoardRegister(hw::fpga::kRestartPulse, 0);
    Sleep(kHeaderRetrySleepMs);
  }
  return EndRead(outcome);
}

int CTevrinCy3Cam::ReadFrameData(FrameHeaderBlock* block, uint32_t timeoutMs) {
  if (!block) return EndRead(ReadOutcome::kRefused);
  StreamUse stream(*this);
  if (!stream) return EndRead(ReadOutcome::kDeviceGone);
  const uint32_t total = block->header.imageBytes;
  if (block->capacity < total || (!block->destination && total)) return EndRead(ReadOutcome::kRefused);
  for (uint32_t offset = 0; offset < total;) {
    const uint32_t chunk = std::min(total - offset, kFrameChunkBytes);
    // A chunk that arrives short leaves the rest of the frame stale: a failed read.
    const ReadOutcome outcome =
        DirectWhole(stream.handle(), block->destination + offset, chunk, hw::kEndpointImageIn, timeoutMs);
    if (outcome != ReadOutcome::kDone) return EndRead(outcome);
    offset += chunk;
  }
  return EndRead(ReadOutcome::kDone);
}

int CTevrinCy3Cam::ReadAuxData(FrameHeaderBlock* block) {
  if (!block) return EndRead(ReadOutcome::kRefused);
  std::memset(scratch_, 0, sizeof(scratch_));
  const uint32_t length = block->auxLength;
  if (length > block->capacity || (!block->destination && length)) return EndRead(ReadOutcome::kRefused);
  // The stream handle opens only while the camera is there.
  if (!StreamHandle()) return EndRead(ReadOutcome::kDeviceGone);
  uint32_t count = 0;
  const ReadOutcome outcome = Armed(StreamHandle(), block->destination, length, hw::kEndpointAuxIn, &count);
  return EndRead(outcome == ReadOutcome::kDone && count != length ? ReadOutcome::kShort : outcome);
}

ReadOutcome CTevrinCy3Cam::SendMemoryCommand(HANDLE stream, bool write, uint64_t address, uint32_t length) {
  hw::MemoryWindowCommand command{};
  std::memcpy(command.tag, write ? hw::kMemoryWriteTag : hw::kMemoryReadTag, sizeof(command.tag));
  command.version = hw::kMemoryWindowVersion;
  command.addressLow = static_cast<uint32_t>(address);
  command.addressHigh = static_cast<uint32_t>(address >> 32);
  command.length = length;
  return DirectWhole(stream, &command, sizeof(command), hw::kEndpointBulkOut, kMemoryWaitMs);
}

int CTevrinCy3Cam::ReadStream(FrameHeaderBlock* block, uint64_t* length, uint32_t timeoutMs) {
  if (!block || !length) return EndRead(ReadOutcome::kRefused);
  StreamUse stream(*this);
  if (!stream) return EndRead(ReadOutcome::kDeviceGone);
  // The camera sends whole 16 KiB steps and always one step more.
  const uint64_t total = ((*length >> kStreamGranuleShift) + 1) << kStreamGranuleShift;
  if (total == 0 || total > block->capacity || !block->destination) return EndRead(ReadOutcome::kRefused);
  const bool commandPerChunk = policy_.load().readCommandPerChunk;
  uint64_t done = 0;
  ReadOutcome outcome = ReadOutcome::kDone;
  while (done < total && outcome == ReadOutcome::kDone) {
    const auto remaining = static_cast<uint32_t>(total - done);
    if (commandPerChunk || done == 0) outcome = SendMemoryCommand(stream.handle(), false, 0, remaining);
    if (outcome != ReadOutcome::kDone) break;
    const uint32_t chunk = std::min(remaining, kStreamChunkBytes);
    uint32_t count = 0;
    outcome = Direct(stream.handle(), block->destination + done, chunk, hw::kEndpointImageIn, &count, timeoutMs);
    if (outcome != ReadOutcome::kDone) break;
    done += count;
    if (count != chunk) outcome = ReadOutcome::kShort;
  }
  *length = done;
  return EndRead(outcome);
}

// The camera moves whole pages plus one, so a transfer runs past the caller's
// bytes; that tail goes through a bounce buffer, never the caller's memory.
bool CTevrinCy3Cam::MemoryChunk(HANDLE stream, bool write, uint64_t address, std::span<uint8_t> caller, uint32_t offset,
                                uint32_t chunk) {
  if (SendMemoryCommand(stream, write, address, chunk) != ReadOutcome::kDone) return false;
  const size_t ownBytes = offset < caller.size() ? std::min<size_t>(caller.size() - offset, chunk) : 0;
  std::vector<uint8_t> bounce;
  uint8_t* buffer = caller.data() + offset;
  if (ownBytes < chunk) {
    bounce.assign(chunk, 0);
    if (write && ownBytes) std::memcpy(bounce.data(), caller.data() + offset, ownBytes);
    buffer = bounce.data();
  }
  uint32_t count = 0;
  const bool ok = write ? TransferDirectWrite(stream, buffer, chunk, hw::kEndpointBulkOut, &count)
                        : TransferDirect(stream, buffer, chunk, hw::kEndpointImageIn, &count, kMemoryWaitMs);
  if (!ok) Sleep(1);
  if (!ok || count != chunk) return false;
  if (!write && !bounce.empty() && ownBytes) std::memcpy(caller.data() + offset, bounce.data(), ownBytes);
  return true;
}

int CTevrinCy3Cam::MemoryWindow(bool write, uint64_t address, uint8_t* data, uint32_t length) {
  // A length whose page rounding overflows would move nothing; that is no success.
  if (!data || length > kMemoryMaxLength) return 0;
  StreamUse stream(*this);
  if (!stream) return 0;
  const uint32_t total = (length & ~(kMemoryPageBytes - 1)) + kMemoryPageBytes;
  for (uint32_t done = 0; done < total;) {
    const uint32_t chunk = std::min(total - done, kMemoryChunkBytes);
    if (!MemoryChunk(stream.handle(), write, address + done, {data, length}, done, chunk)) return 0;
    done += chunk;
  }
  return 1;
}

int CTevrinCy3Cam::WriteMemory(uint64_t address, const void* data, uint32_t length) {
  // Written data is only read, also from the bounce buffer's source.
  return MemoryWindow(true, address, static_cast<uint8_t*>(const_cast<void*>(data)), length);
}

int CTevrinCy3Cam::ReadMemory(uint64_t address, void* data, uint32_t length) {
  return MemoryWindow(false, address, static_cast<uint8_t*>(data), length);
}
