// Registers of the Sony IMX991 (16-bit addresses, 8-bit values) and the
// timing facts of the two boards it is built into.
#pragma once

#include <cstdint>

namespace tevrin::hardware::imx991 {

inline constexpr uint16_t kStandby = 0x200;      // 1 while the trigger mode is reprogrammed
inline constexpr uint16_t kReadoutMode = 0x23C;  // 0 full resolution, 0x11 2x2 binning
inline constexpr uint16_t kVmax0 = 0x2D4;        // frame length in lines, 24 bits
inline constexpr uint16_t kVmax1 = 0x2D5;
inline constexpr uint16_t kVmax2 = 0x2D6;
inline constexpr uint16_t kHmax0 = 0x2D8;  // line length in clocks, 16 bits
inline constexpr uint16_t kHmax1 = 0x2D9;
inline constexpr uint16_t kReducedHeight = 0x304;  // 2 when a reduced height is read in mode 0
inline constexpr uint16_t kWindowX0 = 0x320;       // window start column, low byte and bits 8..10
inline constexpr uint16_t kWindowX1 = 0x321;
inline constexpr uint16_t kWindowY0 = 0x322;  // window start row
inline constexpr uint16_t kWindowY1 = 0x323;
inline constexpr uint16_t kWindowWidth0 = 0x324;
inline constexpr uint16_t kWindowWidth1 = 0x325;
inline constexpr uint16_t kWindowHeight0 = 0x326;
inline constexpr uint16_t kWindowHeight1 = 0x327;
inline constexpr uint16_t kFlip = 0x404;           // bit 0 vertical flip, bit 1 horizontal mirror
inline constexpr uint16_t kTriggerSelect = 0x430;  // 0x11 free run, 0x13 trigger
inline constexpr uint16_t kShs0 = 0x440;           // shutter line, low byte
inline constexpr uint16_t kShs1 = 0x441;           // bits 8..11
inline constexpr uint16_t kShs2 = 0x442;           // high byte (0)
inline constexpr uint16_t kTriggerEnable = 0x600;  // 0 free run, 1 external trigger
inline constexpr uint16_t kTemperature0 = 0x690;   // 12-bit reading, low byte
inline constexpr uint16_t kTemperature1 = 0x691;   // bits 8..11
inline constexpr uint16_t kInitControl = 0x702;
inline constexpr uint16_t kGain0 = 0x714;             // analog gain, 0.1 dB steps, low byte
inline constexpr uint16_t kGain1 = 0x715;             // bit 8
inline constexpr uint16_t kTemperatureLatch = 0x788;  // bit 0 holds the reading still
inline constexpr uint16_t kBlackLevel0 = 0x7C0;       // low byte
inline constexpr uint16_t kBlackLevel1 = 0x7C1;       // bits 8..11
inline constexpr uint16_t kRegisterSpace = 0x800;     // the register file the camera keeps

inline constexpr uint8_t kReadoutBinning = 0x11;
inline constexpr uint8_t kTriggerSelectFreeRun = 0x11;
inline constexpr uint8_t kTriggerSelectExternal = 0x13;

inline constexpr int kMaxWidth = 640;
inline constexpr int kMaxHeight = 512;
inline constexpr uint32_t kMinShutterLine = 15;  // exposure = VMAX - SHS, SHS never below this
inline constexpr uint16_t kHmaxStandard = 972;
inline constexpr uint16_t kHmaxFast = 516;
// Line times at those HMAX values.
inline constexpr double kLineTimeStandardNs = 12961.774681455678;
inline constexpr double kLineTimeFastNs = 6880.557337977816;
inline constexpr uint16_t kBlackLevelStandard = 60;
inline constexpr uint16_t kBlackLevelFast = 15;
inline constexpr int kMaxGain = 420;

}  // namespace tevrin::hardware::imx991
