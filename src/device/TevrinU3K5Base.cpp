// Lifecycle and identity of the device object: the controller, finding and
// opening a camera by product ID and ordinal, start-up and close.
#include "device/TevrinU3K5Base.h"

#include <tevrin/hardware/FpgaRegisters.h>

#include <cstring>
#include <new>

namespace fpga = tevrin::hardware::fpga;
using tevrin::device::FrameRoute;

namespace {
// What the sensor driver of a product without board port is told its trigger mode is.
constexpr int kNoBoardPortTriggerValue = 0x10000;
}  // namespace

CTevrinU3K5Base::CTevrinU3K5Base() : makeSensor_(&tevrin::device::CreateProductSensor) {}

CTevrinU3K5Base::~CTevrinU3K5Base() {
  CloseDevice();
}

int CTevrinU3K5Base::CreateController(HWND, const GUID* guid) {
  CloseDevice();
  controller_.reset(new (std::nothrow) CTevrinCy3Cam(guid));
  TellControllerPolicy();
  return 1;
}

int CTevrinU3K5Base::SetProductId(int productId) {
  productId_ = productId;
  product_ = &tevrin::device::FindProduct(productId);
  ringSize_ = product_->ringSize;
  lastReadIndex_ = ringSize_ - 1;
  TellControllerPolicy();
  return 1;
}

// The controller sits below the device layer and knows no products: the
// device tells it how this one's stream reads behave.
void CTevrinU3K5Base::TellControllerPolicy() {
  if (!controller_) return;
  controller_->SetStreamPolicy({.recoverHeaderByCommand = product_->recovery == tevrin::device::Recovery::kByCommand,
                                .readCommandPerChunk = product_->readCommandPerChunk});
}

int CTevrinU3K5Base::IsNoRegisterProduct() {
  return !product_->boardPort;
}

int CTevrinU3K5Base::IsStreamProduct() {
  return product_->route == FrameRoute::kMemoryStream;
}

int CTevrinU3K5Base::CountDevices(int productId) {
  if (!controller_) return 0;
  const int entries = controller_->ScanDevices();
  if (productId == 0) return entries;
  int count = 0;
  for (int index = 0; index < entries; ++index) {
    const auto entry = controller_->Entry(index);
    if (entry && entry->productId == productId && controller_->IsDevicePresent(index)) ++count;
  }
  return count;
}

int CTevrinU3K5Base::FindTableIndex(int ordinal) {
  if (!controller_ || productId_ == -1) return -1;
  for (int index = 0; index < kMaxDevices; ++index) {
    const auto entry = controller_->Entry(index);
    if (entry && entry->productId == productId_ && entry->ordinal == ordinal) return index;
  }
  return -1;
}

int CTevrinU3K5Base::IsPresent(int ordinal) {
  const int index = FindTableIndex(ordinal);
  return index >= 0 && controller_->IsDevicePresent(index);
}

int CTevrinU3K5Base::GetDeviceName(int index, char* text) {
  if (!controller_ || !text) return 0;
  const auto name = controller_->GetDeviceName(index);
  if (!name) return 0;
  std::strcpy(text, name->c_str());
  return 1;
}

int CTevrinU3K5Base::GetTableVendorId(int index) {
  const auto entry = controller_ && index < kMaxDevices ? controller_->Entry(index) : std::nullopt;
  return entry ? entry->vendorId : 0;
}

int CTevrinU3K5Base::GetTableProductId(int index) {
  const auto entry = controller_ && index < kMaxDevices ? controller_->Entry(index) : std::nullopt;
  return entry ? entry->productId : 0;
}

int CTevrinU3K5Base::GetTableOrdinal(int index) {
  const auto entry = controller_ && index < kMaxDevices ? controller_->Entry(index) : std::nullopt;
  return entry ? entry->ordinal : -1;
}

int CTevrinU3K5Base::ReopenDevice(int ordinal) {
  StopCapture(1);
  return OpenDevice(ordinal) ? 0 : -1;
}

int CTevrinU3K5Base::OpenDevice(int ordinal) {
  if (!controller_ || productId_ == -1 || controller_->ScanDevices() == 0 || !IsPresent(ordinal)) return 0;
  const int index = FindTableIndex(ordinal);
  if (index < 0 || !controller_->SelectDevice(index)) return 0;
  sensor_.reset();
  sensor_.reset(makeSensor_(static_cast<uint16_t>(productId_), controller_.get()));
  if (!sensor_) return 0;
  openedOrdinal_ = ordinal;
  geometryDirty_ = 1;
  counters_.Reset();
  endedSlot_ = -1;
  return StartDevice();
}

int CTevrinU3K5Base::StartDevice() {
  if (!controller_ || !controller_->AllocateTransfer()) return 0;
  controller_->ResetParentPort();
  ReadControllerInfo(controllerInfo_);
  if (!sensor_) return 0;
  if (IsNoRegisterProduct()) sensor_->SetTriggerModeValue(kNoBoardPortTriggerValue);
  if (!ReadyCheck()) return 0;
  if (!sensor_->IsReady()) return 0;
  return sensor_->Initialize();
}

int CTevrinU3K5Base::ReadControllerInfo(uint8_t* block) {
  return controller_ && block ? controller_->ReadControllerInfo(block) : 0;
}

int CTevrinU3K5Base::ReadControllerInfo2(uint8_t* block) {
  return controller_ && block ? controller_->ReadControllerInfo2(block) : 0;
}

int CTevrinU3K5Base::GetSensorInfo(SensorInfo* info) {
  return sensor_ && info ? sensor_->GetSensorInfo(info) : 0;
}

int CTevrinU3K5Base::CloseDevice() {
  StopCapture(1);
  if (product_->quietBoardOnClose) QuietBoard();
  if (controller_) {
    controller_->CloseStream();
    controller_.reset();
  }
  std::memset(controllerInfo_, 0, sizeof controllerInfo_);
  mode_ = tevrin::device::CaptureMode::kContinuous;
  FreeBuffers();
  frameSize_ = 0;
  sensor_.reset();
  if (HANDLE frameEvent = frameEvent_.exchange(nullptr)) CloseHandle(frameEvent);
  for (HANDLE* handle : {&threadEnd_, &thread_}) {
    if (*handle) CloseHandle(*handle);
    *handle = nullptr;
  }
  errorFlag_ = 0;
  return 1;
}

// Products that keep driving their outputs after the host leaves are put to
// rest register by register.
void CTevrinU3K5Base::QuietBoard() {
  if (sensor_) {
    sensor_->WriteRegisterRaw(0, 3);
    sensor_->WriteRegisterRaw(0x8000, 3);
  }
  if (!controller_) return;
  controller_->WriteBoardRegister(fpga::kDriveEnable, 0);
  for (uint8_t reg : fpga::kDriveRegisters) {
    Sleep(1);
    controller_->WriteBoardRegister(reg, 0);
  }
}
