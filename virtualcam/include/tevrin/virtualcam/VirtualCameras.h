// Control of the virtual cameras for tests and tools.
//
// The cameras are named by TEVRIN_VIRTUAL_CAMERAS when the library loads:
//   unset            one standard-board 0x3280 camera, unless a real camera is
//                    plugged in (then none)
//   none (or empty)  no camera
//   a list           entries separated by ',', each a product ID (0x3280,
//                    0x3290, ...) followed by ':'-separated options:
//     standard | fast    board: 12.96 us or 6.88 us line time (default standard)
//     scene | pattern    image source (default scene); see PatternSample
//     old                old firmware: controller 0x1000, FPGA 0x0110
//     serial=TEXT        serial number in a fresh EEPROM (default VC<pid><nnnn>)
//     seed=N             seed of noise, defects and scene (default 1)
//     fw=N, fpga=N       controller firmware and FPGA version words
//     gpio25=0|1         GPIO25 flag of the controller information block
//     rev1               0x3020: the colour sensor is of the first revision
//     eeprom=PATH        keep the EEPROM in this file across runs
//   e.g. "0x3280,0x3290:fast:pattern:seed=7:serial=AB123"
// Every product ID is accepted. Product 0x3020 carries a colour sensor: it
// answers its identification at I2C address 0x20 as the second revision and
// delivers a Bayer mosaic of the colour scene (see ColorSceneAt).
// Products 0x3042 (no board port, frames on endpoint 0x83) and 0x3310, 0x3320,
// 0x3330, 0x3340 (frames through memory-window reads) move frames their own
// way; every other ID behaves as the IMX99x models (header and image on 0x81).
// An invalid list is reported on stderr and gives the default camera.
//
// Cameras are numbered 0.. in list order; functions given a number that names
// no camera do nothing and return 0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tevrin::virtualcam {

// Replaces every camera by the list (syntax above); false, with nothing
// changed, when the list is invalid. Handles to the old cameras fail from now
// on; device notifications report the old cameras removed and the new ones arrived.
bool Configure(const std::string& cameraList);
size_t CameraCount();
std::string DevicePath(size_t camera);

// Unplugging fails pending and later I/O on the camera's handles, makes opens
// fail and removes it from enumeration; windows registered for device
// notifications get the removal, and the arrival on plugging back in. Handles
// opened before an unplug stay dead.
void Unplug(size_t camera);
void Plug(size_t camera);

// Stops the frames (on endpoint 0x81 or 0x83, or of stream reads) until
// released; reads wait meanwhile.
void StallStream(size_t camera, bool stalled);
// The next `count` frame headers (the frames' first transfers on the other
// routes), or bulk transfers of any kind, fail with a stall.
void FailNextFrameHeaders(size_t camera, int count);
void FailNextTransfers(size_t camera, int count);
// The next image transfer (0x81, 0x83 or stream read) returns `missingBytes` fewer bytes than it consumed.
void ShortenNextTransfer(size_t camera, uint32_t missingBytes);
// One frame in external-trigger mode (sensor register 0x600 = 1).
void PulseTrigger(size_t camera);

// Input lines read from board register 0x07; output lines last written there.
void SetInputs(size_t camera, uint8_t lines);
uint8_t Outputs(size_t camera);
uint8_t BoardRegister(size_t camera, uint8_t reg);
uint8_t SensorRegister(size_t camera, uint16_t address);
void SetSensorTemperature(size_t camera, double celsius);
// FPGA die temperature shown in board registers 0x8E/0x8F (45 C until set).
void SetFpgaTemperature(size_t camera, double celsius);
// While held (and not requested through board register 0x9F) the FPGA owns the
// sensor bus: board register 0x02 reports it busy and sensor I2C is not acknowledged.
void HoldSensorBus(size_t camera, bool held);
// While jammed the FPGA keeps the sensor bus even against the host's request:
// board register 0x02 reports it busy and sensor I2C is not acknowledged.
void JamSensorBus(size_t camera, bool jammed);
// Frames the camera has made so far.
uint32_t FrameCounter(size_t camera);
// 16-bit register of the colour sensor of a 0x3020 camera.
uint16_t ColorSensorRegister(size_t camera, uint16_t address);
// Auxiliary board register (I2C 0x5A/0x5B) as last written.
uint8_t AuxRegister(size_t camera, uint8_t reg);
// Wide register (vendor requests 0xD0/0xD1) as last written.
uint32_t WideRegister(size_t camera, uint16_t address);
// Sets a board register as the board itself would, read-only ones included
// (not the live ones: status, frame counter, temperatures).
void SetBoardRegister(size_t camera, uint8_t reg, uint8_t value);
// The FPGA's ready line as the ready-flag request reports it (ready until cleared).
void SetReadyFlag(size_t camera, bool ready);

// The colour scene of a 0x3020 camera at output position (x, y), 12-bit
// levels: four vertical bands of 160 columns, red, green, blue and gray,
// repeated across wider frames. Its Bayer mosaic puts green and blue on even
// rows (green on even columns), red and green on odd rows (red on even
// columns); 8-bit output carries the upper 8 of 12 bits.
struct SceneColor {
  int red, green, blue;
};
SceneColor ColorSceneAt(int x, int y);

// Value of the pattern image at upright scene position (x, y), 0 <= x < 640,
// 0 <= y < 512, in the frame whose header counter (8 bits, as board register
// 0x08) is `counter`: (x + 640 y + 7 (counter mod 256)) mod 4096. 16-bit
// output carries it as is, 8-bit output its upper 8 of 12 bits. The 0x3280
// model's sensor is turned half a turn, so its output row 0 holds scene row
// 511 read from x = 639 down to 0; the 0x3290 model's holds scene row 0, as
// do those of 0x3042 and the stream products.
uint16_t PatternSample(int x, int y, uint32_t counter);

}  // namespace tevrin::virtualcam
