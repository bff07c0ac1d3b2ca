#pragma once

#include <TevrinSdk_Halden.h>

// A frame notification carries the address of its instance's FrameInfo, and
// an application may handle it after Tevrin_Release has taken the instance
// away. The blocks therefore live as long as the process: one per
// acquisition, 32 bytes each, holding the last frame's values once their
// acquisition is gone.
FrameInfo& NewLastingFrameInfo();
