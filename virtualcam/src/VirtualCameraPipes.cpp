// The read pipes of the virtual camera: frame header and image on 0x81, the
// image alone on 0x83 (0x3042), stream reads through the memory window
// (stream products) and plain memory-window reads. Every frame comes from the
// camera's clock, never more than once and never before it is made.
#include <tevrin/hardware/Fx3Requests.h>

#include <algorithm>
#include <cstring>

#include "VirtualCamera.h"

namespace tevrin::virtualcam {

namespace hw = tevrin::hardware;
using fx3driver::UsbStatus;

void VirtualCamera::ServePipesLocked(Clock::time_point now) {
  // Each pipe serves its reads in order; a read waiting on one pipe does not hold up the other.
  for (uint8_t endpoint : {hw::kEndpointImageIn, hw::kEndpointAuxIn}) {
    auto first = [&] {
      return std::find_if(pendingReads_.begin(), pendingReads_.end(),
                          [&](const BulkTransfer& transfer) { return transfer.endpoint == endpoint; });
    };
    for (auto read = first(); read != pendingReads_.end(); read = first()) {
      const bool served = endpoint == hw::kEndpointAuxIn ? ServeAuxLocked(*read, now) : ServeImageInLocked(*read, now);
      if (!served) break;
      pendingReads_.erase(read);
    }
  }
}

bool VirtualCamera::ServeImageInLocked(BulkTransfer& transfer, Clock::time_point now) {
  if (memoryRead_.left > 0) {
    uint64_t at = memoryRead_.address;
    size_t n = memoryRead_.Take(transfer.length);
    memory_.Read(at, {transfer.data, n});
    Finish(transfer, UsbStatus::kSuccess, n);
    return true;
  }
  if (stalled_) return false;
  switch (config_.route()) {
    case FrameRoute::kHeaderAndImage:
      return ServeHeaderAndImageLocked(transfer, now);
    case FrameRoute::kMemoryStream:
      return ServeStreamLocked(transfer, now);
    case FrameRoute::kAuxiliary:
      break;
  }
  // The product without board port sends no frames on 0x81.
  return false;
}

bool VirtualCamera::ServeHeaderAndImageLocked(BulkTransfer& transfer, Clock::time_point now) {
  if (phase_ == Phase::kImage) {
    size_t taken = std::min(transfer.length, imageBytes_ - imageOffset_);
    size_t delivered = CopyImageLocked(transfer.data, imageOffset_, taken);
    imageOffset_ += taken;
    if (imageOffset_ == imageBytes_) phase_ = Phase::kHeader;
    Finish(transfer, UsbStatus::kSuccess, delivered);
    return true;
  }
  if (!armed_) return false;
  auto counter = NextFrameLocked(now);
  if (!counter) return false;
  armed_ = false;
  if (!FailFrameLocked(transfer)) DeliverHeaderLocked(transfer, *counter);
  return true;
}

bool VirtualCamera::ServeAuxLocked(BulkTransfer& transfer, Clock::time_point now) {
  if (stalled_ || !armed_) return false;
  auto counter = NextFrameLocked(now);
  if (!counter) return false;
  armed_ = false;
  if (FailFrameLocked(transfer)) return true;
  // No board port sets a window: always the whole sensor, at the depth the one-byte command chose.
  MakeFrameLocked(*counter, {FrameGenerator::kSceneWidth, FrameGenerator::kSceneHeight, auxBytesPerPixel_});
  // A read shorter than the image cuts it; a longer one ends short with the image.
  size_t delivered = CopyImageLocked(transfer.data, 0, std::min(transfer.length, imageBytes_));
  Finish(transfer, UsbStatus::kSuccess, delivered);
  return true;
}

void VirtualCamera::StartStreamReadLocked(uint32_t length) {
  // A command for just what is left of the current read continues it, as the
  // command before every chunk of 0x3310 does; any other begins the next frame.
  if (length == streamRead_.left && streamRead_.address > 0) return;
  streamRead_ = {0, length};
  streamFrameMade_ = false;
}

bool VirtualCamera::ServeStreamLocked(BulkTransfer& transfer, Clock::time_point now) {
  if (streamRead_.left == 0) return false;
  if (!streamFrameMade_) {
    auto counter = NextFrameLocked(now);
    if (!counter) return false;
    if (FailFrameLocked(transfer)) {
      streamRead_ = {};
      return true;
    }
    MakeFrameLocked(*counter, fpga_.Format());
    streamFrameMade_ = true;
  }
  // The read asks for whole 16 KiB steps beyond the image; they come as zeros.
  const uint64_t offset = streamRead_.address;
  size_t delivered = CopyImageLocked(transfer.data, offset, streamRead_.Take(transfer.length));
  Finish(transfer, UsbStatus::kSuccess, delivered);
  return true;
}

std::optional<uint32_t> VirtualCamera::NextFrameLocked(Clock::time_point now) {
  const uint32_t counter = clock_.Count(now);
  if (counter == lastDelivered_) return std::nullopt;
  lastDelivered_ = counter;
  return counter;
}

bool VirtualCamera::FailFrameLocked(BulkTransfer& transfer) {
  if (failHeaders_ == 0) return false;
  --failHeaders_;
  Finish(transfer, UsbStatus::kStall, 0);
  return true;
}

FrameParameters VirtualCamera::MakeFrameLocked(uint32_t counter, OutputFormat format) {
  FrameParameters frame;
  frame.format = format;
  frame.window = sensor_.Window();
  frame.mountedHalfTurn = config_.productId == 0x3280;
  frame.flipVertical = sensor_.FlipVertical();
  frame.mirrorHorizontal = sensor_.MirrorHorizontal();
  frame.frameCounter = counter;
  frame.exposureNs = sensor_.ExposureLines() * sensor_.LineTimeNs();
  frame.analogGain = sensor_.AnalogGain();
  frame.blackLevel = sensor_.BlackLevel();
  frame.colorMosaic = HasColorSensor();
  imageBytes_ = format.ImageBytes();
  imageOffset_ = 0;
  if (frame_.size() * 2 < imageBytes_) frame_.resize((imageBytes_ + 1) / 2);
  generator_.Generate(frame, reinterpret_cast<uint8_t*>(frame_.data()));
  return frame;
}

size_t VirtualCamera::CopyImageLocked(uint8_t* to, size_t offset, size_t taken) {
  const size_t delivered = taken - std::min<size_t>(taken, shortenBy_);
  shortenBy_ = 0;
  const size_t fromImage = offset < imageBytes_ ? std::min(delivered, imageBytes_ - offset) : 0;
  if (fromImage > 0) std::memcpy(to, reinterpret_cast<const uint8_t*>(frame_.data()) + offset, fromImage);
  std::memset(to + fromImage, 0, delivered - fromImage);
  return delivered;
}

void VirtualCamera::DeliverHeaderLocked(BulkTransfer& transfer, uint32_t counter) {
  const FrameParameters frame = MakeFrameLocked(counter, fpga_.Format());
  hw::FrameHeader header{};
  std::memcpy(header.magic, hw::kFrameHeaderMagic, sizeof(header.magic));
  header.headerBytes = sizeof(header);
  header.width = static_cast<uint16_t>(frame.format.width);
  header.height = static_cast<uint16_t>(frame.format.height);
  header.bytesPerPixel = frame.format.bytesPerPixel;
  header.imageBytes = static_cast<uint32_t>(imageBytes_);
  header.timestampMicros = clock_.MicrosecondsSincePowerOn(clock_.FrameTime(counter));
  // The trigger loop compares this counter with board register 0x08, so both wrap at 8 bits.
  header.frameCounter = counter & 0xFF;
  header.framesMade = counter;
  header.exposureLines = sensor_.ExposureLines();
  header.analogGain = static_cast<uint32_t>(frame.analogGain);
  size_t n = std::min(transfer.length, sizeof(header));
  std::memcpy(transfer.data, &header, n);
  phase_ = imageBytes_ > 0 ? Phase::kImage : Phase::kHeader;
  Finish(transfer, UsbStatus::kSuccess, n);
}

}  // namespace tevrin::virtualcam
