// The mask file's reader and writer: the exact layout both ways, every
// refusal of a file that is not exactly that layout, a file still being
// written while it is read, and a save that fails half-way.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include "MaskFileBytes.h"
#include "files/MaskFile.h"
#include "FileSizeLimit.h"
#include "support/TestImage.h"

namespace tevrin::test {
namespace {

using files::MaskFileData;
using files::MaskFileResult;

class MaskFileTest : public ::testing::Test {
 protected:
  std::string directory = FreshDirectory(::testing::UnitTest::GetInstance()->current_test_info()->name());
  std::string PathOf(const std::string& name) const { return directory + "/" + name; }
};

// The references of an expected file, as the reader should deliver them.
std::vector<uint8_t> ReferencesOf(const std::vector<uint8_t>& file) {
  return {file.begin() + 40, file.end()};
}

std::vector<uint8_t> DataOf(const MaskFileData& data) {
  return {data.Data(), data.Data() + files::kMaskDataBytes};
}

TEST_F(MaskFileTest, SaveWritesTheLayoutByteForByteAndLoadReadsItBack) {
  const std::vector<uint8_t> expected = MaskFileBytes(1);
  MaskFileData written;
  std::memcpy(written.Data(), expected.data() + 40, files::kMaskDataBytes);
  const std::string path = PathOf("mask.bin");
  ASSERT_EQ(files::WriteMaskFile(path.c_str(), written), MaskFileResult::kDone);
  EXPECT_TRUE(ReadFileBytes(path) == expected);

  MaskFileData read;
  ASSERT_EQ(files::ReadMaskFile(path.c_str(), read), MaskFileResult::kDone);
  EXPECT_TRUE(DataOf(read) == ReferencesOf(expected));
  EXPECT_EQ(read.Reference(files::kMaskWhite16)[1], expected[kMaskReferenceOffset[3] + 1]);
  EXPECT_EQ(DirectoryEntries(directory), std::vector<std::string>{"mask.bin"});
}

TEST_F(MaskFileTest, EveryFileThatIsNotExactlyTheLayoutIsRefused) {
  struct Case {
    const char* label;
    std::function<void(std::vector<uint8_t>&)> change;
    MaskFileResult result;
  };
  const auto setWord = [](size_t at, uint32_t value) {
    return [=](std::vector<uint8_t>& bytes) { PutLittleEndian32(bytes, at, value); };
  };
  std::vector<Case> cases = {
      {"empty", [](auto& b) { b.clear(); }, MaskFileResult::kWrongHeader},
      {"header cut", [](auto& b) { b.resize(39); }, MaskFileResult::kWrongHeader},
      {"header only", [](auto& b) { b.resize(40); }, MaskFileResult::kWrongLength},
      {"one byte short", [](auto& b) { b.pop_back(); }, MaskFileResult::kWrongLength},
      {"one byte more", [](auto& b) { b.push_back(0); }, MaskFileResult::kWrongLength},
      {"wrong magic", [](auto& b) { b[7] = 'm'; }, MaskFileResult::kWrongHeader},
      {"magic unterminated", [](auto& b) { b[15] = '0'; }, MaskFileResult::kWrongHeader},
      {"width 641", setWord(16, 641), MaskFileResult::kWrongHeader},
      {"height 513", setWord(20, 513), MaskFileResult::kWrongHeader},
  };
  for (int reference = 0; reference < 4; ++reference) {
    const uint32_t count = reference < 2 ? 0x50000 : 0xA0000;
    for (const uint32_t wrong : {count - 1, count + 1}) {
      cases.push_back({"byte count", setWord(24 + 4 * reference, wrong), MaskFileResult::kWrongHeader});
    }
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    std::vector<uint8_t> bytes = MaskFileBytes(2);
    c.change(bytes);
    WriteFileBytes(PathOf("bad.bin"), bytes);
    MaskFileData data;
    EXPECT_EQ(files::ReadMaskFile(PathOf("bad.bin").c_str(), data), c.result);
  }
  std::filesystem::create_directory(PathOf("folder"));
  for (const std::string name : {"missing.bin", "folder"}) {
    SCOPED_TRACE(name);
    MaskFileData data;
    EXPECT_EQ(files::ReadMaskFile(PathOf(name).c_str(), data), MaskFileResult::kCannotOpen);
  }
}

// A pipe stands for a file that another program is still writing: its bytes
// arrive while the reader reads. Only a file that ends with the last
// reference is taken.
TEST_F(MaskFileTest, FileGrowingWhileReadIsTakenOnlyWhenItEndsWithTheLayout) {
  const auto previous = signal(SIGPIPE, SIG_IGN);  // the reader may close before the writer is done
  const std::vector<uint8_t> expected = MaskFileBytes(3);
  for (const size_t extra : {size_t{0}, size_t{1}, size_t{4096}}) {
    SCOPED_TRACE("bytes past the layout: " + std::to_string(extra));
    const std::string path = PathOf("growing-" + std::to_string(extra));
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    std::thread writer([&] {
      const int fd = open(path.c_str(), O_WRONLY);
      std::vector<uint8_t> bytes = expected;
      bytes.resize(bytes.size() + extra, 0x55);
      for (size_t at = 0; at < bytes.size(); at += 500000) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        if (write(fd, bytes.data() + at, std::min<size_t>(500000, bytes.size() - at)) < 0) break;
      }
      close(fd);
    });
    MaskFileData data;
    const MaskFileResult result = files::ReadMaskFile(path.c_str(), data);
    writer.join();
    EXPECT_EQ(result, extra == 0 ? MaskFileResult::kDone : MaskFileResult::kWrongLength);
    if (extra == 0) {
      EXPECT_TRUE(DataOf(data) == ReferencesOf(expected));
    }
  }
  signal(SIGPIPE, previous);
}

TEST_F(MaskFileTest, FailedSaveKeepsThePreviousFileAndLeavesNoTemporary) {
  const std::string path = PathOf("mask.bin");
  const std::vector<uint8_t> previous = MaskFileBytes(4);
  WriteFileBytes(path, previous);
  MaskFileData data;
  {
    FileSizeLimit limit(1 << 20);  // the disk fills half-way through the references
    EXPECT_EQ(files::WriteMaskFile(path.c_str(), data), MaskFileResult::kWriteFailed);
  }
  EXPECT_TRUE(ReadFileBytes(path) == previous);
  EXPECT_EQ(DirectoryEntries(directory), std::vector<std::string>{"mask.bin"});
  EXPECT_EQ(files::WriteMaskFile(PathOf("missing/mask.bin").c_str(), data), MaskFileResult::kCannotOpen);
  EXPECT_EQ(files::WriteMaskFile(nullptr, data), MaskFileResult::kCannotOpen);
  EXPECT_EQ(files::WriteMaskFile("", data), MaskFileResult::kCannotOpen);
  EXPECT_EQ(DirectoryEntries(directory), std::vector<std::string>{"mask.bin"});
}

}  // namespace
}  // namespace tevrin::test
