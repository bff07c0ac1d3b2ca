// The AVI writer read back by the tests' own reader: every header field, the
// frame chunks and the index; the size limit of the 32-bit fields; what a
// failed write or an unusable path leaves behind (a finished file or none).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <numeric>
#include <string>
#include <vector>

#include "AviReader.h"
#include "FileSizeLimit.h"
#include "files/AviWriter.h"
#include "support/TestImage.h"

namespace tevrin::test {
namespace {

constexpr uint32_t kHeaderBytes = 232;  // "RIFF" up to and including "movi"

class AviWriterTest : public ::testing::Test {
 protected:
  std::string directory = FreshDirectory(::testing::UnitTest::GetInstance()->current_test_info()->name());
  std::string PathOf(const std::string& name) const { return directory + "/" + name; }

  // Frame k holds the byte k + i at byte i.
  static std::vector<uint8_t> FrameBytes(size_t size, int k) {
    std::vector<uint8_t> frame(size);
    std::iota(frame.begin(), frame.end(), static_cast<uint8_t>(k));
    return frame;
  }

  static void AddFrames(CAviWriter& writer, int count) {
    for (int k = 0; k < count; ++k) {
      ASSERT_EQ(writer.AddFrame(FrameBytes(writer.FrameBytes(), k).data()), CAviWriter::AddResult::kAdded) << k;
    }
  }

  static AviContents Read(const std::string& path) {
    std::string why;
    std::optional<AviContents> avi = ReadAvi(path, &why);
    EXPECT_TRUE(avi) << why;
    return avi.value_or(AviContents{});
  }

  // What every finished file holds for n frames of `frameBytes`, whatever its rate.
  static void ExpectWholeFile(const AviContents& avi, uint32_t width, uint32_t height, uint32_t frames) {
    const uint32_t f = 3 * width * height;
    EXPECT_EQ(avi.riffSize, avi.fileSize - 8);
    EXPECT_EQ(avi.fileSize, kHeaderBytes + frames * (8 + f) + 8 + 16 * frames);
    EXPECT_EQ(avi.headerListSize, 200u);
    EXPECT_EQ(avi.paddingGranularity, 0u);
    EXPECT_EQ(avi.flags, 0x10010u);
    EXPECT_EQ(avi.totalFrames, frames);
    EXPECT_EQ(avi.initialFrames, 0u);
    EXPECT_EQ(avi.streams, 1u);
    EXPECT_EQ(avi.suggestedBufferSize, f + 8);
    EXPECT_EQ(avi.width, width);
    EXPECT_EQ(avi.height, height);
    EXPECT_EQ(avi.streamListSize, 124u);
    EXPECT_EQ(avi.streamType, "vids");
    EXPECT_EQ(avi.handler, "DIB ");
    EXPECT_EQ(avi.streamFlags, 0u);
    EXPECT_EQ(avi.rate, 10000000u);
    EXPECT_EQ(avi.start, 0u);
    EXPECT_EQ(avi.length, frames);
    EXPECT_EQ(avi.streamSuggestedBufferSize, f + 8);
    EXPECT_EQ(avi.quality, 0u);
    EXPECT_EQ(avi.sampleSize, 0u);
    EXPECT_EQ(avi.biSize, 40u);
    EXPECT_EQ(avi.biWidth, static_cast<int32_t>(width));
    EXPECT_EQ(avi.biHeight, static_cast<int32_t>(height));
    EXPECT_EQ(avi.biPlanes, 1);
    EXPECT_EQ(avi.biBitCount, 24);
    EXPECT_EQ(avi.biCompression, 0u);
    EXPECT_EQ(avi.biSizeImage, 0u);
    EXPECT_EQ(avi.moviOffset, 228u);
    EXPECT_EQ(avi.moviSize, 4 + frames * (8 + f));
    ASSERT_EQ(avi.frameOffsets.size(), frames);
    ASSERT_TRUE(avi.indexPresent);
    ASSERT_EQ(avi.index.size(), frames);
    for (uint32_t k = 0; k < frames; ++k) {
      SCOPED_TRACE("frame " + std::to_string(k));
      EXPECT_EQ(avi.frameSizes[k], f);
      EXPECT_EQ(avi.index[k].id, "00db");
      EXPECT_EQ(avi.index[k].flags, 0x10u);
      EXPECT_EQ(avi.index[k].offset, 4 + k * (8 + f));
      EXPECT_EQ(avi.index[k].size, f);
      // The index points at the chunk the file holds.
      EXPECT_EQ(avi.moviOffset + avi.index[k].offset, avi.frameOffsets[k]);
      const std::vector<uint8_t> expected = FrameBytes(f, static_cast<int>(k));
      EXPECT_TRUE(std::equal(expected.begin(), expected.end(), avi.Frame(k)));
    }
  }
};

TEST_F(AviWriterTest, FinishedFile_HoldsEveryFieldOfTheLayout) {
  CAviWriter writer;
  writer.SetFormat(8, 2, 16);
  ASSERT_TRUE(writer.Open(PathOf("clip.avi").c_str()));
  AddFrames(writer, 12);
  writer.SetRate(1090);  // 12 frames in 1100 ms
  ASSERT_TRUE(writer.Finish());
  const AviContents avi = Read(PathOf("clip.avi"));
  ExpectWholeFile(avi, 8, 2, 12);
  EXPECT_EQ(avi.microSecPerFrame, 91743u);
  EXPECT_EQ(avi.scale, 917431u);
  EXPECT_EQ(avi.maxBytesPerSec, (48u + 8) * (48u + 8));
}

TEST_F(AviWriterTest, RateFields_FromTheMeasuredRateWithAFloorOfOneFramePer100Seconds) {
  struct Case {
    uint32_t rate, microSecPerFrame, scale;
  } const kCases[] = {
      {3000, 33333, 333333}, {25800, 3875, 38759}, {1, 100000000, 1000000000}, {0, 100000000, 1000000000}};
  for (const Case& c : kCases) {
    SCOPED_TRACE("rate " + std::to_string(c.rate));
    CAviWriter writer;
    writer.SetFormat(4, 4, 8);
    ASSERT_TRUE(writer.Open(PathOf("rate.avi").c_str()));
    AddFrames(writer, 1);
    writer.SetRate(c.rate);
    ASSERT_TRUE(writer.Finish());
    const AviContents avi = Read(PathOf("rate.avi"));
    EXPECT_EQ(avi.microSecPerFrame, c.microSecPerFrame);
    EXPECT_EQ(avi.scale, c.scale);
  }
}

TEST_F(AviWriterTest, FullSizeFrames_CarryTheCameraFramesBufferFields) {
  CAviWriter writer;
  writer.SetFormat(640, 512, 16);
  ASSERT_TRUE(writer.Open(PathOf("camera.avi").c_str()));
  AddFrames(writer, 2);
  ASSERT_TRUE(writer.Finish());
  const AviContents avi = Read(PathOf("camera.avi"));
  ExpectWholeFile(avi, 640, 512, 2);
  EXPECT_EQ(avi.maxBytesPerSec, 0x00F00040u);
  EXPECT_EQ(avi.suggestedBufferSize, 983048u);
}

TEST_F(AviWriterTest, EmptyRecording_IsAFinishedFileWithoutFrames) {
  CAviWriter writer;
  writer.SetFormat(4, 2, 8);
  ASSERT_TRUE(writer.Open(PathOf("empty.avi").c_str()));
  ASSERT_TRUE(writer.Finish());
  const AviContents avi = Read(PathOf("empty.avi"));
  ExpectWholeFile(avi, 4, 2, 0);
  EXPECT_EQ(avi.microSecPerFrame, 33333u);  // the opening rate of 30 frames per second
}

// Before the 32-bit sizes would wrap, the writer refuses the frame and the
// file is finished with the frames that fit.
TEST_F(AviWriterTest, SizeLimit_RefusesTheFrameThatWouldWrapTheSizes) {
  constexpr uint32_t kWidth = 4, kHeight = 4, kFrame = 3 * kWidth * kHeight;
  // Room for three frames with their index entries, one byte short of a fourth.
  const uint64_t threeFrames = (kHeaderBytes - 8) + 3 * (8 + kFrame) + 8 + 3 * 16;
  const uint64_t fourFrames = threeFrames + 8 + kFrame + 16;
  for (const uint64_t limit : {threeFrames, fourFrames - 1}) {
    SCOPED_TRACE("limit " + std::to_string(limit));
    CAviWriter writer(limit);
    writer.SetFormat(kWidth, kHeight, 24);
    ASSERT_TRUE(writer.Open(PathOf("full.avi").c_str()));
    AddFrames(writer, 3);
    EXPECT_EQ(writer.AddFrame(FrameBytes(kFrame, 3).data()), CAviWriter::AddResult::kFileFull);
    ASSERT_TRUE(writer.Finish());
    ExpectWholeFile(Read(PathOf("full.avi")), kWidth, kHeight, 3);
  }
}

// A frame cut short by a full disk is dropped and the frames before it are
// finished into a file; when not even the index fits, no file is left.
TEST_F(AviWriterTest, FailedWrite_FinishesTheWholeFramesOrRemovesTheFile) {
  constexpr uint32_t kWidth = 100, kHeight = 10, kFrame = 3 * kWidth * kHeight;
  const rlim_t twoFrames = kHeaderBytes + 2 * (8 + kFrame);
  struct Case {
    const char* name;
    rlim_t limit;
    bool finished;
  } const kCases[] = {
      {"index fits", twoFrames + 1000, true},
      {"index does not fit", twoFrames + 20, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const std::string path = PathOf("disk.avi");
    CAviWriter writer;
    writer.SetFormat(kWidth, kHeight, 8);
    {
      FileSizeLimit limit(c.limit);
      ASSERT_TRUE(writer.Open(path.c_str()));
      AddFrames(writer, 2);
      EXPECT_EQ(writer.AddFrame(FrameBytes(kFrame, 2).data()), CAviWriter::AddResult::kWriteFailed);
      EXPECT_EQ(writer.AddFrame(FrameBytes(kFrame, 2).data()), CAviWriter::AddResult::kWriteFailed);
      EXPECT_EQ(writer.Finish(), c.finished);
    }
    if (c.finished) {
      ExpectWholeFile(Read(path), kWidth, kHeight, 2);
    } else {
      EXPECT_FALSE(std::filesystem::exists(path));
    }
  }
}

TEST_F(AviWriterTest, UnusablePaths_AreRefusedAndLeaveNoFile) {
  std::filesystem::create_directory(PathOf("folder"));
  const std::string kPaths[] = {
      "",
      PathOf("missing/clip.avi"),
      PathOf("folder"),
      "/proc/clip.avi",  // a folder that takes no files, even from root
      PathOf(std::string(5000, 'n') + ".avi"),
  };
  for (const std::string& path : kPaths) {
    SCOPED_TRACE(path.substr(0, 80));
    CAviWriter writer;
    writer.SetFormat(4, 4, 8);
    EXPECT_FALSE(writer.Open(path.c_str()));
    EXPECT_FALSE(writer.IsOpen());
  }
  CAviWriter writer;
  EXPECT_FALSE(writer.Open(nullptr));
  writer.SetFormat(0, 4, 8);
  EXPECT_FALSE(writer.Open(PathOf("no-size.avi").c_str()));
  EXPECT_EQ(DirectoryEntries(directory), std::vector<std::string>{"folder"});
}

TEST_F(AviWriterTest, Open_ReplacesAnOldFileAndResetRemovesAnUnfinishedOne) {
  const std::string path = PathOf("clip.avi");
  std::ofstream(path) << std::string(100000, 'x');
  CAviWriter writer;
  writer.SetFormat(4, 4, 8);
  ASSERT_TRUE(writer.Open(path.c_str()));
  AddFrames(writer, 1);
  ASSERT_TRUE(writer.Finish());
  ExpectWholeFile(Read(path), 4, 4, 1);
  ASSERT_TRUE(writer.Open(path.c_str()));
  AddFrames(writer, 2);
  writer.Reset();
  EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace
}  // namespace tevrin::test
