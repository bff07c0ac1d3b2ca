// Cost of the virtual camera's frames: making one 640 x 512 image, and
// reading whole frames (arm, header, image) through the driver requests.
// Goal: under 1 ms per 16-bit frame on one core, so the fast board's
// ~258 frames/s leave CPU to spare.
#include <benchmark/benchmark.h>
#include <tevrin/hardware/FpgaRegisters.h>
#include <tevrin/hardware/FrameHeader.h>
#include <tevrin/hardware/Fx3Requests.h>
#include <tevrin/hardware/Imx991Registers.h>
#include <tevrin/virtualcam/VirtualCameras.h>
#include <tevrin/win32/Driver.h>

#include <cstring>
#include <vector>

#include "FrameGenerator.h"

namespace {

namespace hw = tevrin::hardware;
using tevrin::virtualcam::FrameGenerator;
using tevrin::virtualcam::FrameParameters;

void MakeFrame(benchmark::State& state) {
  const int bytesPerPixel = static_cast<int>(state.range(0));
  const bool pattern = state.range(1) != 0;
  FrameGenerator generator(1, pattern);
  FrameParameters frame;
  frame.format = {640, 512, bytesPerPixel};
  frame.mountedHalfTurn = true;
  std::vector<uint16_t> image(640 * 512);
  for (auto _ : state) {
    generator.Generate(frame, reinterpret_cast<uint8_t*>(image.data()));
    benchmark::DoNotOptimize(image.data());
    ++frame.frameCounter;
  }
  state.SetBytesProcessed(state.iterations() * 640 * 512 * bytesPerPixel);
}
BENCHMARK(MakeFrame)
    ->ArgNames({"bytes", "pattern"})
    ->Args({2, 0})
    ->Args({1, 0})
    ->Args({2, 1})
    ->Unit(benchmark::kMicrosecond);

// Host side of the read path, as the transport issues it.
class Host {
 public:
  explicit Host(const std::string& path)
      : handle_(tevrin::win32::OpenDevicePath(path.c_str(), GENERIC_WRITE, FILE_FLAG_OVERLAPPED)),
        event_(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {}
  ~Host() {
    CloseHandle(event_);
    CloseHandle(handle_);
  }
  void Control(uint8_t type, uint8_t request, std::vector<uint8_t> data = {}, uint16_t value = 0, uint16_t index = 0) {
    hw::ControlRequestBlock block{};
    block.header = {type, request, value, index, hw::kControlBlockLength, 3, 0, 0, 0, 0, 0, 0, 38, 64};
    if (!data.empty()) std::memcpy(block.data, data.data(), std::min(data.size(), sizeof(block.data)));
    DWORD bytes = 0;
    DeviceIoControl(handle_, hw::kIoctlControlTransfer, &block, sizeof(block), &block, sizeof(block), &bytes, nullptr);
  }
  void Board(uint8_t reg, uint8_t value) {
    Control(hw::kRequestTypeVendorOut, hw::kVendorI2cWrite, {reg, 0, value}, 3, hw::kI2cBoardPortWrite);
  }
  void Sensor(uint16_t address, uint8_t value) {
    Board(hw::fpga::kSensorBusRequest, 1);
    Control(hw::kRequestTypeVendorOut, hw::kVendorI2cWrite, {uint8_t(address >> 8), uint8_t(address), value}, 3,
            hw::kI2cSensorWrite);
    Board(hw::fpga::kSensorBusRequest, 0);
  }
  DWORD Read(void* buffer, DWORD length) {
    hw::SingleTransfer header{};
    header.endpointAddress = hw::kEndpointImageIn;
    OVERLAPPED overlapped{};
    overlapped.hEvent = event_;
    DWORD bytes = 0;
    if (!DeviceIoControl(handle_, hw::kIoctlDirectTransfer, &header, sizeof(header), buffer, length, &bytes,
                         &overlapped) &&
        GetLastError() == ERROR_IO_PENDING) {
      WaitForSingleObject(event_, 5000);
      GetOverlappedResult(handle_, &overlapped, &bytes, FALSE);
    }
    return bytes;
  }

 private:
  HANDLE handle_;
  HANDLE event_;
};

void ReadFrame(benchmark::State& state) {
  tevrin::virtualcam::Configure("0x3290:fast");
  Host host(tevrin::virtualcam::DevicePath(0));
  host.Board(hw::fpga::kOutputDepth, 2);
  // The shortest frame the sensor allows, so the camera's clock does not set the pace.
  host.Sensor(hw::imx991::kVmax2, 0);
  host.Sensor(hw::imx991::kVmax1, 0);
  host.Sensor(hw::imx991::kVmax0, 16);
  std::vector<uint8_t> header(64), image(640 * 512 * 2);
  for (auto _ : state) {
    host.Control(hw::kRequestTypeVendorEndpointOut, hw::kVendorStreamArm);
    host.Read(header.data(), 64);
    for (size_t offset = 0; offset < image.size(); offset += 0x80000) {
      host.Read(image.data() + offset, DWORD(std::min<size_t>(0x80000, image.size() - offset)));
    }
  }
  state.SetBytesProcessed(state.iterations() * image.size());
}
BENCHMARK(ReadFrame)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime()->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
