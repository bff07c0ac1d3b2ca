// The controller interface the device layer and the sensor drivers hold: the
// camera's control requests (board register port, I2C, EEPROM, status bytes)
// and the image-pipe abort. Every operation returns non-zero on success.
#pragma once

#include <cstdint>

class CControllerBase {
 public:
  virtual ~CControllerBase() = default;

  virtual int GetReserved() = 0;
  // Closes the stream handle and frees the transfer block.
  virtual int ReleaseTransfer() = 0;
  virtual int SelectDevice(int index) = 0;
  // Board registers 0x10 (low byte) and 0x11 (high byte).
  virtual int ReadFpgaVersion(uint16_t* version) = 0;
  // Stores the reply byte only when one came back; 1 means the FPGA is ready.
  virtual int ReadReadyFlag(uint8_t* ready) = 0;
  virtual int SendCommandCC() = 0;
  // At most 64 bytes; the time-out is not used (the request carries 3 seconds).
  virtual int I2cWrite(uint8_t address, const uint8_t* data, uint32_t count, uint32_t timeoutMs) = 0;
  virtual int I2cRead(uint8_t address, uint8_t* data, uint32_t count, uint32_t timeoutMs) = 0;
  virtual int WriteWideRegister(uint32_t address, uint32_t value) = 0;
  virtual int ReadWideRegister(uint32_t address, uint32_t* value) = 0;
  virtual int WriteValuePair(uint16_t first, uint16_t second) = 0;
  virtual int ReadValue(uint16_t argument, uint32_t* value) = 0;
  virtual int WriteBoardRegister(uint8_t reg, uint8_t value) = 0;
  virtual int ReadBoardRegister(uint8_t reg, uint8_t* value) = 0;
  virtual int WriteAuxRegister(uint8_t reg, uint8_t value) = 0;
  virtual int ReadAuxRegister(uint8_t reg, uint8_t* value) = 0;
  virtual int WriteEepromByte(uint16_t address, uint8_t value) = 0;
  virtual int ReadEepromByte(uint16_t address, uint8_t* value) = 0;
  // Ends every transfer pending on the image pipe; always succeeds.
  virtual int AbortImagePipe() = 0;

 protected:
  CControllerBase() = default;
  CControllerBase(const CControllerBase&) = delete;
  CControllerBase& operator=(const CControllerBase&) = delete;
};
