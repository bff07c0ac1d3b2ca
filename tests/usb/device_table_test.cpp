// The machine-wide device table: scanning, ordinals, the shared block and its
// reset rules, also across two processes.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>

#include <unistd.h>

#include "support/RecordingFixture.h"
#include "usb/DeviceTable.h"

namespace tevrin::test {
namespace {

using usb::DeviceTableEntry;
using usb::SharedDeviceBlock;

class DeviceTableTest : public RecordingTest {};

// Reads the shared block as another process would see it.
SharedDeviceBlock ReadSharedBlock() {
  SharedDeviceBlock block{};
  HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, usb::kSharedBlockName);
  EXPECT_NE(mapping, nullptr);
  if (!mapping) return block;
  void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, sizeof(block));
  EXPECT_NE(view, nullptr);
  if (view) {
    std::memcpy(&block, view, sizeof(block));
    UnmapViewOfFile(view);
  }
  CloseHandle(mapping);
  return block;
}

void ExpectEntry(const CTevrinCy3Cam& camera, int index, uint16_t productId, int ordinal, const std::string& path) {
  SCOPED_TRACE("entry " + std::to_string(index));
  const auto entry = camera.Entry(index);
  ASSERT_TRUE(entry.has_value());
  EXPECT_EQ(entry->vendorId, 0x04B4);
  EXPECT_EQ(entry->productId, productId);
  EXPECT_EQ(entry->ordinal, ordinal);
  EXPECT_EQ(entry->path, path);
}

TEST_F(DeviceTableTest, Scan_OrdinalsPerProductInDiscoveryOrderAndRescanAddsNothing) {
  const std::string a = CameraPath(0x3280, 1), b = CameraPath(0x3290, 2), c = CameraPath(0x3280, 3);
  driver->SetInterfaces({a, b, c});
  auto camera = NewController();
  EXPECT_EQ(camera->ScanDevices(), 3);
  ExpectEntry(*camera, 0, 0x3280, 0, a);
  ExpectEntry(*camera, 1, 0x3290, 0, b);
  ExpectEntry(*camera, 2, 0x3280, 1, c);

  // Same cameras in another order, one more: only the new one is appended.
  const std::string d = CameraPath(0x3280, 4);
  driver->SetInterfaces({d, c, b, a});
  EXPECT_EQ(camera->ScanDevices(), 4);
  ExpectEntry(*camera, 0, 0x3280, 0, a);
  ExpectEntry(*camera, 3, 0x3280, 2, d);
}

TEST_F(DeviceTableTest, Scan_WithoutCamerasKeepsTheTable) {
  auto camera = NewController();
  EXPECT_EQ(camera->ScanDevices(), 0);
  driver->SetInterfaces({CameraPath(0x3280, 1), CameraPath(0x3280, 2)});
  EXPECT_EQ(camera->ScanDevices(), 2);
  driver->SetInterfaces({});
  EXPECT_EQ(camera->ScanDevices(), 2);
  ExpectEntry(*camera, 1, 0x3280, 1, CameraPath(0x3280, 2));
  EXPECT_FALSE(camera->IsDevicePresent(0));
  EXPECT_FALSE(camera->GetDeviceName(0).has_value());
}

TEST_F(DeviceTableTest, Scan_StopsAtThirtyTwoEntries) {
  std::vector<std::string> first;
  for (int i = 0; i < usb::kMaxDevices; ++i) first.push_back(CameraPath(0x3280, i));
  driver->SetInterfaces(first);
  auto camera = NewController();
  EXPECT_EQ(camera->ScanDevices(), 32);
  ExpectEntry(*camera, 31, 0x3280, 31, first[31]);

  driver->SetInterfaces({CameraPath(0x3280, 99)});
  EXPECT_EQ(camera->ScanDevices(), 32);
  EXPECT_EQ(ReadSharedBlock().entryCount, 32);
  EXPECT_FALSE(camera->Entry(32).has_value());
}

TEST_F(DeviceTableTest, Scan_AddsOnlyInterfacesThatOpenThemselves) {
  const std::string good = CameraPath(0x3280, 1), busy = CameraPath(0x3280, 2), later = CameraPath(0x3290, 3);
  driver->SetInterfaces({good, busy, later});
  driver->SetOpenable(busy, false);
  auto camera = NewController();
  EXPECT_EQ(camera->ScanDevices(), 2);
  ExpectEntry(*camera, 1, 0x3290, 0, later);

  driver->SetOpenable(busy, true);
  EXPECT_EQ(camera->ScanDevices(), 3);
  ExpectEntry(*camera, 2, 0x3280, 1, busy);
}

TEST_F(DeviceTableTest, Scan_SkipsPathsThatDoNotFitOrParse) {
  const std::string tooLong = CameraPath(0x3280, 1) + std::string(300, 'x');
  const std::string noIds = "\\\\?\\usb#vid_zzzz&pid_3280#1#{x}";
  const std::string freeProduct = CameraPath(0x0000, 2);
  const std::string good = CameraPath(0x3290, 3);
  driver->SetInterfaces({tooLong, noIds, freeProduct, good});
  auto camera = NewController();
  EXPECT_EQ(camera->ScanDevices(), 1);
  ExpectEntry(*camera, 0, 0x3290, 0, good);
}

TEST_F(DeviceTableTest, DeviceNames_FromModelTableWithOrdinal) {
  driver->SetInterfaces({CameraPath(0x3280, 1), CameraPath(0x3280, 2), CameraPath(0x3290, 3), CameraPath(0x3100, 4)});
  auto camera = NewController();
  ASSERT_EQ(camera->ScanDevices(), 4);
  EXPECT_EQ(camera->GetDeviceName(0).value_or(""), "TevrinHalden991_00");
  EXPECT_EQ(camera->GetDeviceName(1).value_or(""), "TevrinHalden991_01");
  EXPECT_EQ(camera->GetDeviceName(2).value_or(""), "TevrinHalden991U_00");
  EXPECT_FALSE(camera->GetDeviceName(3).has_value()) << "a product without a model name";
  EXPECT_FALSE(camera->GetDeviceName(4).has_value());
  EXPECT_FALSE(camera->GetDeviceName(-1).has_value());

  driver->SetOpenable(CameraPath(0x3280, 2), false);
  EXPECT_TRUE(camera->IsDevicePresent(0));
  EXPECT_FALSE(camera->IsDevicePresent(1));
  EXPECT_FALSE(camera->GetDeviceName(1).has_value());
}

TEST_F(DeviceTableTest, SelectDevice_NeedsAnEntryThatOpens) {
  driver->SetInterfaces({CameraPath(0x3280, 1), CameraPath(0x3290, 2)});
  auto camera = NewController();
  ASSERT_EQ(camera->ScanDevices(), 2);
  EXPECT_FALSE(camera->SelectDevice(2));
  EXPECT_FALSE(camera->SelectDevice(-1));
  EXPECT_TRUE(camera->SelectDevice(1));
  EXPECT_EQ(camera->SelectedIndex(), 1);
  driver->SetOpenable(CameraPath(0x3280, 1), false);
  EXPECT_FALSE(camera->SelectDevice(0));
  EXPECT_EQ(camera->SelectedIndex(), 1);
}

TEST_F(DeviceTableTest, SharedBlock_ByteLayoutAndUserCount) {
  driver->SetInterfaces({CameraPath(0x3290, 7)});
  auto first = NewController();
  first->ScanDevices();
  auto second = NewController();

  HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, "U3K5-MemMap");
  ASSERT_NE(mapping, nullptr);
  const auto* bytes = static_cast<const uint8_t*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 8584));
  ASSERT_NE(bytes, nullptr);
  auto i32 = [&](size_t offset) {
    int32_t value;
    std::memcpy(&value, bytes + offset, sizeof(value));
    return value;
  };
  EXPECT_EQ(i32(0), 2) << "user count";
  EXPECT_EQ(bytes[4] | bytes[5] << 8, 0x04B4);
  EXPECT_EQ(bytes[6] | bytes[7] << 8, 0x3290);
  EXPECT_EQ(i32(8), 0) << "ordinal";
  EXPECT_STREQ(reinterpret_cast<const char*>(bytes + 12), CameraPath(0x3290, 7).c_str());
  EXPECT_EQ(i32(4 + 268 + 4), -1) << "ordinal of a free entry";
  EXPECT_EQ(i32(8580), 1) << "entry count";

  second.reset();
  EXPECT_EQ(i32(0), 1);
  UnmapViewOfFile(bytes);
  CloseHandle(mapping);
}

TEST_F(DeviceTableTest, SharedBlock_ResetOnlyWhenNoControllerLives) {
  driver->SetInterfaces({CameraPath(0x3280, 1), CameraPath(0x3280, 2)});
  auto first = NewController();
  ASSERT_EQ(first->ScanDevices(), 2);
  auto second = NewController();
  EXPECT_EQ(second->EntryCount(), 2) << "a controller that joins keeps the table";
  first.reset();
  second.reset();

  driver->SetInterfaces({CameraPath(0x3280, 2)});
  auto fresh = NewController();
  EXPECT_EQ(fresh->EntryCount(), 0);
  EXPECT_EQ(ReadSharedBlock().entries[0].ordinal, -1);
  EXPECT_EQ(fresh->ScanDevices(), 1);
  ExpectEntry(*fresh, 0, 0x3280, 0, CameraPath(0x3280, 2));
}

TEST_F(DeviceTableTest, SharedBlock_DamagedByAnotherProcessIsReadSafely) {
  auto first = NewController();
  HANDLE mapping = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, usb::kSharedBlockName);
  ASSERT_NE(mapping, nullptr);
  auto* block =
      static_cast<SharedDeviceBlock*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(SharedDeviceBlock)));
  ASSERT_NE(block, nullptr);
  block->entryCount = 1000;
  for (auto& entry : block->entries) {
    entry.productId = 0x3280;
    std::memset(entry.path, 'x', sizeof(entry.path));
  }

  auto second = NewController();
  EXPECT_EQ(second->EntryCount(), 32);
  EXPECT_EQ(std::strlen(second->Entry(31)->path), usb::kDevicePathBytes - 1);
  driver->SetInterfaces({CameraPath(0x3280, 1)});
  EXPECT_EQ(second->ScanDevices(), 32) << "a full table takes no more";
  block->entryCount = -5;
  EXPECT_EQ(second->ScanDevices(), 1) << "a negative count is an empty table";
  UnmapViewOfFile(block);
  CloseHandle(mapping);
}

TEST_F(DeviceTableTest, DiagnosticLogPath_BesideTheExecutable) {
  auto camera = NewController();
  char executable[MAX_PATH] = {};
  ASSERT_GT(GetModuleFileNameA(nullptr, executable, MAX_PATH), 0u);
  std::string expected(executable);
  expected = expected.substr(0, expected.find_last_of('/') + 1) + "DEBUGLOG.txt";
  EXPECT_EQ(camera->DiagnosticLogPath(), expected);
}

// ---- Two processes ----
// The test binary runs itself as the second process; this "test" is its body
// and does nothing in a normal run.
constexpr char kChildMode[] = "TEVRIN_USB_TABLE_CHILD";
constexpr char kChildPaths[] = "TEVRIN_USB_TABLE_PATHS";

TEST(DeviceTableChild, PrintTable) {
  const char* mode = std::getenv(kChildMode);
  if (!mode) GTEST_SKIP() << "runs only as the second process";
  auto driver = RecordingDriver::Install();
  std::vector<std::string> paths;
  std::stringstream list(std::getenv(kChildPaths));
  for (std::string path; std::getline(list, path, '|');) paths.push_back(path);
  driver->SetInterfaces(paths);
  {
    CTevrinCy3Cam camera(&kRecordingGuid);
    if (std::string(mode) == "scan") camera.ScanDevices();
    std::printf("TABLE users %d count %d\n", ReadSharedBlock().userCount, camera.EntryCount());
    for (int i = 0; i < camera.EntryCount(); ++i) {
      const auto entry = camera.Entry(i);
      std::printf("TABLE %d %04x %d %s\n", i, entry->productId, entry->ordinal, entry->path);
    }
  }
  RecordingDriver::Uninstall(driver);
}

std::string RunChild(const char* mode, const std::vector<std::string>& paths) {
  std::string joined;
  for (const auto& path : paths) joined += (joined.empty() ? "" : "|") + path;
  setenv(kChildMode, mode, 1);
  setenv(kChildPaths, joined.c_str(), 1);
  // Resolved here: in the shell /proc/self/exe would be the shell.
  char self[4096] = {};
  EXPECT_GT(readlink("/proc/self/exe", self, sizeof(self) - 1), 0);
  const std::string command = std::string("'") + self + "' --gtest_filter=DeviceTableChild.PrintTable";
  FILE* child = popen(command.c_str(), "r");
  unsetenv(kChildMode);
  unsetenv(kChildPaths);
  EXPECT_NE(child, nullptr);
  if (!child) return {};
  std::string table;
  char line[512];
  while (std::fgets(line, sizeof(line), child))
    if (std::strncmp(line, "TABLE ", 6) == 0) table += line + 6;
  EXPECT_EQ(pclose(child), 0);
  return table;
}

TEST_F(DeviceTableTest, TwoProcesses_SeeOneTableWithTheSameIndexes) {
  const std::string a = CameraPath(0x3280, 1), b = CameraPath(0x3290, 2), c = CameraPath(0x3280, 3);
  driver->SetInterfaces({a, b});
  auto camera = NewController();
  ASSERT_EQ(camera->ScanDevices(), 2);

  EXPECT_EQ(RunChild("read", {}), "users 2 count 2\n0 3280 0 " + a + "\n1 3290 0 " + b + "\n");
  // The other process finds the cameras in another order plus a new one: it
  // appends only the new one, and this process sees it at the same index.
  EXPECT_EQ(RunChild("scan", {c, b, a}),
            "users 2 count 3\n0 3280 0 " + a + "\n1 3290 0 " + b + "\n2 3280 1 " + c + "\n");
  EXPECT_EQ(ReadSharedBlock().userCount, 1);
  driver->SetInterfaces({a, b, c});
  EXPECT_EQ(camera->ScanDevices(), 3);
  ExpectEntry(*camera, 2, 0x3280, 1, c);

  camera.reset();
  EXPECT_EQ(RunChild("read", {}), "users 1 count 0\n") << "the last controller gone, the table starts afresh";
}

}  // namespace
}  // namespace tevrin::test
