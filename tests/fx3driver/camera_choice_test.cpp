// Which virtual cameras join the real ones, and the udev rule that lets the
// user at the seat open every camera of the family.
#include <gtest/gtest.h>
#include <tevrin/hardware/CameraProducts.h>

#include <cstdio>
#include <fstream>
#include <regex>
#include <set>
#include <string>

#include "CameraConfig.h"
#include "UsbfsLimit.h"

namespace {

using tevrin::virtualcam::CamerasFor;

TEST(CameraChoice, VirtualCamerasBesideRealOnes) {
  struct Case {
    const char* label;
    const char* setting;  // TEVRIN_VIRTUAL_CAMERAS, null when unset
    size_t realCameras;
    std::vector<uint16_t> products;
  };
  const Case cases[] = {
      {"fresh machine: the demo camera", nullptr, 0, {0x3280}},
      {"a real camera: no phantom beside it", nullptr, 1, {}},
      {"none", "none", 0, {}},
      {"a list adds exactly itself", "0x3290", 1, {0x3290}},
      {"a list on a machine without cameras", "0x3280,0x3042", 0, {0x3280, 0x3042}},
      {"an invalid list: the demo camera", "0x3280:sparkle", 2, {0x3280}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    std::vector<uint16_t> products;
    for (const auto& config : CamerasFor(c.setting, c.realCameras)) products.push_back(config.productId);
    EXPECT_EQ(products, c.products);
  }
}

TEST(UdevRule, GrantsSeatAccessToEveryCameraAndNothingElse) {
  std::ifstream file(TEVRIN_UDEV_RULE);
  ASSERT_TRUE(file) << TEVRIN_UDEV_RULE;
  const std::regex rule(
      R"re(SUBSYSTEM=="usb", ENV\{DEVTYPE\}=="usb_device", ATTR\{idVendor\}=="04b4", ATTR\{idProduct\}=="([0-9a-f]{4})", TAG\+="uaccess")re");
  std::set<uint16_t> granted;
  std::string line;
  while (std::getline(file, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::smatch match;
    ASSERT_TRUE(std::regex_match(line, match, rule)) << line;
    granted.insert(static_cast<uint16_t>(std::stoul(match[1], nullptr, 16)));
  }
  const std::set<uint16_t> family(tevrin::hardware::kCameraProductIds.begin(),
                                  tevrin::hardware::kCameraProductIds.end());
  EXPECT_EQ(granted, family);
}

TEST(UsbfsLimit, WarnsOnlyWhenTransfersCannotFit) {
  using tevrin::fx3driver::UsbfsLimitWarning;
  constexpr uint64_t kMiB = 1u << 20;
  EXPECT_EQ(UsbfsLimitWarning(std::nullopt, 17 * kMiB), "") << "no usbfs here";
  EXPECT_EQ(UsbfsLimitWarning(0, 17 * kMiB), "") << "unlimited";
  EXPECT_EQ(UsbfsLimitWarning(32 * kMiB, 17 * kMiB), "");
  EXPECT_NE(UsbfsLimitWarning(16 * kMiB, 17 * kMiB).find("usbfs_memory_mb is 16"), std::string::npos);

  const std::string file = testing::TempDir() + "usbfs_memory_mb";
  std::ofstream(file) << "16\n";
  EXPECT_EQ(tevrin::fx3driver::ReadUsbfsLimit(file.c_str()), 16 * kMiB);
  EXPECT_EQ(tevrin::fx3driver::ReadUsbfsLimit("/nonexistent/usbfs_memory_mb"), std::nullopt);
}

}  // namespace
