#include "support/Recording.h"

#include <tevrin/virtualcam/VirtualCameras.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "support/ApplicationWindow.h"

namespace tevrin::test {
namespace {

using namespace std::chrono_literals;

template <typename Done>
bool WaitFor(Done done) {
  for (auto waited = 0ms; waited < 60s; waited += 10ms) {
    if (done()) return true;
    std::this_thread::sleep_for(10ms);
  }
  return done();
}

}  // namespace

void RecordingTest::Open(const std::string& cameras) {
  const char* scratch = std::getenv("TEVRIN_TEST_SCRATCH");
  directory_ = (std::filesystem::path(scratch ? scratch : "/tmp") /
                ::testing::UnitTest::GetInstance()->current_test_info()->name())
                   .string();
  std::filesystem::remove_all(directory_);
  std::filesystem::create_directories(directory_);
  ASSERT_TRUE(tevrin::virtualcam::Configure(cameras));
  handle_ = Tevrin_Initialize(nullptr);
  ASSERT_NE(handle_, 0);
  ASSERT_EQ(Tevrin_SetPreviewWindow(handle_, nullptr, 0, 0, 0, 0), 1);
  ASSERT_EQ(Tevrin_SetWaitTime(handle_, 0), 1);
}

void RecordingTest::TearDown() {
  if (handle_) Tevrin_Release(handle_);
}

CameraInfo RecordingTest::Info() const {
  CameraInfo info{};
  info.size = sizeof info;
  EXPECT_EQ(Tevrin_GetCameraInfo(handle_, &info), 1);
  return info;
}

void RecordingTest::WaitUntilFinished() const {
  ASSERT_TRUE(WaitFor([this] { return Info().recording == 0; })) << "the recording did not end";
}

void RecordingTest::WaitForFrames(unsigned frames) const {
  ASSERT_TRUE(WaitFor([&] { return Info().framesRecorded >= frames; })) << "fewer than " << frames << " frames";
}

std::vector<int> RecordingTest::Errors() const {
  return TakeErrors(handle_);
}

AviContents ReadFinishedRecording(const std::string& path, int width, int height) {
  std::string why;
  std::optional<AviContents> read = ReadAvi(path, &why);
  EXPECT_TRUE(read) << why;
  if (!read) return {};
  const AviContents& avi = *read;
  const uint32_t f = 3u * width * height;
  const auto n = static_cast<uint32_t>(avi.frameOffsets.size());
  EXPECT_EQ(avi.riffSize, avi.fileSize - 8);
  EXPECT_EQ(avi.moviSize, 4 + n * (8 + f));
  EXPECT_EQ(avi.totalFrames, n);
  EXPECT_EQ(avi.length, n);
  EXPECT_EQ(avi.width, static_cast<uint32_t>(width));
  EXPECT_EQ(avi.height, static_cast<uint32_t>(height));
  EXPECT_EQ(avi.biBitCount, 24);
  EXPECT_EQ(avi.biHeight, height);
  EXPECT_TRUE(avi.indexPresent);
  EXPECT_EQ(avi.index.size(), n);
  for (uint32_t k = 0; k < n && k < avi.index.size(); ++k) {
    EXPECT_EQ(avi.frameSizes[k], f);
    EXPECT_EQ(avi.index[k].offset, 4 + k * (8 + f));
    EXPECT_EQ(avi.moviOffset + avi.index[k].offset, avi.frameOffsets[k]);
  }
  // Both rate fields come from one measured rate r: 10^8 / r and 10^9 / r.
  EXPECT_GE(avi.scale, 10ull * avi.microSecPerFrame);
  EXPECT_LT(avi.scale, 10ull * avi.microSecPerFrame + 10);
  return avi;
}

}  // namespace tevrin::test
