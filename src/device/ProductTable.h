// What the device layer does differently per camera product, one row per
// USB product ID. The device object looks its row up once, when it is told
// the product, and from then on asks the row. A product without a row of
// its own gets the default row, which is what most products do, except that
// it chooses no sensor driver: such a product cannot be opened.
//
// A column is a field with a default, so a new column leaves every row that
// does not need it untouched, and a new row names only where it differs.
#pragma once

#include <cstdint>

#include "sensor/SensorBase.h"
#include "sensor/SensorModel.h"

namespace tevrin::device {

// The road a product's frames take.
enum class FrameRoute : uint8_t {
  kImagePipe,     // a 64-byte header, then the image, on endpoint 0x81
  kAuxEndpoint,   // the image alone on endpoint 0x83
  kMemoryStream,  // memory-window reads at camera address 0
};

// How the image-pipe loop gets over a frame that failed.
enum class Recovery : uint8_t {
  kRestart,               // up to four restarts per frame: the sensor's restart pulse, then reopen
  kRestartUnlessCounted,  // the same, but a counted (trigger) frame that fails ends the capture
  // Header attempts end with the recovery command instead of the restart
  // register, and a restart reopens the stream without the sensor's pulse.
  // A failed image ends the capture; a failed header gets one recovery that
  // sleeps 20 seconds, so a stop waits for the thread without limit.
  kByCommand,
};

// What stopping the stream does beyond the pipe reset and recovery command.
enum class StreamStop : uint8_t {
  kPlain,
  kConverterOff,  // the video converter's stream register is told to stop
  kSettle,        // the board wants 100 ms before the recovery command
};

// The single capture on the caller's thread.
enum class SingleCapture : uint8_t {
  kRetryTenSeconds,  // 11 attempts or 10 seconds into ring slot 0
  kFiveAttempts,     // 5 attempts into the write slot, pipe reset between them; reports the error flag
};

// Where the output size goes.
enum class SizeRegisters : uint8_t {
  kStandard,   // board registers 0x40..0x45
  kAlternate,  // board registers 0x9A..0x9D
  kNone,       // none are written
};

// The format code and horizontal start the FPGA needs with the window.
enum class FormatCodes : uint8_t {
  kNone,
  kImx99x,  // by readout mode, mirror, board and full height
};

// How SetBitDepth chooses one or two bytes per pixel.
enum class DepthControl : uint8_t {
  kOutputDepth,        // board register 0x3C, or the one-byte command without a board port
  kAlwaysTwoBytes,     // as kOutputDepth, but every mode asks for two bytes
  kPlaneMode,          // the mode 0..2 itself into the converter's mode register
  kDepthSelect,        // the depth select register: two bytes for mode 1 only
  kStreamSensor,       // the sensor alone, two bytes for any mode but 0
  kStreamSampleReg,    // the sample depth register, then the sensor
  kStreamEightBitReg,  // the eight-bit output register, then the sensor
};

// How SetTriggerMode switches between free run and trigger.
enum class TriggerStyle : uint8_t {
  kSensor,             // the sensor; a refused mode fails; modes 1..3 resynchronise the frame counter
  kEnableThenPrime,    // the board's trigger enable, then a header-only and a counted capture prime the counter
  kGate,               // the board's trigger gate opens for a trigger; free run closes it and frees the sensor
  kMaskedEnable,       // the board's trigger enable takes the mode masked by 0x83
  kImx99x,             // by FPGA version: newer ones prime the counter with one triggered frame
  kStreamSensor,       // the sensor alone, its answer not checked
  kStreamSensorThree,  // the sensor alone, mode 3 for any trigger
};

// The start-up check that the FPGA is ready.
enum class ReadinessCheck : uint8_t {
  kReadyFlag,         // wait for the ready flag when the firmware and the GPIO25 flag offer it
  kFpgaVersionGated,  // wait only when the FPGA version has the ready line
  kShortPoll,         // 40 polls, then the sensor is told to start or to restart
  kBoardSetup,        // three board writes, no wait
  kSensorRecovery,    // the sensor's own readiness, recovered when it fails
};

// Where the internal correction switch lives.
enum class CorrectionKind : uint8_t {
  kNone,         // the sensor may claim one, but there is nothing to switch here
  kSwitchReg,    // the correction switch register: 15 on, 8 off
  kSensorLevel,  // the sensor's level 1..8, kept in the EEPROM
  kControlBit,   // bit 0 of the correction control register, with a 16-bit value beside it
};

struct ProductRow {
  int productId = -1;  // -1 in the default row
  int ringSize = 4;
  int planes = 1;  // images per frame: a frame and its buffers are this many times the window
  FrameRoute route = FrameRoute::kImagePipe;
  bool boardPort = true;  // board (FPGA) registers reachable through the I2C port
  Recovery recovery = Recovery::kRestart;
  bool pipeResetOnRestart = false;  // the image pipe is reset before each stream restart
  StreamStop streamStop = StreamStop::kPlain;
  SingleCapture singleCapture = SingleCapture::kRetryTenSeconds;
  // The sensor reports a status that can forbid a start.
  bool startChecksSensorStatus = false;
  // The first frame after a start is dropped and the sensor hears the
  // elapsed time about once a second.
  bool periodicUpdate = false;
  bool keepsHeaderExtra = false;          // each slot keeps header bytes 44..51 and 4
  bool windowChangeStopsCapture = false;  // a window change aborts a running capture first
  bool spareFirstLine = false;            // the stored frame begins with a spare line, copied bottom up
  bool exposureBetweenFrames = false;     // exposure changes wait for the loop, between two frames
  bool readCommandPerChunk = false;       // a stream read announces every chunk
  SizeRegisters sizeRegisters = SizeRegisters::kStandard;
  FormatCodes formatCodes = FormatCodes::kNone;
  bool sensorHearsBitDepth = false;  // the sensor is told the bit depth before the board
  DepthControl depth = DepthControl::kOutputDepth;
  TriggerStyle trigger = TriggerStyle::kSensor;
  ReadinessCheck readiness = ReadinessCheck::kReadyFlag;
  CorrectionKind correction = CorrectionKind::kNone;
  bool quietBoardOnClose = false;  // the board's outputs are cleared one by one at close
  bool textChannel = false;        // the sensor carries a text channel
  SensorChoice sensor{};           // the sensor driver; none in the default row
};

// The row of `productId`, or the default row.
const ProductRow& FindProduct(int productId);

// The sensor driver the row of `productId` chooses, on `controller`, told
// its model code; null for a product without one or when the choice fails.
CSensorBase* CreateProductSensor(uint16_t productId, CControllerBase* controller);

}  // namespace tevrin::device
