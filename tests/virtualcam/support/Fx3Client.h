// A minimal host side that knows only the FX3 driver's requests: enough to
// enumerate, program and stream from a camera in tests. Device paths are
// opened through the platform's OpenDevicePath, which CreateFileA calls for
// "\\?\" paths.
#pragma once

#include <setupapi.h>
#include <tevrin/hardware/Fx3Requests.h>
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace fx3test {

std::vector<std::string> EnumerateCameras();

class Fx3Client {
 public:
  explicit Fx3Client(const std::string& path, bool overlapped = true);
  ~Fx3Client();
  Fx3Client(const Fx3Client&) = delete;
  Fx3Client& operator=(const Fx3Client&) = delete;

  bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE handle() const { return handle_; }

  // Endpoint-0 request; returns the byte count the driver reported (header
  // included), or nullopt when DeviceIoControl failed. `block` keeps the reply.
  std::optional<DWORD> Control(uint8_t type, uint8_t request, uint16_t value, uint16_t index,
                               const std::vector<uint8_t>& data = {});
  tevrin::hardware::ControlRequestBlock block{};

  bool I2cWrite(uint8_t address, const std::vector<uint8_t>& bytes);
  std::optional<std::vector<uint8_t>> I2cRead(uint8_t address, size_t count);
  bool WriteBoard(uint8_t reg, uint8_t value);
  std::optional<uint8_t> ReadBoard(uint8_t reg);
  // Through the bus handshake: request 0x9F, wait for 0x02 to be free, transfer, release.
  bool WriteSensor(uint16_t address, uint8_t value);
  std::optional<uint8_t> ReadSensor(uint16_t address);
  bool WriteEeprom(uint16_t address, uint8_t value);
  std::optional<uint8_t> ReadEeprom(uint16_t address);
  bool Arm();

  struct Transfer {
    bool ok = false;
    DWORD error = 0;
    DWORD bytes = 0;
    tevrin::hardware::SingleTransfer header{};
  };
  // Direct bulk transfer, overlapped, waiting up to `timeoutMs`; on time-out
  // the pipe is aborted and the transfer's own completion is returned.
  Transfer Bulk(uint8_t endpoint, void* buffer, DWORD length, DWORD timeoutMs = 3000);
  bool Abort(uint8_t endpoint = tevrin::hardware::kEndpointImageIn);

  // Arm, 64-byte header, then the image in one transfer.
  struct Frame {
    bool ok = false;
    uint8_t header[64] = {};
    std::vector<uint8_t> image;
    uint32_t counter() const;
    uint32_t imageBytes() const;
    uint32_t timestamp() const;
  };
  Frame ReadFrame(DWORD timeoutMs = 3000);

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

}  // namespace fx3test
