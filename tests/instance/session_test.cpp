// Configuration file, close, and the operations that need layers this build lacks.
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "support/InstanceFixture.h"

namespace {

using Session = InstanceTest;
using ::testing::ElementsAre;

std::string ScratchFile(const char* name, const std::string& bytes) {
  const char* scratch = std::getenv("TEVRIN_TEST_SCRATCH");
  const std::string path = std::string(scratch ? scratch : "/tmp") + "/" + name;
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

TEST_F(Session, ConfigFileIsReadAsEightByteRecords) {
  auto instance = Make();
  const std::int32_t words[] = {1, -2, 0x7FFFFFFF, 4};
  std::string bytes(reinterpret_cast<const char*>(words), sizeof words);
  bytes += "tail";  // shorter than a record: ignored
  ASSERT_EQ(instance->LoadConfigFile(ScratchFile("config.bin", bytes).c_str()), 1);
  const auto records = instance->ConfigList();
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].first, 1);
  EXPECT_EQ(records[0].second, -2);
  EXPECT_EQ(records[1].first, 0x7FFFFFFF);
  EXPECT_EQ(records[1].second, 4);
  ASSERT_EQ(instance->LoadConfigFile(ScratchFile("empty.bin", "").c_str()), 1);
  EXPECT_TRUE(instance->ConfigList().empty());
}

TEST_F(Session, UnreadableConfigFileKeepsTheListAndRecordsNothing) {
  auto instance = Make();
  const std::int32_t words[] = {5, 6};
  ASSERT_EQ(
      instance->LoadConfigFile(ScratchFile("one.bin", std::string(reinterpret_cast<const char*>(words), 8)).c_str()),
      1);
  const char* scratch = std::getenv("TEVRIN_TEST_SCRATCH");
  EXPECT_EQ(instance->LoadConfigFile("/nonexistent/config.bin"), 0);
  EXPECT_EQ(instance->LoadConfigFile(scratch ? scratch : "/tmp"), 0);  // a directory
  EXPECT_EQ(instance->LoadConfigFile(nullptr), 0);
  EXPECT_EQ(instance->ConfigList().size(), 1u);
  EXPECT_EQ(instance->PopError(), 0);
}

TEST_F(Session, UnsupportedOperationsRecordOrOnlyPost) {
  auto instance = Make();
  EXPECT_EQ(instance->UnsupportedPostOnly(), 0);
  EXPECT_EQ(instance->PopError(), 0);
  EXPECT_EQ(instance->UnsupportedRecorded(-1), -1);
  EXPECT_EQ(instance->PopError(), 11);
  EXPECT_THAT(PostedErrors(), ElementsAre(11, 11));
}

TEST_F(Session, AcquisitionNeedsACamera) {
  auto without = MakeWithoutDevice();
  EXPECT_EQ(without->SetImageDlg(nullptr), 0);
  BYTE frame[16];
  EXPECT_EQ(without->SaveImage("x.bmp", 0), 0);
  EXPECT_EQ(without->GetImage(frame, sizeof frame, 0), 0);
  EXPECT_EQ(without->SnapShot(frame, sizeof frame, 0), 0);
  EXPECT_EQ(without->Preview(), 0);
  EXPECT_THAT(Errors(*without), ElementsAre(1, 1, 1, 1, 1));
  auto instance = Make();
  EXPECT_EQ(instance->SaveImage("x.bmp", 0), 0);  // no frame processed yet
  EXPECT_THAT(Errors(*instance), ElementsAre(1));
  EXPECT_EQ(instance->Close(), 1);
  EXPECT_EQ(without->Close(), 1);
}

TEST_F(Session, PreviewPlacementNeedsACamera) {
  auto without = MakeWithoutDevice();
  EXPECT_EQ(without->SetPreviewWindow(kWindow, 1, 2, 3, 4), 0);
  EXPECT_THAT(Errors(*without), ElementsAre(1));
  auto instance = Make();
  EXPECT_EQ(instance->SetPreviewWindow(kWindow, 1, 2, 3, 4), 1);
}

}  // namespace
