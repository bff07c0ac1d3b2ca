// Recording requests that cannot be met, and recordings whose disk fails:
// each is refused with its error code and leaves no file, or ends with error
// 12 and a finished file.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "FileSizeLimit.h"
#include "support/Recording.h"

namespace tevrin::test {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
constexpr int kWidth = 640, kHeight = 512;

class RecordFailure : public RecordingTest {};

TEST_F(RecordFailure, RefusedRequests_RecordTheirErrorAndLeaveNoFile) {
  Open("0x3280:fast:pattern");
  std::filesystem::create_directory(PathOf("folder"));
  const std::string tooLong = PathOf(std::string(5000, 'n') + ".avi");
  const std::wstring wideTooLong(1100, L'w');
  struct Case {
    const char* name;
    std::function<int()> record;
    std::vector<int> errors;  // newest first
  } const kCases[] = {
      {"missing path", [&] { return Tevrin_Record(handle_, nullptr, 1000, 0); }, {TEVRIN_ERROR_ARGUMENT}},
      {"empty path", [&] { return Tevrin_Record(handle_, "", 1000, 0); }, {TEVRIN_ERROR_ARGUMENT}},
      {"missing wide path", [&] { return Tevrin_RecordW(handle_, nullptr, 1000, 0); }, {TEVRIN_ERROR_ARGUMENT}},
      {"zero duration", [&] { return Tevrin_Record(handle_, PathOf("a.avi").c_str(), 0, 0); }, {TEVRIN_ERROR_ARGUMENT}},
      {"negative duration",
       [&] { return Tevrin_Record(handle_, PathOf("a.avi").c_str(), -5, 0); },
       {TEVRIN_ERROR_ARGUMENT}},
      {"folder that does not exist",
       [&] { return Tevrin_Record(handle_, PathOf("missing/a.avi").c_str(), 1000, 0); },
       {TEVRIN_ERROR_TEXT_OR_FILE}},
      {"directory as path",
       [&] { return Tevrin_Record(handle_, PathOf("folder").c_str(), 1000, 0); },
       {TEVRIN_ERROR_TEXT_OR_FILE}},
      {"folder that takes no files",
       [&] { return Tevrin_Record(handle_, "/proc/a.avi", 1000, 0); },
       {TEVRIN_ERROR_TEXT_OR_FILE}},
      {"over-long path", [&] { return Tevrin_Record(handle_, tooLong.c_str(), 1000, 0); }, {TEVRIN_ERROR_TEXT_OR_FILE}},
      {"wide path that does not fit the narrow form",
       [&] { return Tevrin_RecordW(handle_, wideTooLong.c_str(), 1000, 0); },
       {TEVRIN_ERROR_TEXT_OR_FILE}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.record(), 0);
    EXPECT_THAT(Errors(), ElementsAreArray(c.errors));
    // Nothing runs afterwards: a prepared capture is allowed only when idle.
    EXPECT_EQ(Tevrin_Capture(handle_), 1);
    EXPECT_EQ(Tevrin_StopPreview(handle_), 1);
  }
  const auto entries = std::filesystem::directory_iterator(Directory());
  EXPECT_EQ(std::distance(begin(entries), end(entries)), 1);  // the folder
}

// A directory without write permission; root writes there regardless.
TEST_F(RecordFailure, ReadOnlyFolder_IsRefusedWithError12) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders; /proc stands in above";
  Open("0x3280:fast:pattern");
  const std::string folder = PathOf("read-only");
  std::filesystem::create_directory(folder);
  std::filesystem::permissions(folder, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  EXPECT_EQ(Tevrin_Record(handle_, (folder + "/a.avi").c_str(), 1000, 0), 0);
  EXPECT_THAT(Errors(), ElementsAre(TEVRIN_ERROR_TEXT_OR_FILE));
  std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
  EXPECT_TRUE(std::filesystem::is_empty(folder));
}

TEST_F(RecordFailure, WithoutACamera_TheAcquisitionCannotStart) {
  Open("none");
  EXPECT_EQ(Tevrin_Record(handle_, PathOf("a.avi").c_str(), 1000, 0), 0);
  EXPECT_THAT(Errors(), ElementsAre(TEVRIN_ERROR_TEXT_OR_FILE, TEVRIN_ERROR_NO_CAMERA));
  EXPECT_FALSE(std::filesystem::exists(PathOf("a.avi")));
}

// A second recording would share the first one's file and buffers.
TEST_F(RecordFailure, RecordWhileRecording_IsRefusedAndTheFirstGoesOn) {
  Open("0x3280:fast:pattern");
  ASSERT_EQ(Tevrin_Record(handle_, PathOf("first.avi").c_str(), 600000, 0), 1);
  WaitForFrames(2);
  EXPECT_EQ(Tevrin_Record(handle_, PathOf("second.avi").c_str(), 1000, 0), 0);
  EXPECT_THAT(Errors(), ElementsAre(TEVRIN_ERROR_NOT_READY));
  EXPECT_FALSE(std::filesystem::exists(PathOf("second.avi")));
  const unsigned before = Info().framesRecorded;
  WaitForFrames(before + 2);
  ASSERT_EQ(Tevrin_StopPreview(handle_), 1);
  EXPECT_GE(ReadFinishedRecording(PathOf("first.avi"), kWidth, kHeight).frameOffsets.size(), before + 2);
  // Once finished, the next recording may start.
  ASSERT_EQ(Tevrin_Record(handle_, PathOf("second.avi").c_str(), 1, 0), 1);
  WaitUntilFinished();
  EXPECT_GE(ReadFinishedRecording(PathOf("second.avi"), kWidth, kHeight).frameOffsets.size(), 1u);
}

// The disk fills up in the sixth frame: the recording ends, error 12 is
// recorded and posted, and the five whole frames are a finished file.
TEST_F(RecordFailure, DiskFullDuringTheRecording_EndsItWithError12AndAFinishedFile) {
  Open("0x3280:fast:pattern");
  const std::string path = PathOf("full.avi");
  {
    FileSizeLimit limit(232 + 5 * (8 + 3 * kWidth * kHeight) + 100000);
    ASSERT_EQ(Tevrin_Record(handle_, path.c_str(), 600000, 0), 1);
    WaitUntilFinished();
  }
  EXPECT_THAT(Errors(), ElementsAre(TEVRIN_ERROR_TEXT_OR_FILE));
  const AviContents avi = ReadFinishedRecording(path, kWidth, kHeight);
  EXPECT_EQ(avi.frameOffsets.size(), 5u);
  EXPECT_EQ(Info().framesRecorded, 5u);
}

}  // namespace
}  // namespace tevrin::test
