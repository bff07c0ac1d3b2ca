// How a USB outcome reads to the caller of the FX3 driver: the Win32 error of
// the request and the NT and USBD statuses written into its request header.
#pragma once

#include <tevrin/fx3driver/UsbDevice.h>
#include <tevrin/hardware/Fx3Requests.h>
#include <windows.h>

namespace tevrin::fx3driver {

DWORD Win32Error(UsbStatus status);
void WriteStatuses(hardware::SingleTransfer& header, UsbStatus status);

}  // namespace tevrin::fx3driver
