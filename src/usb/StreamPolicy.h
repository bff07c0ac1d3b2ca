// How the controller's stream reads behave for the camera it serves. The
// device layer knows the product and sets it; the controller only follows.
#pragma once

namespace tevrin::usb {

struct StreamPolicy {
  // A failed header attempt sends the stream recovery command and gives up,
  // where others pulse the restart register and try again.
  bool recoverHeaderByCommand = false;
  // A memory-window stream read announces every chunk with a read command,
  // not only the first.
  bool readCommandPerChunk = false;
};

}  // namespace tevrin::usb
