// The save entry point: refused requests write nothing, a failed write keeps
// the old file and leaves no temporary behind, and saves on several threads
// at once each produce a whole file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "FileSizeLimit.h"
#include "files/SignificantBits.h"
#include "support/StillFileTest.h"

namespace tevrin::test {
namespace {

class SaveTest : public StillFileTest {
 protected:
  bool SaveTo(const std::string& path, const files::StillImage& image, int format, int bits = 16) {
    return files::SaveImageAs(path.c_str(), image, format, bits);
  }
  void WriteText(const std::string& path, const std::string& text) { std::ofstream(path) << text; }
};

constexpr int kAllFormats[] = {0, 1, 2, 3, 4, 5, 6};

TEST_F(SaveTest, RefusedRequests_ReturnFalseAndWriteNothing) {
  const TestImage image = MakePatternImage(8, 4, 16);
  for (int format : {7, 8, -1, 100}) EXPECT_FALSE(SaveTo(PathOf("f.bin"), image.view, format)) << format;
  for (int bits : {0, 8, 11, 14, 17}) EXPECT_FALSE(SaveTo(PathOf("b.png"), image.view, files::kStillPng, bits)) << bits;
  struct Broken {
    const char* name;
    files::StillImage view;
  };
  const auto with = [&](auto change) {
    files::StillImage view = image.view;
    change(view);
    return view;
  };
  const Broken broken[] = {
      {"no pixels", with([](auto& v) { v.bits = nullptr; })},
      {"bit count 12", with([](auto& v) { v.bitCount = 12; })},
      {"zero width", with([](auto& v) { v.width = 0; })},
      {"negative height", with([](auto& v) { v.height = -4; })},
      {"stride shorter than a row", with([](auto& v) { v.stride = 8; })},
  };
  for (const Broken& b : broken) {
    for (int format : kAllFormats) EXPECT_FALSE(SaveTo(PathOf("x.img"), b.view, format)) << b.name << " " << format;
  }
  EXPECT_FALSE(files::SaveImageAs(nullptr, image.view, files::kStillBmp, 16));
  EXPECT_FALSE(files::SaveImageAs("", image.view, files::kStillBmp, 16));
  EXPECT_TRUE(DirectoryEntries(directory).empty());
}

TEST_F(SaveTest, UncreatableFile_FailsForEveryFormatAndLeavesNothing) {
  const TestImage image = MakePatternImage(8, 4, 24);
  WriteText(PathOf("plain"), "not a directory");
  for (int format : kAllFormats) {
    SCOPED_TRACE("format " + std::to_string(format));
    EXPECT_FALSE(SaveTo(PathOf("missing/image.img"), image.view, format));
    EXPECT_FALSE(SaveTo(PathOf("plain/image.img"), image.view, format));
    // A directory in the target's place is not replaced.
    std::filesystem::create_directory(PathOf("taken"));
    EXPECT_FALSE(SaveTo(PathOf("taken"), image.view, format));
  }
  EXPECT_EQ(DirectoryEntries(directory), (std::vector<std::string>{"plain", "taken"}));
}

TEST_F(SaveTest, WriteFailingHalfWay_KeepsTheOldFileAndLeavesNoTemporary) {
  // Noise, so that no codec squeezes the frame below the limit.
  const TestImage image = MakeImage(640, 512, 48, [](int x, int y, int c) {
    const uint32_t mixed = (static_cast<uint32_t>(x) * 73856093u) ^ (static_cast<uint32_t>(y) * 19349663u) ^
                           (static_cast<uint32_t>(c) * 83492791u);
    return static_cast<uint16_t>((mixed * 2654435761u) >> 16);
  });
  for (int format : kAllFormats) {
    SCOPED_TRACE("format " + std::to_string(format));
    const std::string path = PathOf("frame.img");
    WriteText(path, "previous picture");
    {
      FileSizeLimit limit(4096);
      EXPECT_FALSE(SaveTo(path, image.view, format));
    }
    const auto kept = ReadBytes(path);
    EXPECT_TRUE(std::string(kept.begin(), kept.end()) == "previous picture") << kept.size() << " bytes";
    EXPECT_EQ(DirectoryEntries(directory), std::vector<std::string>{"frame.img"});
  }
}

TEST_F(SaveTest, Success_ReplacesAnExistingFileAndLeavesNoTemporary) {
  const TestImage image = MakePatternImage(16, 8, 8);
  const std::string path = PathOf("frame.raw");
  WriteText(path, std::string(10000, 'x'));
  EXPECT_TRUE(SaveTo(path, image.view, files::kStillRaw));
  EXPECT_EQ(ReadBytes(path), image.memory);
  // A relative name lands in the working directory.
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(directory);
  EXPECT_TRUE(SaveTo("relative.bmp", image.view, files::kStillBmp));
  std::filesystem::current_path(previous);
  EXPECT_EQ(DirectoryEntries(directory), (std::vector<std::string>{"frame.raw", "relative.bmp"}));
}

// A save to a symbolic link writes the file the link leads to and keeps the
// link, as writing through the link would.
TEST_F(SaveTest, SymbolicLink_WritesWhereTheLinkLeadsAndKeepsTheLink) {
  namespace fs = std::filesystem;
  const TestImage image = MakePatternImage(16, 8, 8);
  fs::create_directory(PathOf("sub"));
  struct Case {
    const char* label;
    const char* saved;   // the path given to the save
    const char* target;  // the file that must hold the image
  };
  WriteText(PathOf("existing.raw"), "previous picture");
  fs::create_symlink("existing.raw", PathOf("to-existing"));
  fs::create_symlink("fresh.raw", PathOf("to-fresh"));
  fs::create_symlink(PathOf("to-existing"), PathOf("chain"));
  fs::create_symlink("../up.raw", PathOf("sub/to-parent"));
  for (const Case& c : {
           Case{"link to an existing file", "to-existing", "existing.raw"},
           Case{"link to a file not yet there", "to-fresh", "fresh.raw"},
           Case{"absolute link to a relative link", "chain", "existing.raw"},
           Case{"relative to the link's own folder", "sub/to-parent", "up.raw"},
       }) {
    SCOPED_TRACE(c.label);
    EXPECT_TRUE(SaveTo(PathOf(c.saved), image.view, files::kStillRaw));
    EXPECT_TRUE(fs::is_symlink(PathOf(c.saved)));
    EXPECT_EQ(ReadBytes(PathOf(c.target)), image.memory);
  }
  EXPECT_EQ(DirectoryEntries(directory), (std::vector<std::string>{"chain", "existing.raw", "fresh.raw", "sub",
                                                                   "to-existing", "to-fresh", "up.raw"}));
  EXPECT_EQ(DirectoryEntries(PathOf("sub")), std::vector<std::string>{"to-parent"});
}

TEST_F(SaveTest, SymbolicLinkLeadingNowhere_FailsAndKeepsTheLinks) {
  namespace fs = std::filesystem;
  const TestImage image = MakePatternImage(16, 8, 8);
  fs::create_directory(PathOf("folder"));
  fs::create_symlink("missing/image.raw", PathOf("dangling"));
  fs::create_symlink("dangling", PathOf("to-dangling"));
  fs::create_symlink("loop-b", PathOf("loop-a"));
  fs::create_symlink("loop-a", PathOf("loop-b"));
  fs::create_symlink("folder", PathOf("to-folder"));
  for (const char* saved : {"dangling", "to-dangling", "loop-a", "to-folder"}) {
    SCOPED_TRACE(saved);
    const fs::path before = fs::read_symlink(PathOf(saved));
    EXPECT_FALSE(SaveTo(PathOf(saved), image.view, files::kStillRaw));
    ASSERT_TRUE(fs::is_symlink(PathOf(saved)));
    EXPECT_EQ(fs::read_symlink(PathOf(saved)), before);
  }
  EXPECT_EQ(DirectoryEntries(directory),
            (std::vector<std::string>{"dangling", "folder", "loop-a", "loop-b", "to-dangling", "to-folder"}));
  EXPECT_TRUE(DirectoryEntries(PathOf("folder")).empty());
}

TEST_F(SaveTest, SeveralThreadsAtOnce_EachFileWhole) {
  const TestImage grey = MakePatternImage(96, 64, 16);
  const TestImage colour = MakePatternImage(96, 64, 64);
  constexpr int kThreads = 4, kRounds = 5;
  std::vector<std::thread> threads;
  std::vector<int> failures(kThreads, 0);
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      const TestImage& image = t % 2 ? colour : grey;
      for (int round = 0; round < kRounds; ++round) {
        for (int format : {files::kStillPng, files::kStillJpegQuality70, files::kStillTiff}) {
          // Each thread its own files, and all of them one shared PNG.
          const std::string own = PathOf(Numbered(Numbered("t", t, "-"), format));
          if (!SaveTo(own, image.view, format)) ++failures[t];
          if (format == files::kStillPng && !SaveTo(PathOf("shared.png"), image.view, format)) ++failures[t];
        }
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(failures, std::vector<int>(kThreads, 0));
  for (int t = 0; t < kThreads; ++t) {
    SCOPED_TRACE("thread " + std::to_string(t));
    const TestImage& image = t % 2 ? colour : grey;
    ExpectRgbOrderPixels(ReadPng(PathOf(Numbered("t", t, "-5"))), image, 16, 0xFFFF);
    ExpectRgbOrderPixels(ReadTiff(PathOf(Numbered("t", t, "-6"))), image, 16, 0xFFFF);
  }
  const PngFile shared = ReadPng(PathOf("shared.png"));
  EXPECT_TRUE(shared.channels == 1 || shared.channels == 4);
  ExpectRgbOrderPixels(shared, shared.channels == 1 ? grey : colour, 16, 0xFFFF);
  EXPECT_EQ(DirectoryEntries(directory).size(), static_cast<size_t>(kThreads * 3 + 1));
}

TEST(SignificantBits, ReduceAndWidenPerDepth) {
  EXPECT_EQ(files::ReduceSample(0x0ABC, 16), 0x0A);
  EXPECT_EQ(files::ReduceSample(0x0ABC, 12), 0xAB);
  EXPECT_EQ(files::ReduceSample(0x03FF, 10), 0xFF);
  EXPECT_EQ(files::WidenSample(0x0ABC, 16), 0x0ABC);
  EXPECT_EQ(files::WidenSample(0x0ABC, 12), 0xABC0);
  EXPECT_EQ(files::WidenSample(0x03FF, 10), 0xFFC0);
}

}  // namespace
}  // namespace tevrin::test
