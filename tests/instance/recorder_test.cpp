// The recording session on its own, fed frames at chosen times: which frames
// belong to the file and what rate it carries, how a stop, a disk that falls
// behind and a full file end up in the file and the counters.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <numeric>
#include <thread>
#include <vector>

#include <TevrinSdk_Halden.h>

#include "AviReader.h"
#include "instance/Recorder.h"

namespace {

using namespace std::chrono_literals;

constexpr int kWidth = 16, kHeight = 8;
constexpr uint32_t kFrameBytes = 3 * kWidth * kHeight;

// Time as the test sets it. The recording thread's reads can be held at a
// gate, standing in for a disk that does not answer.
class TestClock {
 public:
  DWORD Read() {
    if (std::this_thread::get_id() != owner_) {
      std::unique_lock hold(lock_);
      held_ = !open_;
      changed_.notify_all();
      changed_.wait(hold, [this] { return open_; });
      held_ = false;
    }
    return now_.load();
  }
  void Set(DWORD now) { now_ = now; }
  void Close() {
    std::lock_guard hold(lock_);
    open_ = false;
  }
  void Open() {
    std::lock_guard hold(lock_);
    open_ = true;
    changed_.notify_all();
  }
  void WaitUntilHeld() {
    std::unique_lock hold(lock_);
    ASSERT_TRUE(changed_.wait_for(hold, 30s, [this] { return held_; }));
  }

 private:
  std::thread::id owner_ = std::this_thread::get_id();
  std::atomic<DWORD> now_{50000};
  std::mutex lock_;
  std::condition_variable changed_;
  bool open_ = true;
  bool held_ = false;
};

class RecorderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* scratch = std::getenv("TEVRIN_TEST_SCRATCH");
    directory_ = std::filesystem::path(scratch ? scratch : "/tmp") / "recorder" /
                 ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::filesystem::remove_all(directory_);
    std::filesystem::create_directories(directory_);
    ASSERT_TRUE(image_.Create(kWidth, kHeight, 8));
  }

  std::string Path() const { return (directory_ / "clip.avi").string(); }

  std::unique_ptr<CRecorder> Make(uint64_t maxRiffSize = CAviWriter::kMaxRiffSize) {
    return std::make_unique<CRecorder>(
        [this](int code) {
          std::lock_guard hold(errorsLock_);
          errors_.push_back(code);
        },
        [this] { return clock_.Read(); }, maxRiffSize);
  }

  int Start(CRecorder& recorder, int durationMs) {
    return recorder.Start(Path().c_str(), durationMs, {kWidth, kHeight, 8, 12});
  }

  // Frame `value` (every pixel that value) at `time` ms.
  void Offer(CRecorder& recorder, uint8_t value, DWORD time) {
    clock_.Set(time);
    std::memset(image_.Bits(), value, image_.ByteSize());
    recorder.OnFrame(image_);
  }

  static void WaitUntilFinished(const CRecorder& recorder) {
    for (auto waited = 0ms; recorder.Active() && waited < 30s; waited += 5ms) std::this_thread::sleep_for(5ms);
    ASSERT_FALSE(recorder.Active());
  }

  AviContents Read() const {
    std::string why;
    std::optional<AviContents> avi = ReadAvi(Path(), &why);
    EXPECT_TRUE(avi) << why;
    return avi.value_or(AviContents{});
  }

  // The file holds `values`, one frame each, with the index to match.
  static void ExpectFrames(const AviContents& avi, const std::vector<uint8_t>& values) {
    EXPECT_EQ(avi.riffSize, avi.fileSize - 8);
    EXPECT_EQ(avi.totalFrames, values.size());
    EXPECT_EQ(avi.length, values.size());
    ASSERT_EQ(avi.frameOffsets.size(), values.size());
    ASSERT_EQ(avi.index.size(), values.size());
    for (size_t k = 0; k < values.size(); ++k) {
      const uint8_t* frame = avi.Frame(k);
      EXPECT_TRUE(std::all_of(frame, frame + kFrameBytes, [&](uint8_t b) { return b == values[k]; })) << k;
    }
  }

  std::vector<int> Errors() {
    std::lock_guard hold(errorsLock_);
    return errors_;
  }

  TestClock clock_;
  CDibImage image_;
  std::filesystem::path directory_;
  std::mutex errorsLock_;
  std::vector<int> errors_;
};

// Frames every 100 ms for 1000 ms: the frame at 1100 ms is the first past the
// end and the last in the file, 12 frames at 12 x 100000 / 1100 = 1090.
TEST_F(RecorderTest, HundredMsFramesForOneSecond_Records12FramesAt10Point90PerSecond) {
  auto recorder = Make();
  ASSERT_EQ(Start(*recorder, 1000), 0);
  std::vector<uint8_t> expected;
  for (uint8_t k = 0; k < 16; ++k) {
    Offer(*recorder, k, 7000 + 100u * k);
    if (k < 12) expected.push_back(k);
  }
  WaitUntilFinished(*recorder);
  const AviContents avi = Read();
  ExpectFrames(avi, expected);
  EXPECT_EQ(avi.microSecPerFrame, 91743u);
  EXPECT_EQ(avi.scale, 917431u);
  EXPECT_EQ(recorder->Counts().recorded, 12u);
  EXPECT_EQ(recorder->Counts().dropped, 0u);
  EXPECT_TRUE(Errors().empty());
}

TEST_F(RecorderTest, StopBeforeTheDuration_FinishesWithTheRateSoFar) {
  auto recorder = Make();
  ASSERT_EQ(Start(*recorder, 60000), 0);
  for (uint8_t k = 0; k < 3; ++k) Offer(*recorder, k, 100u * k);
  clock_.Set(300);
  recorder->Stop();
  EXPECT_FALSE(recorder->Active());
  const AviContents avi = Read();
  ExpectFrames(avi, {0, 1, 2});
  EXPECT_EQ(avi.microSecPerFrame, 100000u);  // 3 frames in 300 ms
  EXPECT_EQ(avi.scale, 1000000u);
  // A stop before any frame leaves a finished file without frames.
  ASSERT_EQ(Start(*recorder, 60000), 0);
  recorder->Stop();
  ExpectFrames(Read(), {});
}

// While the disk holds the writer, frames fill the buffers; the rest are
// dropped and counted, and acquisition never waits.
TEST_F(RecorderTest, DiskBehind_DropsTheFramesThatFindNoBufferAndCountsThem) {
  auto recorder = Make();
  ASSERT_EQ(Start(*recorder, 60000), 0);
  clock_.Close();
  Offer(*recorder, 0, 0);
  clock_.WaitUntilHeld();
  constexpr int kOffered = 1 + 100;
  for (int k = 1; k < kOffered; ++k) Offer(*recorder, static_cast<uint8_t>(k), 0);
  const RecordingCounts held = recorder->Counts();
  EXPECT_EQ(held.recorded, 0u);
  EXPECT_GT(held.dropped, 0u);
  clock_.Open();
  recorder->Stop();
  const RecordingCounts counts = recorder->Counts();
  EXPECT_EQ(counts.recorded + counts.dropped, static_cast<uint64_t>(kOffered));
  EXPECT_EQ(counts.dropped, held.dropped);
  std::vector<uint8_t> expected(counts.recorded);
  std::iota(expected.begin(), expected.end(), 0);
  ExpectFrames(Read(), expected);
}

TEST_F(RecorderTest, FileFull_EndsTheRecordingWithError12AndKeepsWhatFits) {
  const uint64_t twoFrames = 224 + 2 * (8 + kFrameBytes) + 8 + 2 * 16;
  auto recorder = Make(twoFrames);
  ASSERT_EQ(Start(*recorder, 60000), 0);
  for (uint8_t k = 0; k < 2; ++k) Offer(*recorder, k, 10u * k);
  Offer(*recorder, 2, 20);
  WaitUntilFinished(*recorder);
  Offer(*recorder, 3, 30);  // after the end: not taken
  ExpectFrames(Read(), {0, 1});
  EXPECT_EQ(Errors(), std::vector<int>{TEVRIN_ERROR_TEXT_OR_FILE});
  EXPECT_EQ(recorder->Counts().recorded, 2u);
  EXPECT_EQ(recorder->Counts().dropped, 1u);
}

TEST_F(RecorderTest, StartFailures_LeaveNothingRunningAndNoFile) {
  auto recorder = Make();
  const std::string missing = (directory_ / "missing" / "clip.avi").string();
  EXPECT_EQ(recorder->Start(missing.c_str(), 1000, {kWidth, kHeight, 8, 12}), TEVRIN_ERROR_TEXT_OR_FILE);
  EXPECT_FALSE(recorder->Active());
  EXPECT_EQ(recorder->Start(Path().c_str(), 1000, {0, kHeight, 8, 12}), TEVRIN_ERROR_BUFFER);
  EXPECT_FALSE(recorder->Active());
  EXPECT_TRUE(std::filesystem::is_empty(directory_));
  Offer(*recorder, 1, 0);  // nothing to take it
  EXPECT_EQ(recorder->Counts().recorded + recorder->Counts().dropped, 0u);
}

}  // namespace
