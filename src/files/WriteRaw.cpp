#include "files/OutputFile.h"
#include "files/StillWriters.h"

namespace tevrin::files {

bool WriteRaw(const char* path, const StillImage& image) {
  OutputFile out(path);
  return out && out.Write(image.bits, image.ByteSize()) && out.Close();
}

}  // namespace tevrin::files
