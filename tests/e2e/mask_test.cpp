// The defect mask's references through the exports on a virtual camera:
// taken from the current frame, saved and loaded as mask files, and a load
// that fails for any reason changes none of them. The references are read
// back by saving them and reading the file.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <TevrinSdk_Halden.h>

#include "MaskFileBytes.h"
#include "support/ApplicationWindow.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
namespace fs = std::filesystem;
using tevrin::test::kMaskFileSize;
using tevrin::test::kMaskPixels;
using tevrin::test::kMaskReferenceOffset;
using tevrin::test::MaskFileBytes;
using tevrin::test::ReadFileBytes;
using tevrin::test::WriteFileBytes;

class Masks : public ::testing::Test {
 protected:
  void SetUp() override {
    handle_ = tevrin::test::OpenCameras("0x3280:fast:pattern");
    ASSERT_NE(handle_, 0);
    const char* scratch = std::getenv("TEVRIN_TEST_SCRATCH");
    folder_ = fs::path(scratch ? scratch : fs::temp_directory_path().string()) /
              ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { Tevrin_Release(handle_); }

  std::string PathOf(const std::string& name) const { return (folder_ / name).string(); }
  std::vector<int> Errors() const { return tevrin::test::TakeErrors(handle_); }

  // The references as the SDK holds them now.
  std::vector<uint8_t> References() {
    const std::string path = PathOf("references.bin");
    EXPECT_EQ(Tevrin_SaveMaskFile(handle_, path.c_str()), 1);
    return ReadFileBytes(path);
  }

  std::vector<uint8_t> Snap(int bits) {
    EXPECT_EQ(Tevrin_SetColorMode(handle_, bits), 1);
    std::vector<uint8_t> frame(kMaskPixels * (bits / 8));
    EXPECT_EQ(Tevrin_SnapShot(handle_, frame.data(), static_cast<int>(frame.size()), 1), 1);
    return frame;
  }

  int handle_ = 0;
  fs::path folder_;
};

std::vector<uint8_t> Reference(const std::vector<uint8_t>& file, int reference) {
  const size_t size = reference < 2 ? kMaskPixels : 2 * kMaskPixels;
  if (file.size() != kMaskFileSize) return {};
  return {file.begin() + static_cast<ptrdiff_t>(kMaskReferenceOffset[reference]),
          file.begin() + static_cast<ptrdiff_t>(kMaskReferenceOffset[reference] + size)};
}

TEST_F(Masks, ReferencesComeFromTheLastFullFrameOfItsDepth) {
  const std::vector<uint8_t> initial = References();
  ASSERT_EQ(initial.size(), kMaskFileSize);
  EXPECT_EQ(Reference(initial, 0), std::vector<uint8_t>(kMaskPixels, 0));
  EXPECT_EQ(Reference(initial, 1), std::vector<uint8_t>(kMaskPixels, 255));
  EXPECT_EQ(initial[kMaskReferenceOffset[3]] | initial[kMaskReferenceOffset[3] + 1] << 8, 4095);

  // Before the first frame there is nothing to take.
  EXPECT_EQ(Tevrin_UpdateMaskData(handle_, 0), 0);
  EXPECT_THAT(Errors(), ElementsAre(TEVRIN_ERROR_NOT_READY));

  const std::vector<uint8_t> dark8 = Snap(8);
  ASSERT_EQ(Tevrin_UpdateMaskData(handle_, 0), 1);
  const std::vector<uint8_t> white16 = Snap(16);
  ASSERT_EQ(Tevrin_UpdateMaskData(handle_, 1), 1);
  const std::vector<uint8_t> taken = References();
  EXPECT_TRUE(Reference(taken, 0) == dark8);
  EXPECT_TRUE(Reference(taken, 1) == Reference(initial, 1));
  EXPECT_TRUE(Reference(taken, 2) == Reference(initial, 2));
  EXPECT_TRUE(Reference(taken, 3) == white16);

  EXPECT_EQ(Tevrin_UpdateMaskData(handle_, 2), 0);
  EXPECT_EQ(Tevrin_UpdateMaskData(handle_, -1), 0);
  EXPECT_THAT(Errors(), ElementsAre(TEVRIN_ERROR_TEXT_OR_FILE, TEVRIN_ERROR_TEXT_OR_FILE));
  EXPECT_TRUE(References() == taken);
}

TEST_F(Masks, WindowedOrSubsampledFramesLeaveTheReferences) {
  const std::vector<uint8_t> initial = References();
  ASSERT_EQ(Tevrin_SetColorMode(handle_, 16), 1);
  struct Case {
    const char* label;
    int width, height, subSample;
  };
  // The camera windows rows only; a full-width window is not a full frame either.
  for (const Case& c : {Case{"window 640 x 256", 640, 256, 0}, Case{"window 640 x 511", 640, 511, 0},
                        Case{"half resolution", 640, 512, 1}}) {
    SCOPED_TRACE(c.label);
    ASSERT_EQ(Tevrin_SetCaptureWindowEx(handle_, 640, 0, c.width, 512, 0, c.height), 1);
    ASSERT_EQ(Tevrin_SetSubSample(handle_, c.subSample), 1);
    ASSERT_EQ(Tevrin_SnapShot(handle_, nullptr, 0, 1), 1);
    for (int kind : {0, 1, 2}) EXPECT_EQ(Tevrin_UpdateMaskData(handle_, kind), 1) << kind;
    EXPECT_THAT(Errors(), IsEmpty());
    EXPECT_TRUE(References() == initial);
  }
}

TEST_F(Masks, LoadReplacesEveryReferenceOrNone) {
  const std::vector<uint8_t> good = MaskFileBytes(5);
  WriteFileBytes(PathOf("good.bin"), good);
  ASSERT_EQ(Tevrin_LoadMaskFile(handle_, PathOf("good.bin").c_str()), 1);
  EXPECT_TRUE(References() == good);

  // Another valid set, cut short: its header passes, its references do not.
  std::vector<uint8_t> shortFile = MaskFileBytes(6);
  shortFile.pop_back();
  std::vector<uint8_t> wide = MaskFileBytes(7);
  tevrin::test::PutLittleEndian32(wide, 16, 641);
  WriteFileBytes(PathOf("short.bin"), shortFile);
  WriteFileBytes(PathOf("wide.bin"), wide);
  WriteFileBytes(PathOf("empty.bin"), {});
  fs::create_directory(PathOf("folder"));
  for (const char* name : {"short.bin", "wide.bin", "empty.bin", "folder", "missing.bin"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(Tevrin_LoadMaskFile(handle_, PathOf(name).c_str()), 0);
    EXPECT_THAT(Errors(), ElementsAre(TEVRIN_ERROR_MASK_FILE));
    EXPECT_TRUE(References() == good);
  }
  EXPECT_EQ(Tevrin_SaveMaskFile(handle_, PathOf("missing/mask.bin").c_str()), 0);
  EXPECT_THAT(Errors(), ElementsAre(TEVRIN_ERROR_MASK_FILE));
  for (const char* path : {static_cast<const char*>(nullptr), ""}) {
    EXPECT_EQ(Tevrin_LoadMaskFile(handle_, path), 0);
    EXPECT_EQ(Tevrin_SaveMaskFile(handle_, path), 0);
    EXPECT_THAT(Errors(), ElementsAre(TEVRIN_ERROR_ARGUMENT, TEVRIN_ERROR_ARGUMENT));
  }
}

// A path of `length` bytes in the test's folder, its directories made.
std::string PathOfLength(const fs::path& folder, size_t length, const std::string& suffix) {
  std::string path = folder.string() + "/";
  while (length - path.size() > 200) path += std::string(150, 'd') + "/";
  fs::create_directories(path);
  return path + std::string(length - path.size() - suffix.size(), 'f') + suffix;
}

TEST_F(Masks, WidePathsConvertWhenTheyNeedAtMost1023Bytes) {
  const std::vector<uint8_t> good = MaskFileBytes(8);
  const std::string longest = PathOfLength(folder_, 1023, "\xC3\xA9.bin");  // ends in e-acute
  WriteFileBytes(longest, good);
  const std::wstring wideLongest = std::wstring(longest.begin(), longest.end() - 6) + L"\u00e9.bin";
  EXPECT_EQ(Tevrin_LoadMaskFileW(handle_, wideLongest.c_str()), 1);
  EXPECT_EQ(Tevrin_SaveMaskFileW(handle_, wideLongest.c_str()), 1);
  EXPECT_TRUE(ReadFileBytes(longest) == good);

  const std::wstring tooLong = L"a" + wideLongest;  // one byte more: 1024
  const std::wstring unpaired = std::wstring(wideLongest.begin(), wideLongest.begin() + 20) + L"\xD800.bin";
  for (const std::wstring& path : {tooLong, unpaired}) {
    EXPECT_EQ(Tevrin_LoadMaskFileW(handle_, path.c_str()), 0);
    EXPECT_EQ(Tevrin_SaveMaskFileW(handle_, path.c_str()), 0);
    EXPECT_THAT(Errors(), ElementsAre(TEVRIN_ERROR_TEXT_OR_FILE, TEVRIN_ERROR_TEXT_OR_FILE));
  }
  EXPECT_EQ(Tevrin_LoadMaskFileW(handle_, nullptr), 0);
  EXPECT_THAT(Errors(), ElementsAre(TEVRIN_ERROR_TEXT_OR_FILE));

  // The narrow form takes whatever path the system does.
  const std::string longer = PathOfLength(folder_, 1500, ".bin");
  EXPECT_EQ(Tevrin_SaveMaskFile(handle_, longer.c_str()), 1);
  EXPECT_TRUE(ReadFileBytes(longer) == good);
}

TEST(MasksWithoutCamera, UpdateHasNoFrameToTake) {
  const int handle = tevrin::test::OpenCameras("none");
  ASSERT_NE(handle, 0);
  EXPECT_EQ(Tevrin_UpdateMaskData(handle, 0), 0);
  EXPECT_THAT(tevrin::test::TakeErrors(handle), ElementsAre(TEVRIN_ERROR_NOT_READY));
  Tevrin_Release(handle);
}

}  // namespace
