// `tevrin snap` takes a frame of a virtual camera and saves it; the files are
// read back by the codec libraries (their pixels are checked elsewhere).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/StillHeaders.h"
#include "support/ToolRun.h"

namespace {

namespace fs = std::filesystem;
using ::testing::ContainsRegex;
using tevrin::test::ReadBmp;
using tevrin::test::ReadJpeg;
using tevrin::test::ReadPng;
using tevrin::test::ReadTiff;
using tevrin::test::RunTool;
using tevrin::test::ScratchFolder;
using tevrin::test::StillHeader;
using tevrin::test::ToolResult;

constexpr const char* kCamera = "0x3280:pattern";

// Snaps with `arguments` and expects `file` (in the test's folder) to be written and announced.
std::string Snap(const std::string& arguments, const std::string& file) {
  ToolResult result = RunTool(kCamera, "snap " + arguments);
  EXPECT_EQ(result.exitCode, 0) << arguments << ": " << result.err;
  EXPECT_THAT(result.out, ContainsRegex("^saved 640 x 512, [0-9]+ bits per pixel, mean level [0-9.]+, as [a-z]+ to " +
                                        file + "\n$"))
      << arguments;
  std::string path = ScratchFolder() + "/" + file;
  EXPECT_TRUE(fs::exists(path)) << path;
  return path;
}

TEST(SnapCommand, WritesEachFormatUnderItsDefaultName) {
  StillHeader bmp = ReadBmp(Snap("--mode 8", "snapshot.bmp"));
  EXPECT_TRUE(bmp.readable);
  EXPECT_EQ(bmp.width, 640);
  EXPECT_EQ(bmp.height, 512);
  EXPECT_EQ(bmp.bmpBitCount, 8);
  EXPECT_EQ(bmp.fileSize, 1078 + 640 * 512);

  EXPECT_EQ(fs::file_size(Snap("--mode 16 --format raw", "snapshot.raw")), 640u * 512 * 2);

  StillHeader jpeg = ReadJpeg(Snap("--mode 8 --format jpeg", "snapshot.jpg"));
  EXPECT_TRUE(jpeg.readable);
  EXPECT_EQ(jpeg.width, 640);
  EXPECT_EQ(jpeg.height, 512);
  EXPECT_EQ(jpeg.samplesPerPixel, 1);

  StillHeader png = ReadPng(Snap("--mode 16 --format png", "snapshot.png"));
  EXPECT_TRUE(png.readable);
  EXPECT_EQ(png.width, 640);
  EXPECT_EQ(png.height, 512);
  EXPECT_EQ(png.bitsPerSample, 16);
  EXPECT_EQ(png.samplesPerPixel, 1);

  StillHeader tiff = ReadTiff(Snap("--mode 8 --format tiff", "snapshot.tif"));
  EXPECT_TRUE(tiff.readable);
  EXPECT_EQ(tiff.width, 640);
  EXPECT_EQ(tiff.height, 512);
  EXPECT_EQ(tiff.bitsPerSample, 8);
  EXPECT_EQ(tiff.samplesPerPixel, 1);
}

TEST(SnapCommand, OutputNameChoosesTheFormatUnlessOneIsGiven) {
  fs::create_directories(ScratchFolder() + "/out");
  StillHeader png = ReadPng(Snap("--mode 8 -o out/frame.png", "out/frame.png"));
  EXPECT_TRUE(png.readable);
  EXPECT_EQ(png.bitsPerSample, 8);
  EXPECT_EQ(png.samplesPerPixel, 1);

  StillHeader bmp = ReadBmp(Snap("--mode 16 -o out/frame.png --format bmp", "out/frame.png"));
  EXPECT_TRUE(bmp.readable) << "the format given wins over the extension";
  EXPECT_EQ(bmp.bmpBitCount, 16);
  EXPECT_EQ(bmp.fileSize, 54 + 640 * 512 * 2);

  StillHeader tiff = ReadTiff(Snap("--mode 16 -o out/frame.tiff", "out/frame.tiff"));
  EXPECT_TRUE(tiff.readable) << "both spellings of the TIFF extension";

  ToolResult unknown = RunTool(kCamera, "snap --mode 8 -o out/frame.data");
  EXPECT_EQ(unknown.exitCode, 1) << "an extension that names no format needs --format";
  EXPECT_THAT(unknown.err, ContainsRegex("give --format"));
  EXPECT_FALSE(fs::exists(ScratchFolder() + "/out/frame.data"));
}

TEST(SnapCommand, ExposureAndGainGivenAreKeptAsTheCamerasSettings) {
  Snap("--exposure 12.5 --gain 20", "snapshot.bmp");
  EXPECT_EQ(RunTool(kCamera, "get exposure").out, "12500\n");
  EXPECT_EQ(RunTool(kCamera, "get gain").out, "20\n");
}

TEST(SnapCommand, AFileThatCannotBeWrittenFailsWithoutLeavingOne) {
  ToolResult result = RunTool(kCamera, "snap -o no/such/folder/x.png");
  EXPECT_EQ(result.exitCode, 3);
  EXPECT_EQ(result.err,
            "tevrin: saving no/such/folder/x.png failed: error 12 (TextOrFile): No such file or directory\n");
  EXPECT_EQ(result.out, "");
}

}  // namespace
