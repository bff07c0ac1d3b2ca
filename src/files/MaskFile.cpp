#include "files/MaskFile.h"

#include <windows.h>

#include <cstring>
#include <memory>
#include <new>

#include "files/OutputFile.h"
#include "files/StagedFile.h"

namespace tevrin::files {
namespace {

constexpr MaskFileHeader LayoutHeader() {
  MaskFileHeader header{};
  for (size_t i = 0; i < sizeof header.magic; ++i) header.magic[i] = kMaskMagic[i];
  header.width = kMaskWidth;
  header.height = kMaskHeight;
  for (int reference = 0; reference < kMaskReferenceCount; ++reference) {
    header.byteCount[reference] = static_cast<uint32_t>(MaskReferenceBytes(MaskReference(reference)));
  }
  return header;
}

struct HandleCloser {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using FileHandle = std::unique_ptr<void, HandleCloser>;

// The count of bytes read; the platform keeps reading until the count or the
// end of the file, so fewer means the file ended.
DWORD ReadUpTo(HANDLE file, void* buffer, DWORD count) {
  DWORD read = 0;
  return ReadFile(file, buffer, count, &read, nullptr) ? read : 0;
}

}  // namespace

MaskFileResult ReadMaskFile(const char* path, MaskFileData& data) noexcept {
  if (!path) return MaskFileResult::kCannotOpen;
  HANDLE opened = CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (opened == INVALID_HANDLE_VALUE) return MaskFileResult::kCannotOpen;
  const FileHandle file(opened);
  MaskFileHeader header{};
  if (ReadUpTo(opened, &header, sizeof header) != sizeof header) return MaskFileResult::kWrongHeader;
  const MaskFileHeader expected = LayoutHeader();
  if (std::memcmp(&header, &expected, sizeof header) != 0) return MaskFileResult::kWrongHeader;
  if (ReadUpTo(opened, data.Data(), kMaskDataBytes) != kMaskDataBytes) return MaskFileResult::kWrongLength;
  uint8_t past = 0;
  if (ReadUpTo(opened, &past, 1) != 0) return MaskFileResult::kWrongLength;
  return MaskFileResult::kDone;
}

MaskFileResult WriteMaskFile(const char* path, const MaskFileData& data) noexcept {
  if (!path || !*path) return MaskFileResult::kCannotOpen;
  try {
    StagedFile staged(path);
    if (!staged.Reserve()) return MaskFileResult::kCannotOpen;
    OutputFile out(staged.TempPath());
    if (!out) return MaskFileResult::kCannotOpen;
    const MaskFileHeader header = LayoutHeader();
    const bool written = out.Write(&header, sizeof header) && out.Write(data.Data(), kMaskDataBytes) && out.Close();
    return written && staged.Commit() ? MaskFileResult::kDone : MaskFileResult::kWriteFailed;
  } catch (const std::bad_alloc&) {
    return MaskFileResult::kWriteFailed;
  }
}

}  // namespace tevrin::files
